/* Loads the text table from the program's own RCDATA resource. */
#include <windows.h>

#include "common/texttable.h"
#include "resources/resource.h"

void LoadTextTable(void)
{
    FreeTextTable();
    HMODULE module = GetModuleHandleA(NULL);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(IDR_TEXTTABLE), (LPCSTR)RT_RCDATA);
    if (!found)
        return;
    DWORD size = SizeofResource(module, found);
    if (size == 0)
        return;
    HGLOBAL loaded = LoadResource(module, found);
    if (!loaded)
        return;
    const char *bytes = (const char *)LockResource(loaded);
    if (!bytes)
        return;
    /* The parser takes its own copy; a failure leaves the table empty. */
    LoadTextTableFromBytes(bytes, size);
}
