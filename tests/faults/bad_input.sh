#!/usr/bin/env bash
# Command lines that cannot work: a usage message on stderr, a non-zero exit
# status, and nothing written (no INI, no log, no backup) anywhere.
source "$(dirname "$0")/lib.sh"

mkdir -p "$work/bin" "$work/cfg" "$work/backups" "$work/folder.ini"
cp "$ODBACKUP" "$work/bin/odbackup"
write_ini "$work/cfg/good.ini" LocalHost=A "DatabaseName=$work/db.fdb" \
  "LogFileName=$work/cfg/odb.log" "BackupPath=$work/backups" LogToFile=A ClearLog=A
before=$(cd "$work" && find . | sort; snapshot "$work")

cases=(
  "unknown option|--bogus"
  "unknown option after a good one|--config $work/cfg/good.ini --once --bogus"
  "missing config file|--config $work/cfg/missing.ini --once"
  "config is a folder|--config $work/folder.ini --once"
  "--config without a value|--config"
  "--at malformed|--config $work/cfg/good.ini --plan --at 32.13.2024"
  "--at with a bad time|--config $work/cfg/good.ini --plan --at 01.01.2024_25:00:00"
  "--at without --plan|--config $work/cfg/good.ini --at 01.01.2024_10:00:00"
  "--at without --plan, with --once|--config $work/cfg/good.ini --once --at 01.01.2024_10:00:00"
  "--at without a value|--config $work/cfg/good.ini --plan --at"
  "two modes|--config $work/cfg/good.ini --once --plan"
)
for c in "${cases[@]}"; do
  name=${c%%|*}
  # Words split on blanks; "_" stands for the blank inside a date-time.
  read -r -a args <<<"${c#*|}"
  args=("${args[@]//_/ }")
  set +e
  "$work/bin/odbackup" "${args[@]}" >"$work/out.txt" 2>"$work/err.txt"
  rc=$?
  set -e
  err=$(cat "$work/err.txt")
  rm "$work/out.txt" "$work/err.txt"
  expect_rc nonzero "$name"
  expect_err_has "Usage: odbackup" "$name"
  [[ $err == odbackup:* ]] || fail "$name: no problem named before the usage: $err"
  expect_same "$before" "$(cd "$work" && find . | sort; snapshot "$work")" "$name: files"
  echo "$name: exit $rc, $(head -1 <<<"$err")"
done
finish
