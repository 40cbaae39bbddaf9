#!/bin/bash
# Installs what the build, the tests and `make run` need on a Debian
# machine, when it is missing. Safe to run again.
set -e
need=()
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }
for p in cmake ninja-build g++-mingw-w64-i686 wine wine32:i386 xvfb openbox x11-utils imagemagick \
         googletest libbenchmark-dev clang libclang-rt-14-dev python3 xorriso; do
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
