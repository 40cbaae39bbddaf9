#include <windows.h>
#include "launcher/startup.h"

int RunLauncher(HINSTANCE) { return 0; }
