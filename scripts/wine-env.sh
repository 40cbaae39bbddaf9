# Sourced by the scripts that run Wine. KVL_WINE_ARCH names the Windows
# tree whose programs run: win32, the disc's 32-bit programs (the default),
# or win64, the 64-bit build of the same sources, which runs where the
# machine cannot run 32-bit code. Each has a prefix of its own, quiet, in
# KVL_WINEPREFIX_DIR (build/ by default; another Wine's machine names its
# own, scripts/guest.sh) unless KVL_WINEPREFIX names one.
KVL_TOP=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export KVL_WINE_ARCH=${KVL_WINE_ARCH:-win32}
# Sourced twice, the loader is still looked up on the PATH, not below.
unset -f wine wineboot winepath

# kvl_make_prefix LOADER: makes the prefix WINEPREFIX with the loader
# LOADER: no crash dialog (a crash fails the run instead of hanging it).
# Fails when no prefix was made.
kvl_make_prefix() {
    mkdir -p "$(dirname "$WINEPREFIX")"
    "$1" wineboot.exe -i </dev/null >/dev/null 2>&1 || true
    "$1" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
        </dev/null >/dev/null 2>&1 || true
    wineserver -w 2>/dev/null || true
    [ -f "$WINEPREFIX/system.reg" ]
}

# kvl_find_wine64: prints the loader that runs the 64-bit prefix's cmd.exe,
# trying Debian's (not on the PATH), then `wine64`, then `wine`: Debian's
# `wine` prefers the 32-bit loader whenever wine32 is installed, and a Wine
# that has no `wine64` (Wine 11) runs both sizes with `wine`. A loader that
# cannot make the prefix leaves none behind for the next one.
kvl_find_wine64() {
    local c path rc
    for c in /usr/lib/wine/wine64 wine64 wine; do
        path=$(command -v "$c") || continue
        export WINELOADER=$path
        if [ ! -f "$WINEPREFIX/system.reg" ] && ! kvl_make_prefix "$path"; then
            rm -rf "$WINEPREFIX"
            continue
        fi
        rc=0
        "$path" cmd.exe /c exit 42 </dev/null >/dev/null 2>&1 || rc=$?
        # The server that the trial started goes before anything else runs:
        # the scripts start theirs as they want it.
        wineserver -w 2>/dev/null || true
        if [ "$rc" = 42 ]; then
            echo "$path" >"$WINEPREFIX/kvl-loader"
            echo "$path"
            return 0
        fi
    done
    return 1
}

case $KVL_WINE_ARCH in
win32)
    export WINEARCH=win32
    export WINEPREFIX=${KVL_WINEPREFIX:-${KVL_WINEPREFIX_DIR:-$KVL_TOP/build}/wineprefix}
    # By its path: `wine` below is a function of that name.
    KVL_WINE=$(command -v wine || echo /usr/bin/wine)
    unset WINELOADER
    ;;
win64)
    export WINEARCH=win64
    export WINEPREFIX=${KVL_WINEPREFIX:-${KVL_WINEPREFIX_DIR:-$KVL_TOP/build}/wineprefix64}
    # The loader: found once for the prefix, by trying, and kept in it (kvl-loader); the
    # scripts and programs started from here inherit it.
    if [ "${KVL_WINE64_PREFIX:-}" != "$WINEPREFIX" ] || [ ! -x "${KVL_WINE64:-}" ]; then
        KVL_WINE64=$(cat "$WINEPREFIX/kvl-loader" 2>/dev/null || true)
        [ -f "$WINEPREFIX/system.reg" ] && [ -x "$KVL_WINE64" ] || KVL_WINE64=$(kvl_find_wine64) || {
            echo "wine-env: no Wine loader here runs the 64-bit prefix $WINEPREFIX" >&2
            return 1
        }
        export KVL_WINE64 KVL_WINE64_PREFIX=$WINEPREFIX
    fi
    KVL_WINE=$KVL_WINE64
    # Every program Wine starts in turn uses it too.
    export WINELOADER=$KVL_WINE
    ;;
*)
    echo "wine-env: KVL_WINE_ARCH is '$KVL_WINE_ARCH', not win32 or win64" >&2
    return 1
    ;;
esac
export WINEDEBUG=${WINEDEBUG:--all}
# Neither Mono nor Gecko: no installer dialogs when a prefix is created.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
# The loader of the tree's Wine, and Wine's own tools through it.
wine() { "$KVL_WINE" "$@"; }
wineboot() { "$KVL_WINE" wineboot.exe "$@"; }
winepath() { "$KVL_WINE" winepath.exe "$@"; }
