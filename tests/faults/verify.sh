#!/usr/bin/env bash
# Verification by a test restore against a real server: a good backup is
# restored beside itself under a name of its own and the restore dropped; a
# backup damaged or cut short on disk just before its restore (by the fault
# client) fails the verification, is kept aside and shifts nothing. Names in
# the backup folder that point elsewhere are never followed. Usage: verify.sh tcp|local
FB_PORT=${FB_PORT:-3171}
source "$(dirname "$0")/lib.sh"
: "${ODB_FAULTCLIENT_LIB:?folder of the fault client library}"
mode=${1:?tcp or local}
backups=$work/backups

# Big enough that the last 0.1% of its backup holds data, not the padding of
# the last block: a small backup cut there still restores, rightly.
cached_db "$work/db.fdb" big
mkdir -p "$backups"
if [[ $mode == tcp ]]; then
  start_server
  standard_ini
else
  # No host: the embedded engine restores and drops, as on a Linux server.
  write_ini "$work/odb.ini" LocalHost=A "DatabaseName=$work/db.fdb" "LogFileName=$work/odb.log" \
    "BackupPath=$backups" BackupCount=3 LastRun="01.02.2024 03:04:05" LogToFile=A ClearLog=N \
    EventAction=OnceBackup
fi
printf 'VerifyBackup=A\r\n' >>"$work/odb.ini"  # the last section is [Settings]

log_has() { iconv -f CP1250 -t UTF-8 "$work/odb.log" | grep -F -- "$1" >/dev/null; }
# Regular files only: what a run left of its restore.
temp_gone() {
  local left
  left=$(cd "$backups" && find . -maxdepth 1 -name 'ODBackup_verify*.fdb' -type f)
  [[ -z $left ]] || fail "$1: restore databases left behind: $left"
}
gbak_restores() {
  rm -f "$work/restored.fdb"
  FIREBIRD_LOCK=$work/lock-embedded timeout 60 gbak -c "$1" "$work/restored.fdb" -user sysdba </dev/null \
    >"$work/gbak.txt" 2>&1 || { fail "$2: gbak -c cannot restore $(basename "$1"): $(tail -1 "$work/gbak.txt")"; return; }
  rm -f "$work/restored.fdb"
}
# run_with FAULT: --once through the fault client (FAULT may be empty). A
# restore that waits for a next volume nobody gives must not hang the test.
run_with() {
  set +e
  LD_LIBRARY_PATH=$ODB_FAULTCLIENT_LIB ODB_FAULTCLIENT=$1 timeout 120 "$ODBACKUP" --config "$work/odb.ini" --once \
    >"$work/out.txt" 2>"$work/err.txt"
  rc=$?
  set -e
  out=$(cat "$work/out.txt")
  err=$(cat "$work/err.txt")
}
# expect_state WORD STATUS CASE: the --status verdict.
expect_state() {
  local text status=0
  text=$("$ODBACKUP" --config "$work/odb.ini" --status 2>&1) || status=$?
  grep -q "^state: $1" <<<"$text" || fail "$3: --status does not say \"state: $1\": $(grep state: <<<"$text")"
  ((status == $2)) || fail "$3: --status exit status $status, expected $2"
}

# Two good backups; before the second, leftovers of earlier runs at restore
# names: regular files go (junk at the old fixed name must not block the
# restore), a folder stays as it is.
for i in 1 2; do
  if ((i == 2)); then
    printf 'junk' >"$backups/ODBackup_verify.fdb"
    printf 'junk' >"$backups/ODBackup_verify_20240101.fdb"
    mkdir "$backups/ODBackup_verify_folder.fdb" && printf 'kept' >"$backups/ODBackup_verify_folder.fdb/inside"
  fi
  run_with ""
  expect_rc 0 "good backup $i"
  log_has "Záloha ověřena obnovou: $backups/ODBackup_1.fbk" || fail "good backup $i: no verification entry"
  created=$(grep -o "gbak:created database $backups/ODBackup_verify_[^ ]*\.fdb" <<<"$out" || true)
  [[ -n $created ]] || fail "good backup $i: the restore's output shows no database ODBackup_verify_<unique>.fdb"
  [[ $i == 1 || $created != "$first_created" ]] || fail "good backup $i: the restore database's name repeats"
  first_created=$created
  temp_gone "good backup $i"
  gbak_restores "$backups/ODBackup_1.fbk" "good backup $i"
