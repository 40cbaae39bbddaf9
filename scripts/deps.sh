#!/bin/bash
# Installs what the build, the tests and `make run` need on a Debian
# machine, when it is missing. Safe to run again.
# Anywhere else it installs nothing: it says what the build needs, and fails
# when a command it needs is missing.
set -euo pipefail
fail() { echo "deps: $*" >&2; exit 1; }

if [ -f /etc/debian_version ] && command -v apt-get >/dev/null && command -v dpkg-query >/dev/null; then
    need=()
    have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
    for p in cmake ninja-build g++-mingw-w64-i686 wine wine32:i386 xvfb openbox x11-utils imagemagick \
             googletest libbenchmark-dev clang libclang-rt-14-dev python3 xorriso \
             qemu-system-x86 qemu-utils mmdebstrap e2fsprogs; do
        have_pkg "$p" || need+=("$p")
    done
    [ ${#need[@]} -eq 0 ] && exit 0
    echo "Installing: ${need[*]}"
    if [ "$(id -u)" != 0 ]; then SUDO=sudo; else SUDO=; fi
    if ! dpkg --print-foreign-architectures | grep -q i386; then
        $SUDO dpkg --add-architecture i386
    fi
    $SUDO apt-get update -q
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q -o APT::Install-Recommends=true "${need[@]}"
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
check "the build" cmake ninja i686-w64-mingw32-gcc-posix i686-w64-mingw32-g++-posix i686-w64-mingw32-windres
check "the disc and the image" iconv xorriso sha256sum
check "the Win32 tests and make run" wine wineserver Xvfb openbox
check "the picture checks" identify compare import convert
check "the fuzzers" clang clang++
check "the checks" python3
if [ ${#missing[@]} -gt 0 ]; then
    printf 'deps: missing %s\n' "${missing[@]}" >&2
    cat >&2 <<'MSG'
deps: not a Debian machine, so nothing is installed. The build needs:
  CMake 3.21 or later and Ninja; MinGW-w64 for i686 with posix threads
  (cmake/mingw-i686.cmake names its compilers); 32-bit Wine; Xvfb and
  openbox; ImageMagick; xorriso; clang with libFuzzer; Python 3; the
  GoogleTest sources in /usr/src/googletest (or KVL_GOOGLETEST_SOURCE, or
  an installed GoogleTest); Google Benchmark for make bench.
MSG
    exit 1
fi
