#!/bin/bash
# The Debian machines that run the Win32 tests under a Wine other than this
# machine's: guests under QEMU (Debian 12 with 32-bit Wine 8, for the
# 32-bit tests on a host that cannot run 32-bit code; Debian 13 with Wine
# 10, likewise), and a Debian 13 root entered with chroot, for Wine 10
# where this machine runs the tree's code itself.
#
#   guest.sh [--recipe NAME] build
#       Builds the machine, or finds it built, and prints its folder.
#   guest.sh [--recipe NAME] run [--timeout SECONDS] -- COMMAND...
#       Starts the machine (building it first if need be), runs COMMAND
#       there as root in this tree, shared at the same path, and exits with
#       its status. A guest's output comes to the console and to
#       build/guest/NAME/output.log.
#   guest.sh clean
#       Removes the cached machines of recipes no longer in scripts/guest/
#       (a few GiB each).
#
# NAME is a recipe in scripts/guest/ (NAME.txt; default debian12): its
# Debian suite, its kind (guest or root), its packages; the scripts beside
# it are shared by all. Each is built once from Debian's packages and kept
# under ${XDG_CACHE_HOME:-~/.cache}/kvl-guest/HASH/, HASH naming the recipe
# and the shared scripts: a changed recipe builds a new one.
# A guest's first boot makes its Wine prefixes (the recipe's `prefixes`)
# under /var/lib/kvl. Each run boots a fresh copy-on-write disk over it
# (build/guest/NAME/disk.qcow2), so every run starts from the same state.
# The guest's own clock ends a hung COMMAND after SECONDS (default 3600);
# the host's ends QEMU a little later. A root's prefixes are made at their
# first run in this tree, in build/NAME/, and kept.
#
# Settings: KVL_GUEST_MEMORY (MiB, default 3072), KVL_GUEST_CPUS (default
# 2), KVL_GUEST_MIRROR (Debian mirror for the build).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
recipe=$top/scripts/guest
memory=${KVL_GUEST_MEMORY:-3072}
cpus=${KVL_GUEST_CPUS:-2}
fail() { echo "guest: $*" >&2; exit 1; }
usage() { sed -n '8,18s/^# \{0,1\}//p' "$0" >&2; exit 2; }

name=debian12
if [ "${1:-}" = --recipe ]; then
    [ $# -ge 2 ] || usage
    name=$2
    shift 2
fi
case $name in ''|*[!a-z0-9-]*) fail "no recipe named '$name'" ;; esac
[ -f "$recipe/$name.txt" ] || fail "no recipe $recipe/$name.txt"
# setting NAME: the value of the recipe's line "NAME VALUE".
setting() { sed -n "s/^$1[[:space:]]\{1,\}\([^#]*[^#[:space:]]\).*/\1/p" "$recipe/$name.txt"; }
kind=$(setting kind)

cache=${XDG_CACHE_HOME:-$HOME/.cache}/kvl-guest
# recipe_hash NAME: the hash of a recipe's list and of the shared scripts,
# by name and content.
recipe_hash() {
    (cd "$recipe" && find . -type f ! -name '*.txt' -print0 | LC_ALL=C sort -z | xargs -0 sha256sum &&
        sha256sum "./$1.txt") | sha256sum | cut -c1-16
}
hash=$(recipe_hash "$name")
image=$cache/$hash
# A machine's folder takes its name only once complete.
built() { [ -f "$1/root.img" ] || [ -d "$1/root/usr" ]; }

# Processes started here, ended by the trap whatever happens.
pids=()
stop_all() {
    local p
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    for p in "${pids[@]}"; do wait "$p" 2>/dev/null || true; done
    pids=()
}

# The host's virtualisation where it lends it, else full emulation.
if [ -w /dev/kvm ]; then accel=(-accel kvm -cpu host); else accel=(-accel tcg,thread=multi); fi

