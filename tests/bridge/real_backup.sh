#!/usr/bin/env bash
# The Windows program under Wine makes real backups through the bridge
# (fbclient.dll beside it) against a real Firebird server, driven through its
# real settings window by odbdrive.exe. One case per run:
#   once_local, once_tcp             OK with "Jednorázová záloha", twice: restores
#                                    with the right rows, the second shifts the first
#   catchup_local, catchup_tcp       started hidden, a missed planned time is caught up
#   wrong_password, unknown_host, closed_port, missing_database_local,
#   missing_database_tcp             the error box with the server's text; nothing lost
#   czech                            Czech folder and database names (code page 1250)
#   not_in_code_page                 a folder name the code page cannot hold
#   slash_folder                     a backup folder written with "/"
#   verify_local, verify_tcp         VerifyBackup=A: the backup is restored beside
#                                    itself and the restore dropped; over TCP a second
#                                    backup, damaged on disk before its restore (the
#                                    fault client under the bridge), fails the check
#                                    and shifts no generation
#   single_instance                  a second start shows the running program's window
#   login_tcp                        a server whose SYSDBA password is not the default:
#                                    refused without the login keys, a backup with
#                                    UserName= and the DPAPI-sealed PasswordProtected=
#   detached_tcp                     logging off, so the output is not read: a database
#                                    the server cannot open gives the error box and
#                                    moves nothing; a good backup is put in place
#                                    once the service is seen to end
#   restore_tcp                      the tray's "Obnovit ze zálohy…": generation 2 of
#                                    two backups with different rows, and its gzip
#                                    copy in the mirror, each restored into a new
#                                    database, with the closing text in the dialog
# "_local" is LocalHost=A: the shared server on this machine (port 3050);
# the others use a private server on FB_PORT.
# Environment: ODB_EXE, ODB_DRIVE, ODB_BRIDGE (missing: the case skips),
#   ODB_BITS (64 or 32), FB_PORT, WINEPREFIX.
case_name=${1:?case}
export ODBACKUP=${ODB_EXE:?odbackup.exe}
source "$(dirname "$0")/../faults/lib.sh"
source "$(dirname "$0")/winlib.sh"

mkdir -p "$app"
cached_db "$work/db.fdb" small
mkdir -p "$work/backups"
printf 'gen-1' >"$work/backups/ODBackup_1.fbk"
server=localhost/$FB_PORT local=N db=$work/db.fdb bkdir=$work/backups backups=$(winpath "$work/backups")
case $case_name in
  *_local) local=A ;;
  wrong_password | unknown_host | closed_port | *_tcp | czech | not_in_code_page | slash_folder)
    start_server ;;
esac

