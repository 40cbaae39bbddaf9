/* How a dialog keeps its state with its window. The function that runs a
 * dialog creates the dialog's state struct and passes its address as the
 * parameter of DialogBoxParamA; the dialog procedure's first line is
 *
 *     XxxDialog *state = DialogState<XxxDialog>(dialog, message, lParam);
 *
 * At WM_INITDIALOG this stores the struct with the window (DWLP_USER); for
 * every message it returns the stored struct, which is NULL for the few
 * messages that come before WM_INITDIALOG (WM_SETFONT among them). Header
 * only, so that the disc's programs use it as well. */
#ifndef KVL_DIALOGSTATE_H
#define KVL_DIALOGSTATE_H

#include <windows.h>

template <typename State> State *DialogState(HWND dialog, UINT message, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
    return reinterpret_cast<State *>(GetWindowLongPtrA(dialog, DWLP_USER));
}

#endif
