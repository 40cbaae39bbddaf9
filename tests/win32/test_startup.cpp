/* Start-up: the single-instance test (also against the real launcher on
 * the demo disc at R:), the choice of the current directory, and the
 * hidden taskbar window with its title marquee. */
#include <windows.h>
#include <gtest/gtest.h>

#include <string.h>
#include <set>
#include <string>

#include "common/app.h"
#include "common/settings.h"
#include "launcher/mainwnd.h"
#include "launcher/startup.h"
#include "resources/resource.h"
#include "sysinfo/inventory.h"
#include "tests/harness/procwin.h"

namespace {

const char *const DiscLauncher = "\"R:\\Launcher\\Launcher.exe\"";

bool StartDiscLauncher(proc::Program *launcher)
{
    return proc::Start(DiscLauncher, "R:\\Launcher", {}, launcher);
}

/* The exit code of a started launcher, or -1 when it was still running
 * after the timeout (then it is ended). */
long WaitForDiscLauncher(proc::Program *launcher, DWORD timeoutMs)
{
    DWORD code = 0;
    bool ended = proc::WaitExit(*launcher, timeoutMs, &code);
    proc::Stop(launcher);
    return ended ? (long)code : -1;
}

/* Starts the launcher of the demo disc and returns its exit code, or -1
 * when it could not be started or did not end within 30 s. */
long RunDiscLauncher()
{
    proc::Program launcher;
    if (!StartDiscLauncher(&launcher))
        return -1;
    return WaitForDiscLauncher(&launcher, 30000);
}

bool MutexExists(const char *name)
{
    HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, name);
    if (mutex == NULL)
        return false;
    CloseHandle(mutex);
    return true;
}

}

TEST(SingleInstance, LauncherExitsWithCode1WhileEitherMutexIsHeld)
{
    for (const char *name : { LAUNCHER_MUTEX_NAME, SECOND_MUTEX_NAME }) {
        ASSERT_FALSE(MutexExists(LAUNCHER_MUTEX_NAME));
        HANDLE held = CreateMutexA(NULL, FALSE, name);
        ASSERT_NE(held, (HANDLE)NULL);
        EXPECT_EQ(RunDiscLauncher(), 1) << name;
        CloseHandle(held);
    }
}

TEST(SingleInstance, FirstInstanceHoldsOnlyItsOwnMutex)
{
    HANDLE first = NULL;
    EXPECT_EQ(AnotherInstanceRuns(&first), 0);
    ASSERT_NE(first, (HANDLE)NULL);
    EXPECT_TRUE(MutexExists(LAUNCHER_MUTEX_NAME));
    /* The second name was only looked for, not kept. */
    EXPECT_FALSE(MutexExists(SECOND_MUTEX_NAME));

    /* While it is held, a later launcher gives way, here and in another
     * process alike. */
    HANDLE second = NULL;
    EXPECT_EQ(AnotherInstanceRuns(&second), 1);
    EXPECT_EQ(second, (HANDLE)NULL);
    EXPECT_EQ(RunDiscLauncher(), 1);

    CloseHandle(first);
    EXPECT_FALSE(MutexExists(LAUNCHER_MUTEX_NAME));

    /* The second name alone also means another instance. */
    HANDLE other = CreateMutexA(NULL, FALSE, SECOND_MUTEX_NAME);
    ASSERT_NE(other, (HANDLE)NULL);
    HANDLE own = NULL;
    EXPECT_EQ(AnotherInstanceRuns(&own), 1);
    if (own != NULL)
        CloseHandle(own);
    CloseHandle(other);
    EXPECT_FALSE(MutexExists(SECOND_MUTEX_NAME));
}

namespace {

const char *const TestRoot = "C:\\kvltest";

std::string CurrentDirectory()
{
    char path[MAX_PATH];
    DWORD length = GetCurrentDirectoryA(sizeof path, path);
    return length > 0 && length < sizeof path ? std::string(path, length) : std::string();
}

class CurrentDirectoryChoice : public ::testing::Test {
protected:
    std::string saved;
    std::string disc;      /* stands for the disc root */
    std::string launcher;  /* the launcher's folder, one below */
    std::string plainDisc; /* the same without blanks */
    std::string plainLauncher;

