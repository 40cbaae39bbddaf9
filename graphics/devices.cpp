/* The display device list: what the two passes over the display drivers
 * record, the software renderer entry, and the preference for a 3Dfx board.
 * The enumeration callbacks reach this state here, not through their
 * context argument. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "graphics/devices.h"

static DisplayDevice **Devices;      /* owned records, SlotCount slots */
static int SlotCount;
static int DeviceCount;
static int PreferredDevice = -1;
static int ListExists;

/* Working state of a scan. */
static int DriversCounted;
static int Drivers3DCounted;
static int DriverSlots;              /* slots the second pass may fill */
static DisplayDevice *StoringDevice; /* the record the mode callback fills */

static void CopyText(char *dest, const char *src)
{
    snprintf(dest, DEVICE_TEXT_SIZE, "%s", src ? src : "");
}

void FreeDeviceList(void)
{
    if (Devices) {
        for (int i = 0; i < SlotCount; i++)
            free(Devices[i]);
        free(Devices);
    }
    Devices = 0;
    SlotCount = 0;
    DeviceCount = 0;
    DriverSlots = 0;
    PreferredDevice = -1;
    ListExists = 0;
    StoringDevice = 0;
}

void ScanBegin(void)
{
    FreeDeviceList();
    DriversCounted = 0;
    Drivers3DCounted = 0;
}

void ScanCountDriver(int has3D)
{
    DriversCounted++;
    if (has3D)
        Drivers3DCounted++;
}

int ScanCreateList(void)
{
    if (DriversCounted <= 0)
        return 0;
    int slots = DriversCounted;
    if (Drivers3DCounted == DriversCounted)
        slots++; /* every driver has 3D hardware: a separate software entry */
    Devices = (DisplayDevice **)calloc((size_t)slots, sizeof *Devices);
    if (!Devices)
        return 0;
    SlotCount = slots;
    DriverSlots = DriversCounted;
    DeviceCount = 0;
    PreferredDevice = 0;
    ListExists = 1;
    return 1;
}

DisplayDevice *ScanStoreDevice(const unsigned char *guid, const char *description,
                               const char *driverName, const DdCaps5 *halCaps,
                               const DdCaps5 *helCaps, const char *hardwareSuffix)
{
    StoringDevice = 0;
    /* A driver that the first pass did not count has no slot; the extra
     * slot is kept for the software renderer entry. */
    if (!ListExists || DeviceCount >= DriverSlots)
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
    CopyText(device->driverName, driverName);
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
        CopyText(device->label, description);
    Devices[DeviceCount++] = device;
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
    snprintf(dest, 256, "%s", text ? text : "");
    for (char *c = dest; *c; c++)
        if (*c >= 'a' && *c <= 'z')
            *c = (char)(*c - 'a' + 'A');
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
    CopyText(device->label, softwareLabel);
    device->isHardware = 0;
    ChooseDefaultMode(device);
}

static int AddSoftwareEntry(const char *softwareLabel)
{
    if (SlotCount > DriverSlots) {
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
    DisplayDevice *chosen = Devices[0];
    for (int i = 0; i < DeviceCount; i++) {
        if (!Devices[i]->isHardware) {
            chosen = Devices[i];
            break;
        }
    }
    MakeSoftwareEntry(chosen, softwareLabel);
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
    if (!ListExists || DeviceCount == 0)
        return 0;
    if (!AddSoftwareEntry(softwareLabel))
        return 0;
    PreferA3dfxBoard();
    for (int i = 0; i < DeviceCount; i++)
        if (Devices[i]->modeCount >= 1)
            return 1;
    return 0;
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
