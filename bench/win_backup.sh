#!/usr/bin/env bash
# The Windows program's verbose backup of the benchmark database through the
# fbclient.dll bridge under Wine, window shown (the log view fills as the lines
# come), against the Linux gbak -se -v in the same run; medians, alternating.
# Ours: from OK ("Jednorázová záloha", posted by odbdrive) until the log entry
# is written, timed inside Wine. Theirs: the whole gbak process.
# One warm-up run comes first and is reported apart: the first program start
# in a prefix loads Wine's DLLs from disk and starts its services. The program
# start (exec until the window is ready) is reported apart from the backup.
# Last, one more backup asks the window for an answer every 20 ms (odbdrive
# once-pinged): how long its thread takes to answer while the output streams in.
# The load average before and after is printed: the machine may be shared.
# Usage: bench/win_backup.sh WINBUILD DB WORK [LABEL]   (under xvfb-run; WINEPREFIX
#   made by tests/bridge/prefix.sh)
set -euo pipefail
winbuild=$1 db=$2 work=$3 label=${4:-odbackup.exe}
pairs=${ODB_BENCH_PAIRS:-7}
app=$work/win-app
rm -rf "$app" "$work/winbk"
mkdir -p "$app" "$work/winbk"
chmod 0777 "$work/winbk"
cp "$winbuild/odbackup.exe" "$app/"
cp "$winbuild/tests/bridge/fbclient.dll" "$app/"
winpath() { printf 'Z:%s' "${1//\//\\}"; }
export ODB_APP_EXE
ODB_APP_EXE=$(winpath "$app/odbackup.exe")
drive() { wine "$winbuild/tests/bridge/odbdrive.exe" "$@" 2>/dev/null | tr -d '\r'; return "${PIPESTATUS[0]}"; }
log=$(winpath "$app/odbackup.log")
printf '[OrdavaDB]\r\nLocalHost=N\r\nServerName=localhost\r\nDatabaseName=%s\r\nLogFileName=%s\r\n[Backups]\r\nBackupPath=%s\r\nBackupCount=1\r\n[Settings]\r\nLogToFile=A\r\nClearLog=N\r\nEventAction=OnceBackup\r\n' \
  "$db" "$log" "$(winpath "$work/winbk")" >"$app/odbackup.ini"

median() { sort -n | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }
now_ms() { echo $(($(date +%s%N) / 1000000)); }

# One backup by the Windows program; sets started (ms until the window is
# ready) and ms (the backup).
windows_backup() {
  local start program
  wineserver -w 2>/dev/null || true
  start=$(now_ms)
  (cd "$app" && exec wine odbackup.exe >/dev/null 2>&1) &
  program=$!
  drive wait-main 120 >/dev/null || { echo "(the window did not appear)"; exit 1; }
  started=$(($(now_ms) - start))
  sleep 1
  ms=$(drive once-timed "$log") || { echo "(the Windows backup failed)"; exit 1; }
  drive close || true
  wait "$program" || true
}

gbak_backup() {
  local start
  start=$(now_ms)
  gbak -b -g -se localhost:service_mgr -v "$db" "$work/winbk/gbak.fbk" -user sysdba -password pinewharf >/dev/null
  ms=$(($(now_ms) - start))
  rm -f "$work/winbk/gbak.fbk"
}

echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
windows_backup
echo "warm-up (not counted): $label start ${started} ms, backup ${ms} ms"
ours=() theirs=() starts=()
for ((i = 0; i < pairs; i++)); do
  windows_backup
  ours+=("$ms")
  starts+=("$started")
  gbak_backup
  theirs+=("$ms")
done
lines=$(gbak -b -g -se localhost:service_mgr -v "$db" "$work/winbk/gbak.fbk" -user sysdba -password pinewharf | wc -l)
rm -f "$work/winbk/gbak.fbk"
a=$(printf '%s\n' "${ours[@]}" | median)
b=$(printf '%s\n' "${theirs[@]}" | median)
amin=$(printf '%s\n' "${ours[@]}" | sort -n | head -1)
bmin=$(printf '%s\n' "${theirs[@]}" | sort -n | head -1)
echo "runs (ms): $label ${ours[*]}; gbak ${theirs[*]}; $label start ${starts[*]} (median $(printf '%s\n' "${starts[@]}" | median))"
printf 'TCP, %d output lines: %s (Wine, bridge, log view shown) %.0f ms, gbak -se -v %.0f ms, ratio %.2f (goal <= 1.25); minima %d / %d ms, ratio %.2f\n' \
  "$lines" "$label" "$a" "$b" "$(awk -v a="$a" -v b="$b" 'BEGIN {print a / b}')" \
  "$amin" "$bmin" "$(awk -v a="$amin" -v b="$bmin" 'BEGIN {print a / b}')"

# The window's answers during one more backup.
wineserver -w 2>/dev/null || true
(cd "$app" && exec wine odbackup.exe >/dev/null 2>&1) &
program=$!
drive wait-main 120 >/dev/null && sleep 1
if read -r ms asked slowest middle < <(drive once-pinged "$log"); then
  echo "window's answers during a backup of $ms ms: $asked questions, slowest $slowest ms, median $middle ms"
else
  echo "(the answers could not be measured)"
fi
drive close || true
wait "$program" || true
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
