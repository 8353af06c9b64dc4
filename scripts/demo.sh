#!/usr/bin/env bash
# The main job on a demo database: builds the Linux program, creates a small
# Firebird database with the embedded engine (no server needed), writes a
# configuration for it, makes a backup, and shows the generations, the
# activity log and a restore of the newest backup. Run it again to see the
# generations shift.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
demo=$root/demo
build=${ODB_BUILD_DIR:-$root/build}/linux

bash scripts/packages.sh demo
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DODB_TESTS=OFF >/dev/null
cmake --build "$build" --target odbackup >/dev/null

mkdir -p "$demo/backups"
if [[ ! -f $demo/ordava.fdb ]]; then
  echo "== Creating the demo database $demo/ordava.fdb"
  isql-fb -q <<SQL
create database '$demo/ordava.fdb' user 'SYSDBA' default character set utf8;
create table patients (id integer not null primary key, name varchar(60), species varchar(30));
insert into patients values (1, 'Alík', 'pes');
insert into patients values (2, 'Micka', 'kočka');
insert into patients values (3, 'Žofka', 'morče');
commit;
SQL
fi

ini=$demo/odbackup.ini
if [[ ! -f $ini ]]; then
  printf '%s\r\n' "[OrdavaDB]" "LocalHost=A" "DatabaseName=$demo/ordava.fdb" \
    "LogFileName=$demo/odbackup.log" "[Backups]" "BackupPath=$demo/backups" "BackupCount=3" \
    "[Settings]" "LogToFile=A" "ClearLog=N" "EventAction=OnceBackup" > "$ini"
fi

echo "== Backing up (odbackup --config $ini --once)"
"$build/odbackup" --config "$ini" --once | tail -n 3

echo "== Generations in $demo/backups"
ls -l "$demo/backups"
echo "== Activity log (Windows-1250, shown as UTF-8)"
iconv -f CP1250 -t UTF-8 "$demo/odbackup.log" | tr -d '\r' | tail -n 6
echo "== Restoring the newest backup to check it"
restored=$(mktemp -d)/restored.fdb
gbak -c "$demo/backups/ODBackup_1.fbk" "$restored" -user SYSDBA
echo "select count(*) as patients from patients;" | isql-fb -q "$restored"
rm -rf "$(dirname "$restored")"
