/* The registry walk over HKEY_LOCAL_MACHINE: see keywalk_win.h. */
#include "sysinfo/keywalk_win.h"

#include <windows.h>

#include "common/trace.h"
#include "sysinfo/facts.h"

/* RegOpenKeyExA follows links on its own. On the NT family a key is opened
 * as itself, so that a link is seen as one; Windows 9x has no links and
 * wants no options. */
static KeyOpened OpenKey(WalkKey parent, const char *name, WalkKey *opened, long *error, void *)
{
    HKEY base = parent ? HkeyOf(parent) : HKEY_LOCAL_MACHINE;
    DWORD options = (GetVersion() & 0x80000000u) ? 0 : REG_OPTION_OPEN_LINK;
    HKEY key;
    LONG result = RegOpenKeyExA(base, name, options, KEY_READ, &key);
    *opened = NULL;
    *error = result;
    if (result != ERROR_SUCCESS)
        return WALK_NOT_OPENED;
    DWORD type = REG_NONE;
    if (options != 0 && RegQueryValueExA(key, "SymbolicLinkValue", NULL, &type, NULL, NULL) == ERROR_SUCCESS
        && type == REG_LINK) {
        RegCloseKey(key);
        return WALK_LINK;
    }
    *opened = key;
    return WALK_OPENED;
}

static long CountSubkeys(WalkKey key, unsigned long *count, void *)
{
    DWORD subkeys = 0;
    LONG result = RegQueryInfoKeyA(HkeyOf(key), NULL, NULL, NULL, &subkeys, NULL, NULL, NULL, NULL, NULL, NULL,
                                   NULL);
    *count = result == ERROR_SUCCESS ? subkeys : 0;
    return result;
}

static long SubkeyName(WalkKey key, unsigned long index, char *name, size_t size, void *)
{
    DWORD length = (DWORD)size;
    return RegEnumKeyExA(HkeyOf(key), index, name, &length, NULL, NULL, NULL, NULL);
}

static void CloseKey(WalkKey key, void *)
{
    RegCloseKey(HkeyOf(key));
}

static void TraceSkipped(WalkSkip why, const char *path, long error, void *)
{
    switch (why) {
    case WALK_SKIP_UNCOUNTED:
        Trace("Registry walk: the subkeys of HKLM\\%s could not be counted (error %ld); not searched", path,
              error);
        break;
    case WALK_SKIP_UNNAMED:
        Trace("Registry walk: a subkey of HKLM\\%s could not be read (error %ld); skipped", path, error);
        break;
    case WALK_SKIP_PATH_TOO_LONG:
        Trace("Registry walk: a subkey of HKLM\\%s would pass %d characters of path; skipped", path,
              REGISTRY_PATH_MAX);
        break;
    case WALK_SKIP_NOT_OPENED:
        Trace("Registry walk: HKLM\\%s could not be opened (error %ld); skipped", path, error);
        break;
    case WALK_SKIP_LINK:
        Trace("Registry walk: HKLM\\%s is a registry link; not followed", path);
        break;
    case WALK_SKIP_CAP_REACHED:
        Trace("Registry walk: %d keys visited, at HKLM\\%s; the search ends with nothing found", WALK_KEYS_MAX,
              path);
        break;
    }
}

WalkResult WalkMachineKeys(const char *rootPath, KeyVisitor visit, void *context)
{
    const KeyTree machine = { OpenKey, CountSubkeys, SubkeyName, CloseKey, TraceSkipped, NULL };
    return WalkKeyTree(&machine, rootPath, visit, context, WALK_KEYS_MAX, NULL);
}
