#!/bin/bash
# Runs the Win32 tests under Wine in the 32-bit test prefix.
set -u
. "$(dirname "$0")/wine-env.sh"
"$KVL_TOP/scripts/wineprefix.sh"
# Keep one server and Wine's own background processes up for the whole run,
# started here with their output away from CTest: a background process
# that held a test's output open would make CTest wait for it.
wineserver -p >/dev/null 2>&1
wine cmd /c exit >/dev/null 2>&1 </dev/null
cd "$KVL_TOP/build/win32" && ctest --output-on-failure "$@"
rc=$?
wineserver -k 2>/dev/null
exit $rc
