#!/bin/bash
# Runs the Win32 tests of the Windows trees, each on a private display,
# under this machine's Wine and under Debian 13's Wine 10:
#  - this machine's Wine: the 64-bit tree here, always, so that it never
#    rots where 32-bit code also runs; the 32-bit tree, the disc that
#    ships, here where the machine runs it, else in the emulated Debian 12
#    machine of scripts/guest.sh;
#  - Wine 10: each tree in the Debian 13 root (chroot) where this machine
#    runs its code, else in the emulated Debian 13 machine.
# Each machine is built once and cached; its build time is reported apart.
# Usage: windows-tests.sh [--here all|none] [--wine10 all|e2e|none]
#                         [--wine10-emulated yes|no] [TREE]...
#   --here    the tests under this machine's Wine (default all)
#   --wine10  the tests under Wine 10: every one, the end-to-end ones
#             (test_e2e_*, with their variants) or none (the default)
#   --wine10-emulated no: under Wine 10, only the trees this machine runs
#             itself (the emulated Debian 13 machine takes 13 minutes for
#             the 32-bit end-to-end tests on 2 cores)
#   TREE      win64 or win32: one tree only; both by default.
# The last lines say which Wine ran which tree's tests, and where. Fails
# when a tree's tests fail.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
here=all wine10=none emulated=yes trees=()
usage() { sed -n '11,19s/^# \{0,1\}//p' "$0" >&2; exit 2; }
while [ $# -gt 0 ]; do
    case $1 in
    --here) [ $# -ge 2 ] || usage; here=$2; shift 2 ;;
    --wine10) [ $# -ge 2 ] || usage; wine10=$2; shift 2 ;;
    --wine10-emulated) [ $# -ge 2 ] || usage; emulated=$2; shift 2 ;;
    win64|win32) trees+=("$1"); shift ;;
    *) usage ;;
    esac
done
case $here in all|none) ;; *) usage ;; esac
case $wine10 in all|e2e|none) ;; *) usage ;; esac
case $emulated in yes|no) ;; *) usage ;; esac
[ ${#trees[@]} -gt 0 ] || trees=(win64 win32)
rc=0
said=()

# tests SCOPE: the ctest arguments of a scope.
tests() {
    case $1 in
    all) ;;
    e2e) echo "-R test_e2e_" ;;
    esac
}
# wine_version TREE: the Wine that the last run of TREE's tests used, as
# win32-tests.sh wrote it down.
wine_version() { cat "$top/build/testdiscs-$1/wine-version" 2>/dev/null || echo "Wine of unknown version"; }
name() { case $1 in win64) echo "64-bit tree" ;; win32) echo "32-bit disc" ;; esac; }
what() { case $1 in all) echo "every test" ;; e2e) echo "the end-to-end tests" ;; esac; }

# in_guest RECIPE TREE SCOPE WHERE: TREE's tests in an emulated machine.
in_guest() {
    local recipe=$1 tree=$2 scope=$3 where=$4
    echo "The $(name "$tree")'s tests run in $where: $why"
    SECONDS=0
    "$top/scripts/guest.sh" --recipe "$recipe" build >/dev/null
    echo "${where^} is ready after $SECONDS s (built once, then cached)"
    SECONDS=0
    # shellcheck disable=SC2046
    "$top/scripts/guest.sh" --recipe "$recipe" run --timeout 2400 -- \
        env KVL_WINE_ARCH="$tree" scripts/with-display.sh scripts/win32-tests.sh $(tests "$scope") || rc=1
    echo "${where^} ran the $(name "$tree")'s tests in $SECONDS s"
    said+=("$(name "$tree"): $(what "$scope") under $(wine_version "$tree") in $where")
}

if [ "$here" = all ]; then
    for tree in "${trees[@]}"; do
        case $tree in
        win64)
            KVL_WINE_ARCH=win64 "$top/scripts/with-display.sh" "$top/scripts/win32-tests.sh" || rc=1
            said+=("$(name win64): every test under $(wine_version win64) here")
            ;;
        win32)
            why=$("$top/scripts/machine.sh" why-no-win32)
            if [ -z "$why" ]; then
                KVL_WINE_ARCH=win32 "$top/scripts/with-display.sh" "$top/scripts/win32-tests.sh" || rc=1
                said+=("$(name win32): every test under $(wine_version win32) here")
            else
                in_guest debian12 win32 all "the emulated Debian 12 machine"
            fi
            ;;
        esac
    done
fi

if [ "$wine10" != none ]; then
    for tree in "${trees[@]}"; do
        where="the Debian 13 root (chroot)"
        why=
        if [ "$tree" = win32 ] && ! "$top/scripts/machine.sh" kernel-i386; then
            why="this machine's kernel runs 64-bit code only"
            if [ "$emulated" = no ]; then
                said+=("$(name win32): not under Wine 10 ($why; make test-wine10 runs them in the emulated Debian 13 machine)")
            else
                in_guest debian13 win32 "$wine10" "the emulated Debian 13 machine"
            fi
            continue
        fi
        SECONDS=0
        "$top/scripts/guest.sh" --recipe debian13-root build >/dev/null
        echo "${where^} is ready after $SECONDS s (built once, then cached)"
        SECONDS=0
        # shellcheck disable=SC2046
        "$top/scripts/guest.sh" --recipe debian13-root run --timeout 2400 -- \
            env KVL_WINE_ARCH="$tree" scripts/with-display.sh scripts/win32-tests.sh $(tests "$wine10") || rc=1
        echo "${where^} ran the $(name "$tree")'s tests in $SECONDS s"
        said+=("$(name "$tree"): $(what "$wine10") under $(wine_version "$tree") in $where")
    done
fi

for line in "${said[@]}"; do echo "Windows tests, $line"; done
exit $rc
