#!/bin/bash
# Symbols drawn by `zreport barcode --png` (whole dots, no smoothing) decode
# with zbar to their data, at 203, 300 and 600 dpi and all four rotations.
# Expected texts are what zbar reports: the Code 128 C pad, Codabar's A...B,
# the EAN/UPC check digits, UPC-A and UPC-E as their EAN-13 forms, and Code 39
# Extended as its shift pairs (zbar does not apply full ASCII to Code 39).
set -u
command -v zbarimg >/dev/null || { echo "zbarimg not installed"; exit 77; }
: "${ZREPORT:?}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# type | text | options | expected | what the row catches
rows=(
  "bcCode39|LAB-12 \$/+%.||LAB-12 \$/+%.|every punctuation character"
  "bcCode39|12345|--checksum|12345F|modulo 43 check character"
  "bcCode39|12345678901|--ratio 3|12345678901|ratio 3 widths"
  "bcCode39Extended|Lab a-b||L+A+B +A/M+B|full ASCII pairs"
  "bcCode128A|LAB-7||LAB-7|code set A"
  "bcCode128B|Lab 123||Lab 123|code set B"
  "bcCode128C|1500483197||1500483197|label number"
  "bcCode128C|12345||012345|documented left 0"
  "bcCode93|CODE 93||CODE 93|two check characters"
  "bcCode93Extended|Lab a-b||Lab a-b|shift characters"
  "bcCodeCodabar|1234-5||A1234-5B|start A, stop B"
  "bcCodeEAN8|1234567|--checksum|12345670|EAN-8 check digit"
  "bcCodeEAN13|400638133393|--checksum|4006381333931|EAN-13 check digit"
  "bcCodeUPC_A|03600029145|--checksum|0036000291452|UPC-A check over 11 digits"
  "bcCodeUPC_E0|123456|--checksum|0012345000065|UPC-E check from the UPC-A form"
  "bcCodeEAN128A|ABC||ABC|EAN 128 set A"
  "bcCodeEAN128B|Ab1||Ab1|EAN 128 set B"
  "bcCodeEAN128C|12345|--checksum|123457|EAN 128 Modulo 10 digit"
  "bcCode_2_5_interleaved|123456||123456|interleaved pairs"
)

fail=0
for row in "${rows[@]}"; do
  IFS='|' read -r type text opts expected why <<<"$row"
  for dpi in 203 300 600; do
    for rot in 0 90 180 270; do
      png="$work/s.png"
      # shellcheck disable=SC2086
      if ! "$ZREPORT" barcode --type "$type" --text "$text" $opts --png "$png" --dpi "$dpi" --rotation "$rot"; then
        echo "FAIL $type \"$text\" $dpi dpi $rot: zreport failed ($why)"
        fail=1
        continue
      fi
      got=$(zbarimg -q --raw "$png" 2>/dev/null)
      if [ "$got" != "$expected" ]; then
        echo "FAIL $type \"$text\" $dpi dpi $rot: got \"$got\", want \"$expected\" ($why)"
        fail=1
      fi
    done
  done
done
exit $fail
