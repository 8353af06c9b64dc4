# Shared pieces of the fault tests: a private Firebird server of each test's
# own (its own port, security database and lock folder, so a test may kill it
# without disturbing anyone), databases, the program's INI, and checks.
# Sourced by the case scripts; they run as root.
set -euo pipefail

: "${ODBACKUP:?path of the odbackup program}"
FB_LIB=/usr/lib/x86_64-linux-gnu/firebird/3.0
FB_PASSWORD=pinewharf  # the password the program sends
SKIP=77
if ((EUID != 0)); then
  echo "SKIPPED: the fault tests mount, kill and chattr, and need root"
  exit $SKIP
fi

work=$(mktemp -d /tmp/odb-fault-XXXXXX)
chmod 0755 "$work"
server_pid=
mounts=()
failures=0

cleanup() {
  local m
  for m in "${mounts[@]}"; do umount "$m" 2>/dev/null || umount -l "$m" 2>/dev/null || true; done
  [[ -n $server_pid ]] && stop_server
  chattr -R -i "$work" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

skip() {
  echo "SKIPPED: $*"
  exit $SKIP
}

finish() {
  if ((failures)); then
    echo "$failures check(s) failed"
    exit 1
  fi
  echo "all checks passed"
}

# --- the private server ------------------------------------------------------

# A Firebird root of symlinks to the installed one, with a port and a security
# database of its own.
make_server_root() {
  local root=$work/fbroot f
  mkdir -p "$root/lock"
  for f in "$FB_LIB"/*; do
    [[ $(basename "$f") == firebird.conf ]] || ln -s "$f" "$root/"
  done
  printf 'RemoteServicePort = %s\nSecurityDatabase = %s\n' "$FB_PORT" "$root/security3.fdb" \
    >"$root/firebird.conf"
  cp /var/lib/firebird/3.0/system/security3.fdb "$root/"
  echo "alter user sysdba password '$FB_PASSWORD'; commit;" |
    FIREBIRD=$root FIREBIRD_LOCK=$root/lock isql-fb -q -user sysdba "$root/security3.fdb" >/dev/null
}

port_answers() { (exec 3<>"/dev/tcp/127.0.0.1/$FB_PORT") 2>/dev/null; }

start_server() {
  local root=$work/fbroot
  [[ -d $root ]] || make_server_root
  FIREBIRD=$root FIREBIRD_LOCK=$root/lock /usr/sbin/firebird >>"$work/server.log" 2>&1 &
  server_pid=$!
  for _ in $(seq 1 100); do
    port_answers && return 0
    sleep 0.1
  done
  echo "the private Firebird server did not come up on port $FB_PORT" >&2
  cat "$work/server.log" >&2
  exit 1
}

# A throw-away server: nothing of it needs an orderly shutdown.
stop_server() {
  kill -KILL "$server_pid" 2>/dev/null || true
  wait "$server_pid" 2>/dev/null || true
  server_pid=
}

# --- databases ---------------------------------------------------------------

isql_embedded() { FIREBIRD_LOCK=$work/lock-embedded isql-fb -q -user sysdba "$@"; }

# tables x rows; asynchronous writes make the creation take seconds, not minutes.
make_db() {
  local db=$1 tables=${2:-1} rows=${3:-100} t
  mkdir -p "$work/lock-embedded"
  echo "create database '$db' user 'SYSDBA'; commit;" | isql_embedded >/dev/null
  FIREBIRD_LOCK=$work/lock-embedded gfix -write async "$db" -user sysdba
  {
    echo "connect '$db' user 'SYSDBA';"
    for t in $(seq 1 "$tables"); do
      echo "create table T$t (ID integer not null primary key, NAME varchar(60));"
    done
    echo "commit;"
    echo "set term ^;"
    echo "execute block as declare i integer = 0; begin while (i < $rows) do begin"
    for t in $(seq 1 "$tables"); do echo "  insert into T$t values (:i, 'row number ' || :i);"; done
    echo "  i = i + 1; end end^"
    echo "set term ;^"
    echo "commit;"
  } >"$work/make-db.sql"
  isql_embedded -i "$work/make-db.sql" >/dev/null
  chmod 0666 "$db"
}

# make_db through a copy made once per build folder, since making is the slow
# part. "big" is a database whose verbose backup over TCP takes about a second;
# "huge" one whose embedded backup takes a few, long enough to be cut anywhere.
cached_db() {
  local db=$1 kind=$2 cache=${ODB_FAULTS_CACHE:-$work}/$2.fdb
  mkdir -p "$(dirname "$cache")"
  (
    flock 9
    if [[ ! -f $cache ]]; then
      case $kind in
        big) make_db "$cache.tmp" 80 1000 ;;
        huge) make_db "$cache.tmp" 80 25000 ;;
        small) make_db "$cache.tmp" 1 100 ;;
      esac
      mv "$cache.tmp" "$cache"
    fi
  ) 9>"$cache.lock"
  cp "$cache" "$db"
  chmod 0666 "$db"
}

# --- the program -------------------------------------------------------------

# write_ini FILE key=value... ; keys go into their usual sections.
write_ini() {
  local file=$1 kv key
  shift
  declare -A section=([LocalHost]=OrdavaDB [ServerName]=OrdavaDB [DatabaseName]=OrdavaDB
    [LogFileName]=OrdavaDB [BackupPath]=Backups [BackupCount]=Backups [LastRun]=Backups
    [MirrorPath]=Backups [MirrorCount]=Backups
    [LogToFile]=Settings [ClearLog]=Settings [EventAction]=Settings [VerifyBackup]=Settings)
  : >"$file"
  for s in OrdavaDB Backups Settings; do
    printf '[%s]\r\n' "$s" >>"$file"
    for kv in "$@"; do
      key=${kv%%=*}
      if [[ ${section[$key]:-} == "$s" ]]; then printf '%s\r\n' "$kv" >>"$file"; fi
    done
  done
}

# The usual test configuration: TCP to the private server, three generations,
# logging on, the log kept between runs. DB, BACKUPS and SERVER override;
# key=value arguments add keys.
standard_ini() {
  write_ini "$work/odb.ini" LocalHost=N "ServerName=${SERVER:-localhost/$FB_PORT}" \
    "DatabaseName=${DB:-$work/db.fdb}" "LogFileName=$work/odb.log" \
    "BackupPath=${BACKUPS:-$work/backups}" BackupCount=3 LastRun="01.02.2024 03:04:05" \
    LogToFile=A ClearLog=N EventAction=OnceBackup "$@"
}

# Runs odbackup --once; sets rc, out and err.
run_once() {
  local ini=${1:-$work/odb.ini}
  set +e
  "$ODBACKUP" --config "$ini" --once >"$work/out.txt" 2>"$work/err.txt"
  rc=$?
  set -e
  out=$(cat "$work/out.txt")
  err=$(cat "$work/err.txt")
}

# --- checks ------------------------------------------------------------------

# Name and checksum of every file of a folder, one a line.
snapshot() {
  (cd "$1" && find . -type f | sort | xargs -r sha256sum) 2>/dev/null || true
}

expect_rc() {
  if [[ $1 == nonzero ]]; then
    [[ $rc != 0 ]] || fail "$2: exit status 0, expected a failure (stderr: $err)"
  else
    [[ $rc == "$1" ]] || fail "$2: exit status $rc, expected $1 (stderr: $err)"
  fi
}

expect_err_has() {
  grep -qF -- "$1" <<<"$err" || fail "$2: stderr lacks \"$1\": $err"
}

expect_same() {
  [[ "$1" == "$2" ]] || fail "$3: changed:
$(diff <(echo "$1") <(echo "$2") | cut -c1-200 | head -20)"
}

# The number of completed-backup entries in the log.
done_entries() {
  [[ -f $1 ]] || { echo 0; return; }
  iconv -f CP1250 -t UTF-8 "$1" | grep -c "Záloha byla provedena" || true
}

# Name and checksum of every generation of a folder (ODBackup_<n>.fbk,
# ODBackup_1.old), one a line; nothing else there counts.
generations() {
  (cd "$1" && find . -maxdepth 1 -type f \( -regex './ODBackup_[0-9]+\.fbk' -o -name ODBackup_1.old \) |
    sort | xargs -r sha256sum) 2>/dev/null || true
}

# After a failed backup: nothing counted as made, LastRun as it was, and every
# generation in place with its bytes (which also means no unfinished file
# passes for ODBackup_1.fbk). $1 is LastRun before the run, $2 the generations,
# $3 the case.
expect_failed_untouched() {
  local what=${3:-the failed backup}
  expect_same "$1" "$(ini_value "$work/odb.ini" LastRun)" "$what: LastRun"
  [[ $(done_entries "$work/odb.log") == 0 ]] || fail "$what: logged as made"
  expect_same "$2" "$(generations "$work/backups")" "$what: generations"
}

ini_value() { grep -a "^$2=" "$1" | tr -d '\r' | cut -d= -f2-; }
