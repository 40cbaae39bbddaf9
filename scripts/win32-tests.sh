#!/bin/bash
# Runs the Win32 tests of one Windows tree under Wine, in that tree's test
# prefix: KVL_WINE_ARCH=win32 (the default) tests build/win32 on the disc
# that ships, out/disc; win64 tests build/win64 on its copy of the disc,
# build/disc64. That disc is staged as a CD-ROM drive R: of the prefix for
# the tests that need one. Arguments go to ctest.
# The prefix's server is stopped at the end, whatever the result.
set -euo pipefail
. "$(dirname "$0")/wine-env.sh"
trap 'wineserver -k 2>/dev/null || true' EXIT
tree=$KVL_TOP/build/$KVL_WINE_ARCH
case $KVL_WINE_ARCH in
win32) disc=$KVL_TOP/out/disc ;;
win64) disc=$KVL_TOP/build/disc64 ;;
esac
[ -f "$disc/autorun.inf" ] || { echo "win32-tests: no disc in $disc" >&2; exit 1; }
[ -f "$tree/CTestTestfile.cmake" ] || { echo "win32-tests: no tests built in $tree" >&2; exit 1; }
staged=$KVL_TOP/build/testdiscs-$KVL_WINE_ARCH
testdisc=$staged/testdisc
rm -rf "$staged" && mkdir -p "$testdisc" && cp -r "$disc/." "$testdisc/"
# Which Wine ran the tests, for scripts/windows-tests.sh to say.
wine --version >"$staged/wine-version" 2>/dev/null || echo "Wine of unknown version" >"$staged/wine-version"
# A second disc, S:, for the end-to-end tests: the launcher with every
# program it may start replaced by the recorder, and an install folder.
recdisc=$staged/recorderdisc
recorder=$tree/bin/Recorder.exe
mkdir -p "$recdisc/Launcher" "$recdisc/KVL" "$recdisc/CD" "$recdisc/Installed KVL"
cp "$disc/Launcher/"* "$recdisc/Launcher/"
cp "$disc/KVL/ReadMe.txt" "$recdisc/KVL/"
for f in Launcher/Notepad.exe Setup.exe CD/Setup.exe "Installed KVL/KVL.EXE" "Installed KVL/Uninst.exe"; do
    cp "$recorder" "$recdisc/$f"
done
# The demo disc once more, as CD-ROM T:, for the end-to-end test of a disc
# installed from one drive letter and started from another.
movedisc=$staged/testdisc-moved
mkdir -p "$movedisc" && cp -r "$disc/." "$movedisc/"
"$KVL_TOP/scripts/wineprefix.sh" r "$testdisc" s "$recdisc" t "$movedisc"
# The launcher starts Notepad from the Windows folder by its full path: the
# test prefix's is the recorder too (the one beside the launcher must not run).
cp "$recorder" "$WINEPREFIX/drive_c/windows/notepad.exe"
# Keep one server and Wine's own background processes up for the whole run,
# started here with their output away from CTest: a background process
# that held a test's output open would make CTest wait for it.
wineserver -p >/dev/null 2>&1
wine cmd /c exit >/dev/null 2>&1 </dev/null
cd "$tree"
rc=0
ctest --output-on-failure "$@" || rc=$?
exit $rc
