/* The probes against Wine's real registry, profile and library loading.
 * Wine has no hardware tree "Enum": the tests build one and remove it. */
#include <windows.h>
#include <gtest/gtest.h>

#include <string>

#include "sysinfo/cpuinf32/cpuinf32.h"
#include "sysinfo/drivelist.h"
#include "sysinfo/facts.h"
#include "sysinfo/probes.h"
#include "tests/win32/sysinfo_scratch.h"

namespace {

class HardwareTree : public ::testing::Test {
protected:
    scratch::Key tree{ "Enum" };
    void SetUp() override { ASSERT_TRUE(tree.owned) << "HKLM\\Enum exists already"; }
};

std::string Find(const char *value, const char *path)
{
    char buffer[SYSINFO_TEXT_SIZE];
    memset(buffer, '#', sizeof buffer);
    if (!FindRegistryValue(value, path, buffer))
        return "(none)";
    return buffer;
}

std::string FindCdRom(char letter)
{
    char description[CD_DESCRIPTION_SIZE];
    memset(description, '#', sizeof description);
    int found = FindCdRomDescription(letter, "Enum", description);
    /* Found or not, the buffer stays a terminated text. */
    EXPECT_LT(strnlen(description, sizeof description), sizeof description);
    return found ? description : "(none)";
}

void CdRomKey(const std::string &path, const char *cls, const std::string &description, const char *letter)
{
    ASSERT_TRUE(scratch::SetText(path, "Class", cls));
    ASSERT_TRUE(scratch::SetText(path, "DeviceDesc", description));
    if (letter) {
        ASSERT_TRUE(scratch::SetText(path, "CurrentDriveLetterAssignment", letter));
    }
}

std::string ProcessorName()
{
    char name[SYSINFO_TEXT_SIZE];
    GetProcessorName(name, sizeof name);
    return name;
}

}

TEST_F(HardwareTree, CpuValueDeepUnderRootIsTheProcessorName)
{
    const std::string withoutCpuValue = ProcessorName();
    ASSERT_TRUE(scratch::SetText("Enum\\Root\\*PNP0000\\0000", "DeviceDesc", "Timer"));
    ASSERT_TRUE(scratch::SetText("Enum\\Root\\System\\0001\\Bus\\Cpu\\0000", "CPU", "Scratch CPU 9000"));
    EXPECT_EQ(ProcessorName(), "Scratch CPU 9000");
    /* Only Enum\Root is searched. */
    scratch::DeleteTree(HKEY_LOCAL_MACHINE, "Enum\\Root\\System");
    ASSERT_TRUE(scratch::SetText("Enum\\PCI\\Cpu", "CPU", "Not under Root"));
    EXPECT_EQ(ProcessorName(), withoutCpuValue);
}

TEST_F(HardwareTree, ValueSearchOrder)
{
    /* A key's own value before its subkeys; subkeys in index order, each
     * searched to its end before the next. */
    ASSERT_TRUE(scratch::SetText("Enum\\T\\A", "CPU", "outer"));
    ASSERT_TRUE(scratch::SetText("Enum\\T\\A\\B", "CPU", "inner"));
    EXPECT_EQ(Find("CPU", "Enum\\T"), "outer");
    ASSERT_TRUE(scratch::SetText("Enum\\U\\A\\X\\Y", "CPU", "first subtree"));
    ASSERT_TRUE(scratch::SetText("Enum\\U\\B", "CPU", "second"));
    EXPECT_EQ(Find("CPU", "Enum\\U"), "first subtree");
    EXPECT_EQ(Find("CPU", "Enum\\Missing"), "(none)");
    EXPECT_EQ(Find("Absent", "Enum"), "(none)");
}

TEST_F(HardwareTree, ValuesTooLongCountAsAbsent)
{
    ASSERT_TRUE(scratch::SetText("Enum\\V\\A", "CPU", std::string(256, 'x')));
    ASSERT_TRUE(scratch::SetText("Enum\\V\\A\\B", "CPU", std::string(255, 'y')));
    EXPECT_EQ(Find("CPU", "Enum\\V"), std::string(255, 'y'));
    /* Exactly 256 bytes without a terminator are one too many. */
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Enum\\W", 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL), 0);
    const std::string raw(256, 'z');
    RegSetValueExA(key, "CPU", 0, REG_BINARY, (const BYTE *)raw.data(), 256);
    RegCloseKey(key);
    EXPECT_EQ(Find("CPU", "Enum\\W"), "(none)");
}

