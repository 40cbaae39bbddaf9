#!/bin/bash
# Runs every benchmark program: the native ones, then the Windows ones of
# the MinGW tree that KVL_WINE_ARCH names under Wine in its test prefix, on
# a private display.
set -euo pipefail
bin=$1
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/scripts/wine-env.sh"
trap 'wineserver -k 2>/dev/null || true' EXIT
shopt -s nullglob
for b in "$bin"/bench_*; do echo "== $(basename "$b")"; "$b"; done
for b in "$top/build/$KVL_WINE_ARCH"/bin/bench_*.exe; do
    echo "== $(basename "$b") (Wine)"
    (cd "$(dirname "$b")" && "$top/scripts/with-display.sh" "$top/scripts/wine-run" "./$(basename "$b")")
done
