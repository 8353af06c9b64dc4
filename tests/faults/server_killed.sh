#!/usr/bin/env bash
# The server dies in the middle of a verbose backup over TCP: the user gets the
# network error, nothing counts as made or moves, and after a restart the next
# backup succeeds.
FB_PORT=${FB_PORT:-3151}
source "$(dirname "$0")/lib.sh"

cached_db "$work/db.fdb" big
start_server
mkdir -p "$work/backups"
standard_ini
printf 'second' >"$work/backups/ODBackup_1.fbk"
printf 'third' >"$work/backups/ODBackup_2.fbk"
lastrun_before=$(ini_value "$work/odb.ini" LastRun)
generations_before=$(generations "$work/backups")

set +e
"$ODBACKUP" --config "$work/odb.ini" --once >"$work/out.txt" 2>"$work/err.txt" &
program=$!
# Kill the server once the backup is well under way.
for _ in $(seq 1 200); do
  (($(wc -l <"$work/out.txt") > 200)) && break
  sleep 0.05
done
# Stopped, the program reads no output, and the server holds the backup.
kill -STOP $program
lines_at_kill=$(wc -l <"$work/out.txt")
stop_server
kill -CONT $program
wait $program
rc=$?
set -e
err=$(cat "$work/err.txt")
out_lines=$(wc -l <"$work/out.txt")

((lines_at_kill > 200)) || fail "the backup never got under way ($lines_at_kill lines)"
grep -q "closing file, committing, and finishing" "$work/out.txt" &&
  fail "the backup finished before the server was killed; the database is too small"
expect_rc nonzero "server killed"
grep -qE "Error (reading|writing) data (from|to) the connection|connection (lost|shutdown)|Unable to complete network request" <<<"$err" ||
  fail "no network error on stderr: $err"
expect_failed_untouched "$lastrun_before" "$generations_before" "server killed"
echo "server killed after $lines_at_kill of the output lines; program read $out_lines; stderr: $err"

start_server
run_once
expect_rc 0 "backup after the restart"
[[ -s $work/backups/ODBackup_1.fbk ]] || fail "no ODBackup_1.fbk after the restart"
[[ $(cat "$work/backups/ODBackup_2.fbk") == second ]] || fail "generation 2 is not the former 1"
[[ $(cat "$work/backups/ODBackup_3.fbk") == third ]] || fail "generation 3 is not the former 2"
[[ -z $(find "$work/backups" -name '*.part' -o -name '*.rotating') ]] || fail "an unfinished file is left after the restart"
[[ $(done_entries "$work/odb.log") == 1 ]] || fail "the good backup was not logged once"
[[ $(ini_value "$work/odb.ini" LastRun) != "01.02.2024 03:04:05" ]] || fail "LastRun not saved"
finish
