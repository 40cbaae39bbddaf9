#!/bin/bash
# Runs the Win32 tests under Wine in the 32-bit test prefix. The demo disc
# is staged as a CD-ROM drive R: of that prefix for the tests that need one.
# The prefix's server is stopped at the end, whatever the result.
set -euo pipefail
. "$(dirname "$0")/wine-env.sh"
trap 'wineserver -k 2>/dev/null || true' EXIT
testdisc=$KVL_TOP/build/testdisc
rm -rf "$testdisc" && mkdir -p "$testdisc" && cp -r "$KVL_TOP/out/disc/." "$testdisc/"
# A second disc, S:, for the end-to-end tests: the launcher with every
# program it may start replaced by the recorder, and an install folder.
recdisc=$KVL_TOP/build/recorderdisc
recorder=$KVL_TOP/build/win32/bin/Recorder.exe
rm -rf "$recdisc" && mkdir -p "$recdisc/Launcher" "$recdisc/KVL" "$recdisc/CD" "$recdisc/Installed KVL"
cp "$KVL_TOP/out/disc/Launcher/"* "$recdisc/Launcher/"
cp "$KVL_TOP/out/disc/KVL/ReadMe.txt" "$recdisc/KVL/"
for f in Launcher/Notepad.exe Setup.exe CD/Setup.exe "Installed KVL/KVL.EXE" "Installed KVL/Uninst.exe"; do
    cp "$recorder" "$recdisc/$f"
done
# The demo disc once more, as CD-ROM T:, for the end-to-end test of a disc
# installed from one drive letter and started from another.
movedisc=$KVL_TOP/build/testdisc-moved
rm -rf "$movedisc" && mkdir -p "$movedisc" && cp -r "$KVL_TOP/out/disc/." "$movedisc/"
"$KVL_TOP/scripts/wineprefix.sh" r "$testdisc" s "$recdisc" t "$movedisc"
# Keep one server and Wine's own background processes up for the whole run,
# started here with their output away from CTest: a background process
# that held a test's output open would make CTest wait for it.
wineserver -p >/dev/null 2>&1
wine cmd /c exit >/dev/null 2>&1 </dev/null
cd "$KVL_TOP/build/win32"
rc=0
ctest --output-on-failure "$@" || rc=$?
exit $rc
