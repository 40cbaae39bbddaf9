#include <gtest/gtest.h>
#include <limits.h>
#include <string.h>
#include <string>
#include <vector>

#include "graphics/modes.h"
#include "graphics/devices.h"

static ModeCollection Collected;

/* The device as a scan leaves it once the driver has reported these modes,
 * on a system that emulates 16-bit modes when emulated is set. */
static DisplayDevice DeviceWith(int isHardware, std::vector<DisplayMode> reported, int emulated = 0)
{
    DisplayDevice device;
    memset(&device, 0, sizeof device);
    device.isHardware = isHardware;
    ClearModes(&Collected);
    for (const DisplayMode &m : reported)
        EXPECT_EQ(CollectMode(&Collected, m.width, m.height, m.bitsPerPixel), 1) << "the enumeration goes on";
    TakeCollectedModes(&Collected, emulated, &device);
    SortModes(&device);
    ChooseDefaultMode(&device);
    return device;
}

static std::string Label(const DisplayMode &mode)
{
    char label[MODE_LABEL_SIZE];
    FormatModeLabel(&mode, label);
    return label;
}

TEST(ModeFilter, KeepsOnlyFifteenAndSixteenBits)
{
    DisplayDevice d = DeviceWith(1, { { 640, 480, 8 }, { 640, 480, 15 }, { 640, 480, 16 },
                                      { 640, 480, 32 }, { 800, 600, 24 } });
    ASSERT_EQ(d.modeCount, 2);
    EXPECT_EQ(d.modes[0].bitsPerPixel, 15);
    EXPECT_EQ(d.modes[1].bitsPerPixel, 16);
    /* The exact size exists at both depths: the 15-bit one comes first. */
    EXPECT_EQ(d.defaultMode, 0);
}

TEST(ModeFilter, HoldsTheTwentySmallestDistinctModesWhateverTheOrder)
{
    /* Reported largest first, each twice, with 8- and 32-bit ones between. */
    std::vector<DisplayMode> reported;
    for (int i = 29; i >= 0; i--)
        for (int bits : { 16, 8, 16, 32 })
            reported.push_back({ 100 + i, 100, bits });
    DisplayDevice d = DeviceWith(0, reported);
    ASSERT_EQ(d.modeCount, MAX_DISPLAY_MODES);
    for (int i = 0; i < MAX_DISPLAY_MODES; i++)
        EXPECT_EQ(d.modes[i].width, 100 + i) << i;
    EXPECT_EQ(Collected.modeCount, 30) << "a repeat counts once";

    /* Past the collection's bound, the smallest reported are still held. */
    reported.clear();
    for (int i = MAX_COLLECTED_MODES + 100; i >= 1; i--)
        reported.push_back({ i, 200, 16 });
    reported.push_back({ 5, 200, 16 });
    reported.push_back({ MAX_COLLECTED_MODES + 500, 200, 16 });
    d = DeviceWith(0, reported);
    EXPECT_EQ(Collected.modeCount, MAX_COLLECTED_MODES);
    ASSERT_EQ(d.modeCount, MAX_DISPLAY_MODES);
    for (int i = 0; i < MAX_DISPLAY_MODES; i++)
        EXPECT_EQ(d.modes[i].width, 1 + i) << i;
}

TEST(EmulatedModes, WindowsEightAndLaterByVersion)
{
    EXPECT_FALSE(EmulatesHighColourModes(4, 10));
    EXPECT_FALSE(EmulatesHighColourModes(5, 1));
    EXPECT_FALSE(EmulatesHighColourModes(6, 0));
    EXPECT_FALSE(EmulatesHighColourModes(6, 1));
    EXPECT_TRUE(EmulatesHighColourModes(6, 2));
    EXPECT_TRUE(EmulatesHighColourModes(6, 3));
    EXPECT_TRUE(EmulatesHighColourModes(10, 0));
}

TEST(EmulatedModes, TrueColourSizesBecomeSixteenBitsOnlyForADriverWithoutAny)
{
    std::vector<DisplayMode> trueColour = { { 1024, 768, 32 }, { 640, 480, 32 }, { 640, 480, 24 },
                                            { 800, 600, 24 }, { 320, 240, 8 }, { 640, 480, 32 } };
    DisplayDevice emulated = DeviceWith(1, trueColour, 1);
    const char *expected[] = { "640 x 480 - 16 bits", "800 x 600 - 16 bits", "1024 x 768 - 16 bits" };
    ASSERT_EQ(emulated.modeCount, 3) << "each size once; a size at 8 bits only is never offered";
    for (int i = 0; i < 3; i++)
        EXPECT_EQ(Label(emulated.modes[i]), expected[i]) << i;
    EXPECT_EQ(emulated.defaultMode, 0);

    EXPECT_EQ(DeviceWith(1, trueColour, 0).modeCount, 0) << "a system with real 16-bit modes";

    /* One 15- or 16-bit mode of its own: the driver keeps exactly what it lists. */
    trueColour.push_back({ 320, 200, 15 });
    DisplayDevice own = DeviceWith(1, trueColour, 1);
    ASSERT_EQ(own.modeCount, 1);
    EXPECT_EQ(Label(own.modes[0]), "320 x 200 - 15 bits");
}

