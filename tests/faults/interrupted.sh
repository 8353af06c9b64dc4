#!/usr/bin/env bash
# A backup run that never ends: the program killed at ten points of its output
# (embedded engine), then a power cut that takes the server down with it (TCP).
# After each, every generation has its bytes and restores; the next good run
# clears the leftover and keeps the set at BackupCount.
FB_PORT=${FB_PORT:-3172}
source "$(dirname "$0")/lib.sh"

backups=$work/backups
cached_db "$work/db.fdb" huge
mkdir -p "$backups" "$work/lock-program"
# The program's embedded engine gets a lock folder of its own: a process killed
# with its locks held must not leave them in the one other programs share.
export FIREBIRD_LOCK=$work/lock-program
write_ini "$work/odb.ini" LocalHost=A "DatabaseName=$work/db.fdb" "LogFileName=$work/odb.log" \
  "BackupPath=$backups" BackupCount=3 LastRun="01.02.2024 03:04:05" LogToFile=A ClearLog=N \
  EventAction=OnceBackup

leftovers() { (cd "$backups" && find . -maxdepth 1 \( -name '*.part' -o -name '*.rotating' \) | sort); }
log_has() { iconv -f CP1250 -t UTF-8 "$work/odb.log" | grep -F -- "$1" >/dev/null; }

# Whether a file restores with gbak -c. The answer belongs to the bytes, so
# each checksum is restored once: a generation that kept its bytes is not
# restored again after every kill. restored[checksum] is empty for bytes that
# restore, else gbak's last words.
declare -A restored=()
restores() {
  local sum
  sum=$(sha256sum <"$1" | cut -d' ' -f1)
  if [[ -z ${restored[$sum]+known} ]]; then
    rm -f "$work/restored.fdb"
    # A cut-off file makes gbak ask for the next volume; no answer ends it.
    local status=0
    FIREBIRD_LOCK=$work/lock-embedded timeout 120 gbak -c "$1" "$work/restored.fdb" -user sysdba \
      </dev/null >"$work/gbak.txt" 2>&1 || status=$?
    restored[$sum]=
    ((status == 0)) || restored[$sum]="exit $status: $(tail -1 "$work/gbak.txt")"
    rm -f "$work/restored.fdb"
  fi
  [[ -z ${restored[$sum]} ]]
}

expect_all_restore() {
  local f
  for f in "$backups"/ODBackup_*.fbk; do
    [[ -e $f ]] || continue
    restores "$f" || fail "$1: $(basename "$f") does not restore: ${restored[$(sha256sum <"$f" | cut -d' ' -f1)]}"
  done
}

# kill_at LINES CASE [SERVER-TOO]: starts --once and kills it with SIGKILL as
# soon as line LINES of its standard output appears; with SERVER-TOO the server
# in the same instant. Read through a pipe, since polling a file lags a burst
# of output by hundreds of lines. Sets lines_at_kill.
kill_at() {
  local target=$1 what=$2 program victims
  rm -f "$work/fifo" && mkfifo "$work/fifo"
  "$ODBACKUP" --config "$work/odb.ini" --once >"$work/fifo" 2>"$work/err.txt" &
  program=$!
  victims="$program ${3:+$server_pid}"
  awk -v n="$target" -v victims="$victims" \
    '{ print; fflush() } NR == n { system("kill -KILL " victims); exit }' <"$work/fifo" >"$work/out.txt"
  set +e
  wait $program
  rc=$?
  set -e
  if [[ -n ${3:-} ]]; then
    wait "$server_pid" 2>/dev/null || true
    server_pid=
  fi
  lines_at_kill=$(wc -l <"$work/out.txt")
  ((rc == 137)) || fail "$what: the run ended by itself (exit $rc after $lines_at_kill lines) before the kill"
}

