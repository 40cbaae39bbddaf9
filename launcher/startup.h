#ifndef KVL_STARTUP_H
#define KVL_STARTUP_H

#include <windows.h>

/* The whole run of the launcher: start-up, main menu, hand-over, shutdown.
 * Returns the process exit code. */
int RunLauncher(HINSTANCE instance);

#endif
