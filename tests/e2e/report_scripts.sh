# Report scripts: the main block and the event handlers of the four script
# languages change what is printed; the engine calls the handlers in its own
# order; the report, engine and object bindings answer; compile and run-time
# errors stop preparation with their position or object name and leave no file.
source "$(dirname "$0")/lib/common.sh"
: "${ZREPORT:?run through ctest, which sets ZREPORT}"
command -v pdftotext >/dev/null || skip "pdftotext not installed"
command -v zbarimg >/dev/null || skip "zbarimg not installed"
FIXTURES="$(cd "$(dirname "$0")/report_scripts" && pwd)"
PNGPIXELS="$(cd "$(dirname "$0")/lib" && pwd)/pngpixels.py"

# The text of a PDF (one page, or all), one trimmed non-empty line per line.
pdf_lines() {
  local range=()
  [ -n "${2:-}" ] && range=(-f "$2" -l "$2")
  pdftotext "${range[@]}" "$WORK/$1" - | sed 's/^[[:space:]]*//; s/[[:space:]]*$//' | grep -v '^$' || true
}

# has_line TEXT LINES WHAT / lacks_text TEXT ALL WHAT
has_line() { grep -qxF -- "$1" <<<"$2" || fail "$3: no line \"$1\" in: $2"; }
lacks_text() { if grep -qF -- "$1" <<<"$2"; then fail "$3: \"$1\" is printed: $2"; fi; }

# 1. The same changes in each language. MemoMain gets its text from the main
# block, MemoHandler from its OnBeforePrint through TfrxMemoView(Sender);
# MemoHidden is hidden by the main block, MemoHidden2 by its own handler;
# MemoRed's handler turns its black font red; BarCode1's handler gives the
# Code 128 B symbol a new text.
#
# MemoRed lies at Left 8, Top 84, Width 160, Height 44 report pixels; at 300
# dpi one pixel is 300 / 96 = 3.125 dots, so the memo covers the dots
# x 25..524 and y 263..399 (84 x 3.125 = 262.5 and 128 x 3.125 = 400 are the
# edges).
red_box=(25 524 263 399)
black_probe=(colour 0 0 0 60 "${red_box[@]}")
red_probe=(colour 255 0 0 60 "${red_box[@]}")

# template     main text  handler text  barcode   why
while IFS='	' read -r template main handler barcode why; do
  xml="$FIXTURES/$template.xml"
  run_zreport 0 render "$xml" -o "$template.pdf"
  text=$(pdf_lines "$template.pdf")
  has_line "$main" "$text" "$template ($why): the main block's text"
  has_line "$handler" "$text" "$template ($why): the handler's text through the typecast"
  has_line "HHHH" "$text" "$template ($why): the memo whose colour changes"
  for gone in "Main design" "Handler design" HiddenByMain HiddenByHandler; do
    lacks_text "$gone" "$text" "$template ($why)"
  done

  # The design as drawn, without preparation, is the reference: black glyphs,
  # no red, and the design's barcode text.
  run_zreport 0 draw "$xml" --format png --dpi 300 -o "$template.design.png"
  read -r design_black design_red < <(python3 "$PNGPIXELS" "$WORK/$template.design.png" \
    "${black_probe[@]}" + "${red_probe[@]}" | paste -s -d ' ')
  [ "$design_black" -ge 2000 ] || fail "$template: only $design_black black dots in the designed memo"
  expect_eq "$design_red" 0 "$template: red dots in the designed memo"
  expect_eq "$(zbarimg -q --raw "$WORK/$template.design.png" 2>/dev/null)" DESIGN "$template: the designed barcode"

  run_zreport 0 render "$xml" -o "$template.png" --dpi 300
  read -r black red < <(python3 "$PNGPIXELS" "$WORK/$template.png" \
    "${black_probe[@]}" + "${red_probe[@]}" | paste -s -d ' ')
  expect_eq "$black" 0 "$template ($why): black dots left in the red memo"
  # The same glyphs in another colour: as many fully covered dots, give or
  # take the edges.
  [ "$red" -ge $((design_black * 9 / 10)) ] ||
    fail "$template ($why): $red red dots where the design has $design_black black ones"
  expect_eq "$(zbarimg -q --raw "$WORK/$template.png" 2>/dev/null)" "$barcode" "$template ($why): the barcode's new text"
done <<'ROWS'
objects_pas	Main VD	Handler VD	VD-4711	VadoziDaruro, the default language
objects_cpp	Main CPP	Handler CPP	CPP-4712	R++Izozev: braces, case-sensitive keywords
objects_vb	Main VB	Handler VB	VB-4713	DarozOzuziz: Sub blocks, statements end at the line end
objects_js	Main JS	Handler JS	JS-4714	JScript: function blocks, top-level statements
ROWS

