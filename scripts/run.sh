#!/bin/bash
# Starts the launcher from the demo disc under Wine, the disc mapped as
# CD-ROM drive D:. With an X display it opens for real; without one the
# demo tour runs on a virtual display and saves screenshots of each step.
# The disc that ships is 32-bit; where this machine cannot run it, the
# 64-bit copy of the same sources (build/disc64) runs under the 64-bit
# Wine instead, and the script says so.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
export KVL_WINE_ARCH
KVL_WINE_ARCH=$("$top/scripts/machine.sh" tree)
if [ "$KVL_WINE_ARCH" = win32 ]; then
    disc=$top/out/disc
    export KVL_WINEPREFIX=${KVL_WINEPREFIX_DIR:-$top/build}/wineprefix-run
else
    disc=$top/build/disc64
    export KVL_WINEPREFIX=${KVL_WINEPREFIX_DIR:-$top/build}/wineprefix64-run
    echo "The 64-bit copy of the disc ($disc) runs under the 64-bit Wine:" \
         "$("$top/scripts/machine.sh" why-no-win32)"
fi
[ -f "$disc/autorun.inf" ] || { echo "run: no disc in $disc" >&2; exit 1; }
. "$top/scripts/wine-env.sh"
"$top/scripts/wineprefix.sh" d "$disc"
if [ -n "${DISPLAY:-}" ] && [ -z "${KVL_HEADLESS:-}" ]; then
    cd "$disc/Launcher"
    LC_ALL=fr_FR.UTF-8 wine 'D:\Launcher\Launcher.exe' 2>/dev/null
    exit 0
fi
exec "$top/scripts/with-display.sh" "$top/scripts/run-headless.sh"
