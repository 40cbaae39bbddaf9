/* Loads the text table from the program's own RCDATA resource. */
#include <windows.h>

#include "common/texttable_win.h"
#include "common/texttable.h"
#include "common/trace.h"
#include "resources/resource.h"

/* The resource's bytes and their size, or NULL. */
static const char *FindTextResource(DWORD *size)
{
    HMODULE module = GetModuleHandleA(NULL);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(IDR_TEXTTABLE), (LPCSTR)RT_RCDATA);
    if (!found)
        return NULL;
    *size = SizeofResource(module, found);
    if (*size == 0)
        return NULL;
    HGLOBAL loaded = LoadResource(module, found);
    if (!loaded)
        return NULL;
    return (const char *)LockResource(loaded);
}

void LoadTextTable(void)
{
    FreeTextTable();
    DWORD size = 0;
    const char *bytes = FindTextResource(&size);
    if (!bytes) {
        Trace("text table resource not found or empty: every text reads as an index error");
        return;
    }
    /* The parser takes its own copy; a failure leaves the table empty. */
    LoadTextTableFromBytes(bytes, size);
}
