# The built-in templates and a showcase of every drawn class give the same
# bytes as the files kept in tests/data/before: drawn as designed, prepared
# and saved, and the saved prepared report drawn, at 203 and 300 dpi.
source "$(dirname "$0")/lib/common.sh"
: "${ZREPORT:?run through ctest, which sets ZREPORT}"
BEFORE="$SOURCE_DIR/tests/data/before"

zreport() {
  (cd "$WORK" && "$ZREPORT" "$@") >"$WORK/.stdout" 2>"$WORK/.stderr" ||
    fail "zreport $* failed: $(cat "$WORK/.stderr")"
}

same() {
  cmp -s "$BEFORE/$1" "$WORK/$1" || fail "$1 differs from the file kept in tests/data/before"
}

for template in LabBarkod LabBarkod3050 SonucBarkodu frxReport1 RaporODYO "$BEFORE/Showcase.xml"; do
  name=$(basename "$template" .xml)
  zreport prepare "$template" -o "$name.prepared.xml"
  same "$name.prepared.xml"
  for dpi in 203 300; do
    zreport draw "$template" --format png --dpi "$dpi" -o "$name.draw.$dpi.png"
    same "$name.draw.$dpi.png"
    zreport render "$name.prepared.xml" --format png --dpi "$dpi" -o "$name.render.$dpi.png"
    same "$name.render.$dpi.png"
  done
done
echo "all outputs unchanged"
