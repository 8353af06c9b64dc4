#!/usr/bin/env bash
# Regenerates every picture in docs/ from the current sources: the settings
# window's tabs and its exit question, the tray menu, the icon chooser, the
# status strip after a good backup, a failed one and paused (all from the
# Windows build under Wine on a virtual screen), the icon sheet, and the
# settings window on a 1366x768 screen at 96, 120 and 144 dpi (dpi-N.png: the
# screen's full height around the window, both tabs side by side, the second
# scrolled to the end where the body scrolls; in a prefix of its own whose dpi
# is set, BUILD/wineprefix-dpi).
# Usage: scripts/screenshots.sh [WINDOWS_BUILD_DIR]   (default build/windows)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

# The settings window from a sample configuration, as the user starts it.
settings_window() {
  local work=$1
  cd "$work"
  wine odbackup.exe >/dev/null 2>&1 &
  local pid=$!
  # The start-up balloon (this client library refuses the attach) stands for
  # Wine's 10 s minimum near the window's corner: the picture waits it out.
  sleep 25
  shoot settings-paths.png "Ordava - parametry zálohování"
  wine click.exe >/dev/null 2>&1
  sleep 2
  shoot settings-plan.png "Ordava - parametry zálohování"
  wine click.exe exit >/dev/null 2>&1
  sleep 2
  shoot exit-question.png "Ordava - parametry zálohování" "Potvrzení"
  kill $pid 2>/dev/null || true
  wineserver -k || true
  cd - >/dev/null
}

# The window at one dpi: the screen's full height, cut to the window's width.
dpi_window() {
  local work=$1 dpi=$2 caption="Ordava - parametry zálohování"
  cd "$work"
  column() {
    xwininfo -name "$caption" | awk '/Absolute upper-left X/{x=$4} /Width:/{w=$2}
      END{print w + 16 "x768+" x - 8 "+0"}'
  }
  wine odbackup.exe >/dev/null 2>&1 &
  local pid=$!
  # Past the start-up balloon, which Wine shows for 10 s over the window.
  sleep 22
  import -window root -crop "$(column)" +repage dpi-paths.png
  wine click.exe >/dev/null 2>&1
  sleep 2
  wine click.exe end >/dev/null 2>&1
  sleep 2
  import -window root -crop "$(column)" +repage dpi-plan.png
  kill $pid 2>/dev/null || true
  wineserver -k || true
  convert dpi-paths.png dpi-plan.png +append "dpi-$dpi.png"
  cd - >/dev/null
}

# The smallest rectangle around the named windows, as WxH+X+Y, so that Wine's
# own windows (its stand-in tray at the top left) stay out of the picture.
around() {
  for name in "$@"; do
    xwininfo -name "$name" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4}
      /Width:/{w=$2} /Height:/{h=$2} END{print x, y, x + w, y + h}'
  done | awk 'NR==1{l=$1;t=$2;r=$3;b=$4} {if($1<l)l=$1; if($2<t)t=$2; if($3>r)r=$3; if($4>b)b=$4}
    END{print r - l "x" b - t "+" l "+" t}'
}

shoot() {
  local out=$1
  shift
  import -window root -crop "$(around "$@")" +repage "$out"
}

# Windows the test program holds open (menus, modal boxes, the strip) until
# their picture is taken: for each NAME the test writes NAME.rect (left top
# width height) and goes on once NAME.done exists.
held_windows() {
  local build=$1 work=$2 filter=$3
  shift 3
  ODB_SCREENSHOT_DIR="Z:$work" wine "$build/odbackup_tests.exe" --gtest_filter="$filter" >"$work/held.log" 2>&1 &
  local test_pid=$! name x y w h m=8
  for name in "$@"; do
    for _ in $(seq 600); do [ -s "$work/$name.rect" ] && break; sleep 0.1; done
    [ -s "$work/$name.rect" ] || { echo "no $name within 60 s" >&2; cat "$work/held.log" >&2; kill $test_pid; exit 1; }
    sleep 0.5
    read -r x y w h < <(tr -d "\r" < "$work/$name.rect")
    import -window root -crop "$((w + 2 * m))x$((h + 2 * m))+$((x - m))+$((y - m))" +repage "$work/$name.png"
    touch "$work/$name.done"
  done
  wait $test_pid || { cat "$work/held.log" >&2; exit 1; }
}

if [ "${1:-}" = --inner ]; then
  build=$2 work=$3
  settings_window "$work"
  held_windows "$build" "$work" 'Screenshots.*' tray-menu icon-chooser
  held_windows "$build" "$work" 'StatusStripWindow.*' status-success status-failure status-paused
  exit
fi
if [ "${1:-}" = --inner-dpi ]; then
  dpi_window "$2" "$3"
  exit
fi

build=${1:-$root/build/windows}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DODB_TESTS=ON \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" >/dev/null
cmake --build "$build" --target odbackup odbackup_tests fbclient_double
export WINEPREFIX=${WINEPREFIX:-$build/wineprefix} WINEDEBUG=-all
[ -d "$WINEPREFIX" ] || bash "$root/tests/bridge/prefix.sh" "$WINEPREFIX" win64
work=$(mktemp -d /tmp/odb-shots.XXXXXX)
trap 'rm -rf "$work"' EXIT

cp "$build/odbackup.exe" "$work/"
# No Firebird on Wine: the tests' scripted client library, given no script,
# refuses every attach, which is enough to open the window.
cp "$build/fbclient.dll" "$work/"
x86_64-w64-mingw32-gcc -municode -o "$work/click.exe" "$root/scripts/screenshots-click.c" -lgdi32
printf '%s\r\n' '[OrdavaDB]' 'LocalHost=N' 'ServerName=server1' \
  'DatabaseName=D:\Data\Ordava.fdb' 'LogFileName=C:\Ordava\odbackup.log' \
  '[Backups]' 'BackupPath=C:\Zálohy\Ordava' 'BackupCount=5' 'LastRun=01.03.2024 18:00:00' \
  '[Settings]' 'LogToFile=N' 'ClearLog=A' 'RunMinimalized=N' 'EventAction=BackupOnTimer' \
  'Days=1,2,3,4,5' 'EventCountTimes=3' 'Time_1=07:30:00' 'Time_2=12:00:00' 'Time_3=18:00:00' \
  '[UserInterface]' 'IconSet=1' | iconv -f utf-8 -t cp1250 > "$work/odbackup.ini"

xvfb-run -a -s "-screen 0 1024x768x24" "$0" --inner "$build" "$work"
for dpi in 96 120 144; do
  WINEPREFIX=$build/wineprefix-dpi bash "$root/tests/bridge/prefix.sh" "$build/wineprefix-dpi" win64 "$dpi"
  WINEPREFIX=$build/wineprefix-dpi xvfb-run -a -s "-screen 0 1366x768x24" "$0" --inner-dpi "$work" "$dpi"
done
pictures=(settings-paths settings-plan exit-question tray-menu icon-chooser
          status-success status-failure status-paused dpi-96 dpi-120 dpi-144)
for name in "${pictures[@]}"; do cp "$work/$name.png" "$root/docs/"; done
python3 "$root/resources/make_resources.py" --preview "$root/docs/icons.png"
echo "written: ${pictures[*]/%/.png} icons.png (in $root/docs)"
