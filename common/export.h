/* A library's export, typed as the function it is called as. The launcher
 * still runs on Windows 95, so what later systems added (SetDllDirectoryA,
 * GlobalMemoryStatusEx, EnumDisplayDevicesA...) is looked up at run time,
 * as are the entry points of the libraries it loads itself. */
#ifndef KVL_EXPORT_H
#define KVL_EXPORT_H

#include <windows.h>

/* NULL when the library (a NULL handle) or the export is missing. */
template <typename Proc> inline Proc ExportAs(HMODULE library, const char *name)
{
    if (!library)
        return NULL;
    return reinterpret_cast<Proc>(reinterpret_cast<void (*)(void)>(GetProcAddress(library, name)));
}

#endif
