#!/usr/bin/env bash
# Long fuzz runs, one target at a time: fuzz/run_long.sh <fuzz bin folder> <log folder> name:seconds ...
# Each run starts from fuzz/corpus/<name>/ copied into <log folder>/corpus-<name>
# (new inputs stay there), writes <log folder>/<name>.log and any crashing
# input as <log folder>/<name>-crash-*.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
bin=$1 logs=$2
shift 2
mkdir -p "$logs"
for run in "$@"; do
  name=${run%%:*} seconds=${run#*:}
  work="$logs/corpus-$name"
  mkdir -p "$work"
  cp -n "$here/corpus/$name/"* "$work/" 2>/dev/null || true
  echo "== $name ${seconds}s start $(date -u +%H:%M:%S)" >>"$logs/summary.txt"
  "$bin/fuzz_$name" -max_total_time="$seconds" -max_len=4096 -rss_limit_mb=2048 -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$logs/$name-" "$work" >"$logs/$name.log" 2>&1
  rc=$?
  echo "== $name rc=$rc end $(date -u +%H:%M:%S): $(grep -E '^#[0-9]+' "$logs/$name.log" | tail -1)" >>"$logs/summary.txt"
done
