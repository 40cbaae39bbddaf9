#include <windows.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <string.h>

#include "common/texttable.h"
#include "graphics/ddraw_win.h"
#include "graphics/devices.h"
#include "resources/texts.h"
#include "tests/win32/fake_ddraw.h"

using fakedd::Driver;

class ScriptedScan : public ::testing::Test {
protected:
    void TearDown() override { FreeDeviceList(); }
};

static int Scan()
{
    DirectDrawEntries entries = fakedd::Entries();
    return ScanDisplayDevices(&entries);
}

TEST_F(ScriptedScan, OnePassThroughTheEntryPoints)
{
    fakedd::Install({ { true, 0, "Carte 2D", "display", false, fakedd::PcModes() },
                      { false, 9, "3Dfx Voodoo", "voodoo", true, fakedd::PcModes() } });
    ASSERT_EQ(Scan(), 1);
    EXPECT_EQ(fakedd::OnePassFault(), "");
    EXPECT_EQ(fakedd::LiveObjects(), 0) << "every object released";
    EXPECT_EQ(fakedd::BadCapsSizes(), 0) << "DirectX 5 records of 364 bytes";
    ASSERT_EQ(GetDeviceCount(), 2);
    EXPECT_EQ(std::string(GetDeviceLabel(0)),
              std::string("3Dfx Voodoo - ") + GetText(TEXT_HARDWARE_SUFFIX));
    EXPECT_STREQ(GetDeviceLabel(1), GetText(TEXT_SOFTWARE_RENDERER));
    EXPECT_STREQ(GetDeviceDriverName(0), "voodoo");
    EXPECT_STREQ(GetDeviceDriverName(1), "display");
    EXPECT_EQ(GetDevice(0)->guid[7], 9);
    EXPECT_EQ(GetDevice(0)->halCaps.dwCaps & DDCAPS_3D, DDCAPS_3D);
    /* 15- and 16-bit modes only, in order. */
    ASSERT_EQ(GetModeCount(0), 5);
    EXPECT_EQ(GetMode(0, 0)->bitsPerPixel, 15);
    EXPECT_EQ(GetMode(0, 1)->width, 320);
    EXPECT_EQ(GetMode(0, 4)->width, 1024);
    EXPECT_EQ(GetDefaultMode(0), 0);   /* 640 x 480 x 15 */
    EXPECT_EQ(GetDefaultMode(1), 1);   /* 320 x 240 x 16 */
}

TEST_F(ScriptedScan, RefusedDriversAndFailedEnumerations)
{
    fakedd::Install({ { true, 0, "HAL", "display", true, fakedd::PcModes() },
                      { false, 2, "Broken", "broken", false, fakedd::PcModes(), true } });
    ASSERT_EQ(Scan(), 1);
    EXPECT_EQ(fakedd::OnePassFault(), "");
    ASSERT_EQ(GetDeviceCount(), 2);
    EXPECT_STREQ(GetDeviceLabel(1), GetText(TEXT_SOFTWARE_RENDERER))
        << "the refused 2D driver does not count";
    EXPECT_EQ(IsHardwareDevice(1), 0);

    fakedd::EnumerateResult() = E_FAIL;
    EXPECT_EQ(Scan(), 0);

    fakedd::Install({ { true, 0, "HAL", "display", true, { { 640, 480, 32 } } } });
    EXPECT_EQ(Scan(), 0) << "no 15- or 16-bit mode";
    EXPECT_EQ(GetDeviceCount(), 2);

    fakedd::Install({});
    EXPECT_EQ(Scan(), 0);
    EXPECT_EQ(GetDeviceCount(), 0);
}

/* A driver that lists true colour only, as on Windows 8 and later: its
 * sizes become 16-bit modes there, and it offers no mode on Windows 7, the
 * version Wine reports to this program. The program also runs under
 * another name that Wine presents as Windows 10
 * (KVL_EXPECT_EMULATED_MODES=1); tests/win32/CMakeLists.txt sets both. */
TEST_F(ScriptedScan, TrueColourOnlyDriverByTheSystemsVersion)
{
    fakedd::Install({ { true, 0, "HAL", "display", true,
                        { { 1024, 768, 32 }, { 640, 480, 32 }, { 640, 480, 8 }, { 320, 200, 8 } } } });
    const char *expected = getenv("KVL_EXPECT_EMULATED_MODES");
    if (!expected || strcmp(expected, "1") != 0) {
        EXPECT_EQ(Scan(), 0);
        EXPECT_EQ(GetModeCount(0), 0);
        return;
    }
    ASSERT_EQ(Scan(), 1);
    ASSERT_EQ(GetModeCount(0), 2);
    EXPECT_EQ(GetMode(0, 0)->width, 640);
    EXPECT_EQ(GetMode(0, 0)->bitsPerPixel, 16);
    EXPECT_EQ(GetMode(0, 1)->width, 1024);
    EXPECT_EQ(GetDefaultMode(0), 0);
}

TEST_F(ScriptedScan, MissingEntryPoint)
{
    fakedd::Install({ { true, 0, "HAL", "display", true, fakedd::PcModes() } });
    DirectDrawEntries entries = fakedd::Entries(nullptr);
    EXPECT_EQ(ScanDisplayDevices(&entries), 0);
    entries = fakedd::Entries();
    entries.create = nullptr;
    EXPECT_EQ(ScanDisplayDevices(&entries), 0);
    EXPECT_EQ(fakedd::Enumerations(), 0);
}

/* Wine's own DirectDraw: one driver, the primary display, 3D capable,
 * with the X screen's modes. */
TEST(WineDirectDraw, ScansThePrimaryDisplay)
{
    DirectDrawEntries directDraw;
    ASSERT_EQ(LoadDirectDraw(&directDraw), 1);
    EXPECT_NE(directDraw.library, (HMODULE)NULL);
    ASSERT_EQ(ScanDisplayDevices(&directDraw), 1);
    UnloadDirectDraw(&directDraw);
    EXPECT_EQ(directDraw.library, (HMODULE)NULL);
    ASSERT_GE(GetDeviceCount(), 1);
    int software = -1;
    for (int i = 0; i < GetDeviceCount(); i++) {
        const DisplayDevice *d = GetDevice(i);
        EXPECT_GT(d->modeCount, 0) << i;
        for (int m = 0; m < d->modeCount; m++) {
            EXPECT_TRUE(d->modes[m].bitsPerPixel == 15 || d->modes[m].bitsPerPixel == 16);
            if (m > 0) {
                const DisplayMode &a = d->modes[m - 1], &b = d->modes[m];
                EXPECT_LE(a.bitsPerPixel * 100000 + a.width, b.bitsPerPixel * 100000 + b.width);
            }
        }
        if (strcmp(d->label, GetText(TEXT_SOFTWARE_RENDERER)) == 0)
            software = i;
    }
    EXPECT_EQ(IsHardwareDevice(0), 1);
    EXPECT_STREQ(GetDeviceDriverName(0), "display");
    EXPECT_EQ(std::string(GetDeviceLabel(0)),
              std::string("DirectDraw HAL - ") + GetText(TEXT_HARDWARE_SUFFIX));
    ASSERT_EQ(software, 1);
    EXPECT_EQ(IsHardwareDevice(1), 0);
    const DisplayMode *proposed = GetMode(0, GetDefaultMode(0));
    ASSERT_NE(proposed, nullptr);
    /* The software entry is the same driver with the same modes. */
    EXPECT_STREQ(GetDeviceDriverName(1), "display");
    EXPECT_EQ(GetModeCount(1), GetModeCount(0));
    FreeDeviceList();
}
