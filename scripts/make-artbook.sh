#!/bin/bash
# Fills a disc's Artbook folder: artgen draws the pictures as bitmaps, ppk
# packs each into Art<L>_<NN>.ppk (Art1_00 stored as it is, marker 'U').
# Usage: make-artbook.sh TOOLS_DIR ARTBOOK_DIR
set -euo pipefail
bin=$1
out=$2
fail() { echo "make-artbook: $*" >&2; exit 1; }
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$bin/artgen" artbook "$work" >/dev/null || fail "artgen could not draw the artbook"
shopt -s nullglob
count=0
for bmp in "$work"/Art[1-7]_[0-9][0-9]*.bmp; do
    name=$(basename "$bmp" .bmp)
    if [ "$name" = Art1_00 ]; then
        "$bin/ppk" pack --stored "$bmp" "$out/$name.ppk" || fail "ppk could not store $name"
    else
        "$bin/ppk" pack "$bmp" "$out/$name.ppk" || fail "ppk could not pack $name"
    fi
    count=$((count + 1))
done
[ $count -gt 0 ] || fail "artgen drew no artbook pictures"
