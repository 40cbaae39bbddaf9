#include <windows.h>
#include <gtest/gtest.h>
#include <memory>
#include <string.h>

#include "common/dialogresult.h"
#include "common/msgdlg.h"
#include "common/settings.h"
#include "common/texttable.h"
#include "graphics/setupdlg.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "tests/win32/fake_ddraw.h"
#include "tests/harness/fixtures.h"
#include "tests/win32/guitest.h"

using fakedd::Driver;

static const std::vector<DisplayMode> SmallModes = { { 320, 240, 16 }, { 640, 480, 16 } };
static const char LongName[] = "a-driver-name-that-is-much-longer-than-the-fifty-bytes-of-DDName";

/* A 2D primary (the software renderer entry) and a 3Dfx board that the
 * scan moves to the head: board 0, software 1. */
static std::vector<Driver> TwoDrivers()
{
    return { { true, 0, "Carte 2D", "display", false, SmallModes },
             { false, 4, "3Dfx Voodoo", "voodoo", true, fakedd::PcModes() } };
}

static bool WaitWindowSeen;
static HRESULT WINAPI EnumerateWatchingTheWaitWindow(DdEnumDriversCallback callback, void *context)
{
    if (gui::FindDialog(GetText(TEXT_WAIT_CAPTION)))
        WaitWindowSeen = true;
    return fakedd::Enumerate(callback, context);
}

static void ClearProductKey()
{
    SetKeyAccess(HKEY_LOCAL_MACHINE, PRODUCT_KEY, KEY_ACCESS_FULL); /* a test may have made it read-only */
    RegDeleteKeyExA(HKEY_LOCAL_MACHINE, PRODUCT_KEY, REGISTRY_32BIT_VIEW, 0);
}

/* The product key as the installer leaves it, before any setup. */
static void CreateProductKey()
{
    HKEY key;
    ClearProductKey();
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, PRODUCT_KEY, 0, NULL, 0, KEY_SET_VALUE | REGISTRY_32BIT_VIEW, NULL, &key,
                        NULL) == ERROR_SUCCESS)
        RegCloseKey(key);
}

static DWORD StoredDword(const char *name)
{
    HKEY key;
    DWORD value = 0xDEAD, size = sizeof value, type = 0;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, PRODUCT_KEY, 0, KEY_QUERY_VALUE | REGISTRY_32BIT_VIEW, &key) == ERROR_SUCCESS) {
        RegQueryValueExA(key, name, NULL, &type, (BYTE *)&value, &size);
        RegCloseKey(key);
    }
    return value;
}

static HWND Dialog;

class GraphicsSetup : public ::testing::Test {
protected:
    /* One run of the launcher: the openings of a test share it. */
    GraphicsSetupRun run = {};
    DirectDrawEntries directDraw = fakedd::Entries(EnumerateWatchingTheWaitWindow);

    void SetUp() override
    {
        memset(&Settings, 0, sizeof Settings);
        Settings.bFirstTime = 1;
        fakedd::Install(TwoDrivers());
        WaitWindowSeen = false;
        CreateProductKey();
    }
    void TearDown() override { ClearProductKey(); }
    int RunSetup()
    {
        gui::Start();
        int result = ShowGraphicsSetupWith(NULL, &run, &directDraw);
        EXPECT_TRUE(gui::Finish());
        return result;
    }
    void StoreChoice(int device, const char *name, int mode, int width, int height)
    {
        Settings.SettingsComplete = 1;
        Settings.Installed = 1;
        Settings.Device = device;
        snprintf(Settings.DDName, sizeof Settings.DDName, "%s", name);
        Settings.Mode = mode;
        Settings.Width = width;
        Settings.Height = height;
    }
};

/* A step that lets the dialog handle what the previous one posted. */
static void Pause()
{
    auto ticks = std::make_shared<int>(0);
    gui::Queue([ticks]() { return (*ticks)++ > 0; });
}

static void OnSetup(std::function<void(HWND)> act)
{
    gui::OnDialog(GetText(TEXT_SETUP_CAPTION), [act](HWND d) { Dialog = d; act(d); });
}
static void Then(std::function<void()> act)
{
    Pause();
    gui::Queue([act]() { act(); return true; });
}

static int Selected(int id) { return gui::ComboSelection(Dialog, id); }

