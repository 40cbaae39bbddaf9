/* The graphics setup dialog (and its wait window): the user picks the
 * display device, the display mode and the transparency option that the
 * game will use; Play stores them in the settings for the game. */
#include <windows.h>
#include <string.h>

#include "common/app.h"
#include "common/msgdlg.h"
#include "common/settings.h"
#include "common/texttable.h"
#include "graphics/ddraw5.h"
#include "graphics/graphics.h"
#include "resources/resource.h"

#define TEXT_DDRAW_MISSING   84
#define TEXT_NO_DEVICE       89
#define TEXT_NOT_SAVED       104
#define TEXT_SETUP_CAPTION   117
#define TEXT_PLAY            118
#define TEXT_BACK            119
#define TEXT_DEVICE_LABEL    120
#define TEXT_MODE_LABEL      121
#define TEXT_TRANSP_NOTE     122
#define TEXT_TRANSP_CHECK    123
#define TEXT_WAIT_CAPTION    124
#define TEXT_WAIT_SCANNING   125

#define RESULT_PLAY      4
#define RESULT_EXIT      1
#define RESULT_NOTHING   2

static HWND SetupDialog;
static HWND DeviceList;
static HWND ModeList;
static HWND WaitWindow;
static int currentDevice;
static int currentMode;
static int deviceFromSettings;   /* the device list took the stored Device */
/* The stored mode is brought back by the first filling of a mode list in
 * the launcher's run only. */
static int restoreSavedMode = 1;

void ResetGraphicsSetupRun(void) { restoreSavedMode = 1; }

/* ---- Wait window ---------------------------------------------------------- */

static INT_PTR CALLBACK WaitProc(HWND window, UINT message, WPARAM, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        SetWindowTextA(window, GetText(TEXT_WAIT_CAPTION));
        SetDlgItemTextA(window, IDC_WAIT_TEXT, GetText(TEXT_WAIT_SCANNING));
        return FALSE;
    }
    return FALSE;
}

static void OpenWaitWindow(void)
{
    WaitWindow = CreateDialogParamA(Instance, MAKEINTRESOURCEA(IDD_WAIT), MainWindow, WaitProc, 0);
    /* The scan runs without a message loop: paint the window now so that
     * it reads while the user waits. */
    if (WaitWindow)
        UpdateWindow(WaitWindow);
}

static void CloseWaitWindow(void)
{
    if (WaitWindow)
        DestroyWindow(WaitWindow);
    WaitWindow = 0;
}

/* ---- The two lists ---------------------------------------------------------- */

/* The stored device still is what the user chose: same index, same driver.
 * A driver name too long for DDName was stored cut, and is recognised by
 * its stored beginning. */
static int StoredDeviceApplies(void)
{
    if (Settings.SettingsComplete != 1)
        return 0;
    return DriverNameMatches(GetDeviceDriverName(Settings.Device), Settings.DDName,
                             (int)sizeof Settings.DDName);
}

static int StoredModeApplies(void)
{
    const DisplayMode *mode = GetMode(currentDevice, Settings.Mode);
    return mode && mode->width == Settings.Width && mode->height == Settings.Height;
}

static void FillDeviceList(void)
{
    EnableWindow(DeviceList, FALSE);
    SendMessageA(DeviceList, CB_RESETCONTENT, 0, 0);
    int count = GetDeviceCount();
    for (int i = 0; i < count; i++)
        SendMessageA(DeviceList, CB_ADDSTRING, 0, (LPARAM)GetDeviceLabel(i));
    deviceFromSettings = StoredDeviceApplies();
    currentDevice = deviceFromSettings ? Settings.Device : GetPreferredDevice();
    SendMessageA(DeviceList, CB_SETCURSEL, (WPARAM)currentDevice, 0);
    EnableWindow(DeviceList, TRUE);
}

static void FillModeList(void)
{
    int hardware = IsHardwareDevice(currentDevice);
    EnableWindow(ModeList, FALSE);
    SendMessageA(ModeList, CB_RESETCONTENT, 0, 0);
    int count = GetModeCount(currentDevice);
    for (int i = 0; i < count; i++) {
        char label[MODE_LABEL_SIZE];
        FormatModeLabel(GetMode(currentDevice, i), label);
        SendMessageA(ModeList, CB_ADDSTRING, 0, (LPARAM)label);
    }
    currentMode = GetDefaultMode(currentDevice);
    if (restoreSavedMode) {
        restoreSavedMode = 0;
        if (deviceFromSettings && StoredModeApplies())
            currentMode = Settings.Mode;
    }
    SendMessageA(ModeList, CB_SETCURSEL, (WPARAM)currentMode, 0);
    EnableWindow(ModeList, TRUE);
    /* Forcing transparency concerns 3D boards only; a disabled box keeps
     * its tick. */
    EnableWindow(GetDlgItem(SetupDialog, IDC_GFX_TRANSP_NOTE), hardware);
    EnableWindow(GetDlgItem(SetupDialog, IDC_GFX_TRANSP_CHECK), hardware);
}

/* ---- Handlers ---------------------------------------------------------------- */

