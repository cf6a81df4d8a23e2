#!/usr/bin/env bash
# A grouped master/detail report of 1,000, 10,000 and 100,000 rows from user
# data sets, prepared and drawn into a PDF, beside a minimal Cairo program
# drawing the same texts onto as many pages, in paired runs of one run:
# whole-process wall time (median), its ratio to the floor, and peak memory.
# usage: bench/data_bands.sh [BUILD_DIR] [RUNS] [SIZES...]
set -euo pipefail
build=${1:-build}
runs=${2:-3}
shift $(($# < 2 ? $# : 2))
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(1000 10000 100000)
report="$build/bench/data_bands_report"
floor="$build/bench/data_bands_floor"
[ -x "$report" ] && [ -x "$floor" ] || { echo "build first: ninja -C $build data_bands_report data_bands_floor" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

# run NAME ROWS: one timed run; appends its wall time (ms) and peak (kB).
run() {
  local name=$1 rows=$2 t0 t1 out
  t0=$(date +%s%N)
  out=$("${!name}" "$rows" "$work/$name.pdf") || { echo "$name $rows failed" >&2; exit 1; }
  t1=$(date +%s%N)
  echo $(((t1 - t0) / 1000000)) >>"$work/$name.ms"
  sed -n 's/.*peak_kb \([0-9]*\)$/\1/p' <<<"$out" >>"$work/$name.kb"
  sed -n 's/.* pages \([0-9]*\) .*/\1/p' <<<"$out" >"$work/$name.pages"
}

printf '%8s %6s %10s %10s %7s %10s %10s\n' rows pages floor_ms report_ms ratio floor_MB report_MB
for rows in "${sizes[@]}"; do
  rm -f "$work"/*.ms "$work"/*.kb
  for _ in $(seq 1 "$runs"); do
    run floor "$rows"
    run report "$rows"
  done
  cmp -s <(pdftotext -raw "$work/floor.pdf" - 2>/dev/null) <(pdftotext -raw "$work/report.pdf" - 2>/dev/null) ||
    echo "note: the two PDFs differ in their text at $rows rows" >&2
  f=$(median <"$work/floor.ms")
  r=$(median <"$work/report.ms")
  printf '%8d %6d %10d %10d %7.2f %10.1f %10.1f\n' "$rows" "$(cat "$work/report.pages")" "$f" "$r" \
    "$(awk -v a="$r" -v b="$f" 'BEGIN{print a/b}')" \
    "$(sort -n "$work/floor.kb" | tail -1 | awk '{print $1/1024}')" \
    "$(sort -n "$work/report.kb" | tail -1 | awk '{print $1/1024}')"
done