TEST_F(GraphicsSetup, OpensWithTextsListsAndThePreferredDevice)
{
    OnSetup([](HWND d) {
        EXPECT_EQ(gui::ItemText(d, IDC_GFX_PLAY), GetText(TEXT_SETUP_PLAY));
        EXPECT_EQ(gui::ItemText(d, IDCANCEL), GetText(TEXT_BACK));
        EXPECT_EQ(gui::ItemText(d, IDC_GFX_DEVICE_LABEL), GetText(TEXT_SETUP_DEVICE_LABEL));
        EXPECT_EQ(gui::ItemText(d, IDC_GFX_MODE_LABEL), GetText(TEXT_SETUP_MODE_LABEL));
        EXPECT_EQ(gui::ItemText(d, IDC_GFX_TRANSP_NOTE), GetText(TEXT_SETUP_TRANSPARENCY_NOTE));
        EXPECT_EQ(gui::ItemText(d, IDC_GFX_TRANSP_CHECK), GetText(TEXT_SETUP_TRANSPARENCY));
        EXPECT_EQ(gui::FindDialog(GetText(TEXT_WAIT_CAPTION)), nullptr) << "the wait window is gone";
        ASSERT_EQ(gui::ComboCount(d, IDC_GFX_DEVICE), 2);
        EXPECT_EQ(gui::ComboItem(d, IDC_GFX_DEVICE, 0),
                  std::string("3Dfx Voodoo - ") + GetText(TEXT_HARDWARE_SUFFIX));
        EXPECT_EQ(gui::ComboItem(d, IDC_GFX_DEVICE, 1), GetText(TEXT_SOFTWARE_RENDERER));
        EXPECT_EQ(Selected(IDC_GFX_DEVICE), 0);
        ASSERT_EQ(gui::ComboCount(d, IDC_GFX_MODE), 5);
        EXPECT_EQ(gui::ComboItem(d, IDC_GFX_MODE, 0), "640 x 480 - 15 bits");
        EXPECT_EQ(gui::ComboItem(d, IDC_GFX_MODE, 4), "1024 x 768 - 16 bits");
        EXPECT_EQ(Selected(IDC_GFX_MODE), 0);
        EXPECT_TRUE(gui::Enabled(d, IDC_GFX_DEVICE));
        EXPECT_TRUE(gui::Enabled(d, IDC_GFX_MODE));
        EXPECT_TRUE(gui::Enabled(d, IDC_GFX_TRANSP_CHECK));
        EXPECT_FALSE(gui::Checked(d, IDC_GFX_TRANSP_CHECK));
        gui::Press(d, IDCANCEL);
    });
    EXPECT_EQ(RunSetup(), RESULT_BACK);
    EXPECT_TRUE(WaitWindowSeen) << "the scan runs under the wait window";
    EXPECT_EQ(fakedd::OnePassFault(), "") << "each driver opened once";
}

TEST_F(GraphicsSetup, StoredDeviceAndModeComeBackOnlyOnTheFirstFilling)
{
    /* Device 1 (software, driver "display"), its mode 1: 640 x 480. */
    StoreChoice(1, "display", 1, 640, 480);
    Settings.Transparency = 1;
    OnSetup([](HWND d) {
        EXPECT_EQ(Selected(IDC_GFX_DEVICE), 1);
        EXPECT_EQ(Selected(IDC_GFX_MODE), 1);
        EXPECT_TRUE(gui::Checked(d, IDC_GFX_TRANSP_CHECK));
        EXPECT_FALSE(gui::Enabled(d, IDC_GFX_TRANSP_CHECK));
        EXPECT_FALSE(gui::Enabled(d, IDC_GFX_TRANSP_NOTE));
        gui::Press(d, IDCANCEL);
    });
    EXPECT_EQ(RunSetup(), RESULT_BACK);

    /* Opened again in the same run: the device again, its default mode. */
    WaitWindowSeen = false;
    OnSetup([](HWND d) {
        EXPECT_EQ(Selected(IDC_GFX_DEVICE), 1);
        EXPECT_EQ(Selected(IDC_GFX_MODE), 0);
        gui::Close(d);
    });
    EXPECT_EQ(RunSetup(), RESULT_BACK);
    EXPECT_TRUE(WaitWindowSeen);
}

