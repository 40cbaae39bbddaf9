/* The main menu: labels and enables its buttons from the settings, checks
 * the DirectX components the installed game needs before it ever shows,
 * and ends with the DialogResult that start-up acts on. Setup, system
 * information, artbook, read-me and the credits run while it stays. */
#include <windows.h>
#include <objbase.h>

#include "launcher/mainmenu.h"
#include "launcher/directx.h"
#include "launcher/launch.h"
#include "launcher/stretchbitmap.h"
#include "launcher/team.h"
#include "common/accname.h"
#include "common/dialogresult.h"
#include "common/dialogstate.h"
#include "common/dpiscale.h"
#include "common/settings.h"
#include "common/texttable.h"
#include "common/trace.h"
#include "graphics/setupdlg.h"
#include "sysinfo/sysdlg.h"
#include "artbook/artbook.h"
#include "resources/resource.h"
#include "resources/texts.h"

/* The menu's own state, for as long as it runs: that is the launcher's
 * whole run, so it also keeps the graphics setup's memory across its
 * openings. */
struct MainMenuDialog {
    HINSTANCE instance;
    HBITMAP emblem; /* the picture button's bitmap, or NULL */
    GraphicsSetupRun setupRun;
};

/* ---- Opening ----------------------------------------------------------- */

static void SetItemLabel(HWND menu, int id, int text)
{
    SetDlgItemTextA(menu, id, GetText(text));
}

static void EnableItem(HWND menu, int id, BOOL enable)
{
    EnableWindow(GetDlgItem(menu, id), enable);
}

