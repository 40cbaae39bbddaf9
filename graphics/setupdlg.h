/* The graphics setup dialog: the user picks the display device, the
 * display mode and the transparency option that the game will use. */
#ifndef KVL_GRAPHICS_SETUPDLG_H
#define KVL_GRAPHICS_SETUPDLG_H

#include <windows.h>

#include "graphics/ddraw_win.h"

/* What the graphics setup keeps from one opening to the next: the caller
 * keeps it for the launcher's run, zeroed at the start. */
struct GraphicsSetupRun {
    /* A mode list has been filled: the stored mode is brought back by the
     * first filling of a run only. */
    int storedModeOffered;
};

/* Loads DirectDraw, scans the display devices and runs the dialog. A
 * DialogResult: RESULT_PLAY (the choices are stored), RESULT_BACK,
 * RESULT_ABORT (no usable device) or RESULT_NOT_SHOWN (DirectDraw not
 * loadable); the error messages have been shown. */
int ShowGraphicsSetup(HWND owner, GraphicsSetupRun *run);
/* The same on given DirectDraw entry points, which stay the caller's. */
int ShowGraphicsSetupWith(HWND owner, GraphicsSetupRun *run, const DirectDrawEntries *directDraw);

#endif
