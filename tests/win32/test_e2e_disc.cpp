/* End to end on the real demo disc R:: the launcher, Setup, the game
 * stand-in and the uninstaller working together, as a user goes through
 * them: install, set up the graphics and play, complete a level,
 * uninstall. */
#include <windows.h>
#include <gtest/gtest.h>

#include <string>

#include "resources/resource.h"
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
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, PRODUCT_KEY, 0, KEY_READ | KEY_WOW64_32KEY, &key) != ERROR_SUCCESS)
        return "(no key)";
    LONG rc = RegQueryValueExA(key, name, NULL, &type, (BYTE *)text, &size);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS && type == REG_SZ ? text : "(absent)";
}

static DWORD DwordValue(const char *name)
{
    HKEY key;
    DWORD value = 0xDEAD, size = sizeof value;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, PRODUCT_KEY, 0, KEY_READ | KEY_WOW64_32KEY, &key) == ERROR_SUCCESS) {
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

class DemoDisc : public ::testing::Test {
protected:
    proc::Program launcher;

    void Clean()
    {
        DeleteRegistryTree(HKEY_LOCAL_MACHINE, COMPANY_KEY);
        DeleteRegistryTree(HKEY_LOCAL_MACHINE, UNINSTALL_KEY);
        DeleteRegistryTree(HKEY_CURRENT_USER, COMPANY_KEY);
        DeleteFolderTree(DEFAULT_INSTALL_DIR);
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
        EXPECT_TRUE(proc::Start(LauncherCommand, "C:\\", {}, &launcher));
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
    EXPECT_EQ(StringValue("CDRoot"), "R:\\");

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
