#include <gtest/gtest.h>
#include <limits.h>
#include <string.h>

#include "graphics/modes.h"
#include "graphics/devices.h"

static DisplayDevice DeviceWith(int isHardware, std::initializer_list<DisplayMode> reported)
{
    DisplayDevice device;
    memset(&device, 0, sizeof device);
    device.isHardware = isHardware;
    for (const DisplayMode &m : reported)
        AddDisplayMode(&device, m.width, m.height, m.bitsPerPixel);
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

TEST(ModeFilter, HoldsTheFirstTwentyAndNoMore)
{
    DisplayDevice d;
    memset(&d, 0, sizeof d);
    d.defaultMode = 0;
    for (int i = 0; i < 30; i++)
        EXPECT_EQ(AddDisplayMode(&d, 100 + i, 100, 16), 1) << "the enumeration goes on";
    EXPECT_EQ(d.modeCount, MAX_DISPLAY_MODES);
    EXPECT_EQ(d.modes[MAX_DISPLAY_MODES - 1].width, 119);
    EXPECT_EQ(d.defaultMode, 0) << "the field after the modes is untouched";
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

    DisplayDevice empty = DeviceWith(0, {});
    EXPECT_EQ(empty.defaultMode, 0);
}

TEST(ModeLabel, FormatsAndStaysInItsBuffer)
{
    EXPECT_EQ(Label({ 640, 480, 16 }), "640 x 480 - 16 bits");
    EXPECT_EQ(Label({ INT_MIN, INT_MIN, INT_MIN }),
              "-2147483648 x -2147483648 - -2147483648 bits");
}
