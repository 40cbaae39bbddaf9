#include <windows.h>
#include "launcher/launch.h"

int LaunchGame(void) { return 0; }
int OpenReadMe(void) { return 0; }
int LaunchSetup(void) { return 0; }
int LaunchUninstaller(void) { return 0; }
