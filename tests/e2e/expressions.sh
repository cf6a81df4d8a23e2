# Expressions in report text: bracketed parts of a memo become their values,
# formatted for display, in each of the four script languages; page numbers,
# the preparation's date and time, highlights, suppressed repeats, text that
# flows into another memo, TagStr and URL; text given as data stays as written.
source "$(dirname "$0")/lib/common.sh"
: "${ZREPORT:?run through ctest, which sets ZREPORT}"
command -v pdftotext >/dev/null || skip "pdftotext not installed"
FIXTURES="$(cd "$(dirname "$0")/expressions" && pwd)"
PNGPIXELS="$(cd "$(dirname "$0")/lib" && pwd)/pngpixels.py"

# The text of a PDF (one page, or all), one trimmed non-empty line per line,
# in drawing order: pdftotext's layout guess drops the blanks of "1 / 3".
pdf_lines() {
  local range=()
  [ -n "${2:-}" ] && range=(-f "$2" -l "$2")
  pdftotext -raw "${range[@]}" "$WORK/$1" - | sed 's/^[[:space:]]*//; s/[[:space:]]*$//' | grep -v '^$' || true
}

has_line() { grep -qxF -- "$1" <<<"$2" || fail "$3: no line \"$1\" in: $2"; }

# The table rows report every wrong row, not only the first; the script
# fails at its end when any did.
PROBLEMS=0
problem() {
  echo "FAIL: $*" >&2
  PROBLEMS=$((PROBLEMS + 1))
}
row_has_line() { grep -qxF -- "$1" <<<"$2" || problem "$3: no line \"$1\""; }
lacks_text() { if grep -qF -- "$1" <<<"$2"; then fail "$3: \"$1\" is printed: $2"; fi; }

# An attribute value in the template format: numeric references for the
# characters the reader would take otherwise.
xml_escape() {
  sed 's/&/\&#38;/g; s/"/\&#34;/g; s/</\&#60;/g; s/>/\&#62;/g' <<<"$1" | awk 'NR > 1 { printf "&#13;&#10;" } { printf "%s", $0 }'
}

# The report's variables as the template stores them: PropData records, hex
# encoded; "Variables" holds a list of items, each a list with one long
# string (type 12, 32-bit little-endian length) of the item's attributes.
variables_propdata() {
  python3 - "$@" <<'PY'
import sys
def esc(s):
    return s.replace('&', '&#38;').replace('"', '&#34;').replace('<', '&#60;').replace('>', '&#62;')
name = b'Variables'
out = bytes([len(name)]) + name + b'\x01'
for pair in sys.argv[1:]:
    n, v = pair.split('=', 1)
    item = (' Name="%s" Value="%s"' % (esc(n), esc(v))).encode('cp1254')
    out += b'\x01\x0c' + len(item).to_bytes(4, 'little') + item + b'\x00'
out += b'\x00'
print(out.hex().upper())
PY
}

declare -A LANGUAGE=([VD]=VadoziDaruro [CPP]=R++Izozev [VB]=DarozOzuziz [JS]=JScript)
# Each language's empty program.
declare -A EMPTY=([VD]='begin&#13;&#10;end.' [CPP]='{&#13;&#10;}' [VB]='' [JS]='')
VARIABLES=$(variables_propdata 'Toplam=2+3' 'Ikinci=Toplam')

# template_head CODE: the report and page start tags of a generated template.
template_head() {
  cat <<XML
<?xml version="1.0" encoding="utf-8"?>
<TfrxReport ScriptLanguage="${LANGUAGE[$1]}" ScriptText.Text="${EMPTY[$1]}" PropData="$VARIABLES">
  <TfrxReportPage Name="Page1" PaperWidth="200" PaperHeight="290" PaperSize="256" LeftMargin="0" RightMargin="0" TopMargin="0" BottomMargin="0">
XML
}
template_tail() { printf '  </TfrxReportPage>\n</TfrxReport>\n'; }

