#!/usr/bin/env bash
# The disk holding the INI is full when the backup saves LastRun: the user reads
# "Unable to write to <file>" and the INI keeps every byte (a failed rewrite
# must not leave it cut short, settings lost).
FB_PORT=${FB_PORT:-3157}
source "$(dirname "$0")/lib.sh"

mkdir -p "$work/cfg" "$work/backups"
mount -t tmpfs -o size=64k tmpfs "$work/cfg" 2>/dev/null || skip "mounting a tmpfs is not permitted here"
mounts+=("$work/cfg")
cached_db "$work/db.fdb" small
start_server
standard_ini
# A comment line brings the INI to just below a page, so adding LastRun needs a
# second one, which the full disk does not have.
sed -i '/^LastRun=/d' "$work/odb.ini"
size=$(stat -c %s "$work/odb.ini")
{ printf ';%*s\r\n' $((4096 - size - 5)) '' | tr ' ' x; cat "$work/odb.ini"; } >"$work/cfg/odb.ini"
dd if=/dev/zero of="$work/cfg/filler" bs=4k count=100 2>/dev/null || true
ini_before=$(cat "$work/cfg/odb.ini")

run_once "$work/cfg/odb.ini"
expect_rc nonzero "INI on a full disk"
expect_err_has "Unable to write to $work/cfg/odb.ini" "INI on a full disk"
expect_same "$ini_before" "$(cat "$work/cfg/odb.ini")" "INI on a full disk"
[[ -s $work/backups/ODBackup_1.fbk ]] || fail "the backup made was not kept"
echo "exit $rc: $err"
finish
