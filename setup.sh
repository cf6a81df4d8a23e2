#!/usr/bin/env bash
# Installs what Zentavo needs, builds it, and runs the label program on a
# sample request, printing into files under out/ (no printer needed).
set -euo pipefail
cd "$(dirname "$0")"

tools/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZENTAVO_WERROR=ON >/dev/null
ninja -C build zentavo zreport

# An automatic request as the clinic system sends it: laboratory, company,
# patient, sample date, protocol, birth date, sex, and two tests.
sample='|1|ZIVERO+LAB|%C3%87A%C4%9ERI+%C4%B0%C5%9E+SA%C4%9ELI%C4%9EI|AY%C5%9EE+%C3%96ZT%C3%9CRK|09.12.2026+08%3A30|P1024|X|01.01.1980|Kad%C4%B1n|T1|Hemogram|1234567890|T2|Glukoz|1234567891|'
mkdir -p out
echo "Printing the sample request's labels into out/ (PDF and PNG at 203 dpi, as a thermal printer would):"
build/zentavo --output out --format pdf --dpi 203 "$sample"
build/zentavo --output out --format png --dpi 203 "$sample"
echo
echo "What zentavo read from the request: build/zentavo --explain '<request>'. Run the tests with ./test.sh."
