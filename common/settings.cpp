#include <windows.h>
#include "common/settings.h"

LauncherSettings Settings;

int ReadSettings(void) { return 0; }
int WriteSettings(void) { return 0; }
