/* The main menu, and the DirectX check and picture drawing it is built on. */
#ifndef KVL_MAINMENU_H
#define KVL_MAINMENU_H

#include <windows.h>

/* Runs the menu, modal over owner. Ends with a DialogResult: EXIT, ABORT
 * (a DirectX component is missing; the menu never showed), PLAY, INSTALL
 * or UNINSTALL, or NOT_SHOWN when it cannot be created. */
int RunMainMenu(HINSTANCE instance, HWND owner);
/* Creates each DirectX component the installed game needs; at the first
 * that fails, shows its message and returns 0. Returns 1 when all can be
 * created. */
int CheckDirectXComponents(void);
/* Draws bitmap stretched over the rectangle; 0 when it cannot. */
int DrawStretchedBitmap(HDC dc, HBITMAP bitmap, int left, int top, int right, int bottom);

#endif
