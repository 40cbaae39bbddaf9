/* Where the system looks for a library loaded by bare name, for the
 * launcher and for the disc's programs. Each narrows that search first
 * thing, before anything can load a library: the folder a program runs in
 * or its current directory may hold anything. The calls came with later
 * systems (SetDllDirectoryA with XP SP1, SetDefaultDllDirectories with
 * Windows 8 and an update of Vista and 7), so they are looked up at run
 * time and skipped where missing. */
#ifndef KVL_DLLSEARCH_H
#define KVL_DLLSEARCH_H

/* The launcher's search: the current directory out, and the narrower
 * default search (the program's folder, System32) where the system has
 * it. Returns 0 when the system cannot take the current directory out
 * (no SetDllDirectoryA). */
int RemoveCurrentDirectoryFromDllSearch(void);

/* Keeps the current directory out of the DLL search (1), or gives the
 * system's plain search back (0) around the start of another program:
 * Windows hands the DLL folder setting down to the programs a process
 * starts. */
void KeepCurrentDirectoryOutOfDllSearch(int keepOut);

/* The disc's programs: system libraries from System32 only, never from the
 * folder the program runs from (a temporary folder, or a disc). Returns 0
 * when the system has no SetDefaultDllDirectories (Windows 95 to XP). */
int LimitDllSearchToSystem32(void);

#endif
