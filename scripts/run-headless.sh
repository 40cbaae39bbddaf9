#!/bin/bash
# The headless half of `make run`: start, wait for the main menu, take a
# screenshot, close the launcher.
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/scripts/wine-env.sh"
shots=$top/out/screenshots
mkdir -p "$shots"
cd "$top/out/disc/Launcher"
wine 'D:\Launcher\Launcher.exe' &
pid=$!
for _ in $(seq 60); do
    sleep 0.5
    kill -0 $pid 2>/dev/null || break
done
import -window root "$shots/launcher.png" 2>/dev/null || true
wineserver -k 2>/dev/null
wait $pid 2>/dev/null
echo "Screenshot: $shots/launcher.png"
