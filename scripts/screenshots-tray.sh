#!/usr/bin/env bash
# Photographs the tray menu and the icon chooser of the Windows build under Wine
# and a virtual screen: docs/tray-menu.png and docs/icon-chooser.png.
# Usage: scripts/screenshots-tray.sh [WINDOWS_BUILD_DIR]   (default /tmp/b-screens-win)
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)

# Inside the virtual screen: start the holding test; for each window wait for its
# position, photograph it with a margin and let the test go on.
if [ "${1:-}" = --inner ]; then
  build=$2 shots=$3
  ODB_SCREENSHOT_DIR="Z:$shots" wine "$build/odbackup_tests.exe" --gtest_filter='Screenshots.*' &
  test_pid=$!
  for name in tray-menu icon-chooser; do
    for _ in $(seq 600); do [ -s "$shots/$name.rect" ] && break; sleep 0.1; done
    [ -s "$shots/$name.rect" ] || { echo "no $name within 60 s" >&2; kill $test_pid; exit 1; }
    sleep 0.5
    read -r x y w h < <(tr -d "\r" < "$shots/$name.rect")
    m=8
    import -window root -crop "$((w + 2 * m))x$((h + 2 * m))+$((x - m))+$((y - m))" +repage \
      "$src/docs/$name.png"
    touch "$shots/$name.done"
  done
  wait $test_pid
  exit
fi

build=${1:-/tmp/b-screens-win}
if [ ! -x "$build/odbackup_tests.exe" ]; then
  cmake -S "$src" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$src/cmake/mingw-w64.cmake"
  ninja -C "$build" odbackup_tests
fi
shots=$(mktemp -d)
trap 'rm -rf "$shots"' EXIT
export WINEPREFIX="${WINEPREFIX:-$build/wineprefix}" WINEDEBUG=-all
xvfb-run -a -s "-screen 0 800x600x24" "$0" --inner "$build" "$shots"
echo "wrote $src/docs/tray-menu.png and $src/docs/icon-chooser.png"
