/* The registry reader: see regread.h. */
#include <windows.h>
#include <string.h>

#include "common/regread.h"

static int TypeAccepted(DWORD types, DWORD type)
{
    return types == REGISTRY_ANY_TYPE || (type < 32 && (types & REGISTRY_TYPE(type)) != 0);
}

int ReadRegistryValue(HKEY key, const char *name, const RegistryRead *how, void *buffer, DWORD size,
                      RegistryValueFound *found)
{
    RegistryValueFound met = { ERROR_INVALID_PARAMETER, REG_NONE, 0 };
    int fits = 0;
    if (size > 0) {
        memset(buffer, 0, size);
        met.length = size;
        met.status = RegQueryValueExA(key, name, NULL, &met.type, (BYTE *)buffer, &met.length);
        if (met.status == ERROR_SUCCESS && met.length <= size && TypeAccepted(how->types, met.type)) {
            switch (how->form) {
            case REGISTRY_RAW:
                fits = 1;
                break;
            case REGISTRY_EXACT:
                fits = met.length == size;
                break;
            case REGISTRY_TEXT:
                fits = met.length < size || memchr(buffer, 0, size) != NULL;
                break;
            }
        }
        if (!fits)
            memset(buffer, 0, size);
    }
    if (found)
        *found = met;
    return fits;
}

int ReadRegistryKeyValue(HKEY root, const char *path, const char *name, const RegistryRead *how, void *buffer,
                         DWORD size, RegistryValueFound *found)
{
    HKEY key;
    LONG opened = RegOpenKeyExA(root, path, 0, KEY_QUERY_VALUE | how->view, &key);
    if (opened != ERROR_SUCCESS) {
        if (size > 0)
            memset(buffer, 0, size);
        if (found) {
            found->status = opened;
            found->type = REG_NONE;
            found->length = 0;
        }
        return 0;
    }
    int read = ReadRegistryValue(key, name, how, buffer, size, found);
    RegCloseKey(key);
    return read;
}
