/* End to end on the real demo disc R:: the launcher, Setup, the game
 * stand-in and the uninstaller working together, as a user goes through
 * them: install, set up the graphics and play, complete a level,
 * uninstall. The same disc is also CD-ROM T:, to install from one drive
 * letter and play from another. */
#include <windows.h>
#include <gtest/gtest.h>

#include <string>

#include "common/texttable.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "standins/standin_core.h"
#include "standins/standin_res.h"
#include "tests/harness/fixtures.h"
#include "tests/harness/procwin.h"
#include "common/registrykeys.h"

static const char LauncherCommand[] = "\"R:\\Launcher\\Launcher.exe\"";
static const DWORD Timeout = 30000;

static std::string StringValue(const char *name)
{
    HKEY key;
    char text[300] = "";
    DWORD size = sizeof text - 1, type = 0;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, PRODUCT_KEY, 0, KEY_READ | REGISTRY_32BIT_VIEW, &key) != ERROR_SUCCESS)
        return "(no key)";
    LONG rc = RegQueryValueExA(key, name, NULL, &type, (BYTE *)text, &size);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS && type == REG_SZ ? text : "(absent)";
}

static DWORD DwordValue(const char *name)
{
    HKEY key;
    DWORD value = 0xDEAD, size = sizeof value;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, PRODUCT_KEY, 0, KEY_READ | REGISTRY_32BIT_VIEW, &key) == ERROR_SUCCESS) {
        RegQueryValueExA(key, name, NULL, NULL, (BYTE *)&value, &size);
        RegCloseKey(key);
    }
    return value;
}

static bool WaitGone(HWND window)
{
    for (int i = 0; i < 300 && IsWindow(window); i++)
        Sleep(100);
    return !IsWindow(window);
}

/* The disc's second drive and what the test takes out of it to make it
 * look empty, as a disc image that was unmounted. */
static const char MovedDisc[] = "T:\\";
static const char *const MovedDiscFiles[] = { "T:\\Setup.exe", "T:\\Artbook" };

/* The started programs' record (tests/win32/recorder.cpp). */
static std::string RecordFile()
{
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    return std::string(temp) + "kvl-e2e-moved-record.txt";
}

static std::string ImageOf(HWND window)
{
    typedef BOOL(WINAPI * QueryImageFn)(HANDLE, DWORD, LPSTR, PDWORD);
    QueryImageFn query =
        (QueryImageFn)(void *)GetProcAddress(GetModuleHandleA("kernel32.dll"), "QueryFullProcessImageNameA");
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, pid);
    char path[MAX_PATH] = "";
    DWORD size = sizeof path;
    if (!query || !process || !query(process, 0, path, &size))
        path[0] = '\0';
    if (process)
        CloseHandle(process);
    return path;
}

class DemoDisc : public ::testing::Test {
protected:
    proc::Program launcher;

    void Clean()
    {
        for (const char *file : MovedDiscFiles)
            MoveFileA((std::string(file) + ".away").c_str(), file);
        DeleteFileA(RecordFile().c_str());
        DeleteRegistryTree(HKEY_LOCAL_MACHINE, COMPANY_KEY);
        DeleteRegistryTree(HKEY_LOCAL_MACHINE, UNINSTALL_KEY);
        DeleteRegistryTree(HKEY_CURRENT_USER, COMPANY_KEY);
        DeleteFolderTree(DEFAULT_INSTALL_DIR);
        DeleteProductFolder();
    }
    void SetUp() override { Clean(); }
    void TearDown() override
    {
        proc::Stop(&launcher);
        Clean();
    }

    HWND StartMenu()
    {
        proc::Stop(&launcher);
        EXPECT_TRUE(proc::Start(LauncherCommand, "C:\\", { "KVL_RECORD_FILE=" + RecordFile() }, &launcher));
        HWND menu = proc::WaitDialog(launcher, "K.V.L", IDC_MENU_INSTALL, Timeout);
        EXPECT_NE(menu, (HWND)NULL) << "no main menu";
        return menu;
    }
    void ExpectLauncherEnds()
    {
        DWORD code = 999;
        EXPECT_TRUE(proc::WaitExit(launcher, Timeout, &code));
        EXPECT_EQ(code, 0u);
    }
};

