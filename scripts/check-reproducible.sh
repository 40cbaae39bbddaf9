#!/bin/bash
# Builds the demo disc and its image a second time, from a copy of the tree
# in another folder, with another time zone, umask and user, and compares
# every file with out/disc, out/KVL.iso and out/SHA256SUMS of `make iso`.
# Names each file that differs and fails.
# The second build is lean: it builds only the disc's programs, and runs
# the host tools of build/native/bin (where they were built, by whom and
# when reaches none of their outputs), so GoogleTest and the tests are left
# out.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
# The copy is no git checkout: it gets the time of this tree's commit.
. "$top/scripts/source-date.sh"
tools=$top/build/native/bin
fail() { echo "check-reproducible: $*" >&2; exit 1; }
[ -f "$top/out/KVL.iso" ] && [ -f "$top/out/SHA256SUMS" ] || fail "no image in $top/out (make iso first)"
# make-disc.sh dates every file with SOURCE_DATE_EPOCH: an older disc is
# from another commit.
[ "$(stat -c %Y "$top/out/disc/autorun.inf")" = "$SOURCE_DATE_EPOCH" ] ||
    fail "out/disc is not from the last commit's build (make iso first)"
[ -x "$tools/mktexttable" ] && [ -x "$tools/artgen" ] && [ -x "$tools/ppk" ] || fail "no host tools in $tools"

work=$(mktemp -d "${TMPDIR:-/tmp}/kvl-second-build.XXXXXX")
[ -n "${KVL_KEEP_SECOND_BUILD:-}" ] || trap 'chmod -R u+w "$work" 2>/dev/null; rm -rf "$work"' EXIT
src=$work/tree
mkdir -p "$src" "$work/home"
# The tree as it is checked out (with changes not yet committed), or all
# of it but the build outside a checkout.
if git -C "$top" rev-parse --git-dir >/dev/null 2>&1; then
    (cd "$top" && git ls-files -z --cached --others --exclude-standard |
        while IFS= read -r -d '' f; do [ -e "$f" ] && printf '%s\0' "$f"; done |
        tar --null -T - -cf -) | tar -xf - -C "$src"
else
    (cd "$top" && tar --exclude=./build --exclude=./out -cf - .) | tar -xf - -C "$src"
fi

echo "Building the disc a second time in $src"
if ! (
    umask 077
    # Nepal's offset, without the system's zone files.
    export TZ=NPT-5:45 USER=kvl-second LOGNAME=kvl-second HOME=$work/home
    cd "$src"
    cmake --preset win32 -DKVL_HOST_TOOLS="$tools"
    cmake --build --preset disc
    KVL_TOOLS_BIN=$tools scripts/make-disc.sh
    scripts/make-iso.sh
) >"$work/log" 2>&1; then
    tail -40 "$work/log" >&2
    fail "the second build failed"
fi

files() { (cd "$1" && find disc -type f; echo KVL.iso; echo SHA256SUMS) | LC_ALL=C sort; }
differ=()
while IFS= read -r f; do
    cmp -s "$top/out/$f" "$src/out/$f" || differ+=("$f")
done < <(LC_ALL=C sort -u <(files "$top/out") <(files "$src/out"))
if [ ${#differ[@]} -gt 0 ]; then
    for f in "${differ[@]}"; do
        if [ ! -e "$top/out/$f" ] || [ ! -e "$src/out/$f" ]; then
            echo "check-reproducible: out/$f is made by one build only" >&2
        else
            echo "check-reproducible: out/$f differs" >&2
        fi
    done
    fail "${#differ[@]} file(s) of the disc and image differ between two builds of the same tree"
fi
echo "Reproducible: out/disc, out/KVL.iso and out/SHA256SUMS are the same from $src"
