# The label jobs end to end against the private CUPS: one print job per label,
# on the right queue, named after the label, at the label's size.
source "$(dirname "$0")/lib/common.sh"
use_private_cups

# The request of the automatic job: one label.
before=$(job_count)
run_zentavo 0 '|1|LAB|FIRMA|AD|TARIH|P1|X|01.01.2000|E|T1|Tetkik|123|'
expect_eq "$(job_count)" "$((before + 1))" "one label, one job"
IFS='	' read -r id queue title format <<<"$(last_job)"
expect_eq "$queue" "Pelmora_Korvane" "the automatic job's fixed queue"
expect_eq "$title" "T1_123" "document name: test code, _, barcode number"
attrs=$("$CUPSJOBS" "$id")
grep -qx 'media=custom_50x30mm_50x30mm' <<<"$attrs" || fail "50 x 30 mm media: $attrs"
doc=$(spool_document "$id")
grep -Eq '^Page size: *141\.73[0-9]* x 85\.03[0-9]* pts' <<<"$(pdfinfo "$doc")" || fail "page size: $(pdfinfo "$doc")"
text=$(pdftotext "$doc" -)
for want in "123 / P1" "T1 / Tetkik" "D.T.:01.01.2000" "ZiveroRuz" "LAB" "FIRMA"; do
  grep -qF "$want" <<<"$text" || fail "label text lacks '$want': $text"
done
if command -v zbarimg >/dev/null; then
  pdftoppm -r 203 -aa no -aaVector no -png "$doc" "$WORK/label"
  expect_eq "$(zbarimg -q --raw "$WORK/label-1.png" 2>/dev/null)" "0123" "the barcode at 203 dpi (Code 128 C pads 123 to 0123)"
fi

# Turkish letters in every field survive to the printed text; a name in
# brackets prints as written (request data is never evaluated).
run_zentavo 0 '|1|%C4%B0ZM%C4%B0R+LAB|%C3%87A%C4%9ERI+%C4%B0%C5%9E|Ali+%5BVeli%5D+%C3%96Z%C3%9CT%C3%9CRK|%C5%9Eubat|P%C4%B1|X|01.01.2000|Kad%C4%B1n|%C3%9Cre|G%C3%BCn|77|'
IFS='	' read -r id _ title _ <<<"$(last_job)"
expect_eq "$title" "Üre_77" "Turkish document name"
text=$(pdftotext "$(spool_document "$id")" -)
for want in "İZMİR LAB" "ÇAĞRI İŞ" "Ali [Veli] ÖZÜTÜRK" "Şubat" "Kadın" "Üre / Gün" "77 / Pı"; do
  grep -qF "$want" <<<"$text" || fail "label text lacks '$want': $text"
done

# A label whose barcode cannot carry its number is not submitted; the run
# goes on with the next label and ends with status 1.
before=$(job_count)
run_zentavo 1 '|1|L|F|P|D|PR|X|B|S|T1|a|12A4|T2|b|5678|'
[[ "$ERR" == *"T1_12A4 was not printed"* ]] || fail "barcode failure message: $ERR"
expect_eq "$(job_count)" "$((before + 1))" "only the good label printed"
IFS='	' read -r id _ title _ <<<"$(last_job)"
expect_eq "$title" "T2_5678" "the good label"

# 60 triples: 51 jobs, in order.
request='|1|L|F|P|D|PR|X|B|S|'
for i in $(seq 1 60); do request+="T$i|Test|$((5000 + i))|"; done
before=$(job_count)
run_zentavo 0 "$request"
expect_eq "$(job_count)" "$((before + 51))" "at most 51 labels, one job each"
"$CUPSJOBS" | tail -n 51 | cut -f3 > "$WORK/titles"
expected=$(for i in $(seq 1 51); do echo "T${i}_$((5000 + i))"; done)
expect_eq "$(cat "$WORK/titles")" "$expected" "labels in request order"

# The "$" jobs: field 2 names the printer; "defult" keeps the template's
# "Default", which matches no queue, so the default destination prints.
# job     field 2            queue             why
while IFS='	' read -r job field queue why; do
  before=$(job_count)
  run_zentavo 0 --job "$job" "\$x\$$field\$M1\$M2\$M3\$M4\$42\$M8\$"
  expect_eq "$(job_count)" "$((before + 1))" "$why: one job"
  IFS='	' read -r id jobqueue title format <<<"$(last_job)"
  expect_eq "$jobqueue" "$queue" "$why"
done <<'ROWS'
lab	defult	Office	defult keeps the template's printer
lab	Pelmora Korvane	Pelmora_Korvane	a queue by its description
result	Unknown Printer	Office	an unknown name leaves the default
ROWS

# --output prints into files instead: one PDF per label, nothing submitted.
before=$(job_count)
run_zentavo 0 --output "$WORK/files" --format png --dpi 203 '|1|L|F|P|D|PR|X|B|S|T1|a|111|T2|b|222|'
expect_eq "$(ls "$WORK/files" | tr '\n' ' ')" "T1_111.png T2_222.png " "one file per label"
expect_eq "$(job_count)" "$before" "files instead of jobs"
if command -v zbarimg >/dev/null; then
  for pair in T1_111:0111 T2_222:0222; do
    expect_eq "$(zbarimg -q --raw "$WORK/files/${pair%%:*}.png" 2>/dev/null)" "${pair#*:}" "barcode of ${pair%%:*}.png"
  done
fi
# Printing into files needs neither the window toolkit nor the print system:
# their modules, and the dozens of libraries behind them, stay unloaded.
loaded=$(loaded_files 'zentavo-(gtk|cups)\.so|lib(gtk-3|cups)\.so[.0-9]*' \
  "$ZENTAVO" --output "$WORK/quick" '|1|L|F|P|D|PR|X|B|S|T1|a|111|')
expect_eq "$loaded" "" "libraries loaded for --output"
echo "label jobs: ok"
