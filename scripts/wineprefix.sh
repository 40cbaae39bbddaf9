#!/bin/bash
# Creates the Wine prefix named by WINEPREFIX when it does not exist yet:
# of the tree KVL_WINE_ARCH names (32- or 64-bit), no crash dialog (a
# crash fails the run instead of hanging it).
# Usage: wineprefix.sh [LETTER PATH]... maps each PATH as a CD-ROM drive.
set -euo pipefail
. "$(dirname "$0")/wine-env.sh"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    kvl_make_prefix "$KVL_WINE" || true
fi
# A 64-bit Windows names the folders of its 32-bit programs in the 32-bit
# registry view too, where the disc's Setup reads them. A prefix made
# where only 64-bit code runs lacks them: they are written as Windows has
# them.
if [ "$KVL_WINE_ARCH" = win64 ] &&
    ! wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion' /v CommonFilesDir /reg:32 >/dev/null 2>&1; then
    for value in 'ProgramFilesDir=C:\Program Files (x86)' 'CommonFilesDir=C:\Program Files (x86)\Common Files'; do
        wine reg add 'HKLM\Software\Microsoft\Windows\CurrentVersion' /v "${value%%=*}" /t REG_SZ \
            /d "${value#*=}" /f /reg:32 >/dev/null 2>&1
    done
fi
# The callers start a server of their own.
wineserver -w
changed=0
while [ $# -ge 2 ]; do
    letter=$(echo "$1" | tr 'A-Z' 'a-z'); path=$(cd "$2" && pwd)
    if [ "$(readlink "$WINEPREFIX/dosdevices/$letter:" 2>/dev/null)" != "$path" ]; then
        ln -sfn "$path" "$WINEPREFIX/dosdevices/$letter:"
        wine reg add 'HKLM\Software\Wine\Drives' /v "$letter:" /t REG_SZ /d cdrom /f >/dev/null 2>&1
        changed=1
    fi
    shift 2
done
# The mount manager reads the drive types when the server starts.
if [ $changed = 1 ]; then wineserver -k 2>/dev/null || true; fi
