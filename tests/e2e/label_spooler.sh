# The automatic job against a spooler of its own, so the shared one keeps its
# queues for the other tests: with no queue "Pelmora Korvane" the labels go to
# the default destination; a destination that refuses jobs, or no spooler at
# all, fails the run with status 1 and says so for every label.
source "$(dirname "$0")/lib/common.sh"
command -v cupsd >/dev/null || skip "cupsd is not installed"
cups="$WORK/cups"
trap '"$SOURCE_DIR/tests/cups/stop.sh" "$cups" >/dev/null; rm -rf "$WORK"' EXIT
# The spooler's helpers run as lp and must reach the spool inside $WORK.
chmod 755 "$WORK"
# The test spooler leaves the machine alone: it keeps its printcap in its own
# folder, and the machine's (written by the machine's cupsd) is not touched.
machine_printcap() { stat -c '%Y.%y %s' /run/cups/printcap 2>/dev/null || echo absent; }
machine_before=$(machine_printcap)
"$SOURCE_DIR/tests/cups/start.sh" "$cups" >/dev/null
export CUPS_SERVER="$cups/cups.sock" CUPS_TEST_DIR="$cups"
# printcap_queues: the queue names the private printcap lists, sorted, once it lists WANT.
printcap_queues() {
  local want=$1 names=""
  for _ in $(seq 1 50); do
    names=$(grep -v '^#' "$cups/printcap" 2>/dev/null | cut -d'|' -f1 | sort | tr '\n' ' ')
    [ "$names" = "$want" ] && break
    sleep 0.1
  done
  echo "$names"
}
expect_eq "$(printcap_queues "Office Pelmora_Korvane RawLabels ")" "Office Pelmora_Korvane RawLabels " \
  "the private printcap lists the private queues"
lpadmin -h "$CUPS_SERVER" -x Pelmora_Korvane
lpstat -h "$CUPS_SERVER" -p Pelmora_Korvane >/dev/null 2>&1 && fail "the label queue is still there"
expect_eq "$(printcap_queues "Office RawLabels ")" "Office RawLabels " "the private printcap follows its queues"
expect_eq "$(machine_printcap)" "$machine_before" "the machine's /run/cups/printcap"
request='|1|LAB|FIRMA|AD|TARIH|P1|X|01.01.2000|E|T1|Tetkik|123|T2|Hemogram|456|'

run_zentavo 0 "$request"
"$CUPSJOBS" | cut -f2,3 > "$WORK/jobs"
expect_eq "$(cat "$WORK/jobs")" "$(printf 'Office\tT1_123\nOffice\tT2_456')" "both labels on the default destination"
id=$("$CUPSJOBS" | tail -n 1 | cut -f1)
grep -qF "456 / P1" <<<"$(pdftotext "$(spool_document "$id")" -)" || fail "the second label's text"

# A destination that takes no jobs: nothing is reported as printed.
cupsreject -h "$CUPS_SERVER" Office
before=$(job_count)
run_zentavo 1 "$request"
expect_eq "$(job_count)" "$before" "a refusing queue took nothing"
for label in T1_123 T2_456; do
  grep -q "refused the job" <<<"$(grep -F "$label" "$XDG_STATE_HOME/zentavo/zentavo.log")" ||
    fail "no refusal logged for $label: $ERR"
done
[ "$(grep -c "refused the job" <<<"$ERR")" = 2 ] || fail "one refusal per label: $ERR"
cupsaccept -h "$CUPS_SERVER" Office

# No spooler at all: the labels cannot print anywhere, and the message says
# why, by the spooler's name.
"$SOURCE_DIR/tests/cups/stop.sh" "$cups" >/dev/null
run_zentavo 1 "$request"
grep -q -- "--output" <<<"$ERR" || fail "no hint about --output without a spooler: $ERR"
for label in T1_123 T2_456; do
  grep -qF "The label $label was not printed: Cannot reach the print server $CUPS_SERVER: " <<<"$ERR" ||
    fail "no unreachable spooler named for $label: $ERR"
done
expect_eq "$(machine_printcap)" "$machine_before" "the machine's /run/cups/printcap after the run"
echo "label spooler: ok"
