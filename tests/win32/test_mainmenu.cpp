/* The main menu and the credits, driven inside their modal loops with the
 * settings record set up as the registry would leave it. */
#include <windows.h>
#include <gtest/gtest.h>

#include <string.h>

#include "common/app.h"
#include "common/settings.h"
#include "common/texttable.h"
#include "launcher/mainmenu.h"
#include "resources/resource.h"
#include "tests/win32/guitest.h"

namespace {

const char *const MenuCaption = "K.V.L";
const char *const TeamCaption = "*K.V.L - Team*";
const int MessageBoxTextId = 0xFFFF; /* the static text of a message box */

void SetUpSettings(int installed, int uninstallAvailable, int firstTime)
{
    memset(&Settings, 0, sizeof Settings);
    Settings.Installed = installed;
    Settings.UninstallAvailable = uninstallAvailable;
    Settings.bFirstTime = firstTime;
    if (installed)
        strcpy(Settings.ExeDir, "C:\\Program Files\\KVL");
    if (uninstallAvailable)
        strcpy(Settings.UninstallString, "C:\\Program Files\\KVL\\Uninstall.exe");
}

bool IsMenu(HWND d) { return GetDlgItem(d, IDC_MENU_PLAY) != NULL && gui::Text(d) == MenuCaption; }

/* Visible dialogs of this thread, found through the helper's caption
 * search, told apart by their controls: the quit question shares the
 * menu's caption. */
HWND FindMenu()
{
    for (HWND w = GetTopWindow(NULL); w; w = GetWindow(w, GW_HWNDNEXT)) {
        DWORD pid;
        if (GetWindowThreadProcessId(w, &pid) == GetCurrentThreadId() && IsWindowVisible(w) && IsMenu(w))
            return w;
    }
    return NULL;
}

HWND FindQuestion()
{
    for (HWND w = GetTopWindow(NULL); w; w = GetWindow(w, GW_HWNDNEXT)) {
        DWORD pid;
        if (GetWindowThreadProcessId(w, &pid) == GetCurrentThreadId() && IsWindowVisible(w)
            && gui::Text(w) == MenuCaption && GetDlgItem(w, IDYES) && !GetDlgItem(w, IDC_MENU_PLAY))
            return w;
    }
    return NULL;
}

void OnMenu(std::function<void(HWND)> act)
{
    gui::Queue([act]() {
        HWND m = FindMenu();
        if (!m)
            return false;
        act(m);
        return true;
    });
}

/* Answers the quit question, after checking its text. */
void AnswerQuestion(int answer)
{
    gui::Queue([answer]() {
        HWND q = FindQuestion();
        if (!q)
            return false;
        EXPECT_EQ(gui::ItemText(q, MessageBoxTextId), "Confirmer quitter KVL");
        gui::Press(q, answer);
        return true;
    });
}

/* A step that is done once ms milliseconds have passed since it first ran. */
void Wait(DWORD ms)
{
    DWORD *start = new DWORD(0);
    gui::Queue([start, ms]() {
        if (*start == 0)
            *start = GetTickCount() | 1;
        if (GetTickCount() - *start < ms)
            return false;
        delete start;
        return true;
    });
}

/* Exit, then Yes: the usual way to end a test's menu. */
void ExitMenu()
{
    OnMenu([](HWND m) { gui::Press(m, IDCANCEL); });
    AnswerQuestion(IDYES);
}

int RunMenu()
{
    gui::Start(15000);
    int result = RunMainMenu(Instance, NULL);
    EXPECT_TRUE(gui::Finish());
    return result;
}

/* Every dialog of this thread that is visible, apart from the menu. */
int OtherDialogs(HWND menu)
{
    int count = 0;
    for (HWND w = GetTopWindow(NULL); w; w = GetWindow(w, GW_HWNDNEXT)) {
        DWORD pid;
        char cls[32];
        if (w != menu && GetWindowThreadProcessId(w, &pid) == GetCurrentThreadId() && IsWindowVisible(w)
            && GetClassNameA(w, cls, sizeof cls) && strcmp(cls, "#32770") == 0)
            count++;
    }
    return count;
}

void PressKey(BYTE key, bool down)
{
    keybd_event(key, (BYTE)MapVirtualKeyA(key, 0), down ? 0 : KEYEVENTF_KEYUP, 0);
}

}