TEST_F(HardwareTree, LongPathsAreSkippedAndDeepTreesAreSafe)
{
    /* "Enum\Long\" + 245 characters is exactly 255: searched. One more and
     * the subkey is skipped, though its later sibling is not. */
    ASSERT_TRUE(scratch::SetText("Enum\\Long\\" + std::string(245, 'a'), "CPU", "fits"));
    EXPECT_EQ(Find("CPU", "Enum\\Long"), "fits");
    scratch::DeleteTree(HKEY_LOCAL_MACHINE, "Enum\\Long");
    ASSERT_TRUE(scratch::SetText("Enum\\Long\\" + std::string(246, 'a'), "CPU", "too long"));
    ASSERT_TRUE(scratch::SetText("Enum\\Long\\b", "CPU", "sibling"));
    EXPECT_EQ(Find("CPU", "Enum\\Long"), "sibling");

    /* A chain of 200 levels: the value at level 100 is within 255
     * characters and found; one at level 200 lies beyond and is not. */
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Enum\\Deep", 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL), 0);
    for (int level = 1; level <= 200; level++) {
        HKEY child;
        ASSERT_EQ(RegCreateKeyExA(key, "k", 0, NULL, 0, KEY_ALL_ACCESS, NULL, &child, NULL), 0);
        RegCloseKey(key);
        key = child;
        if (level == 100 || level == 200) {
            const char *text = level == 100 ? "level 100" : "level 200";
            RegSetValueExA(key, level == 100 ? "Mid" : "Bottom", 0, REG_SZ, (const BYTE *)text,
                           (DWORD)strlen(text) + 1);
        }
    }
    RegCloseKey(key);
    EXPECT_EQ(Find("Mid", "Enum\\Deep"), "level 100");
    EXPECT_EQ(Find("Bottom", "Enum\\Deep"), "(none)");
}

/* A registry link of HKLM, made with REG_OPTION_CREATE_LINK and removed as
 * the link itself (deleting it by name would delete its target). */
struct LinkKey {
    std::string path;
    bool made = false;
    LinkKey(const std::string &p, const std::wstring &target) : path(p)
    {
        HKEY key;
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, NULL, REG_OPTION_CREATE_LINK | REG_OPTION_VOLATILE,
                            KEY_ALL_ACCESS | KEY_CREATE_LINK, NULL, &key, NULL) != ERROR_SUCCESS)
            return;
        made = RegSetValueExW(key, L"SymbolicLinkValue", 0, REG_LINK, (const BYTE *)target.data(),
                              (DWORD)(target.size() * sizeof(wchar_t))) == ERROR_SUCCESS;
        RegCloseKey(key);
    }
    ~LinkKey()
    {
        typedef LONG(WINAPI * DeleteKeyProc)(HANDLE);
        DeleteKeyProc deleteKey = (DeleteKeyProc)(void *)GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtDeleteKey");
        HKEY key;
        if (deleteKey &&
            RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), REG_OPTION_OPEN_LINK, DELETE | KEY_READ, &key) ==
                ERROR_SUCCESS) {
            deleteKey(key);
            RegCloseKey(key);
        }
    }
};

TEST_F(HardwareTree, RegistryLinksAreNotFollowed)
{
    /* Enum\Root\Elsewhere leads to Enum\Hidden, outside the searched tree. */
    ASSERT_TRUE(scratch::SetText("Enum\\Hidden", "CPU", "behind a link"));
    ASSERT_TRUE(scratch::SetText("Enum\\Root\\Plain", "DeviceDesc", "Timer"));
    LinkKey link("Enum\\Root\\Elsewhere", L"\\Registry\\Machine\\Enum\\Hidden");
    ASSERT_TRUE(link.made);
    /* The link works for whoever follows it, and opened as itself it shows
     * what it is. */
    HKEY through;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Enum\\Root\\Elsewhere", 0, KEY_READ, &through), ERROR_SUCCESS);
    RegCloseKey(through);
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Enum\\Root\\Elsewhere", REG_OPTION_OPEN_LINK, KEY_READ, &through),
              ERROR_SUCCESS);
    DWORD type = REG_NONE;
    EXPECT_EQ(RegQueryValueExA(through, "SymbolicLinkValue", NULL, &type, NULL, NULL), ERROR_SUCCESS);
    EXPECT_EQ(type, (DWORD)REG_LINK);
    RegCloseKey(through);
    EXPECT_EQ(Find("CPU", "Enum\\Hidden"), "behind a link");
    EXPECT_EQ(Find("CPU", "Enum\\Root"), "(none)");
}

TEST_F(HardwareTree, CdRomKeysMatchTheirDriveLetter)
{
    /* A CD-ROM key of another letter closes its own subtree only. */
    CdRomKey("Enum\\SCSI\\A-other", "CDROM", "Drive D", "D");
    CdRomKey("Enum\\SCSI\\A-other\\Hidden", "CDROM", "Hidden F", "F");
    CdRomKey("Enum\\SCSI\\B-match", "cdrom", "Drive E", "E");
    CdRomKey("Enum\\SCSI\\C-mixed", "CdRom", "Drive H", "H");
    ASSERT_TRUE(scratch::SetText("Enum\\SCSI\\B-disk", "Class", "DiskDrive"));
    EXPECT_EQ(FindCdRom('E'), "Drive E");
    EXPECT_EQ(FindCdRom('D'), "Drive D");
    EXPECT_EQ(FindCdRom('H'), "Drive H");
    EXPECT_EQ(FindCdRom('F'), "(none)");
    /* Letters are compared exactly. */
    CdRomKey("Enum\\SCSI\\D-lower", "CDROM", "Lower", "k");
    EXPECT_EQ(FindCdRom('K'), "(none)");
}

