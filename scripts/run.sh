#!/bin/bash
# Starts the launcher from the demo disc under Wine, the disc mapped as
# CD-ROM drive D:. With an X display it opens for real; without one the
# demo tour runs on a virtual display and saves screenshots of each step.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
export KVL_WINEPREFIX=$top/build/wineprefix-run
. "$top/scripts/wine-env.sh"
"$top/scripts/wineprefix.sh" d "$top/out/disc"
if [ -n "${DISPLAY:-}" ] && [ -z "${KVL_HEADLESS:-}" ]; then
    cd "$top/out/disc/Launcher"
    LC_ALL=fr_FR.UTF-8 wine 'D:\Launcher\Launcher.exe' 2>/dev/null
    exit 0
fi
exec "$top/scripts/with-display.sh" "$top/scripts/run-headless.sh"
