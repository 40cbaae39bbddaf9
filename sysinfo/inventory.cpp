/* The machine inventory: the processor speed and the CD-ROM drives, and
 * the choice of the game disc's drive. */
#include "sysinfo/inventory.h"

#include <windows.h>
#include <stddef.h>
#include <string.h>
#include <winioctl.h>

#include "common/driveerrors.h"
#include "common/settings.h"
#include "common/text.h"
#include "common/trace.h"
#include "sysinfo/facts.h"
#include "sysinfo/probes.h"

CdDriveList CdDrives;
int CpuSpeedMhz = -1;

int TakeCpuSpeed(void)
{
    CpuSpeedMhz = MeasureCpuSpeed();
    return CpuSpeedMhz;
}

/* The descriptor is read by offsets of its own; they are the system's. */
static_assert(offsetof(STORAGE_DEVICE_DESCRIPTOR, Size) == 4, "descriptor size field");
static_assert(offsetof(STORAGE_DEVICE_DESCRIPTOR, VendorIdOffset) == STORAGE_DESCRIPTOR_VENDOR_OFFSET,
              "vendor offset field");
static_assert(offsetof(STORAGE_DEVICE_DESCRIPTOR, ProductIdOffset) == STORAGE_DESCRIPTOR_PRODUCT_OFFSET,
              "product offset field");
static_assert(offsetof(STORAGE_DEVICE_DESCRIPTOR, RawDeviceProperties) == STORAGE_DESCRIPTOR_FIXED_SIZE,
              "fixed part");

/* The hardware tree "Enum" exists only on the Windows 95 family. */
static int HardwareTreeExists(void)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Enum", 0, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    RegCloseKey(key);
    return 1;
}

/* The vendor and product the drive's own driver reports. The device is
 * opened with no access rights: a query of its properties needs none, and
 * no disc has to be in the drive. */
static int GiveStorageDeviceName(char *text, size_t size, void *context)
{
    const char letter = *static_cast<const char *>(context);
    const char device[] = { '\\', '\\', '.', '\\', letter, ':', '\0' };
    HANDLE handle = CreateFileA(device, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
    if (handle == INVALID_HANDLE_VALUE)
        return 0;
    STORAGE_PROPERTY_QUERY query;
    memset(&query, 0, sizeof query);
    query.PropertyId = StorageDeviceProperty;
    query.QueryType = PropertyStandardQuery;
    unsigned char descriptor[1024];
    DWORD got = 0;
    BOOL asked = DeviceIoControl(handle, IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof query, descriptor,
                                 sizeof descriptor, &got, NULL);
    CloseHandle(handle);
    if (!asked || got > sizeof descriptor)
        return 0;
    return StorageDeviceName(descriptor, got, text, size);
}

static int GiveVolumeLabel(char *text, size_t size, void *context)
{
    const char letter = *static_cast<const char *>(context);
    const char root[4] = { letter, ':', '\\', '\0' };
    char label[MAX_PATH + 1];
    if (!GetVolumeInformationA(root, label, sizeof label, NULL, NULL, NULL, NULL, 0))
        return 0;
    label[sizeof label - 1] = '\0';
    if (label[0] == '\0')
        return 0;
    CopyText(text, size, label);
    return 1;
}

static int IsCdRomDrive(char letter, void *)
{
    const char root[4] = { letter, ':', '\\', '\0' };
    return GetDriveTypeA(root) == DRIVE_CDROM;
}

static int DescribeFromHardwareTree(char letter, char *description, void *)
{
    if (FindCdRomDescription(letter, "Enum", description))
        return 1;
    Trace("CD-ROM drive %c: no device of the hardware tree describes it; left out of the inventory", letter);
    return 0;
}

/* Without a hardware tree a CD-ROM drive is described by the vendor and
 * product its driver reports, else by its volume label, else plainly as a
 * CD-ROM (no label, or no disc). Always listed. */
static int DescribeFromDevice(char letter, char *description, void *)
{
    const FactSource sources[] = { { GiveStorageDeviceName, &letter, 1 }, { GiveVolumeLabel, &letter, 0 } };
    NoDriveErrorBoxes quiet;
    if (ChooseFactText(sources, 2, "CD-ROM", description, CD_DESCRIPTION_SIZE) == 2)
        Trace("CD-ROM drive %c: neither its driver nor a volume label names it; listed as \"CD-ROM\"", letter);
    return 1;
}

int DiscoverDrives(void)
{
    CdDrives = CdDriveList();
    DWORD mask = GetLogicalDrives();
    if (mask == 0) {
        Trace("The drive letters could not be listed (error %lu); no CD-ROM drive is known", GetLastError());
        return 0;
    }
    /* Where there is no hardware tree at all (the NT family), the drives
     * are listed by type alone: the game disc's drive must show. */
    DriveFacts facts = { IsCdRomDrive,
                         HardwareTreeExists() ? DescribeFromHardwareTree : DescribeFromDevice, NULL };
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

/* Whether the root of the drive holds a file Setup.exe, asked without the
 * system's "insert a disc" box for an empty drive. */
static int RootHoldsSetup(char letter, void *)
{
    char setup[] = "?:\\Setup.exe";
    setup[0] = letter;
    DWORD attributes;
    {
        NoDriveErrorBoxes quiet;
        attributes = GetFileAttributesA(setup);
    }
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void ResolveCDRootDrive(const char *launcherPath)
{
    if (Settings.CDRoot[0] != '?')
        return;
    /* A program started by a relative path (from a command prompt) names
     * no drive: the module's own file name does. */
    char modulePath[MAX_PATH] = "";
    if (!launcherPath || launcherPath[0] == '\0' || launcherPath[1] != ':') {
        DWORD n = GetModuleFileNameA(NULL, modulePath, sizeof modulePath);
        if (n == 0 || n >= sizeof modulePath) {
            Trace("The launcher's own file name could not be read; its drive is not asked first");
            modulePath[0] = '\0';
        }
        launcherPath = modulePath;
    }
    char letter = ChooseDiscDriveLetter(launcherPath, &CdDrives, RootHoldsSetup, NULL);
    if (letter)
        Settings.CDRoot[0] = letter;
    else
        Trace("No drive can be told for the game disc; the CD root keeps its \"?\"");
}