TEST(MainMenu, NotInstalledOffersInstallOnly)
{
    SetUpSettings(0, 1, 1); /* an uninstall command alone changes nothing */
    OnMenu([](HWND m) {
        EXPECT_EQ(gui::ItemText(m, IDC_MENU_GROUP), "Installation");
        EXPECT_EQ(gui::ItemText(m, IDC_MENU_INSTALL), "&Installer");
        EXPECT_EQ(gui::ItemText(m, IDC_MENU_UNINSTALL), "&D\xe9sinstaller");
        EXPECT_EQ(gui::ItemText(m, IDC_MENU_PLAY), "&Jouer");
        EXPECT_EQ(gui::ItemText(m, IDC_MENU_SETUP), "R\xe9&glage");
        EXPECT_EQ(gui::ItemText(m, IDC_MENU_CHECK), "&V\xe9rifier");
        EXPECT_EQ(gui::ItemText(m, IDC_MENU_ARTBOOK), "&Livre d'images");
        EXPECT_EQ(gui::ItemText(m, IDC_MENU_README), "Lisez-&moi");
        EXPECT_EQ(gui::ItemText(m, IDCANCEL), "&Quitter");
        EXPECT_TRUE(gui::Enabled(m, IDC_MENU_INSTALL));
        EXPECT_FALSE(gui::Enabled(m, IDC_MENU_UNINSTALL));
        EXPECT_FALSE(gui::Enabled(m, IDC_MENU_PLAY));
        EXPECT_FALSE(gui::Enabled(m, IDC_MENU_SETUP));
        EXPECT_TRUE(gui::Enabled(m, IDC_MENU_CHECK));
        EXPECT_TRUE(gui::Enabled(m, IDC_MENU_ARTBOOK));
        EXPECT_TRUE(gui::Enabled(m, IDC_MENU_README));
        EXPECT_TRUE(gui::Enabled(m, IDCANCEL));
        EXPECT_NE(gui::FocusId(), IDC_MENU_PLAY);
        gui::Press(m, IDC_MENU_INSTALL);
    });
    EXPECT_EQ(RunMenu(), MENU_INSTALL);
}

TEST(MainMenu, InstalledWithoutUninstallFocusesPlay)
{
    SetUpSettings(1, 0, 0);
    OnMenu([](HWND m) {
        EXPECT_EQ(gui::ItemText(m, IDC_MENU_INSTALL), "&R\xe9installer");
        EXPECT_TRUE(gui::Enabled(m, IDC_MENU_INSTALL));
        EXPECT_FALSE(gui::Enabled(m, IDC_MENU_UNINSTALL));
        EXPECT_TRUE(gui::Enabled(m, IDC_MENU_PLAY));
        EXPECT_TRUE(gui::Enabled(m, IDC_MENU_SETUP));
        EXPECT_TRUE(gui::Enabled(m, IDC_MENU_CHECK));
        EXPECT_TRUE(gui::Enabled(m, IDC_MENU_ARTBOOK));
        EXPECT_TRUE(gui::Enabled(m, IDC_MENU_README));
        EXPECT_EQ(gui::FocusId(), IDC_MENU_PLAY);
        LONG style = GetWindowLongA(GetDlgItem(m, IDC_MENU_PLAY), GWL_STYLE);
        EXPECT_EQ(style & 0x0F, BS_DEFPUSHBUTTON);
        gui::Press(m, IDC_MENU_INSTALL);
    });
    EXPECT_EQ(RunMenu(), MENU_INSTALL);
}

TEST(MainMenu, InstalledWithUninstallEndsWithItsResults)
{
    SetUpSettings(1, 1, 0);
    OnMenu([](HWND m) {
        EXPECT_TRUE(gui::Enabled(m, IDC_MENU_UNINSTALL));
        gui::Press(m, IDC_MENU_UNINSTALL);
    });
    EXPECT_EQ(RunMenu(), MENU_UNINSTALL);

    OnMenu([](HWND m) { gui::Press(m, IDC_MENU_PLAY); });
    EXPECT_EQ(RunMenu(), MENU_PLAY);
}

TEST(MainMenu, ExitAsksFirstAndNoKeepsTheMenu)
{
    SetUpSettings(1, 1, 0);
    OnMenu([](HWND m) { gui::Press(m, IDCANCEL); });
    AnswerQuestion(IDNO);
    gui::Queue([]() { return FindQuestion() == NULL; });
    OnMenu([](HWND m) {
        EXPECT_TRUE(IsWindowEnabled(m));
        EXPECT_TRUE(gui::Enabled(m, IDC_MENU_PLAY));
        EXPECT_TRUE(gui::Enabled(m, IDC_MENU_UNINSTALL));
        gui::Close(m); /* the close box asks the same question */
    });
    AnswerQuestion(IDNO);
    gui::Queue([]() { return FindQuestion() == NULL; });
    OnMenu([](HWND m) {
        /* Escape, as the dialog manager turns it into Exit */
        PostMessageA(GetDlgItem(m, IDC_MENU_PLAY), WM_KEYDOWN, VK_ESCAPE, 0);
    });
    AnswerQuestion(IDYES);
    EXPECT_EQ(RunMenu(), MENU_EXIT);
}

