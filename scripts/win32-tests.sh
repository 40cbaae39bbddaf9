#!/bin/bash
# Runs the Win32 tests under Wine in the 32-bit test prefix. The demo disc
# is staged as a CD-ROM drive R: of that prefix for the tests that need one.
set -u
. "$(dirname "$0")/wine-env.sh"
testdisc=$KVL_TOP/build/testdisc
rm -rf "$testdisc" && mkdir -p "$testdisc" && cp -r "$KVL_TOP/out/disc/." "$testdisc/"
"$KVL_TOP/scripts/wineprefix.sh" r "$testdisc"
# Keep one server and Wine's own background processes up for the whole run,
# started here with their output away from CTest: a background process
# that held a test's output open would make CTest wait for it.
wineserver -p >/dev/null 2>&1
wine cmd /c exit >/dev/null 2>&1 </dev/null
cd "$KVL_TOP/build/win32" && ctest --output-on-failure "$@"
rc=$?
wineserver -k 2>/dev/null
exit $rc
