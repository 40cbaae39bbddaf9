/* Command lines of the programs the launcher starts. Each builder writes a
 * NUL-ended line into line (capacity cap) and returns 1, or returns 0 with
 * an empty line when the whole line would not fit; nothing is ever written
 * past line[cap - 1].
 *
 * The game and the read-me file are quoted, so that an installation folder
 * with a blank ("C:\Program Files\KVL") cannot make Windows start a
 * different program ("C:\Program.exe"). The quotes count toward cap. An
 * installation folder holding a double quote is refused like one too long. */
#ifndef KVL_COMMANDS_H
#define KVL_COMMANDS_H

#include <stddef.h>

/* Room for every command line: the platform's path limit. */
#define COMMAND_LINE_SIZE 260

/* "<exeDir>\KVL.EXE" */
int BuildGameCommand(const char *exeDir, char *line, size_t cap);
/* "<windowsDir>\Notepad.exe" "<exeDir>\ReadMe.txt" when installed, else
 * "<windowsDir>\Notepad.exe" "KVL\ReadMe.txt" (relative to the disc root).
 * windowsDir is the Windows folder, which holds Notepad on every version;
 * an empty one is refused. */
int BuildReadMeCommand(int installed, const char *exeDir, const char *windowsDir, char *line, size_t cap);
/* Setup.exe, found by the program search in the disc root. */
int BuildSetupCommand(char *line, size_t cap);
/* The uninstall command exactly as the installer registered it. */
int BuildUninstallCommand(const char *uninstallString, char *line, size_t cap);

#endif
