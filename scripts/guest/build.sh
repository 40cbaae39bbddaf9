#!/bin/bash
# Builds a test machine's files into DIR from Debian's packages, by the
# recipe RECIPE (a list in this folder: its suite, its kind, its packages).
# A guest gets its kernel (vmlinuz), initramfs (initrd.img) and root disk
# (root.img, ext4, raw); scripts/guest.sh then boots it once to make its
# Wine prefixes. A root keeps its tree as the folder root/, entered with
# chroot. Must run as root (the tree is made with chroot).
# Usage: build.sh DIR RECIPE
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out=$1
list=$here/$2.txt
mirror=${KVL_GUEST_MIRROR:-http://deb.debian.org/debian}
fail() { echo "guest build: $*" >&2; exit 1; }

[ "$(id -u)" = 0 ] || fail "run as root (the guest's tree is made with chroot)"
[ -f "$list" ] || fail "no recipe $list"

# setting NAME: the value of the recipe's line "NAME VALUE".
setting() { sed -n "s/^$1[[:space:]]\{1,\}\([^#]*[^#[:space:]]\).*/\1/p" "$list"; }
suite=$(setting suite)
kind=$(setting kind)
case $suite in bookworm|trixie) ;; *) fail "suite '$suite' of $list is not known here" ;; esac
case $kind in
guest) needed=(mmdebstrap mkfs.ext4) ;;
root) needed=(mmdebstrap) ;;
*) fail "kind '$kind' of $list is neither guest nor root" ;;
esac
for c in "${needed[@]}"; do
    command -v "$c" >/dev/null || fail "$c is missing (scripts/deps.sh installs it)"
done
root=$out/root
packages=$(sed -e 's/#.*//' -e '/^[[:space:]]*$/d' -e '/^\(suite\|kind\|prefixes\)[[:space:]]/d' "$list" |
    tr -d ' \t' | tr '\n' ',' | sed 's/,$//')

# Only the release and its updates suite: the security suite's i386 index
# can be out of step with its amd64 one on a mirror, and the guest's i386
# and amd64 libraries must be the same version. The initramfs settings go
# in before the kernel's package makes the initramfs.
SECONDS=0
mmdebstrap --mode=root --variant=apt --architectures=amd64,i386 \
    --aptopt='APT::Install-Recommends "false"' \
    --aptopt='Acquire::Retries "5"' \
    --dpkgopt='path-exclude=/usr/share/doc/*' \
    --dpkgopt='path-exclude=/usr/share/man/*' \
    --dpkgopt='path-exclude=/usr/share/info/*' \
    --dpkgopt='path-exclude=/usr/share/locale/*' \
    --dpkgopt='path-include=/usr/share/locale/locale.alias' \
    --setup-hook='mkdir -p "$1/etc/initramfs-tools/conf.d" "$1/etc/initramfs-tools/hooks"' \
    --setup-hook="printf 'MODULES=list\\n' >\"\$1/etc/initramfs-tools/conf.d/kvl\"" \
    --setup-hook="install -m 755 '$here/initramfs-hook' \"\$1/etc/initramfs-tools/hooks/kvl\"" \
    --include="$packages" \
    "$suite" "$root" \
    "deb $mirror $suite main" "deb $mirror $suite-updates main"

echo "guest build: packages installed in $SECONDS s"
echo 'fr_FR.UTF-8 UTF-8' >"$root/etc/locale.gen"
chroot "$root" locale-gen
if [ "$kind" = root ]; then
    rm -rf "$root/var/lib/apt/lists"/* "$root/var/cache/apt"/*
    exit 0
fi
install -m 755 "$here/init" "$root/sbin/kvl-init"
install -D -m 755 "$here/make-prefix" "$root/usr/local/lib/kvl/make-prefix"
echo kvl-guest >"$root/etc/hostname"

# The kernel and initramfs boot from outside the disk.
kernel=$(cd "$root/boot" && ls vmlinuz-* | sort -V | tail -n 1)
cp "$root/boot/$kernel" "$out/vmlinuz"
cp "$root/boot/initrd.img-${kernel#vmlinuz-}" "$out/initrd.img"
rm -rf "$root/boot"/* "$root/var/lib/apt/lists"/* "$root/var/cache/apt"/*

# The disk: the tree and 2 GiB to spare, for the prefix and what the tests
# write in it. No journal: a run's disk is thrown away afterwards, and the
# first boot unmounts cleanly.
SECONDS=0
size=$(( $(du -sm "$root" | cut -f1) + 2048 ))
mkfs.ext4 -q -F -L kvlroot -O ^has_journal -m 0 -d "$root" "$out/root.img" "${size}M"
echo "guest build: disk made in $SECONDS s"
rm -rf --one-file-system "$root"