# boot DISK FORMAT CTL CONSOLE LIMIT [TOP]: boots the guest of $image on
# DISK with the control folder CTL (holding the job file) and the serial
# console in CONSOLE, ends it after LIMIT seconds, and shares TOP when
# given. Shows the job's output (CTL/output.log) as it comes. Returns
# QEMU's status (124 when the host's timeout ended it).
boot() {
    local disk=$1 format=$2 ctl=$3 console=$4 limit=$5 share=${6:-} rc=0
    # QEMU's options are comma-separated; a comma in a value is doubled.
    local q_ctl=${ctl//,/,,} q_share=${share//,/,,} q_disk=${disk//,/,,}
    local args=(
        -nodefaults -no-user-config -no-reboot
        "${accel[@]}" -smp "$cpus" -m "$memory"
        -display none -monitor none -serial "file:$console"
        -kernel "$image/vmlinuz" -initrd "$image/initrd.img"
        -append "root=/dev/vda rw rootfstype=ext4 fsck.mode=skip init=/sbin/kvl-init console=ttyS0 quiet panic=1 mitigations=off tsc=reliable clocksource=tsc"
        -drive "file=$q_disk,format=$format,if=virtio,cache=unsafe"
        -fsdev "local,id=ctl,path=$q_ctl,security_model=none"
        -device virtio-9p-pci,fsdev=ctl,mount_tag=kvlctl
    )
    if [ -n "$share" ]; then
        args+=(-fsdev "local,id=top,path=$q_share,security_model=none,multidevs=remap"
               -device virtio-9p-pci,fsdev=top,mount_tag=kvltop)
    fi
    : >"$ctl/output.log"
    timeout -k 10 "$limit" qemu-system-x86_64 "${args[@]}" </dev/null &
    local qemu=$!
    pids+=("$qemu")
    tail -n +1 -F --pid="$qemu" "$ctl/output.log" 2>/dev/null &
    pids+=($!)
    wait "$qemu" || rc=$?
    wait "${pids[-1]}" || true
    pids=()
    return $rc
}

# job CTL LIMIT TOP COMMAND...: writes the job file the guest's init reads.
job() {
    local ctl=$1 limit=$2 share=$3 v
    shift 3
    {
        printf 'top=%q\nlimit=%q\ncmd=(' "$share" "$limit"
        printf ' %q' "$@"
        printf ' )\nvars=('
        # The host's locale, time zone and the project's own settings carry
        # over; the prefix and the search path are the guest's.
        while IFS= read -r v; do
            case $v in KVL_WINEPREFIX|KVL_WINEPREFIX_DIR|KVL_WINE64|KVL_WINE64_PREFIX|PATH) continue ;; esac
            printf ' %q' "$v=${!v}"
        done < <(compgen -e | grep -E '^(LANG|LANGUAGE|LC_[A-Z_]+|TZ|CI|WINEDEBUG|WINEDLLOVERRIDES|KVL_[A-Z0-9_]+)$' || true)
        printf ' )\n'
    } >"$ctl/job"
}

# discard DIR: removes a build folder, after unmounting what a build that
# was killed left mounted in it (mmdebstrap mounts /proc, /sys and /dev
# inside the tree while it installs).
discard() {
    local m
    awk -v d="$1/" '{ gsub(/\\040/, " ", $2) } index($2, d) == 1 { print $2 }' /proc/mounts | sort -r |
        while read -r m; do umount -l "$m" 2>/dev/null || true; done
    rm -rf --one-file-system "$1"
}

build() {
    if built "$image"; then echo "$image"; return 0; fi
    if [ "$kind" = guest ]; then
        command -v qemu-system-x86_64 >/dev/null || fail "qemu-system-x86_64 is missing (scripts/deps.sh installs it)"
    fi
    mkdir -p "$cache"
    # One build at a time: a second one waits, then finds the guest made.
    # Holding the lock, any half-built folder is a dead build's.
    exec 8>"$cache/.lock"
    flock 8
    if built "$image"; then exec 8>&-; echo "$image"; return 0; fi
    local dead
    for dead in "$cache"/.build-*; do [ ! -e "$dead" ] || discard "$dead"; done
    local tmp rc=0
    tmp=$(mktemp -d "$cache/.build-$hash.XXXXXX")
    # A half-built guest never takes the final name; its folder goes.
    trap 'stop_all; discard "$tmp"' EXIT
    echo "guest: building $image ($name)" >&2
    if ! "$recipe/build.sh" "$tmp" "$name" >"$tmp/build.log" 2>&1; then
        grep -E '^(E:|W:|guest build:)' "$tmp/build.log" >&2 || tail -n 20 "$tmp/build.log" >&2
        cp "$tmp/build.log" "$cache/failed-build.log"
        fail "the guest could not be built (log: $cache/failed-build.log)"
    fi
    sed -n 's/^guest build: /guest: /p' "$tmp/build.log" >&2
    if [ "$kind" = root ]; then
        mv -T "$tmp" "$image"
        trap - EXIT
        exec 8>&-
        echo "$image"
        return 0
    fi
    # First boot: the Wine prefixes.
    SECONDS=0
    mkdir "$tmp/ctl"
    # shellcheck disable=SC2046
    job "$tmp/ctl" 1800 '' /usr/local/lib/kvl/make-prefix $(setting prefixes)
    local saved=$image
    image=$tmp
    boot "$tmp/root.img" raw "$tmp/ctl" "$tmp/console.log" 2000 >&2 || rc=$?
    image=$saved
    if [ "$rc" != 0 ] || [ "$(cat "$tmp/ctl/status" 2>/dev/null)" != 0 ]; then
        tail -n 20 "$tmp/console.log" >&2
        cat "$tmp/build.log" "$tmp/console.log" >"$cache/failed-build.log"
        fail "the guest's first boot failed (QEMU status $rc; log: $cache/failed-build.log)"
    fi
    echo "guest: first boot (Wine prefix) done in $SECONDS s" >&2
    cat "$tmp/ctl/output.log" "$tmp/console.log" >>"$tmp/build.log"
    rm -rf "$tmp/ctl" "$tmp/console.log"
    # Only now does it take its name: a build cut short leaves no guest.
    mv -T "$tmp" "$image"
    trap - EXIT
    exec 8>&-
    built "$image" || fail "no guest at $image"
    echo "$image"
}

