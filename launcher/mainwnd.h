/* The hidden main window: the zero-size pop-up that gives the launcher its
 * taskbar button, with its icon and a title that runs a small marquee. */
#ifndef KVL_MAINWND_H
#define KVL_MAINWND_H

#include <windows.h>

#define MAIN_WINDOW_CLASS "KVLMainWindow"
#define TITLE_TIMER 1
#define TITLE_TIMER_PERIOD 200
#define TITLE_MARQUEE_LENGTH 10

/* What the window keeps while it lives: the marquee's next title and the
 * private copy of the icon it shows (NULL once given back). The caller owns
 * it and keeps it for as long as the window may be served. */
struct MainWindowState {
    unsigned marqueePosition;
    HICON icon;
};

/* Creates and shows the window, with its icon and its first title; state
 * is filled here and kept with the window. Returns the window, or NULL
 * (the launcher carries on without). */
HWND CreateMainWindow(HINSTANCE instance, MainWindowState *state);
/* Hides the window for good at the end of the run: it is not destroyed
 * (it goes with the process), but it lets go of its state. */
void RetireMainWindow(HWND window);

#endif
