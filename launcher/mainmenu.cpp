/* The main menu: labels and enables its buttons from the settings, checks
 * the DirectX components the installed game needs before it ever shows,
 * and ends with the DialogResult that start-up acts on. Setup, system
 * information, artbook, read-me and the credits run while it stays. */
#include <windows.h>
#include <objbase.h>

#include "launcher/mainmenu.h"
#include "launcher/launch.h"
#include "launcher/team.h"
#include "common/dialogresult.h"
#include "common/dpiscale.h"
#include "common/msgdlg.h"
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

/* ---- DirectX components ------------------------------------------------ */

/* The classes and interfaces of the DirectX 5 components the game uses,
 * declared here so that nothing depends on the SDK headers at hand. */
struct DirectXComponent {
    GUID classId;
    GUID interfaceId;
    int failureText;
};

static const DirectXComponent DirectXComponents[] = {
    { /* DirectDraw */
      { 0xD7B70EE0, 0x4340, 0x11CF, { 0xB0, 0x63, 0x00, 0x20, 0xAF, 0xC2, 0xCD, 0x35 } },
      { 0x6C14DB80, 0xA733, 0x11CE, { 0xA5, 0x21, 0x00, 0x20, 0xAF, 0x0B, 0xE5, 0x60 } },
      TEXT_DIRECTDRAW_MISSING },
    { /* DirectInput, its ANSI interface */
      { 0x25E609E0, 0xB259, 0x11CF, { 0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00 } },
      { 0x89521360, 0xAA8A, 0x11CF, { 0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00 } },
      TEXT_DIRECTINPUT_MISSING },
    { /* DirectShow's multimedia stream */
      { 0x49C47CE5, 0x9BA4, 0x11D0, { 0x82, 0x12, 0x00, 0xC0, 0x4F, 0xC3, 0x2C, 0x45 } },
      { 0xBEBE595C, 0x9A6F, 0x11D0, { 0x8F, 0xDE, 0x00, 0xC0, 0x4F, 0xD9, 0x18, 0x9D } },
      TEXT_DIRECTX_MEDIA_MISSING },
};

int CheckDirectXComponents(void)
{
    CoInitialize(NULL);
    for (const DirectXComponent &c : DirectXComponents) {
        IUnknown *object = NULL;
        HRESULT hr = CoCreateInstance(c.classId, NULL, CLSCTX_INPROC_SERVER, c.interfaceId,
                                      reinterpret_cast<void **>(&object));
        if (FAILED(hr)) {
            ShowErrorMessage(c.failureText);
            CoUninitialize();
            return 0;
        }
        if (object)
            object->Release();
    }
    CoUninitialize();
    return 1;
}

/* ---- Picture button ----------------------------------------------------- */

int DrawStretchedBitmap(HDC dc, HBITMAP bitmap, int left, int top, int right, int bottom)
{
    HDC memory = CreateCompatibleDC(dc);
    if (!memory)
        return 0;
    HGDIOBJ previous = SelectObject(memory, bitmap);
    SetMapMode(memory, GetMapMode(dc));

    BITMAP info;
    ZeroMemory(&info, sizeof info);
    GetObjectA(bitmap, sizeof info, &info);
    POINT size = { info.bmWidth, info.bmHeight };
    DPtoLP(dc, &size, 1);

    StretchBlt(dc, left, top, right - left, bottom - top, memory, 0, 0, size.x, size.y, SRCCOPY);
    if (previous)
        SelectObject(memory, previous);
    return DeleteDC(memory);
}

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

static void MenuOnDrawItem(const MainMenuDialog *state, const DRAWITEMSTRUCT *item)
{
    DrawStretchedBitmap(item->hDC, state->emblem, item->rcItem.left, item->rcItem.top,
                        item->rcItem.right, item->rcItem.bottom);
}

/* NULL for the messages that come before WM_INITDIALOG. */
static MainMenuDialog *StateOf(HWND menu)
{
    return reinterpret_cast<MainMenuDialog *>(GetWindowLongPtrA(menu, DWLP_USER));
}

static INT_PTR CALLBACK MainMenuProc(HWND menu, UINT message, WPARAM wParam, LPARAM lParam)
{
    MainMenuDialog *state = StateOf(menu);
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(menu, DWLP_USER, lParam);
        MenuOnInit(menu, reinterpret_cast<MainMenuDialog *>(lParam));
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
    int result = (int)DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_MAINMENU), owner, MainMenuProc,
                                      reinterpret_cast<LPARAM>(&state));
    if (result == RESULT_NOT_SHOWN)
        Trace("main menu not shown (error %lu): nothing to start", GetLastError());
    if (state.emblem)
        DeleteObject(state.emblem);
    return result;
}
