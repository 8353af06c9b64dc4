#!/usr/bin/env bash
# Builds the benchmark database: by default 400 tables, 300,000 rows in all (750 each).
# A verbose backup writes about 20 output lines per table, so the table count
# sets the output's length (1,500 tables: about 30,000 lines).
# Usage: bench/make-db.sh /path/to/bench.fdb [TABLES [ROWS_PER_TABLE]]
set -euo pipefail
db=${1:?database path}
tables=${2:-400} rows=${3:-750}
mkdir -p "$(dirname "$db")"
rm -f "$db"
sql=$(mktemp)
trap 'rm -f "$sql"' EXIT
{
  echo "create database '$db' user 'SYSDBA';"
  for t in $(seq 1 "$tables"); do
    echo "create table T$t (ID integer not null primary key, NAME varchar(40), AMOUNT numeric(12,2));"
  done
  echo "commit;"
  echo "set term ^;"
  for t in $(seq 1 "$tables"); do
    echo "execute block as declare i integer = 0; begin"
    echo "  while (i < $rows) do begin insert into T$t values (:i, 'row ' || :i, :i * 1.5); i = i + 1; end"
    echo "end^"
  done
  echo "set term ;^"
  echo "commit;"
} >"$sql"
isql-fb -q -user sysdba -i "$sql"
chmod 0666 "$db"
