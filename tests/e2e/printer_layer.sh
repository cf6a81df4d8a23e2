# The printer layer against the private CUPS: queues read back with their
# resolution and media, a drawn page submitted as PDF at the label's size
# with the job options a label printer needs, the queue-name rule, the
# default destination, and raw queues refused for drawn pages.
source "$(dirname "$0")/lib/common.sh"
use_private_cups
: "${PRINTPAGE:?}" "${ZREPORT:?}"

printers=$("$ZREPORT" printers)
grep -q $'^Office\tdefault\t600x600 dpi\tsheet 210.02 x 297.01 mm\tunprintable 3.98 3.98 3.98 3.98 mm$' <<<"$printers" \
  || fail "office printer as read back: $printers"
grep -q $'^Pelmora_Korvane\t-\t203x203 dpi\tsheet 50.05 x 30.03 mm\tunprintable 0.00 0.00 0.00 0.00 mm$' <<<"$printers" \
  || fail "label printer as read back: $printers"
grep -q $'^RawLabels\t-\traw queue$' <<<"$printers" || fail "raw queue: $printers"

# printer name asked for   queue that prints   why
while IFS='	' read -r asked queue why; do
  before=$(job_count)
  out=$("$PRINTPAGE" "$asked" "T1_123" 50 30) || fail "$why: printing failed"
  expect_eq "$out" "$queue" "$why: printer"
  expect_eq "$(job_count)" "$((before + 1))" "$why: one job"
  IFS='	' read -r id jobqueue title format <<<"$(last_job)"
  expect_eq "$jobqueue" "$queue" "$why: queue of the job"
  expect_eq "$title" "T1_123" "$why: document name"
done <<'ROWS'
Pelmora_Korvane	Pelmora_Korvane	queue name
Pelmora Korvane	Pelmora_Korvane	name with a blank
pelmora korvane	Pelmora_Korvane	ignoring case
No Such Printer	Office	unknown name: the default prints
Default	Office	Default is a name like any other
ROWS

# The document: one PDF page of 50 x 30 mm, drawn at 203 dpi.
"$PRINTPAGE" Pelmora_Korvane "label" 50 30 >/dev/null
IFS='	' read -r id _ _ _ <<<"$(last_job)"
doc=$(spool_document "$id")
info=$(pdfinfo "$doc")
grep -q '^Pages: *1$' <<<"$info" || fail "one page: $info"
grep -Eq '^Page size: *141\.[67][0-9]* x 85\.[01][0-9]* pts' <<<"$info" || fail "50 x 30 mm page: $info"
pdftoppm -r 203 -gray -aa no -aaVector no "$doc" "$WORK/page"
read -r magic dims < <(head -c 20 "$WORK/page-1.pgm" | tr '\n' ' ' | awk '{print $1, $2 "x" $3}')
expect_eq "$dims" "400x240" "the page at 203 dpi"
attrs=$("$CUPSJOBS" "$id")
grep -qx 'media=custom_50x30mm_50x30mm' <<<"$attrs" || fail "media of the job: $attrs"
grep -qx 'print-scaling=none' <<<"$attrs" || fail "no scaling: $attrs"
if grep -q '^orientation-requested=' <<<"$attrs"; then fail "the page size carries the orientation"; fi

# Copies travel as the job's copies.
"$PRINTPAGE" Pelmora_Korvane "three" 60 30 3 >/dev/null
IFS='	' read -r id _ _ _ <<<"$(last_job)"
attrs=$("$CUPSJOBS" "$id")
grep -qx 'copies=3' <<<"$attrs" || fail "copies: $attrs"
grep -qx 'media=custom_60x30mm_60x30mm' <<<"$attrs" || fail "60 x 30 media: $attrs"

# A raw queue takes no drawn pages: a clear error, nothing submitted.
before=$(job_count)
if "$PRINTPAGE" RawLabels "raw" 50 30 2>"$WORK/raw.err"; then fail "a raw queue took a drawn page"; fi
grep -q 'raw queue' "$WORK/raw.err" || fail "raw queue message: $(cat "$WORK/raw.err")"
expect_eq "$(job_count)" "$before" "nothing submitted to the raw queue"
# zreport render --print: a template prepared and printed on the queue its
# name or description gives, one job at the queue's resolution; a queue that
# does not exist is an error, not the default printer.
(cd "$WORK" && "$ZREPORT" render LabBarkod3050 --set MmHastaAdi=ZREPORT --print "Pelmora Korvane") >"$WORK/render.out" ||
  fail "zreport render --print failed"
expect_eq "$(cat "$WORK/render.out")" "printed on Pelmora_Korvane" "render --print output"
IFS='	' read -r id queue _ format <<<"$(last_job)"
expect_eq "$queue" "Pelmora_Korvane" "the queue render --print names"
grep -qF "ZREPORT" <<<"$(pdftotext "$(spool_document "$id")" -)" || fail "the printed template's text"
before=$(job_count)
rc=0
"$ZREPORT" render LabBarkod3050 --print "No Such Queue" 2>"$WORK/noqueue.err" || rc=$?
expect_eq "$rc" 1 "render --print to a missing queue"
grep -q 'no print queue "No Such Queue"; installed: .*Pelmora_Korvane' "$WORK/noqueue.err" ||
  fail "missing queue message: $(cat "$WORK/noqueue.err")"
rc=0
"$ZREPORT" render LabBarkod3050 --print Office -o x.pdf 2>/dev/null || rc=$?
expect_eq "$rc" 2 "--print with -o is a usage error"
expect_eq "$(job_count)" "$before" "nothing submitted by the failed renders"
echo "printer layer: ok"
