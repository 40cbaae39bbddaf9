/* The system information dialog, which shows the machine report. */
#ifndef KVL_SYSDLG_H
#define KVL_SYSDLG_H

#include <windows.h>

/* The report in its dialog, until the user closes it; 0. */
int ShowSystemInformation(HWND owner);

#endif
