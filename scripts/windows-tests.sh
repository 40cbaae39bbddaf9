#!/bin/bash
# Runs the Win32 tests of the Windows trees, each on a private display:
#  - the 64-bit tree under Wine here, always, so that it never rots where
#    32-bit code also runs;
#  - the 32-bit tree, the disc that ships, under Wine here where the
#    machine runs it, else in the emulated machine of scripts/guest.sh
#    (built once and cached; its build time is reported apart).
# Usage: windows-tests.sh [win64|win32]: one tree only; both by default.
# The last line says which trees' tests ran, and where. Fails when a
# tree's tests fail.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
trees=${1:-win64 win32}
rc=0
said=()
for tree in $trees; do
    case $tree in
    win64)
        KVL_WINE_ARCH=win64 "$top/scripts/with-display.sh" "$top/scripts/win32-tests.sh" || rc=1
        said+=("64-bit tree under Wine here")
        ;;
    win32)
        why=$("$top/scripts/machine.sh" why-no-win32)
        if [ -z "$why" ]; then
            KVL_WINE_ARCH=win32 "$top/scripts/with-display.sh" "$top/scripts/win32-tests.sh" || rc=1
            said+=("32-bit disc under Wine here")
        else
            echo "The 32-bit disc's tests run in the emulated machine: $why"
            SECONDS=0
            "$top/scripts/guest.sh" build >/dev/null
            echo "The emulated machine is ready after $SECONDS s (built once, then cached)"
            SECONDS=0
            "$top/scripts/guest.sh" run --timeout 2400 -- \
                env KVL_WINE_ARCH=win32 scripts/with-display.sh scripts/win32-tests.sh || rc=1
            echo "The emulated machine ran the 32-bit disc's tests in $SECONDS s"
            said+=("32-bit disc in the emulated machine")
        fi
        ;;
    *)
        echo "usage: windows-tests.sh [win64|win32]" >&2
        exit 2
        ;;
    esac
done
summary=$(printf '%s; ' "${said[@]}")
echo "Windows tests: ${summary%; }"
exit $rc
