/* The program's own folder, taken from its command line. */
#ifndef KVL_CMDLINE_H
#define KVL_CMDLINE_H

#include <stddef.h>

/* Copies the program path of commandLine (quoted or not) into folder
 * (capacity cap, truncated to fit) and cuts it at its last backslash.
 * Returns 1 when there was a backslash (folder holds the program's folder),
 * 0 when the path has none (folder holds the bare name). */
int ProgramFolderFromCommandLine(const char *commandLine, char *folder, size_t cap);

#endif
