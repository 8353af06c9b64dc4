#!/usr/bin/env bash
# Every test: installs what is missing, builds the Linux and the Windows
# configuration, starts Firebird, and runs ctest natively and under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${ODB_BUILD_DIR:-$root/build}

bash scripts/packages.sh
bash scripts/start-firebird.sh

cmake -S . -B "$build/linux" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build/linux"
(cd "$build/linux" && ctest --output-on-failure)

cmake -S . -B "$build/windows" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" >/dev/null
cmake --build "$build/windows"
export WINEPREFIX="$build/windows/wineprefix" WINEDEBUG=-all
(cd "$build/windows" && xvfb-run -a ctest --output-on-failure)
