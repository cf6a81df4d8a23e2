#!/bin/bash
# Symbols drawn by `zreport barcode --png` decode with ZXing (zxing-cpp, the
# Debian python3-zxing-cpp binding), a second reader beside zbar that also
# reads UPC-E with number system 1; 203, 300 and 600 dpi, all four rotations.
# Expected texts are ZXing's: Codabar without its start and stop, UPC-E with
# its number system, Code 39 Extended as its shift pairs.
set -u
: "${ZREPORT:?}"
py=""
for candidate in /usr/bin/python3 python3; do
  if "$candidate" -c "import zxingcpp, PIL" 2>/dev/null; then py=$candidate; break; fi
done
[ -n "$py" ] || { echo "zxing-cpp for Python (python3-zxing-cpp, python3-pil) not installed"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# type | text | options | expected | what the row catches
rows=(
  "bcCode39|LAB-12 \$/+%.||LAB-12 \$/+%.|Code 39 punctuation"
  "bcCode39Extended|Lab||L+A+B|full ASCII pairs"
  "bcCode128B|Lab 123||Lab 123|code set B"
  "bcCode128C|12345||012345|documented left 0"
  "bcCode93|CODE 93||CODE 93|Code 93 checks"
  "bcCode93Extended|Lab a-b||Lab a-b|Code 93 shifts"
  "bcCodeCodabar|1234-5||1234-5|Codabar"
  "bcCodeEAN8|1234567|--checksum|12345670|EAN-8"
  "bcCodeEAN13|400638133393|--checksum|4006381333931|EAN-13"
  "bcCodeUPC_A|03600029145|--checksum|036000291452|UPC-A"
  "bcCodeUPC_E0|123456|--checksum|01234565|UPC-E0: check digit of 01234500006"
  "bcCodeUPC_E1|123456|--checksum|11234562|UPC-E1: check digit of 11234500006"
  "bcCodeUPC_E1|654321|--checksum|16543214|UPC-E1 of 16510000432, check 4"
  "bcCodeEAN128C|12345|--checksum|123457|EAN 128 C with Modulo 10"
  "bcCode_2_5_interleaved|123456||123456|ITF"
)

fail=0
list="$work/list"
: >"$list"
n=0
for row in "${rows[@]}"; do
  IFS='|' read -r type text opts expected why <<<"$row"
  for dpi in 203 300 600; do
    for rot in 0 90 180 270; do
      n=$((n + 1))
      png="$work/$n.png"
      # shellcheck disable=SC2086
      if ! "$ZREPORT" barcode --type "$type" --text "$text" $opts --png "$png" --dpi "$dpi" --rotation "$rot"; then
        echo "FAIL $type \"$text\": zreport failed ($why)"
        fail=1
        continue
      fi
      printf '%s\t%s\t%s\t%s\n' "$png" "$rot" "$expected" "$type \"$text\" $dpi dpi $rot ($why)" >>"$list"
    done
  done
done

"$py" - "$list" <<'PY' || fail=1
import sys
import zxingcpp
from PIL import Image
bad = 0
for line in open(sys.argv[1], encoding="utf-8"):
    path, _rotation, expected, what = line.rstrip("\n").split("\t")
    # One symbol per image, read with read_barcode: read_barcodes of
    # zxing-cpp 1.4 asserts while merging the lines of a large symbol.
    image = Image.open(path)
    result = zxingcpp.read_barcode(image)
    found = result.text if result is not None and result.valid else None
    if found != expected:
        print(f"FAIL {what}: got {found!r}, want {expected!r}")
        bad = 1
sys.exit(bad)
PY
exit $fail
