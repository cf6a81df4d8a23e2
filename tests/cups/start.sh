#!/usr/bin/env bash
# Starts a private cupsd for the tests: its own configuration, spool, socket
# and printcap under DIR, no network listener, jobs kept after printing so
# tests can read back exactly what was submitted. The machine's own CUPS is
# not touched (its printcap, /run/cups/printcap, included).
# Usage: start.sh DIR   (then: export CUPS_SERVER=DIR/cups.sock)
set -euo pipefail
dir=$(realpath -m "${1:?usage: start.sh DIR}")
here=$(cd "$(dirname "$0")" && pwd)

if ! command -v cupsd >/dev/null || ! command -v lpadmin >/dev/null; then
  echo "cupsd or lpadmin is not installed; ./setup.sh installs them" >&2
  exit 1
fi
"$here/stop.sh" "$dir" >/dev/null 2>&1 || true
rm -rf "$dir"
mkdir -p "$dir"/{etc/ppd,spool/tmp,cache,state/certs,log}
# cupsd drops to the lp user for its helpers; they need to reach the folders.
chmod 755 "$dir" "$dir"/{etc,cache,state,log}
chmod 1770 "$dir/spool/tmp"
chmod 710 "$dir/spool"
if [ "$(id -u)" = 0 ]; then
  chgrp lp "$dir/spool" "$dir/spool/tmp" 2>/dev/null || true
  user=lp; group=lp
else
  user=$(id -un); group=$(id -gn)
fi
sock="$dir/cups.sock"

cat > "$dir/etc/cupsd.conf" <<CONF
Listen $sock
Browsing Off
BrowseLocalProtocols none
DefaultAuthType None
WebInterface No
LogLevel warn
MaxLogSize 0
PreserveJobFiles Yes
PreserveJobHistory Yes
# State files (the printcap among them) are written at once, not 30 s later.
DirtyCleanInterval 0
MaxJobs 0
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF
cat > "$dir/etc/cups-files.conf" <<CONF
ServerRoot $dir/etc
RequestRoot $dir/spool
TempDir $dir/spool/tmp
CacheDir $dir/cache
StateDir $dir/state
DataDir /usr/share/cups
ServerBin /usr/lib/cups
AccessLog $dir/log/access_log
ErrorLog $dir/log/error_log
PageLog $dir/log/page_log
Printcap $dir/printcap
FileDevice Yes
User $user
Group $group
SystemGroup root
Sandboxing relaxed
CONF

cupsd -c "$dir/etc/cupsd.conf" -s "$dir/etc/cups-files.conf" -f > "$dir/log/cupsd.out" 2>&1 &
echo $! > "$dir/cupsd.pid.bg"
for _ in $(seq 1 100); do
  [ -S "$sock" ] && lpstat -h "$sock" -r >/dev/null 2>&1 && break
  sleep 0.1
done
if ! lpstat -h "$sock" -r >/dev/null 2>&1; then
  echo "private cupsd did not start:" >&2
  cat "$dir/log/cupsd.out" "$dir/log/error_log" >&2 2>/dev/null || true
  exit 1
fi

# Queues: raw, so the spool keeps each submitted document as it came.
"$here/queues.sh" "$sock"
echo "private cupsd on $sock"
