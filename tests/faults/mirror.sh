#!/usr/bin/env bash
# The mirror's compressed copies against a real server over TCP.
#   rotation: four backups with MirrorCount=2 leave ODBackup_1.fbk.gz and
#             ODBackup_2.fbk.gz, each gunzipped equal to the backup it copies;
#             an interrupted copy's temporary file is removed by the next run.
#   file:     a MirrorPath that is a file: exit status 1 with the reason, the
#             backup made and recorded, --status failed until a good copy.
#   killed:   kill -9 while the copy is being written (strace holds its fsync):
#             --status says failed, not fresh, until a later copy is made.
FB_PORT=${FB_PORT:-3170}
source "$(dirname "$0")/lib.sh"
case=${1:?rotation, file or killed}

cached_db "$work/db.fdb" small
start_server
mkdir -p "$work/backups"

# Gunzipped mirror copy $1 against backup $2.
same_as_backup() { cmp -s <(zcat "$work/mirror/$1") "$work/backups/$2"; }
log_text() { iconv -f CP1250 -t UTF-8 "$work/odb.log"; }

case $case in
  rotation)
    mkdir -p "$work/mirror"
    standard_ini "MirrorPath=$work/mirror" MirrorCount=2
    for i in 1 2 3 4; do
      # What a copy cut short by a crash would leave.
      ((i == 3)) && printf 'cut' >"$work/mirror/ODBackup_1.fbk.gz.part"
      # A row more each time, so that no two backups are alike.
      echo "insert into T1 values ($((1000 + i)), 'run $i'); commit;" |
        isql-fb -q -user sysdba -password "$FB_PASSWORD" "localhost/$FB_PORT:$work/db.fdb" >/dev/null
      run_once
      expect_rc 0 "backup $i"
    done
    expect_same "$(printf '%s\n' ODBackup_1.fbk.gz ODBackup_2.fbk.gz)" "$(ls "$work/mirror")" "the mirror"
    same_as_backup ODBackup_1.fbk.gz ODBackup_1.fbk || fail "ODBackup_1.fbk.gz is not ODBackup_1.fbk"
    same_as_backup ODBackup_2.fbk.gz ODBackup_2.fbk || fail "ODBackup_2.fbk.gz is not ODBackup_2.fbk"
    cmp -s "$work/backups/ODBackup_1.fbk" "$work/backups/ODBackup_2.fbk" && fail "the two backups are one file"
    [[ $(log_text | grep -c "Kopie zálohy uložena: $work/mirror/ODBackup_1.fbk.gz") == 4 ]] ||
      fail "not four copies in the log"
    log_text | grep -qF "Odstraněn zbytek přerušené zálohy: $work/mirror/ODBackup_1.fbk.gz.part" ||
      fail "the interrupted copy's removal is not logged"
    ;;
  file)
    printf 'not a folder' >"$work/mirror"
    standard_ini "MirrorPath=$work/mirror"
    run_once
    expect_rc 1 "a mirror that is a file"
    expect_err_has "Kopie zálohy selhala: Cesta pro kopie záloh $work/mirror není složka" "a mirror that is a file"
    [[ -f $work/backups/ODBackup_1.fbk ]] || fail "the backup was not kept"
    [[ $(done_entries "$work/odb.log") == 1 ]] || fail "the backup was not logged as made"
    [[ $(ini_value "$work/odb.ini" LastRun) != "01.02.2024 03:04:05" ]] || fail "LastRun was not saved"
    log_text | grep -qF "Kopie zálohy selhala: " || fail "the copy's failure is not in the log"
    [[ $(cat "$work/mirror") == "not a folder" ]] || fail "the file was changed"
    set +e
    status=$("$ODBACKUP" --config "$work/odb.ini" --status 2>&1)
    status_rc=$?
    set -e
    [[ $status_rc == 1 ]] || fail "--status exit $status_rc, expected 1: $status"
    grep -q "^state: failed (.*Kopie zálohy selhala: " <<<"$status" || fail "--status: $status"
    # A reachable mirror again: the next backup with its copy clears it.
    rm "$work/mirror" && mkdir "$work/mirror"
    sleep 1  # LastRun counts in seconds
    run_once
    expect_rc 0 "a good backup with a good copy"
    set +e
    status=$("$ODBACKUP" --config "$work/odb.ini" --status 2>&1)
    status_rc=$?
    set -e
    grep -q "^state: failed" <<<"$status" && fail "--status still failed after a good copy: $status"
    same_as_backup ODBackup_1.fbk.gz ODBackup_1.fbk || fail "the good copy is not the backup"
    ;;
  killed)
    mkdir -p "$work/mirror"
    standard_ini "MirrorPath=$work/mirror"
    run_once
    expect_rc 0 "a backup with its copy"
    sleep 1  # LastRun counts in seconds
    # Every fsync waits 2 s, so the copy is still in its temporary file when the kill comes.
    strace -f -qq -o /dev/null -e trace=fsync -e inject=fsync:delay_enter=2000000 \
      "$ODBACKUP" --config "$work/odb.ini" --once >/dev/null 2>&1 &
    tracer=$!
    for _ in $(seq 300); do [[ -e $work/mirror/ODBackup_1.fbk.gz.part ]] && break; sleep 0.05; done
    [[ -e $work/mirror/ODBackup_1.fbk.gz.part ]] || fail "the copy was never begun"
    pkill -KILL -P "$tracer" || true
    wait "$tracer" || true
    [[ -e $work/mirror/ODBackup_1.fbk.gz.part ]] || fail "the kill came after the copy"
    set +e
    status=$("$ODBACKUP" --config "$work/odb.ini" --status 2>&1)
    status_rc=$?
    set -e
    [[ $status_rc == 1 ]] || fail "--status exit $status_rc after a killed copy, expected 1: $status"
    grep -q "^state: failed (.*Kopie zálohy selhala: " <<<"$status" || fail "--status: $status"
    sleep 1
    run_once
    expect_rc 0 "the next backup with its copy"
    set +e
    status=$("$ODBACKUP" --config "$work/odb.ini" --status 2>&1)
    set -e
    grep -q "^state: fresh" <<<"$status" || fail "--status not fresh after a good copy: $status"
    expect_same "ODBackup_1.fbk.gz" "$(ls "$work/mirror" | grep -v '^ODBackup_2')" "the mirror's newest"
    same_as_backup ODBackup_1.fbk.gz ODBackup_1.fbk || fail "the new copy is not the backup"
    ;;
esac
finish
