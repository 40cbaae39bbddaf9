#!/bin/bash
# Runs a command on a fresh virtual X display with a small window manager,
# then takes the display down. Usage: with-display.sh COMMAND...
n=90
while [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ]; do n=$((n + 1)); done
Xvfb :$n -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do [ -e /tmp/.X11-unix/X$n ] && break; sleep 0.1; done
export DISPLAY=:$n
wm=
if command -v openbox >/dev/null; then openbox >/dev/null 2>&1 & wm=$!; fi
"$@"
rc=$?
[ -n "$wm" ] && kill $wm 2>/dev/null
kill $xvfb 2>/dev/null
wait 2>/dev/null
exit $rc
