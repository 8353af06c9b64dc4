#!/bin/bash
# Screenshots of the Windows settings window under Wine: both tabs, from a
# sample configuration, and the question of Konec with the program's own
# buttons. Needs the Windows build (see README) and imagemagick.
# Usage: scripts/screenshots.sh [BUILD_DIR]   (default /tmp/b-win32-win)
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${1:-/tmp/b-win32-win}
WORK=$(mktemp -d /tmp/odb-shots.XXXXXX)
export WINEPREFIX=${WINEPREFIX:-$BUILD/wineprefix} WINEDEBUG=-all

cp "$BUILD/odbackup.exe" "$WORK/"
# No Firebird on Wine: the tests' scripted client library, given no script,
# refuses every attach, which is enough to open the window.
cp "$BUILD/fbclient.dll" "$WORK/"
# Clicks the second tab of the settings window (no argument) or the button
# Konec ("exit"), as the user would.
cat > "$WORK/click.c" <<'C'
#include <windows.h>
static BOOL CALLBACK FindTab(HWND h, LPARAM out) {
  wchar_t cls[64];
  GetClassNameW(h, cls, 64);
  if (lstrcmpW(cls, L"SysTabControl32") == 0) { *(HWND*)out = h; return FALSE; }
  return TRUE;
}
static BOOL CALLBACK FindExit(HWND h, LPARAM out) {
  wchar_t text[64];
  GetWindowTextW(h, text, 64);
  if (lstrcmpW(text, L"Konec") == 0) { *(HWND*)out = h; return FALSE; }
  return TRUE;
}
int wmain(int argc, wchar_t** argv) {
  HWND main = FindWindowW(L"TFrmODBackupDB", NULL), target = NULL;
  if (!main) return 1;
  if (argc > 1 && lstrcmpW(argv[1], L"exit") == 0) {
    EnumChildWindows(main, FindExit, (LPARAM)&target);
    if (!target) return 2;
    PostMessageW(target, BM_CLICK, 0, 0);
    return 0;
  }
  EnumChildWindows(main, FindTab, (LPARAM)&target);
  if (!target) return 2;
  int x = MulDiv(140, GetDeviceCaps(GetDC(NULL), LOGPIXELSX), 96), y = 8;
  PostMessageW(target, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  PostMessageW(target, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  return 0;
}
C
x86_64-w64-mingw32-gcc -municode -o "$WORK/click.exe" "$WORK/click.c" -lgdi32
printf '%s\r\n' '[OrdavaDB]' 'LocalHost=N' 'ServerName=server1' \
  'DatabaseName=D:\Data\Ordava.fdb' 'LogFileName=C:\Ordava\odbackup.log' \
  '[Backups]' 'BackupPath=C:\Zálohy\Ordava' 'BackupCount=5' 'LastRun=01.03.2024 18:00:00' \
  '[Settings]' 'LogToFile=N' 'ClearLog=A' 'RunMinimalized=N' 'EventAction=BackupOnTimer' \
  'Days=1,2,3,4,5' 'EventCountTimes=3' 'Time_1=07:30:00' 'Time_2=12:00:00' 'Time_3=18:00:00' \
  '[UserInterface]' 'IconSet=1' | iconv -f utf-8 -t cp1250 > "$WORK/odbackup.ini"

# Each picture is cut to the program's windows on it, so Wine's own windows
# (its stand-in system tray at the top left) stay out.
xvfb-run -a -s "-screen 0 640x720x24" bash -c '
  set -e
  cd "$1"
  # The smallest rectangle around the named windows, as WxH+X+Y.
  around() {
    for name in "$@"; do
      xwininfo -name "$name" | awk "/Absolute upper-left X/{x=\$4} /Absolute upper-left Y/{y=\$4}
        /Width:/{w=\$2} /Height:/{h=\$2} END{print x, y, x + w, y + h}"
    done | awk "NR==1{l=\$1;t=\$2;r=\$3;b=\$4} {if(\$1<l)l=\$1; if(\$2<t)t=\$2; if(\$3>r)r=\$3; if(\$4>b)b=\$4}
      END{print r - l \"x\" b - t \"+\" l \"+\" t}"
  }
  shoot() {
    local out=$1
    shift
    import -window root -crop "$(around "$@")" +repage "$out"
  }
  wine odbackup.exe >/dev/null 2>&1 & pid=$!
  sleep 10
  shoot settings-paths.png "Ordava - parametry zálohování"
  wine click.exe >/dev/null 2>&1
  sleep 2
  shoot settings-plan.png "Ordava - parametry zálohování"
  wine click.exe exit >/dev/null 2>&1
  sleep 2
  shoot exit-question.png "Ordava - parametry zálohování" "Potvrzení"
  kill $pid 2>/dev/null || true
  wineserver -k || true
' _ "$WORK"
mkdir -p "$ROOT/docs"
for name in settings-paths settings-plan exit-question; do cp "$WORK/$name.png" "$ROOT/docs/"; done
echo "docs/settings-paths.png docs/settings-plan.png docs/exit-question.png written ($WORK)"
