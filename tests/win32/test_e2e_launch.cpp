/* End to end: Launcher.exe runs as a process of its own from the test disc
 * S:, a CD-ROM drive whose Setup.exe, Notepad.exe (beside the launcher)
 * and installed game folder "S:\Installed KVL" (KVL.EXE, Uninst.exe) are
 * all the recorder, as is the Notepad of the test prefix's Windows folder:
 * each run leaves the started program's path, command line and current
 * directory in the record file. The test sets the registry as an
 * installation would leave it, presses the menu's buttons from outside,
 * and checks what was started and how the launcher ended. */
#include <windows.h>
#include <gtest/gtest.h>

#include <stdlib.h>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "tests/harness/fixtures.h"
#include "tests/harness/procwin.h"
#include "tests/harness/readable.h"
#include "tests/win32/guitest.h"
#include "common/registrykeys.h"

static const char LauncherCommand[] = "\"S:\\Launcher\\Launcher.exe\"";
static const char InstalledDir[] = "S:\\Installed KVL";
static const char OtherDiscRoot[] = "S:\\CD\\";   /* holds a Setup.exe of its own */
static const char ProductKey[] = PRODUCT_KEY;
static const char UninstallKey[] = UNINSTALL_KEY;
static const DWORD Timeout = 30000;

struct Recorded {
    std::string program, commandLine, directory;
};

static std::string RecordFile()
{
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    return std::string(temp) + "kvl-e2e-record.txt";
}

static void CleanRegistry()
{
    DeleteRegistryTree(HKEY_LOCAL_MACHINE, COMPANY_KEY);
    DeleteRegistryTree(HKEY_LOCAL_MACHINE, UninstallKey);
    DeleteRegistryTree(HKEY_CURRENT_USER, COMPANY_KEY);
}

static HKEY CreateKey(const char *path)
{
    HKEY key = NULL;
    EXPECT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, NULL, 0, KEY_ALL_ACCESS | REGISTRY_32BIT_VIEW, NULL, &key, NULL),
              ERROR_SUCCESS);
    return key;
}

static void WriteUninstallString(const char *command)
{
    HKEY key = CreateKey(UninstallKey);
    RegSetValueExA(key, "UninstallString", 0, REG_SZ, (const BYTE *)command, lstrlenA(command) + 1);
    RegCloseKey(key);
}

class EndToEnd : public ::testing::Test {
protected:
    proc::Program launcher;

    /* A clean slate for the next launch: no keys, no record. */
    void Reset()
    {
        CleanRegistry();
        DeleteFileA(RecordFile().c_str());
    }

    void SetUp() override
    {
        Reset();
        ASSERT_EQ(GetDriveTypeA("S:\\"), (UINT)DRIVE_CDROM) << "the test disc S: is not mapped";
        ASSERT_NE(GetFileAttributesA("S:\\Launcher\\Launcher.exe"), INVALID_FILE_ATTRIBUTES);
    }

    void TearDown() override
    {
        proc::Stop(&launcher);
        Reset();
    }

    /* Starts the launcher from a directory it must leave. */
    void StartLauncher(std::vector<std::string> env = {})
    {
        env.push_back("KVL_RECORD_FILE=" + RecordFile());
        ASSERT_TRUE(proc::Start(LauncherCommand, "C:\\", env, &launcher));
    }

    /* Waits for the main menu. A start-up warning of the machine (slow
     * processor, few colours) depends on the test machine, not on what is
     * tested here: it is answered with Continue. */
    HWND WaitMenu()
    {
        HWND menu = NULL;
        DWORD start = GetTickCount(), code = 0;
        while (!menu && GetTickCount() - start < Timeout && !proc::WaitExit(launcher, 50, &code)) {
            menu = proc::FindDialog(launcher.pid, "K.V.L", IDC_MENU_INSTALL);
            HWND warning = proc::FindDialogWithItem(launcher.pid, IDC_MSG_BUTTON);
            if (warning && proc::Text(warning) != "KVL - Erreur")
                proc::Press(warning, IDC_MSG_BUTTON);
        }
        if (!menu) {
            std::string seen;
            for (const std::string &w : proc::VisibleWindows(launcher.pid))
                seen += " [" + w + "]";
            ADD_FAILURE() << "no main menu; windows:" << seen;
        }
        return menu;
    }

