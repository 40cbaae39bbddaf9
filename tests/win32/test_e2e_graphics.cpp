/* End to end on the demo disc R: with Wine's own DirectDraw: after an
 * installation, the first Play of the launcher goes through the graphics
 * setup; Exit brings the menu back, Play in the setup stores the choices
 * and starts the game, which shows what it read. */
#include <windows.h>
#include <gtest/gtest.h>

#include <string>

#include "resources/resource.h"
#include "standins/standin_res.h"
#include "tests/harness/fixtures.h"
#include "tests/harness/procwin.h"
#include "common/registrykeys.h"

static const char LauncherCommand[] = "\"R:\\Launcher\\Launcher.exe\"";
static const char ProductKey[] = PRODUCT_KEY;
static const char SetupCaption[] = "KVL - R\xE9glage du gestionnaire graphique";
static const char GameCaption[] = "K.V.L - D\xE9mo";
static const DWORD Timeout = 30000;

static void CleanRegistry()
{
    DeleteRegistryTree(HKEY_LOCAL_MACHINE, COMPANY_KEY);
    DeleteRegistryTree(HKEY_CURRENT_USER, COMPANY_KEY);
}

static DWORD DwordValue(const char *name)
{
    HKEY key;
    DWORD value = 0xDEAD, size = sizeof value;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, ProductKey, 0, KEY_READ | REGISTRY_32BIT_VIEW, &key) == ERROR_SUCCESS) {
        RegQueryValueExA(key, name, NULL, NULL, (BYTE *)&value, &size);
        RegCloseKey(key);
    }
    return value;
}

static std::string DDNameValue()
{
    HKEY key;
    char text[64] = "";
    DWORD size = sizeof text - 1;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, ProductKey, 0, KEY_READ | REGISTRY_32BIT_VIEW, &key) == ERROR_SUCCESS) {
        RegQueryValueExA(key, "DDName", NULL, NULL, (BYTE *)text, &size);
        RegCloseKey(key);
    }
    return text;
}

/* Polls until check holds; true when it did in time. */
template <typename Check> static bool Eventually(Check check)
{
    for (DWORD start = GetTickCount(); GetTickCount() - start < Timeout; Sleep(50))
        if (check())
            return true;
    return false;
}

class GraphicsEndToEnd : public ::testing::Test {
protected:
    proc::Program launcher;

    void SetUp() override { CleanRegistry(); }
    void TearDown() override
    {
        proc::Stop(&launcher);
        CleanRegistry();
    }

    /* The main menu; start-up warnings about the test machine are answered
     * with Continue. */
    HWND WaitMenu()
    {
        HWND menu = NULL;
        Eventually([&]() {
            menu = proc::FindDialog(launcher.pid, "K.V.L", IDC_MENU_INSTALL);
            HWND warning = proc::FindDialogWithItem(launcher.pid, IDC_MSG_BUTTON);
            if (warning && proc::Text(warning) != "KVL - Erreur")
                proc::Press(warning, IDC_MSG_BUTTON);
            return menu != NULL;
        });
        return menu;
    }
};

TEST_F(GraphicsEndToEnd, FirstPlayGoesThroughTheSetupAndTheGameShowsTheChoices)
{
    /* The product key as Setup leaves it: installed from R:, never set up. */
    ASSERT_TRUE(WriteProductKey("R:\\KVL", "R:\\", 1));
    ASSERT_TRUE(proc::Start(LauncherCommand, "C:\\", {}, &launcher));
    HWND menu = WaitMenu();
    ASSERT_NE(menu, (HWND)NULL) << "no main menu";

    /* Exit from the setup brings the menu back and stores nothing. */
    proc::Press(menu, IDC_MENU_PLAY);
    HWND setup = proc::WaitDialog(launcher, SetupCaption, IDC_GFX_DEVICE, Timeout);
    ASSERT_NE(setup, (HWND)NULL) << "the graphics setup did not open";
    EXPECT_FALSE(IsWindowVisible(menu)) << "the menu hides meanwhile";
    EXPECT_GE(SendDlgItemMessageA(setup, IDC_GFX_DEVICE, CB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(SendDlgItemMessageA(setup, IDC_GFX_DEVICE, CB_GETCURSEL, 0, 0), 0);
    EXPECT_GE(SendDlgItemMessageA(setup, IDC_GFX_MODE, CB_GETCOUNT, 0, 0), 1);
    proc::Press(setup, IDCANCEL);
    ASSERT_TRUE(Eventually([&]() { return IsWindowVisible(menu) != 0; })) << "the menu did not come back";
    EXPECT_EQ(DwordValue("bFirstTime"), 1u);

    /* Play again: the software renderer entry, forced transparency. */
    proc::Press(menu, IDC_MENU_PLAY);
    setup = proc::WaitDialog(launcher, SetupCaption, IDC_GFX_DEVICE, Timeout);
    ASSERT_NE(setup, (HWND)NULL) << "the graphics setup did not open again";
    SendDlgItemMessageA(setup, IDC_GFX_DEVICE, CB_SETCURSEL, 1, 0);
    PostMessageA(setup, WM_COMMAND, MAKEWPARAM(IDC_GFX_DEVICE, CBN_SELCHANGE),
                 (LPARAM)GetDlgItem(setup, IDC_GFX_DEVICE));
    EXPECT_TRUE(Eventually([&]() { return !IsWindowEnabled(GetDlgItem(setup, IDC_GFX_TRANSP_CHECK)); }))
        << "the software entry keeps the transparency box enabled";
    SendDlgItemMessageA(setup, IDC_GFX_TRANSP_CHECK, BM_SETCHECK, BST_CHECKED, 0);
    proc::Press(setup, IDC_GFX_PLAY);

    DWORD code = 999;
    ASSERT_TRUE(proc::WaitExit(launcher, Timeout, &code)) << "the launcher did not end";
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(DwordValue("bFirstTime"), 0u);
    EXPECT_EQ(DwordValue("Device"), 1u);
    EXPECT_EQ(DwordValue("bHard"), 0u);
    EXPECT_EQ(DwordValue("Transparency"), 1u);
    EXPECT_EQ(DDNameValue(), "display");

    HWND game = proc::WaitAnyDialog(GameCaption, IDC_GAME_NEXT, Timeout);
    ASSERT_NE(game, (HWND)NULL) << "the game did not start";
    EXPECT_EQ(proc::ItemText(game, IDC_GAME_DRIVER), "display");
    EXPECT_EQ(proc::ItemText(game, IDC_GAME_HARD), "non");
    EXPECT_EQ(proc::ItemText(game, IDC_GAME_TRANSP), "oui");
    char mode[64];
    snprintf(mode, sizeof mode, "n\xB0 %lu, %lu x %lu", (unsigned long)DwordValue("Mode"),
             (unsigned long)DwordValue("Width"), (unsigned long)DwordValue("Height"));
    EXPECT_EQ(proc::ItemText(game, IDC_GAME_MODE), mode);
    proc::Press(game, IDCANCEL);
    EXPECT_TRUE(Eventually([&]() { return !IsWindow(game); }));
}
