#!/bin/bash
# Runs the Win32 tests of every Windows tree this machine can run, each on
# a private display: the 64-bit tree always, so that it never rots where
# 32-bit code also runs, and the 32-bit tree, the disc that ships, where
# the machine runs it. Its last line says which trees' tests ran, and why
# one did not. Fails when a tree's tests fail.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
rc=0
KVL_WINE_ARCH=win64 "$top/scripts/with-display.sh" "$top/scripts/win32-tests.sh" || rc=1
why=$("$top/scripts/machine.sh" why-no-win32)
if [ -z "$why" ]; then
    KVL_WINE_ARCH=win32 "$top/scripts/with-display.sh" "$top/scripts/win32-tests.sh" || rc=1
    echo "Windows tests: 64-bit tree and 32-bit disc, both under Wine here"
else
    echo "Windows tests: 64-bit tree under Wine here; the 32-bit disc's did not run: $why"
fi
exit $rc
