#!/usr/bin/env bash
# The INI cannot be written when the backup saves LastRun: the backup is made
# and kept, the user reads "Unable to write to <file>", the INI keeps every byte.
FB_PORT=${FB_PORT:-3155}
source "$(dirname "$0")/lib.sh"

cached_db "$work/db.fdb" small
start_server
mkdir -p "$work/backups"
printf 'gen-1' >"$work/backups/ODBackup_1.fbk"
standard_ini
ini_before=$(cat "$work/odb.ini")

# Root ignores permission bits: make the file immutable, or bind it read-only.
if chattr +i "$work/odb.ini" 2>/dev/null; then
  how="chattr +i"
elif mount --bind "$work/odb.ini" "$work/odb.ini" 2>/dev/null &&
  mount -o remount,ro,bind "$work/odb.ini" 2>/dev/null; then
  how="read-only bind mount"
  mounts+=("$work/odb.ini")
else
  skip "neither chattr +i nor a read-only bind mount works here"
fi

run_once
expect_rc nonzero "LastRun not saved"
expect_err_has "Unable to write to $work/odb.ini" "LastRun not saved"
expect_same "$ini_before" "$(cat "$work/odb.ini")" "INI"
[[ -s $work/backups/ODBackup_1.fbk ]] || fail "the backup made was not kept"
[[ $(cat "$work/backups/ODBackup_2.fbk") == gen-1 ]] || fail "the earlier backup is not generation 2"
[[ $(done_entries "$work/odb.log") == 1 ]] || fail "the backup made was not logged"
echo "INI made read-only by $how; exit $rc: $err"
finish