TEST_F(GraphicsSetup, FirstFillingUsesUpTheRestoreEvenWhenItDoesNotApply)
{
    StoreChoice(1, "Display", 1, 640, 480);   /* letter case differs */
    OnSetup([](HWND d) {
        EXPECT_EQ(Selected(IDC_GFX_DEVICE), 0);
        EXPECT_EQ(Selected(IDC_GFX_MODE), 0);
        gui::Press(d, IDCANCEL);
    });
    EXPECT_EQ(RunSetup(), RESULT_BACK);
    snprintf(Settings.DDName, sizeof Settings.DDName, "display");
    OnSetup([](HWND d) {
        EXPECT_EQ(Selected(IDC_GFX_DEVICE), 1);
        EXPECT_EQ(Selected(IDC_GFX_MODE), 0) << "the stored mode is not brought back";
        gui::Press(d, IDCANCEL);
    });
    EXPECT_EQ(RunSetup(), RESULT_BACK);
}

TEST_F(GraphicsSetup, StoredChoiceThatNoLongerApplies)
{
    struct Case {
        int complete, device;
        const char *name;
        int mode, width, height;
        int expectDevice, expectMode;
    };
    const Case cases[] = {
        { 0, 1, "display", 1, 640, 480, 0, 0 },   /* settings incomplete */
        { 1, 5, "display", 1, 640, 480, 0, 0 },   /* no device 5 */
        { 1, -1, "display", 1, 640, 480, 0, 0 },
        { 1, 1, "voodoo", 1, 640, 480, 0, 0 },    /* another driver at 1 */
        { 1, 1, "display", 2, 640, 480, 1, 0 },   /* mode out of range */
        { 1, 1, "display", -1, 640, 480, 1, 0 },
        { 1, 1, "display", 1, 640, 400, 1, 0 },   /* size differs */
        { 1, 0, "voodoo", 3, 800, 600, 0, 3 },
    };
    for (const Case &c : cases) {
        run = GraphicsSetupRun();
        StoreChoice(c.device, c.name, c.mode, c.width, c.height);
        Settings.SettingsComplete = c.complete;
        OnSetup([c](HWND d) {
            EXPECT_EQ(Selected(IDC_GFX_DEVICE), c.expectDevice) << c.device << c.name;
            EXPECT_EQ(Selected(IDC_GFX_MODE), c.expectMode) << c.device << c.name << c.mode;
            gui::Press(d, IDCANCEL);
        });
        EXPECT_EQ(RunSetup(), RESULT_BACK);
    }
}

TEST_F(GraphicsSetup, NoteAndCheckBoxFollowTheDevice)
{
    OnSetup([](HWND d) {
        EXPECT_TRUE(gui::Enabled(d, IDC_GFX_TRANSP_NOTE));
        EXPECT_TRUE(gui::Enabled(d, IDC_GFX_TRANSP_CHECK));
        gui::Press(d, IDC_GFX_TRANSP_CHECK);
        gui::ComboSelect(d, IDC_GFX_DEVICE, 1);
    });
    Then([]() {
        EXPECT_FALSE(gui::Enabled(Dialog, IDC_GFX_TRANSP_NOTE));
        EXPECT_FALSE(gui::Enabled(Dialog, IDC_GFX_TRANSP_CHECK));
        EXPECT_EQ(gui::ComboCount(Dialog, IDC_GFX_MODE), 2);
        EXPECT_EQ(Selected(IDC_GFX_MODE), 0) << "the software size";
        gui::ComboSelect(Dialog, IDC_GFX_DEVICE, 0);
    });
    Then([]() {
        EXPECT_TRUE(gui::Enabled(Dialog, IDC_GFX_TRANSP_NOTE));
        EXPECT_TRUE(gui::Enabled(Dialog, IDC_GFX_TRANSP_CHECK));
        EXPECT_EQ(gui::ComboCount(Dialog, IDC_GFX_MODE), 5);
        gui::Press(Dialog, IDCANCEL);
    });
    EXPECT_EQ(RunSetup(), RESULT_BACK);
}

