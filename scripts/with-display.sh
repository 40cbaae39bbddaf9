#!/bin/bash
# Runs a command on a fresh virtual X display with a small window manager,
# then takes the display down. Usage: with-display.sh COMMAND...
fifo=$(mktemp -u)
mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
xvfb=$!
read -r n <"$fifo"
rm -f "$fifo"
export DISPLAY=:$n
wm=
if command -v openbox >/dev/null; then openbox >/dev/null 2>&1 & wm=$!; sleep 0.3; fi
"$@"
rc=$?
[ -n "$wm" ] && kill $wm 2>/dev/null
kill $xvfb 2>/dev/null
wait 2>/dev/null
exit $rc