/* Counts the times the menu hides, to see the graphics setup run even when
 * it returns at once. */
static WNDPROC OriginalMenuProc;
static int MenuHides;

static LRESULT CALLBACK CountMenuHides(HWND w, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SHOWWINDOW && !wParam)
        MenuHides++;
    return CallWindowProcA(OriginalMenuProc, w, message, wParam, lParam);
}

TEST(MainMenu, SetupAndFirstPlayGoThroughTheGraphicsSetupAndComeBack)
{
    struct Case { int firstTime, id; };
    const Case cases[] = { { 1, IDC_MENU_PLAY }, { 0, IDC_MENU_SETUP }, { 1, IDC_MENU_SETUP } };
    for (const Case &c : cases) {
        SetUpSettings(1, 1, c.firstTime);
        MenuHides = 0;
        HWND *menu = new HWND(NULL);
        int id = c.id;
        OnMenu([menu, id](HWND m) {
            *menu = m;
            OriginalMenuProc = (WNDPROC)SetWindowLongPtrA(m, GWLP_WNDPROC, (LONG_PTR)CountMenuHides);
            gui::Press(m, id);
        });
        /* The setup dialog, when one opens, is left with its Back button. */
        gui::Queue([menu]() {
            for (HWND w = GetTopWindow(NULL); w; w = GetWindow(w, GW_HWNDNEXT)) {
                DWORD pid;
                if (w != *menu && GetWindowThreadProcessId(w, &pid) == GetCurrentThreadId() && IsWindowVisible(w)
                    && GetDlgItem(w, IDC_GFX_DEVICE)) {
                    EXPECT_FALSE(IsWindowVisible(*menu));
                    gui::Press(w, IDCANCEL);
                    return false;
                }
            }
            return MenuHides > 0 && IsWindowVisible(*menu) && OtherDialogs(*menu) == 0;
        });
        OnMenu([](HWND m) { EXPECT_TRUE(gui::Enabled(m, IDC_MENU_PLAY)); });
        ExitMenu();
        EXPECT_EQ(RunMenu(), MENU_EXIT) << c.firstTime << " " << c.id;
        EXPECT_EQ(MenuHides, 1);
        delete menu;
    }
}

TEST(MainMenu, SubDialogsLeaveTheMenuRunning)
{
    SetUpSettings(0, 0, 1);
    /* Whatever these open is closed again; the menu must still be there. */
    const int ids[] = { IDC_MENU_CHECK, IDC_MENU_ARTBOOK };
    for (int id : ids) {
        HWND *menu = new HWND(NULL);
        OnMenu([menu, id](HWND m) {
            *menu = m;
            gui::Press(m, id);
        });
        Wait(300);
        gui::Queue([menu]() {
            for (HWND w = GetTopWindow(NULL); w; w = GetWindow(w, GW_HWNDNEXT)) {
                DWORD pid;
                char cls[32];
                if (w != *menu && GetWindowThreadProcessId(w, &pid) == GetCurrentThreadId() && IsWindowVisible(w)
                    && GetClassNameA(w, cls, sizeof cls) && strcmp(cls, "#32770") == 0) {
                    PostMessageA(w, WM_COMMAND, IDCANCEL, 0);
                    PostMessageA(w, WM_COMMAND, IDOK, 0);
                    PostMessageA(w, WM_COMMAND, IDC_MSG_BUTTON, 0);
                    return false;
                }
            }
            delete menu;
            return true;
        });
    }
    ExitMenu();
    EXPECT_EQ(RunMenu(), MENU_EXIT);
}