TEST_F(GraphicsSetup, PlayStoresTheChoicesAndWritesThem)
{
    OnSetup([](HWND d) {
        SendDlgItemMessageA(d, IDC_GFX_TRANSP_CHECK, BM_SETCHECK, BST_CHECKED, 0);
        gui::ComboSelect(d, IDC_GFX_DEVICE, 1);
    });
    Then([]() {
        EXPECT_FALSE(gui::Enabled(Dialog, IDC_GFX_TRANSP_CHECK));
        gui::ComboSelect(Dialog, IDC_GFX_MODE, 1);
    });
    Then([]() { gui::Press(Dialog, IDC_GFX_PLAY); });
    EXPECT_EQ(RunSetup(), RESULT_PLAY);
    EXPECT_EQ(Settings.Device, 1);
    EXPECT_EQ(Settings.Mode, 1);
    EXPECT_EQ(Settings.Width, 640);
    EXPECT_EQ(Settings.Height, 480);
    EXPECT_STREQ(Settings.DDName, "display");
    EXPECT_EQ(Settings.bHard, 0);
    EXPECT_EQ(Settings.Transparency, 1);
    EXPECT_EQ(Settings.bFirstTime, 0);

    EXPECT_EQ(StoredDword("Device"), 1u);
    EXPECT_EQ(StoredDword("Mode"), 1u);
    EXPECT_EQ(StoredDword("Width"), 640u);
    EXPECT_EQ(StoredDword("Height"), 480u);
    EXPECT_EQ(StoredDword("bHard"), 0u);
    EXPECT_EQ(StoredDword("Transparency"), 1u);
    EXPECT_EQ(StoredDword("bFirstTime"), 0u);
}

/* DDName as written to the registry: its size, and its bytes. */
static DWORD StoredDDName(char *bytes, DWORD capacity)
{
    memset(bytes, 'x', capacity);
    DWORD size = capacity, type = 0;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, PRODUCT_KEY, 0, KEY_QUERY_VALUE | REGISTRY_32BIT_VIEW, &key) != ERROR_SUCCESS)
        return 0;
    if (RegQueryValueExA(key, "DDName", NULL, &type, (BYTE *)bytes, &size) != ERROR_SUCCESS)
        size = 0;
    RegCloseKey(key);
    EXPECT_EQ(type, (DWORD)REG_SZ);
    return size;
}

TEST_F(GraphicsSetup, DDNameIsStoredFiftyBytesLong)
{
    char stored[64];
    OnSetup([](HWND d) { gui::Press(d, IDC_GFX_PLAY); });
    EXPECT_EQ(RunSetup(), RESULT_PLAY);
    EXPECT_EQ(StoredDDName(stored, sizeof stored), 50u);
    EXPECT_STREQ(stored, "voodoo");
    for (int i = 6; i < 50; i++)
        EXPECT_EQ(stored[i], 0) << i;
    EXPECT_EQ(StoredDword("bHard"), 1u);

    /* A driver name longer than the field is cut at 49 characters, and
     * the cut name still selects its device (the software entry, 1). */
    fakedd::Install({ { true, 0, "HAL", LongName, true, SmallModes } });
    memset(Settings.DDName, 'x', sizeof Settings.DDName);
    OnSetup([](HWND d) { gui::ComboSelect(d, IDC_GFX_DEVICE, 1); });
    Then([]() { gui::Press(Dialog, IDC_GFX_PLAY); });
    EXPECT_EQ(RunSetup(), RESULT_PLAY);
    EXPECT_EQ(std::string(Settings.DDName), std::string(LongName, 49));
    EXPECT_EQ(StoredDDName(stored, sizeof stored), 50u);
    EXPECT_EQ(memcmp(stored, LongName, 49), 0);
    EXPECT_EQ(stored[49], 0);
    Settings.SettingsComplete = 1;
    OnSetup([](HWND d) {
        EXPECT_EQ(Selected(IDC_GFX_DEVICE), 1);
        gui::Press(d, IDCANCEL);
    });
    EXPECT_EQ(RunSetup(), RESULT_BACK);
}

TEST_F(GraphicsSetup, FailedSaveWarnsCancelStaysContinuePlaysWithTheRegistry)
{
    ASSERT_TRUE(SetKeyAccess(HKEY_LOCAL_MACHINE, PRODUCT_KEY, KEY_ACCESS_READ_ONLY));
    LauncherSettings before = Settings;
    OnSetup([](HWND d) { gui::ComboSelect(d, IDC_GFX_DEVICE, 1); });
    Then([]() { gui::ComboSelect(Dialog, IDC_GFX_MODE, 1); });
    Then([]() { gui::Press(Dialog, IDC_GFX_PLAY); });
    gui::OnDialog(GetMessageText(TEXT_WARNING_CAPTION), [](HWND w) {
        EXPECT_EQ(gui::ItemText(w, IDC_MSG_TEXT), GetMessageText(TEXT_SETTINGS_NOT_SAVED));
        EXPECT_TRUE(gui::Visible(w, IDCANCEL));
        gui::Press(w, IDCANCEL);
    });
    Then([]() {
        EXPECT_TRUE(IsWindow(Dialog)) << "Cancel goes back to the setup";
        EXPECT_EQ(Selected(IDC_GFX_DEVICE), 1);
        EXPECT_EQ(Selected(IDC_GFX_MODE), 1);
        gui::Press(Dialog, IDC_GFX_PLAY);
    });
    gui::OnDialog(GetMessageText(TEXT_WARNING_CAPTION), [](HWND w) { gui::Press(w, IDC_MSG_BUTTON); });
    EXPECT_EQ(RunSetup(), RESULT_PLAY);
    /* The game reads the registry; the record still says what it holds,
     * so the next Play goes through the setup again. */
    EXPECT_EQ(memcmp(&before, &Settings, sizeof Settings), 0);
    EXPECT_EQ(StoredDword("Device"), 0xDEADu);
}

