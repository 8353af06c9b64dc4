#!/usr/bin/env bash
# odbackup --status from outside: the lines and the exit status of each state,
# and that it writes nothing (no INI change, no log, no backup).
set -euo pipefail
: "${ODBACKUP:?path of the odbackup program}"
work=$(mktemp -d /tmp/odb-status-XXXXXX)
io=$(mktemp -d /tmp/odb-status-io-XXXXXX)
trap 'rm -rf "$work" "$io"' EXIT
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# ini FILE key=value... in the sections the program reads them from.
ini() {
  local file=$1 kv s
  shift
  declare -A section=([LocalHost]=OrdavaDB [DatabaseName]=OrdavaDB [LogFileName]=OrdavaDB
    [BackupPath]=Backups [BackupCount]=Backups [LastRun]=Backups [LogToFile]=Settings
    [ClearLog]=Settings [EventAction]=Settings [Days]=Settings [EventCountTimes]=Settings
    [Time_1]=Settings)
  : >"$file"
  for s in OrdavaDB Backups Settings; do
    printf '[%s]\r\n' "$s" >>"$file"
    for kv in "$@"; do
      [[ ${section[${kv%%=*}]:-} == "$s" ]] && printf '%s\r\n' "$kv" >>"$file"
    done
  done
  return 0
}

generation() {  # name bytes "YYYY-mm-dd HH:MM:SS"
  head -c "$2" /dev/zero >"$work/backups/$1"
  touch -d "$3" "$work/backups/$1"
}

mkdir -p "$work/backups"
generation ODBackup_1.fbk 2048 "2026-12-08 18:03:00"
generation ODBackup_2.fbk 1024 "2026-12-07 18:02:00"
generation ODBackup_10.fbk 10 "2026-11-30 18:02:00"
generation ODBackup_1.old 7 "2026-11-01 08:00:00"
generation ODBackup_x.fbk 1 "2026-11-01 08:00:00"
common=(LocalHost=A "DatabaseName=$work/db.fdb" "LogFileName=$work/odb.log" "BackupPath=$work/backups"
  BackupCount=3 LogToFile=A ClearLog=A Days=1,2,3,4,5,6,7 EventCountTimes=1 Time_1=18:00:00)
generations="generation: ODBackup_1.fbk 2048 08.12.2026 18:03:00
generation: ODBackup_2.fbk 1024 07.12.2026 18:02:00
generation: ODBackup_10.fbk 10 30.11.2026 18:02:00
generation: ODBackup_1.old 7 01.11.2026 08:00:00"

# name | exit status | INI keys | --at | expected output
cases=(
  "fresh by the plan|0|EventAction=BackupOnTimer LastRun=08.12.2026_18:00:05|09.12.2026 19:00:00|last: 08.12.2026 18:00:05
next: 10.12.2026 18:00:00
action: BackupOnTimer
$generations
state: fresh (Zálohy proběhly podle plánu)"
  "planned backup missed by more than an hour|1|EventAction=BackupOnTimer LastRun=08.12.2026_18:00:05|09.12.2026 19:00:01|last: 08.12.2026 18:00:05
next: 10.12.2026 18:00:00
action: BackupOnTimer
$generations
state: stale (Plánovaná záloha 09.12.2026 18:00:00 neproběhla)"
  "paused, backup seven days old|0|EventAction=PauseBackup LastRun=01.12.2026_10:00:00|08.12.2026 10:00:00|last: 01.12.2026 10:00:00
next: -
action: PauseBackup
$generations
state: fresh (Poslední záloha je mladší než 7 dní)"
  "paused, backup older than seven days|1|EventAction=PauseBackup LastRun=01.12.2026_10:00:00|08.12.2026 10:00:01|last: 01.12.2026 10:00:00
next: -
action: PauseBackup
$generations
state: stale (Poslední záloha je starší než 7 dní)"
  "no LastRun|3|EventAction=OnceBackup|08.12.2026 10:00:00|last: -
next: 08.12.2026 18:00:00
action: OnceBackup
$generations
state: none (Zatím žádná záloha)"
)

# A client library that ends the process as it is loaded: the commands that
# only read the settings must work without one, with their normal answers.
mkdir -p "$io/lib"
printf '%s\n' '#include <unistd.h>' \
  '__attribute__((constructor)) static void loaded(void) { write(2, "client library loaded\n", 22); _exit(97); }' |
  cc -shared -fPIC -x c - -o "$io/lib/libfbclient.so.2"
export LD_LIBRARY_PATH="$io/lib${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}"

run() {  # args...; sets rc, out, err
  set +e
  "$ODBACKUP" "$@" >"$io/out.txt" 2>"$io/err.txt"
  rc=$?
  set -e
  out=$(cat "$io/out.txt")
  err=$(cat "$io/err.txt")
}

snapshot() { (cd "$work" && find . -printf '%p %s %T@\n' | sort && find . -type f | sort | xargs sha256sum); }

