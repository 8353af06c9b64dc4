#!/usr/bin/env bash
# The server login: a server whose SYSDBA password is not the program's
# default, signed in with what --set-password stored.
FB_PORT=${FB_PORT:-3170}
source "$(dirname "$0")/lib.sh"
secret='Tajne-heslo_7'

cached_db "$work/db.fdb" small
mkdir -p "$work/backups"
printf 'gen-1' >"$work/backups/ODBackup_1.fbk"
start_server
echo "alter user sysdba password '$secret'; commit;" |
  isql-fb -q -user sysdba -password "$FB_PASSWORD" "localhost/$FB_PORT:$work/db.fdb" >/dev/null
standard_ini

# set_password PASSWORD [ARGS...]: --set-password with the password piped in; sets rc.
set_password() {
  set +e
  printf '%s\n' "$1" | "$ODBACKUP" --config "$work/odb.ini" --set-password "${@:2}" 2>"$work/set.txt"
  rc=$?
  set -e
  err=$(cat "$work/set.txt")
}

# A refused login moves no generation.
lastrun_before=$(ini_value "$work/odb.ini" LastRun)
generations_before=$(generations "$work/backups")
run_once
expect_rc nonzero "without the login keys"
expect_err_has "Your user name and password are not defined" "without the login keys"
expect_failed_untouched "$lastrun_before" "$generations_before" "without the login keys"

set_password wrong-one
expect_rc 0 "storing a wrong password"
[[ $(ini_value "$work/odb.ini" Password) == wrong-one ]] || fail "the password was not stored as Password="
[[ $(stat -c %a "$work/odb.ini") == 600 ]] || fail "storing left the INI mode $(stat -c %a "$work/odb.ini")"
run_once
expect_rc nonzero "a wrong stored password"
expect_err_has "Your user name and password are not defined" "a wrong stored password"
expect_failed_untouched "$lastrun_before" "$generations_before" "a wrong stored password"

set_password "$secret" --user SYSDBA
expect_rc 0 "storing the right password"
[[ $(ini_value "$work/odb.ini" UserName) == SYSDBA ]] || fail "--user was not stored as UserName="
run_once
expect_rc 0 "the stored login"
[[ -s $work/backups/ODBackup_1.fbk ]] || fail "no backup with the stored login"
[[ $(cat "$work/backups/ODBackup_2.fbk" 2>/dev/null) == gen-1 ]] || fail "the earlier backup is not generation 2"
grep -qF "Your user name" <<<"$out" && fail "the server refused the stored login: $out"

chmod 0644 "$work/odb.ini"
before=$(snapshot "$work/backups")
run_once
expect_rc nonzero "a password others can read"
expect_err_has "mohou číst i jiní uživatelé" "a password others can read"
expect_err_has "$work/odb.ini" "a password others can read"
expect_same "$before" "$(snapshot "$work/backups")" "backups after a refused password"

chmod 0600 "$work/odb.ini"
ini_before=$(cat "$work/odb.ini")
set_password "$(printf 'x%.0s' {1..300})"
expect_rc nonzero "a password too long for the attach block"
expect_err_has "at most 255 bytes" "a password too long for the attach block"
set_password ""
expect_rc nonzero "an empty password"
expect_same "$ini_before" "$(cat "$work/odb.ini")" "INI after refused passwords"
finish
