/* The display device list: what the pass over the display drivers
 * records, the software renderer entry, and the preference for a 3Dfx board.
 * The enumeration callbacks reach this state here, not through their
 * context argument. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "graphics/devices.h"
#include "common/text.h"

/* Owned records; the slot after the drivers' is the software renderer's. */
static DisplayDevice *Devices[MAX_DISPLAY_DRIVERS + 1];
static int DeviceCount;
static int PreferredDevice = -1;
static int ListExists;               /* a scan stored a driver */

/* Working state of a scan. */
static int Scanning;
static DisplayDevice *StoringDevice; /* the record the mode callback fills */

void FreeDeviceList(void)
{
    for (int i = 0; i < DeviceCount; i++)
        free(Devices[i]);
    memset(Devices, 0, sizeof Devices);
    DeviceCount = 0;
    PreferredDevice = -1;
    ListExists = 0;
    Scanning = 0;
    StoringDevice = 0;
}

void ScanBegin(void)
{
    FreeDeviceList();
    Scanning = 1;
}

int ScanHasRoom(void)
{
    return Scanning && DeviceCount < MAX_DISPLAY_DRIVERS;
}

DisplayDevice *ScanStoreDevice(const unsigned char *guid, const char *description,
                               const char *driverName, const DdCaps5 *halCaps,
                               const DdCaps5 *helCaps, const char *hardwareSuffix)
{
    StoringDevice = 0;
    if (!ScanHasRoom())
        return 0;
    DisplayDevice *device = (DisplayDevice *)calloc(1, sizeof *device);
    if (!device)
        return 0;
    if (guid) {
        memcpy(device->guid, guid, sizeof device->guid);
        device->isPrimaryDriver = 0;
    } else {
        device->isPrimaryDriver = 1;
    }
    CopyText(device->driverName, DEVICE_TEXT_SIZE, driverName);
    if (halCaps)
        device->halCaps = *halCaps;
    if (helCaps)
        device->helCaps = *helCaps;
    device->halCaps.dwSize = DDCAPS_DX5_SIZE;
    device->helCaps.dwSize = DDCAPS_DX5_SIZE;
    device->isHardware = (device->halCaps.dwCaps & DDCAPS_3D) ? 1 : 0;
    if (device->isHardware)
        snprintf(device->label, sizeof device->label, "%s - %s", description ? description : "",
                 hardwareSuffix ? hardwareSuffix : "");
    else
        CopyText(device->label, DEVICE_TEXT_SIZE, description);
    Devices[DeviceCount++] = device;
    PreferredDevice = 0;
    ListExists = 1;
    StoringDevice = device;
    return device;
}

int ScanAddMode(int width, int height, int bitsPerPixel)
{
    if (!ListExists || !StoringDevice)
        return 0;
    return AddDisplayMode(StoringDevice, width, height, bitsPerPixel);
}

void ScanEndDevice(void)
{
    if (StoringDevice) {
        SortModes(StoringDevice);
        ChooseDefaultMode(StoringDevice);
    }
    StoringDevice = 0;
}

/* Copies text into a 256-byte buffer with a..z upper-cased. */
static void UpperCaseCopy(char *dest, const char *text)
{
    CopyText(dest, 256, text);
    UpperCaseText(dest);
}

int NamesA3dfxBoard(const char *label)
{
    static const char *const boards[] = { "3DFX", "VOODOO", "GLIDE", "MNSTR" };
    char text[256];
    UpperCaseCopy(text, label);
    for (const char *board : boards) {
        char name[256];
        UpperCaseCopy(name, board);
        if (strstr(text, name))
            return 1;
    }
    return 0;
}

/* Turns the record into the software renderer entry: the game draws it
 * itself, so it is never a 3D device and proposes the software size. */
static void MakeSoftwareEntry(DisplayDevice *device, const char *softwareLabel)
{
    CopyText(device->label, DEVICE_TEXT_SIZE, softwareLabel);
    device->isHardware = 0;
    ChooseDefaultMode(device);
}