# 2. The order of the events over two template pages. Every handler appends
# "<object name>.<event>" to Report.Variables['Log'] (b OnBeforePrint,
# d OnAfterData, h OnAfterCalcHeight, a OnAfterPrint); MemoLog, in the last
# page's summary, and FootLog, in its page footer, add their own entry and
# print the log as it is then. By the engine's preparation order:
#   main block                          Main (sets the log)
#   the run starts: OnStartReport       Start
#   Page1: OnBeforePrint                Page1.b
#     BeginPage opens the page and shows the header list, title first:
#       title T1: band BeforePrint      T1.b
#         its memo TM: OnBeforePrint,   TM.b
#         data, OnAfterData             TM.d
#       T1 stretched: OnAfterCalcHeight T1.h
#       T1 restored: objects first      TM.a
#         then the band                 T1.a
#       page header H1                  H1.b H1.h H1.a
#     page-level objects in a null band (no events of its own):
#       PM                              PM.b PM.a
#     no data bands; FinishPage: no summary on Page1, the page footer F1
#                                       F1.b F1.h F1.a
#   Page1: OnAfterPrint                 Page1.a
#   Page2: OnBeforePrint                Page2.b
#     page header H2                    H2.b H2.h H2.a
#     no page-level objects, no data bands; FinishPage shows the summary:
#       S2: OnBeforePrint               S2.b
#         MemoLog: OnBeforePrint        MemoLog.b, prints the log
#       S2 stretched                    S2.h
#       S2 restored, its memo first     MemoLog.a S2.a
#     then the page footer F2           F2.b
#         FootLog: OnBeforePrint        FootLog.b, prints the log
# (F2.h, FootLog.a, F2.a and Page2.a come after the last log is taken.)
run_zreport 0 prepare "$FIXTURES/events.xml" -o events.prepared.xml
expect_eq "$OUT" 2 "events: one prepared page per template page"
run_zreport 0 render "$FIXTURES/events.xml" -o events.pdf
summary="Main Start Page1.b T1.b TM.b TM.d T1.h TM.a T1.a H1.b H1.h H1.a PM.b PM.a F1.b F1.h F1.a"
summary+=" Page1.a Page2.b H2.b H2.h H2.a S2.b MemoLog.b"
footer="$summary S2.h MemoLog.a S2.a F2.b FootLog.b"
# The second page shows the summary's log above the footer's.
expect_eq "$(pdf_lines events.pdf 2 | paste -s -d ' ')" "$summary $footer" "events: the order of the handlers"
has_line "Title" "$(pdf_lines events.pdf 1)" "events: the title's memo on the first page"
has_line "Page memo" "$(pdf_lines events.pdf 1)" "events: the page-level memo on the first page"

# 3. The report and engine bindings, each shown as a memo's text.
# Engine.FreeSpace = PageHeight - (column footer + page footer) - CurY, where
# PageHeight = (100 - 10 - 5) mm x 3.77953 = 321.26005 px and the page footer
# is 30 px high (no column footer). The page header's memo is stretched at
# CurY 25, below the 25 px title: 266.26005. The page-level memo comes after
# title and header (25 + 40): 226.26005. Shown as Round(FreeSpace x 100).
run_zreport 0 render "$FIXTURES/engine_api.xml" -o api.pdf
api=$(pdf_lines api.pdf)
# line                       why
while IFS='	' read -r line why; do
  has_line "$line" "$api" "engine_api: $why"
done <<'ROWS'
header 26626	FreeSpace in a page header, below the title
page 22626	FreeSpace for page-level objects, below title and header
found by name	Report.FindObject gives the object, typecast to a memo
unknown name is nil	Report.FindObject of an unknown name is nil
missing variable is null	a report variable never written reads as Null
read back merhaba	a written variable reads back, the second write replacing the first
ROWS

# A page built by its OnManualBuild handler: the band, Engine.NewPage, the
# band again gives two pages, the band on each.
run_zreport 0 prepare "$FIXTURES/new_page.xml" -o new_page.prepared.xml
expect_eq "$OUT" 2 "new_page: Engine.NewPage opens a second page"
run_zreport 0 render "$FIXTURES/new_page.xml" -o new_page.pdf
for page in 1 2; do
  expect_eq "$(pdf_lines new_page.pdf "$page")" "shown band" "new_page: the band shown on page $page"
done

