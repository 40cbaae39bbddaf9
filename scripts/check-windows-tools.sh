#!/bin/bash
# Builds the three host tools as Windows programs (presets win64-tools and
# win32-tools: the same CMake files, the MinGW-w64 cross compilers), runs
# them under Wine on the inputs of the native tools in build/native/bin,
# and compares their outputs with the native ones:
#  - the text table and its names, and every .ppk packed (or stored) from
#    the same bitmap: byte for byte;
#  - artgen's pictures: the same sizes and formats, and at most 0.1 % of
#    each picture's pixels differing beyond a fuzz of 2 %, since the two C
#    libraries' maths may round differently.
# Nothing else of those trees is built or run.
# Usage: check-windows-tools.sh [win64|win32]. Without one, it checks the
# 64-bit tools, then the 32-bit ones where this machine runs them, and
# says in its last line which it checked.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
if [ $# -eq 0 ]; then
    "$0" win64
    why=$("$top/scripts/machine.sh" why-no-win32)
    if [ -z "$why" ]; then
        "$0" win32
        echo "Windows host tools checked: 64-bit and 32-bit"
    else
        echo "Windows host tools checked: 64-bit only; the 32-bit ones did not run: $why"
    fi
    exit 0
fi
case $1 in
win32 | win64) export KVL_WINE_ARCH=$1 ;;
*) echo "usage: check-windows-tools.sh [win64|win32]" >&2; exit 2 ;;
esac
. "$top/scripts/wine-env.sh"
native=$top/build/native/bin
windows=$top/build/$KVL_WINE_ARCH-tools/bin
fail() { echo "check-windows-tools ($KVL_WINE_ARCH): $*" >&2; exit 1; }
for t in mktexttable artgen ppk; do
    [ -x "$native/$t" ] || fail "no native $t in $native (make native first)"
done

work=$(mktemp -d)
trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
echo "Building the host tools as $KVL_WINE_ARCH Windows programs"
{ cmake --preset "$KVL_WINE_ARCH-tools" && cmake --build --preset "$KVL_WINE_ARCH-tools"; } >"$work/build.log" 2>&1 ||
    { tail -40 "$work/build.log" >&2; fail "the Windows host tools did not build"; }

# The Windows tools run in $work, on relative paths, as they would in a
# Windows folder.
[ -f "$WINEPREFIX/system.reg" ] || "$top/scripts/wineprefix.sh"
wineserver -p >/dev/null 2>&1
wintool() { (cd "$work" && wine "$windows/$1.exe" "${@:2}" </dev/null); }
mkdir -p "$work/linux/res" "$work/linux/art" "$work/linux/ppk" "$work/windows/res" "$work/windows/art" "$work/windows/ppk"
cp "$top/resources/texts.txt" "$work/texts.txt"
(
    cd "$work"
    "$native/mktexttable" texts.txt linux/texttable.bin
    "$native/mktexttable" --names texts.txt linux/texts.h
    "$native/artgen" resources linux/res >/dev/null
    "$native/artgen" artbook linux/art >/dev/null
) || fail "the native tools failed"
wintool mktexttable texts.txt windows/texttable.bin || fail "mktexttable.exe failed"
wintool mktexttable --names texts.txt windows/texts.h || fail "mktexttable.exe --names failed"
wintool artgen resources windows/res >/dev/null || fail "artgen.exe resources failed"
wintool artgen artbook windows/art >/dev/null || fail "artgen.exe artbook failed"

problems=0
problem() { echo "check-windows-tools ($KVL_WINE_ARCH): $*" >&2; problems=$((problems + 1)); }
same_bytes() { cmp -s "$work/linux/$1" "$work/windows/$1" || problem "$1 differs from the native tool's"; }
same_bytes texttable.bin
same_bytes texts.h

# Every bitmap packed by both ppk tools from the native painter's file, and
# one stored as the disc stores Art1_00.
shopt -s nullglob
bitmaps=()
for bmp in "$work"/linux/res/*.bmp "$work"/linux/art/*.bmp; do bitmaps+=("${bmp#"$work"/}"); done
[ ${#bitmaps[@]} -gt 0 ] || fail "the native artgen drew no bitmaps"
for bmp in "${bitmaps[@]}"; do
    name=$(basename "$bmp" .bmp)
    "$native/ppk" pack "$work/$bmp" "$work/linux/ppk/$name.ppk" || fail "ppk could not pack $bmp"
    wintool ppk pack "$bmp" "windows/ppk/$name.ppk" || fail "ppk.exe could not pack $bmp"
    same_bytes "ppk/$name.ppk"
done
"$native/ppk" pack --stored "$work/linux/art/Art1_00.bmp" "$work/linux/ppk/stored.ppk"
wintool ppk pack --stored linux/art/Art1_00.bmp windows/ppk/stored.ppk || fail "ppk.exe --stored failed"
same_bytes ppk/stored.ppk

# The pictures, frame by frame (an icon holds several).
pictures=0
identical=0
for f in "$work"/linux/res/* "$work"/linux/art/*; do
    rel=${f#"$work"/linux/}
    w=$work/windows/$rel
    [ -f "$w" ] || { problem "artgen.exe did not draw $rel"; continue; }
    pictures=$((pictures + 1))
    cmp -s "$f" "$w" && { identical=$((identical + 1)); continue; }
    shape_linux=$(identify -format '%m %w %h %z %r\n' "$f")
    shape_windows=$(identify -format '%m %w %h %z %r\n' "$w")
    if [ "$shape_linux" != "$shape_windows" ]; then
        problem "$rel: $(echo $shape_windows) where the native tool draws $(echo $shape_linux)"
        continue
    fi
    frame=0
    while read -r _ width height _; do
        rc=0
        ae=$(compare -metric AE -fuzz 2% "$f[$frame]" "$w[$frame]" null: 2>&1) || rc=$?
        [ $rc -le 1 ] || { problem "$rel: compare failed: $ae"; break; }
        if awk -v ae="$ae" -v n=$((width * height)) 'BEGIN { exit !(ae * 1000 > n) }'; then
            problem "$rel (picture $frame): $ae of $((width * height)) pixels differ beyond 2 %"
        fi
        frame=$((frame + 1))
    done <<<"$shape_linux"
done
[ $problems -eq 0 ] || fail "$problems output(s) of the Windows host tools differ from the native tools'"
echo "Windows host tools ($KVL_WINE_ARCH): the text table, its names and ${#bitmaps[@]} packed pictures (and a stored one) are" \
     "byte-identical; $pictures pictures drawn, $identical byte-identical, the rest within 0.1 % beyond a 2 % fuzz"
