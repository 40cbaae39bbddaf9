/* Stands in for a program that the launcher starts (Setup.exe, KVL.EXE,
 * the uninstaller, Notepad.exe) on the test disc. It writes three lines to
 * the file named by the environment variable KVL_RECORD_FILE, which the
 * launcher passes on to what it starts:
 *   its own path
 *   its command line, as the system gave it
 *   its current directory
 * The file is written under another name and then renamed, so a test that
 * sees it sees it whole. Exit code 0, or 1 when there is nothing to record
 * into. */
#include <windows.h>
#include <stdio.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char target[MAX_PATH], partial[MAX_PATH + 8], self[MAX_PATH], cwd[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("KVL_RECORD_FILE", target, sizeof target);
    if (n == 0 || n >= sizeof target)
        return 1;
    snprintf(partial, sizeof partial, "%s.part", target);
    if (!GetModuleFileNameA(NULL, self, sizeof self))
        self[0] = '\0';
    if (!GetCurrentDirectoryA(sizeof cwd, cwd))
        cwd[0] = '\0';
    FILE *out = fopen(partial, "wb");
    if (!out)
        return 1;
    fprintf(out, "%s\n%s\n%s\n", self, GetCommandLineA(), cwd);
    if (fclose(out) != 0)
        return 1;
    return MoveFileExA(partial, target, MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
