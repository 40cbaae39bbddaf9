#!/bin/bash
# The one place that tells what this machine can run, found by trying,
# never from its name or its kernel's version:
#   machine.sh kernel-i386   exit 0 when the kernel runs 32-bit x86
#                            programs (a tiny static one, written here)
#   machine.sh wine-win32    exit 0 when the installed Wine runs a 32-bit
#                            Windows program (cmd.exe of the 32-bit test
#                            prefix, which it creates when missing)
#   machine.sh why-no-win32  prints in one line why the 32-bit tree's
#                            Windows programs cannot run here (nothing when
#                            they can)
#   machine.sh tree          prints the Windows tree that `make run` and
#                            `make bench` run here: win32, the disc that
#                            ships, where Wine runs it, else win64
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)

# A 96-byte ELF program for i386, statically linked: its one instruction
# sequence is exit(42) through int 0x80.
kernel_i386() {
    local dir rc=0
    dir=$(mktemp -d)
    printf '\177ELF\001\001\001\000\000\000\000\000\000\000\000\000' >"$dir/exit42"
    printf '\002\000\003\000\001\000\000\000\124\200\004\010\064\000\000\000' >>"$dir/exit42"
    printf '\000\000\000\000\000\000\000\000\064\000\040\000\001\000\000\000' >>"$dir/exit42"
    printf '\000\000\000\000\001\000\000\000\000\000\000\000\000\200\004\010' >>"$dir/exit42"
    printf '\000\200\004\010\140\000\000\000\140\000\000\000\005\000\000\000' >>"$dir/exit42"
    printf '\000\020\000\000\273\052\000\000\000\270\001\000\000\000\315\200' >>"$dir/exit42"
    chmod 755 "$dir/exit42"
    "$dir/exit42" 2>/dev/null || rc=$?
    rm -rf "$dir"
    [ "$rc" = 42 ]
}

# cmd.exe of a 32-bit prefix is a 32-bit Windows program.
wine_win32() {
    kernel_i386 || return 1
    (
        export KVL_WINE_ARCH=win32
        . "$top/scripts/wine-env.sh"
        command -v "$KVL_WINE" >/dev/null || exit 1
        if [ ! -f "$WINEPREFIX/system.reg" ]; then
            # A prefix that the 32-bit Wine could not make is no prefix.
            "$top/scripts/wineprefix.sh" >/dev/null 2>&1 || true
            if [ ! -f "$WINEPREFIX/system.reg" ]; then rm -rf "$WINEPREFIX"; exit 1; fi
        fi
        rc=0
        wine cmd.exe /c exit 42 </dev/null >/dev/null 2>&1 || rc=$?
        [ "$rc" = 42 ]
    )
}

case ${1:-} in
kernel-i386) kernel_i386 ;;
wine-win32) wine_win32 ;;
why-no-win32)
    if ! kernel_i386; then
        echo "this machine's kernel runs 64-bit code only"
    elif ! wine_win32; then
        echo "the installed Wine cannot run a 32-bit Windows program"
    fi
    ;;
tree)
    if wine_win32; then echo win32; else echo win64; fi
    ;;
*)
    echo "usage: machine.sh kernel-i386 | wine-win32 | why-no-win32 | tree" >&2
    exit 2
    ;;
esac
