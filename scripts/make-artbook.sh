#!/bin/bash
# Fills a disc's Artbook folder: artgen draws the pictures as bitmaps, ppk
# packs each into Art<L>_<NN>.ppk (Art1_00 stored as it is, marker 'U').
# Usage: make-artbook.sh NATIVE_BIN_DIR ARTBOOK_DIR
set -e
bin=$1
out=$2
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if ! "$bin/artgen" artbook "$work" >/dev/null 2>&1; then
    echo "make-artbook: artgen cannot draw the artbook yet; Artbook left empty" >&2
    exit 0
fi
shopt -s nullglob
count=0
for bmp in "$work"/Art[1-7]_[0-9][0-9]*.bmp; do
    name=$(basename "$bmp" .bmp)
    if [ "$name" = Art1_00 ]; then
        "$bin/ppk" pack --stored "$bmp" "$out/$name.ppk"
    else
        "$bin/ppk" pack "$bmp" "$out/$name.ppk"
    fi
    count=$((count + 1))
done
[ $count -gt 0 ] || echo "make-artbook: artgen drew no artbook pictures; Artbook left empty" >&2
exit 0
