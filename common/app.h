/* Process-wide handles that several subsystems need. */
#ifndef KVL_APP_H
#define KVL_APP_H

#include <windows.h>

extern HINSTANCE Instance;     /* the module, for dialogs and resources */
extern HWND MainWindow;        /* the hidden taskbar window, or NULL */

#endif
