#!/bin/bash
# A Debian 12 machine under QEMU's full emulation, with 32-bit Wine, for
# running the 32-bit Win32 tests on a host that cannot run 32-bit code.
#
#   guest.sh build
#       Builds the guest, or finds it built, and prints its folder.
#   guest.sh run [--timeout SECONDS] -- COMMAND...
#       Boots the guest (building it first if need be), runs COMMAND there
#       as root in this tree, shared at the same path, and exits with its
#       status. Its output comes to the console and to build/guest/output.log.
#   guest.sh clean
#       Removes the cached guests of other recipes (a few GiB each).
#
# The guest is built once from Debian's packages by the recipe in
# scripts/guest/ and kept under ${XDG_CACHE_HOME:-~/.cache}/kvl-guest/HASH/,
# HASH naming the recipe: a changed recipe builds a new one. Its first boot
# makes the one Wine prefix (32-bit) at /var/lib/kvl/wineprefix. Each run
# boots a fresh copy-on-write disk over it (build/guest/disk.qcow2), so
# every run starts from the same state. The guest's own clock ends a hung
# COMMAND after SECONDS (default 3600); the host's ends QEMU a little later.
#
# Settings: KVL_GUEST_MEMORY (MiB, default 3072), KVL_GUEST_CPUS (default
# 2), KVL_GUEST_MIRROR (Debian mirror for the build).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
recipe=$top/scripts/guest
memory=${KVL_GUEST_MEMORY:-3072}
cpus=${KVL_GUEST_CPUS:-2}
fail() { echo "guest: $*" >&2; exit 1; }
usage() { sed -n '5,12s/^# \{0,1\}//p' "$0" >&2; exit 2; }

cache=${XDG_CACHE_HOME:-$HOME/.cache}/kvl-guest
# The recipe's files, by name and content.
hash=$(cd "$recipe" && find . -type f -print0 | LC_ALL=C sort -z | xargs -0 sha256sum | sha256sum | cut -c1-16)
image=$cache/$hash

# Processes started here, ended by the trap whatever happens.
pids=()
stop_all() {
    local p
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    for p in "${pids[@]}"; do wait "$p" 2>/dev/null || true; done
    pids=()
}

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
        -accel tcg,thread=multi -smp "$cpus" -m "$memory"
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
            case $v in KVL_WINEPREFIX|PATH) continue ;; esac
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
    if [ -f "$image/root.img" ]; then echo "$image"; return 0; fi
    command -v qemu-system-x86_64 >/dev/null || fail "qemu-system-x86_64 is missing (scripts/deps.sh installs it)"
    mkdir -p "$cache"
    # One build at a time: a second one waits, then finds the guest made.
    # Holding the lock, any half-built folder is a dead build's.
    exec 8>"$cache/.lock"
    flock 8
    if [ -f "$image/root.img" ]; then exec 8>&-; echo "$image"; return 0; fi
    local dead
    for dead in "$cache"/.build-*; do [ ! -e "$dead" ] || discard "$dead"; done
    local tmp rc=0
    tmp=$(mktemp -d "$cache/.build-$hash.XXXXXX")
    # A half-built guest never takes the final name; its folder goes.
    trap 'stop_all; discard "$tmp"' EXIT
    echo "guest: building $image" >&2
    if ! "$recipe/build.sh" "$tmp" >"$tmp/build.log" 2>&1; then
        grep -E '^(E:|W:|guest build:)' "$tmp/build.log" >&2 || tail -n 20 "$tmp/build.log" >&2
        cp "$tmp/build.log" "$cache/failed-build.log"
        fail "the guest could not be built (log: $cache/failed-build.log)"
    fi
    sed -n 's/^guest build: /guest: /p' "$tmp/build.log" >&2
    # First boot: the Wine prefix.
    SECONDS=0
    mkdir "$tmp/ctl"
    job "$tmp/ctl" 1800 '' /usr/local/lib/kvl/make-prefix
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
    [ -f "$image/root.img" ] || fail "no guest at $image"
    echo "$image"
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
    local dir=$top/build/guest rc=0 status
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

# Other recipes' guests, kept until asked: another work tree may use one.
clean() {
    local d
    [ -d "$cache" ] || return 0
    exec 8>"$cache/.lock"
    flock 8
    for d in "$cache"/*/ "$cache"/.build-*; do
        d=${d%/}
        [ -e "$d" ] && [ "$d" != "$image" ] || continue
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
