#!/usr/bin/env bash
# Installs what is missing, builds, and starts Tavrel on the bundled sample collection.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"
cmake -S "$top" -B "$top/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$top/build" -j2
bin="$top/build/bin"
if [ -x "$bin/tavrel" ]; then
  exec "$bin/tavrel" "$@"
elif [ -x "$bin/tavrel-cli" ]; then
  # No window yet: list what the sample collection holds.
  exec "$bin/tavrel-cli" pages --data "$bin" "$@"
else
  echo "Built the core library and its tests; the reader program itself is not part of this build yet."
fi
