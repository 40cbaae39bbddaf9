/* The CD-ROM inventory against Wine's drives (the demo disc is CD-ROM drive
 * R: of the test prefix) and a scratch hardware tree. */
#include <windows.h>
#include <gtest/gtest.h>

#include <string>

#include "common/settings.h"
#include "sysinfo/inventory.h"
#include "sysinfo/probes.h"
#include "tests/win32/sysinfo_scratch.h"

namespace {

std::string Letters()
{
    std::string s;
    for (int i = 0; i < GetDriveCount(); i++)
        s += GetDrive(i)->letter;
    return s;
}

const CdDrive *DriveOf(char letter)
{
    for (int i = 0; i < GetDriveCount(); i++)
        if (GetDrive(i)->letter == letter)
            return GetDrive(i);
    return nullptr;
}

std::string CdRomLettersOfThePrefix()
{
    std::string s;
    DWORD mask = GetLogicalDrives();
    for (int j = 0; j < 26; j++) {
        char root[4] = { (char)('A' + j), ':', '\\', '\0' };
        if ((mask >> j) & 1 && GetDriveTypeA(root) == DRIVE_CDROM)
            s += root[0];
    }
    return s.substr(0, 3);
}

void CdRomKey(const std::string &path, const std::string &description, const char *letter)
{
    ASSERT_TRUE(scratch::SetText(path, "Class", "CDROM"));
    ASSERT_TRUE(scratch::SetText(path, "DeviceDesc", description));
    ASSERT_TRUE(scratch::SetText(path, "CurrentDriveLetterAssignment", letter));
}

/* Drives D to G as far as the drive types go, described by the real walk
 * of the scratch tree; the letters examined are recorded. */
struct TreeDrives {
    std::string examined;
};

int AnyCdRom(char letter, void *context)
{
    static_cast<TreeDrives *>(context)->examined += letter;
    return 1;
}

int FromTree(char letter, char *description, void *)
{
    return FindCdRomDescription(letter, "Enum", description);
}

}

TEST(DriveInventory, WithoutHardwareTreeTheDiscDriveIsListedByType)
{
    ASSERT_FALSE(scratch::KeyExists("Enum"));
    EXPECT_TRUE(DiscoverDrives());
    EXPECT_EQ(Letters(), CdRomLettersOfThePrefix());
    const CdDrive *r = DriveOf('R');
    ASSERT_NE(r, nullptr);
    char label[MAX_PATH + 1] = "";
    GetVolumeInformationA("R:\\", label, sizeof label, NULL, NULL, NULL, NULL, 0);
    EXPECT_STREQ(r->description, label[0] ? label : "CD-ROM");
    EXPECT_EQ(GetDrive(GetDriveCount()), nullptr);
    EXPECT_EQ(GetDrive(-1), nullptr);
}

TEST(DriveInventory, WithHardwareTreeOnlyDescribedDrivesAreListed)
{
    scratch::Key tree("Enum");
    ASSERT_TRUE(tree.owned);
    ASSERT_TRUE(scratch::SetText("Enum\\Root\\*PNP0C01\\0000", "Class", "System"));
    EXPECT_FALSE(DiscoverDrives());
    EXPECT_EQ(GetDriveCount(), 0);
    EXPECT_EQ(GetDrive(0), nullptr);

    CdRomKey("Enum\\SCSI\\KVL_____DEMO_DISC\\0", "KVL DEMO DISC SCSI CdRom Device", "R");
    EXPECT_TRUE(DiscoverDrives());
    const CdDrive *r = DriveOf('R');
    ASSERT_NE(r, nullptr);
    EXPECT_STREQ(r->description, "KVL DEMO DISC SCSI CdRom Device");
}

