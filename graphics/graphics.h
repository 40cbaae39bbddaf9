/* Graphics setup: what the rest of the launcher calls. */
#ifndef KVL_GRAPHICS_H
#define KVL_GRAPHICS_H

#include <windows.h>

/* 4 Play, 1 Exit, 2 nothing usable, -1 DirectDraw not loadable. */
int ShowGraphicsSetup(HWND owner);
/* Start-up desktop colour-depth warning. */
int CheckDesktopColourDepth(void);
/* Display settings of the current display with 15 bits per pixel or more. */
int CountHighColourModes(void);

/* DirectDraw, loaded only around the graphics setup dialog. */
int LoadDirectDraw(void);
void UnloadDirectDraw(void);
/* Builds the display device list anew; 1 when some device has a mode. */
int ScanDisplayDevices(void);

#endif
