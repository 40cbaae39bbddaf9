#!/bin/bash
# Runs a command on a fresh virtual X display with a small window manager,
# then takes the display down, also when the command fails or the run is
# interrupted. Usage: with-display.sh COMMAND...
set -euo pipefail
fifo=$(mktemp -u)
xvfb=
wm=
cleanup() {
    if [ -n "$wm" ]; then kill "$wm" 2>/dev/null || true; fi
    if [ -n "$xvfb" ]; then kill "$xvfb" 2>/dev/null || true; fi
    rm -f "$fifo"
    wait 2>/dev/null || true
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
xvfb=$!
read -r n <"$fifo" || { echo "with-display: Xvfb did not start" >&2; exit 1; }
export DISPLAY=:$n
if command -v openbox >/dev/null; then openbox >/dev/null 2>&1 & wm=$!; sleep 0.3; fi
rc=0
"$@" || rc=$?
exit $rc
