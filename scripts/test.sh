#!/usr/bin/env bash
# Builds everything and runs every test. Warnings are errors here.
# Then the Qt-free core once more with AddressSanitizer and
# UndefinedBehaviorSanitizer (its tests run under them), and a short run of
# every fuzz target (scripts/fuzz-smoke.sh). TAVREL_SKIP_SANITIZERS=1 skips
# those two steps.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"
cmake -S "$top" -B "$top/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVREL_WERROR=ON
cmake --build "$top/build" -j2
ctest --test-dir "$top/build" --output-on-failure -j2

if [ "${TAVREL_SKIP_SANITIZERS:-0}" != 1 ]; then
  # GCC 12 gives false maybe-uninitialized warnings inside <regex> once the
  # sanitizers are on; every other warning is still an error.
  sanitize="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer -Wno-maybe-uninitialized"
  cmake -S "$top" -B "$top/build-sanitize" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVREL_WERROR=ON \
    -DTAVREL_BUILD_GUI=OFF -DTAVREL_BUILD_BENCH=OFF \
    "-DCMAKE_C_FLAGS=$sanitize" "-DCMAKE_CXX_FLAGS=$sanitize" \
    "-DCMAKE_EXE_LINKER_FLAGS=-fsanitize=address,undefined"
  cmake --build "$top/build-sanitize" -j2
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir "$top/build-sanitize" --output-on-failure -j2
  "$top/scripts/fuzz-smoke.sh" 5
fi