TEST(ModeOrder, DepthThenWidthThenHeight)
{
    DisplayDevice d = DeviceWith(0, { { 1024, 768, 16 }, { 640, 480, 16 }, { 320, 240, 15 },
                                      { 640, 400, 16 }, { 320, 200, 16 }, { 320, 240, 16 } });
    const char *expected[] = { "320 x 240 - 15 bits", "320 x 200 - 16 bits", "320 x 240 - 16 bits",
                               "640 x 400 - 16 bits", "640 x 480 - 16 bits", "1024 x 768 - 16 bits" };
    ASSERT_EQ(d.modeCount, 6);
    for (int i = 0; i < 6; i++)
        EXPECT_EQ(Label(d.modes[i]), expected[i]) << i;
    /* Software device: 320 x 240, the 15-bit one. */
    EXPECT_EQ(d.defaultMode, 0);
}

TEST(ModeOrder, ComparesAsSignedNumbers)
{
    DisplayDevice d = DeviceWith(0, { { 5, 1, 16 }, { -5, 1, 16 }, { INT_MAX, 1, 16 }, { INT_MIN, 1, 16 } });
    EXPECT_EQ(d.modes[0].width, INT_MIN);
    EXPECT_EQ(d.modes[1].width, -5);
    EXPECT_EQ(d.modes[2].width, 5);
    EXPECT_EQ(d.modes[3].width, INT_MAX);
}

TEST(DefaultMode, ProposedSizeByDeviceKind)
{
    std::initializer_list<DisplayMode> modes = { { 320, 240, 16 }, { 640, 480, 16 }, { 800, 600, 16 } };
    EXPECT_EQ(DeviceWith(1, modes).defaultMode, 1);
    EXPECT_EQ(DeviceWith(0, modes).defaultMode, 0);
}

TEST(DefaultMode, LastModeOfTheWidthWithoutTheExactSize)
{
    DisplayDevice d = DeviceWith(1, { { 640, 400, 16 }, { 640, 350, 16 }, { 800, 600, 16 } });
    ASSERT_EQ(d.modeCount, 3);
    EXPECT_EQ(Label(d.modes[d.defaultMode]), "640 x 400 - 16 bits");

    /* The walk goes across both depths: the last 640-wide mode is a 16-bit
     * one although a 15-bit one of that width comes first. */
    DisplayDevice both = DeviceWith(1, { { 640, 400, 15 }, { 640, 350, 16 } });
    EXPECT_EQ(Label(both.modes[both.defaultMode]), "640 x 350 - 16 bits");

    /* An exact match ends the walk before later modes of the width. */
    DisplayDevice exact = DeviceWith(1, { { 640, 480, 15 }, { 640, 400, 16 }, { 640, 480, 16 } });
    EXPECT_EQ(exact.defaultMode, 0);
}

TEST(DefaultMode, KeepsThePreviousChoiceWithoutTheWidth)
{
    DisplayDevice fresh = DeviceWith(1, { { 320, 240, 16 }, { 800, 600, 16 } });
    EXPECT_EQ(fresh.defaultMode, 0);

    DisplayDevice copied = DeviceWith(1, { { 512, 384, 16 }, { 640, 480, 16 } });
    ASSERT_EQ(copied.defaultMode, 1);
    copied.isHardware = 0;
    ChooseDefaultMode(&copied);
    EXPECT_EQ(copied.defaultMode, 1) << "never reset when no 320-wide mode exists";

    DisplayDevice empty = DeviceWith(0, std::vector<DisplayMode>());
    EXPECT_EQ(empty.defaultMode, 0);
}

TEST(ModeLabel, FormatsAndStaysInItsBuffer)
{
    EXPECT_EQ(Label({ 640, 480, 16 }), "640 x 480 - 16 bits");
    EXPECT_EQ(Label({ INT_MIN, INT_MIN, INT_MIN }),
              "-2147483648 x -2147483648 - -2147483648 bits");
}