done
[[ $(cat "$backups/ODBackup_verify_folder.fdb/inside" 2>/dev/null) == kept ]] ||
  fail "a folder at a restore name was not left alone"
# Whatever was not cleared must not decide the cases below.
find "$backups" -maxdepth 1 -name "ODBackup_verify*.fdb" -type f -delete
expect_same "$(printf '%s\n' ./ODBackup_1.fbk ./ODBackup_2.fbk)" "$(generations "$backups" | awk '{print $2}')" \
  "generations after two good backups"
for f in "$backups"/ODBackup_[12].fbk; do
  [[ $(stat -c %a "$f") == 600 ]] || fail "$(basename "$f") has mode $(stat -c %a "$f"), expected 600"
done
expect_state fresh 0 "after good backups"

# Backups damaged on disk (in the middle, or among the first rows where gbak
# skips rows and ends as if whole) or cut short (per mille of their length
# kept) just before their restore.
previous_failed=
for fault in damage skip truncate@50 truncate@500 truncate@999; do
  # An old LastRun, so that one saved within the same second still shows.
  sed -i 's/^LastRun=.*/LastRun=01.02.2024 03:04:05\r/' "$work/odb.ini"
  before=$(generations "$backups")
  made_before=$(done_entries "$work/odb.log")
  run_with "$fault"
  expect_rc 1 "$fault"
  expect_err_has "Ověření zálohy selhalo: " "$fault"
  log_has "Ověření zálohy selhalo: " || fail "$fault: no failure entry in the log"
  temp_gone "$fault"
  expect_same "$before" "$(generations "$backups")" "$fault: generations"
  for f in "$backups"/ODBackup_[12].fbk; do gbak_restores "$f" "$fault"; done
  [[ $(done_entries "$work/odb.log") == "$made_before" ]] || fail "$fault: logged as made"
  [[ $(ini_value "$work/odb.ini" LastRun) == "01.02.2024 03:04:05" ]] || fail "$fault: LastRun changed"
  kept=$backups/ODBackup_verify_failed.fbk
  log_has "Záloha neprošla ověřením, ponechána jako: $kept" || fail "$fault: no entry for the kept file"
  if [[ -f $kept ]]; then
    sum=$(sha256sum <"$kept")
    [[ $sum != "$previous_failed" ]] || fail "$fault: the earlier failed backup was not replaced"
    previous_failed=$sum
  else
    fail "$fault: the failed backup was not kept as $(basename "$kept")"
  fi
  expect_same "./ODBackup_verify_failed.fbk" "$(cd "$backups" && find . -maxdepth 1 -name '*failed*')" \
    "$fault: failed backups kept"
  [[ -e $backups/ODBackup_1.fbk.part ]] && fail "$fault: the unfinished ODBackup_1.fbk.part stayed"
  expect_state "failed (" 1 "$fault"
done

# Symlinks at every name a run deletes, creates or writes, each to a victim
# outside the folder: two databases and two plain files.
mkdir -p "$work/victims"
declare -A victims=([ODBackup_verify.fdb]=a.fdb [ODBackup_verify_planted.fdb]=b.txt
  [ODBackup_1.fbk.part]=c.fdb [ODBackup_verify_failed.fbk]=d.txt)
for fault in "" truncate@500; do
  what="symlinks, ${fault:-good backup}"
  for name in "${!victims[@]}"; do
    victim=$work/victims/${victims[$name]}
    if [[ $victim == *.fdb ]]; then cached_db "$victim" small; else printf 'victim %s' "$name" >"$victim"; fi
    rm -f "$backups/$name"
    ln -s "$victim" "$backups/$name"
  done
  sums=$(cd "$work/victims" && sha256sum ./*)
  run_with "$fault"
  expect_rc "$([[ -z $fault ]] && echo 0 || echo 1)" "$what"
  expect_same "$sums" "$(cd "$work/victims" && sha256sum ./*)" "$what: victims"
  for victim in "$work"/victims/{a,c}.fdb; do
    echo "select count(*) from T1;" | isql_embedded "$victim" >/dev/null 2>&1 ||
      fail "$what: $(basename "$victim") no longer opens"
  done
done
finish
