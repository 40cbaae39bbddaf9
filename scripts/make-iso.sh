#!/bin/bash
# Writes the demo disc out/disc as the CD image out/KVL.iso: ISO 9660 with
# Rock Ridge, and a Joliet tree for Windows, which shows the long names and
# their case from there; volume label "KVL".
set -e
top=$(cd "$(dirname "$0")/.." && pwd)
disc=$top/out/disc
iso=$top/out/KVL.iso
if [ ! -f "$disc/autorun.inf" ]; then
    echo "make-iso: no disc in $disc (make disc first)" >&2
    exit 1
fi
# A new image every time: xorriso would add a session to an existing one.
rm -f "$iso" "$iso.part"
if ! log=$(xorriso -as mkisofs -quiet -V KVL -J -r -o "$iso.part" "$disc" 2>&1); then
    echo "$log" >&2
    rm -f "$iso.part"
    exit 1
fi
mv "$iso.part" "$iso"
echo "CD image: $iso"