TEST_F(DemoDisc, InstallPlayAndUninstallThroughTheLauncher)
{
    /* Not installed: Install, and Setup asks where. */
    HWND menu = StartMenu();
    ASSERT_NE(menu, (HWND)NULL);
    EXPECT_EQ(proc::ItemText(menu, IDC_MENU_INSTALL), "&Installer");
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(menu, IDC_MENU_PLAY)));
    proc::Press(menu, IDC_MENU_INSTALL);
    ExpectLauncherEnds();
    HWND setup = proc::WaitAnyDialog(SETUP_CAPTION, IDC_SETUP_DIR, Timeout);
    ASSERT_NE(setup, (HWND)NULL) << "Setup did not open";
    EXPECT_EQ(proc::ItemText(setup, IDC_SETUP_DIR), DEFAULT_INSTALL_DIR);
    proc::Press(setup, IDOK);
    HWND done = proc::WaitAnyDialog(SETUP_CAPTION, IDOK, Timeout, setup);
    ASSERT_NE(done, (HWND)NULL);
    proc::Press(done, IDOK);
    EXPECT_TRUE(WaitGone(done));
    EXPECT_EQ(StringValue("ExeDir"), DEFAULT_INSTALL_DIR);
    EXPECT_EQ(StringValue("CDRoot"), "?:\\");

    /* Installed: Reinstall, Uninstall and Play are offered. The first
     * Play goes through the graphics setup, whose Play stores the choice
     * and starts the game, which shows what was stored. */
    menu = StartMenu();
    ASSERT_NE(menu, (HWND)NULL);
    EXPECT_EQ(proc::ItemText(menu, IDC_MENU_INSTALL), "&R\xE9installer");
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(menu, IDC_MENU_UNINSTALL)));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(menu, IDC_MENU_PLAY)));
    proc::Press(menu, IDC_MENU_PLAY);
    HWND graphics = proc::WaitDialogWithItem(launcher, IDC_GFX_DEVICE, Timeout);
    ASSERT_NE(graphics, (HWND)NULL) << "the first Play did not open the graphics setup";
    SendDlgItemMessageA(graphics, IDC_GFX_TRANSP_CHECK, BM_SETCHECK, BST_CHECKED, 0);
    proc::Press(graphics, IDC_GFX_PLAY);
    ExpectLauncherEnds();
    EXPECT_EQ(DwordValue("bFirstTime"), 0u);
    EXPECT_EQ(DwordValue("Transparency"), 1u);
    HWND game = proc::WaitAnyDialog(GAME_CAPTION, IDC_GAME_NEXT, Timeout);
    ASSERT_NE(game, (HWND)NULL) << "the game did not start";
    std::string mode = std::to_string(DwordValue("Width")) + " x " + std::to_string(DwordValue("Height"));
    EXPECT_NE(proc::ItemText(game, IDC_GAME_MODE).find(mode), std::string::npos) << proc::ItemText(game, IDC_GAME_MODE);
    EXPECT_EQ(proc::ItemText(game, IDC_GAME_TRANSP), "oui");
    proc::Press(game, IDC_GAME_NEXT);
    for (int i = 0; i < 50 && DwordValue("Level") != 1; i++)
        Sleep(100);
    EXPECT_EQ(DwordValue("Level"), 1u);
    proc::Press(game, IDCANCEL);
    EXPECT_TRUE(WaitGone(game));

    /* Uninstall: the registered uninstaller asks, then removes it all. */
    menu = StartMenu();
    ASSERT_NE(menu, (HWND)NULL);
    proc::Press(menu, IDC_MENU_UNINSTALL);
    ExpectLauncherEnds();
    HWND question = proc::WaitAnyDialog(UNINSTALL_CAPTION, IDYES, Timeout);
    ASSERT_NE(question, (HWND)NULL) << "the uninstaller did not ask";
    proc::Press(question, IDYES);
    HWND finished = proc::WaitAnyDialog(UNINSTALL_CAPTION, IDOK, Timeout, question);
    ASSERT_NE(finished, (HWND)NULL);
    proc::Press(finished, IDOK);
    EXPECT_TRUE(WaitGone(finished));
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, PRODUCT_KEY));
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, UNINSTALL_KEY));
    EXPECT_EQ(GetFileAttributesA(DEFAULT_INSTALL_DIR), INVALID_FILE_ATTRIBUTES);

    /* And the launcher sees a machine without the game again. */
    menu = StartMenu();
    ASSERT_NE(menu, (HWND)NULL);
    EXPECT_EQ(proc::ItemText(menu, IDC_MENU_INSTALL), "&Installer");
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(menu, IDC_MENU_UNINSTALL)));
    proc::Press(menu, IDCANCEL);
    HWND quit = proc::WaitDialog(launcher, "K.V.L", IDYES, Timeout);
    ASSERT_NE(quit, (HWND)NULL);
    proc::Press(quit, IDYES);
    ExpectLauncherEnds();
}

