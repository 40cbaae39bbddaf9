/* The system information dialog: the machine report in a read-only box. */
#include "sysinfo/sysdlg.h"

#include "common/accname.h"
#include "common/app.h"
#include "common/dialogstate.h"
#include "common/dpiscale.h"
#include "common/texttable.h"
#include "common/trace.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "sysinfo/machinereport.h"
#include "sysinfo/report.h"

/* The open dialog's state, owned by ShowSystemInformation. */
struct SysInfoDialog {
    HWND report;                       /* the read-only box; NULL once closed */
    char text[SYSTEM_REPORT_SIZE];     /* the report it shows */
};

static INT_PTR OnSysInfoInit(HWND dialog, SysInfoDialog *state)
{
    ScaleDialogPictures(dialog, ScreenDpi());
    SetWindowTextA(dialog, GetText(TEXT_SYSINFO_CAPTION));
    SetDlgItemTextA(dialog, IDOK, GetText(TEXT_BACK));
    state->report = GetDlgItem(dialog, IDC_SYSINFO_REPORT);
    /* No label before the report: a screen reader gets its name here. */
    NameControl(state->report, TEXT_NAME_SYSINFO_REPORT);
    EnableWindow(state->report, TRUE);
    BuildSystemReport(state->text, sizeof state->text);
    SetWindowTextA(state->report, state->text);
    /* No focus is set here. */
    return FALSE;
}

static void OnSysInfoClose(HWND dialog, SysInfoDialog *state)
{
    EndDialog(dialog, 0);
    if (state)
        state->report = NULL;
}

static INT_PTR CALLBACK SystemInformationProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    SysInfoDialog *state = DialogState<SysInfoDialog>(dialog, message, lParam);
    switch (message) {
    case WM_INITDIALOG:
        return OnSysInfoInit(dialog, state);
    case WM_COMMAND:
        /* The button, or Enter as it is the default button. Esc (IDCANCEL)
         * and everything else leave the report open. */
        if (LOWORD(wParam) == IDOK)
            OnSysInfoClose(dialog, state);
        return TRUE;
    case WM_CLOSE:
        OnSysInfoClose(dialog, state);
        return TRUE;
    }
    return FALSE;
}

int ShowSystemInformation(HWND owner)
{
    SysInfoDialog state = {};
    if (DialogBoxParamA(Instance, MAKEINTRESOURCEA(IDD_SYSINFO), owner, SystemInformationProc,
                        reinterpret_cast<LPARAM>(&state)) == -1)
        Trace("system information: the dialog could not be opened (error %lu)", GetLastError());
    return 0;
}
