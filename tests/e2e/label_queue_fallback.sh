# With no queue "Pelmora Korvane" on the server, the automatic job prints its
# labels on the default destination. A cupsd of its own, so the shared one
# keeps its label queue for the other tests.
source "$(dirname "$0")/lib/common.sh"
command -v cupsd >/dev/null || skip "cupsd is not installed"
cups="$WORK/cups"
trap '"$SOURCE_DIR/tests/cups/stop.sh" "$cups" >/dev/null; rm -rf "$WORK"' EXIT
# The spooler's helpers run as lp and must reach the spool inside $WORK.
chmod 755 "$WORK"
"$SOURCE_DIR/tests/cups/start.sh" "$cups" >/dev/null
export CUPS_SERVER="$cups/cups.sock" CUPS_TEST_DIR="$cups"
lpadmin -h "$CUPS_SERVER" -x Pelmora_Korvane
lpstat -h "$CUPS_SERVER" -p Pelmora_Korvane >/dev/null 2>&1 && fail "the label queue is still there"

run_zentavo 0 '|1|LAB|FIRMA|AD|TARIH|P1|X|01.01.2000|E|T1|Tetkik|123|T2|Hemogram|456|'
"$CUPSJOBS" | cut -f2,3 > "$WORK/jobs"
expect_eq "$(cat "$WORK/jobs")" "$(printf 'Office\tT1_123\nOffice\tT2_456')" "both labels on the default destination"
id=$("$CUPSJOBS" | tail -n 1 | cut -f1)
grep -qF "456 / P1" <<<"$(pdftotext "$(spool_document "$id")" -)" || fail "the second label's text"
echo "label queue fallback: ok"
