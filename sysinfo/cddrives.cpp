/* The CD-ROM drive inventory and the choice of the game disc's drive. */
#include <windows.h>
#include <string.h>

#include "common/settings.h"
#include "sysinfo/cddrives.h"
#include "sysinfo/probes.h"
#include "sysinfo/sysinfo.h"
#include "sysinfo/sysreport.h"

CdDriveList CdDrives;

/* The hardware tree "Enum" exists only on the Windows 95 family. */
static int HardwareTreeExists(void)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Enum", 0, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    RegCloseKey(key);
    return 1;
}

/* Without a hardware tree a CD-ROM drive is described by its volume label,
 * or plainly as a CD-ROM when it has no label or no disc. Always found. */
static int DescribeByVolumeLabel(const char *root, char *description)
{
    UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    char label[MAX_PATH + 1];
    BOOL read = GetVolumeInformationA(root, label, sizeof label, NULL, NULL, NULL, NULL, 0);
    SetErrorMode(oldMode);
    const char *text = (read && label[0] != '\0') ? label : "CD-ROM";
    size_t n = strlen(text);
    if (n >= CD_DESCRIPTION_SIZE)
        n = CD_DESCRIPTION_SIZE - 1;
    memcpy(description, text, n);
    description[n] = '\0';
    return 1;
}

static int IsCdRomDrive(char letter, void *)
{
    char root[4] = { letter, ':', '\\', '\0' };
    return GetDriveTypeA(root) == DRIVE_CDROM;
}

static int DescribeFromHardwareTree(char letter, char *description, void *)
{
    return FindCdRomDescription(letter, "Enum", description);
}

static int DescribeFromVolume(char letter, char *description, void *)
{
    char root[4] = { letter, ':', '\\', '\0' };
    return DescribeByVolumeLabel(root, description);
}

int DiscoverDrives(void)
{
    CdDrives = CdDriveList();
    DWORD mask = GetLogicalDrives();
    if (mask == 0)
        return 0;
    /* Where there is no hardware tree at all (the NT family), the drives
     * are listed by type alone: the game disc's drive must show. */
    DriveFacts facts = { IsCdRomDrive,
                         HardwareTreeExists() ? DescribeFromHardwareTree : DescribeFromVolume, NULL };
    return FillCdDriveList(&CdDrives, mask, &facts) >= 1;
}

int GetDriveCount(void)
{
    return CdDrives.count;
}

const CdDrive *GetDrive(int index)
{
    if (index < 0 || index >= CdDrives.count)
        return NULL;
    return &CdDrives.drives[index];
}

void ResolveCDRootDrive(const char *launcherPath)
{
    if (Settings.CDRoot[0] != '?')
        return;
    int hasSetup[CD_DRIVE_MAX] = { 0, 0, 0 };
    UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    for (int i = 0; i < CdDrives.count && i < CD_DRIVE_MAX; i++) {
        char setup[] = "?:\\Setup.exe";
        setup[0] = CdDrives.drives[i].letter;
        DWORD attributes = GetFileAttributesA(setup);
        hasSetup[i] = attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    }
    SetErrorMode(oldMode);
    char letter = ChooseDiscDriveLetter(launcherPath, &CdDrives, hasSetup);
    if (letter)
        Settings.CDRoot[0] = letter;
}
