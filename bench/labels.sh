#!/usr/bin/env bash
# Whole-process timings of the label program printing into PDF files, beside
# a minimal Cairo program drawing a comparable label, measured in one run.
# usage: bench/labels.sh [BUILD_DIR] [RUNS]
set -euo pipefail
build=${1:-build}
runs=${2:-25}
zentavo="$build/zentavo"
floor="$build/bench/label_floor"
[ -x "$zentavo" ] && [ -x "$floor" ] || { echo "build first: ninja -C $build zentavo label_floor" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_STATE_HOME="$work/state"
unset DISPLAY WAYLAND_DISPLAY

one='|1|ZIVERO+LAB|%C3%87A%C4%9ERI+%C4%B0%C5%9E|AY%C5%9EE+%C3%96ZT%C3%9CRK|09.12.2026|P1024|X|01.01.1980|Kad%C4%B1n|T1|Hemogram|1234567890|'
many='|1|ZIVERO+LAB|%C3%87A%C4%9ERI+%C4%B0%C5%9E|AY%C5%9EE+%C3%96ZT%C3%9CRK|09.12.2026|P1024|X|01.01.1980|Kad%C4%B1n|'
for i in $(seq 1 51); do many+="T$i|Test+$i|$((1234567000 + i))|"; done

# Median wall time in microseconds of RUNS runs of a command.
median_us() {
  local times=()
  for _ in $(seq 1 "$runs"); do
    rm -rf "$work/out"
    local t0 t1
    t0=$(date +%s%N)
    "$@" >/dev/null 2>&1 || { echo "failed: $*" >&2; exit 1; }
    t1=$(date +%s%N)
    times+=($(( (t1 - t0) / 1000 )))
  done
  printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'
}

floor_us=$(median_us "$floor" "$work/floor.pdf")
one_us=$(median_us "$zentavo" --output "$work/out" --format pdf --dpi 203 "$one")
many_us=$(median_us "$zentavo" --output "$work/out" --format pdf --dpi 203 "$many")
printf 'cairo floor (one label):  %8d us\n' "$floor_us"
printf 'zentavo, 1 label:         %8d us   ratio to floor %.2f\n' "$one_us" "$(awk -v a="$one_us" -v b="$floor_us" 'BEGIN{print a/b}')"
printf 'zentavo, 51 labels:       %8d us   ratio to floor %.2f\n' "$many_us" "$(awk -v a="$many_us" -v b="$floor_us" 'BEGIN{print a/b}')"
