#!/bin/bash
# Lays out the demo disc at out/disc from the Windows build.
set -e
top=$(cd "$(dirname "$0")/.." && pwd)
bin=$top/build/win32/bin
disc=$top/out/disc
rm -rf "$disc"
mkdir -p "$disc/Launcher" "$disc/KVL" "$disc/Artbook"
cp "$bin/Launcher.exe" "$disc/Launcher/"
[ -f "$bin/cpuinf32.dll" ] && cp "$bin/cpuinf32.dll" "$disc/Launcher/"
[ -f "$bin/Setup.exe" ] && cp "$bin/Setup.exe" "$disc/"
[ -f "$bin/KVL.EXE" ] && cp "$bin/KVL.EXE" "$disc/KVL/"
# The read-me is kept in UTF-8 here; Notepad of the time reads Windows-1252
# with CR LF line ends.
iconv -f UTF-8 -t WINDOWS-1252 "$top/standins/ReadMe.txt" | sed 's/$/\r/' > "$disc/KVL/ReadMe.txt"
# Artbook: the picture generator draws Art<L>_<NN>.bmp, packed here with
# our ppk tool; Art1_00 is stored unpacked ('U') so both markers ship.
"$top/scripts/make-artbook.sh" "$top/build/native/bin" "$disc/Artbook"
printf '[autorun]\r\nopen=Launcher\\Launcher.exe\r\nicon=Launcher\\Launcher.exe,0\r\nlabel=K.V.L\r\n' > "$disc/autorun.inf"
echo "Disc image: $disc"
