#include <windows.h>
#include "launcher/mainmenu.h"

int RunMainMenu(HINSTANCE, HWND) { return MENU_EXIT; }
int CheckDirectXComponents(void) { return 1; }
int DrawStretchedBitmap(HDC, HBITMAP, int, int, int, int) { return 0; }
