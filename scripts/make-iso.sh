#!/bin/bash
# Writes the demo disc out/disc as the CD image out/KVL.iso: ISO 9660 with
# Rock Ridge, and a Joliet tree for Windows, which shows the long names and
# their case from there; volume label "KVL". Then out/SHA256SUMS, the
# checksums of every disc file and of the image.
# xorriso takes the volume's dates and uuid from SOURCE_DATE_EPOCH and gives
# every file the time make-disc.sh set; the dates are written in UTC.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/scripts/source-date.sh"
out=$top/out
disc=$out/disc
iso=$out/KVL.iso
if [ ! -f "$disc/autorun.inf" ]; then
    echo "make-iso: no disc in $disc (make disc first)" >&2
    exit 1
fi
# A new image every time: xorriso would add a session to an existing one.
rm -f "$iso" "$iso.part" "$out/SHA256SUMS"
if ! log=$(TZ=UTC xorriso -as mkisofs -quiet -V KVL -J -r -o "$iso.part" "$disc" 2>&1); then
    echo "$log" >&2
    rm -f "$iso.part"
    exit 1
fi
mv "$iso.part" "$iso"
(cd "$out" && find disc -type f -print0 | LC_ALL=C sort -z | xargs -0 sha256sum && sha256sum KVL.iso) > "$out/SHA256SUMS.part"
mv "$out/SHA256SUMS.part" "$out/SHA256SUMS"
echo "CD image: $iso"