static void OnInitDialog(HWND dialog)
{
    SetupDialog = dialog;
    DeviceList = GetDlgItem(dialog, IDC_GFX_DEVICE);
    ModeList = GetDlgItem(dialog, IDC_GFX_MODE);
    OpenWaitWindow();
    SetWindowTextA(dialog, GetText(TEXT_SETUP_CAPTION));
    SetDlgItemTextA(dialog, IDC_GFX_PLAY, GetText(TEXT_PLAY));
    SetDlgItemTextA(dialog, IDCANCEL, GetText(TEXT_BACK));
    SetDlgItemTextA(dialog, IDC_GFX_DEVICE_LABEL, GetText(TEXT_DEVICE_LABEL));
    SetDlgItemTextA(dialog, IDC_GFX_MODE_LABEL, GetText(TEXT_MODE_LABEL));
    SetDlgItemTextA(dialog, IDC_GFX_TRANSP_NOTE, GetText(TEXT_TRANSP_NOTE));
    SetDlgItemTextA(dialog, IDC_GFX_TRANSP_CHECK, GetText(TEXT_TRANSP_CHECK));
    CheckDlgButton(dialog, IDC_GFX_TRANSP_CHECK, Settings.Transparency ? BST_CHECKED : BST_UNCHECKED);
    EnableWindow(GetDlgItem(dialog, IDC_GFX_PLAY), TRUE);
    EnableWindow(GetDlgItem(dialog, IDCANCEL), TRUE);
    if (ScanDisplayDevices()) {
        FillDeviceList();
        FillModeList();
    } else {
        ShowErrorMessage(TEXT_NO_DEVICE);
        EndDialog(dialog, RESULT_NOTHING);
    }
    CloseWaitWindow();
}

static void OnDeviceChange(void)
{
    LRESULT selection = SendMessageA(DeviceList, CB_GETCURSEL, 0, 0);
    if (selection == CB_ERR)
        return;
    currentDevice = (int)selection;
    FillModeList();
}

static void OnModeChange(void)
{
    LRESULT selection = SendMessageA(ModeList, CB_GETCURSEL, 0, 0);
    if (selection != CB_ERR)
        currentMode = (int)selection;
}

/* The fields that Play stores in the record. */
static void CopyChoices(LauncherSettings *to, const LauncherSettings *from)
{
    to->Transparency = from->Transparency;
    to->Device = from->Device;
    to->Mode = from->Mode;
    to->Width = from->Width;
    to->Height = from->Height;
    memcpy(to->DDName, from->DDName, sizeof to->DDName);
    to->bHard = from->bHard;
    to->bFirstTime = from->bFirstTime;
}

static void StoreChoices(HWND dialog, const DisplayMode *mode, const char *driverName)
{
    Settings.Transparency = IsDlgButtonChecked(dialog, IDC_GFX_TRANSP_CHECK) == BST_CHECKED ? 1 : 0;
    Settings.Device = currentDevice;
    Settings.Mode = currentMode;
    Settings.Width = mode->width;
    Settings.Height = mode->height;
    memset(Settings.DDName, 0, sizeof Settings.DDName);
    size_t length = strlen(driverName);
    if (length > sizeof Settings.DDName - 1)
        length = sizeof Settings.DDName - 1;
    memcpy(Settings.DDName, driverName, length);
    Settings.bHard = IsHardwareDevice(currentDevice);
    Settings.bFirstTime = 0;
}

static void OnPlay(HWND dialog)
{
    const DisplayMode *mode = GetMode(currentDevice, currentMode);
    const char *driverName = GetDeviceDriverName(currentDevice);
    /* A device without modes can be selected, but the game needs one. */
    if (!mode || !driverName)
        return;
    LauncherSettings before = Settings;
    StoreChoices(dialog, mode, driverName);
    if (WriteSettings()) {
        EndDialog(dialog, RESULT_PLAY);
        return;
    }
    /* The game reads its settings from the registry, so the record goes
     * back to what the registry holds: bFirstTime above all, which sends
     * the next Play through this dialog and this warning again rather than
     * into a game that runs without the choices. The dialog keeps showing
     * them. Continue plays with the registry's settings. */
    CopyChoices(&Settings, &before);
    if (ShowWarningMessage(TEXT_NOT_SAVED, WARN_CANCEL, NULL) == 1)
        EndDialog(dialog, RESULT_PLAY);
}

static void OnCommand(HWND dialog, int id, int notification)
{
    switch (id) {
    case IDC_GFX_DEVICE:
        if (notification == CBN_SELCHANGE)
            OnDeviceChange();
        break;
    case IDC_GFX_MODE:
        if (notification == CBN_SELCHANGE)
            OnModeChange();
        break;
    case IDC_GFX_PLAY:
        OnPlay(dialog);
        break;
    case IDCANCEL:
        EndDialog(dialog, RESULT_EXIT);
        break;
    }
}

static INT_PTR CALLBACK SetupProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(dialog);
        return FALSE; /* no default focus asked for */
    case WM_COMMAND:
        OnCommand(dialog, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_CLOSE:
        EndDialog(dialog, RESULT_EXIT);
        return TRUE;
    }
    return FALSE;
}

int ShowGraphicsSetup(HWND owner)
{
    if (!LoadDirectDraw()) {
        UnloadDirectDraw();
        ShowErrorMessage(TEXT_DDRAW_MISSING);
        return -1;
    }
    INT_PTR result = DialogBoxParamA(Instance, MAKEINTRESOURCEA(IDD_GRAPHICS), owner, SetupProc, 0);
    UnloadDirectDraw();
    return (int)result;
}
