#!/usr/bin/env bash
# The backup folder fills up during the backup: the server's write error, no
# partial ODBackup_1.fbk, every generation as it was.
FB_PORT=${FB_PORT:-3152}
source "$(dirname "$0")/lib.sh"

mkdir -p "$work/backups"
mount -t tmpfs -o size=1m tmpfs "$work/backups" 2>/dev/null ||
  skip "mounting a 1 MB tmpfs is not permitted here"
mounts+=("$work/backups")
chmod 0777 "$work/backups"

cached_db "$work/db.fdb" big
start_server
standard_ini
printf 'second' >"$work/backups/ODBackup_1.fbk"
printf 'third' >"$work/backups/ODBackup_2.fbk"
lastrun_before=$(ini_value "$work/odb.ini" LastRun)
generations_before=$(generations "$work/backups")

run_once
expect_rc nonzero "disk full"
grep -qiE "No space left on device|free disk space exhausted|write.* operation" <<<"$err" ||
  fail "no disk-space error on stderr: $err"
expect_failed_untouched "$lastrun_before" "$generations_before" "disk full"
echo "stderr: $err"

# With room again (the same generations on a roomy disk), the next backup
# takes number 1 and shifts the others once.
umount "$work/backups" && mounts=()
mkdir -p "$work/backups" && printf 'second' >"$work/backups/ODBackup_1.fbk"
printf 'third' >"$work/backups/ODBackup_2.fbk"
run_once
expect_rc 0 "backup with room again"
[[ -s $work/backups/ODBackup_1.fbk ]] || fail "no ODBackup_1.fbk with room again"
[[ $(cat "$work/backups/ODBackup_2.fbk") == second ]] || fail "generation 2 is not the former 1"
[[ $(cat "$work/backups/ODBackup_3.fbk") == third ]] || fail "generation 3 is not the former 2"
finish
