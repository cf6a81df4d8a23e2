# A print server that stops answering, or is not there at all, never holds
# zentavo: every wait for it is bounded (ZENTAVO_CUPS_TIMEOUT seconds), every
# label or report not accepted is reported by its name with the server's name,
# and the exit status is 1. A scheduler that is gone is said to be gone, never
# taken for a queue that is "no longer installed".
source "$(dirname "$0")/lib/common.sh"
command -v cupsd >/dev/null || skip "cupsd is not installed"
cups="$WORK/cups"
silent_pid=""
unconfirmed_pid=""
cleanup() {
  [ -f "$cups/cupsd.pid.bg" ] && kill -CONT "$(cat "$cups/cupsd.pid.bg")" 2>/dev/null || true
  "$SOURCE_DIR/tests/cups/stop.sh" "$cups" >/dev/null
  [ -n "$silent_pid" ] && kill "$silent_pid" 2>/dev/null || true
  [ -n "$unconfirmed_pid" ] && kill "$unconfirmed_pid" 2>/dev/null || true
  rm -rf "$WORK"
}
trap cleanup EXIT
# The spooler's helpers run as lp and must reach the spool inside $WORK.
chmod 755 "$WORK"
export ZENTAVO_CUPS_TIMEOUT=1.5

# bounded SECONDS STATUS ARGS...: runs zentavo, keeps stderr in $ERR, fails
# unless it exits with STATUS within SECONDS.
bounded() {
  local limit=$1 want=$2 rc=0 started
  shift 2
  started=$(date +%s%N)
  timeout $((limit + 30)) "$ZENTAVO" "$@" >"$WORK/.stdout" 2>"$WORK/.stderr" || rc=$?
  ELAPSED=$((($(date +%s%N) - started) / 1000000))
  ERR=$(cat "$WORK/.stderr")
  [ "$rc" = "$want" ] || fail "zentavo $* exited $rc, expected $want: $ERR"
  [ "$ELAPSED" -le $((limit * 1000)) ] || fail "zentavo $* took ${ELAPSED} ms, more than $limit s"
}

# failed_labels: the labels the last run reported as not printed, one a line, sorted.
failed_labels() { sed -n 's/^zentavo: The label \([^ ]*\) was not printed: .*/\1/p' <<<"$ERR" | sort; }

request3='|1|LAB|FIRMA|AD|TARIH|P1|X|01.01.2000|E|T1|a|1001|T2|b|1002|T3|c|1003|'
request51='|1|L|F|P|D|PR|X|B|S|'
labels51=""
for i in $(seq 1 51); do
  request51+="T$i|t|$((1000 + i))|"
  labels51+="T${i}_$((1000 + i))"$'\n'
done
labels51=$(sort <<<"${labels51%$'\n'}")
printf '%%PDF-1.4 report\n' > "$WORK/rapor.pdf"

# Every job against SERVER: its one message names the label (the "$" label
# job's by its template, the report by its file) and says WHAT of the server.
every_job_fails() {
  local server=$1 what=$2 limit=$3
  export CUPS_SERVER=$server
  bounded "$limit" 1 "$request3"
  expect_eq "$(failed_labels | tr '\n' ' ')" "T1_1001 T2_1002 T3_1003 " "every label of the run failed ($server)"
  expect_eq "$(grep -c "was not printed: $what" <<<"$ERR")" "3" "each names the server $server: $ERR"
  # job    field 3 ...                         message                                   why
  while IFS='	' read -r job request message why; do
    bounded "$limit" 1 --job "$job" "$request"
    [[ "$ERR" == *"$message$what"* ]] || fail "$why ($server): $ERR"
    [[ "$ERR" != *"no longer installed"* ]] || fail "$why ($server): the server taken for a missing queue: $ERR"
    expect_eq "$(wc -l <<<"$ERR")" "1" "$why: one line"
  done <<ROWS
lab	\$x\$defult\$M1\$M2\$M3\$M4\$42\$M8\$	The label LabBarkod was not printed: 	laboratory label
result	\$x\$Office\$M1\$M2\$M3\$42\$M7\$	The label SonucBarkodu was not printed: 	result label
file	\$x\$y\$$WORK/rapor.pdf\$	The report rapor.pdf was not printed: 	report file
ROWS
}

