#!/usr/bin/env bash
# Builds the benchmark database: 400 tables, 300,000 rows in all (750 each).
# Usage: bench/make-db.sh /path/to/bench.fdb
set -euo pipefail
db=${1:?database path}
mkdir -p "$(dirname "$db")"
rm -f "$db"
sql=$(mktemp)
trap 'rm -f "$sql"' EXIT
{
  echo "create database '$db' user 'SYSDBA';"
  for t in $(seq 1 400); do
    echo "create table T$t (ID integer not null primary key, NAME varchar(40), AMOUNT numeric(12,2));"
  done
  echo "commit;"
  echo "set term ^;"
  for t in $(seq 1 400); do
    echo "execute block as declare i integer = 0; begin"
    echo "  while (i < 750) do begin insert into T$t values (:i, 'row ' || :i, :i * 1.5); i = i + 1; end"
    echo "end^"
  done
  echo "set term ;^"
  echo "commit;"
} >"$sql"
isql-fb -q -user sysdba -i "$sql"
chmod 0666 "$db"