/* Installed from the disc in T:, then played with the disc in R: while T:
 * is empty: the launcher finds the disc where it is now, for the artbook,
 * Reinstall and Play alike. */
TEST_F(DemoDisc, ADiscInstalledFromOneDriveIsFoundUnderAnother)
{
    ASSERT_EQ(GetDriveTypeA(MovedDisc), (UINT)DRIVE_CDROM) << "the second disc drive T: is not mapped";
    proc::Program setup;
    ASSERT_TRUE(proc::Start("T:\\Setup.exe /S", "C:\\", {}, &setup));
    DWORD code = 999;
    ASSERT_TRUE(proc::WaitExit(setup, Timeout, &code));
    ASSERT_EQ(code, 0u);
    proc::Stop(&setup);
    EXPECT_EQ(StringValue("CDRoot"), "?:\\");
    /* A level done, the graphics set up, and the recorder as the game. */
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, PRODUCT_KEY, 0, KEY_SET_VALUE | REGISTRY_32BIT_VIEW, &key), ERROR_SUCCESS);
    const DWORD level = 1, firstTime = 0;
    RegSetValueExA(key, "Level", 0, REG_DWORD, (const BYTE *)&level, sizeof level);
    RegSetValueExA(key, "bFirstTime", 0, REG_DWORD, (const BYTE *)&firstTime, sizeof firstTime);
    RegCloseKey(key);
    ASSERT_TRUE(CopyFileA("S:\\Installed KVL\\KVL.EXE", DEFAULT_INSTALL_DIR "\\KVL.EXE", FALSE));
    for (const char *file : MovedDiscFiles)
        ASSERT_TRUE(MoveFileA(file, (std::string(file) + ".away").c_str())) << file;

    /* The artbook shows the pictures of the disc in R:. */
    HWND menu = StartMenu();
    ASSERT_NE(menu, (HWND)NULL);
    proc::Press(menu, IDC_MENU_ARTBOOK);
    HWND art = proc::WaitDialogWithItem(launcher, IDC_ART_PICTURE, Timeout);
    ASSERT_NE(art, (HWND)NULL);
    proc::Press(art, IDC_ART_NEXT);
    const std::string second = std::string(GetText(TEXT_ARTBOOK_CAPTION)) + " : " + GetText(TEXT_LEVEL_1_NAME) + " #2";
    for (int i = 0; i < 300 && proc::Text(art) != second; i++)
        Sleep(100);
    EXPECT_EQ(proc::Text(art), second);
    EXPECT_NE(SendDlgItemMessageA(art, IDC_ART_PICTURE, STM_GETIMAGE, IMAGE_BITMAP, 0), 0);
    proc::Press(art, IDCANCEL);
    EXPECT_TRUE(WaitGone(art));

    /* Reinstall starts the Setup of the disc in R:. */
    proc::Press(menu, IDC_MENU_INSTALL);
    ExpectLauncherEnds();
    HWND reinstall = proc::WaitAnyDialog(SETUP_CAPTION, IDC_SETUP_DIR, Timeout);
    ASSERT_NE(reinstall, (HWND)NULL) << "Reinstall started no Setup";
    EXPECT_EQ(ImageOf(reinstall), "R:\\Setup.exe");
    proc::Press(reinstall, IDCANCEL);
    EXPECT_TRUE(WaitGone(reinstall));

    /* Play starts the game in the root of the disc in R:. */
    menu = StartMenu();
    ASSERT_NE(menu, (HWND)NULL);
    proc::Press(menu, IDC_MENU_PLAY);
    ExpectLauncherEnds();
    ASSERT_TRUE(proc::WaitForFile(RecordFile(), Timeout)) << "the game did not start";
    const std::string record = proc::ReadFileText(RecordFile());
    EXPECT_NE(record.find("\nR:\\\n"), std::string::npos) << record;
}
