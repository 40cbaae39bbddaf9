/* The graphics setup dialog (and its wait window): the user picks the
 * display device, the display mode and the transparency option that the
 * game will use; Play stores them in the settings for the game. */
#include <windows.h>
#include <string.h>

#include "graphics/setupdlg.h"
#include "common/app.h"
#include "common/dialogresult.h"
#include "common/dialogstate.h"
#include "common/dpiscale.h"
#include "common/msgdlg.h"
#include "common/settings.h"
#include "common/text.h"
#include "common/texttable.h"
#include "common/trace.h"
#include "graphics/devices.h"
#include "resources/resource.h"
#include "resources/texts.h"

/* One opening of the dialog, kept with its window. */
struct GraphicsSetupDialog {
    GraphicsSetupRun *run;
    const DirectDrawEntries *directDraw;
    HWND window;
    HWND deviceList;
    HWND modeList;
    int currentDevice;
    int currentMode;
    int deviceFromSettings;   /* the device list took the stored Device */
};

/* ---- Wait window ---------------------------------------------------------- */

static INT_PTR CALLBACK WaitProc(HWND window, UINT message, WPARAM, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        ScaleDialogPictures(window, ScreenDpi());
        SetWindowTextA(window, GetText(TEXT_WAIT_CAPTION));
        SetDlgItemTextA(window, IDC_WAIT_TEXT, GetText(TEXT_WAIT_SCANNING));
        return FALSE;
    }
    return FALSE;
}

static HWND OpenWaitWindow(void)
{
    HWND wait = CreateDialogParamA(Instance, MAKEINTRESOURCEA(IDD_WAIT), MainWindow, WaitProc, 0);
    if (!wait) {
        Trace("wait window not created (error %lu): the scan runs without it",
              (unsigned long)GetLastError());
        return 0;
    }
    /* The scan runs without a message loop: paint the window now so that
     * it reads while the user waits. */
    UpdateWindow(wait);
    return wait;
}

