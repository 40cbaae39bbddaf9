/* The main menu and the credits, driven inside their modal loops with the
 * settings record set up as the registry would leave it. */
#include <windows.h>
#include <gtest/gtest.h>

#include <string.h>
#include <vector>

#include "common/app.h"
#include "common/dialogresult.h"
#include "common/settings.h"
#include "common/texttable.h"
#include "launcher/directx.h"
#include "launcher/mainmenu.h"
#include "launcher/stretchbitmap.h"
#include "launcher/team.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "tests/win32/guitest.h"
#include "tests/harness/procwin.h"

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

/* The top-level windows of this thread, visible or not, front first. */
std::vector<HWND> ThreadWindows()
{
    std::vector<HWND> found;
    for (HWND w = GetTopWindow(NULL); w; w = GetWindow(w, GW_HWNDNEXT)) {
        DWORD pid;
        if (GetWindowThreadProcessId(w, &pid) == GetCurrentThreadId())
            found.push_back(w);
    }
    return found;
}

bool IsDialog(HWND w)
{
    char cls[32];
    return GetClassNameA(w, cls, sizeof cls) && strcmp(cls, "#32770") == 0;
}

/* Visible dialogs of this thread told apart by their controls: the quit
 * question shares the menu's caption. */
bool IsMenu(HWND d) { return GetDlgItem(d, IDC_MENU_PLAY) != NULL && gui::Text(d) == MenuCaption; }
bool IsQuestion(HWND d) { return gui::Text(d) == MenuCaption && GetDlgItem(d, IDYES) && !GetDlgItem(d, IDC_MENU_PLAY); }
bool IsGraphicsSetup(HWND d) { return GetDlgItem(d, IDC_GFX_DEVICE) != NULL; }

HWND FindVisible(bool (*matches)(HWND))
{
    for (HWND w : ThreadWindows())
        if (IsWindowVisible(w) && matches(w))
            return w;
    return NULL;
}

HWND FindMenu() { return FindVisible(IsMenu); }
HWND FindQuestion() { return FindVisible(IsQuestion); }

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

/* Milliseconds since the first call to Elapsed (restarted by clearing
 * running). */
struct Stopwatch {
    bool running = false;
    DWORD start = 0;
    DWORD Elapsed()
    {
        if (!running) {
            running = true;
            start = GetTickCount();
        }
        return GetTickCount() - start;
    }
};

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

/* A visible dialog of this thread other than the menu, or NULL. */
HWND OtherDialog(HWND menu)
{
    for (HWND w : ThreadWindows())
        if (w != menu && IsWindowVisible(w) && IsDialog(w))
            return w;
    return NULL;
}

/* The buttons that depend on the installation; the others are always
 * enabled. */
void ExpectButtons(HWND m, bool install, bool uninstall, bool play, bool setup)
{
    EXPECT_EQ(gui::Enabled(m, IDC_MENU_INSTALL), install);
    EXPECT_EQ(gui::Enabled(m, IDC_MENU_UNINSTALL), uninstall);
    EXPECT_EQ(gui::Enabled(m, IDC_MENU_PLAY), play);
    EXPECT_EQ(gui::Enabled(m, IDC_MENU_SETUP), setup);
    for (int id : { IDC_MENU_CHECK, IDC_MENU_ARTBOOK, IDC_MENU_README, IDCANCEL })
        EXPECT_TRUE(gui::Enabled(m, id)) << id;
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
        ExpectButtons(m, true, false, false, false);
        EXPECT_NE(gui::FocusId(), IDC_MENU_PLAY);
        gui::Press(m, IDC_MENU_INSTALL);
    });
    EXPECT_EQ(RunMenu(), RESULT_INSTALL);
}

TEST(MainMenu, InstalledWithoutUninstallFocusesPlay)
{
    SetUpSettings(1, 0, 0);
    OnMenu([](HWND m) {
        EXPECT_EQ(gui::ItemText(m, IDC_MENU_INSTALL), "&R\xe9installer");
        ExpectButtons(m, true, false, true, true);
        EXPECT_EQ(gui::FocusId(), IDC_MENU_PLAY);
        LONG style = GetWindowLongA(GetDlgItem(m, IDC_MENU_PLAY), GWL_STYLE);
        EXPECT_EQ(style & 0x0F, BS_DEFPUSHBUTTON);
        gui::Press(m, IDC_MENU_INSTALL);
    });
    EXPECT_EQ(RunMenu(), RESULT_INSTALL);
}