TEST(DriveInventory, FourDrivesInTheTreeGiveTheFirstThree)
{
    scratch::Key tree("Enum");
    ASSERT_TRUE(tree.owned);
    CdRomKey("Enum\\SCSI\\G", "Drive G", "G");
    CdRomKey("Enum\\SCSI\\F", "Drive F", "F");
    CdRomKey("Enum\\ESDI\\E", "Drive E", "E");
    CdRomKey("Enum\\IDE\\D", "Drive D", "D");
    TreeDrives seen;
    DriveFacts facts = { AnyCdRom, FromTree, &seen };
    CdDriveList list;
    const unsigned long defg = 0xFul << 3;
    EXPECT_EQ(FillCdDriveList(&list, defg, &facts), 3);
    EXPECT_EQ(seen.examined, "DEF");
    EXPECT_EQ(list.drives[0].letter, 'D');
    EXPECT_STREQ(list.drives[0].description, "Drive D");
    EXPECT_EQ(list.drives[2].letter, 'F');
    EXPECT_STREQ(list.drives[2].description, "Drive F");

    /* E missing from the tree: its record goes to the next drive. */
    scratch::DeleteTree(HKEY_LOCAL_MACHINE, "Enum\\ESDI");
    seen.examined.clear();
    EXPECT_EQ(FillCdDriveList(&list, defg, &facts), 3);
    EXPECT_EQ(seen.examined, "DEFG");
    EXPECT_EQ(list.drives[1].letter, 'F');
    EXPECT_STREQ(list.drives[1].description, "Drive F");
    const unsigned long ef = 0x3ul << 4;
    EXPECT_EQ(FillCdDriveList(&list, ef, &facts), 1);
    EXPECT_EQ(list.drives[0].letter, 'F');
    EXPECT_STREQ(list.drives[0].description, "Drive F");
}

TEST(DiscDrive, QuestionMarkTakesTheDriveTheLauncherRanFrom)
{
    ASSERT_FALSE(scratch::KeyExists("Enum"));
    ASSERT_TRUE(DiscoverDrives());
    const LauncherSettings saved = Settings;

    strcpy(Settings.CDRoot, "?:\\");
    ResolveCDRootDrive("R:\\Launcher\\Launcher.exe");
    EXPECT_STREQ(Settings.CDRoot, "R:\\");

    /* Started from elsewhere: the first drive holding Setup.exe, else the
     * first drive. */
    strcpy(Settings.CDRoot, "?:\\");
    ResolveCDRootDrive("C:\\Games\\KVL\\Launcher.exe");
    char expected = GetDrive(0)->letter;
    for (int i = GetDriveCount() - 1; i >= 0; i--) {
        char setup[] = "?:\\Setup.exe";
        setup[0] = GetDrive(i)->letter;
        if (GetFileAttributesA(setup) != INVALID_FILE_ATTRIBUTES)
            expected = setup[0];
    }
    EXPECT_EQ(Settings.CDRoot[0], expected);

    /* A known root is left alone. */
    strcpy(Settings.CDRoot, "E:\\");
    ResolveCDRootDrive("R:\\Launcher\\Launcher.exe");
    EXPECT_STREQ(Settings.CDRoot, "E:\\");

    /* Without any drive the "?" stays. */
    {
        scratch::Key tree("Enum");
        ASSERT_TRUE(scratch::SetText("Enum\\Root"));
        EXPECT_FALSE(DiscoverDrives());
    }
    strcpy(Settings.CDRoot, "?:\\");
    ResolveCDRootDrive("C:\\Games\\KVL\\Launcher.exe");
    EXPECT_STREQ(Settings.CDRoot, "?:\\");
    Settings = saved;
    DiscoverDrives();
}

TEST(DiscDrive, QuestionMarkTakesTheLaunchersDriveOutsideTheInventory)
{
    /* A disc image mounted as another kind of drive: here C:, which is no
     * CD-ROM drive, with Setup.exe at its root. */
    ASSERT_TRUE(DiscoverDrives());
    ASSERT_EQ(DriveOf('C'), nullptr);
    const char setup[] = "C:\\Setup.exe";
    ASSERT_EQ(GetFileAttributesA(setup), INVALID_FILE_ATTRIBUTES);
    ASSERT_TRUE(scratch::WriteFileText(setup, "MZ"));
    const LauncherSettings saved = Settings;
    strcpy(Settings.CDRoot, "?:\\");
    ResolveCDRootDrive("C:\\Launcher\\Launcher.exe");
    EXPECT_STREQ(Settings.CDRoot, "C:\\");
    Settings = saved;
    DeleteFileA(setup);
}
