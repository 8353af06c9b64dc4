#!/usr/bin/env bash
# Runs that meet in one backup folder: pairs of simultaneous --once (embedded,
# over TCP, two configurations naming one folder) each add exactly one
# generation that restores, and leave nothing unfinished; a second plan
# follower on one configuration refuses to start beside the first.
FB_PORT=${FB_PORT:-3170}
source "$(dirname "$0")/lib.sh"

backups=$work/backups
cached_db "$work/db.fdb" big
mkdir -p "$backups" "$work/lock-program" "$work/lock-embedded"
start_server
# Both embedded runs share one lock folder, as two programs on one machine do.
export FIREBIRD_LOCK=$work/lock-program

ini() {  # ini FILE LOCALHOST LOG [KEY=VALUE...]
  local file=$1 localhost=$2 log=$3
  shift 3
  write_ini "$file" LocalHost=$localhost "ServerName=localhost/$FB_PORT" "DatabaseName=$work/db.fdb" \
    "LogFileName=$log" "BackupPath=$backups" BackupCount=20 LastRun="01.02.2024 03:04:05" \
    LogToFile=A ClearLog=N EventAction=OnceBackup "$@"
}

count() { generations "$backups" | wc -l; }

# pair CASE INI1 INI2: both --once at the same instant.
pair() {
  local what=$1 n before a b rca rcb t0=$SECONDS
  before=$(count)
  "$ODBACKUP" --config "$2" --once >"$work/a.out" 2>"$work/a.err" & a=$!
  "$ODBACKUP" --config "$3" --once >"$work/b.out" 2>"$work/b.err" & b=$!
  set +e
  wait $a; rca=$?
  wait $b; rcb=$?
  set -e
  ((rca == 0)) || fail "$what: first run exit $rca: $(tail -3 "$work/a.err")"
  ((rcb == 0)) || fail "$what: second run exit $rcb: $(tail -3 "$work/b.err")"
  n=$(count)
  ((n == before + (rca == 0) + (rcb == 0))) ||
    fail "$what: $before generations became $n after exits $rca and $rcb"
  expect_same "" "$(cd "$backups" && find . -name '*.part' -o -name '*.rotating')" "$what: leftovers"
  echo "$what: $before -> $n generations in $((SECONDS - t0))s"
}

ini "$work/embedded.ini" A "$work/embedded.log"
pair embedded "$work/embedded.ini" "$work/embedded.ini"
ini "$work/tcp.ini" N "$work/tcp.log"
pair tcp "$work/tcp.ini" "$work/tcp.ini"
ini "$work/other.ini" N "$work/other.log"
pair "two configurations, one folder" "$work/tcp.ini" "$work/other.ini"

# Every generation is a whole backup; equal bytes are restored once.
declare -A seen=()
for f in "$backups"/ODBackup_*.fbk; do
  sum=$(sha256sum <"$f" | cut -d' ' -f1)
  [[ -n ${seen[$sum]:-} ]] && continue
  seen[$sum]=1
  rm -f "$work/restored.fdb"
  FIREBIRD_LOCK=$work/lock-embedded gbak -c "$f" "$work/restored.fdb" -user sysdba </dev/null \
    >"$work/gbak.txt" 2>&1 || fail "$(basename "$f") does not restore: $(tail -1 "$work/gbak.txt")"
done
rm -f "$work/restored.fdb"
echo "restores checked: ${SECONDS}s"

# A second plan follower. The first pauses, so it only holds the plan.
ini "$work/plan.ini" N "$work/plan.log" EventAction=PauseBackup
"$ODBACKUP" --config "$work/plan.ini" >"$work/first.out" 2>"$work/first.err" &
first=$!
sleep 1
set +e
timeout 20 "$ODBACKUP" --config "$work/plan.ini" >"$work/out.txt" 2>"$work/err.txt"
rc=$?
set -e
err=$(cat "$work/err.txt")
expect_rc 1 "second plan follower"
expect_err_has "odbackup: Plán záloh podle $work/plan.ini už sleduje jiný spuštěný program" "second plan follower"
kill -0 $first 2>/dev/null || fail "the first plan follower ended: $(cat "$work/first.err")"
kill -TERM $first 2>/dev/null || true
wait $first 2>/dev/null || true
echo "all done in ${SECONDS}s"
finish
