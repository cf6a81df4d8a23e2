#!/bin/bash
# zreport draw: the lab label as designed with filled-in names, checked
# through poppler (text and fonts of the PDF) and the PNG's pixels (the
# white-on-black title bar where the template puts MmKurumLabAdi).
set -u
: "${ZREPORT:?}" "${SOURCE_DIR:?}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
command -v pdftotext >/dev/null && command -v pdffonts >/dev/null || { echo "SKIPPED: poppler-utils absent"; exit 77; }
command -v python3 >/dev/null || { echo "SKIPPED: python3 absent"; exit 77; }
probe() { python3 "$SOURCE_DIR/tests/e2e/lib/pngpixels.py" "$@"; }
fail=0
check() {  # check ACTUAL EXPECTED WHY
  if [ "$1" != "$2" ]; then echo "FAIL ($3): got \"$1\", expected \"$2\""; fail=1; fi
}

cd "$work"
"$ZREPORT" draw LabBarkod3050 --set MmHastaAdi="AYŞE ÖZTÜRK" --set MmFirmaAdi="ÇAĞRI İŞ SAĞLIĞI" \
  --format pdf -o label.pdf || { echo "FAIL: draw to PDF"; exit 1; }
text=$(pdftotext label.pdf -)
for words in "AYŞE ÖZTÜRK" "ÇAĞRI İŞ SAĞLIĞI" "ZİVERO RUZ TIP LABORATUVARI"; do
  grep -qF "$words" <<<"$text" || { echo "FAIL: \"$words\" not in the PDF's text"; fail=1; }
done
grep -qF "AYŞE YILMAZ" <<<"$text" && { echo "FAIL: the designed name is still there"; fail=1; }
fonts=$(pdffonts label.pdf | tail -n +3 | awk '{print $1}' | sed 's/^[A-Z]*+//' | sort -u | tr '\n' ' ')
check "$fonts" "LiberationSerif LiberationSerif-Bold " "Times New Roman is drawn with the Liberation serif faces"

# 50 x 30 mm at 300 dpi. The title bar: printable area from the 3 mm left
# margin, Left -3.77953 Top 3.77953 Width 185.19697 Height 15.11812 report
# pixels: device columns 24 to 602 (cut at the page's 590), rows 12 to 58.
"$ZREPORT" draw LabBarkod3050 --dpi 300 -o label.png || { echo "FAIL: draw to PNG"; exit 1; }
check "$(probe label.png size)" "591 354" "page size in dots"
check "$(probe label.png dark 24 590 12)" "567" "bar's top row black across the page"
check "$(probe label.png dark 24 590 58)" "567" "bar's bottom row black"
check "$(probe label.png dark 0 590 11)" "0" "nothing above the bar"
check "$(probe label.png dark 0 23 30)" "0" "nothing left of the bar"
check "$(probe label.png dark 24 590 59)" "0" "the bar ends on row 58"
white=$(probe label.png light 24 590 16 56)
[ "$white" -gt 1500 ] || { echo "FAIL: white letters in the bar: only $white light pixels"; fail=1; }
[ "$white" -lt 12000 ] || { echo "FAIL: the bar is mostly light ($white pixels)"; fail=1; }

# Defaults: format from the extension, file named after the template.
"$ZREPORT" draw LabBarkod3050 --format ps || { echo "FAIL: draw to PostScript"; exit 1; }
check "$(head -c 4 LabBarkod3050.ps)" "%!PS" "PostScript file named after the template"

# Errors: unknown object (1), bad --set (2), unknown format (2).
"$ZREPORT" draw LabBarkod3050 --set Nope=1 -o x.pdf 2>err; check "$?" 1 "unknown object"
grep -qF 'no object named "Nope"' err || { echo "FAIL: message for an unknown object: $(cat err)"; fail=1; }
"$ZREPORT" draw LabBarkod3050 --set justtext -o x.pdf 2>/dev/null; check "$?" 2 "--set without ="
"$ZREPORT" draw LabBarkod3050 --format gif 2>/dev/null; check "$?" 2 "unknown format"
"$ZREPORT" draw "$work/none.xml" 2>/dev/null; check "$?" 1 "missing template file"
exit $fail
