/* The credits dialog, hidden behind the main menu's picture. */
#ifndef KVL_TEAM_H
#define KVL_TEAM_H

#include <windows.h>

/* The credits, modal over owner; ends with 0 on OK, or -1 when it cannot
 * be created. */
int TeamDialog(HWND owner);

#endif
