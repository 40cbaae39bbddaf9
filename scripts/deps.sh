#!/bin/bash
# Installs what the build, the tests and `make run` need on a Debian
# machine, when it is missing. Safe to run again.
# Anywhere else it installs nothing: it says what the build needs, and fails
# when a command it needs is missing.
set -euo pipefail
fail() { echo "deps: $*" >&2; exit 1; }

if [ -f /etc/debian_version ] && command -v apt-get >/dev/null && command -v dpkg-query >/dev/null; then
    # The 64-bit Windows tree is built and tested on every machine; the
    # 32-bit Wine only where the kernel runs 32-bit code, since it cannot
    # run anywhere else, and its i386 libraries would only tie the install
    # to a mirror's i386 indexes.
    # mmdebstrap makes the Debian 13 root of the tests under Wine 10.
    wanted=(cmake ninja-build g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine64 xvfb openbox x11-utils
            imagemagick googletest libbenchmark-dev clang libclang-rt-14-dev python3 xorriso mmdebstrap)
    i386=0
    if "$(dirname "$0")/machine.sh" kernel-i386; then
        i386=1
        wanted+=(wine32:i386)
    else
        # The 32-bit programs are tested in an emulated machine instead
        # (scripts/guest.sh), built from Debian's packages.
        wanted+=(qemu-system-x86 qemu-utils e2fsprogs)
    fi
    need=()
    have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
    for p in "${wanted[@]}"; do
        have_pkg "$p" || need+=("$p")
    done
    [ ${#need[@]} -eq 0 ] && exit 0
    echo "Installing: ${need[*]}"
    if [ "$(id -u)" != 0 ]; then SUDO=sudo; else SUDO=; fi
    if [ $i386 = 1 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
        $SUDO dpkg --add-architecture i386
    fi
    # A mirror can serve an index out of step with the others for a while
    # ("File has unexpected size"): try again, then go on with the indexes
    # that came, naming each that did not. Only a failed install stops.
    log=$(mktemp)
    trap 'rm -f "$log"' EXIT
    for try in 1 2 3; do
        if $SUDO apt-get update -q -o Acquire::Retries=3 >"$log" 2>&1; then
            break
        fi
        if [ $try = 3 ]; then
            failed=$(sed -n 's/^[EW]: Failed to fetch \([^ ]*\).*/\1/p' "$log" | sort -u)
            if [ -n "$failed" ]; then
                while IFS= read -r index; do
                    echo "deps: an index could not be downloaded, going on without it: $index"
                done <<<"$failed"
            else
                echo "deps: apt-get update failed, going on with the indexes at hand: $(grep -m1 '^[EW]:' "$log" || tail -1 "$log")"
            fi
        fi
    done
    if ! DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q -o Acquire::Retries=3 \
            -o APT::Install-Recommends=true "${need[@]}" >"$log" 2>&1; then
        grep -E '^(E|W):|unmet|Depends:|Broken' "$log" >&2 || tail -20 "$log" >&2
        fail "the packages could not be installed (apt-get's messages above)"
    fi
    exit 0
fi

# check WHAT COMMAND...: the commands that must be on the PATH.
missing=()
check() {
    local what=$1 c
    shift
    for c in "$@"; do command -v "$c" >/dev/null || missing+=("$c ($what)"); done
}

if [ -n "${MSYSTEM:-}" ]; then
    # MSYS2 on Windows: the disc is built in the MINGW32 shell; the tests
    # are not run there.
    [ "$MSYSTEM" = MINGW32 ] || fail "build in MSYS2's MINGW32 shell (this shell is $MSYSTEM)"
    check "the build" cmake ninja gcc g++ windres make
    check "the disc" iconv sed find
    check "the image (make iso)" xorriso sha256sum
    if [ ${#missing[@]} -gt 0 ]; then
        printf 'deps: missing %s\n' "${missing[@]}" >&2
        echo "deps: install them in the MINGW32 shell with:" >&2
        echo "    pacman -S --needed make libiconv xorriso mingw-w64-i686-gcc mingw-w64-i686-cmake \\" >&2
        echo "        mingw-w64-i686-ninja mingw-w64-i686-gtest" >&2
        exit 1
    fi
    exit 0
fi

# Another Linux: the same tools as on Debian, under the distribution's names.
check "the build" cmake ninja i686-w64-mingw32-gcc-posix i686-w64-mingw32-g++-posix i686-w64-mingw32-windres \
    x86_64-w64-mingw32-gcc-posix x86_64-w64-mingw32-g++-posix x86_64-w64-mingw32-windres
check "the disc and the image" iconv xorriso sha256sum
check "the Win32 tests and make run" wine wineserver Xvfb openbox
check "the picture checks" identify compare import convert
check "the tests under Wine 10" mmdebstrap unshare chroot
check "the fuzzers" clang clang++
check "the checks" python3
if [ ${#missing[@]} -gt 0 ]; then
    printf 'deps: missing %s\n' "${missing[@]}" >&2
    cat >&2 <<'MSG'
deps: not a Debian machine, so nothing is installed. The build needs:
  CMake 3.21 or later and Ninja; MinGW-w64 for i686 and x86_64 with posix
  threads (cmake/mingw-*.cmake name the compilers); Wine, 64-bit, and
  32-bit where the kernel runs 32-bit code; Xvfb and
  openbox; ImageMagick; mmdebstrap (a Debian 13 root for Wine 10); xorriso; clang with libFuzzer; Python 3; the
  GoogleTest sources in /usr/src/googletest (or KVL_GOOGLETEST_SOURCE, or
  an installed GoogleTest); Google Benchmark for make bench.
MSG
    exit 1
fi