TEST_F(GraphicsSetup, ExitEscapeAndCloseStoreNothing)
{
    StoreChoice(1, "display", 1, 640, 480);
    LauncherSettings before = Settings;
    OnSetup([](HWND d) {
        gui::ComboSelect(d, IDC_GFX_DEVICE, 0);
        gui::Press(d, IDCANCEL);
    });
    EXPECT_EQ(RunSetup(), RESULT_BACK);
    OnSetup([](HWND d) { PostMessageA(d, WM_KEYDOWN, VK_ESCAPE, 0); });
    EXPECT_EQ(RunSetup(), RESULT_BACK);
    OnSetup([](HWND d) { gui::Close(d); });
    EXPECT_EQ(RunSetup(), RESULT_BACK);
    EXPECT_EQ(memcmp(&before, &Settings, sizeof Settings), 0);
    EXPECT_EQ(StoredDword("Device"), 0xDEADu) << "nothing written";
}

TEST_F(GraphicsSetup, DeviceWithoutModesCanBeSelectedButNotPlayed)
{
    fakedd::Install({ { true, 0, "Carte 2D", "display", false, { { 640, 480, 8 } } },
                      { false, 4, "Board", "board", true, SmallModes } });
    LauncherSettings before = Settings;
    OnSetup([](HWND d) {
        EXPECT_EQ(gui::ComboItem(d, IDC_GFX_DEVICE, 1), GetText(TEXT_SOFTWARE_RENDERER));
        gui::ComboSelect(d, IDC_GFX_DEVICE, 1);
    });
    Then([]() {
        EXPECT_EQ(gui::ComboCount(Dialog, IDC_GFX_MODE), 0);
        gui::Press(Dialog, IDC_GFX_PLAY);
    });
    Then([]() {
        EXPECT_TRUE(IsWindow(Dialog)) << "Play does nothing without a mode";
        gui::Press(Dialog, IDCANCEL);
    });
    EXPECT_EQ(RunSetup(), RESULT_BACK);
    EXPECT_EQ(memcmp(&before, &Settings, sizeof Settings), 0);
}

/* The error dialog of the given text: checks it, closes it. */
static void ExpectErrorMessage(TextId text, bool waitWindowUp)
{
    gui::OnDialog(GetText(TEXT_ERROR_CAPTION), [text, waitWindowUp](HWND d) {
        EXPECT_EQ(gui::ItemText(d, IDC_MSG_TEXT), GetMessageText(text));
        EXPECT_EQ(gui::FindDialog(GetText(TEXT_WAIT_CAPTION)) != nullptr, waitWindowUp);
        gui::Press(d, IDC_MSG_BUTTON);
    });
}

TEST_F(GraphicsSetup, NothingUsableShowsTheNoDeviceErrorAndAborts)
{
    fakedd::Install({ { true, 0, "HAL", "display", true, { { 640, 480, 32 } } } });
    ExpectErrorMessage(TEXT_NO_DEVICE, true);
    EXPECT_EQ(RunSetup(), RESULT_ABORT);
    EXPECT_EQ(gui::FindDialog(GetText(TEXT_WAIT_CAPTION)), nullptr);
    EXPECT_EQ(Settings.bFirstTime, 1);
}

TEST_F(GraphicsSetup, DirectDrawMissingShowsItsErrorAndEndsUnshown)
{
    directDraw.enumerate = nullptr;
    ExpectErrorMessage(TEXT_DIRECTDRAW_MISSING, false);
    EXPECT_EQ(RunSetup(), RESULT_NOT_SHOWN);
    EXPECT_EQ(fakedd::Creates(), 0);
}
