/* The start-up warning for a desktop of fewer than 15 bits per pixel: when
 * it is shown, and what the user's "don't show again" tick does. Nothing
 * here needs Win32: colourdepth_win.cpp gives it the display and the
 * warning dialog, the tests give it scripted ones. */
#ifndef KVL_GRAPHICS_COLOURDEPTH_H
#define KVL_GRAPHICS_COLOURDEPTH_H

/* The warning as the check shows it: result of the warning dialog, and
 * whether its "don't show again" box was ticked when it closed. */
typedef int (*ColourDepthWarningFn)(unsigned int flags, int *dontShowAgain);

/* Decides and shows the colour-depth warnings. desktopBits is the
 * desktop's depth, countHighColourModes counts the display settings of 15
 * bits or more (asked only when needed), noWarning is the stored "don't
 * show again" choice; rememberNoWarning stores it. 1 when nothing was
 * shown or the user chose Continue. */
int RunColourDepthCheck(int desktopBits, int (*countHighColourModes)(void), int noWarning,
                        ColourDepthWarningFn warn, void (*rememberNoWarning)(void));

#endif
