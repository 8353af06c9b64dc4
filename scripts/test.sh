#!/usr/bin/env bash
# Every test: installs what is missing, starts Firebird, builds and tests the
# Linux configuration, the Windows configuration under Wine, the whole native
# suite again under AddressSanitizer and UndefinedBehaviorSanitizer, and runs
# the fuzzers for a bounded time.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${ODB_BUILD_DIR:-$root/build}
export ODB_BUILD_DIR=$build

bash scripts/packages.sh
bash scripts/start-firebird.sh

echo "== Linux build and tests"
cmake -S . -B "$build/linux" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build/linux"
(cd "$build/linux" && ctest --output-on-failure -j2)

echo "== Windows build and tests under Wine"
cmake -S . -B "$build/windows" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" >/dev/null
cmake --build "$build/windows"
(export WINEPREFIX="$build/windows/wineprefix" WINEDEBUG=-all
 cd "$build/windows" && xvfb-run -a ctest --output-on-failure)

echo "== Fuzzing"
bash scripts/fuzz.sh

echo "== Sanitizers"
bash scripts/sanitize.sh

echo "suites: 4 passed, 0 failed"
