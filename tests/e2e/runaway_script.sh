# A runaway script is stopped: zreport run, prepare and render take
# --timeout SECONDS; an endless loop then ends with a clear error and exit 1,
# also when the loop catches every error, and nothing is written.
source "$(dirname "$0")/lib/common.sh"
: "${ZREPORT:?}"

# language   program (printf %b)
while IFS='	' read -r language program; do
  printf '%b' "$program" > "$WORK/loop.txt"
  rc=0
  start=$(date +%s)
  timeout 60 "$ZREPORT" run --timeout 1 --language "$language" "$WORK/loop.txt" > "$WORK/out" 2> "$WORK/err" || rc=$?
  took=$(( $(date +%s) - start ))
  expect_eq "$rc" "1" "$language: exit status of a stopped script ($(cat "$WORK/err"))"
  expect_eq "$(cat "$WORK/err")" "The script was stopped: it did not finish within 1 second" "$language: message"
  [ "$took" -lt 30 ] || fail "$language: the script ran on for $took s"
done <<'ROWS'
VadoziDaruro	begin\n  while True do ;\nend.\n
VadoziDaruro	begin\n  while True do\n    try\n      RaiseException('again')\n    except\n    end\nend.\n
R++Izozev	int i;\n{ for (i = 0; true; i++) ; }\n
DarozOzuziz	Do\nLoop While True\n
JScript	while (true) { }\n
ROWS

# A script that finishes within its time prints as usual.
printf 'begin WriteLn(42) end.\n' > "$WORK/quick.pas"
expect_eq "$("$ZREPORT" run --timeout 30 "$WORK/quick.pas")" "42" "a quick script under a time limit"

rc=0
"$ZREPORT" run --timeout abc "$WORK/quick.pas" 2> "$WORK/err" || rc=$?
expect_eq "$rc" "2" "a bad --timeout is a usage error"

# A preparation that outlasts its time: an error, and no file.
python3 - "$WORK/many.xml" <<'PY'
import sys
memos = "\n".join(f'<TfrxMemoView Name="M{i}" Left="{i % 10 * 70}" Top="{i // 10 % 40 * 20}" Width="60" '
                  f'Height="18" Text="Memo {i}"/>' for i in range(3000))
open(sys.argv[1], "w").write(f'''<?xml version="1.0" encoding="utf-8"?>
<TfrxReport Version="3.22"><TfrxReportPage Name="Page1" PaperWidth="210" PaperHeight="297" PaperSize="9">
<TfrxReportTitle Name="Title" Width="740" Height="800">{memos}</TfrxReportTitle></TfrxReportPage></TfrxReport>''')
PY
for command in prepare render; do
  rc=0
  "$ZREPORT" "$command" --timeout 0.001 "$WORK/many.xml" -o "$WORK/out.$command.pdf" > "$WORK/out" 2> "$WORK/err" || rc=$?
  expect_eq "$rc" "1" "$command: exit status of a stopped preparation"
  grep -q "did not finish within 0.001 seconds; nothing was written" "$WORK/err" || fail "$command: $(cat "$WORK/err")"
  [ ! -e "$WORK/out.$command.pdf" ] || fail "$command wrote a file"
done
"$ZREPORT" prepare --timeout 300 "$WORK/many.xml" -o "$WORK/ok.prepared.xml" > /dev/null ||
  fail "a preparation within its time"
echo "runaway scripts: ok"
