/* The error and warning dialogs. Both run template IDD_MESSAGE with no
 * owner: the start-up checks use them before any window of the launcher
 * exists. Each kind keeps its own open window, which doubles as a guard:
 * a request of a kind that is already open is refused with -1, while the
 * other kind may still open on top of it. */
#include <windows.h>

#include "common/msgdlg.h"
#include "common/app.h"
#include "common/dialogstate.h"
#include "common/dpiscale.h"
#include "common/texttable.h"
#include "common/trace.h"
#include "resources/resource.h"
#include "resources/texts.h"

/* The open window of each kind, NULL when none is open. */
static HWND OpenError;
static HWND OpenWarning;

/* One request, for as long as its dialog runs. */
struct MessageDialog {
    HWND *guard;           /* its kind's open window */
    int caption;           /* text numbers of the caption and the button */
    int button;
    int number;            /* the message */
    const char *freeText;  /* shown instead when number is 0 */
    unsigned int flags;    /* WARN_* */
    int buttonResult;      /* what the button ends it with */
    int cancelEnds;        /* whether IDCANCEL (Annuler, Escape) ends it, with 0 */
    int dontShowAgain;     /* the box's state as the dialog closed */
};

static void ShowItem(HWND dialog, int id, int shown, int text)
{
    HWND item = GetDlgItem(dialog, id);
    if (shown)
        SetWindowTextA(item, GetText(text));
    ShowWindow(item, shown ? SW_SHOW : SW_HIDE);
    EnableWindow(item, shown);
}

static void MessageOnInit(HWND dialog, MessageDialog *state)
{
    *state->guard = dialog;
    ScaleDialogPictures(dialog, ScreenDpi());
    SetWindowTextA(dialog, GetText(state->caption));
    SetDlgItemTextA(dialog, IDC_MSG_BUTTON, GetText(state->button));
    EnableWindow(GetDlgItem(dialog, IDC_MSG_BUTTON), TRUE);
    ShowItem(dialog, IDCANCEL, (state->flags & WARN_CANCEL) != 0, TEXT_CANCEL);
    ShowItem(dialog, IDC_MSG_CHECK, (state->flags & WARN_DONT_SHOW_AGAIN) != 0, TEXT_DONT_SHOW_AGAIN);

    const char *message = state->number == MESSAGE_FREE_TEXT && state->freeText ? state->freeText
                                                                               : GetMessageText(state->number);
    SetDlgItemTextA(dialog, IDC_MSG_TEXT, message);
    EnableWindow(GetDlgItem(dialog, IDC_MSG_TEXT), TRUE);
}

/* Every way out keeps the box's state, then ends the dialog with result. */
static void MessageEnd(HWND dialog, MessageDialog *state, int result)
{
    state->dontShowAgain = (state->flags & WARN_DONT_SHOW_AGAIN) != 0
        && IsDlgButtonChecked(dialog, IDC_MSG_CHECK) == BST_CHECKED;
    EndDialog(dialog, result);
    *state->guard = NULL;
}

static void OnButtonClicked(HWND dialog, MessageDialog *state)
{
    MessageEnd(dialog, state, state->buttonResult);
}

static void OnCancelClicked(HWND dialog, MessageDialog *state)
{
    if (state->cancelEnds)
        MessageEnd(dialog, state, 0);
}

static INT_PTR CALLBACK MessageDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    MessageDialog *state = DialogState<MessageDialog>(dialog, message, lParam);
    switch (message) {
    case WM_INITDIALOG:
        MessageOnInit(dialog, state);
        return FALSE; /* no default focus */
    case WM_COMMAND:
        if (state == NULL)
            return TRUE;
        switch (LOWORD(wParam)) {
        case IDC_MSG_BUTTON: OnButtonClicked(dialog, state); break;
        case IDCANCEL:       OnCancelClicked(dialog, state); break;
        }
        return TRUE;
    case WM_CLOSE:
        if (state != NULL)
            MessageEnd(dialog, state, 0);
        return TRUE;
    }
    return FALSE;
}

static int RunMessageDialog(MessageDialog *state)
{
    if (*state->guard)
        return -1;
    int result = (int)DialogBoxParamA(Instance, MAKEINTRESOURCEA(IDD_MESSAGE), NULL, MessageDialogProc,
                                      reinterpret_cast<LPARAM>(state));
    if (result == -1)
        Trace("message %d not shown (error %lu)", state->number, GetLastError());
    return result;
}

int ShowErrorMessage(int number)
{
    MessageDialog state = { &OpenError, TEXT_ERROR_CAPTION, TEXT_QUIT, number, NULL, 0, 0, 0, 0 };
    return RunMessageDialog(&state);
}

int ShowWarningMessage(int number, unsigned int flags, const char *freeText, int *dontShowAgain)
{
    MessageDialog state = { &OpenWarning, TEXT_WARNING_CAPTION, TEXT_CONTINUE, number, freeText, flags, 1, 1, 0 };
    int result = RunMessageDialog(&state);
    if (dontShowAgain)
        *dontShowAgain = state.dontShowAgain;
    return result;
}