for c in "${cases[@]}"; do
  IFS='|' read -r name status keys at expected <<<"$c"
  expected=${c##*|}
  read -r -a extra <<<"$keys"
  ini "$work/odb.ini" "${common[@]}" "${extra[@]//_/ }"
  before=$(snapshot)
  run --config "$work/odb.ini" --status --at "$at"
  [[ $rc == "$status" ]] || fail "$name: exit status $rc, expected $status ($err)"
  [[ $out == "$expected" ]] || fail "$name: output differs:
$(diff <(echo "$expected") <(echo "$out"))"
  [[ -z $err ]] || fail "$name: wrote to stderr: $err"
  [[ $before == "$(snapshot)" ]] || fail "$name: files changed"
  echo "$name: exit $rc, $(tail -1 <<<"$out")"
done

# What the program saw itself: an attempt that failed after the last good
# backup (kept beside the configuration), a LastRun ahead of the clock, a
# backup folder it cannot read.
printf '[LastAttempt]\r\nTime=09.12.2026 18:00:09\r\nOutcome=verification failed\r\nError=Ověření zálohy selhalo: cut\r\n' |
  iconv -f UTF-8 -t CP1250 >"$work/odb.state"
seen=(
  "failed after the last good backup|1|08.12.2026 18:00:05|$work/backups|state: failed (Poslední pokus selhal: 09.12.2026 18:00:09, Ověření zálohy selhalo: cut)"
  "a good backup after the failure|0|09.12.2026 18:00:10|$work/backups|state: fresh (Zálohy proběhly podle plánu)"
  "LastRun in the future|1|10.12.2026 18:00:10|$work/backups|state: stale (Čas poslední zálohy 10.12.2026 18:00:10 je v budoucnosti)"
  "backup folder not readable|3|09.12.2026 18:00:10|$work/backups/ODBackup_1.fbk|state: none (Složku záloh nelze číst: $work/backups/ODBackup_1.fbk)"
)
for c in "${seen[@]}"; do
  IFS='|' read -r name status lastRun folder expected <<<"$c"
  ini "$work/odb.ini" "${common[@]/#BackupPath=*/BackupPath=$folder}" EventAction=BackupOnTimer "LastRun=$lastRun"
  run --config "$work/odb.ini" --status --at "09.12.2026 19:00:00"
  [[ $rc == "$status" ]] || fail "$name: exit status $rc, expected $status ($err)"
  [[ $(tail -1 <<<"$out") == "$expected" ]] || fail "$name: $(tail -1 <<<"$out")"
  echo "$name: exit $rc, $(tail -1 <<<"$out")"
done
rm "$work/odb.state"

# LastRun set, but the newest generation is gone (a backup failed after the shift).
rm "$work/backups/ODBackup_1.fbk"
ini "$work/odb.ini" "${common[@]}" EventAction=PauseBackup "LastRun=08.12.2026 10:00:00"
run --config "$work/odb.ini" --status --at "08.12.2026 11:00:00"
[[ $rc == 3 ]] || fail "no ODBackup_1.fbk: exit status $rc, expected 3"
[[ $(tail -1 <<<"$out") == "state: none (Soubor ODBackup_1.fbk nebyl nalezen)" ]] ||
  fail "no ODBackup_1.fbk: $(tail -1 <<<"$out")"
echo "no ODBackup_1.fbk: exit $rc, $(tail -1 <<<"$out")"

# The wall clock: a backup of a minute ago is fresh.
generation ODBackup_1.fbk 5 "now"
ini "$work/odb.ini" "${common[@]}" EventAction=PauseBackup "LastRun=$(date -d '1 minute ago' '+%d.%m.%Y %H:%M:%S')"
run --config "$work/odb.ini" --status
[[ $rc == 0 ]] || fail "now: exit status $rc, expected 0: $out"
echo "now: exit $rc, $(tail -1 <<<"$out")"

# The other commands that only read the settings load no library either; the
# backup does, which shows the library above is the one the program would load.
for args in "--plan --at 08.12.2026_10:00:00" --show-settings "--once"; do
  read -r -a words <<<"$args"
  run --config "$work/odb.ini" "${words[@]//_/ }"
  if [[ $args == --once ]]; then
    [[ $rc == 97 ]] || fail "--once did not load the client library (exit status $rc)"
  else
    [[ $rc == 0 && $err != *"library loaded"* ]] || fail "$args: exit status $rc without the client library: $err"
  fi
done

# Usage errors stay 2.
for args in "--status --once" "--status --at 32.12.2026" "--once --at 01.01.2026_10:00:00"; do
  read -r -a words <<<"$args"
  run --config "$work/odb.ini" "${words[@]//_/ }"
  [[ $rc == 2 ]] || fail "$args: exit status $rc, expected 2"
done

if ((failures)); then
  echo "$failures check(s) failed"
  exit 1
fi
echo "all checks passed"
