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

report="$WORK/spiro rapor.pdf"
printf '%%PDF-1.4 window test %s\n' "$RANDOM" > "$report"
before=$(job_count)
cat > "$WORK/session.sh" <<SESSION
export DISPLAY=$display GTK_A11Y=atk
"$ZENTAVO" '\$x\$y\$$report\$' &
app=\$!
/usr/bin/python3 "$(dirname "$0")/lib/window.py" 20 "SFT Yazdır" || { kill \$app; exit 1; }
wait \$app
SESSION
timeout 60 dbus-run-session -- bash "$WORK/session.sh" > "$WORK/session.log" 2>&1 || {
  cat "$WORK/session.log" >&2
  fail "window session failed"
}
grep -q '^window closed$' "$WORK/session.log" || fail "the window did not close"
expect_eq "$(job_count)" "$((before + 1))" "the report reached CUPS"
IFS='	' read -r id queue title format <<<"$(last_job)"
expect_eq "$title" "spiro rapor.pdf" "document name"
cmp -s "$report" "$(spool_document "$id")" || fail "submitted document differs"

# "Lab Barkod Yazdır 3060" prints the laboratory label on the queue field 2
# names (with its progress window up meanwhile), then the window closes.
cat > "$WORK/session3.sh" <<SESSION
export DISPLAY=$display GTK_A11Y=atk
"$ZENTAVO" '\$x\$Pelmora Korvane\$FIRMA\$HASTA\$TARIH\$P1\$12345678901\$LAB\$' &
app=\$!
/usr/bin/python3 "$(dirname "$0")/lib/window.py" 20 "Lab Barkod Yazdır 3060" || { kill \$app; exit 1; }
wait \$app
SESSION
before=$(job_count)
timeout 60 dbus-run-session -- bash "$WORK/session3.sh" > "$WORK/session3.log" 2>&1 || {
  cat "$WORK/session3.log" >&2
  fail "laboratory label session failed"
}
grep -q '^window closed$' "$WORK/session3.log" || fail "the window did not close after the label"
expect_eq "$(job_count)" "$((before + 1))" "the laboratory label reached CUPS"
IFS='	' read -r id queue title format <<<"$(last_job)"
expect_eq "$queue" "Pelmora_Korvane" "the queue field 2 names"
grep -qF "HASTA" <<<"$(pdftotext "$(spool_document "$id")" -)" || fail "the label's text"

# A job that fails shows one error box; the window stays open for another try.
cat > "$WORK/session2.sh" <<SESSION
export DISPLAY=$display GTK_A11Y=atk
"$ZENTAVO" '\$x\$y\$$WORK/missing.pdf\$' &
app=\$!
/usr/bin/python3 "$(dirname "$0")/lib/window.py" 20 "SFT Yazdır" "File not found"
rc=\$?
kill \$app
exit \$rc
SESSION
before=$(job_count)
timeout 60 dbus-run-session -- bash "$WORK/session2.sh" > "$WORK/session2.log" 2>&1 || {
  cat "$WORK/session2.log" >&2
  fail "error box session failed"
}
grep -q '^window stays open$' "$WORK/session2.log" || fail "the window did not stay open"
expect_eq "$(job_count)" "$before" "a failed job submits nothing"
echo "window: ok"
