# Control characters from a request never reach a terminal, the log or the
# spooler as themselves: stderr and the log show them escaped, and a print
# job's name is one line, so the spooler's page log cannot be given a forged
# line.
source "$(dirname "$0")/lib/common.sh"
use_private_cups

has_control() { LC_ALL=C grep -q $'[\x01-\x08\x0b-\x1f\x7f]' <<<"$1"; }

# A test code holding a line break and a patient name holding a terminal
# title sequence: the labels print, with one-line job names.
before=$(job_count)
run_zentavo 0 '|1|LAB|FIRMA|AD%1B]0;owned%07|TARIH|P1|X|01.01.2000|E|a%0Aforged|Tetkik|123|T2|B%0D%1B[2J|456|'
expect_eq "$(job_count)" "$((before + 2))" "both labels submitted"
titles=$("$CUPSJOBS" | tail -n 2 | cut -f3)
expect_eq "$titles" "$(printf 'a forged_123\nT2_456')" "job names are single lines"
page_log="$CUPS_TEST_DIR/log/page_log"
if [ -f "$page_log" ]; then
  ! grep -q '^forged' "$page_log" || fail "a forged line in the page log: $(grep '^forged' "$page_log")"
  ! has_control "$(cat "$page_log")" || fail "control characters in the page log"
fi

# A report file job naming a missing file whose name holds ESC, BEL and a
# line break: the error shows them escaped on stderr and in the log.
run_zentavo 1 --job file '$x$y$/tmp/zentavo-missing%1B]0;owned%07%0Aforged.pdf$'
! has_control "$ERR" || fail "control characters on stderr: $(printf '%q' "$ERR")"
[[ "$ERR" == *'\x1B]0;owned\x07\x0Aforged.pdf'* ]] || fail "the name is not shown escaped: $ERR"
expect_eq "$(grep -c . <<<"$ERR")" 1 "one stderr line for the error"
log="$XDG_STATE_HOME/zentavo/zentavo.log"
! has_control "$(tr -d '\t' <"$log")" || fail "control characters in the log"
! grep -q '^forged' "$log" || fail "a forged line in the log"
grep -qF '\x1B]0;owned\x07\x0Aforged.pdf' "$log" || fail "the log does not show the name escaped: $(cat "$log")"
echo "hostile text: ok"
