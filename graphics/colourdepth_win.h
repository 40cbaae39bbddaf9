/* The start-up colour-depth check on the real display, with the user's
 * "don't show again" choice kept per user. */
#ifndef KVL_GRAPHICS_COLOURDEPTH_WIN_H
#define KVL_GRAPHICS_COLOURDEPTH_WIN_H

/* Reads the desktop's depth and runs the check; 1 when nothing was shown
 * or the user chose Continue. */
int CheckDesktopColourDepth(void);
/* The check for a desktop of desktopBits, with countHighColourModes
 * counting the display's settings of 15 bits or more (asked only when
 * needed); the stored choice and the warning are the real ones. */
int CheckDesktopColourDepthWith(int desktopBits, int (*countHighColourModes)(void));
/* Display settings of the current display with 15 bits per pixel or more. */
int CountHighColourModes(void);

#endif
