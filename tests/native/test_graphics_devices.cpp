#include <gtest/gtest.h>
#include <algorithm>
#include <string>

#include "graphics/devices.h"
#include "tests/native/graphics_script.h"

static const std::vector<DisplayMode> PcModes = {
    { 1024, 768, 16 }, { 640, 480, 16 }, { 320, 240, 16 }, { 640, 480, 32 }, { 320, 240, 8 }
};
static const std::vector<DisplayMode> NoSmallModes = { { 800, 600, 16 }, { 640, 480, 16 } };

static std::vector<std::string> Labels()
{
    std::vector<std::string> labels;
    for (int i = 0; i < GetDeviceCount(); i++)
        labels.push_back(GetDeviceLabel(i));
    return labels;
}

static const DisplayMode &DefaultOf(int device) { return *GetMode(device, GetDefaultMode(device)); }

class DeviceListScan : public ::testing::Test {
protected:
    void TearDown() override { FreeDeviceList(); }
};

TEST_F(DeviceListScan, OnlyA3dPrimaryGetsASeparateSoftwareEntry)
{
    ScriptedDriver hal = { true, 0, "DirectDraw HAL", "display", true, PcModes };
    ASSERT_EQ(RunScan({ hal }), 1);
    EXPECT_EQ(Labels(), (std::vector<std::string>{ "DirectDraw HAL - Hardware", SOFTWARE_LABEL }));
    EXPECT_EQ(GetPreferredDevice(), 0);
    const DisplayDevice *hw = GetDevice(0), *sw = GetDevice(1);
    EXPECT_EQ(hw->isPrimaryDriver, 1);
    EXPECT_EQ(hw->isHardware, 1);
    EXPECT_EQ(hw->halCaps.dwSize, (uint32_t)DDCAPS_DX5_SIZE);
    EXPECT_EQ(sw->isHardware, 0);
    EXPECT_STREQ(sw->driverName, "display");
    ASSERT_EQ(sw->modeCount, 3);
    EXPECT_EQ(memcmp(sw->modes, hw->modes, sizeof hw->modes), 0);
    EXPECT_EQ(DefaultOf(0).width, 640);
    EXPECT_EQ(DefaultOf(1).width, 320);
    EXPECT_EQ(DefaultOf(1).height, 240);
}

TEST_F(DeviceListScan, SoftwareCopyOfTheFirstPrimaryOrTheFirstRecord)
{
    ScriptedDriver boardA = Board(7, "Board A", true, NoSmallModes);
    ScriptedDriver primary = { true, 0, "Primary 3D", "display", true, PcModes };
    ASSERT_EQ(RunScan({ boardA, primary }), 1);
    ASSERT_EQ(GetDeviceCount(), 3);
    EXPECT_STREQ(GetDeviceLabel(2), SOFTWARE_LABEL);
    EXPECT_STREQ(GetDeviceDriverName(2), "display");

    ScriptedDriver boardB = Board(8, "Board B", true, NoSmallModes);
    ASSERT_EQ(RunScan({ boardA, boardB }), 1);
    ASSERT_EQ(GetDeviceCount(), 3);
    EXPECT_STREQ(GetDeviceDriverName(2), "board7");
    /* No 320-wide mode: the copy proposes what the board proposes. */
    EXPECT_EQ(GetDefaultMode(2), GetDefaultMode(1));
}

TEST_F(DeviceListScan, TwoDPrimaryAndA3dfxBoard)
{
    ScriptedDriver voodoo = Board(3, "3Dfx Voodoo2", true, PcModes);
    ASSERT_EQ(RunScan({ Primary2D(PcModes), voodoo }), 1);
    EXPECT_EQ(Labels(), (std::vector<std::string>{ "3Dfx Voodoo2 - Hardware", SOFTWARE_LABEL }));
    const DisplayDevice *board = GetDevice(0), *sw = GetDevice(1);
    EXPECT_EQ(board->isPrimaryDriver, 0);
    EXPECT_EQ(board->guid[0], 3);
    EXPECT_EQ(board->guid[15], 3);
    EXPECT_STREQ(board->driverName, "board3");
    EXPECT_EQ(sw->isPrimaryDriver, 1);
    EXPECT_EQ(sw->isHardware, 0);
    EXPECT_STREQ(sw->driverName, "display");
    EXPECT_EQ(GetPreferredDevice(), 0);
}

