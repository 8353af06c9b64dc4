#!/usr/bin/env bash
# The systemd units in dist/systemd: systemd-analyze verify accepts them without
# a single complaint (unknown keys are only warnings there, so any output
# fails), and the service runs the headless program with its configuration,
# restarts it on failure and logs to the journal.
set -euo pipefail
: "${ODBACKUP:?path of the odbackup program}"
src=$(dirname "$0")/../../dist/systemd
work=$(mktemp -d /tmp/odb-systemd-XXXXXX)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
command -v systemd-analyze >/dev/null || { echo "FAIL: systemd-analyze missing (package systemd)"; exit 1; }

# verify checks that ExecStart names an executable; point it at this build.
for unit in "$src"/*; do
  sed "s#/usr/local/bin/odbackup#$ODBACKUP#g" "$unit" >"$work/$(basename "$unit")"
done
set +e
complaints=$(cd "$work" && systemd-analyze verify ./*.service ./*.timer 2>&1)
rc=$?
set -e
[[ $rc == 0 && -z $complaints ]] || fail "systemd-analyze verify (exit $rc): $complaints"

service=$src/odbackup.service
grep -qx 'ExecStart=/usr/local/bin/odbackup --config /etc/odbackup/odbackup.ini' "$service" ||
  fail "odbackup.service does not run the program with --config"
grep -qx 'Restart=on-failure' "$service" || fail "odbackup.service does not restart on failure"
grep -qx 'StandardError=journal' "$service" || fail "odbackup.service does not log to the journal"
grep -q -- '--status$' "$src/odbackup-status.service" || fail "the check does not run --status"
grep -q '^OnUnitActiveSec=' "$src/odbackup-status.timer" || fail "the check's timer does not repeat"

if ((failures)); then
  echo "$failures check(s) failed"
  exit 1
fi
echo "all checks passed"
