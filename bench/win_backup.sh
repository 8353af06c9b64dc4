#!/usr/bin/env bash
# The Windows program's verbose backup of the benchmark database through the
# fbclient.dll bridge under Wine, window shown (the log view fills as the lines
# come), against the Linux gbak -se -v in the same run; medians, alternating.
# Ours: from OK ("Jednorázová záloha", posted by odbdrive) until the log entry
# is written, timed inside Wine. Theirs: the whole gbak process.
# Usage: bench/win_backup.sh WINBUILD DB WORK   (under xvfb-run; WINEPREFIX set)
set -euo pipefail
winbuild=$1 db=$2 work=$3
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
ours=() theirs=()
for ((i = 0; i < pairs; i++)); do
  (cd "$app" && exec wine odbackup.exe >/dev/null 2>&1) &
  program=$!
  drive wait-main 60 >/dev/null
  sleep 1
  ms=$(drive once-timed "$log") || { echo "(the Windows backup failed)"; exit 1; }
  ours+=("$ms")
  drive close || true
  wait "$program" || true
  start=$(date +%s%N)
  gbak -b -g -se localhost:service_mgr -v "$db" "$work/winbk/gbak.fbk" -user sysdba -password pinewharf >/dev/null
  theirs+=($((($(date +%s%N) - start) / 1000000)))
  rm -f "$work/winbk/gbak.fbk"
done
lines=$(gbak -b -g -se localhost:service_mgr -v "$db" "$work/winbk/gbak.fbk" -user sysdba -password pinewharf | wc -l)
rm -f "$work/winbk/gbak.fbk"
a=$(printf '%s\n' "${ours[@]}" | median)
b=$(printf '%s\n' "${theirs[@]}" | median)
echo "runs (ms): odbackup.exe ${ours[*]}; gbak ${theirs[*]}"
printf 'TCP, %d output lines: odbackup.exe (Wine, bridge, log view shown) %.0f ms, gbak -se -v %.0f ms, ratio %.2f (goal <= 1.25)\n' \
  "$lines" "$a" "$b" "$(awk -v a="$a" -v b="$b" 'BEGIN {print a / b}')"