TEST_F(DeviceListScan, LastThreeDBoardWithoutA3dfxName)
{
    ASSERT_EQ(RunScan({ Primary2D(PcModes), Board(1, "Board A", true, PcModes),
                        Board(2, "Board B", true, PcModes) }), 1);
    EXPECT_EQ(Labels(), (std::vector<std::string>{ "Board B - Hardware", "Board A - Hardware",
                                                  SOFTWARE_LABEL }));
}

TEST_F(DeviceListScan, FirstThreeDfxBoardWins)
{
    ASSERT_EQ(RunScan({ Primary2D(PcModes), Board(1, "Plain 3D", true, PcModes),
                        Board(2, "Diamond Monster (mnstr)", true, PcModes),
                        Board(3, "Voodoo Banshee", true, PcModes) }), 1);
    EXPECT_EQ(Labels(), (std::vector<std::string>{ "Diamond Monster (mnstr) - Hardware",
                                                  "Plain 3D - Hardware", SOFTWARE_LABEL,
                                                  "Voodoo Banshee - Hardware" }));
}

TEST_F(DeviceListScan, PreferredDeviceAlreadyAtTheHead)
{
    ScriptedDriver head = { true, 0, "Glide primary", "display", true, PcModes };
    ASSERT_EQ(RunScan({ head, Board(1, "Other 2D", false, PcModes) }), 1);
    EXPECT_EQ(Labels(), (std::vector<std::string>{ "Glide primary - Hardware", SOFTWARE_LABEL }));
}

TEST_F(DeviceListScan, NoThreeDHardwareAtAll)
{
    ASSERT_EQ(RunScan({ Primary2D(PcModes), Board(1, "Second 2D", false, PcModes) }), 1);
    EXPECT_EQ(Labels(), (std::vector<std::string>{ SOFTWARE_LABEL, "Second 2D" }));
    EXPECT_EQ(GetPreferredDevice(), 0);
}

TEST(StoredDriverName, ACutNameMatchesEveryNameItBegins)
{
    char field[50];
    auto store = [&field](const std::string &name) {
        memset(field, 0, sizeof field);
        memcpy(field, name.data(), std::min(name.size(), sizeof field - 1));
    };
    const std::string longName = std::string(48, 'n') + "-driver";
    store(longName);
    EXPECT_TRUE(DriverNameMatches(longName.c_str(), field, sizeof field));
    EXPECT_TRUE(DriverNameMatches(longName.substr(0, 49).c_str(), field, sizeof field));
    EXPECT_TRUE(DriverNameMatches((longName.substr(0, 49) + "other").c_str(), field, sizeof field));
    EXPECT_FALSE(DriverNameMatches(longName.substr(0, 48).c_str(), field, sizeof field));
    EXPECT_FALSE(DriverNameMatches((std::string(48, 'n') + "+driver").c_str(), field, sizeof field));

    /* Shorter names match themselves only, letter case included. */
    store(longName.substr(0, 48));
    EXPECT_FALSE(DriverNameMatches(longName.c_str(), field, sizeof field));
    store("display");
    EXPECT_TRUE(DriverNameMatches("display", field, sizeof field));
    EXPECT_FALSE(DriverNameMatches("display2", field, sizeof field));
    EXPECT_FALSE(DriverNameMatches("Display", field, sizeof field));
    EXPECT_FALSE(DriverNameMatches("displa", field, sizeof field));
}