TEST(MainMenu, InstalledWithUninstallEndsWithItsResults)
{
    SetUpSettings(1, 1, 0);
    OnMenu([](HWND m) {
        EXPECT_TRUE(gui::Enabled(m, IDC_MENU_UNINSTALL));
        gui::Press(m, IDC_MENU_UNINSTALL);
    });
    EXPECT_EQ(RunMenu(), RESULT_UNINSTALL);

    OnMenu([](HWND m) { gui::Press(m, IDC_MENU_PLAY); });
    EXPECT_EQ(RunMenu(), RESULT_PLAY);
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
    EXPECT_EQ(RunMenu(), RESULT_EXIT);
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
            if (HWND setup = FindVisible(IsGraphicsSetup)) {
                EXPECT_FALSE(IsWindowVisible(*menu));
                gui::Press(setup, IDCANCEL);
                return false;
            }
            return MenuHides > 0 && IsWindowVisible(*menu) && OtherDialog(*menu) == NULL;
        });
        OnMenu([](HWND m) { EXPECT_TRUE(gui::Enabled(m, IDC_MENU_PLAY)); });
        ExitMenu();
        EXPECT_EQ(RunMenu(), RESULT_EXIT) << c.firstTime << " " << c.id;
        EXPECT_EQ(MenuHides, 1);
        delete menu;
    }
}

TEST(MainMenu, SubDialogsLeaveTheMenuRunning)
{
    SetUpSettings(0, 0, 1);
    /* Whatever these open is closed again; the menu must still be there. */
    const int ids[] = { IDC_MENU_CHECK, IDC_MENU_ARTBOOK };
    struct SubDialog {
        HWND menu = NULL;
        bool seen = false;
    };
    for (int id : ids) {
        SubDialog *sub = new SubDialog;
        OnMenu([sub, id](HWND m) {
            sub->menu = m;
            gui::Press(m, id);
        });
        gui::Wait(300);
        /* Waits for the sub-dialog to show (a busy machine may take a while
         * to build it), then closes it and waits until it has gone. */
        gui::Queue([sub]() {
            if (HWND w = OtherDialog(sub->menu)) {
                sub->seen = true;
                PostMessageA(w, WM_COMMAND, IDCANCEL, 0);
                PostMessageA(w, WM_COMMAND, IDOK, 0);
                PostMessageA(w, WM_COMMAND, IDC_MSG_BUTTON, 0);
                return false;
            }
            if (!sub->seen)
                return false;
            delete sub;
            return true;
        });
    }
    ExitMenu();
    EXPECT_EQ(RunMenu(), RESULT_EXIT);
}

/* Key states injected under Wine are read back through a short-lived cache
 * and can be reset from the X server's own view of the keyboard when the
 * focus moves. A step that needs keys held therefore injects them until the
 * state has read back as wanted for a while. */
static bool KeyDown(int key) { return (GetAsyncKeyState(key) & 0x8000) != 0; }

static void HoldKeys(bool shift, bool control)
{
    Stopwatch *steady = new Stopwatch;
    gui::Queue([shift, control, steady]() {
        if (KeyDown(VK_SHIFT) != shift || KeyDown(VK_CONTROL) != control) {
            PressKey(VK_SHIFT, shift);
            PressKey(VK_CONTROL, control);
            steady->running = false;
            return false;
        }
        if (steady->Elapsed() < 150)
            return false;
        delete steady;
        return true;
    });
}

/* Ends every credits dialog there is; done when none is left. */
static int CloseCredits()
{
    int found = 0;
    for (HWND w : ThreadWindows()) {
        if (gui::Text(w) == TeamCaption) {
            gui::Press(w, IDOK);
            found++;
        }
    }
    return found;
}

/* Clicks the picture with the keys held, and checks that nothing opens. */
static void ClickOpensNothing(HWND *menu, bool shift, bool control)
{
    HoldKeys(shift, control);
    gui::Queue([menu]() {
        gui::Press(*menu, IDC_MENU_PICTURE);
        return true;
    });
    gui::Wait(300);
    gui::Queue([shift, control]() {
        EXPECT_EQ(CloseCredits(), 0) << "shift " << shift << " control " << control;
        return true;
    });
    gui::Queue([]() { return CloseCredits() == 0; });
}

