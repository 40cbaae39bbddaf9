/* The display device list: what the pass over the display drivers
 * records, the software renderer entry, and the preference for a 3Dfx board.
 * The list is the one process-wide record here; a scan's working state is
 * the caller's DeviceScan. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "graphics/devices.h"
#include "common/text.h"

/* What the last scan found, for the graphics setup of this run. */
struct DisplayDeviceList {
    /* Owned records; the slot after the drivers' is the software renderer's. */
    DisplayDevice *devices[MAX_DISPLAY_DRIVERS + 1];
    int count;
    int preferred;                   /* -1 while the list is empty */
};

static DisplayDeviceList DeviceList = { {}, 0, -1 };

void FreeDeviceList(void)
{
    for (int i = 0; i < DeviceList.count; i++)
        free(DeviceList.devices[i]);
    memset(DeviceList.devices, 0, sizeof DeviceList.devices);
    DeviceList.count = 0;
    DeviceList.preferred = -1;
}

void ScanBegin(DeviceScan *scan, int emulatedHighColour)
{
    FreeDeviceList();
    scan->underWay = 1;
    scan->storing = -1;
    scan->emulatedHighColour = emulatedHighColour;
    ClearModes(&scan->collected);
}

int ScanHasRoom(const DeviceScan *scan)
{
    return scan->underWay && DeviceList.count < MAX_DISPLAY_DRIVERS;
}

DisplayDevice *ScanStoreDevice(DeviceScan *scan, const unsigned char *guid,
                               const char *description, const char *driverName,
                               const DdCaps5 *halCaps, const DdCaps5 *helCaps,
                               const char *hardwareSuffix)
{
    scan->storing = -1;
    if (!ScanHasRoom(scan))
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
    ClearModes(&scan->collected);
    scan->storing = DeviceList.count;
    DeviceList.devices[DeviceList.count++] = device;
    DeviceList.preferred = 0;
    return device;
}

/* The record the scan is filling, if the scan is under way and the record
 * still the list's newest: a late callback finds none. */
static DisplayDevice *DeviceBeingStored(const DeviceScan *scan)
{
    if (!scan->underWay || scan->storing < 0 || scan->storing != DeviceList.count - 1)
        return 0;
    return DeviceList.devices[scan->storing];
}

int ScanAddMode(DeviceScan *scan, int width, int height, int bitsPerPixel)
{
    DisplayDevice *device = DeviceBeingStored(scan);
    if (!device)
        return 0;
    return CollectMode(&scan->collected, width, height, bitsPerPixel);
}

void ScanEndDevice(DeviceScan *scan)
{
    DisplayDevice *device = DeviceBeingStored(scan);
    if (device) {
        TakeCollectedModes(&scan->collected, scan->emulatedHighColour, device);
        SortModes(device);
        ChooseDefaultMode(device);
    }
    scan->storing = -1;
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
    DisplayDevice **devices = DeviceList.devices;
    for (int i = 0; i < DeviceList.count; i++) {
        if (!devices[i]->isHardware) {
            MakeSoftwareEntry(devices[i], softwareLabel);
            return 1;
        }
    }
    const DisplayDevice *model = devices[0];
    for (int i = 0; i < DeviceList.count; i++) {
        if (devices[i]->isPrimaryDriver) {
            model = devices[i];
            break;
        }
    }
    DisplayDevice *copy = (DisplayDevice *)malloc(sizeof *copy);
    if (!copy)
        return 0;
    *copy = *model;
    MakeSoftwareEntry(copy, softwareLabel);
    devices[DeviceList.count++] = copy;
    return 1;
}

static void PreferA3dfxBoard(void)
{
    DisplayDevice **devices = DeviceList.devices;
    int preferred = 0;
    for (int i = 0; i < DeviceList.count; i++) {
        if (!devices[i]->isHardware)
            continue;
        preferred = i;
        if (NamesA3dfxBoard(devices[i]->label))
            break;
    }
    if (preferred != 0) {
        DisplayDevice *head = devices[0];
        devices[0] = devices[preferred];
        devices[preferred] = head;
    }
    DeviceList.preferred = 0;
}

int ScanFinish(DeviceScan *scan, const char *softwareLabel)
{
    scan->storing = -1;
    int scanned = scan->underWay;
    scan->underWay = 0;
    if (!scanned || DeviceList.count == 0)
        return 0;
    if (!AddSoftwareEntry(softwareLabel))
        return 0;
    PreferA3dfxBoard();
    for (int i = 0; i < DeviceList.count; i++)
        if (DeviceList.devices[i]->modeCount >= 1)
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
    if (device < 0 || device >= DeviceList.count)
        return 0;
    return DeviceList.devices[device];
}

int GetDeviceCount(void) { return DeviceList.count; }

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

int GetPreferredDevice(void) { return DeviceList.preferred; }
