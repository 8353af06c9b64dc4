#!/usr/bin/env bash
# Every test: installs what is missing, starts Firebird, builds and tests the
# Linux configuration, the 32- and 64-bit Windows configurations under Wine
# (real backups through the fbclient.dll bridge included), the whole native
# suite again under AddressSanitizer and UndefinedBehaviorSanitizer, and runs
# the fuzzers for a bounded time.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${ODB_BUILD_DIR:-$root/build}
export ODB_BUILD_DIR=$build

bash scripts/packages.sh
bash scripts/start-firebird.sh

# Only suites that really ran count: a cached -DODB_TESTS=OFF (the demo's) or
# a skipped suite must not end in a line that says everything passed.
ran=()
skipped=()
run_ctest() {
  local name=$1 dir=$2
  shift 2
  (cd "$dir" && "$@" ctest --output-on-failure --no-tests=error)
  ran+=("$name")
}

echo "== Linux build and tests"
cmake -S . -B "$build/linux" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DODB_TESTS=ON >/dev/null
cmake --build "$build/linux"
run_ctest linux "$build/linux" env CTEST_PARALLEL_LEVEL=2

# Some hosts run 64-bit user code only: every i386 program fails there with
# "Exec format error", and so does Wine's own wrapper, which takes the 32-bit
# loader whenever wine32 is installed. Wine then goes through its 64-bit loader.
runs_i386() { [[ -x /lib/ld-linux.so.2 ]] && /lib/ld-linux.so.2 --version >/dev/null 2>&1; }
if ! runs_i386; then
  shim=$build/wine64-only
  mkdir -p "$shim"
  for name in wine wine-stable; do
    printf '#!/bin/sh\nexport WINELOADER=/usr/lib/wine/wine64\nexec /usr/lib/wine/wine64 "$@"\n' >"$shim/$name"
    chmod +x "$shim/$name"
  done
  export PATH=$shim:$PATH
fi

# The 32-bit program first: the 64-bit build's distribution zip holds it too.
echo "== Windows 32-bit build and tests under 32-bit Wine"
cmake -S . -B "$build/windows32" -G Ninja -DCMAKE_BUILD_TYPE=Release -DODB_TESTS=ON \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-i686.cmake" >/dev/null
cmake --build "$build/windows32"
if ! dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q "install ok installed"; then
  skipped+=(windows32)
  echo "!!!!!! SKIPPED: the 32-bit Windows tests: 32-bit Wine (wine32:i386) is not installed;"
  echo "!!!!!! the 32-bit odbackup.exe was built but NOT run. See scripts/packages.sh."
elif ! runs_i386; then
  skipped+=(windows32)
  echo "!!!!!! SKIPPED: the 32-bit Windows tests: this machine runs no 32-bit code (an i386"
  echo "!!!!!! program fails with \"Exec format error\"); the 32-bit odbackup.exe was built but NOT run."
else
  bash tests/bridge/prefix.sh "$build/windows32/wineprefix" win32
  run_ctest windows32 "$build/windows32" env WINEPREFIX="$build/windows32/wineprefix" WINEARCH=win32 \
    WINEDEBUG=-all xvfb-run -a
fi

echo "== Windows 64-bit build and tests under Wine"
cmake -S . -B "$build/windows" -G Ninja -DCMAKE_BUILD_TYPE=Release -DODB_TESTS=ON \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
  -DODB_DIST_EXE32="$build/windows32/odbackup.exe" >/dev/null
cmake --build "$build/windows"
bash tests/bridge/prefix.sh "$build/windows/wineprefix" win64
run_ctest windows "$build/windows" env WINEPREFIX="$build/windows/wineprefix" WINEDEBUG=-all xvfb-run -a

echo "== Distribution zip"
(cd "$build/windows" && cpack >/dev/null)
zip=$build/windows/odbackup-$(sed -n 's/^project(ODBackup VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)-windows.zip
# Listed once: under pipefail, grep -q quitting early makes unzip die of SIGPIPE, which fails
# the pipeline however the match went.
listing=$(unzip -l "$zip")
for entry in 64bit/odbackup.exe 32bit/odbackup.exe README.txt CTIMNE.txt odbackup.sample.ini; do
  grep -q "/$entry\$" <<<"$listing" || { echo "the zip lacks $entry" >&2; exit 1; }
done
echo "$zip: both programs, readmes, sample configuration"
ran+=(zip)

# Each Windows build makes its installer, and its ctest "installer" has installed,
# upgraded and removed it under Wine.
version=$(sed -n 's/^project(ODBackup VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
for msi in "$build/windows/odbackup-$version-x64.msi" "$build/windows32/odbackup-$version-x86.msi"; do
  [[ -s $msi ]] || { echo "no installer $msi" >&2; exit 1; }
done
echo "installers: odbackup-$version-x64.msi, odbackup-$version-x86.msi"

echo "== Fuzzing"
bash scripts/fuzz.sh
ran+=(fuzzing)

echo "== Sanitizers"
bash scripts/sanitize.sh
ran+=(sanitizers)

# set -e has stopped the run at the first failure, so every suite that ran passed.
echo "suites: ${#ran[@]} passed (${ran[*]}), 0 failed, ${#skipped[@]} skipped${skipped:+ (${skipped[*]})}"
