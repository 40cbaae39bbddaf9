#!/bin/bash
# The headless half of `make run`: on the virtual display, the demo tour
# plays the user's part (main menu, Install with Setup, Play through the
# graphics setup into the game stand-in, Uninstall) and asks for a picture
# at each step (the tour is tools/demotour.cpp, DemoTour.exe of the Windows
# tree that runs here); this script takes them, then closes everything.
# The tour and the prefix's server are stopped at the end, whatever the
# result.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
. "$top/scripts/wine-env.sh"
tour=
cleanup() {
    if [ -n "$tour" ]; then kill "$tour" 2>/dev/null || true; fi
    wineserver -k 2>/dev/null || true
    rm -rf "$requests"
}
shots=$top/out/screenshots
requests=$top/build/tour-requests
rm -rf "$shots" "$requests"
mkdir -p "$shots" "$requests"
trap cleanup EXIT

# Shown as on a French Windows: the system's own buttons (Oui, Non) too.
LC_ALL=fr_FR.UTF-8 "$KVL_WINE" "$top/build/$KVL_WINE_ARCH/bin/DemoTour.exe" "$(winepath -w "$requests")" 2>/dev/null &
tour=$!
# Each request holds the window's screen rectangle: the picture is cut to
# it, with a small margin for the window manager's frame. Where ImageMagick
# is missing (the test machines of scripts/guest.sh), the whole screen is
# kept as an X window dump, NAME.xwd, beside the rectangle, NAME.req.
take() {
    local req=$1 name x= y= w= h=
    name=$(basename "$req" .req)
    if ! command -v import >/dev/null; then
        xwd -root -silent -out "$shots/$name.xwd" || echo "run-headless: could not take $name" >&2
        mv "$req" "$shots/$name.req"
        return
    fi
    read -r x y w h < <(tr -d '\r' < "$req") || true
    if [ -n "$h" ] && [ "$w" -gt 0 ] && [ "$h" -gt 0 ]; then
        x=$((x > 6 ? x - 6 : 0)); y=$((y > 6 ? y - 6 : 0))
        import -window root -crop "$((w + 12))x$((h + 12))+$x+$y" +repage "$shots/$name.png" 2>/dev/null ||
            echo "run-headless: could not take $name" >&2
    else
        import -window root "$shots/$name.png" 2>/dev/null || echo "run-headless: could not take $name" >&2
    fi
    rm -f "$req"
}
while kill -0 $tour 2>/dev/null; do
    for req in "$requests"/*.req; do
        if [ -e "$req" ]; then take "$req"; fi
    done
    sleep 0.2
done
rc=0
wait $tour || rc=$?
tour=
echo "Screenshots in $shots:"
ls -1 "$shots" | sed 's/^/  /'
exit $rc
