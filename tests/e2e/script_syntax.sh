# zreport syntax: UTF-8 script files parse in their Windows-1254 form and the
# tree comes back as UTF-8; syntax errors are "message at line:col", exit 1.
source "$(dirname "$0")/lib/common.sh"
: "${ZREPORT:?}"

cat > "$WORK/ok.pas" <<'PAS'
var s: String;
begin
  s := 'Şükrü Işık';
end.
PAS
"$ZREPORT" syntax "$WORK/ok.pas" > "$WORK/tree.xml" || fail "a valid program failed to parse"
head -n 2 "$WORK/tree.xml" | grep -q '^<program>$' || fail "no program element: $(head -n 3 "$WORK/tree.xml")"
grep -q "<string text=\"'Şükrü Işık'\"" "$WORK/tree.xml" || fail "Turkish string literal: $(grep string "$WORK/tree.xml")"

# Values in the tree are escaped as templates escape them: angle brackets and
# quotes become references, an "&" that would read back as a reference becomes
# &#38;, and a bare "&" and a tab stay as they are.
cat > "$WORK/markup.pas" <<'PAS'
begin
  s := 'a & b <c> "q" &#65; &quot; t'#9'z';
end.
PAS
"$ZREPORT" syntax "$WORK/markup.pas" > "$WORK/markup.xml" || fail "a string holding markup failed to parse"
expected="<string text=\"'a & b &#60;c&#62; &#34;q&#34; &#38;#65; &#38;quot; t"$'\t'"z'\""
grep -qF "$expected" "$WORK/markup.xml" || fail "string holding markup: $(grep string "$WORK/markup.xml")"

# language   program                      expected message
while IFS='	' read -r language program expected; do
  printf '%b' "$program" > "$WORK/bad.txt"
  rc=0
  "$ZREPORT" syntax --language "$language" "$WORK/bad.txt" > "$WORK/out" 2> "$WORK/err" || rc=$?
  expect_eq "$rc" "1" "$language: exit status of a syntax error"
  expect_eq "$(cat "$WORK/err")" "$expected" "$language: error text"
  [ ! -s "$WORK/out" ] || fail "$language: a tree was printed for a bad program"
done <<'ROWS'
VadoziDaruro	begin\n  x := (1 + ;\nend.\n	')' expected at 2:11
JScript	var a = ;\n	Expression expected at 1:9
ROWS
echo "script syntax: ok"
