/* The main menu. */
#ifndef KVL_MAINMENU_H
#define KVL_MAINMENU_H

#include <windows.h>

/* Runs the menu, modal over owner. Ends with a DialogResult: EXIT, ABORT
 * (a DirectX component is missing; the menu never showed), PLAY, INSTALL
 * or UNINSTALL, or NOT_SHOWN when it cannot be created. */
int RunMainMenu(HINSTANCE instance, HWND owner);

#endif
