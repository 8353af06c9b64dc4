#!/usr/bin/env bash
# Runs every benchmark and prints every figure. Benchmarks are not tests:
# nothing here fails on a timing.
#   bench/run.sh                 build, start Firebird, create the database if missing, run all
# Environment: ODB_BENCH_DIR (default /tmp/odb-bench: build, database, scratch),
#   ODB_BENCH_PAIRS (runs per median, default 7, at least 5).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
dir=${ODB_BENCH_DIR:-/tmp/odb-bench}
build=$dir/build
db=$dir/data/bench.fdb
work=$dir/work
export ODB_BENCH_PAIRS=${ODB_BENCH_PAIRS:-7}
((ODB_BENCH_PAIRS >= 5)) || ODB_BENCH_PAIRS=5

echo "== Machine"
echo "nproc $(nproc), $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')," \
  "memory $(awk '/MemTotal/ {printf "%.1f GiB", $2 / 1048576}' /proc/meminfo)," \
  "load average $(cut -d' ' -f1-3 /proc/loadavg)"
echo "commit $(git rev-parse --short HEAD 2>/dev/null || echo '?'), $(date '+%Y-%m-%d %H:%M')"

# The build packages and valgrind come with the project's package list; perf
# (Debian linux-perf) is optional: without it CPU times come from wait4.
command -v valgrind >/dev/null || bash scripts/packages.sh
command -v perf >/dev/null || echo "(perf not installed: CPU times from wait4, less exact)"

echo "== Build ($build)"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DODB_TESTS=OFF >/dev/null
cmake --build "$build" --target bench >/dev/null

bash scripts/start-firebird.sh
mkdir -p "$dir/data" "$work"
chmod 0777 "$dir/data" "$work"
if [[ ! -f $db ]]; then
  echo "== Creating $db (400 tables, 300,000 rows; about two minutes)"
  bash bench/make-db.sh "$db"
fi

echo
echo "== 1. Backup throughput against gbak ($ODB_BENCH_PAIRS pairs)"
"$build/bench/backup_vs_gbak" "$build/odbackup" "$db" "$work"

echo
echo "== 1b. Verification by a test restore against gbak -c ($ODB_BENCH_PAIRS pairs)"
"$build/bench/verify_vs_gbak" "$build/odbackup" "$db" "$work"

echo
echo "== 1c. The mirror's compressed copy against the backup it copies ($ODB_BENCH_PAIRS runs)"
"$build/bench/mirror_vs_backup" "$build/odbackup" "$db" "$work"

echo
echo "== 2. Idle cost"
# Instructions of N ticks under callgrind at two values of N: the difference
# cancels the setup and the teardown.
instructions() {
  local out=$work/callgrind.$1.$2
  valgrind --tool=callgrind --callgrind-out-file="$out" \
    "$build/bench/idle_ticks" "$1" "$2" "$work" 2>/dev/null
  awk '/^summary:/ {print $2}' "$out"
  rm -f "$out"
}
n1=1000 n2=11000
echo "Instructions per scheduler tick (callgrind, ($n2 ticks - $n1 ticks) / $((n2 - n1)); goal <= 20,000):"
for state in announced nothing nothing-past; do
  a=$(instructions "$state" $n1)
  b=$(instructions "$state" $n2)
  printf '  %-13s %8d instructions per tick\n' "$state" $(((b - a) / (n2 - n1)))
done
"$build/bench/headless_process" "$build/odbackup" "$work"

echo
echo "== 3. Log growth"
"$build/bench/log_growth" "$work"
# The Windows program's log view with the real EDIT control, under Wine.
if command -v wine >/dev/null && command -v xvfb-run >/dev/null; then
  winbuild=$dir/build-win
  echo "-- Windows build under Wine ($winbuild)"
  cmake -S . -B "$winbuild" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DODB_TESTS=OFF \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" >/dev/null
  cmake --build "$winbuild" --target bench_win_log_view odbackup odbdrive fbclient_bridge >/dev/null
  # A new prefix boots for seconds: made here and timed apart from every run.
  bash tests/bridge/prefix.sh "$winbuild/wineprefix" win64
  (cd "$winbuild" && WINEPREFIX=$winbuild/wineprefix WINEDEBUG=-all \
    xvfb-run -a wine ./bench_win_log_view.exe "Z:$work" 2>/dev/null) ||
    echo "(bench_win_log_view failed)"
  echo
  echo "== 4. The Windows program's verbose backup through the bridge against gbak ($ODB_BENCH_PAIRS pairs)"
  WINEPREFIX=$winbuild/wineprefix WINEDEBUG=-all \
    xvfb-run -a bash bench/win_backup.sh "$winbuild" "$db" "$work" "odbackup.exe 64-bit" ||
    echo "(the Windows backup benchmark failed)"
  if dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q "install ok installed"; then
    winbuild32=$dir/build-win32
    echo "-- 32-bit Windows build under 32-bit Wine ($winbuild32)"
    cmake -S . -B "$winbuild32" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DODB_TESTS=OFF \
      -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-i686.cmake" >/dev/null
    cmake --build "$winbuild32" --target odbackup odbdrive fbclient_bridge >/dev/null
    bash tests/bridge/prefix.sh "$winbuild32/wineprefix" win32
    WINEPREFIX=$winbuild32/wineprefix WINEARCH=win32 WINEDEBUG=-all \
      xvfb-run -a bash bench/win_backup.sh "$winbuild32" "$db" "$work" "odbackup.exe 32-bit" ||
      echo "(the 32-bit Windows backup benchmark failed)"
  else
    echo "(32-bit Wine not installed: the 32-bit program is not measured)"
  fi
else
  echo "(wine or xvfb-run not installed: the Win32 log view is not measured)"
fi
