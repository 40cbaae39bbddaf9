/* The program's path from its command line. Windows passes the path first,
 * in double quotes when it holds a blank; the launcher has no options, so
 * whatever follows the path is ignored. */
#include <string.h>

#include "launcher/cmdline.h"

size_t ProgramPathFromCommandLine(const char *commandLine, char *path, size_t cap)
{
    if (cap == 0)
        return 0;
    path[0] = '\0';
    if (commandLine == NULL)
        return 0;

    const char *start = commandLine;
    char end = ' ';
    if (*start == '"') {
        start++;
        end = '"';
    }

    size_t limit = cap < PROGRAM_PATH_LIMIT ? cap : PROGRAM_PATH_LIMIT;
    size_t length = 0;
    while (start[length] != '\0' && start[length] != end && length + 1 < limit)
        length++;
    memcpy(path, start, length);
    path[length] = '\0';
    return length;
}

int ProgramFolderFromCommandLine(const char *commandLine, char *folder, size_t cap)
{
    ProgramPathFromCommandLine(commandLine, folder, cap);
    if (cap == 0)
        return 0;
    char *backslash = strrchr(folder, '\\');
    if (backslash == NULL)
        return 0;
    *backslash = '\0';
    return 1;
}
