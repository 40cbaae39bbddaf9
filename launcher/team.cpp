/* The credits dialog, opened from the main menu's picture button with
 * Shift and Control held. Only its OK button (or Enter) closes it: it has
 * no close box, and Escape is ignored on purpose. */
#include <windows.h>

#include "launcher/team.h"
#include "common/app.h"
#include "common/dpiscale.h"
#include "common/trace.h"
#include "resources/resource.h"

static INT_PTR CALLBACK TeamDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        ScaleDialogPictures(dialog, ScreenDpi());
        return FALSE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            EndDialog(dialog, 0);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

int TeamDialog(HWND owner)
{
    int result = (int)DialogBoxParamA(Instance, MAKEINTRESOURCEA(IDD_TEAM), owner, TeamDialogProc, 0);
    if (result == -1)
        Trace("credits not shown (error %lu)", GetLastError());
    return result;
}
