#!/bin/bash
# zreport barcode on the command line: module strings, exit statuses and
# the messages of texts a symbology cannot encode.
set -u
: "${ZREPORT:?}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail=0

# expect STATUS STDOUT STDERR-SUBSTRING WHY -- ARGS...
expect() {
  local status=$1 out=$2 err=$3 why=$4
  shift 5
  local got_out got_status
  got_out=$("$ZREPORT" barcode "$@" 2>"$work/err")
  got_status=$?
  if [ "$got_status" != "$status" ] || [ "$got_out" != "$out" ] ||
     { [ -n "$err" ] && ! grep -qF -- "$err" "$work/err"; }; then
    echo "FAIL ($why): status $got_status, stdout \"$got_out\", stderr \"$(cat "$work/err")\""
    fail=1
  fi
}

# The pattern zint draws for this text (see test_barcode_zint), as classes.
expect 0 "6051715071616061617070606062608050526052706270506" "" \
  "label Code 128 C on one line" -- --type bcCode128C --text 1500483197 --modules
expect 0 "$("$ZREPORT" barcode --type bcCode128C --text 0123 --modules)" "" \
  "odd length gets the left 0" -- --type bcCode128C --text 123 --modules
expect 0 "506151505151506" "" "empty Codabar: start A, gap, stop B" -- \
  --type bcCodeCodabar --text "" --modules
expect 1 "" "zreport barcode: Code 39 cannot encode \"l\"" "lower case refused" -- \
  --type bcCode39 --text lab1 --modules
expect 1 "" "zreport barcode: Code 128 B cannot encode #231" "ç is byte 231 in Windows-1254" -- \
  --type bcCode128B --text "ç" --modules
expect 1 "" "zreport barcode: Barcode must be numeric" "EAN-13 of letters" -- \
  --type bcCodeEAN13 --text ABC --modules
expect 1 "" "Invalid Text len (EAN13)" "fourteen digits" -- \
  --type bcCodeEAN13 --text 12345678901234 --modules
expect 1 "" "Barcode must be numeric" "no PNG written for a bad text" -- \
  --type bcCodeEAN8 --text x --png "$work/bad.png"
[ -e "$work/bad.png" ] && { echo "FAIL: a PNG was written for a bad text"; fail=1; }
expect 2 "" "unknown barcode type \"bcCode40\"" "unknown type" -- --type bcCode40 --text 1 --modules
expect 2 "" "--type is required" "missing type" -- --text 1 --modules
expect 2 "" "nothing to do" "neither --modules nor --png" -- --type bcCode39 --text 1
expect 2 "" "--rotation wants 0, 90, 180 or 270" "odd angle" -- \
  --type bcCode39 --text 1 --png "$work/r.png" --rotation 45
expect 2 "" "--ratio wants a number" "ratio not a number" -- --type bcCode39 --text 1 --ratio x --modules

# --checksum adds one Code 39 character (nine elements and the gap).
r2=$("$ZREPORT" barcode --type bcCode39 --text 12345678 --modules)
ck=$("$ZREPORT" barcode --type bcCode39 --text 12345678 --checksum --modules)
[ ${#ck} -ne $(( ${#r2} + 10 )) ] && { echo "FAIL: --checksum did not add one character"; fail=1; }

# The module string names width classes; --ratio shows in the drawing: at
# 96 dpi one module is one pixel, 129 modules at ratio 2, 159 at ratio 3,
# plus 2 x 10 of quiet zone.
for row in "2 149" "3 179" "1.5 149"; do
  set -- $row
  "$ZREPORT" barcode --type bcCode39 --text 12345678 --ratio "$1" --png "$work/r.png" --dpi 96 || fail=1
  width=$(file "$work/r.png" | grep -o '[0-9]* x' | tr -d ' x')
  [ "$width" = "$2" ] || { echo "FAIL: ratio $1 drew $width pixels wide, want $2"; fail=1; }
done

# The PNG: quiet zone of ten modules (2 dots each at 203 dpi) around the symbol.
"$ZREPORT" barcode --type bcCode128C --text 1500483197 --png "$work/s.png" --dpi 203 || fail=1
size=$(file "$work/s.png" | grep -o '[0-9]* x [0-9]*')
[ "$size" = "220 x 175" ] || { echo "FAIL: PNG size $size, want 220 x 175 ((90 + 20) x 2, 135 + 40)"; fail=1; }

"$ZREPORT" barcode --help | grep -q -- "--modules" || { echo "FAIL: --help"; fail=1; }
exit $fail
