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

TEST_F(DeviceListScan, ModesAreFilteredSortedAndBoundedPerDevice)
{
    std::vector<DisplayMode> many;
    for (int i = 0; i < 25; i++)
        many.push_back({ 2000 - i * 10, 480, 16 });
    many.push_back({ 640, 480, 16 });
    ASSERT_EQ(RunScan({ Board(1, "Many", true, many) }), 1);
    ASSERT_EQ(GetModeCount(0), MAX_DISPLAY_MODES);
    EXPECT_EQ(GetMode(0, 0)->width, 1810) << "the first 20 reported, sorted";
    EXPECT_EQ(GetMode(0, 19)->width, 2000);
    EXPECT_EQ(GetDefaultMode(0), 0) << "640 came too late to be held";
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