TEST_F(HardwareTree, IncompleteCdRomKeysAreSearchedBelow)
{
    /* Description too long for its 260 bytes, an assignment too long for
     * its 2, or none: the walk goes on into the subkeys. */
    CdRomKey("Enum\\ESDI\\LongDesc", "CDROM", std::string(260, 'd'), "G");
    CdRomKey("Enum\\ESDI\\LongDesc\\Child", "CDROM", "Child G", "G");
    EXPECT_EQ(FindCdRom('G'), "Child G");
    CdRomKey("Enum\\IDE\\LongLetter", "CDROM", "Two letters", "JK");
    CdRomKey("Enum\\IDE\\LongLetter\\Child", "CDROM", "Child J", "J");
    EXPECT_EQ(FindCdRom('J'), "Child J");
    CdRomKey("Enum\\IDE\\NoLetter", "CDROM", "No letter", nullptr);
    CdRomKey("Enum\\IDE\\NoLetter\\Child", "CDROM", "Child L", "L");
    EXPECT_EQ(FindCdRom('L'), "Child L");
    CdRomKey("Enum\\IDE\\Longest", "CDROM", std::string(259, 'x'), "M");
    EXPECT_EQ(FindCdRom('M'), std::string(259, 'x'));
}

TEST(BootDescription, SystemIniWithAndWithoutTheSection)
{
    scratch::SystemIni ini;
    char text[SYSINFO_TEXT_SIZE];

    ASSERT_TRUE(ini.Write("[mci]\r\ncdaudio=mcicda.dll\r\n[boot.description]\r\n"
                          "display.drv=  Scratch Display  \r\n"
                          "mouse.drv=Scratch Mouse\r\n"
                          "keyboard.typ=" + std::string(300, 'k') + "\r\n"));
    ReadBootDescription("display.drv", text, sizeof text);
    EXPECT_STREQ(text, "Scratch Display");
    ReadBootDescription("mouse.drv", text, sizeof text);
    EXPECT_STREQ(text, "Scratch Mouse");
    ReadBootDescription("keyboard.typ", text, sizeof text);
    EXPECT_EQ(std::string(text), std::string(255, 'k'));
    ReadBootDescription("other.drv", text, sizeof text);
    EXPECT_STREQ(text, "Not available");

    ASSERT_TRUE(ini.Write("[mci]\r\ncdaudio=mcicda.dll\r\n"));
    for (const char *key : { "display.drv", "mouse.drv", "keyboard.typ" }) {
        ReadBootDescription(key, text, sizeof text);
        EXPECT_STREQ(text, "Not available") << key;
    }

    ini.Remove();
    ReadBootDescription("mouse.drv", text, sizeof text);
    EXPECT_STREQ(text, "Not available");
}

TEST(SoundCard, FirstMixerDeviceOnly)
{
    const std::string mixer = "System\\CurrentControlSet\\control\\MediaResources\\mixer";
    ASSERT_FALSE(scratch::KeyExists("System\\CurrentControlSet\\control\\MediaResources"));
    scratch::Key resources("System\\CurrentControlSet\\control\\MediaResources");
    char name[SYSINFO_TEXT_SIZE];

    GetSoundCardName(name, sizeof name);
    EXPECT_STREQ(name, "Not available");
    ASSERT_TRUE(scratch::SetText(mixer));
    GetSoundCardName(name, sizeof name);
    EXPECT_STREQ(name, "Not available");

    ASSERT_TRUE(scratch::SetText(mixer + "\\mixer1", "Description", "First Mixer"));
    ASSERT_TRUE(scratch::SetText(mixer + "\\mixer2", "Description", "Second Mixer"));
    GetSoundCardName(name, sizeof name);
    EXPECT_STREQ(name, "First Mixer");

    /* The first device without a readable description is not passed over. */
    ASSERT_TRUE(scratch::SetText(mixer + "\\mixer1", "Description", std::string(256, 'm')));
    GetSoundCardName(name, sizeof name);
    EXPECT_STREQ(name, "Not available");
}

TEST(SpeedLibrary, OurLibraryMeasuresTheClock)
{
    /* The library beside the program is found by its bare name. */
    const int mhz = MeasureCpuSpeed();
    EXPECT_GT(mhz, 0);

    HMODULE library = LoadLibraryA("cpuinf32.dll");
    ASSERT_NE(library, nullptr);
    CpuSpeedProc cpuspeed = reinterpret_cast<CpuSpeedProc>(
        reinterpret_cast<void (*)(void)>(GetProcAddress(library, "cpuspeed")));
    ASSERT_NE(cpuspeed, nullptr);
    const CpuSpeedRecord record = cpuspeed(0);
    FreeLibrary(library);
    EXPECT_NE(record.cycles, 0u);
    EXPECT_GE(record.microseconds, 10000u);
    EXPECT_LE(record.microseconds, 50000u);
    EXPECT_NEAR(record.kilohertz / 1000.0, record.megahertz, 0.5);
    /* The record agrees with itself: cycles over time is the clock. */
    EXPECT_NEAR(record.cycles / (double)record.microseconds, record.megahertz, record.megahertz * 0.01 + 1);
}
