#!/bin/bash
# Runs a Windows program in the test prefix with the screen at DPI dots per
# inch, and puts the prefix back whatever happens: the value would
# otherwise stay for every later program.
# Usage: with-dpi.sh DPI PROGRAM [ARGUMENT]...
set -euo pipefail
. "$(dirname "$0")/wine-env.sh"
dpi=$1; shift
restore() { wine reg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f >/dev/null 2>&1 || true; }
trap restore EXIT
trap 'exit 143' TERM INT
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1 || exit 1
KVL_EXPECT_DPI=$dpi "$KVL_TOP/scripts/wine-run" "$@"