TEST(MainMenu, PictureButtonOpensTheCreditsOnlyWithShiftAndControl)
{
    SetUpSettings(0, 0, 1);
    HWND *menu = new HWND(NULL);
    OnMenu([menu](HWND m) { *menu = m; });
    ClickOpensNothing(menu, false, false);
    ClickOpensNothing(menu, true, false);
    ClickOpensNothing(menu, false, true);

    /* Both keys: held again and clicked until the credits open, but never
     * while a credits dialog is being created. */
    DWORD *lastTry = new DWORD(0);
    gui::Queue([menu, lastTry]() {
        if (gui::FindDialog(TeamCaption)) {
            delete lastTry;
            return true;
        }
        if (!FindWindowA(NULL, TeamCaption) && GetTickCount() - *lastTry > 1000) {
            *lastTry = GetTickCount();
            PressKey(VK_SHIFT, true);
            PressKey(VK_CONTROL, true);
            gui::Press(*menu, IDC_MENU_PICTURE);
        }
        return false;
    });
    gui::OnDialog(TeamCaption, [menu](HWND d) {
        EXPECT_EQ(GetWindow(d, GW_OWNER), *menu);
        EXPECT_FALSE(IsWindowEnabled(*menu));
    });
    gui::Queue([menu]() {
        PressKey(VK_SHIFT, false);
        PressKey(VK_CONTROL, false);
        return CloseCredits() == 0 && IsWindowEnabled(*menu);
    });
    HoldKeys(false, false);
    ExitMenu();
    EXPECT_EQ(RunMenu(), RESULT_EXIT);
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
    gui::Wait(300);
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

/* A DirectX component that cannot be created: a copy of this program, under
 * a name of its own, runs with the component's library disabled for that
 * name only (Wine's per-program DLL overrides). It opens the installed menu
 * and checks that only the component's message shows and that the menu
 * ends with 2 before it is ever shown. */
namespace {

const char *const ChildMessageVariable = "KVL_TEST_MISSING_COMPONENT";
const char *const ChildName = "kvl_dxcheck_child.exe";
const char *const ChildOverrideKey = "Software\\Wine\\AppDefaults\\kvl_dxcheck_child.exe";

int RunChildWithout(const char *dll, int message)
{
    char self[MAX_PATH], temp[MAX_PATH], child[MAX_PATH], commandLine[2 * MAX_PATH];
    GetModuleFileNameA(NULL, self, sizeof self);
    GetTempPathA(sizeof temp, temp);
    wsprintfA(child, "%s%s", temp, ChildName);
    if (!CopyFileA(self, child, FALSE))
        return -2;

    char overridesKey[200];
    wsprintfA(overridesKey, "%s\\DllOverrides", ChildOverrideKey);
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, overridesKey, 0, NULL, 0, KEY_SET_VALUE, NULL, &key, NULL) != ERROR_SUCCESS)
        return -3;
    RegSetValueExA(key, dll, 0, REG_SZ, (const BYTE *)"", 1); /* empty: disabled */
    RegCloseKey(key);

    wsprintfA(commandLine, "\"%s\" --gtest_filter=MissingComponentChild.*", child);
    proc::Program program;
    DWORD code = (DWORD)-1;
    if (proc::Start(commandLine, "", { std::string(ChildMessageVariable) + "=" + std::to_string(message) }, &program)) {
        proc::WaitExit(program, 60000, &code);
        proc::Stop(&program);
    }
    RegDeleteKeyA(HKEY_CURRENT_USER, overridesKey);
    RegDeleteKeyA(HKEY_CURRENT_USER, ChildOverrideKey);
    DeleteFileA(child);
    return (int)code;
}

}

TEST(MissingComponentChild, MenuEndsWithTwoAfterTheMessage)
{
    char expected[16];
    if (!GetEnvironmentVariableA(ChildMessageVariable, expected, sizeof expected))
        GTEST_SKIP() << "runs only in the copy started by MissingDirectXComponent";
    int message = atoi(expected);
    SetUpSettings(1, 1, 0);

    std::string *seen = new std::string;
    bool *menuShown = new bool(false);
    gui::Queue([seen, menuShown]() {
        if (FindMenu())
            *menuShown = true;
        HWND e = gui::FindDialog("KVL - Erreur");
        if (!e)
            return false;
        *seen = gui::ItemText(e, IDC_MSG_TEXT);
        gui::Press(e, IDC_MSG_BUTTON);
        return true;
    });
    gui::Start(15000);
    int result = RunMainMenu(Instance, NULL);
    EXPECT_TRUE(gui::Finish());
    EXPECT_EQ(result, RESULT_ABORT);
    EXPECT_EQ(*seen, GetMessageText(message));
    EXPECT_FALSE(*menuShown);
    delete seen;
    delete menuShown;

    /* Not installed, the check is not made and the menu opens. */
    SetUpSettings(0, 0, 1);
    OnMenu([](HWND m) { gui::Press(m, IDC_MENU_INSTALL); });
    EXPECT_EQ(RunMenu(), RESULT_INSTALL);
}

TEST(MainMenu, MissingDirectXComponentEndsItBeforeItShows)
{
    EXPECT_EQ(RunChildWithout("ddraw", TEXT_DIRECTDRAW_MISSING), 0);
    EXPECT_EQ(RunChildWithout("dinput", TEXT_DIRECTINPUT_MISSING), 0);
    EXPECT_EQ(RunChildWithout("amstream", TEXT_DIRECTX_MEDIA_MISSING), 0);
}