# (a) A server that accepts the connection and never answers, on a Unix
# socket and on a loopback port.
python3 - "$WORK/silent.sock" "$WORK/silent.port" <<'PY' &
import os, socket, sys
unix = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
unix.bind(sys.argv[1]); unix.listen(64)
tcp = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
tcp.bind(("127.0.0.1", 0)); tcp.listen(64)
with open(sys.argv[2] + ".tmp", "w") as f: f.write(str(tcp.getsockname()[1]))
os.rename(sys.argv[2] + ".tmp", sys.argv[2])
held = []
import select
while True:
    for s in select.select([unix, tcp], [], [])[0]:
        held.append(s.accept()[0])  # read nothing, answer nothing
PY
silent_pid=$!
for _ in $(seq 1 100); do [ -S "$WORK/silent.sock" ] && [ -f "$WORK/silent.port" ] && break; sleep 0.05; done
[ -f "$WORK/silent.port" ] || fail "the silent server did not start"
# About 1.5 s for the one unanswered request, a second of libcups's own: the
# rest of the run is not kept waiting again.
every_job_fails "$WORK/silent.sock" "The print server $WORK/silent.sock did not answer within 1.5 s" 8
every_job_fails "127.0.0.1:$(cat "$WORK/silent.port")" \
  "The print server 127.0.0.1:$(cat "$WORK/silent.port") did not answer within 1.5 s" 8

# A server that creates the job and takes its document, then never confirms
# it: the document is not taken for accepted (libcups reports the status of
# the job's creation for it).
python3 "$(dirname "$0")/lib/unconfirmed_ipp.py" "$WORK/unconfirmed.sock" &
unconfirmed_pid=$!
for _ in $(seq 1 100); do [ -S "$WORK/unconfirmed.sock" ] && break; sleep 0.05; done
[ -S "$WORK/unconfirmed.sock" ] || fail "the unconfirming server did not start"
every_job_fails "$WORK/unconfirmed.sock" "The print server $WORK/unconfirmed.sock did not answer within 1.5 s" 8

# (c) No scheduler: no socket at all, or a socket nobody listens on.
python3 -c 'import socket, sys; socket.socket(socket.AF_UNIX).bind(sys.argv[1])' "$WORK/dead.sock"
every_job_fails "$WORK/nobody.sock" "Cannot reach the print server $WORK/nobody.sock: No such file or directory" 5
every_job_fails "$WORK/dead.sock" "Cannot reach the print server $WORK/dead.sock: Connection refused" 5

# The printer lists say why they are empty instead of "no printers".
for server in "$WORK/nobody.sock" "$WORK/silent.sock"; do
  CUPS_SERVER=$server bounded 8 1 --list-printers
  grep -qF "print server $server" <<<"$ERR" || fail "--list-printers with $server: $ERR"
  rc=0
  CUPS_SERVER=$server timeout 30 "$ZREPORT" printers >/dev/null 2>"$WORK/.stderr" || rc=$?
  expect_eq "$rc" "1" "zreport printers with $server"
  grep -qF "print server $server" "$WORK/.stderr" || fail "zreport printers with $server: $(cat "$WORK/.stderr")"
done

# (b) The real scheduler stops answering (SIGSTOP) after 20 labels of a run of
# 51. Every label is accounted for: accepted by the spooler before it stopped,
# or reported failed. Only the label whose answer was on its way when the
# scheduler stopped may be both (its fate is unknown, so it is reported).
"$SOURCE_DIR/tests/cups/start.sh" "$cups" >/dev/null
export CUPS_SERVER="$cups/cups.sock" CUPS_TEST_DIR="$cups"
export ZENTAVO_CUPS_TIMEOUT=3
documents() { find "$cups/spool" -maxdepth 1 -name 'd*-001' | wc -l; }
started=$(date +%s)
rc=0
timeout 90 "$ZENTAVO" "$request51" >/dev/null 2>"$WORK/stopped.err" &
zentavo_pid=$!
while [ "$(documents)" -lt 20 ]; do
  kill -0 "$zentavo_pid" 2>/dev/null || fail "zentavo ended before 20 labels reached the spooler"
  sleep 0.01
