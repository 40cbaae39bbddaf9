#!/bin/bash
# Lays out the demo disc at out/disc from the Windows build and checks it
# against the list of its files (scripts/disc-files.txt): a file that was
# not made stops the build with its name. Every file and folder gets the
# same modes and the time of SOURCE_DATE_EPOCH, so that the image made from
# the disc is the same in every build.
# KVL_WIN32_BIN and KVL_TOOLS_BIN name the folders of the Windows programs
# and of the host tools, when they are not those of `make disc`, and
# KVL_DISC_DIR the disc's folder, when it is not out/disc (the 64-bit
# tree's copy of the disc, for its tests, lies under build/).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/scripts/source-date.sh"
bin=${KVL_WIN32_BIN:-$top/build/win32/bin}
tools=${KVL_TOOLS_BIN:-$top/build/native/bin}
disc=${KVL_DISC_DIR:-$top/out/disc}
fail() { echo "make-disc: $*" >&2; exit 1; }
# ship FILE FOLDER: the disc's copy of a file of the build.
ship() {
    [ -f "$1" ] || fail "$(basename "$1") was not made (no $1)"
    cp "$1" "$2/"
}

rm -rf "$disc"
mkdir -p "$disc/Launcher" "$disc/KVL" "$disc/Artbook"
ship "$bin/Launcher.exe" "$disc/Launcher"
ship "$bin/cpuinf32.dll" "$disc/Launcher"
ship "$bin/Setup.exe" "$disc"
ship "$bin/KVL.EXE" "$disc/KVL"
# The read-me is kept in UTF-8 here; Notepad of the time reads Windows-1252
# with CR LF line ends.
iconv -f UTF-8 -t WINDOWS-1252 "$top/standins/ReadMe.txt" | sed 's/$/\r/' > "$disc/KVL/ReadMe.txt" ||
    fail "cannot convert standins/ReadMe.txt to Windows-1252"
# Artbook: the picture generator draws Art<L>_<NN>.bmp, packed here with
# our ppk tool; Art1_00 is stored unpacked ('U') so both markers ship.
"$top/scripts/make-artbook.sh" "$tools" "$disc/Artbook" || fail "the artbook could not be made"
printf '[autorun]\r\nopen=Launcher\\Launcher.exe\r\nicon=Launcher\\Launcher.exe,0\r\nlabel=K.V.L\r\n' > "$disc/autorun.inf"

expected=$(sed -e 's/#.*//' -e 's/[[:space:]]*$//' -e '/^$/d' "$top/scripts/disc-files.txt" | LC_ALL=C sort)
made=$(cd "$disc" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
missing=$(LC_ALL=C comm -23 <(echo "$expected") <(echo "$made"))
extra=$(LC_ALL=C comm -13 <(echo "$expected") <(echo "$made"))
[ -z "$missing" ] || fail "not made: $(echo $missing)"
[ -z "$extra" ] || fail "not in scripts/disc-files.txt: $(echo $extra)"

find "$disc" -type d -exec chmod 755 {} +
find "$disc" -type f -exec chmod 644 {} +
find "$disc" -type f \( -iname '*.exe' -o -iname '*.dll' \) -exec chmod 755 {} +
find "$disc" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
echo "Disc image: $disc"
