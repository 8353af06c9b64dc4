#!/usr/bin/env bash
# The systemd units in dist/systemd: systemd-analyze verify accepts them without
# a single complaint (unknown keys are only warnings there, so any output
# fails), and the service runs the headless program with its configuration,
# restarts it on failure, logs to the journal, runs as its own user and is
# hardened.
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

# Not root, private files, a read-only system but for the program's own
# folders, a start limit, and the alert of a failed check.
while read -r unit line; do
  grep -qx -- "$line" "$src/$unit" || fail "$unit lacks the line $line"
done <<'LINES'
odbackup.service User=odbackup
odbackup.service UMask=0077
odbackup.service ProtectSystem=strict
odbackup.service ReadWritePaths=/etc/odbackup -/var/log/odbackup -/var/backups/odbackup -/var/lib/firebird/3.0/data
odbackup.service ProtectHome=true
odbackup.service PrivateTmp=true
odbackup.service BindPaths=-/tmp/firebird
odbackup.service NoNewPrivileges=true
odbackup.service StartLimitBurst=5
odbackup-status.service User=odbackup
odbackup-status.service UMask=0077
odbackup-status.service ProtectSystem=strict
odbackup-status.service ProtectHome=true
odbackup-status.service PrivateTmp=true
odbackup-status.service NoNewPrivileges=true
odbackup-status.service OnFailure=odbackup-alert@%n.service
LINES
grep -q '^StartLimitIntervalSec=' "$src/odbackup.service" || fail "odbackup.service has no start limit interval"

if ((failures)); then
  echo "$failures check(s) failed"
  exit 1
fi
echo "all checks passed"
