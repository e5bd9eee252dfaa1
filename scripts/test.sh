#!/usr/bin/env bash
# Builds everything and runs every test. Warnings are errors here.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"
cmake -S "$top" -B "$top/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVREL_WERROR=ON
cmake --build "$top/build" -j2
ctest --test-dir "$top/build" --output-on-failure -j2
