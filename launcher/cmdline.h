/* The program's own path and folder, taken from its command line. */
#ifndef KVL_CMDLINE_H
#define KVL_CMDLINE_H

#include <stddef.h>

/* Longest program path kept, terminator included (MAX_PATH). */
#define PROGRAM_PATH_LIMIT 260

/* Copies the program path of commandLine into path: when the line begins
 * with a double quote, the text after it up to the next double quote (or
 * the end); otherwise the text up to the first blank (or all of it).
 * The copy is truncated to PROGRAM_PATH_LIMIT - 1 characters and to the
 * buffer (capacity cap), and always terminated when cap is not 0.
 * Returns the length copied. */
size_t ProgramPathFromCommandLine(const char *commandLine, char *path, size_t cap);

/* Copies the program path of commandLine (as above) into folder and cuts
 * it at its last backslash. Returns 1 when there was a backslash (folder
 * holds the program's folder), 0 when the path has none (folder holds the
 * bare name). */
int ProgramFolderFromCommandLine(const char *commandLine, char *folder, size_t cap);

#endif