    /* Presses a menu button; the launcher must then start the program and
     * end with exit code 0. */
    void PressAndExpectExit(int id)
    {
        HWND menu = WaitMenu();
        ASSERT_NE(menu, (HWND)NULL);
        proc::Press(menu, id);
        DWORD code = 999;
        ASSERT_TRUE(proc::WaitExit(launcher, Timeout, &code)) << "the launcher did not end";
        EXPECT_EQ(code, 0u);
    }

    /* The error dialog of a failed start or a missing component: checks its
     * message, presses its button, and the launcher ends with 0. */
    void ExpectErrorThenExit(const std::string &message)
    {
        HWND error = proc::WaitDialog(launcher, "KVL - Erreur", IDC_MSG_BUTTON, Timeout);
        ASSERT_NE(error, (HWND)NULL) << "no error dialog";
        EXPECT_NE(proc::ItemText(error, IDC_MSG_TEXT).find(message), std::string::npos)
            << proc::ItemText(error, IDC_MSG_TEXT);
        proc::Press(error, IDC_MSG_BUTTON);
        DWORD code = 999;
        ASSERT_TRUE(proc::WaitExit(launcher, Timeout, &code)) << "the launcher did not end";
        EXPECT_EQ(code, 0u);
    }

    /* What the recorder wrote; fails the test when nothing was started. */
    Recorded Started()
    {
        Recorded r;
        if (!proc::WaitForFile(RecordFile(), 10000)) {
            ADD_FAILURE() << "no program was started";
            return r;
        }
        std::string text = proc::ReadFileText(RecordFile());
        size_t a = text.find('\n'), b = a == std::string::npos ? a : text.find('\n', a + 1);
        if (b == std::string::npos) {
            ADD_FAILURE() << "unreadable record: " << text;
            return r;
        }
        r.program = text.substr(0, a);
        r.commandLine = text.substr(a + 1, b - a - 1);
        r.directory = text.substr(b + 1, text.find('\n', b + 1) - b - 1);
        return r;
    }

    /* The program the launcher started, its command line and its current
     * directory. */
    void ExpectStarted(const char *program, const char *commandLine, const char *directory)
    {
        Recorded r = Started();
        EXPECT_STREQ(r.program.c_str(), program);
        EXPECT_STREQ(r.commandLine.c_str(), commandLine);
        EXPECT_STREQ(r.directory.c_str(), directory);
    }

    void ExpectNothingStarted()
    {
        Sleep(500);
        EXPECT_EQ(GetFileAttributesA(RecordFile().c_str()), INVALID_FILE_ATTRIBUTES)
            << proc::ReadFileText(RecordFile());
    }
};

TEST_F(EndToEnd, InstallBeforeInstallationStartsSetupAtTheDiscRoot)
{
    /* A fresh machine, then a product key without ExeDir. */
    for (int withKey = 0; withKey < 2; withKey++) {
        SCOPED_TRACE(withKey ? "product key without ExeDir" : "no keys");
        Reset();
        if (withKey)
            RegCloseKey(CreateKey(ProductKey));
        StartLauncher();
        PressAndExpectExit(IDC_MENU_INSTALL);
        ExpectStarted("S:\\Setup.exe", "Setup.exe", "S:\\");
        proc::Stop(&launcher);
    }
}

TEST_F(EndToEnd, ReinstallStartsSetupInTheDiscRootOfTheSettings)
{
    /* Installed but incomplete (bFirstTime missing): the parent of the
     * launcher's folder. */
    ASSERT_TRUE(WriteProductKey(InstalledDir, OtherDiscRoot, 0, "bFirstTime"));
    StartLauncher();
    PressAndExpectExit(IDC_MENU_INSTALL);
    ExpectStarted("S:\\Setup.exe", "Setup.exe", "S:\\");
    proc::Stop(&launcher);

    /* Complete: CDRoot becomes the current directory, where Setup.exe is
     * found. */
    Reset();
    ASSERT_TRUE(WriteProductKey(InstalledDir, OtherDiscRoot, 0));
    StartLauncher();
    PressAndExpectExit(IDC_MENU_INSTALL);
    ExpectStarted("S:\\CD\\Setup.exe", "Setup.exe", "S:\\CD");
}

