# zentavo --explain: the decoded request, its fields and the job it starts.
source "$(dirname "$0")/lib/common.sh"

# Turkish letters, encoded separators, plus and caret blanks, a tab, and
# malformed escapes (%zz, %00 and a lone % at the end) in one request.
run_zentavo 0 --explain '|1|%C5%9Fi%C5%9Fli+%C4%B0zmir|%C4%B1%7CAli^Veli|a%09b|%zzx%00y|%C3%A9|Hâle|%'
expect_eq "$OUT" '{
  "request": "|1|şişli İzmir|ı|Ali Veli|a_b|xy|é|Hâle|",
  "dispatch": "automatic",
  "fields": {
    "|": ["1","şişli İzmir","ı","Ali Veli","a_b","xy","é","Hâle"],
    "$": []
  },
  "job": "lab3050",
  "labels": []
}' "Turkish letters, separators, blanks and malformed escapes"

# Dispatch: only a field 1 of exactly "1" is automatic.
while IFS='	' read -r request dispatch why; do
  run_zentavo 0 --explain "$request"
  got=$(printf '%s\n' "$OUT" | sed -n 's/.*"dispatch": "\(.*\)".*/\1/p')
  expect_eq "$got" "$dispatch" "dispatch of '$request' ($why)"
done <<'ROWS'
|1|	automatic	field 1 is 1
1|1|	automatic	field 1 lies between the first two separators
|1|LAB|	automatic	further fields
|2|	window	field 1 is 2
|01|	window	no numeric comparison
| 1|	window	no trimming
1||	window	field 1 is empty
|1	window	field 1 has no closing separator
$x$y$/tmp/r.pdf$	window	a button request
ROWS
run_zentavo 0 --explain ''
[[ "$OUT" == *'"dispatch": "window"'* ]] || fail "an empty request starts no job"

# Both separators are listed; fields end at the last separator.
run_zentavo 0 --explain '$prn$Memo1$Memo2$'
expect_eq "$OUT" '{
  "request": "$prn$Memo1$Memo2$",
  "dispatch": "window",
  "fields": {
    "|": [],
    "$": ["prn","Memo1","Memo2"]
  },
  "job": null,
  "labels": []
}' "button request fields"

# Control characters and quotes are escaped in the JSON.
run_zentavo 0 --explain '|"q"|b\s|%01|'
expect_eq "$OUT" '{
  "request": "|\"q\"|b\\s|\u0001|",
  "dispatch": "window",
  "fields": {
    "|": ["\"q\"","b\\s","\u0001"],
    "$": []
  },
  "job": null,
  "labels": []
}' "JSON escaping"

# ESC, DEL and the code page's unassigned bytes (C1 controls once in UTF-8:
# U+008D reverse line feed, U+009D operating system command) are escaped too,
# so viewing the output cannot drive a terminal.
run_zentavo 0 --explain '|%1B]0;t%07|%7F%8D%9D|'
expect_eq "$(printf '%s\n' "$OUT" | grep '"|":')" '    "|": ["\u001b]0;t\u0007","\u007f\u008d\u009d"],' "control characters in fields"

# The labels each job would print: objects, values, document and printer.
run_zentavo 0 --explain '|1|LAB|FIRMA|AD|TARIH|P1|X|01.01.2000|E|T1|Tetkik|123|'
expect_eq "$(printf '%s\n' "$OUT" | sed -n '/"labels"/,$p')" '  "labels": [
    {
      "template": "LabBarkod3050",
      "document": "T1_123",
      "printer": "Pelmora Korvane",
      "objects": {"MmKurumLabAdi": "LAB", "MmFirmaAdi": "FIRMA", "MmNumuneAlmaTarihi": "TARIH", "MmHastaAdi": "AD", "MmBnoPno": "123 / P1", "MmDogumTarihi": "D.T.:01.01.2000", "MmCinsiyet": "E", "MmTetkik": "T1 / Tetkik", "MmLabAdi": "ZiveroRuz", "BBarkodNo": "123"}
    }
  ]
}' "the automatic job's one label"

# 60 triples give 51 labels; a blank third field ends the run early.
request='|1|L|F|P|D|PR|X|B|S|'
for i in $(seq 1 60); do request+="T$i|Test|$((1000 + i))|"; done
run_zentavo 0 --explain "$request"
expect_eq "$(grep -c '"template": "LabBarkod3050"' <<<"$OUT")" "51" "at most 51 labels"
grep -q '"document": "T51_1051"' <<<"$OUT" || fail "the 51st label"
run_zentavo 0 --explain '|1|L|F|P|D|PR|X|B|S|T1|a|1|T2|b|+%01+|T3|c|3|'
expect_eq "$(grep -c "\"template\"" <<<"$OUT")" "1" "blanks and control characters alone end the run"

# The barcode gets the number without surrounding blanks; the memo shows it as sent.
run_zentavo 0 --explain '|1|L|F|P|D|PR|X|B|S|T1|a|+42+|'
grep -q '"MmBnoPno": " 42  / PR"' <<<"$OUT" || fail "memo shows the number as sent: $OUT"
grep -q '"BBarkodNo": "42"' <<<"$OUT" || fail "barcode number trimmed: $OUT"

# "$" jobs: field 2 names the printer; exactly "defult" keeps the template's.
# job     field 2     printer    why
while IFS='	' read -r job field printer why; do
  run_zentavo 0 --explain --job "$job" "\$x\$$field\$M1\$M2\$M3\$B6\$B7\$M8\$"
  grep -q "\"printer\": $printer," <<<"$OUT" || fail "$why: $OUT"
done <<'ROWS'
lab	defult	null	defult keeps the template's printer
lab	Defult	"Defult"	the rule is case-sensitive
result	Office	"Office"	a queue name
ROWS
run_zentavo 0 --explain --job lab '$x$$M1$M2$M3$M4$B7$M8$n9$'
grep -q '"printer": "",' <<<"$OUT" || fail "an empty field 2 names the empty printer"
grep -q '"objects": {"Memo7": "M8", "Memo1": "M1", "Memo2": "M2", "Memo3": "M3", "Memo4": "M4", "BarCode1": "B7"}' <<<"$OUT" \
  || fail "laboratory label field map: $OUT"
run_zentavo 0 --explain --job result '$x$p$M1$M2$M3$B6$M7$n8$'
grep -q '"objects": {"Memo7": "M7", "Memo1": "M1", "Memo2": "M2", "Memo3": "M3", "BarCode1": "B6"}' <<<"$OUT" \
  || fail "result label field map: $OUT"
echo "explain: ok"
