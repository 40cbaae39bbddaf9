/* The launcher's start-up and shutdown, and the steps they are made of. */
#ifndef KVL_STARTUP_H
#define KVL_STARTUP_H

#include <windows.h>

/* The launcher's own instance mutex, held while it runs, and a second name
 * that is only tested: either one existing means another instance runs. */
#define LAUNCHER_MUTEX_NAME "{59bd4302-eefc-11d1-af19-444553540000}"
#define SECOND_MUTEX_NAME   "{1C42C441-D94A-11d1-BF31-00A0C99ED73F}"

/* The whole run of the launcher: start-up, main menu, hand-over, shutdown.
 * Returns the process exit code: 0, or 1 when another instance runs. */
int RunLauncher(HINSTANCE instance);

/* Single-instance test. Returns 1 when another instance runs, else 0.
 * Leaves in *held the launcher's own mutex when this call created it (else
 * NULL), to be kept open for the life of the process. */
int AnotherInstanceRuns(HANDLE *held);

/* Makes the current directory the disc root: CDRoot when the settings are
 * complete (its leading "?" replaced by the disc's drive letter first),
 * else the parent of the program's folder taken from commandLine.
 * Failures to change directory are ignored (and traced). */
void ChooseCurrentDirectory(const char *commandLine);

/* Starts the program that the main menu's result (a DialogResult) asks
 * for: the installer, the uninstaller, or the game after hiding the taskbar
 * window. Other results start nothing. */
void ActOnMenuResult(int result);

#endif
