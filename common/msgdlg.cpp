/* The error and warning dialogs. Both run template IDD_MESSAGE with no
 * owner: the start-up checks use them before any window of the launcher
 * exists. Each kind keeps its own open window, which doubles as a guard:
 * a request of a kind that is already open is refused with -1, while the
 * other kind may still open on top of it. */
#include <windows.h>

#include "common/msgdlg.h"
#include "common/app.h"
#include "common/texttable.h"
#include "resources/resource.h"
#include "resources/texts.h"

/* Error dialog: its window while open, and the requested message. */
static HWND ErrorDialog;
static int ErrorNumber;

/* Warning dialog: its window while open, the requested message, flags and
 * free text, whether the open dialog shows its check box, and the state of
 * that box when the last warning dialog closed. */
static HWND WarningDialog;
static int WarningNumber;
static unsigned int WarningFlags;
static const char *WarningFreeText;
static int WarningBoxShown;
static int WarningDontShowAgain;

/* ---- Error dialog ----------------------------------------------------- */

static void ErrorOnInit(HWND dialog)
{
    ErrorDialog = dialog;
    SetWindowTextA(dialog, GetText(TEXT_ERROR_CAPTION));
    SetDlgItemTextA(dialog, IDC_MSG_BUTTON, GetText(TEXT_QUIT));
    EnableWindow(GetDlgItem(dialog, IDC_MSG_BUTTON), TRUE);
    SetDlgItemTextA(dialog, IDC_MSG_TEXT, GetMessageText(ErrorNumber));
    EnableWindow(GetDlgItem(dialog, IDC_MSG_TEXT), TRUE);
}

static void ErrorEnd(HWND dialog)
{
    EndDialog(dialog, 0);
    ErrorDialog = NULL;
}

static INT_PTR CALLBACK ErrorDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        ErrorOnInit(dialog);
        return FALSE; /* no default focus */
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_MSG_BUTTON)
            ErrorEnd(dialog);
        return TRUE;
    case WM_CLOSE:
        ErrorEnd(dialog);
        return TRUE;
    }
    return FALSE;
}

int ShowErrorMessage(int number)
{
    ErrorNumber = number;
    if (ErrorDialog)
        return -1;
    return (int)DialogBoxParamA(Instance, MAKEINTRESOURCEA(IDD_MESSAGE), NULL, ErrorDialogProc, 0);
}

/* ---- Warning dialog --------------------------------------------------- */

static void WarningOnInit(HWND dialog)
{
    HWND cancel = GetDlgItem(dialog, IDCANCEL);
    HWND box = GetDlgItem(dialog, IDC_MSG_CHECK);
    int withCancel = (WarningFlags & WARN_CANCEL) != 0;
    const char *message;

    WarningDialog = dialog;
    WarningBoxShown = (WarningFlags & WARN_DONT_SHOW_AGAIN) != 0;

    SetWindowTextA(dialog, GetMessageText(TEXT_WARNING_CAPTION));
    SetDlgItemTextA(dialog, IDC_MSG_BUTTON, GetText(TEXT_CONTINUE));
    EnableWindow(GetDlgItem(dialog, IDC_MSG_BUTTON), TRUE);

    SetWindowTextA(cancel, GetText(TEXT_CANCEL));
    ShowWindow(cancel, withCancel ? SW_SHOW : SW_HIDE);
    EnableWindow(cancel, withCancel);

    if (WarningBoxShown) {
        SetWindowTextA(box, GetText(TEXT_DONT_SHOW_AGAIN));
        ShowWindow(box, SW_SHOW);
    } else {
        ShowWindow(box, SW_HIDE);
    }
    EnableWindow(box, WarningBoxShown);

    if (WarningNumber != 0)
        message = GetMessageText(WarningNumber);
    else if (WarningFreeText)
        message = WarningFreeText;
    else
        message = GetMessageText(TEXT_BACK_TO_GAME);
    SetDlgItemTextA(dialog, IDC_MSG_TEXT, message);
    EnableWindow(GetDlgItem(dialog, IDC_MSG_TEXT), TRUE);
}

/* Every way out of the warning dialog keeps the box's state for
 * GetWarningDontShowAgain, then ends it with result. */
static void WarningEnd(HWND dialog, int result)
{
    WarningDontShowAgain = WarningBoxShown && IsDlgButtonChecked(dialog, IDC_MSG_CHECK) == BST_CHECKED;
    EndDialog(dialog, result);
    WarningDialog = NULL;
}

static INT_PTR CALLBACK WarningDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        WarningOnInit(dialog);
        return FALSE; /* no default focus */
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_MSG_BUTTON:
            WarningEnd(dialog, 1);
            break;
        case IDCANCEL:
            WarningEnd(dialog, 0);
            break;
        }
        return TRUE;
    case WM_CLOSE:
        WarningEnd(dialog, 0);
        return TRUE;
    }
    return FALSE;
}

int ShowWarningMessage(int number, unsigned int flags, const char *freeText)
{
    WarningNumber = number;
    WarningFlags = flags;
    WarningFreeText = freeText;
    if (WarningDialog)
        return -1;
    WarningDontShowAgain = 0;
    return (int)DialogBoxParamA(Instance, MAKEINTRESOURCEA(IDD_MESSAGE), NULL, WarningDialogProc, 0);
}

int GetWarningDontShowAgain(void)
{
    return WarningDontShowAgain;
}