# 4. Errors. Each row's script goes into a one-page template with two memos
# and a page header; the events column wires OBJECT.EVENT to a procedure.
# Compile errors give "Script error at LINE:COLUMN: MESSAGE": a syntax error
# at the start of the element that failed (after blanks), a name error just
# after the name. Run-time errors in a handler name the handler's object.
# The expected line ends in * when only its beginning is fixed.
make_template() {
  local language=$1 events=$2 script=$3 out=$4 event target
  local -A attrs=([Page1]="" [PageHeader1]="" [Memo2]="")
  # The template format's escapes: numeric references for quotes, angle
  # brackets and the line breaks between the script's lines.
  script=$(sed 's/\r$//; s/"/\&#34;/g; s/</\&#60;/g; s/>/\&#62;/g' <<<"$script" |
    awk 'NR > 1 { printf "&#13;&#10;" } { printf "%s", $0 }')
  for event in $events; do
    [ "$event" = - ] && continue
    target=${event%%.*}
    event=${event#*.}
    attrs[$target]+=" ${event%%=*}=\"${event#*=}\""
  done
  cat >"$out" <<XML
<?xml version="1.0" encoding="utf-8"?>
<TfrxReport ScriptLanguage="$language" ScriptText.Text="$script">
  <TfrxReportPage Name="Page1" PaperWidth="80" PaperHeight="50" PaperSize="256"${attrs[Page1]}>
    <TfrxPageHeader Name="PageHeader1" Left="0" Top="0" Width="302.3624" Height="20"${attrs[PageHeader1]}/>
    <TfrxMemoView Name="Memo1" Left="0" Top="40" Width="200" Height="18" Text="one"/>
    <TfrxMemoView Name="Memo2" Left="0" Top="60" Width="200" Height="18"${attrs[Memo2]} Text="two"/>
  </TfrxReportPage>
</TfrxReport>
XML
}

n=0
# language	events	script	expected error line	why
while IFS='	' read -r language events script expected why; do
  n=$((n + 1))
  make_template "$language" "$events" "$(printf '%b' "$script")" "$WORK/error$n.xml"
  for command in prepare render; do
    out="error$n.$command.pdf"
    [ "$command" = prepare ] && out="error$n.prepared.xml"
    run_zreport 1 "$command" "error$n.xml" -o "$out"
    [ ! -e "$WORK/$out" ] || fail "error row $n ($why): zreport $command wrote $out"
    # Carriage returns of the report's message reach stderr escaped.
    lines=$(sed 's/\\x0D$//; s/\r$//' <<<"$ERR" | grep -v '^$' || true)
    expect_eq "$(sed -n 1p <<<"$lines")" "zreport $command: The following error(s) have occured:" \
      "error row $n ($why): the heading"
    got=$(sed -n '2,$p' <<<"$lines")
    if [[ "$expected" == *'*' ]]; then
      [[ "$got" == "${expected%'*'}"?* && "$got" != *$'\n'* ]] ||
        fail "error row $n ($why): expected one line beginning \"${expected%'*'}\", got: $got"
    else
      expect_eq "$got" "$expected" "error row $n ($why): the error line"
    fi
  done
done <<'ROWS'
VadoziDaruro	-	begin\n  Memo1.Text := 'a'\n  Memo2.Text := 'b'\nend.	Script error at 3:3: ';' expected	missing semicolon: where the next statement begins
VadoziDaruro	-	var n: Integer;\nbegin\n  n := 2 * Foo;\nend.	Script error at 3:15: Undeclared identifier:'Foo'	undeclared name: just after it, no blank after the colon
VadoziDaruro	-	procedure P(Sender: TfrxComponent);\nbegin\n  Memo1.Text := Bar\nend;\n\nbegin\nend.	Script error at 3:20: Undeclared identifier:'Bar'	a procedure body is compiled although the main block is empty and no event names it
R++Izozev	-	{\n  Memo1.Text = Missing;\n}	Script error at 2:23: Undeclared identifier:'Missing'	the template's language reaches the compiler
DarozOzuziz	-	Memo1.Text = "a" Memo2.Text = "b"\r\n	Script error at 1:18: End of line expected	two statements on one line without a colon
VadoziDaruro	Memo2.OnBeforePrint=Fail	procedure Fail(Sender: TfrxComponent);\nbegin\n  RaiseException('boom')\nend;\n\nbegin\nend.	Memo2: boom	the failing object, not the memo handled before it
VadoziDaruro	Memo2.OnBeforePrint=Fail	procedure Fail(Sender: TfrxComponent);\nvar n: Integer;\nbegin\n  n := 0;\n  n := 10 div n\nend;\n\nbegin\nend.	Memo2: *	an integer division by zero, the value library's message
VadoziDaruro	Memo2.OnAfterPrint=Fail	procedure Fail(Sender: TfrxComponent);\nbegin\n  RaiseException('after print')\nend;\n\nbegin\nend.	Memo2: after print	OnAfterPrint, after the object was stored
VadoziDaruro	PageHeader1.OnAfterCalcHeight=Fail	procedure Fail(Sender: TfrxComponent);\nbegin\n  RaiseException('band failed')\nend;\n\nbegin\nend.	PageHeader1: band failed	a band's handler names the band
VadoziDaruro	Page1.OnBeforePrint=Fail	procedure Fail(Sender: TfrxComponent);\nbegin\n  RaiseException('page failed')\nend;\n\nbegin\nend.	Page1: page failed	a page's handler names the page
JScript	Memo2.OnBeforePrint=Fail	function Fail(Sender) {\n  RaiseException("js boom");\n}	Memo2: js boom	a handler in another language
VadoziDaruro	-	begin\n  RaiseException('main failed')\nend.	main failed	the main block runs before any object is handled: no name
ROWS

echo "report_scripts: ok"