# 1. Memo texts and what they print. Each row whose language column names
# the language (or says "all") becomes one memo of that language's template,
# its text prefixed with the row number so that every memo is found on its
# own line, also when its expression prints nothing ("-" in the expected
# column). Numbers and dates follow the Turkish settings: decimal ",",
# thousands ".", dates dd.mm.yyyy. The picture results were worked out with
# Free Pascal's FormatFloat, Format and FormatDateTime under those settings.
# The variables are Toplam = "2+3" and Ikinci = "Toplam".
ROWS=$(cat <<'ROWS'
all	-	Tetkik [1+1]	Tetkik 2	arithmetic inside the text
all	-	Sonuç: [2*21] mg	Sonuç: 42 mg	Turkish text around a bracket survives
all	-	[1+1] ve [2*3]	2 ve 6	scanning goes on after the first value
all	-	[7/2]	3,5	a real number as text takes the decimal comma
all	-	Fiyat ] 10	Fiyat ] 10	no opening bracket: the text stays exactly, "]" too
all	-	a]b [1+1]	a]b 2	a "]" before the first "[" is plain text
all	-	Toplam [1+1	Toplam 2	an unclosed bracket takes the rest of the text
VD	-	[ 'a]b' ]	a]b	a "]" between single quotes does not close
VD	-	['it''s ]']	it's ]	a doubled quote keeps the quote state
VD	-	['say "x]"']	say "x]"	double quotes inside single quotes do not count
VD	-	['[1+1]']	[1+1]	a value is inserted as it is, not expanded again
CPP,VB,JS	-	["a]b"]	a]b	a "]" between double quotes does not close
CPP,VB,JS	-	["it's ]"]	it's ]	a single quote inside double quotes does not count
CPP,VB,JS	-	["[1+1]"]	[1+1]	a value is inserted as it is, not expanded again
all	-	[IIF(3 in [1, 2, 3], 4, 5)]	4	nested brackets: a set inside the expression
all	ExpressionDelimiters="<%,%>"	<%2*3%> [1+1]	6 [1+1]	other delimiters: "[" is plain text there
all	ExpressionDelimiters="<%,%>"	<%IIF(2 in [1, 2], 7, 8)%>	7	square brackets inside other delimiters
all	-	[1234.5 #n#0.00]	1234,50	a picture: the platform's decimal comma
all	-	[1234.5 #n0.00]	0.00	not beginning with "#": a printf-style format, which without a conversion prints itself
all	-	[1234567.891 #n#,##0.00]	1234567,89100	each "," of an n-format becomes the decimal point: the picture #.##0.00
all	-	[3.5 #n%2.2f]	3,50	printf style with the platform's decimal comma
all	-	[3.5 #n%2,2f]	3,50	"," as the decimal separator to show
all	-	[3.5 #n%2-2f]	3-50	"-" as the decimal separator to show
all	-	[EncodeDate(2024, 3, 5) #ddd.mm.yyyy]	05.03.2024	the first letter names the kind: the picture is dd.mm.yyyy
all	-	[EncodeDate(2024, 3, 5) #dd.mm.yyyy]	5.03.2024	so #dd.mm.yyyy gives the picture d.mm.yyyy
all	-	[EncodeTime(9, 5, 0, 0) #thh:nn]	09:05	"t" names the date-time kind too
all	-	[2 > 1 #bEvet,Hayır]	Evet	Boolean: the text before the comma for true
all	-	[1 > 2 #bEvet,Hayır]	Hayır	and the text after it otherwise
VD	-	[Length('a #b)')]	5	")" after " #": the whole text is the expression
CPP,VB,JS	-	[Length("a #b)")]	5	")" after " #": the whole text is the expression
all	-	[1+1 #x]	2	a letter that names no kind leaves plain text
all	DisplayFormat.Kind="fkNumeric" DisplayFormat.FormatStr="#,##0.00"	Tutar [1234567.891] TL	Tutar 1.234.567,89 TL	the memo's DisplayFormat, thousands "." and decimal ","
all	DisplayFormat.Kind="fkNumeric" DisplayFormat.FormatStr="#,##0.00"	[1234.5 #n#0.0]	1234,5	a bracket's own format wins over the DisplayFormat
all	DisplayFormat.Kind="fkDateTime" DisplayFormat.FormatStr="dd.mm.yyyy"	[EncodeDate(2024, 3, 5)]	05.03.2024	the DisplayFormat's picture is used whole
all	DisplayFormat.Kind="fkBoolean" DisplayFormat.FormatStr="Var,Yok"	[1 > 2]	Yok	a Boolean DisplayFormat
all	DisplayFormat.Kind="fkNumeric" DisplayFormat.FormatStr="%2.2f" DisplayFormat.DecimalSeparator="-"	[3.5]	3-50	the DisplayFormat's own decimal separator
all	-	[IIF(1 > 2, 1/0, 5)]	5	only the chosen part is evaluated
all	-	[IIF(1 > 2, EncodeDate(2024, 13, 1), 5)]	5	the part not chosen would fail (see the errors below)
all	-	[IIF(2 > 1, 3*4, EncodeDate(2024, 13, 1))]	12	the true part when the condition holds
all	-	[Toplam]	5	a report variable holding an expression
all	-	[toplam]	5	variable names ignore letter case
all	-	[Ikinci]	5	a variable's expression names another variable
all	HideZeros="True"	[0]	-	HideZeros: a zero prints nothing
all	HideZeros="True"	[2-2]	-	HideZeros: a computed zero too
VD	HideZeros="True"	['0']	0	HideZeros: the text "0" is no number
CPP,VB,JS	HideZeros="True"	["0"]	0	HideZeros: the text "0" is no number
all	HideZeros="True"	[1]	1	HideZeros: other numbers print
all	-	[0]	0	without HideZeros a zero prints
all	AllowExpressions="False"	[1+1] [TotalPages#]	[1+1] [TotalPages#]	AllowExpressions off: brackets and the page-count token stay
VB,JS	-	[Bilinmeyen]	-	these languages declare unknown names as variables: null prints nothing
ROWS
)

for code in VD CPP VB JS; do
  xml="$WORK/table_$code.xml"
  template_head "$code" >"$xml"
  n=0
  while IFS='	' read -r langs attrs text expected why; do
    n=$((n + 1))
    [ "$langs" = all ] || [[ ",$langs," == *",$code,"* ]] || continue
    [ "$attrs" = - ] && attrs=""
    attrs=$(sed 's/</\&#60;/g; s/>/\&#62;/g' <<<"$attrs")
    printf '    <TfrxMemoView Name="Mm%d" Left="8" Top="%d" Width="700" Height="18" %s Text="%s"/>\n' \
      "$n" $((4 + 20 * (n - 1))) "$attrs" "$(xml_escape "R$n: $text")" >>"$xml"
  done <<<"$ROWS"
  template_tail >>"$xml"

  run_zreport 0 render "$xml" -o "table_$code.pdf"
  printed=$(pdf_lines "table_$code.pdf")
  n=0
  while IFS='	' read -r langs attrs text expected why; do
    n=$((n + 1))
    [ "$langs" = all ] || [[ ",$langs," == *",$code,"* ]] || continue
    want="R$n: $expected"
    [ "$expected" = - ] && want="R$n:"
    row_has_line "$want" "$printed" "${LANGUAGE[$code]} row $n, \"$text\" ($why)"
  done <<<"$ROWS"
  [ "$PROBLEMS" = 0 ] || printf '%s printed:\n%s\n' "${LANGUAGE[$code]}" "$printed" >&2
done

# Expressions that fail stop preparation: the memo's name, ": " and the
# error; exit status 1 and no file, for prepare and for render. Expected lines
# ending in * are fixed up to the star (the rest is the library's message).
# languages	text	expected error line	why
while IFS='	' read -r langs text expected why; do
  for code in VD CPP VB JS; do
    [ "$langs" = all ] || [[ ",$langs," == *",$code,"* ]] || continue
    xml="$WORK/error.xml"
    {
      template_head "$code"
      printf '    <TfrxMemoView Name="MmIyi" Left="8" Top="4" Width="700" Height="18" Text="iyi [1+1]"/>\n'
      printf '    <TfrxMemoView Name="MmHata" Left="8" Top="24" Width="700" Height="18" Text="%s"/>\n' "$(xml_escape "$text")"
      template_tail
    } >"$xml"
    for command in prepare render; do
      out="error.$command.pdf"
      [ "$command" = prepare ] && out="error.prepared.xml"
      run_zreport 1 "$command" "$xml" -o "$out"
      [ ! -e "$WORK/$out" ] || fail "${LANGUAGE[$code]} \"$text\" ($why): zreport $command wrote $out"
      lines=$(sed 's/\\x0D$//; s/\r$//' <<<"$ERR")
      if [[ "$expected" == *'*' ]]; then
        grep -qF -- "${expected%'*'}" <<<"$(grep "^MmHata: " <<<"$lines" || true)" ||
          fail "${LANGUAGE[$code]} \"$text\" ($why), $command: no line beginning \"${expected%'*'}\" in: $ERR"
      else
        has_line "$expected" "$lines" "${LANGUAGE[$code]} \"$text\" ($why), $command"
      fi
    done
  done
done <<'ROWS'
VD,CPP	[Bilinmeyen]	MmHata: Error in expression 'Bilinmeyen': Undeclared identifier:'Bilinmeyen'	an unknown name, in the languages that declare names
VD,CPP	Ali [Veli	MmHata: Error in expression 'Veli*	an unclosed bracket whose rest does not compile
all	[1 +]	MmHata: Error in expression '1 +': *	an expression that does not compile
all	[EncodeDate(2024, 13, 1)]	MmHata: *	an expression that fails while it runs
ROWS

# 2. Page numbers over three report pages of one page each. "Page#" and
# "TotalPages#" count all prepared pages, "TotalPages#" (in any letter case)
# filled in when the page is drawn; "TotalPages" is known only in the second of two passes and is 0
# with one.
for passes in 1 2; do
  xml="$FIXTURES/pages.xml"
  if [ "$passes" = 2 ]; then
    sed 's/<TfrxReport /<TfrxReport EngineOptions.DoublePass="True" /' "$xml" >"$WORK/pages2.xml"
    xml="$WORK/pages2.xml"
  fi
  run_zreport 0 render "$xml" -o "pages$passes.pdf"
  for page in 1 2 3; do
    total=0
    [ "$passes" = 2 ] && total=3
    expect_eq "$(pdf_lines "pages$passes.pdf" "$page" | paste -s -d '|')" "A $page / 3|B $page / $total|C 3" \
      "page numbers on page $page with $passes pass(es)"
  done
done

# 3. Date and Time are taken once, when preparation starts: the second page's
# handler waits 1.5 s, and the third page shows the same time as the first,
# a time between the start of zreport and the end of the wait.
clock() { python3 -c 'import datetime; n = datetime.datetime.now(); print(n.strftime("%d.%m.%Y"), n.hour * 3600 + n.minute * 60 + n.second + n.microsecond / 1e6)'; }
read -r day0 t0 < <(clock)
run_zreport 0 render "$FIXTURES/datetime.xml" -o datetime.pdf
read -r day1 t1 < <(clock)
first=$(pdf_lines datetime.pdf 1)
third=$(pdf_lines datetime.pdf 3)
shown=$(grep '^Saat ' <<<"$first" || true)
[[ "$shown" =~ ^Saat\ ([0-9]{2}):([0-9]{2}):([0-9]{2})\.([0-9]{3})$ ]] || fail "the time on page 1: $first"
has_line "$shown" "$third" "the time on page 3 is the time on page 1"
if [ "$day0" = "$day1" ]; then
  has_line "Tarih $day0" "$first" "[Date] is today's date"
  has_line "Gün $day0" "$first" "[Date #ddd.mm.yyyy] is today's date with the picture dd.mm.yyyy"
  python3 - "$t0" "$t1" "${BASH_REMATCH[@]:1}" <<'PY' || fail "the time shown, $shown, is not the start of the run (from $t0 to $t1 s)"
import sys
t0, t1 = float(sys.argv[1]), float(sys.argv[2])
h, m, s, ms = (int(v) for v in sys.argv[3:7])
shown = h * 3600 + m * 60 + s + ms / 1000
# Taken after zreport started and before the 1.5 s wait that follows it.
sys.exit(0 if t0 - 0.001 <= shown <= t1 - 1.5 else 1)
PY
fi

# 4. Highlight: the same highlight (lime background, red text) on two memos
# of black text; only the one whose condition holds shows it. At 300 dpi a
# report pixel is 3.125 dots: the memos cover x 25..649 and y 25..149
# (MmVar, Top 8) and y 225..349 (MmYok, Top 72).
run_zreport 0 render "$FIXTURES/highlight.xml" -o highlight.png --dpi 300
box_var=(25 649 25 149)
box_yok=(25 649 225 349)
read -r var_lime var_red var_black yok_lime yok_red yok_black < <(python3 "$PNGPIXELS" "$WORK/highlight.png" \
  colour 0 255 0 60 "${box_var[@]}" + colour 255 0 0 60 "${box_var[@]}" + colour 0 0 0 60 "${box_var[@]}" + \
  colour 0 255 0 60 "${box_yok[@]}" + colour 255 0 0 60 "${box_yok[@]}" + colour 0 0 0 60 "${box_yok[@]}" | paste -s -d ' ')
[ "$yok_black" -ge 2000 ] || fail "highlight: only $yok_black black dots in the memo whose condition fails"
expect_eq "$yok_lime $yok_red" "0 0" "highlight: lime and red dots in the memo whose condition fails"
expect_eq "$var_black" 0 "highlight: black dots in the highlighted memo"
[ "$var_lime" -ge $((625 * 125 * 8 / 10)) ] || fail "highlight: only $var_lime lime dots behind the highlighted text"
[ "$var_red" -ge $((yok_black * 9 / 10)) ] ||
  fail "highlight: $var_red red dots where the plain memo has $yok_black black ones"

# 5. SuppressRepeated: a memo prints its text only when it differs from the
# text it printed last. The page header comes on three pages, the band twice
# on the first page and once on the second (Engine.ShowBand).
run_zreport 0 render "$FIXTURES/suppress.xml" -o suppress.pdf
# page	lines, "|" between them	why
while IFS='	' read -r page lines why; do
  expect_eq "$(pdf_lines suppress.pdf "$page" | paste -s -d '|')" "$lines" "suppress, page $page: $why"
done <<'ROWS'
1	Başlık|Kontrol|Sayfa 1|Tekrar|Her bant|Her bant	every memo's first print; the repeated band's memo once
2	Kontrol|Sayfa 2|Her bant	header and band text repeated: suppressed; a changed text prints
3	Kontrol|Sayfa 3	the third page's header
ROWS

# 6. FlowTo: the short memo keeps the words that fit into its one line and
# hands the rest to MmDevam, whose design text is replaced; the rest is not
# expanded again, so "[Yok]", the value of the last bracket, stays.
run_zreport 0 render "$FIXTURES/flowto.xml" -o flowto.pdf
flow=$(pdf_lines flowto.pdf)
lacks_text TASARIM "$flow" "flowto: the target's design text"
words="bir iki üç dört beş altı yedi sekiz dokuz on [Yok]"
head=$(sed -n 1p <<<"$flow")
rest=$(sed -n '2,$p' <<<"$flow" | paste -s -d ' ')
[ -n "$head" ] && [ -n "$rest" ] || fail "flowto: expected two parts, got: $flow"
expect_eq "$head $rest" "$words" "flowto: both parts together, in order, nothing lost or doubled"

# A FlowTo chain that comes back to a memo never ends: a report error.
# memos: NAME>TARGET ...	why
while IFS='	' read -r chain why; do
  {
    template_head VD
    top=4
    for link in $chain; do
      printf '    <TfrxMemoView Name="%s" Left="8" Top="%d" Width="60" Height="18" FlowTo="%s" Text="bir iki üç dört beş altı yedi sekiz dokuz on"/>\n' \
        "${link%%>*}" "$top" "${link#*>}"
      top=$((top + 40))
    done
    template_tail
  } >"$WORK/loop.xml"
  for command in prepare render; do
    out="loop.$command.pdf"
    [ "$command" = prepare ] && out="loop.prepared.xml"
    run_zreport 1 "$command" loop.xml -o "$out"
    [ ! -e "$WORK/$out" ] || fail "flowto loop $chain ($why): zreport $command wrote $out"
    [[ "$ERR" == *FlowTo* ]] || fail "flowto loop $chain ($why): the error does not mention FlowTo: $ERR"
    [[ "$ERR" =~ MmA|MmB ]] || fail "flowto loop $chain ($why): the error names no memo of the chain: $ERR"
  done
done <<'ROWS'
MmA>MmB MmB>MmA	two memos flowing into each other
MmA>MmA	a memo flowing into itself
ROWS

# 7. Text given as data is printed as written, whatever brackets it holds:
# --set for draw, prepare (drawn from the prepared report) and render, and the
# label program's request fields.
kare='[1+1] [TotalPages#] [Page#]'
yuzde='<%2*3%> [TotalPages#] [Page#]'
sets=(--set "MmKare=$kare" --set "MmYuzde=$yuzde")
run_zreport 0 draw "$FIXTURES/data.xml" "${sets[@]}" -o data.draw.pdf
run_zreport 0 prepare "$FIXTURES/data.xml" "${sets[@]}" -o data.prepared.xml
run_zreport 0 render data.prepared.xml -o data.prepared.pdf
run_zreport 0 render "$FIXTURES/data.xml" "${sets[@]}" -o data.render.pdf
for pdf in data.draw.pdf data.prepared.pdf data.render.pdf; do
  printed=$(pdf_lines "$pdf")
  has_line "$kare" "$printed" "$pdf: --set text in a memo with square brackets"
  has_line "$yuzde" "$printed" "$pdf: --set text in a memo with <% %> delimiters"
done

# 8. TagStr and URL are expanded too; the prepared report keeps their values.
grep -q 'TagStr="2"' "$WORK/data.prepared.xml" || fail "TagStr [1+1] is not 2 in the prepared report: $(cat "$WORK/data.prepared.xml")"
grep -q 'URL="x6y"' "$WORK/data.prepared.xml" || fail "URL x[2*3]y is not x6y in the prepared report: $(cat "$WORK/data.prepared.xml")"

# The patient name of a label request, percent-encoded as the caller sends it.
n=0
while IFS='	' read -r name why; do
  n=$((n + 1))
  encoded=$(python3 -c 'import sys, urllib.parse; print(urllib.parse.quote(sys.argv[1], safe=""))' "$name")
  run_zentavo 0 --output "$WORK/label$n" "|1|LAB|FIRMA|$encoded|TARIH|P1|X|01.01.2000|E|T1|Tetkik|123|"
  text=$(pdftotext "$WORK/label$n/T1_123.pdf" -)
  grep -qF -- "$name" <<<"$text" || fail "label with the name \"$name\" ($why): not printed as written: $text"
done <<'ROWS'
[1+1]	arithmetic in brackets
[Page#]	a system variable
[TotalPages#]	the page-count token replaced at drawing
<%x%>	the other delimiters
Ali [Veli	an unclosed bracket
ROWS

[ "$PROBLEMS" = 0 ] || fail "$PROBLEMS table rows printed something else"
echo "expressions: ok"
