#!/bin/bash
# Checks out/KVL.iso as Windows reads it: the Joliet tree, extracted with
# xorriso, must equal out/disc name for name (case included) and byte for
# byte, autorun.inf at its root; the volume label is "KVL" in the ISO 9660
# and in the Joliet descriptor.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
disc=$top/out/disc
iso=$top/out/KVL.iso
fail() { echo "check-iso: $*" >&2; exit 1; }
[ -f "$iso" ] || fail "no image $iso (make iso first)"
work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT

# "norock": Joliet names, not the Rock Ridge ones Linux would show.
xorriso -osirrox on -read_fs norock -indev "$iso" -extract / "$work/tree" >"$work/log" 2>&1 ||
    { cat "$work/log" >&2; fail "cannot extract $iso"; }
[ -f "$work/tree/autorun.inf" ] || fail "autorun.inf is not at the root of the image"
diff -r "$disc" "$work/tree" >&2 || fail "the image differs from $disc"

label=$(xorriso -indev "$iso" -pvd_info 2>/dev/null | sed -n 's/^Volume Id *: //p')
[ "$label" = KVL ] || fail "ISO 9660 volume label is '$label', not 'KVL'"
# The Joliet volume descriptor (type 2) follows the primary one; its label
# is UCS-2, big-endian, padded with blanks.
python3 - "$iso" <<'PY' || fail "Joliet volume label is not 'KVL'"
import sys
with open(sys.argv[1], "rb") as f:
    for sector in range(17, 32):
        f.seek(sector * 2048)
        d = f.read(2048)
        if d[1:6] != b"CD001" or d[0] == 255:
            break
        if d[0] == 2 and d[88:91] in (b"%/@", b"%/C", b"%/E"):
            sys.exit(0 if d[40:72].decode("utf-16-be").rstrip() == "KVL" else 1)
sys.exit(1)
PY
echo "CD image checked: $iso"