TEST_F(EndToEnd, UninstallRunsTheRegisteredCommandAsItIs)
{
    ASSERT_TRUE(WriteProductKey(InstalledDir, OtherDiscRoot, 0));
    WriteUninstallString("\"S:\\Installed KVL\\Uninst.exe\" /S");
    StartLauncher();
    PressAndExpectExit(IDC_MENU_UNINSTALL);
    ExpectStarted("S:\\Installed KVL\\Uninst.exe", "\"S:\\Installed KVL\\Uninst.exe\" /S", "S:\\CD");
}

TEST_F(EndToEnd, AnUninstallCommandThatFillsItsFieldWithoutEndIsNotOffered)
{
    /* 260 bytes of binary data, no terminator: cut by one character it
     * would name the installed uninstaller. */
    ASSERT_TRUE(WriteProductKey(InstalledDir, OtherDiscRoot, 0));
    std::string command = "S:\\Installed KVL\\";
    while (command.size() < 260 - strlen("Uninst.exeZ"))
        command += ".\\";
    command += "Uninst.exeZ";
    ASSERT_EQ(command.size(), 260u);
    HKEY key = CreateKey(UninstallKey);
    RegSetValueExA(key, "UninstallString", 0, REG_BINARY, (const BYTE *)command.data(), (DWORD)command.size());
    RegCloseKey(key);
    StartLauncher();
    HWND menu = WaitMenu();
    ASSERT_NE(menu, (HWND)NULL);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(menu, IDC_MENU_UNINSTALL)));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(menu, IDC_MENU_PLAY)));
    proc::Stop(&launcher);
    ExpectNothingStarted();
}

TEST_F(EndToEnd, PlayStartsTheGameOfTheInstallFolder)
{
    /* Complete settings: the game runs in CDRoot. */
    ASSERT_TRUE(WriteProductKey(InstalledDir, OtherDiscRoot, 0));
    StartLauncher();
    PressAndExpectExit(IDC_MENU_PLAY);
    ExpectStarted("S:\\Installed KVL\\KVL.EXE", "\"S:\\Installed KVL\\KVL.EXE\"", "S:\\CD");
    proc::Stop(&launcher);

    /* A later value missing: still installed, but the current directory is
     * the parent of the launcher's folder. */
    Reset();
    ASSERT_TRUE(WriteProductKey(InstalledDir, OtherDiscRoot, 0, "Transparency"));
    StartLauncher();
    PressAndExpectExit(IDC_MENU_PLAY);
    ExpectStarted("S:\\Installed KVL\\KVL.EXE", "\"S:\\Installed KVL\\KVL.EXE\"", "S:\\");
}

TEST_F(EndToEnd, ReadMeOpensNotepadAndTheMenuStays)
{
    struct Case {
        bool installed;
        const char *readMe;
        const char *directory;
    } cases[] = {
        { false, "\"KVL\\ReadMe.txt\"", "S:\\" },
        { true, "\"S:\\Installed KVL\\ReadMe.txt\"", "S:\\CD" },
    };
    /* The system's Notepad is the recorder here. */
    char windows[MAX_PATH];
    ASSERT_NE(GetWindowsDirectoryA(windows, sizeof windows), 0u);
    const std::string notepad = std::string(windows) + "\\Notepad.exe";
    for (const Case &c : cases) {
        SCOPED_TRACE(c.readMe);
        Reset();
        if (c.installed) {
            ASSERT_TRUE(WriteProductKey(InstalledDir, OtherDiscRoot, 0));
        }
        StartLauncher();
        HWND menu = WaitMenu();
        ASSERT_NE(menu, (HWND)NULL);
        proc::Press(menu, IDC_MENU_README);
        /* By its full path: not the Notepad.exe beside the launcher, which
         * the system's search would try first. */
        Recorded r = Started();
        EXPECT_STRCASEEQ(r.program.c_str(), notepad.c_str());
        EXPECT_EQ(r.commandLine, "\"" + notepad + "\" " + c.readMe);
        EXPECT_EQ(r.directory, c.directory);

        /* Still in the menu: Exit, then Yes to the question. */
        EXPECT_TRUE(IsWindowVisible(menu));
        DWORD code = 999;
        EXPECT_FALSE(proc::WaitExit(launcher, 0, &code));
        proc::Press(menu, IDCANCEL);
        HWND question = proc::WaitDialog(launcher, "K.V.L", IDYES, Timeout);
        ASSERT_NE(question, (HWND)NULL) << "no quit question";
        proc::Press(question, IDYES);
        ASSERT_TRUE(proc::WaitExit(launcher, Timeout, &code));
        EXPECT_EQ(code, 0u);
        proc::Stop(&launcher);
    }
}

