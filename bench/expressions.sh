#!/usr/bin/env bash
# The cost of one expression in memo text: a 1,000-page report whose every
# page evaluates the same 20 expressions, prepared by zreport, beside the
# same 20 expressions evaluated in a loop by a script that zreport runs.
# Each side subtracts its own baseline measured in the same rounds: the
# report with the same text printed as written (AllowExpressions off), the
# loop assigning a variable instead. Rounds alternate the four commands, so
# a noisy machine disturbs both sides alike.
# usage: bench/expressions.sh [BUILD_DIR] [ROUNDS]
set -euo pipefail
build=${1:-build}
rounds=${2:-7}
zreport="$(cd "$build" && pwd)/tools/zreport/zreport"
[ -x "$zreport" ] || { echo "build first: ninja -C $build zreport" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
pages=1000
per_page=20

# Twenty expressions of the kinds templates hold: arithmetic, text, calls
# into the library, a condition.
exprs=("1 + 1" "2 * 3 - 4" "10 div 3" "7 mod 4" "1.5 * 2" "'ab' + 'cd'" "Length('abc')" "IntToStr(42)"
  "Copy('abcdef', 2, 3)" "UpperCase('x')" "Round(2.5)" "Trunc(3.7)" "Abs(-4)" "Pos('c', 'abc')"
  "IIF(1 > 2, 'a', 'b')" "(3 + 4) * (5 - 2)" "Trim('  x ')" "LowerCase('ABC')" "StrToInt('12') + 1" "not (1 = 2)")
[ "${#exprs[@]}" = "$per_page" ] || { echo "need $per_page expressions" >&2; exit 1; }

python3 - "$work" "$pages" "${exprs[@]}" <<'PY'
import sys
work, pages, exprs = sys.argv[1], int(sys.argv[2]), sys.argv[3:]
def esc(s):
    return "".join("&#%d;" % ord(c) if c in '<>&"' else c for c in s)
text = " ".join("[" + e + "]" for e in exprs)
for name, allow in (("expr", "True"), ("plain", "False")):
    with open(f"{work}/{name}.xml", "w") as f:
        f.write('<?xml version="1.0" encoding="utf-8"?>\n<TfrxReport ScriptLanguage="VadoziDaruro">\n')
        for p in range(pages):
            f.write(f' <TfrxReportPage Name="Page{p}" PaperWidth="100" PaperHeight="50">'
                    f'<TfrxMemoView Name="M{p}" Left="0" Top="0" Width="370" Height="80" '
                    f'AllowExpressions="{allow}" Text="{esc(text)}"/></TfrxReportPage>\n')
        f.write('</TfrxReport>\n')
with open(f"{work}/small.xml", "w") as f:
    f.write('<?xml version="1.0" encoding="utf-8"?>\n<TfrxReport ScriptLanguage="VadoziDaruro">'
            '<TfrxReportPage Name="Page1"/></TfrxReport>\n')
rounds = pages  # the loop runs the twenty expressions as often as the report does
body = "; ".join("x := " + e for e in exprs)
base = "; ".join("x := i" for _ in exprs)
for name, stmts in (("loop", body), ("loopbase", base)):
    with open(f"{work}/{name}.pas", "w") as f:
        f.write(f"var i: Integer; x: Variant;\nbegin\n  for i := 1 to {rounds} do begin {stmts} end\nend.\n")
PY

# One timed run in microseconds.
time_us() {
  local t0 t1
  t0=$(date +%s%N)
  (cd "$work" && "$@") >/dev/null 2>"$work/err" || { echo "failed: $* ($(cat "$work/err"))" >&2; exit 1; }
  t1=$(date +%s%N)
  echo $(((t1 - t0) / 1000))
}
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

: >"$work/report" && : >"$work/script"
for _ in $(seq 1 "$rounds"); do
  e=$(time_us "$zreport" prepare expr.xml -o p.xml)
  p=$(time_us "$zreport" prepare plain.xml -o p.xml)
  # The report's host functions (IIF) are there with --report.
  l=$(time_us "$zreport" run --report small.xml loop.pas)
  b=$(time_us "$zreport" run --report small.xml loopbase.pas)
  echo $((e - p)) >>"$work/report"
  echo $((l - b)) >>"$work/script"
done
n=$((pages * per_page))
report_us=$(median <"$work/report")
script_us=$(median <"$work/script")
awk -v r="$report_us" -v s="$script_us" -v n="$n" 'BEGIN {
  printf "expressions evaluated per run:        %d (%d distinct)\n", n, 20
  printf "memo text, per expression:            %8.3f us\n", r / n
  printf "script loop (zreport run), per expr.: %8.3f us\n", s / n
  printf "ratio memo text / script loop:        %8.2f\n", (s > 0 ? r / s : 0)
}'
