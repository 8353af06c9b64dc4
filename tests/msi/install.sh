#!/usr/bin/env bash
# The installer as a practice meets it: install, upgrade to a newer package and
# uninstall under Wine, each quiet, in a prefix made for this test and dropped
# after it (the Windows tests' own prefix keeps no installed product).
# Usage: install.sh x64|x86 MSI EXE ICON
set -euo pipefail
arch=$1 msi=$(realpath "$2") exe=$3 icon=$4
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# reg.exe runs as a 32-bit program, which sees another Uninstall key than msiexec on 64 bits.
if [[ $arch == x86 ]]; then export WINEARCH=win32 view=(); else export WINEARCH=win64 view=(/reg:64); fi
cleanup() { wineserver -k 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT

passes=0 failures=0
check() {  # check WHAT COMMAND...: one line per check, the run fails at the end
  local what=$1
  shift
  if "$@"; then echo "ok    $what"; passes=$((passes + 1)); else echo "FAIL  $what"; failures=$((failures + 1)); fi
}
step() {
  local start=$(date +%s%N)
  "$@"
  echo "--    $* ($((($(date +%s%N) - start) / 1000000)) ms)"
}
run_value() {
  wine reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Run' /v ODBackup 2>/dev/null |
    tr -d '\r' | sed -n 's/^ *ODBackup *REG_SZ *//p'
}
# The versions of the products the package's maker has installed, one a line.
installed_versions() {
  wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s "${view[@]}" 2>/dev/null |
    tr -d '\r' | awk '/^HKEY/ { ours = 0; version = "" }
      /Publisher +REG_SZ +Ordava$/ { ours = 1 }
      /DisplayVersion/ { version = $3 }
      ours && version != "" { print version; ours = 0 }'
}
absent() { [[ ! -e $1 ]]; }
same_file() { cmp -s "$1" "$2"; }
equals() { [[ $1 == "$2" ]]; }

step wineboot -i 2>/dev/null
user_dir=$(ls -d "$WINEPREFIX"/drive_c/users/* | grep -v /Public)
folder=$user_dir/AppData/Local/Programs/ODBackup
shortcut="$user_dir/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Samostatné zálohování dat.lnk"
run_line="\"C:\\users\\$(basename "$user_dir")\\AppData\\Local\\Programs\\ODBackup\\odbackup.exe\""

version=$(basename "$msi" | sed -n 's/^odbackup-\([0-9.]*\)-.*/\1/p')
newer=${version%.*}.$((${version##*.} + 1))
bash "$here/../../dist/msi/make-msi.sh" "$arch" "$newer" "$exe" "$icon" "$work/newer.msi"

echo "== install $(basename "$msi")"
step wine msiexec /i "$msi" /qn
check "odbackup.exe in %LOCALAPPDATA%\\Programs\\ODBackup" same_file "$exe" "$folder/odbackup.exe"
check "Start menu shortcut" test -f "$shortcut"
check "Run value $run_line" equals "$(run_value)" "$run_line"
check "installed version $version" equals "$(installed_versions)" "$version"

# What the program and its user leave beside it, which no package may touch.
printf '[Backups]\r\nBackupPath=C:\\Zalohy\\\r\n' >"$folder/odbackup.ini"
printf 'log\r\n' >"$folder/odbackup.log"
printf 'backup' >"$folder/ODBackup_1.fbk"
for f in odbackup.ini odbackup.log ODBackup_1.fbk; do cp "$folder/$f" "$work/$f"; done

echo "== upgrade to $newer"
step wine msiexec /i "$work/newer.msi" /qn
check "one product, version $newer" equals "$(installed_versions)" "$newer"
check "odbackup.exe still there" same_file "$exe" "$folder/odbackup.exe"
check "Start menu shortcut still there" test -f "$shortcut"
check "Run value still there" equals "$(run_value)" "$run_line"
for f in odbackup.ini odbackup.log ODBackup_1.fbk; do
  check "$f kept" same_file "$work/$f" "$folder/$f"
done

echo "== uninstall"
step wine msiexec /x "$work/newer.msi" /qn
check "no product left" equals "$(installed_versions)" ""
check "odbackup.exe removed" absent "$folder/odbackup.exe"
check "Start menu shortcut removed" absent "$shortcut"
check "Run value removed" equals "$(run_value)" ""
for f in odbackup.ini odbackup.log ODBackup_1.fbk; do
  check "$f kept" same_file "$work/$f" "$folder/$f"
done

echo "== install without starting at logon"
rm -f "$folder"/*
step wine msiexec /i "$msi" /qn ADDLOCAL=ProgramFeature
check "odbackup.exe installed" test -f "$folder/odbackup.exe"
check "no Run value" equals "$(run_value)" ""
step wine msiexec /x "$msi" /qn
check "the emptied folder removed" absent "$folder"

echo "$passes passed, $failures failed"
[[ $failures -eq 0 ]]