/* A missing DirectX component ends the menu here, before it shows. */
static void MenuOnInit(HWND menu, MainMenuDialog *state)
{
    ScaleDialogPictures(menu, ScreenDpi());
    state->emblem = LoadBitmapA(state->instance, MAKEINTRESOURCEA(IDB_EMBLEM));
    if (!state->emblem)
        Trace("menu picture not loaded (error %lu): its button stays blank", GetLastError());
    /* The picture button has no text: a screen reader gets its name from
     * the table, one that does not give away the credits. */
    NameDialogItem(menu, IDC_MENU_PICTURE, TEXT_NAME_EMBLEM);

    SetWindowTextA(menu, GetText(TEXT_MENU_CAPTION));
    SetItemLabel(menu, IDC_MENU_GROUP, TEXT_MENU_INSTALLATION);
    SetItemLabel(menu, IDC_MENU_INSTALL, Settings.Installed ? TEXT_MENU_REINSTALL : TEXT_MENU_INSTALL);
    SetItemLabel(menu, IDC_MENU_UNINSTALL, TEXT_MENU_UNINSTALL);
    if (!Settings.UninstallAvailable)
        EnableItem(menu, IDC_MENU_UNINSTALL, FALSE);
    SetItemLabel(menu, IDC_MENU_PLAY, TEXT_MENU_PLAY);
    SetItemLabel(menu, IDC_MENU_SETUP, TEXT_MENU_SETUP);

    if (Settings.Installed) {
        if (!CheckDirectXComponents()) {
            EndDialog(menu, RESULT_ABORT);
            return;
        }
        HWND play = GetDlgItem(menu, IDC_MENU_PLAY);
        SendMessageA(play, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
        EnableWindow(play, TRUE);
        SetFocus(play);
        EnableItem(menu, IDC_MENU_SETUP, TRUE);
    } else {
        EnableItem(menu, IDC_MENU_UNINSTALL, FALSE);
        EnableItem(menu, IDC_MENU_PLAY, FALSE);
        EnableItem(menu, IDC_MENU_SETUP, FALSE);
    }

    SetItemLabel(menu, IDC_MENU_CHECK, TEXT_MENU_CHECK);
    EnableItem(menu, IDC_MENU_CHECK, TRUE);
    SetItemLabel(menu, IDC_MENU_ARTBOOK, TEXT_MENU_ARTBOOK);
    EnableItem(menu, IDC_MENU_ARTBOOK, TRUE);
    SetItemLabel(menu, IDC_MENU_README, TEXT_MENU_README);
    EnableItem(menu, IDC_MENU_README, TRUE);
    SetItemLabel(menu, IDCANCEL, TEXT_MENU_EXIT);
}

/* ---- Commands ---------------------------------------------------------- */

static void MenuOnExit(HWND menu)
{
    if (MessageBoxA(menu, GetText(TEXT_CONFIRM_QUIT), GetText(TEXT_MENU_CAPTION),
                    MB_ICONQUESTION | MB_YESNO) == IDYES)
        EndDialog(menu, RESULT_EXIT);
}

/* The menu hides while the graphics setup runs; that dialog's Play both
 * saves the settings and means Play for the menu too. */
static void MenuOnSetup(HWND menu, MainMenuDialog *state)
{
    ShowWindow(menu, SW_HIDE);
    if (ShowGraphicsSetup(menu, &state->setupRun) == RESULT_PLAY)
        EndDialog(menu, RESULT_PLAY);
    ShowWindow(menu, SW_SHOW);
}

/* Until the graphics have been set up once, Play goes through the setup. */
static void MenuOnPlay(HWND menu, MainMenuDialog *state)
{
    if (Settings.bFirstTime)
        MenuOnSetup(menu, state);
    else
        EndDialog(menu, RESULT_PLAY);
}

static int KeyIsDown(int key)
{
    return (GetAsyncKeyState(key) & 0x8000) != 0;
}

/* The credits hide behind Shift+Ctrl+click on the picture. */
static void MenuOnPicture(HWND menu)
{
    if (KeyIsDown(VK_SHIFT) && KeyIsDown(VK_CONTROL))
        TeamDialog(menu);
}

static void MenuOnCommand(HWND menu, MainMenuDialog *state, int id)
{
    switch (id) {
    case IDCANCEL:           MenuOnExit(menu); break;
    case IDC_MENU_INSTALL:   EndDialog(menu, RESULT_INSTALL); break;
    case IDC_MENU_UNINSTALL: EndDialog(menu, RESULT_UNINSTALL); break;
    case IDC_MENU_PLAY:      MenuOnPlay(menu, state); break;
    case IDC_MENU_SETUP:     MenuOnSetup(menu, state); break;
    case IDC_MENU_ARTBOOK:   ShowArtbook(menu); break;
    case IDC_MENU_CHECK:     ShowSystemInformation(menu); break;
    case IDC_MENU_README:    OpenReadMe(); break;
    case IDC_MENU_PICTURE:   MenuOnPicture(menu); break;
    }
}

/* The picture fills the button. A keyboard player sees where the focus is
 * by the usual dotted frame, drawn when the system asks for focus cues:
 * after the mouse alone it does not (ODS_NOFOCUSRECT); Windows 95, 98 and
 * NT 4 have no such flag and always want it. */
static void MenuOnDrawItem(const MainMenuDialog *state, const DRAWITEMSTRUCT *item)
{
    DrawStretchedBitmap(item->hDC, state->emblem, item->rcItem.left, item->rcItem.top,
                        item->rcItem.right, item->rcItem.bottom);
    if ((item->itemState & ODS_FOCUS) && !(item->itemState & ODS_NOFOCUSRECT)) {
        RECT frame = item->rcItem;
        InflateRect(&frame, -2, -2);
        DrawFocusRect(item->hDC, &frame);
    }
}

static INT_PTR CALLBACK MainMenuProc(HWND menu, UINT message, WPARAM wParam, LPARAM lParam)
{
    MainMenuDialog *state = DialogState<MainMenuDialog>(menu, message, lParam);
    switch (message) {
    case WM_INITDIALOG:
        MenuOnInit(menu, state);
        return FALSE; /* the focus is Play's when installed, else the platform's */
    case WM_COMMAND:
        if (state == NULL)
            return FALSE;
        MenuOnCommand(menu, state, LOWORD(wParam));
        return TRUE;
    case WM_DRAWITEM:
        if (state == NULL)
            return FALSE;
        MenuOnDrawItem(state, reinterpret_cast<const DRAWITEMSTRUCT *>(lParam));
        return TRUE;
    }
    return FALSE;
}

int RunMainMenu(HINSTANCE instance, HWND owner)
{
    MainMenuDialog state = { instance, NULL, GraphicsSetupRun() };
    /* A screen reader gets the objects of the controls named from the
     * table through COM (common/accname.h): it stays initialised for as
     * long as the menu and the dialogs it opens are up. */
    HRESULT com = CoInitialize(NULL);
    if (FAILED(com))
        Trace("COM not initialised (0x%08lx): screen readers get the system's names", (unsigned long)com);
    int result = (int)DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_MAINMENU), owner, MainMenuProc,
                                      reinterpret_cast<LPARAM>(&state));
    if (result == RESULT_NOT_SHOWN)
        Trace("main menu not shown (error %lu): nothing to start", GetLastError());
    if (state.emblem)
        DeleteObject(state.emblem);
    if (SUCCEEDED(com))
        CoUninitialize();
    return result;
}
