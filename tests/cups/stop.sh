#!/usr/bin/env bash
# Stops the private cupsd started by start.sh DIR.
set -uo pipefail
dir=${1:?usage: stop.sh DIR}
pidfile="$dir/cupsd.pid.bg"
[ -f "$pidfile" ] || exit 0
pid=$(cat "$pidfile")
if kill -0 "$pid" 2>/dev/null; then
  kill "$pid"
  for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  kill -9 "$pid" 2>/dev/null || true
fi
rm -f "$pidfile"
exit 0