TEST(ThreeDfxNames, AnyCaseAnywhereInTheLabel)
{
    EXPECT_TRUE(NamesA3dfxBoard("my voodoo card"));
    EXPECT_TRUE(NamesA3dfxBoard("3dfx Interactive"));
    EXPECT_TRUE(NamesA3dfxBoard("3DfX"));
    EXPECT_TRUE(NamesA3dfxBoard("Gliders"));
    EXPECT_TRUE(NamesA3dfxBoard("DiamondMnStRFusion"));
    EXPECT_FALSE(NamesA3dfxBoard("Voodo 3 dfx"));
    EXPECT_FALSE(NamesA3dfxBoard(""));
    std::string longLabel(255, 'x');
    EXPECT_FALSE(NamesA3dfxBoard(longLabel.c_str()));
    EXPECT_TRUE(NamesA3dfxBoard((longLabel.substr(0, 250) + "glide").c_str()));
}

TEST_F(DeviceListScan, NoUsableModeGivesZeroButKeepsTheList)
{
    std::vector<DisplayMode> deep = { { 640, 480, 8 }, { 640, 480, 32 } };
    EXPECT_EQ(RunScan({ Primary2D(deep), Board(1, "3D", true, deep) }), 0);
    EXPECT_EQ(GetDeviceCount(), 2);
    EXPECT_EQ(GetModeCount(0), 0);
    EXPECT_EQ(GetMode(0, 0), nullptr);

    /* One device with a mode is enough. */
    EXPECT_EQ(RunScan({ Primary2D(deep), Board(1, "3D", true, PcModes) }), 1);

    /* A system that emulates 16-bit modes offers the true-colour sizes. */
    EXPECT_EQ(RunScan({ Primary2D(deep), Board(1, "3D", true, deep) }, nullptr, 1), 1);
    ASSERT_EQ(GetModeCount(0), 1);
    EXPECT_EQ(GetMode(0, 0)->bitsPerPixel, 16);
    EXPECT_EQ(GetModeCount(1), 1);
}

TEST_F(DeviceListScan, NothingCountedOrStored)
{
    EXPECT_EQ(RunScan({}), 0);
    EXPECT_EQ(GetDeviceCount(), 0);
    EXPECT_EQ(GetPreferredDevice(), -1);

    ScriptedDriver refused = Primary2D(PcModes);
    refused.opens = false;
    EXPECT_EQ(RunScan({ refused }), 0);
    EXPECT_EQ(GetPreferredDevice(), -1);
    EXPECT_EQ(GetDeviceCount(), 0);
}

TEST_F(DeviceListScan, DriverRefusedDoesNotCount)
{
    /* The 2D primary does not open: every stored driver is 3D, so a
     * separate software entry is made. */
    ScriptedDriver refused = Primary2D(PcModes);
    refused.opens = false;
    ScriptedDriver board = Board(1, "Board", true, PcModes);
    ASSERT_EQ(RunScan({ refused, board }), 1);
    EXPECT_EQ(Labels(), (std::vector<std::string>{ "Board - Hardware", SOFTWARE_LABEL }));
}

TEST_F(DeviceListScan, DriversBeyondTheBoundAreLeftOut)
{
    /* All 3D: the bound's worth of drivers, then the software entry. */
    std::vector<ScriptedDriver> boards;
    for (int i = 1; i <= MAX_DISPLAY_DRIVERS + 3; i++)
        boards.push_back(Board((unsigned char)i, "Board " + std::to_string(i), true, PcModes));
    ASSERT_EQ(RunScan(boards), 1);
    ASSERT_EQ(GetDeviceCount(), MAX_DISPLAY_DRIVERS + 1);
    EXPECT_EQ(std::string(GetDeviceDriverName(0)), "board" + std::to_string(MAX_DISPLAY_DRIVERS))
        << "the last 3D driver kept is preferred";
    EXPECT_STREQ(GetDeviceLabel(MAX_DISPLAY_DRIVERS), SOFTWARE_LABEL);
}

TEST_F(DeviceListScan, LongTextsAreCutAt255Characters)
{
    std::string longText(400, 'd');
    ScriptedDriver board = { false, 1, longText, longText, true, PcModes };
    ASSERT_EQ(RunScan({ Primary2D(PcModes), board }), 1);
    EXPECT_EQ(std::string(GetDeviceLabel(0)), longText.substr(0, 255));
    EXPECT_EQ(std::string(GetDeviceDriverName(0)), longText.substr(0, 255));
    ScriptedDriver twoD = { false, 1, longText, longText, false, PcModes };
    ASSERT_EQ(RunScan({ Primary2D(PcModes), twoD }), 1);
    EXPECT_EQ(strlen(GetDeviceLabel(1)), 255u);
}