static void CloseWaitWindow(HWND wait)
{
    if (wait)
        DestroyWindow(wait);
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

static int StoredModeApplies(const GraphicsSetupDialog *setup)
{
    const DisplayMode *mode = GetMode(setup->currentDevice, Settings.Mode);
    return mode && mode->width == Settings.Width && mode->height == Settings.Height;
}

static void FillDeviceList(GraphicsSetupDialog *setup)
{
    EnableWindow(setup->deviceList, FALSE);
    SendMessageA(setup->deviceList, CB_RESETCONTENT, 0, 0);
    int count = GetDeviceCount();
    for (int i = 0; i < count; i++)
        SendMessageA(setup->deviceList, CB_ADDSTRING, 0, (LPARAM)GetDeviceLabel(i));
    setup->deviceFromSettings = StoredDeviceApplies();
    if (!setup->deviceFromSettings && Settings.SettingsComplete == 1)
        Trace("stored display device %d \"%.*s\" not found: the preferred one is offered",
              Settings.Device, (int)sizeof Settings.DDName, Settings.DDName);
    setup->currentDevice = setup->deviceFromSettings ? Settings.Device : GetPreferredDevice();
    SendMessageA(setup->deviceList, CB_SETCURSEL, (WPARAM)setup->currentDevice, 0);
    EnableWindow(setup->deviceList, TRUE);
}

static void FillModeList(GraphicsSetupDialog *setup)
{
    int device = setup->currentDevice;
    int hardware = IsHardwareDevice(device);
    EnableWindow(setup->modeList, FALSE);
    SendMessageA(setup->modeList, CB_RESETCONTENT, 0, 0);
    int count = GetModeCount(device);
    for (int i = 0; i < count; i++) {
        char label[MODE_LABEL_SIZE];
        FormatModeLabel(GetMode(device, i), label);
        SendMessageA(setup->modeList, CB_ADDSTRING, 0, (LPARAM)label);
    }
    setup->currentMode = GetDefaultMode(device);
    if (!setup->run->storedModeOffered) {
        setup->run->storedModeOffered = 1;
        if (setup->deviceFromSettings && StoredModeApplies(setup))
            setup->currentMode = Settings.Mode;
    }
    SendMessageA(setup->modeList, CB_SETCURSEL, (WPARAM)setup->currentMode, 0);
    EnableWindow(setup->modeList, TRUE);
    /* Forcing transparency concerns 3D boards only; a disabled box keeps
     * its tick. */
    EnableWindow(GetDlgItem(setup->window, IDC_GFX_TRANSP_NOTE), hardware);
    EnableWindow(GetDlgItem(setup->window, IDC_GFX_TRANSP_CHECK), hardware);
}

/* ---- Handlers ---------------------------------------------------------------- */

static void OnInitDialog(GraphicsSetupDialog *setup, HWND dialog)
{
    setup->window = dialog;
    setup->deviceList = GetDlgItem(dialog, IDC_GFX_DEVICE);
    setup->modeList = GetDlgItem(dialog, IDC_GFX_MODE);
    HWND wait = OpenWaitWindow();
    ScaleDialogPictures(dialog, ScreenDpi());
    SetWindowTextA(dialog, GetText(TEXT_SETUP_CAPTION));
    SetDlgItemTextA(dialog, IDC_GFX_PLAY, GetText(TEXT_SETUP_PLAY));
    SetDlgItemTextA(dialog, IDCANCEL, GetText(TEXT_BACK));
    SetDlgItemTextA(dialog, IDC_GFX_DEVICE_LABEL, GetText(TEXT_SETUP_DEVICE_LABEL));
    SetDlgItemTextA(dialog, IDC_GFX_MODE_LABEL, GetText(TEXT_SETUP_MODE_LABEL));
    SetDlgItemTextA(dialog, IDC_GFX_TRANSP_NOTE, GetText(TEXT_SETUP_TRANSPARENCY_NOTE));
    SetDlgItemTextA(dialog, IDC_GFX_TRANSP_CHECK, GetText(TEXT_SETUP_TRANSPARENCY));
    CheckDlgButton(dialog, IDC_GFX_TRANSP_CHECK, Settings.Transparency ? BST_CHECKED : BST_UNCHECKED);
    EnableWindow(GetDlgItem(dialog, IDC_GFX_PLAY), TRUE);
    EnableWindow(GetDlgItem(dialog, IDCANCEL), TRUE);
    if (ScanDisplayDevices(setup->directDraw)) {
        FillDeviceList(setup);
        FillModeList(setup);
    } else {
        ShowErrorMessage(TEXT_NO_DEVICE);
        EndDialog(dialog, RESULT_ABORT);
    }
    CloseWaitWindow(wait);
}

static void OnDeviceChange(GraphicsSetupDialog *setup)
{
    LRESULT selection = SendMessageA(setup->deviceList, CB_GETCURSEL, 0, 0);
    if (selection == CB_ERR)
        return;
    setup->currentDevice = (int)selection;
    FillModeList(setup);
}

static void OnModeChange(GraphicsSetupDialog *setup)
{
    LRESULT selection = SendMessageA(setup->modeList, CB_GETCURSEL, 0, 0);
    if (selection != CB_ERR)
        setup->currentMode = (int)selection;
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

static void StoreChoices(const GraphicsSetupDialog *setup, const DisplayMode *mode,
                         const char *driverName)
{
    Settings.Transparency =
        IsDlgButtonChecked(setup->window, IDC_GFX_TRANSP_CHECK) == BST_CHECKED ? 1 : 0;
    Settings.Device = setup->currentDevice;
    Settings.Mode = setup->currentMode;
    Settings.Width = mode->width;
    Settings.Height = mode->height;
    /* The whole field is written to the registry: zeros after the name. */
    memset(Settings.DDName, 0, sizeof Settings.DDName);
    CopyText(Settings.DDName, sizeof Settings.DDName, driverName);
    Settings.bHard = IsHardwareDevice(setup->currentDevice);
    Settings.bFirstTime = 0;
}

static void OnPlay(GraphicsSetupDialog *setup)
{
    const DisplayMode *mode = GetMode(setup->currentDevice, setup->currentMode);
    const char *driverName = GetDeviceDriverName(setup->currentDevice);
    /* A device without modes can be selected, but the game needs one. */
    if (!mode || !driverName)
        return;
    LauncherSettings before = Settings;
    StoreChoices(setup, mode, driverName);
    if (WriteSettings()) {
        EndDialog(setup->window, RESULT_PLAY);
        return;
    }
    /* The game reads its settings from the registry, so the record goes
     * back to what the registry holds: bFirstTime above all, which sends
     * the next Play through this dialog and this warning again rather than
     * into a game that runs without the choices. The dialog keeps showing
     * them. Continue plays with the registry's settings. */
    CopyChoices(&Settings, &before);
    if (ShowWarningMessage(TEXT_SETTINGS_NOT_SAVED, WARN_CANCEL, NULL) == 1)
        EndDialog(setup->window, RESULT_PLAY);
}

static void OnBack(GraphicsSetupDialog *setup)
{
    EndDialog(setup->window, RESULT_BACK);
}

static void OnCommand(GraphicsSetupDialog *setup, int id, int notification)
{
    switch (id) {
    case IDC_GFX_DEVICE:
        if (notification == CBN_SELCHANGE)
            OnDeviceChange(setup);
        break;
    case IDC_GFX_MODE:
        if (notification == CBN_SELCHANGE)
            OnModeChange(setup);
        break;
    case IDC_GFX_PLAY:
        OnPlay(setup);
        break;
    case IDCANCEL:
        OnBack(setup);
        break;
    }
}

static INT_PTR CALLBACK SetupProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    GraphicsSetupDialog *setup = DialogState<GraphicsSetupDialog>(dialog, message, lParam);
    if (!setup)
        return FALSE;
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(setup, dialog);
        return FALSE; /* no default focus asked for */
    case WM_COMMAND:
        OnCommand(setup, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_CLOSE:
        OnBack(setup);
        return TRUE;
    }
    return FALSE;
}

int ShowGraphicsSetupWith(HWND owner, GraphicsSetupRun *run, const DirectDrawEntries *directDraw)
{
    if (!HasDirectDrawEntries(directDraw)) {
        ShowErrorMessage(TEXT_DIRECTDRAW_MISSING);
        return RESULT_NOT_SHOWN;
    }
    GraphicsSetupDialog setup;
    memset(&setup, 0, sizeof setup);
    setup.run = run;
    setup.directDraw = directDraw;
    INT_PTR result = DialogBoxParamA(Instance, MAKEINTRESOURCEA(IDD_GRAPHICS), owner, SetupProc,
                                     (LPARAM)&setup);
    if (result == -1)
        Trace("graphics setup dialog not created (error %lu)", (unsigned long)GetLastError());
    return (int)result;
}

int ShowGraphicsSetup(HWND owner, GraphicsSetupRun *run)
{
    /* A library that did not load, or lacks an entry point, leaves no entry
     * points: the setup then shows its error instead of the dialog. */
    DirectDrawEntries directDraw;
    LoadDirectDraw(&directDraw);
    int result = ShowGraphicsSetupWith(owner, run, &directDraw);
    UnloadDirectDraw(&directDraw);
    return result;
}
