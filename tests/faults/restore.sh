#!/usr/bin/env bash
# odbackup --restore against a private server over TCP: a generation and a
# mirror's gzip copy restore with their own rows; every refused target (an
# existing file, the live database under any spelling) keeps its bytes, and a
# damaged copy leaves no decompressed file behind.
source "$(dirname "$0")/lib.sh"

start_server
cached_db "$work/db.fdb" small
mkdir -p "$work/backups" "$work/mirror"
standard_ini

isql_tcp() { isql-fb -q -user sysdba -password "$FB_PASSWORD" "localhost/$FB_PORT:$1"; }
rows() { echo "select 'rows=' || count(*) from T1;" | isql_tcp "$1" | grep -o 'rows=[0-9]*'; }
restore() {
  set +e
  "$ODBACKUP" --config "$work/odb.ini" --restore "$@" >"$work/out.txt" 2>"$work/err.txt"
  rc=$?
  set -e
  out=$(cat "$work/out.txt") err=$(cat "$work/err.txt")
}

# Generation 2 holds 100 rows, generation 1 (the newest) 105.
run_once && expect_rc 0 "first backup"
echo "insert into T1 select ID + 1000, NAME from T1 rows 5; commit;" | isql_tcp "$work/db.fdb" >/dev/null
run_once && expect_rc 0 "second backup"

for row in "2|$work/r2.fdb|rows=100" "|$work/r1.fdb|rows=105"; do
  IFS='|' read -r generation target expected <<<"$row"
  # shellcheck disable=SC2086  # no generation: --restore alone
  restore $generation --to "$target"
  expect_rc 0 "--restore ${generation:-(default)}"
  grep -qF "finishing, closing, and going home" <<<"$out" || fail "--restore $generation: no progress lines: $out"
  grep -qF "Záloha byla obnovena do nové databáze $target" <<<"$out" || fail "--restore $generation: no closing text: $out"
  [[ $(rows "$target") == "$expected" ]] || fail "--restore ${generation:-1}: $(rows "$target"), expected $expected"
done

gzip -c "$work/backups/ODBackup_2.fbk" >"$work/mirror/ODBackup_2.fbk.gz"
restore "$work/mirror/ODBackup_2.fbk.gz" --to "$work/rgz.fdb"
expect_rc 0 "a mirror copy"
[[ $(rows "$work/rgz.fdb") == rows=100 ]] || fail "a mirror copy: $(rows "$work/rgz.fdb"), expected rows=100"
ls "$work/backups" | grep -q restore && fail "a mirror copy: the decompressed file is still there: $(ls "$work/backups")"

# Refused targets: the bytes there stay as they were, and nothing is restored.
printf 'keep me' >"$work/taken.fdb"
ln -s "$work" "$work/link"
live=$(sha256sum <"$work/db.fdb")
for row in "$work/taken.fdb|už existuje" "$work/db.fdb|živá databáze" "$work/link/db.fdb|živá databáze" \
  "$work/backups/../db.fdb|živá databáze" "$work/r1.fdb|už existuje"; do
  IFS='|' read -r target expected <<<"$row"
  before=$(sha256sum <"$target")
  restore 2 --to "$target"
  expect_rc 1 "--to $target"
  expect_err_has "$expected" "--to $target"
  [[ $(sha256sum <"$target") == "$before" ]] || fail "--to $target: its bytes changed"
done
[[ $(sha256sum <"$work/db.fdb") == "$live" ]] || fail "the live database changed"
ln -s "$work/nothere.fdb" "$work/dangling.fdb"
restore 2 --to "$work/dangling.fdb"
expect_rc 1 "a dangling link as target"
[[ -e $work/nothere.fdb ]] && fail "a dangling link as target: restored through it"

# Failures that leave nothing behind.
head -c "$(($(stat -c %s "$work/mirror/ODBackup_2.fbk.gz") / 2))" "$work/mirror/ODBackup_2.fbk.gz" >"$work/mirror/cut.fbk.gz"
for row in "$work/mirror/cut.fbk.gz|nelze rozbalit" "9|ODBackup_9.fbk nebyla nalezena"; do
  IFS='|' read -r source expected <<<"$row"
  restore "$source" --to "$work/failed.fdb"
  expect_rc 1 "--restore $source"
  expect_err_has "$expected" "--restore $source"
  [[ -e $work/failed.fdb ]] && fail "--restore $source: left $work/failed.fdb"
done
ls "$work/backups" | grep -q restore && fail "the decompressed file of the cut copy is still there"

# Copies damaged among their rows (64 bytes overwritten, so many bytes past the
# first row; measured on Firebird 3): gbak either stops with an error after
# creating the database, or skips rows with "-- continuing" and ends as if
# whole. Neither may leave a database that looks restored.
first_row=$(grep -abo "row number 0" "$work/backups/ODBackup_2.fbk" | head -1 | cut -d: -f1)
for row in "1385|expected data attribute" "1321|poškozená"; do
  IFS='|' read -r past expected <<<"$row"
  cp "$work/backups/ODBackup_2.fbk" "$work/damaged.fbk"
  printf '\xff%.0s' {1..64} | dd of="$work/damaged.fbk" bs=1 seek=$((first_row + past)) conv=notrunc 2>/dev/null
  restore "$work/damaged.fbk" --to "$work/damaged$past.fdb"
  expect_rc 1 "a copy damaged $past bytes past its first row"
  expect_err_has "$expected" "a copy damaged $past bytes past its first row"
  grep -qF "gbak:created database $work/damaged$past.fdb" <<<"$out" || fail "damaged $past: no progress lines: $out"
  [[ -e $work/damaged$past.fdb ]] && fail "a copy damaged $past bytes past its first row: left $work/damaged$past.fdb"
done

# Usage errors, as the other options have.
for args in "--restore" "--restore 0 --to $work/x.fdb" "--to $work/x.fdb" "--restore 1 --once --to $work/x.fdb"; do
  set +e
  # shellcheck disable=SC2086
  "$ODBACKUP" --config "$work/odb.ini" $args >/dev/null 2>&1
  rc=$?
  set -e
  expect_rc 2 "odbackup $args"
done
finish
