# Sourced by the scripts that run Wine. KVL_WINE_ARCH names the Windows
# tree whose programs run: win32, the disc's 32-bit programs (the default),
# or win64, the 64-bit build of the same sources, which runs where the
# machine cannot run 32-bit code. Each has a prefix of its own, quiet.
KVL_TOP=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export KVL_WINE_ARCH=${KVL_WINE_ARCH:-win32}
# Sourced twice, the loader is still looked up on the PATH, not below.
unset -f wine wineboot winepath
case $KVL_WINE_ARCH in
win32)
    export WINEARCH=win32
    export WINEPREFIX=${KVL_WINEPREFIX:-$KVL_TOP/build/wineprefix}
    # By its path: `wine` below is a function of that name.
    KVL_WINE=$(command -v wine || echo /usr/bin/wine)
    unset WINELOADER
    ;;
win64)
    export WINEARCH=win64
    export WINEPREFIX=${KVL_WINEPREFIX:-$KVL_TOP/build/wineprefix64}
    # Debian's `wine` prefers the 32-bit loader whenever wine32 is
    # installed: the 64-bit one is named, and every program Wine starts in
    # turn uses it too.
    if [ -x /usr/lib/wine/wine64 ]; then
        KVL_WINE=/usr/lib/wine/wine64
    elif command -v wine64 >/dev/null; then
        KVL_WINE=$(command -v wine64)
    else
        KVL_WINE=$(command -v wine || echo wine)
    fi
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
