#!/bin/bash
# Runs every fuzz target for a bounded time from its committed seed corpus
# (copied, so the committed corpus is left as it is).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bin=${1:-$top/build/fuzz/bin}
secs=${KVL_FUZZ_SECONDS:-20}
work=
trap 'if [ -n "$work" ]; then rm -rf "$work" "$work.log"; fi' EXIT
shopt -s nullglob
for f in "$bin"/fuzz_*; do
    name=$(basename "$f")
    work=$(mktemp -d)
    if [ -d "$top/fuzz/corpus/$name" ]; then cp -r "$top/fuzz/corpus/$name/." "$work/"; fi
    echo "Fuzzing $name for ${secs}s"
    "$f" -max_total_time="$secs" -print_final_stats=0 "$work" 2>"$work.log" || { tail -40 "$work.log"; exit 1; }
    tail -1 "$work.log"
    rm -rf "$work" "$work.log"
    work=
done