# --- a failed backup: the error box, the window stays, nothing good lost ---
expect_failure() {
  local expected=$1
  app_ini LocalHost=$local "ServerName=$server" "DatabaseName=$db" "BackupPath=$backups"
  start_program
  [[ -n ${before_ok:-} ]] && $before_ok
  drive once || fail "$case_name: could not press OK"
  local box
  box=$(drive box 90) || fail "$case_name: no error box"
  box=${box%$'\r'}
  [[ ${box%%|*} == "Samostatné zálohování dat" ]] || fail "$case_name: box titled '${box%%|*}'"
  [[ ${box#*|} == *"$expected"* ]] || fail "$case_name: box lacks \"$expected\": ${box#*|}"
  sleep 1
  drive visible || fail "$case_name: the window did not stay after the error"
  stop_program
  [[ $(ini_value "$app/odbackup.ini" LastRun) == "01.02.2024 03:04:05" ]] ||
    fail "$case_name: LastRun changed"
  [[ $(done_entries "$app/odbackup.log") == 0 ]] || fail "$case_name: logged as made"
  # A failure moves nothing: the earlier backup keeps its name and its bytes.
  [[ $(cat "$bkdir/ODBackup_1.fbk" 2>/dev/null) == gen-1 ]] ||
    fail "$case_name: the earlier backup is not generation 1 as it was"
  [[ -e $bkdir/ODBackup_2.fbk ]] && fail "$case_name: the generations were shifted"
  echo "$case_name: ${box#*|}"
}

case $case_name in
  once_local | once_tcp)
    [[ $local == A ]] && db=$(winpath "$work/db.fdb")  # the path as a Windows client writes it
    app_ini LocalHost=$local "ServerName=$server" "DatabaseName=$db" "BackupPath=$backups"
    for run in 1 2; do
      start_program
      backup_by_ok "$run"
      [[ $run == 1 ]] && cp "$work/backups/ODBackup_1.fbk" "$work/first.fbk"
      stop_program
    done
    cmp -s "$work/first.fbk" "$work/backups/ODBackup_2.fbk" || fail "the second backup did not shift the first"
    [[ $(cat "$work/backups/ODBackup_3.fbk") == gen-1 ]] || fail "the oldest generation is not 3"
    expect_restores "$work/backups/ODBackup_1.fbk" 100
    expect_restores "$work/backups/ODBackup_2.fbk" 100 ;;
  catchup_local | catchup_tcp)
    app_ini LocalHost=$local "ServerName=$server" "DatabaseName=$db" "BackupPath=$backups" \
      EventAction=BackupOnTimer RunMinimalized=A Days=1,2,3,4,5,6,7 EventCountTimes=1 Time_1=00:00:01
    start_program
    wait_done 1 120 || fail "no catch-up backup within 120 s"
    drive visible && fail "the window was shown during the catch-up"
    stop_program
    iconv -f CP1250 -t UTF-8 "$app/odbackup.log" | grep -q "Backup na základě poslední neprovedené akce časovače." ||
      fail "the catch-up was not announced in the log"
    expect_last_run_today
    [[ $(cat "$work/backups/ODBackup_2.fbk") == gen-1 ]] || fail "the catch-up did not shift"
    expect_restores "$work/backups/ODBackup_1.fbk" 100 ;;
  wrong_password)
    echo "alter user sysdba password 'other'; commit;" |
      isql-fb -q -user sysdba -password "$FB_PASSWORD" "localhost/$FB_PORT:$work/db.fdb" >/dev/null
    expect_failure "Your user name and password are not defined" ;;
  unknown_host)
    server=no-such-host.invalid
    expect_failure 'Unable to complete network request to host "no-such-host.invalid"' ;;
  closed_port)
    server=localhost/3099
    expect_failure "Unable to complete network request to host" ;;
  missing_database_local)
    db=$(winpath "$work/nothere.fdb")
    expect_failure "$work/nothere.fdb" ;;
  missing_database_tcp)
    db=$work/nothere.fdb
    expect_failure "$work/nothere.fdb" ;;
  czech)
    # Hidden, the log view keeps the server's output lines after the backup.
    export LANG=cs_CZ.UTF-8
    expect_acp 1250
    mkdir -p "$work/zálohy účetní"
    cp "$work/db.fdb" "$work/databáze.fdb"
    app_ini LocalHost=N "ServerName=$server" "DatabaseName=$(winpath "$work/databáze.fdb")" \
      "BackupPath=$(winpath "$work/zálohy účetní")" \
      EventAction=BackupOnTimer RunMinimalized=A Days=1,2,3,4,5,6,7 EventCountTimes=1 Time_1=00:00:01
    start_program
    wait_done 1 120 || fail "no catch-up backup into the Czech folder"
    memo=$(drive memo)
    [[ $memo == *"readied database $work/databáze.fdb for backup"* ]] ||
      fail "the log view does not show the Czech name: $(head -c 300 <<<"$memo")"
    stop_program
    expect_restores "$work/zálohy účetní/ODBackup_1.fbk" 100 ;;
  not_in_code_page)
    # Typed into the window: the INI cannot even hold it (it would read "?").
    export LANG=cs_CZ.UTF-8
    expect_acp 1250
    mkdir -p "$work/zálohy Ω"
    mv "$work/backups/ODBackup_1.fbk" "$work/zálohy Ω/"
    bkdir=$work/zálohy\ Ω
    type_folder() { drive set-text "$backups" "$(winpath "$bkdir")" || fail "could not type the folder"; }
    before_ok=type_folder
    expect_failure "'$(winpath "$bkdir")\\ODBackup_1.fbk.part' obsahuje znak"
    [[ -z $(ls "$work/backups") ]] || fail "a file reached another folder: $(ls "$work/backups")" ;;
  slash_folder)
    backups=$work/backups  # as the Linux server sees it
    app_ini LocalHost=N "ServerName=$server" "DatabaseName=$db" "BackupPath=$backups"
    start_program
    backup_by_ok 1
    stop_program
    [[ $(ls "$work" | grep -c 'backups.ODBackup') == 0 ]] || fail "a backup file beside the folder: $(ls "$work")"
    [[ $(cat "$work/backups/ODBackup_2.fbk") == gen-1 ]] || fail "the rotation missed the folder"
    expect_restores "$work/backups/ODBackup_1.fbk" 100 ;;
  verify_local | verify_tcp)
    [[ $local == A ]] && db=$(winpath "$work/db.fdb")
    app_ini LocalHost=$local "ServerName=$server" "DatabaseName=$db" "BackupPath=$backups" VerifyBackup=A
    start_program
    backup_by_ok 1
    wait_log_entry "Záloha ověřena obnovou: $backups\ODBackup_1.fbk" 60 || fail "no verification entry in the log"
    stop_program
    ls "$bkdir"/ODBackup_verify*.fdb >/dev/null 2>&1 && fail "the temporary database is still there"
    expect_restores "$bkdir/ODBackup_1.fbk" 100
    if [[ $local == N ]]; then
      [[ -f ${ODB_FAULTCLIENT_LIB:-}/libfbclient.so.2 ]] || fail "no fault client for the damaged backup"
      good=$(sha256sum <"$bkdir/ODBackup_1.fbk")
      LD_LIBRARY_PATH=$ODB_FAULTCLIENT_LIB ODB_FAULTCLIENT=damage ODB_REAL_FBCLIENT=$ODB_LINUX_CLIENT start_program
      drive once || fail "could not press OK"
      wait_log_entry "Ověření zálohy selhalo: " 120 || fail "a damaged backup: no failed verification in the log"
      # OK started it, so its user is told at once.
      box=$(drive box 30) || fail "a damaged backup: no box"
      [[ $box == *"Ověření zálohy selhalo: "* ]] || fail "a damaged backup: the box says: $box"
      stop_program
      ls "$bkdir"/ODBackup_verify*.fdb >/dev/null 2>&1 && fail "a damaged backup: the temporary database is still there"
      # Never a generation: the good one stays the newest, the failed one is kept aside.
      [[ $(sha256sum <"$bkdir/ODBackup_1.fbk") == "$good" ]] || fail "a damaged backup: generation 1 is not the good one"
      [[ $(cat "$bkdir/ODBackup_2.fbk") == gen-1 ]] || fail "a damaged backup: generation 2 is not the oldest"
      [[ -s $bkdir/ODBackup_verify_failed.fbk ]] || fail "a damaged backup: not kept as ODBackup_verify_failed.fbk"
    fi ;;
  login_tcp)
    secret='Tajne-heslo_7'
    echo "alter user sysdba password '$secret'; commit;" |
      isql-fb -q -user sysdba -password "$FB_PASSWORD" "localhost/$FB_PORT:$work/db.fdb" >/dev/null
    expect_failure "Your user name and password are not defined"
    sealed=$(drive protect "$secret") || fail "could not seal the password"
    app_ini LocalHost=N "ServerName=$server" "DatabaseName=$db" "BackupPath=$backups" UserName=SYSDBA \
      "PasswordProtected=$sealed"
    start_program
    backup_by_ok 1
    stop_program
    [[ $(ini_value "$app/odbackup.ini" PasswordProtected) == "$sealed" ]] || fail "the sealed password was not kept"
    grep -qaF "$secret" "$app/odbackup.ini" && fail "the password is in the INI in clear text"
    expect_restores "$bkdir/ODBackup_1.fbk" 100 ;;
  single_instance)
    # A second start for the same configuration shows the first one's window
    # and ends; it must not become a second tray entry with a plan of its own.
    app_ini LocalHost=A "DatabaseName=$db" "BackupPath=$backups" RunMinimalized=A EventAction=PauseBackup
    start_program
    for _ in $(seq 1 40); do drive visible || break; sleep 0.25; done
    drive visible && fail "the window did not hide at start"
    # Waited for: a second start that ends is one that follows no plan.
    second=0
    (cd "$app" && exec timeout 60 wine odbackup.exe >>"$work/wine.log" 2>&1) || second=$?
    ((second == 0)) || fail "the second start ended with status $second"
    for _ in $(seq 1 40); do drive visible && break; sleep 0.25; done
    drive visible || fail "the running program's window was not shown"
    stop_program ;;
  detached_tcp)
    printf 'gen-2' >"$bkdir/ODBackup_2.fbk"
    before=$(generations "$bkdir")
    app_ini LocalHost=N "ServerName=$server" "DatabaseName=$work/nothere.fdb" "BackupPath=$backups" LogToFile=N
    : >"$app/odbackup.log"  # logging off still reports a failure to a log that exists
    start_program
    drive once || fail "could not press OK"
    box=$(drive box 90) || fail "a database the server cannot open: no error box"
    [[ $box == *"$work/nothere.fdb"* ]] || fail "the box lacks the database's name: $box"
    stop_program
    expect_same "$before" "$(generations "$bkdir")" "the failed detached backup: the generations"
    [[ -e $bkdir/ODBackup_1.fbk.part ]] && fail "the failed detached backup left its .part"
    wait_log_entry "Záloha selhala: " 1 || fail "the failure is not in the existing log"
    [[ $(ini_value "$app/odbackup.ini" LastRun) == "01.02.2024 03:04:05" ]] || fail "the failure changed LastRun"
    echo "failure seen after ${SECONDS}s: $box"
    app_ini LocalHost=N "ServerName=$server" "DatabaseName=$db" "BackupPath=$backups" LogToFile=N
    start_program
    drive once || fail "could not press OK"
    for ((i = 0; i < 240; i++)); do
      [[ $(cat "$bkdir/ODBackup_2.fbk" 2>/dev/null) == gen-1 &&
        $(ini_value "$app/odbackup.ini" LastRun) != "01.02.2024 03:04:05" ]] && break
      sleep 0.25
    done
    box=$(drive box 1) && fail "a box after the good detached backup: $box"
    stop_program
    [[ $(cat "$bkdir/ODBackup_2.fbk") == gen-1 && $(cat "$bkdir/ODBackup_3.fbk") == gen-2 ]] ||
      fail "the good detached backup did not shift the generations: $(ls "$bkdir")"
    expect_last_run_today
    [[ -e $bkdir/ODBackup_1.fbk.part ]] && fail "the good detached backup left its .part"
    expect_restores "$bkdir/ODBackup_1.fbk" 100
    echo "good backup in place after ${SECONDS}s" ;;
  restore_tcp)
    mkdir -p "$work/mirror"
    app_ini LocalHost=N "ServerName=$server" "DatabaseName=$db" "BackupPath=$backups" \
      "MirrorPath=$(winpath "$work/mirror")"
    start_program
    backup_by_ok 1
    stop_program
    echo "insert into T1 select ID + 1000, NAME from T1 rows 5; commit;" |
      isql-fb -q -user sysdba -password "$FB_PASSWORD" "localhost/$FB_PORT:$db" >/dev/null
    start_program
    backup_by_ok 2
    # The list: ODBackup_1.fbk, ODBackup_2.fbk, the "gen-1" file as 3, then the
    # mirror's ODBackup_1.fbk.gz and ODBackup_2.fbk.gz.
    for row in "1|restored_gui|generation 2" "4|restored_copy|the mirror's second copy"; do
      IFS='|' read -r pick name what <<<"$row"
      drive tray 5 || fail "the tray menu did not open"
      text=$(drive restore "$pick" "$work/$name.fdb" 120) || fail "$what: the dialog's restore did not end: $text"
      [[ $text == *"Záloha byla obnovena do nové databáze $work/$name.fdb"* ]] || fail "$what: the dialog says: $text"
      [[ $text == *"finishing, closing, and going home"* ]] || fail "$what: no progress in the dialog: $text"
      count=$(echo "select 'rows=' || count(*) from T1;" |
        isql-fb -q -user sysdba -password "$FB_PASSWORD" "localhost/$FB_PORT:$work/$name.fdb" | grep -o 'rows=[0-9]*')
      [[ $count == rows=100 ]] || fail "$what restored with $count, expected rows=100"
    done
    echo "the dialog: ${text%%$'\n'*}"
    stop_program ;;
  *) echo "unknown case $case_name" >&2; exit 2 ;;
esac
finish
