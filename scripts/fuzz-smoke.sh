#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer over the whole core) in their own build folder
# and runs each one briefly from its seed corpus. A crash, a sanitizer report
# or a broken check of a target fails the script.
#   scripts/fuzz-smoke.sh [seconds per target, default 5]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-5}
build=${TAVREL_FUZZ_BUILD:-$top/build-fuzz}

CC=clang CXX=clang++ cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVREL_WERROR=ON \
  -DTAVREL_FUZZ=ON -DTAVREL_BUILD_GUI=OFF -DTAVREL_BUILD_TESTS=OFF -DTAVREL_BUILD_BENCH=OFF >/dev/null
targets=()
for src in "$top"/fuzz/fuzz_*.cpp; do
  name=$(basename "$src" .cpp)
  targets+=("$name")
done
cmake --build "$build" -j2 --target "${targets[@]}"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
passed=0
for name in "${targets[@]}"; do
  short=${name#fuzz_}
  mkdir -p "$work/$short"
  # New inputs go to a scratch folder; the seeds in the tree stay as they are.
  if "$build/bin/$name" -max_total_time="$seconds" -max_len=4096 -rss_limit_mb=2048 -timeout=10 \
      -artifact_prefix="$work/$short-" "$work/$short" "$top/fuzz/corpus/$short" >"$work/$short.log" 2>&1; then
    echo "fuzz $short: ok ($(grep -Eo '^#[0-9]+.*cov: [0-9]+' "$work/$short.log" | tail -1 | sed 's/\t.*cov:/ runs, cov:/'))"
    passed=$((passed + 1))
  else
    echo "fuzz $short: FAILED"
    tail -40 "$work/$short.log"
    failed=$((failed + 1))
  fi
done
echo "fuzz: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
