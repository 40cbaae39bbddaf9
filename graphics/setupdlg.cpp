#include <windows.h>
#include "graphics/graphics.h"

int ShowGraphicsSetup(HWND) { return 1; }
int CheckDesktopColourDepth(void) { return 1; }
