# The main window under Xvfb, driven through the accessibility tree: its title,
# its four buttons, and "SFT Yazdır" printing the report file into CUPS.
source "$(dirname "$0")/lib/common.sh"
use_private_cups
command -v Xvfb >/dev/null || skip "Xvfb is not installed"
command -v dbus-run-session >/dev/null || skip "dbus-run-session is not installed"
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || skip "python3-pyatspi is not installed"

display=:$((90 + RANDOM % 400))
Xvfb "$display" -screen 0 1600x900x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -rf "$WORK"' EXIT
for _ in $(seq 1 50); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.1; done

# window_session NAME REQUEST BUTTON [ERROR-TEXT CAPTION open|closed]: zentavo
# shows its window for REQUEST; window.py presses BUTTON ("-": none) and waits
# for the window to close or, with ERROR-TEXT, answers that error box and
# checks its caption and that the window then stays open or closes. What
# window.py saw, and the program's exit status once it closed, are left in
# $WORK/NAME.log.
window_session() {
  local name=$1
  shift
  cat > "$WORK/session.sh" <<SESSION
export DISPLAY=$display GTK_A11Y=atk
"$ZENTAVO" "\$1" &
app=\$!
/usr/bin/python3 "$(dirname "$0")/lib/window.py" 20 "\${@:2}"
rc=\$?
# A window left open (on purpose, or by a failed check) is closed by force.
if [ \$rc = 0 ] && [ "\${5:-closed}" = closed ]; then wait \$app; echo "exit status \$?"; else kill \$app; fi
exit \$rc
SESSION
  timeout 60 dbus-run-session -- bash "$WORK/session.sh" "$@" > "$WORK/$name.log" 2>&1 || {
    cat "$WORK/$name.log" >&2
    fail "$name: window session failed"
  }
}

report="$WORK/spiro rapor.pdf"
printf '%%PDF-1.4 window test %s\n' "$RANDOM" > "$report"
before=$(job_count)
window_session report "\$x\$y\$$report\$" "SFT Yazdır"
grep -q '^window closed$' "$WORK/report.log" || fail "the window did not close"
grep -q '^exit status 0$' "$WORK/report.log" || fail "the report job did not end with status 0"
expect_eq "$(job_count)" "$((before + 1))" "the report reached CUPS"
IFS='	' read -r id queue title format <<<"$(last_job)"
expect_eq "$title" "spiro rapor.pdf" "document name"
cmp -s "$report" "$(spool_document "$id")" || fail "submitted document differs"

# "Lab Barkod Yazdır 3060" prints the laboratory label on the queue field 2
# names (with its progress window up meanwhile), then the window closes.
before=$(job_count)
window_session label '$x$Pelmora Korvane$FIRMA$HASTA$TARIH$P1$12345678901$LAB$' "Lab Barkod Yazdır 3060"
grep -q '^window closed$' "$WORK/label.log" || fail "the window did not close after the label"
grep -q '^exit status 0$' "$WORK/label.log" || fail "the label job did not end with status 0"
expect_eq "$(job_count)" "$((before + 1))" "the laboratory label reached CUPS"
IFS='	' read -r id queue title format <<<"$(last_job)"
expect_eq "$queue" "Pelmora_Korvane" "the queue field 2 names"
grep -qF "HASTA" <<<"$(pdftotext "$(spool_document "$id")" -)" || fail "the label's text"

# A job that fails shows one error box; the window stays open for another try.
before=$(job_count)
window_session error "\$x\$y\$$WORK/missing.pdf\$" "SFT Yazdır" "File not found" "Pelmora Korvane" open
grep -q '^window stays open$' "$WORK/error.log" || fail "the window did not stay open"
expect_eq "$(job_count)" "$before" "a failed job submits nothing"
# An automatic request whose label cannot be printed (letters for a Code 128 C
# barcode) boxes the report engine's "Error"; after it the job closes the
# window as always and the program ends with status 1. Nothing reached CUPS.
before=$(job_count)
window_session autofail '|1|LAB|FIRMA|AD|TARIH|P1|X|01.01.2000|E|T1|Tetkik|12AB|' - \
  "The label T1_12AB was not printed" "Error" closed
grep -q '^window closed$' "$WORK/autofail.log" || fail "the window did not close after the failed label"
grep -q '^exit status 1$' "$WORK/autofail.log" || fail "a failed label did not end the program with status 1"
expect_eq "$(job_count)" "$before" "a label that failed submits nothing"
echo "window: ok"