TEST(MainMenu, PictureButtonOpensTheCreditsOnlyWithShiftAndControl)
{
    SetUpSettings(0, 0, 1);
    HWND *menu = new HWND(NULL);
    OnMenu([menu](HWND m) {
        *menu = m;
        gui::Press(m, IDC_MENU_PICTURE);
    });
    Wait(300);
    gui::Queue([menu]() {
        EXPECT_EQ(OtherDialogs(*menu), 0);
        PressKey(VK_SHIFT, true);
        gui::Press(*menu, IDC_MENU_PICTURE);
        return true;
    });
    Wait(300);
    gui::Queue([menu]() {
        EXPECT_EQ(OtherDialogs(*menu), 0);
        PressKey(VK_SHIFT, false);
        PressKey(VK_CONTROL, true);
        gui::Press(*menu, IDC_MENU_PICTURE);
        return true;
    });
    Wait(300);
    gui::Queue([menu]() {
        EXPECT_EQ(OtherDialogs(*menu), 0);
        PressKey(VK_SHIFT, true);
        gui::Press(*menu, IDC_MENU_PICTURE);
        return true;
    });
    gui::OnDialog(TeamCaption, [menu](HWND d) {
        PressKey(VK_SHIFT, false);
        PressKey(VK_CONTROL, false);
        EXPECT_EQ(GetWindow(d, GW_OWNER), *menu);
        EXPECT_FALSE(IsWindowEnabled(*menu));
        gui::Press(d, IDOK);
    });
    ExitMenu();
    EXPECT_EQ(RunMenu(), MENU_EXIT);
    PressKey(VK_SHIFT, false);
    PressKey(VK_CONTROL, false);
    delete menu;
}

TEST(TeamDialog, OnlyOkEndsIt)
{
    HWND *team = new HWND(NULL);
    gui::OnDialog(TeamCaption, [team](HWND d) {
        *team = d;
        EXPECT_TRUE(gui::Visible(d, IDOK));
        EXPECT_EQ(gui::ItemText(d, IDOK), "OK");
        EXPECT_EQ(GetWindowLongA(d, GWL_STYLE) & WS_SYSMENU, 0);
        PostMessageA(GetDlgItem(d, IDOK), WM_KEYDOWN, VK_ESCAPE, 0);
        gui::Press(d, IDCANCEL);
        gui::Close(d);
    });
    Wait(300);
    gui::Queue([team]() {
        EXPECT_TRUE(IsWindowVisible(*team));
        gui::Press(*team, IDOK);
        return true;
    });
    gui::Start(5000);
    EXPECT_EQ(TeamDialog(NULL), 0);
    EXPECT_TRUE(gui::Finish());
    delete team;
}

TEST(DirectX, AllThreeComponentsCanBeCreated)
{
    EXPECT_EQ(CheckDirectXComponents(), 1);
    EXPECT_EQ(CheckDirectXComponents(), 1); /* COM left as it was found */
}

TEST(DrawStretchedBitmap, FillsTheWholeRectangle)
{
    HDC screen = GetDC(NULL);
    HDC target = CreateCompatibleDC(screen);
    HBITMAP canvas = CreateCompatibleBitmap(screen, 100, 128);
    HGDIOBJ oldCanvas = SelectObject(target, canvas);
    PatBlt(target, 0, 0, 100, 128, WHITENESS);

    /* A 2 x 2 picture: red, green / blue, black. */
    HDC source = CreateCompatibleDC(screen);
    HBITMAP picture = CreateCompatibleBitmap(screen, 2, 2);
    HGDIOBJ oldPicture = SelectObject(source, picture);
    SetPixel(source, 0, 0, RGB(255, 0, 0));
    SetPixel(source, 1, 0, RGB(0, 255, 0));
    SetPixel(source, 0, 1, RGB(0, 0, 255));
    SetPixel(source, 1, 1, RGB(0, 0, 0));
    SelectObject(source, oldPicture);
    DeleteDC(source);

    EXPECT_NE(DrawStretchedBitmap(target, picture, 10, 20, 90, 120), 0);
    EXPECT_EQ(GetPixel(target, 5, 5), RGB(255, 255, 255));    /* outside */
    EXPECT_EQ(GetPixel(target, 11, 21), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(target, 88, 21), RGB(0, 255, 0));
    EXPECT_EQ(GetPixel(target, 11, 118), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(target, 88, 118), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(target, 95, 125), RGB(255, 255, 255)); /* outside */

    /* The picture is left unselected, so it can be drawn again. */
    EXPECT_NE(DrawStretchedBitmap(target, picture, 0, 0, 2, 2), 0);
    EXPECT_EQ(GetPixel(target, 1, 1), RGB(0, 0, 0));

    SelectObject(target, oldCanvas);
    DeleteObject(canvas);
    DeleteObject(picture);
    DeleteDC(target);
    ReleaseDC(NULL, screen);
}
