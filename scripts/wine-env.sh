# Sourced by the scripts that run Wine: a 32-bit prefix, quiet.
KVL_TOP=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
export WINEPREFIX=${KVL_WINEPREFIX:-$KVL_TOP/build/wineprefix}
# Neither Mono nor Gecko: no installer dialogs when a prefix is created.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