    void SetUp() override
    {
        saved = CurrentDirectory();
        memset(&Settings, 0, sizeof Settings);
        disc = std::string(TestRoot) + "\\disc root";
        launcher = disc + "\\Launcher dir";
        plainDisc = std::string(TestRoot) + "\\disc";
        plainLauncher = plainDisc + "\\Launcher";
        for (const std::string &dir : { std::string(TestRoot), disc, launcher, plainDisc, plainLauncher })
            CreateDirectoryA(dir.c_str(), NULL);
        ASSERT_NE(GetFileAttributesA(plainLauncher.c_str()), INVALID_FILE_ATTRIBUTES);
        ASSERT_NE(GetFileAttributesA(launcher.c_str()), INVALID_FILE_ATTRIBUTES);
        /* Start somewhere else, so each change is seen. */
        ASSERT_TRUE(SetCurrentDirectoryA(plainLauncher.c_str()));
    }
    void TearDown() override
    {
        SetCurrentDirectoryA(saved.c_str());
        for (const std::string &dir : { plainLauncher, plainDisc, launcher, disc, std::string(TestRoot) })
            RemoveDirectoryA(dir.c_str());
        memset(&Settings, 0, sizeof Settings);
    }
};

}

TEST_F(CurrentDirectoryChoice, QuotedProgramPathWithBlankAndArgument)
{
    std::string line = "\"" + launcher + "\\Launcher.exe\" /play \"x\\y\"";
    ChooseCurrentDirectory(line.c_str());
    EXPECT_EQ(CurrentDirectory(), disc);
}

TEST_F(CurrentDirectoryChoice, UnquotedProgramPath)
{
    ASSERT_TRUE(SetCurrentDirectoryA(launcher.c_str()));
    std::string line = plainLauncher + "\\Launcher.exe";
    ChooseCurrentDirectory(line.c_str());
    EXPECT_EQ(CurrentDirectory(), plainDisc);

    /* An unquoted path ends at the first blank: "C:\kvltest\disc" gives
     * the folder "C:\kvltest", whose parent is the drive's root. */
    ASSERT_TRUE(SetCurrentDirectoryA(launcher.c_str()));
    line = launcher + "\\Launcher.exe";
    ChooseCurrentDirectory(line.c_str());
    EXPECT_EQ(CurrentDirectory(), "C:\\");
}

TEST_F(CurrentDirectoryChoice, BareProgramNameOnlyGoesUp)
{
    ChooseCurrentDirectory("Launcher.exe");
    EXPECT_EQ(CurrentDirectory(), plainDisc);

    ASSERT_TRUE(SetCurrentDirectoryA(launcher.c_str()));
    ChooseCurrentDirectory("\"Launcher.exe\" arg\\with\\backslash");
    EXPECT_EQ(CurrentDirectory(), disc);
}

TEST_F(CurrentDirectoryChoice, OverlongProgramPathIsCutNotOverrun)
{
    /* Truncated, the folder does not exist: only ".." applies. */
    std::string line = "\"" + plainLauncher + "\\" + std::string(300, 'a') + "\\Launcher.exe\"";
    ChooseCurrentDirectory(line.c_str());
    EXPECT_EQ(CurrentDirectory(), plainDisc);

    /* The kept part still names the launcher's folder. */
    ASSERT_TRUE(SetCurrentDirectoryA(launcher.c_str()));
    line = "\"" + plainLauncher + "\\" + std::string(300, 'b');
    ChooseCurrentDirectory(line.c_str());
    EXPECT_EQ(CurrentDirectory(), plainDisc);
}

TEST_F(CurrentDirectoryChoice, CDRootOnlyWhenTheSettingsAreComplete)
{
    Settings.CDRootKnown = 1;
    strcpy(Settings.CDRoot, launcher.c_str());
    std::string line = "\"" + plainLauncher + "\\Launcher.exe\"";
    ChooseCurrentDirectory(line.c_str());
    EXPECT_EQ(CurrentDirectory(), plainDisc);

    Settings.SettingsComplete = 1;
    strcpy(Settings.CDRoot, disc.c_str());
    ChooseCurrentDirectory(line.c_str());
    EXPECT_EQ(CurrentDirectory(), disc);

    /* A CDRoot that cannot be entered leaves the directory as it was. */
    strcpy(Settings.CDRoot, "C:\\no such disc root");
    ChooseCurrentDirectory(line.c_str());
    EXPECT_EQ(CurrentDirectory(), disc);
}

