#!/usr/bin/env bash
# Starts the local Firebird 3 server (the package does not start it in a
# container) and sets SYSDBA's password to the one the program sends.
set -euo pipefail
password=pinewharf
if ! pgrep -x firebird >/dev/null; then
  # The server's lock files must be its own; an earlier embedded run as root may
  # have left them behind.
  rm -rf /tmp/firebird
  # The running server holds the security database for itself (embedded isql
  # then fails with "incompatible with current"), so set the password first.
  echo "alter user sysdba password '$password'; commit;" |
    isql-fb -q -user sysdba /var/lib/firebird/3.0/system/security3.fdb >/dev/null
  rm -rf /tmp/firebird
  /usr/sbin/firebird >/tmp/firebird-server.log 2>&1 &
fi
for _ in $(seq 1 50); do
  (exec 3<>/dev/tcp/127.0.0.1/3050) 2>/dev/null && break
  sleep 0.2
done
