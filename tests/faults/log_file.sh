#!/usr/bin/env bash
# The log file goes away or cannot be written while a backup runs: the backup
# is made and recorded in the INI, the entry is dropped without a message, and
# nothing is created in the log's place.
# Usage: log_file.sh removed|folder|readonly
FB_PORT=${FB_PORT:-3156}
source "$(dirname "$0")/lib.sh"
row=${1:?row}

cached_db "$work/db.fdb" big
start_server
mkdir -p "$work/backups"
standard_ini
[[ ! -e $work/odb.log ]] || fail "log exists before the start"

set +e
"$ODBACKUP" --config "$work/odb.ini" --once >"$work/out.txt" 2>"$work/err.txt" &
program=$!
# The program prepares the log at its start; change it once the backup runs.
# The server holds a verbose backup until its output is read, so stopping the
# program holds the backup where it is.
for _ in $(seq 1 200); do
  (($(wc -l <"$work/out.txt") > 20)) && break
  sleep 0.05
done
kill -STOP $program
case $row in
  removed) rm "$work/odb.log" ;;
  folder) rm "$work/odb.log" && mkdir "$work/odb.log" ;;
  readonly)
    if mount --bind "$work/odb.log" "$work/odb.log" 2>/dev/null &&
      mount -o remount,ro,bind "$work/odb.log" 2>/dev/null; then
      mounts+=("$work/odb.log")
    else
      kill -CONT $program; wait $program
      skip "a read-only bind mount is not permitted here"
    fi ;;
  *) echo "unknown row $row" >&2; exit 2 ;;
esac
grep -q "closing file, committing" "$work/out.txt" && fail "the backup ended before the log was changed"
kill -CONT $program
wait $program
rc=$?
set -e
err=$(cat "$work/err.txt")

expect_rc 0 "log $row"
[[ -z $err ]] || fail "log $row: something was shown: $err"
[[ -s $work/backups/ODBackup_1.fbk ]] || fail "log $row: no backup"
[[ $(ini_value "$work/odb.ini" LastRun) != "01.02.2024 03:04:05" ]] || fail "log $row: LastRun not saved"
case $row in
  removed) [[ -e $work/odb.log ]] && fail "the removed log was created again" ;;
  folder) [[ -d $work/odb.log ]] || fail "the folder in the log's place is gone" ;;
  readonly) [[ -s $work/odb.log ]] && fail "the read-only log was written" ;;
esac
echo "log $row: exit $rc, stderr empty"
finish
