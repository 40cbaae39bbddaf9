#!/bin/bash
# Runs every benchmark program: the native ones, then the Win32 ones of the
# Windows tree under Wine on a private display.
set -e
bin=$1
top=$(cd "$(dirname "$0")/.." && pwd)
shopt -s nullglob
for b in "$bin"/bench_*; do echo "== $(basename "$b")"; "$b"; done
for b in "$top"/build/win32/bin/bench_*.exe; do
    echo "== $(basename "$b") (Wine)"
    "$top/scripts/with-display.sh" "$top/scripts/wine-run" "$b"
done
