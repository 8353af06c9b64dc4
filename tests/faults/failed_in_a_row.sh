#!/usr/bin/env bash
# Five failed backups in a row with three generations, then a good one: no
# failure moves or changes a generation, and the good backup takes number 1,
# shifting the others once (the oldest goes, BackupCount is 3).
FB_PORT=${FB_PORT:-3153}
source "$(dirname "$0")/lib.sh"

cached_db "$work/db.fdb" small
start_server
mkdir -p "$work/backups"
printf 'gen-1' >"$work/backups/ODBackup_1.fbk"
printf 'gen-2' >"$work/backups/ODBackup_2.fbk"
printf 'gen-3' >"$work/backups/ODBackup_3.fbk"

DB=$work/missing.fdb standard_ini
lastrun_before=$(ini_value "$work/odb.ini" LastRun)
generations_before=$(generations "$work/backups")
for i in 1 2 3 4 5; do
  run_once
  expect_rc nonzero "failure $i"
  expect_err_has "missing.fdb" "failure $i"
  expect_failed_untouched "$lastrun_before" "$generations_before" "failure $i"
done

sed -i "s#missing.fdb#db.fdb#" "$work/odb.ini"
run_once
expect_rc 0 "the good backup"
expect_same "$(printf '%s\n' ODBackup_1.fbk ODBackup_2.fbk=gen-1 ODBackup_3.fbk=gen-2)" \
  "$(cd "$work/backups" && for f in ODBackup_*.fbk; do [[ $f == ODBackup_1.fbk ]] && echo "$f" || echo "$f=$(cat "$f")"; done)" \
  "generations after the good backup"
FIREBIRD_LOCK=$work/lock-embedded gbak -c "$work/backups/ODBackup_1.fbk" "$work/restored.fdb" -user sysdba ||
  fail "the new ODBackup_1.fbk does not restore"
[[ $(done_entries "$work/odb.log") == 1 ]] || fail "the good backup was not logged once"
finish