TEST_F(CurrentDirectoryChoice, QuestionMarkCDRootTakesTheDiscDrive)
{
    ASSERT_TRUE(DiscoverDrives());
    Settings.SettingsComplete = 1;
    strcpy(Settings.CDRoot, "?:\\Launcher");
    ChooseCurrentDirectory("\"R:\\Launcher\\Launcher.exe\"");
    EXPECT_STREQ(Settings.CDRoot, "R:\\Launcher");
    EXPECT_EQ(CurrentDirectory(), "R:\\Launcher");

    strcpy(Settings.CDRoot, "?:\\");
    ChooseCurrentDirectory("\"R:\\Launcher\\Launcher.exe\"");
    EXPECT_STREQ(Settings.CDRoot, "R:\\");
    EXPECT_EQ(CurrentDirectory(), "R:\\");
}

namespace {

std::string Title(HWND window)
{
    char text[64];
    int length = GetWindowTextA(window, text, sizeof text);
    return std::string(text, length > 0 ? length : 0);
}

/* Serves this thread's messages (the timer's among them) for up to
 * limitMs, or until the window's title differs from before. */
bool TitleChangesWhilePumping(HWND window, DWORD limitMs)
{
    std::string before = Title(window);
    DWORD start = GetTickCount();
    while (GetTickCount() - start < limitMs) {
        MSG message;
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (Title(window) != before)
            return true;
        Sleep(10);
    }
    return false;
}

class HiddenMainWindow : public ::testing::Test {
protected:
    MainWindowState state;
    HWND window = NULL;
    void SetUp() override
    {
        window = CreateMainWindow(Instance, &state);
        ASSERT_NE(window, (HWND)NULL);
    }
    void TearDown() override
    {
        if (window != NULL) {
            SendMessageA(window, WM_CLOSE, 0, 0);
            DestroyWindow(window);
        }
    }
};

}

TEST_F(HiddenMainWindow, IsAZeroSizeShownPopupTitledKVL)
{
    char className[64];
    ASSERT_GT(GetClassNameA(window, className, sizeof className), 0);
    EXPECT_STREQ(className, "KVLMainWindow");
    EXPECT_EQ(GetClassLongA(window, GCL_STYLE), (DWORD)CS_GLOBALCLASS);

    LONG style = GetWindowLongA(window, GWL_STYLE);
    EXPECT_EQ(style & (WS_POPUP | WS_SYSMENU | WS_VISIBLE), WS_POPUP | WS_SYSMENU | WS_VISIBLE);
    EXPECT_EQ(style & (WS_CAPTION | WS_CHILD | WS_THICKFRAME), 0);
    EXPECT_EQ(GetWindowLongA(window, GWL_EXSTYLE) & (WS_EX_TOOLWINDOW | WS_EX_TOPMOST), 0);
    EXPECT_EQ(GetWindow(window, GW_OWNER), (HWND)NULL);

    RECT rect;
    ASSERT_TRUE(GetWindowRect(window, &rect));
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.right, 0);
    EXPECT_EQ(rect.bottom, 0);

    EXPECT_EQ(Title(window), "K.V.L");
    EXPECT_NE(SendMessageA(window, WM_GETICON, ICON_SMALL, 0), 0);
}

