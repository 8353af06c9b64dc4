#!/usr/bin/env bash
# The headless program following its plan under libfaketime, with the clock
# running fast, through a night in which the wall clock comes round to
# instants already backed up:
#   autumn   - plan 02:15 and 02:45 across the autumn change in Europe/Prague
#              (at 03:00 summer time the clock goes back to 02:00);
#   set_back - plan 18:00 and 18:30, the clock set back an hour once both are done.
# Either way two backups are made, not four: a log entry and a generation each.
set -euo pipefail
kind=${1:?autumn or set_back}
# shellcheck source=../faults/lib.sh
source "$(dirname "$0")/../faults/lib.sh"
FAKETIME_LIB=/usr/lib/x86_64-linux-gnu/faketime/libfaketimeMT.so.1
[[ -f $FAKETIME_LIB ]] || skip "libfaketime is missing (package faketime)"
RATE=120  # fake seconds per real second

cached_db "$work/db.fdb" small
mkdir -p "$work/backups"

# Sleeps for a stretch of fake time.
fake_sleep() { sleep "$(awk -v s="$1" -v r=$RATE 'BEGIN { print s / r }')"; }

# Waits (real time, bounded) until the log holds $1 completed backups.
wait_for_backups() {
  local i
  for i in $(seq 1 600); do
    (($(done_entries "$work/odb.log") >= $1)) && return 0
    sleep 0.1
  done
  fail "$1 backups were not made in time"
}

case $kind in
  autumn)
    [[ $(TZ=Europe/Prague date -d "2026-10-25 00:30 UTC" +%R)$(TZ=Europe/Prague date -d "2026-10-25 01:30 UTC" +%R) == 02:3002:30 ]] ||
      skip "the time zone data has no autumn change in Europe/Prague on 25.10.2026 (package tzdata)"
    start="2026-10-25 01:50:00"
    times=(02:15:00 02:45:00)
    last_run="25.10.2026 01:00:00"
    served="25.10.2026 02:45:00"
    ;;
  set_back)
    start="2026-12-09 17:50:00"
    times=(18:00:00 18:30:00)
    last_run="09.12.2026 17:00:00"
    served="09.12.2026 18:30:00"
    ;;
  *) echo "unknown case $kind" >&2; exit 2 ;;
esac

write_ini "$work/odb.ini" LocalHost=A "DatabaseName=$work/db.fdb" "LogFileName=$work/odb.log" \
  "BackupPath=$work/backups" BackupCount=5 "LastRun=$last_run" LogToFile=A ClearLog=N \
  EventAction=BackupOnTimer
# [Settings] is the file's last section.
printf 'Days=1,2,3,4,5,6,7\r\nEventCountTimes=2\r\nTime_1=%s\r\nTime_2=%s\r\n' "${times[@]}" >>"$work/odb.ini"

echo "@$start x$RATE" >"$work/faketime.rc"
FIREBIRD_LOCK=$work/lock-embedded TZ=Europe/Prague LD_PRELOAD=$FAKETIME_LIB \
  FAKETIME_TIMESTAMP_FILE=$work/faketime.rc FAKETIME_NO_CACHE=1 \
  "$ODBACKUP" --config "$work/odb.ini" >"$work/out.txt" 2>"$work/err.txt" &
pid=$!

case $kind in
  autumn)
    # 01:50 summer time to 02:50 winter time: two hours.
    fake_sleep $((120 * 60))
    ;;
  set_back)
    wait_for_backups 2
    # At about 18:35: back to 17:35, and on until 18:40.
    echo "@2026-12-09 17:35:00 x$RATE" >"$work/faketime.rc"
    fake_sleep $((65 * 60))
    ;;
esac
kill -TERM "$pid"
wait "$pid" || fail "the program ended with status $?"

made=$(done_entries "$work/odb.log")
generations=$(find "$work/backups" -name 'ODBackup_*.fbk' | wc -l)
echo "$kind: $made backups logged, $generations generations"
[[ $made == 2 ]] || fail "$made backups logged, expected 2"
[[ $generations == 2 ]] || fail "$generations generations, expected 2"
[[ $(ini_value "$work/odb.ini" LastPlannedRun) == "$served" ]] ||
  fail "LastPlannedRun is '$(ini_value "$work/odb.ini" LastPlannedRun)', expected $served"
if ((failures)); then
  iconv -f CP1250 -t UTF-8 "$work/odb.log" | grep -v '^<' >&2 || true
  cat "$work/err.txt" >&2
fi
finish
