#!/usr/bin/env bash
# Verification by a test restore against a real server: a good backup is
# restored beside itself and the restore dropped; a backup damaged on disk
# (bytes overwritten by the fault client just before the restore) fails the
# verification, and every generation stays. Usage: verify.sh tcp|local
FB_PORT=${FB_PORT:-3171}
source "$(dirname "$0")/lib.sh"
: "${ODB_FAULTCLIENT_LIB:?folder of the fault client library}"
mode=${1:?tcp or local}

cached_db "$work/db.fdb" small
mkdir -p "$work/backups"
printf 'second' >"$work/backups/ODBackup_1.fbk"
printf 'third' >"$work/backups/ODBackup_2.fbk"
if [[ $mode == tcp ]]; then
  start_server
  standard_ini
else
  # No host: the embedded engine restores and drops, as on a Linux server.
  write_ini "$work/odb.ini" LocalHost=A "DatabaseName=$work/db.fdb" "LogFileName=$work/odb.log" \
    "BackupPath=$work/backups" BackupCount=3 LastRun="01.02.2024 03:04:05" LogToFile=A ClearLog=N \
    EventAction=OnceBackup
fi
printf 'VerifyBackup=A\r\n' >>"$work/odb.ini"  # the last section is [Settings]

log_has() { iconv -f CP1250 -t UTF-8 "$work/odb.log" | grep -qF -- "$1"; }
temp_gone() {
  [[ ! -e $work/backups/ODBackup_verify.fdb ]] || fail "$1: the temporary database is still there"
}

# A good backup.
run_once
expect_rc 0 "a good backup"
log_has "Záloha ověřena obnovou: $work/backups/ODBackup_1.fbk" || fail "a good backup: no verification entry"
grep -qF "gbak:created database $work/backups/ODBackup_verify.fdb" <<<"$out" ||
  fail "a good backup: the restore's output is not shown"
temp_gone "a good backup"
FIREBIRD_LOCK=$work/lock-embedded gbak -c "$work/backups/ODBackup_1.fbk" "$work/restored.fdb" -user sysdba ||
  fail "a good backup: gbak -c cannot restore it"
[[ $(cat "$work/backups/ODBackup_2.fbk") == second ]] || fail "a good backup: generation 2 is not the former 1"

# A backup damaged on disk before its restore.
good_backup=$(sha256sum <"$work/backups/ODBackup_1.fbk")
set +e
LD_LIBRARY_PATH=$ODB_FAULTCLIENT_LIB ODB_FAULTCLIENT=damage "$ODBACKUP" --config "$work/odb.ini" --once \
  >"$work/out.txt" 2>"$work/err.txt"
rc=$?
set -e
err=$(cat "$work/err.txt")
expect_rc nonzero "a damaged backup"
expect_err_has "Ověření zálohy selhalo: " "a damaged backup"
log_has "Ověření zálohy selhalo: " || fail "a damaged backup: no failure entry in the log"
temp_gone "a damaged backup"
# Made and counted, damaged or not: nothing is deleted or shifted by the check.
[[ -s $work/backups/ODBackup_1.fbk ]] || fail "a damaged backup: generation 1 is gone"
[[ $(sha256sum <"$work/backups/ODBackup_2.fbk") == "$good_backup" ]] ||
  fail "a damaged backup: generation 2 is not the good backup before it"
[[ $(cat "$work/backups/ODBackup_3.fbk") == second ]] || fail "a damaged backup: generation 3 is not the former 2"
made=$(iconv -f CP1250 -t UTF-8 "$work/odb.log" | grep "Záloha byla provedena: " | tail -1 | tr -d '\r')
[[ "Záloha byla provedena: $(ini_value "$work/odb.ini" LastRun)" == "$made" ]] ||
  fail "a damaged backup: LastRun is not the backup's time ($made)"
finish
