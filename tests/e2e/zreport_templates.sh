#!/bin/bash
# zreport dump and roundtrip on the built-in templates and on files.
set -u
fail() { echo "FAIL: $*"; exit 1; }
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT

for t in LabBarkod3050 LabBarkod SonucBarkodu frxReport1 RaporODYO; do
  "$ZREPORT" roundtrip "$t" > "$tmp/$t.xml" || fail "roundtrip $t exited $?"
  cmp -s "$tmp/$t.xml" "$SOURCE_DIR/templates/$t.xml" || fail "roundtrip $t differs from the stored file"
  # A file gives the same as the built-in name.
  "$ZREPORT" roundtrip "$tmp/$t.xml" | cmp -s - "$tmp/$t.xml" || fail "roundtrip of the file $t differs"
done

"$ZREPORT" dump LabBarkod3050 > "$tmp/dump.txt" || fail "dump exited $?"
[ "$(grep -c '^  ' "$tmp/dump.txt")" = 10 ] || fail "dump should list ten objects on the page"
grep -qx '  TfrxMemoView MmKurumLabAdi -3.77953 3.77953 185.19697 15.11812' "$tmp/dump.txt" || fail "MmKurumLabAdi line"
grep -qx '  TfrxBarCodeView BBarkodNo 17.362245 41.57483 90 49.13385827' "$tmp/dump.txt" || fail "BBarkodNo line"

# Bad usage is 2, a missing template 1 with a message.
"$ZREPORT" dump > /dev/null 2>&1; [ $? = 2 ] || fail "dump without a template should be a usage error"
"$ZREPORT" dump "$tmp/none.xml" 2> "$tmp/err.txt"; [ $? = 1 ] || fail "missing file should fail"
grep -q 'zreport dump: ' "$tmp/err.txt" || fail "error line"

# A broken file reports "Invalid file format".
printf '<?xml version="1.0"?><TfrxReport><TfrxReportPage' > "$tmp/broken.xml"
"$ZREPORT" roundtrip "$tmp/broken.xml" > /dev/null 2> "$tmp/err.txt"; [ $? = 1 ] || fail "broken file should fail"
grep -q 'Invalid file format' "$tmp/err.txt" || fail "broken file message"
# A protected file: the stored password "WXY" is "abc" lowered by 10.
sed 's|<TfrxReport |<TfrxReport ReportOptions.Password="WXY" |' "$SOURCE_DIR/templates/LabBarkod.xml" > "$tmp/locked.xml"
"$ZREPORT" dump "$tmp/locked.xml" > /dev/null 2> "$tmp/err.txt"; [ $? = 1 ] || fail "protected file without password"
grep -q 'protected by a password' "$tmp/err.txt" || fail "password message"
"$ZREPORT" dump --password wrong "$tmp/locked.xml" > /dev/null 2> "$tmp/err.txt"; [ $? = 1 ] || fail "wrong password"
"$ZREPORT" dump --password abc "$tmp/locked.xml" | grep -q 'BarCode1' || fail "right password"
echo ok
