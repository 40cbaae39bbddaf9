#include <windows.h>
#include <gtest/gtest.h>

#include "common/settings.h"
#include "common/texttable.h"
#include "graphics/colourdepth_win.h"
#include "resources/texts.h"
#include "resources/resource.h"
#include "tests/win32/guitest.h"

static DWORD NoWarningValue()
{
    HKEY key;
    DWORD value = 0, size = sizeof value, type = 0;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, PRODUCT_KEY, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return 0xDEAD;
    LONG result = RegQueryValueExA(key, "bNoColourDepthWarning", NULL, &type, (BYTE *)&value, &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS)
        return 0xDEAD;
    EXPECT_EQ(type, (DWORD)REG_DWORD);
    return value;
}

static void ForgetNoWarning()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, PRODUCT_KEY, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, "bNoColourDepthWarning");
        RegCloseKey(key);
    }
}

class ColourDepth : public ::testing::Test {
protected:
    void SetUp() override { ForgetNoWarning(); }
    void TearDown() override { ForgetNoWarning(); }
};

/* One colour-depth warning: checks its buttons, ticks the box if asked,
 * then presses the button (or closes it when button is 0). */
static void Expect(bool withCancel, bool tick, int button)
{
    gui::OnNextDialog([=](HWND d) {
        EXPECT_EQ(gui::ItemText(d, IDC_MSG_TEXT), GetMessageText(TEXT_COLOUR_DEPTH_ADVICE));
        EXPECT_TRUE(gui::Visible(d, IDC_MSG_CHECK));
        EXPECT_EQ(gui::Visible(d, IDCANCEL), withCancel);
        if (tick)
            CheckDlgButton(d, IDC_MSG_CHECK, BST_CHECKED);
        if (button)
            gui::Press(d, button);
        else
            gui::Close(d);
    });
}

static int SomeHighColourModes(void) { return 3; }
static int NoHighColourMode(void) { return 0; }

/* The check on the real display, or on an 8-bit desktop whose display has
 * the settings that countHighColourModes counts. */
static int Check(int (*countHighColourModes)(void) = nullptr)
{
    gui::Start(10000);
    int result = countHighColourModes ? CheckDesktopColourDepthWith(8, countHighColourModes)
                                      : CheckDesktopColourDepth();
    EXPECT_TRUE(gui::Finish());
    return result;
}

TEST_F(ColourDepth, TheRealDisplay)
{
    /* The test display runs at 24 bits and offers high-colour settings. */
    EXPECT_GT(CountHighColourModes(), 0);
    EXPECT_EQ(Check(), 1);
}

TEST_F(ColourDepth, WarningsShownForAnEightBitDesktop)
{
    Expect(true, false, IDC_MSG_BUTTON);
    EXPECT_EQ(Check(SomeHighColourModes), 1);
    Expect(true, false, 0);
    EXPECT_EQ(Check(SomeHighColourModes), 0);
    EXPECT_EQ(NoWarningValue(), 0xDEADu) << "nothing stored without a tick";

    /* No high-colour setting at all: first without Cancel, then with. */
    Expect(false, false, IDC_MSG_BUTTON);
    Expect(true, false, IDCANCEL);
    EXPECT_EQ(Check(NoHighColourMode), 0);
}

TEST_F(ColourDepth, DontShowAgainIsKeptAndHonoured)
{
    Expect(true, true, IDCANCEL);
    EXPECT_EQ(Check(SomeHighColourModes), 0);
    EXPECT_EQ(NoWarningValue(), 1u);
    EXPECT_EQ(Check(SomeHighColourModes), 1) << "nothing shown any more";

    /* A tick on the first of the pair skips the second. */
    ForgetNoWarning();
    Expect(false, true, IDC_MSG_BUTTON);
    EXPECT_EQ(Check(NoHighColourMode), 1);
    EXPECT_EQ(NoWarningValue(), 1u);

    /* Closing with the box ticked counts as well. */
    ForgetNoWarning();
    Expect(false, true, 0);
    EXPECT_EQ(Check(NoHighColourMode), 0);
    EXPECT_EQ(NoWarningValue(), 1u);
    EXPECT_EQ(Check(NoHighColourMode), 1);
}

TEST_F(ColourDepth, OtherValuesDoNotSilenceTheWarning)
{
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, PRODUCT_KEY, 0, NULL, 0, KEY_SET_VALUE, NULL, &key, NULL),
              ERROR_SUCCESS);
    DWORD two = 2;
    RegSetValueExA(key, "bNoColourDepthWarning", 0, REG_DWORD, (const BYTE *)&two, sizeof two);
    RegCloseKey(key);
    Expect(true, false, IDC_MSG_BUTTON);
    EXPECT_EQ(Check(SomeHighColourModes), 1);
}
