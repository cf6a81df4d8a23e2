# zreport run: UTF-8 scripts run in their Windows-1254 form and WriteLn
# prints UTF-8; compile errors are "message at line:col", exit 1; run-time
# errors the script does not catch exit 1 with the message.
source "$(dirname "$0")/lib/common.sh"
: "${ZREPORT:?}"

cat > "$WORK/ok.pas" <<'PAS'
var s: String; i: Integer;
begin
  s := 'Şükrü Işık';
  for i := 1 to 2 do WriteLn(s + ' ' + IntToStr(i));
  WriteLn(UpperCase('ığ'))
end.
PAS
"$ZREPORT" run "$WORK/ok.pas" > "$WORK/out" || fail "a valid program failed"
expect_eq "$(cat "$WORK/out")" "$(printf 'Şükrü Işık 1\nŞükrü Işık 2\nIĞ')" "Turkish text through WriteLn"

printf 'int i;\n{ for (i = 0; i < 3; i++) WriteLn(i * i); }\n' > "$WORK/ok.cpp"
"$ZREPORT" run --language R++Izozev "$WORK/ok.cpp" > "$WORK/out" || fail "R++Izozev program failed"
expect_eq "$(cat "$WORK/out")" "$(printf '0\n1\n4')" "R++Izozev loop"

# language   program   expected stderr
while IFS='	' read -r language program expected; do
  printf '%b' "$program" > "$WORK/bad.txt"
  rc=0
  "$ZREPORT" run --language "$language" "$WORK/bad.txt" > "$WORK/out" 2> "$WORK/err" || rc=$?
  expect_eq "$rc" "1" "$language: exit status"
  expect_eq "$(cat "$WORK/err")" "$expected" "$language: error text"
done <<'ROWS'
VadoziDaruro	begin\n  x := 1\nend.\n	Undeclared identifier: 'x' at 2:4
VadoziDaruro	begin\n  x := (1 + ;\nend.\n	')' expected at 2:11
VadoziDaruro	var v: Variant;\nbegin\n  v := 1;\n  v.Foo\nend.\n	Object reference required
VadoziDaruro	begin RaiseException('stop') end.\n	stop
ROWS
# --report: the template's objects and the report library are known; the
# report is not prepared, so the engine's page operations fail; the report
# engine's texts have no blank after "Undeclared identifier:".
cat > "$WORK/piece.pas" <<'PAS'
begin
  WriteLn(MmHastaAdi.Text);
  MmHastaAdi.Font.Color := 255;
  WriteLn(MmHastaAdi.Font.Color);
  WriteLn(Report.FindObject('BBarkodNo').ClassName);
  WriteLn(bcCode128C);
  WriteLn(IntToStr(Round(fr1in)))
end.
PAS
"$ZREPORT" run --report LabBarkod3050 "$WORK/piece.pas" > "$WORK/out" 2> "$WORK/err" || fail "run --report: $(cat "$WORK/err")"
expect_eq "$(cat "$WORK/out")" "$(printf 'AYŞE YILMAZ\n255\nTfrxBarCodeView\n7\n96')" "run --report sees the template's objects"
printf 'begin\n  Engine.NewPage\nend.\n' > "$WORK/page.pas"
rc=0
"$ZREPORT" run --report LabBarkod3050 "$WORK/page.pas" > "$WORK/out" 2> "$WORK/err" || rc=$?
expect_eq "$rc" 1 "run --report: a page operation outside preparation"
expect_eq "$(cat "$WORK/err")" "The engine is not running: bands and pages are made while the report is prepared" \
  "run --report: the engine's message"
printf 'begin\n  Nope := 1\nend.\n' > "$WORK/undeclared.pas"
rc=0
"$ZREPORT" run --report LabBarkod3050 "$WORK/undeclared.pas" > "$WORK/out" 2> "$WORK/err" || rc=$?
expect_eq "$rc" 1 "run --report: a compile error"
expect_eq "$(cat "$WORK/err")" "Undeclared identifier:'Nope' at 2:7" "run --report: the report engine's message text"
echo "script run: ok"