TEST_F(EndToEnd, FailedStartShowsItsMessageAndTheLauncherEnds)
{
    struct Case {
        const char *exeDir, *cdRoot;
        const char *uninstall; /* NULL: none registered */
        int button;
        const char *message;
    } cases[] = {
        /* No KVL.EXE in the install folder. */
        { "S:\\Nowhere", OtherDiscRoot, NULL, IDC_MENU_PLAY, "Impossible de lancer KVL." },
        /* An empty uninstall command. */
        { InstalledDir, OtherDiscRoot, "", IDC_MENU_UNINSTALL, "Impossible de lancer uninstaller." },
        /* A disc root without Setup.exe. */
        { InstalledDir, "S:\\Installed KVL\\", NULL, IDC_MENU_INSTALL, "Impossible de lancer Setup.exe." },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.message);
        Reset();
        ASSERT_TRUE(WriteProductKey(c.exeDir, c.cdRoot, 0));
        if (c.uninstall)
            WriteUninstallString(c.uninstall);
        StartLauncher();
        HWND menu = WaitMenu();
        ASSERT_NE(menu, (HWND)NULL);
        proc::Press(menu, c.button);
        ExpectErrorThenExit(c.message);
        ExpectNothingStarted();
        proc::Stop(&launcher);
    }
}

TEST_F(EndToEnd, MissingDirectXComponentEndsTheLauncherBeforeTheMenu)
{
    /* Wine hands a started program the DLL overrides of the Unix
     * environment, not those of the environment block it is given. So this
     * case runs as a test of its own, the whole program started with one
     * DirectX library disabled (WINEDLLOVERRIDES) and its name in
     * KVL_E2E_MISSING; under Wine 8 the three classes live in ddraw.dll,
     * dinput.dll and amstream.dll. */
    struct Case {
        const char *library;
        const char *message;
    } cases[] = {
        { "ddraw", "Direct draw (ddraw.dll)" },
        { "dinput", "Direct input (dinput.dll)" },
        { "amstream", "DirectX Media" },
    };
    char missing[32] = "";
    GetEnvironmentVariableA("KVL_E2E_MISSING", missing, sizeof missing);
    const Case *c = NULL;
    for (const Case &k : cases)
        if (lstrcmpiA(k.library, missing) == 0)
            c = &k;
    if (!c)
        GTEST_SKIP() << "run with KVL_E2E_MISSING=ddraw, dinput or amstream";

    ASSERT_TRUE(WriteProductKey(InstalledDir, OtherDiscRoot, 0));
    StartLauncher();
    HWND error = proc::WaitDialog(launcher, "KVL - Erreur", IDC_MSG_BUTTON, Timeout);
    if (!error) {
        std::string seen;
        for (const std::string &w : proc::VisibleWindows(launcher.pid))
            seen += " [" + w + "]";
        FAIL() << "no error dialog; windows:" << seen;
    }
    EXPECT_EQ(proc::FindDialog(launcher.pid, "K.V.L", IDC_MENU_INSTALL), (HWND)NULL)
        << "the menu showed before the check";
    ExpectErrorThenExit(c->message);
    ExpectNothingStarted();
    EXPECT_EQ(proc::FindDialog(launcher.pid, "K.V.L", IDC_MENU_INSTALL), (HWND)NULL);
}

/* The main menu's picture fills its frame at the screen's dots per inch:
 * its own size at 96, larger with the dialog's font above that, whether the launcher
 * scales it (it sees the screen's density) or the system stretches the
 * launcher's windows (it sees 96). The program runs once more with the
 * screen at 144 (KVL_EXPECT_DPI). */
