/* The start-up minimum-requirements check, the machine report and the
 * system information dialog. */
#include <windows.h>
#include <string.h>

#include "common/app.h"
#include "common/msgdlg.h"
#include "common/texttable.h"
#include "resources/resource.h"
#include "sysinfo/cddrives.h"
#include "sysinfo/probes.h"
#include "sysinfo/sysinfo.h"
#include "sysinfo/sysreport.h"

int CpuSpeedMhz = -1;
static char MinimumSpecWarning[MIN_SPEC_WARNING_SIZE];

static HWND SysInfoDialog;
static HWND SysInfoReport;
static char SysInfoText[SYSTEM_REPORT_SIZE];

int CheckMinimumSpecification(void)
{
    CpuSpeedMhz = MeasureCpuSpeed();
    float memoryMb = (float)GetPhysicalMemoryMb();
    const MinimumSpecTexts texts = { GetText(91), GetText(92), GetText(93), GetText(94) };
    int failed = ComposeMinimumSpecWarning(CpuSpeedMhz, memoryMb, &texts, MinimumSpecWarning,
                                           sizeof MinimumSpecWarning);
    /* No launcher window exists yet: the warning has no owner. Start-up
     * goes on whatever the answer. */
    if (failed)
        ShowWarningMessage(0, 0, MinimumSpecWarning);
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
        { GetText(128), GetText(129), GetText(130), GetText(131), GetText(132), GetText(133),
          GetText(134) },
        processor, memory, keyboard, mouse, cdrom, display, sound
    };
    FormatSystemReport(&fields, report, size);
}

/* ---- System information dialog ------------------------------------------- */

static INT_PTR OnSysInfoInit(HWND dialog)
{
    SysInfoDialog = dialog;
    SetWindowTextA(dialog, GetText(126));
    SetDlgItemTextA(dialog, IDOK, GetText(119));
    SysInfoReport = GetDlgItem(dialog, IDC_SYSINFO_REPORT);
    EnableWindow(SysInfoReport, TRUE);
    BuildSystemReport(SysInfoText, sizeof SysInfoText);
    SetWindowTextA(SysInfoReport, SysInfoText);
    /* No focus is set here. */
    return FALSE;
}

static void OnSysInfoClose(HWND dialog)
{
    EndDialog(dialog, 0);
    SysInfoDialog = NULL;
    SysInfoReport = NULL;
}

static INT_PTR CALLBACK SystemInformationProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnSysInfoInit(dialog);
    case WM_COMMAND:
        /* The button, or Enter as it is the default button. Esc (IDCANCEL)
         * and everything else leave the report open. */
        if (LOWORD(wParam) == IDOK)
            OnSysInfoClose(dialog);
        return TRUE;
    case WM_CLOSE:
        OnSysInfoClose(dialog);
        return TRUE;
    }
    return FALSE;
}

int ShowSystemInformation(HWND owner)
{
    DialogBoxParamA(Instance, MAKEINTRESOURCEA(IDD_SYSINFO), owner, SystemInformationProc, 0);
    return 0;
}
