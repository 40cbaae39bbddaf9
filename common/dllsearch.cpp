/* The DLL search: see dllsearch.h. */
#include <windows.h>

#include "common/dllsearch.h"
#include "common/export.h"

typedef BOOL(WINAPI *SetDllDirectoryProc)(LPCSTR);
typedef BOOL(WINAPI *SetDefaultDllDirectoriesProc)(DWORD);
/* The flags of SetDefaultDllDirectories. */
#define SEARCH_SYSTEM32     0x00000800   /* System32 alone */
#define SEARCH_DEFAULT_DIRS 0x00001000   /* the program's folder, System32, folders added on purpose */

static SetDllDirectoryProc LookUpSetDllDirectory(void)
{
    return ExportAs<SetDllDirectoryProc>(GetModuleHandleA("kernel32.dll"), "SetDllDirectoryA");
}

static int SetDefaultDllSearch(DWORD flags)
{
    SetDefaultDllDirectoriesProc setDefaultDirectories =
        ExportAs<SetDefaultDllDirectoriesProc>(GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories");
    return setDefaultDirectories != NULL && setDefaultDirectories(flags);
}

void KeepCurrentDirectoryOutOfDllSearch(int keepOut)
{
    SetDllDirectoryProc setDllDirectory = LookUpSetDllDirectory();
    if (setDllDirectory != NULL)
        setDllDirectory(keepOut ? "" : NULL);
}

int RemoveCurrentDirectoryFromDllSearch(void)
{
    KeepCurrentDirectoryOutOfDllSearch(1);
    /* Wine takes the empty folder above for none set and goes on searching
     * the current directory; the narrower default search leaves it out
     * wherever it exists (Windows 8 and later, and Wine). It is the
     * process's own and does not pass to the programs it starts. */
    SetDefaultDllSearch(SEARCH_DEFAULT_DIRS);
    return LookUpSetDllDirectory() != NULL;
}

int LimitDllSearchToSystem32(void)
{
    return SetDefaultDllSearch(SEARCH_SYSTEM32);
}
