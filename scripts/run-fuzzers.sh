#!/bin/bash
# Runs every fuzz target for a bounded time from its committed seed corpus
# (copied, so the committed corpus is left as it is), as many at once as
# the machine has cores. Fails with the log of each target that failed.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
bin=${1:-$top/build/fuzz/bin}
secs=${KVL_FUZZ_SECONDS:-20}
jobs=$(nproc 2>/dev/null || echo 1)
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
# fuzz NAME: one target in a corpus folder of its own; its log and its
# result go to $work.
fuzz() {
    local name=$1 rc=0
    mkdir -p "$work/$name"
    if [ -d "$top/fuzz/corpus/$name" ]; then cp -r "$top/fuzz/corpus/$name/." "$work/$name/"; fi
    "$bin/$name" -max_total_time="$secs" -print_final_stats=0 "$work/$name" 2>"$work/$name.log" || rc=$?
    echo "$rc" >"$work/$name.rc"
}
shopt -s nullglob
names=()
for f in "$bin"/fuzz_*; do names+=("$(basename "$f")"); done
for name in "${names[@]}"; do
    while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n || true; done
    echo "Fuzzing $name for ${secs}s"
    fuzz "$name" &
done
wait
failed=0
for name in "${names[@]}"; do
    if [ "$(cat "$work/$name.rc")" = 0 ]; then
        echo "$name: $(tail -1 "$work/$name.log")"
    else
        echo "$name failed:"
        tail -40 "$work/$name.log"
        failed=1
    fi
done
exit $failed