TEST_F(EndToEnd, MenuPictureFillsItsFrameAtTheScreensDensity)
{
    const int screenDpi = gui::ScreenDpiAsSet();
    const int dpi = gui::ProgramDpi();
    char expectedDpi[16] = "";
    if (GetEnvironmentVariableA("KVL_EXPECT_DPI", expectedDpi, sizeof expectedDpi)) {
        ASSERT_EQ(screenDpi, atoi(expectedDpi)) << "the screen's dots per inch were not set";
    }
    ASSERT_EQ(dpi, gui::SystemScalesUnawarePrograms() ? 96 : screenDpi);
    BITMAP own = {};
    HBITMAP bitmap = LoadBitmapA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDB_MENU_SIDE));
    ASSERT_TRUE(GetObjectA(bitmap, sizeof own, &own));
    DeleteObject(bitmap);

    StartLauncher();
    HWND menu = WaitMenu();
    ASSERT_NE(menu, (HWND)NULL);
    HWND picture = NULL;
    for (HWND c = GetWindow(menu, GW_CHILD); c && !picture; c = GetWindow(c, GW_HWNDNEXT)) {
        char name[16] = "";
        GetClassNameA(c, name, sizeof name);
        if (lstrcmpiA(name, "Static") == 0 && (GetWindowLongA(c, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP)
            picture = c;
    }
    ASSERT_NE(picture, (HWND)NULL);
    RECT frame;
    GetClientRect(picture, &frame);
    if (dpi > 96) {
        /* Grown as the dialog's font grew: near the density, not exactly. */
        EXPECT_NEAR(frame.right, MulDiv(own.bmWidth, dpi, 96), own.bmWidth / 10) << dpi;
        EXPECT_NEAR(frame.bottom, MulDiv(own.bmHeight, dpi, 96), own.bmHeight / 10) << dpi;
    } else {
        EXPECT_EQ(frame.right, own.bmWidth);
        EXPECT_EQ(frame.bottom, own.bmHeight);
    }
    /* Within the room the template gives it, which grows with the font:
     * above the installation buttons, left of the emblem. */
    RECT shown, install, emblem;
    ASSERT_TRUE(GetWindowRect(picture, &shown));
    ASSERT_TRUE(GetWindowRect(GetDlgItem(menu, IDC_MENU_INSTALL), &install));
    ASSERT_TRUE(GetWindowRect(GetDlgItem(menu, IDC_MENU_PICTURE), &emblem));
    EXPECT_LE(shown.bottom, install.top) << dpi << ": the picture covers the installation buttons";
    EXPECT_LE(shown.right, emblem.left) << dpi;
}

/* ---- Every dialog, for a screen reader and for the eye ------------------
 * Each control that takes the focus has a name a screen reader can say,
 * each one-line label shows its whole text in the dialog's font, and no
 * two controls share a mnemonic. The program runs once more with the
 * screen at 144 dots per inch, where the font grows with it. */

static std::string FaultsOf(HWND dialog)
{
    std::string all;
    for (const std::string &fault : readable::Faults(dialog))
        all += "\n  " + fault;
    return all;
}

static void WriteLevel(DWORD level)
{
    HKEY key = CreateKey(ProductKey);
    RegSetValueExA(key, "Level", 0, REG_DWORD, (const BYTE *)&level, sizeof level);
    RegCloseKey(key);
}

/* The pixels on the screen where a focus frame inside the control's edge
 * would be. */
static std::vector<COLORREF> FrameOnScreen(HWND control)
{
    RECT r;
    GetClientRect(control, &r);
    MapWindowPoints(control, NULL, (POINT *)&r, 2);
    std::vector<COLORREF> pixels;
    HDC screen = GetDC(NULL);
    for (int x = r.left + 2; x < r.right - 2; x++) {
        pixels.push_back(GetPixel(screen, x, r.top + 2));
        pixels.push_back(GetPixel(screen, x, r.bottom - 3));
    }
    ReleaseDC(NULL, screen);
    return pixels;
}

TEST_F(EndToEnd, MainMenuIsReadable)
{
    ASSERT_TRUE(WriteProductKey(InstalledDir, OtherDiscRoot, 0));
    WriteUninstallString("\"S:\\Installed KVL\\Uninst.exe\"");
    StartLauncher();
    HWND menu = WaitMenu();
    ASSERT_NE(menu, (HWND)NULL);
    /* The picture button is named without telling what it hides. */
    HWND emblem = GetDlgItem(menu, IDC_MENU_PICTURE);
    EXPECT_EQ(readable::AccessibleName(emblem), "Embl\xC3\xA8me K.V.L");
    EXPECT_EQ(FaultsOf(menu), "");

    /* Reached with the keyboard, it shows a focus frame. */
    std::vector<COLORREF> unfocused = FrameOnScreen(emblem);
    PostMessageA(menu, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
    PostMessageA(menu, WM_NEXTDLGCTL, (WPARAM)emblem, TRUE);
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    DWORD thread = GetWindowThreadProcessId(menu, NULL);
    for (DWORD start = GetTickCount(); GetTickCount() - start < Timeout; Sleep(50))
        if (GetGUIThreadInfo(thread, &info) && info.hwndFocus == emblem)
            break;
    ASSERT_EQ(info.hwndFocus, emblem);
    std::vector<COLORREF> focused;
    for (DWORD start = GetTickCount(); GetTickCount() - start < Timeout; Sleep(50))
        if ((focused = FrameOnScreen(emblem)) != unfocused)
            break;
    EXPECT_TRUE(focused != unfocused) << "no focus frame";
}

TEST_F(EndToEnd, GraphicsSetupIsReadable)
{
    ASSERT_TRUE(WriteProductKey(InstalledDir, OtherDiscRoot, 0));
    StartLauncher();
    HWND menu = WaitMenu();
    ASSERT_NE(menu, (HWND)NULL);
    proc::Press(menu, IDC_MENU_SETUP);
    HWND setup = proc::WaitDialog(launcher, "KVL - R\xE9glage du gestionnaire graphique", IDC_GFX_DEVICE, Timeout);
    ASSERT_NE(setup, (HWND)NULL) << "the graphics setup did not open";
    EXPECT_EQ(proc::ItemText(setup, IDC_GFX_DEVICE_LABEL), "Afficher P\xE9riph\xE9rique");
    EXPECT_EQ(FaultsOf(setup), "");
    proc::Press(setup, IDCANCEL);
}

TEST_F(EndToEnd, SystemInformationIsReadable)
{
    StartLauncher();
    HWND menu = WaitMenu();
    ASSERT_NE(menu, (HWND)NULL);
    proc::Press(menu, IDC_MENU_CHECK);
    HWND report = proc::WaitDialog(launcher, "KVL - Informations du syst\xE8me", IDC_SYSINFO_REPORT, Timeout);
    ASSERT_NE(report, (HWND)NULL) << "the report did not open";
    EXPECT_EQ(readable::AccessibleName(GetDlgItem(report, IDC_SYSINFO_REPORT)), "Rapport sur la machine");
    EXPECT_EQ(FaultsOf(report), "");
    proc::Press(report, IDOK);
}

TEST_F(EndToEnd, ArtbookIsReadable)
{
    /* Three levels completed: the level list shows beside the arrows. */
    ASSERT_TRUE(WriteProductKey(InstalledDir, OtherDiscRoot, 0));
    WriteLevel(3);
    StartLauncher();
    HWND menu = WaitMenu();
    ASSERT_NE(menu, (HWND)NULL);
    proc::Press(menu, IDC_MENU_ARTBOOK);
    HWND art = proc::WaitDialog(launcher, "KVL - Livre d'images", IDC_ART_LEVELS, Timeout);
    ASSERT_NE(art, (HWND)NULL) << "the artbook did not open";
    ASSERT_TRUE(IsWindowVisible(GetDlgItem(art, IDC_ART_LEVELS)));
    EXPECT_EQ(readable::AccessibleName(GetDlgItem(art, IDC_ART_PREV)), "Image pr\xC3\xA9" "c\xC3\xA9" "dente");
    EXPECT_EQ(readable::AccessibleName(GetDlgItem(art, IDC_ART_NEXT)), "Image suivante");
    EXPECT_EQ(readable::AccessibleName(GetDlgItem(art, IDC_ART_LEVELS)), "Choix du niveau");
    EXPECT_EQ(FaultsOf(art), "");
    proc::Press(art, IDCANCEL);
}

TEST_F(EndToEnd, MessageDialogIsReadable)
{
    /* A game that cannot start: the error dialog. */
    ASSERT_TRUE(WriteProductKey("S:\\Nowhere", OtherDiscRoot, 0));
    StartLauncher();
    HWND menu = WaitMenu();
    ASSERT_NE(menu, (HWND)NULL);
    proc::Press(menu, IDC_MENU_PLAY);
    HWND error = proc::WaitDialog(launcher, "KVL - Erreur", IDC_MSG_BUTTON, Timeout);
    ASSERT_NE(error, (HWND)NULL) << "no error dialog";
    EXPECT_EQ(FaultsOf(error), "");
    proc::Press(error, IDC_MSG_BUTTON);
}