TEST_F(HiddenMainWindow, TitleMarqueeRunsThroughTenTitles)
{
    const char *const expected[] = {
        " K.V.L", " K.V. L", " K.V .L", " K. V.L", " K .V.L",
        "  K.V.L", " K .V.L", " K. V.L", " K.V .L", " K.V. L",
        " K.V.L", " K.V. L",
    };
    for (size_t tick = 0; tick < sizeof expected / sizeof expected[0]; tick++) {
        SendMessageA(window, WM_TIMER, TITLE_TIMER, 0);
        EXPECT_EQ(Title(window), expected[tick]) << "tick " << tick + 1;
    }

    /* Other timers leave the title alone. */
    EXPECT_EQ(SendMessageA(window, WM_TIMER, TITLE_TIMER + 1, 0), 0);
    EXPECT_EQ(Title(window), " K.V. L");

    /* A new window starts again at the first title. */
    SendMessageA(window, WM_CLOSE, 0, 0);
    DestroyWindow(window);
    window = CreateMainWindow(Instance, &state);
    ASSERT_NE(window, (HWND)NULL);
    SendMessageA(window, WM_TIMER, TITLE_TIMER, 0);
    EXPECT_EQ(Title(window), " K.V.L");
}

TEST_F(HiddenMainWindow, CloseStopsTheMarqueeAndKeepsTheWindow)
{
    /* Timer 1 moves the title while messages are served. */
    EXPECT_TRUE(TitleChangesWhilePumping(window, 5000));

    EXPECT_EQ(SendMessageA(window, WM_CLOSE, 0, 0), 0);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(SendMessageA(window, WM_GETICON, ICON_SMALL, 0), 0);
    /* Timer 1 is gone: there is nothing left to kill. */
    EXPECT_FALSE(KillTimer(window, TITLE_TIMER));
    EXPECT_FALSE(TitleChangesWhilePumping(window, 600));
}

namespace {

struct ProcessWindows {
    DWORD processId;
    HWND mainWindow;
    HWND menu;
    HWND question;
    HWND message;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM parameter)
{
    ProcessWindows *found = (ProcessWindows *)parameter;
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId != found->processId || !IsWindowVisible(window))
        return TRUE;
    char className[64] = "";
    GetClassNameA(window, className, sizeof className);
    if (strcmp(className, "KVLMainWindow") == 0)
        found->mainWindow = window;
    else if (GetDlgItem(window, IDC_MENU_PLAY) != NULL)
        found->menu = window;
    else if (GetDlgItem(window, IDYES) != NULL)
        found->question = window;
    else if (GetDlgItem(window, IDC_MSG_BUTTON) != NULL)
        found->message = window;
    return TRUE;
}

}

/* The real launcher from the disc, on a machine without the game: it
 * shows its taskbar window with the running title and the main menu
 * owned by it; a second start meanwhile ends with 1 at once; leaving the
 * menu ends the first with 0. */
TEST(DiscLauncher, RunsOnceWithItsTaskbarWindowAndExitsWith0)
{
    ASSERT_FALSE(MutexExists(LAUNCHER_MUTEX_NAME));
    proc::Program launcher;
    ASSERT_TRUE(StartDiscLauncher(&launcher));

    std::set<std::string> titles;
    bool checked = false, exitAsked = false;
    DWORD start = GetTickCount();
    DWORD code = 0;
    while (GetTickCount() - start < 30000 && !proc::WaitExit(launcher, 50, &code)) {
        ProcessWindows found = { launcher.pid, NULL, NULL, NULL, NULL };
        EnumWindows(CollectWindow, (LPARAM)&found);
        /* Start-up warnings (slow machine, few colours) are acknowledged. */
        if (found.message != NULL)
            proc::Press(found.message, IDC_MSG_BUTTON);
        if (found.question != NULL && exitAsked)
            proc::Press(found.question, IDYES);
        if (found.mainWindow == NULL || found.menu == NULL)
            continue;
        titles.insert(Title(found.mainWindow));
        if (titles.size() < 3 || exitAsked)
            continue;
        EXPECT_EQ(GetWindow(found.menu, GW_OWNER), found.mainWindow);
        EXPECT_EQ(RunDiscLauncher(), 1);
        checked = true;
        proc::Press(found.menu, IDCANCEL);
        exitAsked = true;
    }
    EXPECT_TRUE(checked) << "taskbar window, menu or title marquee not seen";
    for (const std::string &title : titles)
        EXPECT_TRUE(title == "K.V.L" || (title.size() >= 6 && title[0] == ' ')) << title;
    EXPECT_EQ(WaitForDiscLauncher(&launcher, 5000), 0);
    EXPECT_FALSE(MutexExists(LAUNCHER_MUTEX_NAME));
}
