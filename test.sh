#!/usr/bin/env bash
# Builds and runs every test: unit and end-to-end tests, the unit tests again
# under AddressSanitizer and UndefinedBehaviorSanitizer, and a short run of
# each fuzz target. Every build type builds, with warnings as errors:
# RelWithDebInfo (the tests), Debug (the sanitizer build), Release (the
# libraries and programs as a packager builds them) and, with clang, the
# fuzz targets.
set -euo pipefail
cd "$(dirname "$0")"
jobs=$(nproc)

tools/install-deps.sh

echo "== build"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZENTAVO_WERROR=ON >/dev/null
ninja -C build -j"$jobs"

echo "== sanitizer build"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZENTAVO_WERROR=ON -DZENTAVO_SANITIZE=ON \
  -DZENTAVO_APPS=OFF -DZENTAVO_BENCH=OFF >/dev/null
ninja -C build-asan -j"$jobs"

echo "== release build"
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DZENTAVO_WERROR=ON \
  -DZENTAVO_TESTS=OFF -DZENTAVO_BENCH=OFF >/dev/null
ninja -C build-release -j"$jobs"

fuzz_seconds=${ZENTAVO_FUZZ_SECONDS:-10}
if command -v clang++ >/dev/null && [ "$fuzz_seconds" != 0 ]; then
  echo "== fuzz build"
  CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZENTAVO_WERROR=ON \
    -DZENTAVO_FUZZ=ON -DZENTAVO_TESTS=OFF -DZENTAVO_APPS=OFF -DZENTAVO_BENCH=OFF >/dev/null
  ninja -C build-fuzz -j"$jobs"
fi

status=0
echo "== sanitizer unit tests"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan -L unit -j"$jobs" --output-on-failure || status=1

if [ -d build-fuzz ] && command -v clang++ >/dev/null && [ "$fuzz_seconds" != 0 ]; then
  echo "== fuzzing, ${fuzz_seconds}s per target"
  for target in build-fuzz/fuzz/fuzz_*; do
    [ -x "$target" ] || continue
    name=$(basename "$target")
    corpus="fuzz/corpus/${name#fuzz_}"
    mkdir -p "build-fuzz/corpus-$name"
    seeds=()
    [ -d "$corpus" ] && seeds=("$corpus")
    if ! "$target" -max_total_time="$fuzz_seconds" -print_final_stats=0 \
        -artifact_prefix="build-fuzz/" "build-fuzz/corpus-$name" "${seeds[@]}" >"build-fuzz/$name.log" 2>&1; then
      echo "$name found a fault:"; tail -n 40 "build-fuzz/$name.log"; status=1
    else
      echo "$name: clean"
    fi
  done
fi

# Last, so its summary line is the run's closing line.
echo "== unit and end-to-end tests"
ctest --test-dir build -j"$jobs" --output-on-failure || status=1
exit $status