/* When every driver has 3D hardware, the software renderer gets an entry
 * of its own: a copy of the primary display driver (of the first driver
 * when none is primary). Otherwise the first driver without 3D hardware
 * becomes the software renderer entry. */
static int AddSoftwareEntry(const char *softwareLabel)
{
    for (int i = 0; i < DeviceCount; i++) {
        if (!Devices[i]->isHardware) {
            MakeSoftwareEntry(Devices[i], softwareLabel);
            return 1;
        }
    }
    const DisplayDevice *model = Devices[0];
    for (int i = 0; i < DeviceCount; i++) {
        if (Devices[i]->isPrimaryDriver) {
            model = Devices[i];
            break;
        }
    }
    DisplayDevice *copy = (DisplayDevice *)malloc(sizeof *copy);
    if (!copy)
        return 0;
    *copy = *model;
    MakeSoftwareEntry(copy, softwareLabel);
    Devices[DeviceCount++] = copy;
    return 1;
}

static void PreferA3dfxBoard(void)
{
    int preferred = 0;
    for (int i = 0; i < DeviceCount; i++) {
        if (!Devices[i]->isHardware)
            continue;
        preferred = i;
        if (NamesA3dfxBoard(Devices[i]->label))
            break;
    }
    if (preferred != 0) {
        DisplayDevice *head = Devices[0];
        Devices[0] = Devices[preferred];
        Devices[preferred] = head;
    }
    PreferredDevice = 0;
}

int ScanFinish(const char *softwareLabel)
{
    StoringDevice = 0;
    int scanned = Scanning;
    Scanning = 0;
    if (!scanned || DeviceCount == 0)
        return 0;
    if (!AddSoftwareEntry(softwareLabel))
        return 0;
    PreferA3dfxBoard();
    for (int i = 0; i < DeviceCount; i++)
        if (Devices[i]->modeCount >= 1)
            return 1;
    return 0;
}

int DriverNameMatches(const char *driverName, const char *stored, int storedSize)
{
    if (!driverName || !stored || storedSize <= 0)
        return 0;
    const char *end = (const char *)memchr(stored, 0, (size_t)storedSize);
    size_t length = end ? (size_t)(end - stored) : (size_t)storedSize - 1;
    if (strncmp(driverName, stored, length) != 0)
        return 0;
    /* The field cut the name: whatever the driver's name holds beyond it
     * was never stored. */
    return driverName[length] == 0 || length == (size_t)storedSize - 1;
}

/* ---- Accessors ---------------------------------------------------------- */

const DisplayDevice *GetDevice(int device)
{
    if (!ListExists || device < 0 || device >= DeviceCount)
        return 0;
    return Devices[device];
}

int GetDeviceCount(void) { return ListExists ? DeviceCount : 0; }

const char *GetDeviceLabel(int device)
{
    const DisplayDevice *d = GetDevice(device);
    return d ? d->label : 0;
}

const char *GetDeviceDriverName(int device)
{
    const DisplayDevice *d = GetDevice(device);
    return d ? d->driverName : 0;
}

int IsHardwareDevice(int device)
{
    const DisplayDevice *d = GetDevice(device);
    return d ? d->isHardware : 0;
}

int GetModeCount(int device)
{
    const DisplayDevice *d = GetDevice(device);
    return d ? d->modeCount : 0;
}

const DisplayMode *GetMode(int device, int mode)
{
    const DisplayDevice *d = GetDevice(device);
    if (!d || mode < 0 || mode >= d->modeCount)
        return 0;
    return &d->modes[mode];
}

int GetDefaultMode(int device)
{
    const DisplayDevice *d = GetDevice(device);
    return d ? d->defaultMode : -1;
}

int GetPreferredDevice(void) { return ListExists ? PreferredDevice : -1; }