done
cupsd_pid=$(cat "$cups/cupsd.pid.bg")
kill -STOP "$cupsd_pid"
# The signal is sent, not yet taken: count only once the scheduler stands still.
until [ "$(awk '{ print $3 }' "/proc/$cupsd_pid/stat")" = "T" ]; do sleep 0.001; done
wait "$zentavo_pid" || rc=$?
elapsed=$(($(date +%s) - started))
kill -CONT "$cupsd_pid"
# A document the scheduler took just before it stopped may still be on its
# way into the spool folder: count once it runs again and has settled.
lpstat -h "$CUPS_SERVER" -r >/dev/null 2>&1 || true
sleep 1
accepted_ids=$(find "$cups/spool" -maxdepth 1 -name 'd*-001' -printf '%f\n' | sed 's/^d0*\([0-9]*\)-001$/\1/' | sort -n)
ERR=$(cat "$WORK/stopped.err")
expect_eq "$rc" "1" "exit status of the stopped run"
[ "$elapsed" -le 60 ] || fail "the stopped run took $elapsed s"
accepted=$("$CUPSJOBS" | awk -F'\t' -v ids="$(tr '\n' ' ' <<<"$accepted_ids")" \
  'BEGIN { n = split(ids, a, " "); for (i = 1; i <= n; i++) keep[a[i]] = 1 } ($1 in keep) { print $3 }' | sort)
failed=$(failed_labels)
expect_eq "$(wc -l <<<"$accepted")" "$(wc -l <<<"$accepted_ids")" "every accepted document has its job"
missing=$(comm -13 <(sort -u <<<"$accepted"$'\n'"$failed") <(echo "$labels51") | tr '\n' ' ')
expect_eq "$missing" "" "labels neither accepted nor reported (stderr: $ERR)"
both=$(comm -12 <(echo "$accepted") <(echo "$failed") | wc -l)
[ "$both" -le 1 ] || fail "$both labels both accepted and reported failed"
expect_eq "$(($(wc -l <<<"$accepted") + $(wc -l <<<"$failed")))" "$((51 + both))" "accepted + failed"
[ "$(grep -c "was not printed: The print server $cups/cups.sock did not answer within 3 s" <<<"$ERR")" = "$(wc -l <<<"$failed")" ] ||
  fail "every failure names the server that stopped: $ERR"

# A scheduler that ends in the middle of a run is gone, not a queue removed.
"$SOURCE_DIR/tests/cups/start.sh" "$cups" >/dev/null
timeout 90 "$ZENTAVO" "$request51" >/dev/null 2>"$WORK/ended.err" &
zentavo_pid=$!
while [ "$(documents)" -lt 5 ]; do
  kill -0 "$zentavo_pid" 2>/dev/null || fail "zentavo ended before 5 labels reached the spooler"
  sleep 0.01
done
"$SOURCE_DIR/tests/cups/stop.sh" "$cups" >/dev/null
rc=0
wait "$zentavo_pid" || rc=$?
ERR=$(cat "$WORK/ended.err")
expect_eq "$rc" "1" "exit status of the run whose scheduler ended"
[[ "$ERR" != *"no longer installed"* ]] || fail "the ended scheduler taken for a missing queue: $ERR"
reported=$(grep -c "was not printed: Cannot reach the print server $cups/cups.sock: " <<<"$ERR" || true)
expect_eq "$reported" "$(failed_labels | wc -l)" "every failure says the server cannot be reached: $ERR"
[ "$reported" -ge 1 ] || fail "no label was reported after the scheduler ended: $ERR"
echo "print server failures: ok"
