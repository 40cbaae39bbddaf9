# Sourced by the scripts that write the disc and its image: exports
# SOURCE_DATE_EPOCH, the one time they carry, unless it is already set: the
# last commit's time, or a fixed time outside a git checkout of this tree.
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    SOURCE_DATE_EPOCH=
    _kvl_top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
    # An empty prefix: the tree is the checkout's top, not a folder of
    # another project's.
    if _kvl_prefix=$(git -C "$_kvl_top" rev-parse --show-prefix 2>/dev/null) && [ -z "$_kvl_prefix" ]; then
        SOURCE_DATE_EPOCH=$(git -C "$_kvl_top" log -1 --format=%ct 2>/dev/null || true)
    fi
    # 2000-01-01 00:00:00 UTC
    [ -n "$SOURCE_DATE_EPOCH" ] || SOURCE_DATE_EPOCH=946684800
    unset _kvl_top _kvl_prefix
fi
export SOURCE_DATE_EPOCH