# The final good run: exit 0, BackupCount generations that restore, nothing
# left over, and the leftover's removal logged.
expect_good_run() {
  local what=$1 leftover
  leftover=$(leftovers | head -1)
  [[ -n $leftover ]] || fail "$what: the killed run left no unfinished file to clear"
  run_once
  expect_rc 0 "$what"
  expect_same "$(printf '%s\n' ./ODBackup_1.fbk ./ODBackup_2.fbk ./ODBackup_3.fbk)" \
    "$(generations "$backups" | awk '{print $2}')" "$what: generations"
  expect_all_restore "$what"
  expect_same "" "$(leftovers)" "$what: leftovers"
  [[ -z $leftover ]] || log_has "Odstraněn zbytek přerušené zálohy: $backups/${leftover#./}" ||
    fail "$what: no log entry for the removed ${leftover#./}"
}

# (a) Three generations made by the program itself, then ten kills.
for i in 1 2 3; do
  run_once
  expect_rc 0 "good backup $i"
done
total=$(wc -l <"$work/out.txt")
expect_same "$(printf '%s\n' ./ODBackup_1.fbk ./ODBackup_2.fbk ./ODBackup_3.fbk)" \
  "$(generations "$backups" | awk '{print $2}')" "three good backups"
expect_all_restore "three good backups"
echo "three good backups of $total lines each in ${SECONDS}s"
before=$(generations "$backups")
for k in $(seq 1 10); do
  kill_at $((k * total / 11)) "kill $k"
  expect_same "$before" "$(generations "$backups")" "kill $k after $lines_at_kill of $total lines: generations"
  expect_all_restore "kill $k"
  echo "kill $k after $lines_at_kill lines: ${SECONDS}s"
done
expect_good_run "the run after the kills"

# (b) A power cut over TCP: program and server go at once.
start_server
write_ini "$work/odb.ini" LocalHost=N "ServerName=localhost/$FB_PORT" "DatabaseName=$work/db.fdb" \
  "LogFileName=$work/odb.log" "BackupPath=$backups" BackupCount=3 LastRun="01.02.2024 03:04:05" \
  LogToFile=A ClearLog=N EventAction=OnceBackup
before=$(generations "$backups")
kill_at $((total / 2)) "power cut" server-too
expect_same "$before" "$(generations "$backups")" "power cut after $lines_at_kill of $total lines: generations"
expect_all_restore "power cut"
start_server
expect_good_run "the run after the power cut"
echo "power cut after $lines_at_kill lines: ${SECONDS}s"

# A run cut off while it shifted the generations left ODBackup_1.fbk.rotating:
# beside an ODBackup_1.fbk it is a leftover and goes; alone it is still the
# newest generation. Files of known bytes, since only their places are judged.
cached_db "$work/small.fdb" small
sed -i "s#^DatabaseName=.*#DatabaseName=$work/small.fdb\r#" "$work/odb.ini"
# what, generations 1 to 3 and the .rotating file (- for none), then the
# generations 2:3 expected after the run.
for row in "beside A B C R A:B" "alone - B C R R:B"; do
  read -r what g1 g2 g3 rotating expected <<<"$row"
  rm -f "$backups"/ODBackup_*
  n=1
  for bytes in "$g1" "$g2" "$g3"; do
    [[ $bytes == - ]] || printf '%s' "$bytes" >"$backups/ODBackup_$n.fbk"
    n=$((n + 1))
  done
  printf '%s' "$rotating" >"$backups/ODBackup_1.fbk.rotating"
  run_once
  expect_rc 0 "rotating $what"
  expect_same "" "$(leftovers)" "rotating $what: leftovers"
  expect_same "$expected" "$(cat "$backups/ODBackup_2.fbk"):$(cat "$backups/ODBackup_3.fbk")" \
    "rotating $what: generations 2:3"
  restores "$backups/ODBackup_1.fbk" || fail "rotating $what: the new ODBackup_1.fbk does not restore"
  [[ $what == alone ]] || log_has "Odstraněn zbytek přerušené zálohy: $backups/ODBackup_1.fbk.rotating" ||
    fail "rotating $what: no log entry for the removed leftover"
done
echo "all done in ${SECONDS}s"
finish
