/* The start-up minimum-requirements check, the machine report and the
 * system information dialog. */
#include "sysinfo/sysdlg.h"

#include "common/app.h"
#include "common/dpiscale.h"
#include "common/msgdlg.h"
#include "common/texttable.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "sysinfo/cddrives.h"
#include "sysinfo/facts.h"
#include "sysinfo/probes.h"
#include "sysinfo/report.h"

int CheckMinimumSpecification(void)
{
    CpuSpeedMhz = MeasureCpuSpeed();
    float memoryMb = (float)GetPhysicalMemoryMb();
    const MinimumSpecTexts texts = { GetText(TEXT_MINSPEC_SLOW_CPU), GetText(TEXT_MINSPEC_LOW_MEMORY),
                                     GetText(TEXT_MINSPEC_LOW_RECOMMENDED_MEMORY),
                                     GetText(TEXT_MINSPEC_CONCLUSION) };
    char warning[MIN_SPEC_WARNING_SIZE];
    int failed = ComposeMinimumSpecWarning(CpuSpeedMhz, memoryMb, &texts, warning, sizeof warning);
    /* No launcher window exists yet: the warning has no owner. Start-up
     * goes on whatever the answer. */
    if (failed)
        ShowWarningMessage(MESSAGE_FREE_TEXT, 0, warning);
    return failed;
}

void BuildSystemReport(char *report, size_t size)
{
    char name[SYSINFO_TEXT_SIZE];
    char processor[SYSINFO_TEXT_SIZE + 16];
    char memory[32];
    char mouse[SYSINFO_TEXT_SIZE], keyboard[SYSINFO_TEXT_SIZE], display[SYSINFO_TEXT_SIZE];
    char sound[SYSINFO_TEXT_SIZE];
    char cdrom[CDROM_LINES_SIZE];

    /* The speed is the one measured at start-up. */
    GetProcessorName(name, sizeof name);
    FormatProcessorLine(name, CpuSpeedMhz, processor, sizeof processor);
    FormatMemoryLine(GetPhysicalMemoryMb(), memory, sizeof memory);
    GetMouseName(mouse, sizeof mouse);
    GetKeyboardName(keyboard, sizeof keyboard);
    GetGraphicsCardName(display, sizeof display);
    GetSoundCardName(sound, sizeof sound);

    CdDriveList shown;
    for (int i = 0; i < GetDriveCount() && shown.count < CD_DRIVE_MAX; i++) {
        const CdDrive *drive = GetDrive(i);
        if (drive)
            shown.drives[shown.count++] = *drive;
    }
    FormatCdRomLines(&shown, cdrom, sizeof cdrom);

    const SystemReportFields fields = {
        { GetText(TEXT_SYSINFO_PROCESSOR), GetText(TEXT_SYSINFO_MEMORY), GetText(TEXT_SYSINFO_KEYBOARD),
          GetText(TEXT_SYSINFO_MOUSE), GetText(TEXT_SYSINFO_CDROM), GetText(TEXT_SYSINFO_GRAPHICS),
          GetText(TEXT_SYSINFO_SOUND) },
        processor, memory, keyboard, mouse, cdrom, display, sound
    };
    FormatSystemReport(&fields, report, size);
}

/* ---- System information dialog ------------------------------------------- */

/* The open dialog's state, owned by ShowSystemInformation. */
struct SysInfoDialog {
    HWND report;                       /* the read-only box; NULL once closed */
    char text[SYSTEM_REPORT_SIZE];     /* the report it shows */
};

/* NULL for the messages that come before WM_INITDIALOG. */
static SysInfoDialog *StateOf(HWND dialog)
{
    return reinterpret_cast<SysInfoDialog *>(GetWindowLongPtrA(dialog, DWLP_USER));
}

static INT_PTR OnSysInfoInit(HWND dialog, SysInfoDialog *state)
{
    SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(state));
    ScaleDialogPictures(dialog, ScreenDpi());
    SetWindowTextA(dialog, GetText(TEXT_SYSINFO_CAPTION));
    SetDlgItemTextA(dialog, IDOK, GetText(TEXT_BACK));
    state->report = GetDlgItem(dialog, IDC_SYSINFO_REPORT);
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
    switch (message) {
    case WM_INITDIALOG:
        return OnSysInfoInit(dialog, reinterpret_cast<SysInfoDialog *>(lParam));
    case WM_COMMAND:
        /* The button, or Enter as it is the default button. Esc (IDCANCEL)
         * and everything else leave the report open. */
        if (LOWORD(wParam) == IDOK)
            OnSysInfoClose(dialog, StateOf(dialog));
        return TRUE;
    case WM_CLOSE:
        OnSysInfoClose(dialog, StateOf(dialog));
        return TRUE;
    }
    return FALSE;
}

int ShowSystemInformation(HWND owner)
{
    SysInfoDialog state = {};
    DialogBoxParamA(Instance, MAKEINTRESOURCEA(IDD_SYSINFO), owner, SystemInformationProc,
                    reinterpret_cast<LPARAM>(&state));
    return 0;
}
