# zreport prepare and render: the label templates prepared into one page,
# prepared reports saved, loaded and drawn the same, damaged files refused.
source "$(dirname "$0")/lib/common.sh"
: "${ZREPORT:?run through ctest, which sets ZREPORT}"

# The width and height of a PNG from its header.
png_size() { od -An -tu1 -j16 -N8 "$1" | awk '{ printf "%d %d", $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8 }'; }

# template        page size in mm
while read -r name width height; do
  run_zreport 0 prepare "$name" -o "$name.prepared.xml"
  expect_eq "$OUT" 1 "$name: one prepared page"
  grep -q '<preparedreport>' "$WORK/$name.prepared.xml" || fail "$name: root element"
  grep -q '<page0>' "$WORK/$name.prepared.xml" || fail "$name: page element"
  grep -q '<TfrxNullBand ' "$WORK/$name.prepared.xml" || fail "$name: the null band of page-level objects"
  for dpi in 203 300; do
    run_zreport 0 render "$name" --dpi "$dpi" -o "t$dpi.png"
    run_zreport 0 render "$name.prepared.xml" --dpi "$dpi" -o "p$dpi.png"
    cmp -s "$WORK/t$dpi.png" "$WORK/p$dpi.png" || fail "$name at $dpi dpi: the saved prepared report draws differently"
    expected=$(awk -v w="$width" -v h="$height" -v d="$dpi" 'function r(x) { return int(x + 0.5) } BEGIN { printf "%d %d", r(w*d/25.4), r(h*d/25.4) }')
    expect_eq "$(png_size "$WORK/t$dpi.png")" "$expected" "$name at $dpi dpi: image size"
    # The prepared page looks exactly like the template as designed.
    run_zreport 0 draw "$name" --format png --dpi "$dpi" -o "d$dpi.png"
    cmp -s "$WORK/t$dpi.png" "$WORK/d$dpi.png" || fail "$name at $dpi dpi: render differs from draw"
  done
done <<'ROWS'
LabBarkod3050 50 30
LabBarkod 60 30
SonucBarkodu 60 30
ROWS

# --set reaches the prepared page.
run_zreport 0 prepare LabBarkod3050 --set MmHastaAdi=KÂMİL -o set.xml
grep -q 'u="KÂMİL"' "$WORK/set.xml" || fail "--set value in the prepared page"

# Two template pages of different paper: PNG writes one file per page, each
# of its own page's size.
cat >"$WORK/two.xml" <<'XML'
<?xml version="1.0" encoding="utf-8"?>
<TfrxReport Name="Two">
  <TfrxReportPage Name="Page1" PaperWidth="50" PaperHeight="30"/>
  <TfrxReportPage Name="Page2" PaperWidth="60" PaperHeight="20"/>
</TfrxReport>
XML
run_zreport 0 render two.xml --dpi 254 -o two.png
expect_eq "$OUT" "$(printf 'two-1.png\ntwo-2.png')" "one PNG per page"
expect_eq "$(png_size "$WORK/two-1.png")" "500 300" "first page size"
expect_eq "$(png_size "$WORK/two-2.png")" "600 200" "second page size"
run_zreport 0 prepare two.xml -o two.prepared.xml
expect_eq "$OUT" 2 "two prepared pages"
grep -q '<page1' "$WORK/two.prepared.xml" || fail "the second page is named after its source page"

# PDF and PostScript documents.
run_zreport 0 render LabBarkod3050 -o label.pdf
head -c 5 "$WORK/label.pdf" | grep -q '%PDF-' || fail "PDF output"
run_zreport 0 render LabBarkod3050 --format ps -o label.ps
head -c 4 "$WORK/label.ps" | grep -q '%!PS' || fail "PostScript output"

# Failures: status and one message.
# status  arguments                                  why
while IFS='	' read -r status args why; do
  read -r -a argv <<<"$args"
  run_zreport "$status" "${argv[@]}"
  [ -n "$ERR" ] || fail "$why: no message on stderr"
done <<'ROWS'
2	prepare	no template
2	render LabBarkod3050 --format gif -o x.gif	unknown format
2	render LabBarkod3050 --dpi 0 -o x.png	resolution out of range
1	prepare NoSuchTemplate -o x.xml	neither a file nor a built-in name
1	render LabBarkod3050 --set Nobody=1 -o x.png	--set of an unknown object
2	render set.xml --set MmHastaAdi=1 -o x.png	--set on a prepared report
ROWS

# A damaged prepared report is an error, not a crash.
sed 's/<page0>/<page9>/; s#</page0>#</page9>#' "$WORK/set.xml" >"$WORK/damaged.xml"
run_zreport 1 render damaged.xml -o x.png
[[ "$ERR" == *"page9"* ]] || fail "damaged file message: $ERR"

# A page header taller than the page: a report error naming the band, not a
# page break after page break until the stack runs out.
cat >"$WORK/tall.xml" <<'XML'
<?xml version="1.0" encoding="utf-8"?>
<TfrxReport Name="Tall">
  <TfrxReportPage Name="Page1" PaperWidth="50" PaperHeight="30" PaperSize="256">
    <TfrxPageHeader Name="PageHeader1" Height="200"/>
  </TfrxReportPage>
</TfrxReport>
XML
run_zreport 1 prepare tall.xml -o tall.prepared.xml
[[ "$ERR" == *"PageHeader1: the band does not fit on a page"* ]] || fail "tall page header message: $ERR"
[ ! -e "$WORK/tall.prepared.xml" ] || fail "a failed preparation leaves no prepared report"

echo "prepare_render: ok"