# enter COMMAND...: runs COMMAND in the root of $image with chroot, in this
# tree bound at the same path, /proc, /sys, /dev and /tmp (where the X
# servers' and Wine's sockets are) those of the host, in a mount namespace
# of its own: the mounts go when it ends and no other process sees them.
# The prefixes are this tree's, in build/NAME/.
enter() {
    local vars=() v
    while IFS= read -r v; do
        case $v in KVL_WINEPREFIX|KVL_WINEPREFIX_DIR|KVL_WINE64|KVL_WINE64_PREFIX|PATH) continue ;; esac
        vars+=("$v=${!v}")
    done < <(compgen -e | grep -E '^(LANG|LANGUAGE|LC_[A-Z_]+|TZ|CI|WINEDEBUG|WINEDLLOVERRIDES|KVL_[A-Z0-9_]+)$' || true)
    mkdir -p "$top/build/$name"
    # shellcheck disable=SC2016
    unshare --mount --propagation private -- /bin/bash -c '
        set -e
        root=$1 top=$2; shift 2
        mount -t proc proc "$root/proc"
        mount --rbind /sys "$root/sys"
        mount --rbind /dev "$root/dev"
        mount --bind /tmp "$root/tmp"
        mkdir -p "$root$top"
        mount --bind "$top" "$root$top"
        exec chroot "$root" /usr/bin/env -i "$@"
    ' enter "$image/root" "$top" \
        HOME=/root USER=root LOGNAME=root TERM=dumb \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
        KVL_WINEPREFIX_DIR="$top/build/$name" "${vars[@]}" \
        /bin/bash -c 'cd "$1" && shift && exec "$@"' run "$top" "$@"
}

run() {
    local limit=3600
    while [ $# -gt 0 ]; do
        case $1 in
            --timeout) [ $# -ge 2 ] || usage; limit=$2; shift 2 ;;
            --) shift; break ;;
            *) usage ;;
        esac
    done
    [ $# -gt 0 ] || usage
    case $limit in ''|*[!0-9]*) fail "--timeout wants seconds" ;; esac
    build >/dev/null
    if [ "$kind" = root ]; then
        local rc=0
        enter timeout -k 30 "$limit" "$@" </dev/null || rc=$?
        [ "$rc" != 124 ] || echo "guest: the command was ended after $limit s" >&2
        exit "$rc"
    fi
    local dir=$top/build/guest/$name rc=0 status
    mkdir -p "$dir"
    exec 9>"$dir/lock"
    flock -n 9 || fail "another guest run is using $dir"
    trap stop_all EXIT
    rm -rf "$dir/ctl" "$dir/disk.qcow2"
    mkdir "$dir/ctl"
    qemu-img create -q -f qcow2 -b "$image/root.img" -F raw "$dir/disk.qcow2"
    job "$dir/ctl" "$limit" "$top" "$@"
    # Room for the boot and the power-off around the command's own time.
    boot "$dir/disk.qcow2" qcow2 "$dir/ctl" "$dir/console.log" $((limit + 300)) "$top" || rc=$?
    cp "$dir/ctl/output.log" "$dir/output.log"
    if [ -f "$dir/ctl/status" ]; then
        status=$(cat "$dir/ctl/status")
        [ "$status" != 124 ] || echo "guest: the command was ended after $limit s" >&2
        exit "$status"
    fi
    tail -n 20 "$dir/console.log" >&2
    if [ "$rc" = 124 ]; then fail "the guest did not finish in $((limit + 300)) s"; fi
    fail "the guest stopped without the command's status (QEMU status $rc); console: $dir/console.log"
}

# Other recipes' machines, kept until asked: another work tree may use one.
# Every recipe of this tree is in use.
clean() {
    local d r keep=()
    [ -d "$cache" ] || return 0
    for r in "$recipe"/*.txt; do
        r=${r##*/}
        keep+=("$cache/$(recipe_hash "${r%.txt}")")
    done
    exec 8>"$cache/.lock"
    flock 8
    for d in "$cache"/*/ "$cache"/.build-*; do
        d=${d%/}
        [ -e "$d" ] || continue
        for r in "${keep[@]}"; do [ "$d" != "$r" ] || continue 2; done
        echo "guest: removing $d" >&2
        discard "$d"
    done
    rm -f "$cache/failed-build.log"
}

case ${1:-} in
    build) [ $# = 1 ] || usage; build ;;
    clean) [ $# = 1 ] || usage; clean ;;
    run) shift; run "$@" ;;
    *) usage ;;
esac
