# The Windows program under Wine, for real_backup.sh (after tests/faults/lib.sh):
# its folder with the bridge beside it, its INI, starting and stopping it,
# driving its window, and the checks of a real backup.

if [[ ! -f ${ODB_BRIDGE:-} ]]; then
  echo "SKIPPED ($ODB_BITS-bit build): NO REAL BACKUP TESTED: the bridge fbclient.dll was not built" \
    "(${ODB_BRIDGE_MISSING:-$ODB_BRIDGE missing})"
  exit $SKIP
fi

app=$work/app
mkdir -p "$app"
cp "$ODB_EXE" "$app/odbackup.exe"
cp "$ODB_BRIDGE" "$app/fbclient.dll"
program=
# Wine's environment reaches the Windows side: odbdrive drives only this copy.
export ODB_APP_EXE

# The Wine drive path of a Unix path (Z: is the root).
winpath() { printf 'Z:%s' "${1//\//\\}"; }

# app_ini KEY=VALUE... : the program's INI next to it, in Windows-1250; the
# keys not given take the tests' usual values.
app_ini() {
  declare -A value=([LogFileName]=$(winpath "$app/odbackup.log") [BackupCount]=3
    [LastRun]="01.02.2024 03:04:05" [LogToFile]=A [ClearLog]=N [EventAction]=OnceBackup
    [RunMinimalized]=N)
  local kv key section
  for kv in "$@"; do value[${kv%%=*}]=${kv#*=}; done
  declare -A sections=([OrdavaDB]="LocalHost ServerName DatabaseName LogFileName UserName PasswordProtected"
    [Backups]="BackupPath BackupCount LastRun MirrorPath"
    [Settings]="LogToFile ClearLog RunMinimalized EventAction Days EventCountTimes Time_1 VerifyBackup")
  {
    for section in OrdavaDB Backups Settings; do
      printf '[%s]\r\n' "$section"
      for key in ${sections[$section]}; do
        if [[ -v value[$key] ]]; then printf "%s=%s\r\n" "$key" "${value[$key]}"; fi
      done
    done
  } | iconv -f UTF-8 -t CP1250 >"$app/odbackup.ini"
}

ODB_APP_EXE=$(winpath "$app/odbackup.exe")

drive() { wine "$ODB_DRIVE" "$@" 2>>"$work/wine.log" | tr -d '\r'; return "${PIPESTATUS[0]}"; }

start_program() {
  # A Wine server still ending after the last case's program would take the
  # new one down with it.
  wineserver -w 2>/dev/null || true
  (cd "$app" && exec wine odbackup.exe >>"$work/wine.log" 2>&1) &
  program=$!
  drive wait-main 90 || { fail "$case_name: the settings window did not appear"; cat "$work/wine.log" >&2; finish; }
}

stop_program() {
  drive close || true
  for _ in $(seq 1 300); do
    kill -0 "$program" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$program" 2>/dev/null; then
    fail "$case_name: the program did not end when its window was closed"
    kill "$program" 2>/dev/null || true
  fi
  wait "$program" 2>/dev/null || true
  program=
}

# Waits until the log holds an entry with the text.
wait_log_entry() {
  local text=$1 seconds=$2 i
  for ((i = 0; i < seconds * 4; i++)); do
    iconv -f CP1250 -t UTF-8 "$app/odbackup.log" 2>/dev/null | grep -qF -- "$text" && return 0
    sleep 0.25
  done
  return 1
}

# Waits until the log holds n completed backups and LastRun is saved.
wait_done() {
  local n=$1 seconds=$2 i
  for ((i = 0; i < seconds * 4; i++)); do
    if (($(done_entries "$app/odbackup.log") >= n)) &&
      [[ $(ini_value "$app/odbackup.ini" LastRun) != "01.02.2024 03:04:05" ]]; then
      sleep 0.5
      return 0
    fi
    sleep 0.25
  done
  return 1
}

# OK with "Jednorázová záloha" makes backup number n: logged, LastRun saved,
# no box, the window hidden.
backup_by_ok() {
  local n=$1 box
  drive once || fail "$case_name: could not press OK"
  if ! wait_done "$n" 120; then
    box=$(drive box 1) && fail "$case_name: backup $n failed: $box" || fail "$case_name: backup $n not made within 120 s"
    return
  fi
  box=$(drive box 1) && fail "$case_name: a box after backup $n: $box"
  drive visible && fail "$case_name: OK did not hide the window"
  expect_last_run_today
}

expect_last_run_today() {
  [[ $(ini_value "$app/odbackup.ini" LastRun) == "$(date +%d.%m.%Y) "* ]] ||
    fail "$case_name: LastRun is $(ini_value "$app/odbackup.ini" LastRun)"
}

# The backup restores (embedded) and T1 holds the expected rows.
expect_restores() {
  local fbk=$1 rows=$2 count
  mkdir -p "$work/lock-embedded"
  rm -f "$work/restored.fdb"
  if ! FIREBIRD_LOCK=$work/lock-embedded gbak -c "$fbk" "$work/restored.fdb" -user sysdba >"$work/restore.txt" 2>&1; then
    fail "$case_name: $fbk does not restore: $(cat "$work/restore.txt")"
    return
  fi
  count=$(echo "select 'rows=' || count(*) from T1;" | isql_embedded "$work/restored.fdb" | grep -o 'rows=[0-9]*')
  [[ $count == "rows=$rows" ]] || fail "$case_name: $fbk restored with $count, expected $rows"
}

# Czech names need Wine to run in code page 1250, which it takes from the
# locale: it must exist.
expect_acp() {
  locale -a 2>/dev/null | grep -qi '^cs_CZ.utf8$' || localedef -i cs_CZ -f UTF-8 cs_CZ.UTF-8 ||
    { fail "the cs_CZ.UTF-8 locale cannot be made (package locales)"; finish; }
  local acp
  acp=$(drive acp)
  [[ $acp == "$1" ]] || { fail "Wine runs in code page $acp under LANG=$LANG, expected $1"; finish; }
}

stop_leftover_program() {
  [[ -n $program ]] && kill "$program" 2>/dev/null
  ((failures)) && [[ -s $work/wine.log ]] && { echo "--- Wine's output:"; tail -n 30 "$work/wine.log"; }
  true
}
trap 'stop_leftover_program; cleanup' EXIT
