#ifndef KVL_MAINMENU_H
#define KVL_MAINMENU_H

#include <windows.h>

/* MainMenuResult values */
#define MENU_EXIT      0
#define MENU_ABORT     2
#define MENU_PLAY      4
#define MENU_INSTALL   5
#define MENU_UNINSTALL 6

int RunMainMenu(HINSTANCE instance, HWND owner);
int CheckDirectXComponents(void);
int DrawStretchedBitmap(HDC dc, HBITMAP bitmap, int left, int top, int right, int bottom);
/* The credits, modal over owner; ends with 0 on OK, or -1 when it cannot
 * be created. */
int TeamDialog(HWND owner);

#endif