/* A monitor of today, with the low sizes Windows 10 emulates, reported
 * largest first at each depth and one mode twice: the list holds the
 * smallest sizes, those the game was made for. */
TEST_F(DeviceListScan, ModesAreTheSmallestTwentyWhateverTheDriversOrder)
{
    static const int sizes[][2] = {
        { 320, 200 }, { 320, 240 }, { 400, 300 }, { 512, 384 }, { 640, 400 }, { 640, 480 },
        { 720, 480 }, { 720, 576 }, { 800, 600 }, { 1024, 768 }, { 1152, 864 }, { 1280, 720 },
        { 1280, 768 }, { 1280, 800 }, { 1280, 960 }, { 1280, 1024 }, { 1360, 768 }, { 1366, 768 },
        { 1400, 1050 }, { 1440, 900 }, { 1440, 1080 }, { 1600, 900 }, { 1680, 1050 }, { 1776, 1000 },
        { 1920, 1080 } };
    const int count = (int)(sizeof sizes / sizeof sizes[0]);
    std::vector<DisplayMode> reported;
    for (int bits : { 32, 16, 8 })
        for (int i = count - 1; i >= 0; i--) {
            reported.push_back({ sizes[i][0], sizes[i][1], bits });
            if (bits == 16 && i == count - 3)
                reported.push_back({ sizes[i][0], sizes[i][1], bits });
        }
    ASSERT_EQ(RunScan({ { true, 0, "DirectDraw HAL", "display", true, reported } }), 1);
    ASSERT_EQ(GetDeviceCount(), 2);
    for (int device = 0; device < 2; device++) {
        ASSERT_EQ(GetModeCount(device), MAX_DISPLAY_MODES);
        for (int i = 0; i < MAX_DISPLAY_MODES; i++) {
            EXPECT_EQ(GetMode(device, i)->width, sizes[i][0]) << i;
            EXPECT_EQ(GetMode(device, i)->height, sizes[i][1]) << i;
            EXPECT_EQ(GetMode(device, i)->bitsPerPixel, 16) << i;
        }
    }
    EXPECT_EQ(DefaultOf(0).width, 640);
    EXPECT_EQ(DefaultOf(0).height, 480);
    EXPECT_STREQ(GetDeviceLabel(1), SOFTWARE_LABEL);
    EXPECT_EQ(DefaultOf(1).width, 320);
    EXPECT_EQ(DefaultOf(1).height, 240);
}

TEST_F(DeviceListScan, AccessorsRefuseBadIndices)
{
    FreeDeviceList();
    EXPECT_EQ(GetDeviceCount(), 0);
    EXPECT_EQ(GetPreferredDevice(), -1);
    EXPECT_EQ(GetDeviceLabel(0), nullptr);
    EXPECT_EQ(GetDefaultMode(0), -1);
    DeviceScan scan = {};
    EXPECT_EQ(ScanAddMode(&scan, 640, 480, 16), 0) << "no list: the mode enumeration stops";

    ASSERT_EQ(RunScan({ Primary2D(PcModes) }, &scan), 1);
    EXPECT_EQ(ScanAddMode(&scan, 640, 480, 16), 0) << "no device being stored";
    for (int bad : { -1, 1, 1000 }) {
        EXPECT_EQ(GetDeviceLabel(bad), nullptr);
        EXPECT_EQ(GetDeviceDriverName(bad), nullptr);
        EXPECT_EQ(IsHardwareDevice(bad), 0);
        EXPECT_EQ(GetModeCount(bad), 0);
        EXPECT_EQ(GetMode(bad, 0), nullptr);
        EXPECT_EQ(GetDefaultMode(bad), -1);
    }
    EXPECT_EQ(GetMode(0, -1), nullptr);
    EXPECT_EQ(GetMode(0, GetModeCount(0)), nullptr);
    EXPECT_NE(GetMode(0, GetModeCount(0) - 1), nullptr);
}
