/* Graphics setup: what the rest of the launcher calls. */
#ifndef KVL_GRAPHICS_H
#define KVL_GRAPHICS_H

#include <windows.h>

/* 4 Play, 1 Exit, 2 nothing usable, -1 DirectDraw not loadable. */
int ShowGraphicsSetup(HWND owner);
/* Start-up desktop colour-depth warning. */
int CheckDesktopColourDepth(void);

#endif
