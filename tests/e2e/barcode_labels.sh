#!/bin/bash
# The two label symbols as a 203 dpi thermal printer prints them: Code 128 C
# and Code 39 at ratio 2, one module per report pixel, for 200 random barcode
# numbers of 10 and 11 digits each; every one must decode to its number.
set -u
command -v zbarimg >/dev/null || { echo "zbarimg not installed"; exit 77; }
: "${ZREPORT:?}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

RANDOM=20261209
fail=0
count=0
for i in $(seq 1 200); do
  len=$((10 + i % 2))
  number=""
  for _ in $(seq 1 "$len"); do number+=$((RANDOM % 10)); done
  for type in bcCode128C bcCode39; do
    expected=$number
    # An odd-length Code 128 C text carries the documented left "0".
    if [ "$type" = bcCode128C ] && [ $((len % 2)) -eq 1 ]; then expected="0$number"; fi
    "$ZREPORT" barcode --type "$type" --text "$number" --ratio 2 --png "$work/l.png" --dpi 203 || { fail=1; continue; }
    got=$(zbarimg -q --raw "$work/l.png" 2>/dev/null)
    count=$((count + 1))
    if [ "$got" != "$expected" ]; then
      echo "FAIL $type $number: got \"$got\""
      fail=1
    fi
  done
done
echo "$count label symbols decoded"
exit $fail
