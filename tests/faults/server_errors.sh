#!/usr/bin/env bash
# Settings that cannot work, one row each: a clear error on stderr, a non-zero
# exit status, every generation as it was, LastRun and the log untouched.
# Usage: server_errors.sh ROW
FB_PORT=${FB_PORT:-3154}
source "$(dirname "$0")/lib.sh"
row=${1:?row}

cached_db "$work/db.fdb" small
mkdir -p "$work/backups" "$work/folder.fdb"
printf 'gen-1' >"$work/backups/ODBackup_1.fbk"
start_server
case $row in
  wrong_password)
    echo "alter user sysdba password 'other'; commit;" |
      isql-fb -q -user sysdba -password "$FB_PASSWORD" "localhost/$FB_PORT:$work/db.fdb" >/dev/null
    standard_ini
    expected="Your user name and password are not defined" ;;
  unknown_host)
    SERVER=no-such-host.invalid standard_ini
    expected='Unable to complete network request to host "no-such-host.invalid"' ;;
  closed_port)
    SERVER=localhost/3099 standard_ini
    expected="Unable to complete network request to host" ;;
  missing_database)
    DB=$work/nothere.fdb standard_ini
    expected="$work/nothere.fdb" ;;
  missing_backup_folder)
    BACKUPS=$work/no/such/folder standard_ini
    expected="cannot open backup file $work/no/such/folder/ODBackup_1.fbk" ;;
  database_is_folder)
    DB=$work/folder.fdb standard_ini
    expected="$work/folder.fdb" ;;
  *) echo "unknown row $row" >&2; exit 2 ;;
esac
lastrun_before=$(ini_value "$work/odb.ini" LastRun)
backups_before=$(snapshot "$work/backups")
generations_before=$(generations "$work/backups")

start=$(date +%s)
run_once
elapsed=$(($(date +%s) - start))
expect_rc nonzero "$row"
expect_err_has "$expected" "$row"
[[ $err == odbackup:* ]] || fail "$row: stderr does not start with the program's name: $err"
((elapsed < 60)) || fail "$row: took $elapsed s"
if [[ $row == missing_backup_folder ]]; then
  expect_same "$lastrun_before" "$(ini_value "$work/odb.ini" LastRun)" "$row: LastRun"
  [[ $(done_entries "$work/odb.log") == 0 ]] || fail "$row: a failed backup was logged as made"
  expect_same "$backups_before" "$(snapshot "$work/backups")" "$row: the other folder"
  [[ -e $work/no ]] && fail "$row: the missing folder was created"
else
  expect_failed_untouched "$lastrun_before" "$generations_before" "$row"
fi
echo "$row: exit $rc after ${elapsed}s: $err"
finish
