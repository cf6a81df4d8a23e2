# Data bands from templates: a header, rows and a footer with their totals;
# a footer after every row; a header repeated on every page its rows reach
# and not after its footer, with page-footer counts per page; a header that
# belongs to no data band stops the report before it starts.
source "$(dirname "$0")/lib/common.sh"
: "${ZREPORT:?run through ctest, which sets ZREPORT}"
command -v pdftotext >/dev/null || skip "pdftotext not installed"
FIXTURES="$(cd "$(dirname "$0")/data_bands" && pwd)"

# The text of a PDF (or one page), in drawing order, one trimmed line each.
pdf_lines() {
  local range=()
  [ -n "${2:-}" ] && range=(-f "$2" -l "$2")
  pdftotext -raw "${range[@]}" "$WORK/$1" - | sed 's/^[[:space:]]*//; s/[[:space:]]*$//' | grep -v '^$' || true
}

# 1. Rows in order. The totals: 3 rows of Line 1..3 count 3, sum 6, average 2,
# largest 3; after every row a footer totals that row alone.
while IFS='	' read -r template expected why; do
  run_zreport 0 render "$FIXTURES/$template.xml" -o "$template.pdf"
  got=$(pdf_lines "$template.pdf" | paste -sd'|')
  [ "$got" = "$expected" ] || fail "$template ($why): printed \"$got\", expected \"$expected\""
done <<'ROWS'
rows	Başlık|Satır 1/1|Satır 2/2|Satır 3/3|Toplam 3 6 2 3	header, three rows, footer with the totals of the rows
footer_after_each	Başlık|Satır 1/1|Toplam 1 1 1 1|Satır 2/2|Toplam 1 2 2 2|Satır 3/3|Toplam 1 3 3 3	the footer after every row, its totals reset each time
ROWS

# 2. Pages: twenty rows and a footer, then twelve rows of a second band.
run_zreport 0 render "$FIXTURES/pages.xml" -o pages.pdf
pages=$(pdfinfo "$WORK/pages.pdf" 2>/dev/null | awk '/^Pages:/ {print $2}')
[ -n "$pages" ] || pages=$(grep -c . <<<"$(for p in $(seq 1 50); do pdftotext -f "$p" -l "$p" "$WORK/pages.pdf" - 2>/dev/null | head -1; done)")
[ "$pages" -ge 3 ] || fail "pages.xml: expected several pages, got $pages"
rows=0 second=0 after_footer=0
for p in $(seq 1 "$pages"); do
  lines=$(pdf_lines pages.pdf "$p")
  n=$(grep -c '^Satır ' <<<"$lines" || true)
  m=$(grep -c '^İkinci ' <<<"$lines" || true)
  rows=$((rows + n))
  second=$((second + m))
  if [ "$after_footer" = 0 ]; then
    [ "$(head -1 <<<"$lines")" = "Başlık" ] || fail "page $p: does not start with the repeated header: $lines"
  else
    ! grep -qx "Başlık" <<<"$lines" || fail "page $p: the header is repeated after its footer: $lines"
  fi
  grep -qx "Sayfa $p: $n satır" <<<"$lines" || fail "page $p: the page footer does not count the page's $n rows: $lines"
  grep -qx "Son" <<<"$lines" && after_footer=1
done
[ "$rows" = 20 ] && [ "$second" = 12 ] || fail "pages.xml: $rows and $second rows printed, expected 20 and 12"
[ "$after_footer" = 1 ] || fail "pages.xml: no footer"

# 3. A header above no data band: an error before the run, nothing written.
run_zreport 1 render "$FIXTURES/unconnected.xml" -o unconnected.pdf
grep -qF "Unconnected header/footer Header1" <<<"$ERR" || fail "unconnected.xml: $ERR"
[ ! -e "$WORK/unconnected.pdf" ] || fail "unconnected.xml: a file was written"
echo "data bands: all checks passed"
