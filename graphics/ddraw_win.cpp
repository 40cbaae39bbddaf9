/* DirectDraw at run time: loading ddraw.dll, and the pass over its display
 * drivers that builds the device list. Enumerating the drivers and opening
 * one are DirectDraw's slow calls, so each is made once per scan: every
 * driver is opened once, asked for its caps and modes, and released before
 * the callback that opened it returns. */
#include <windows.h>
#include <string.h>

#include "graphics/ddraw_win.h"
#include "common/export.h"
#include "common/texttable.h"
#include "common/trace.h"
#include "graphics/devices.h"
#include "resources/texts.h"

int LoadDirectDraw(DirectDrawEntries *entries)
{
    memset(entries, 0, sizeof *entries);
    entries->library = LoadLibraryA("ddraw.dll");
    if (!entries->library) {
        Trace("ddraw.dll could not be loaded (error %lu): no graphics setup",
              (unsigned long)GetLastError());
        return 0;
    }
    entries->create = ExportAs<DirectDrawCreateFn>(entries->library, "DirectDrawCreate");
    entries->enumerate =
        ExportAs<DirectDrawEnumerateFn>(entries->library, "DirectDrawEnumerateA");
    if (HasDirectDrawEntries(entries))
        return 1;
    Trace("ddraw.dll lacks DirectDrawCreate or DirectDrawEnumerateA: no graphics setup");
    UnloadDirectDraw(entries);
    return 0;
}

void UnloadDirectDraw(DirectDrawEntries *entries)
{
    if (entries->library)
        FreeLibrary(entries->library);
    memset(entries, 0, sizeof *entries);
}

int HasDirectDrawEntries(const DirectDrawEntries *entries)
{
    return entries->create && entries->enumerate ? 1 : 0;
}

/* What the driver enumeration's callback needs: the scan it feeds, and
 * how it opens a driver. */
struct DriverPass {
    DeviceScan scan;
    DirectDrawCreateFn create;
    const char *hardwareSuffix;
};

static void GetDriverCaps(DirectDraw5 *directDraw, DdCaps5 *halCaps, DdCaps5 *helCaps)
{
    memset(halCaps, 0, sizeof *halCaps);
    memset(helCaps, 0, sizeof *helCaps);
    halCaps->dwSize = DDCAPS_DX5_SIZE;
    helCaps->dwSize = DDCAPS_DX5_SIZE;
    directDraw->methods->GetCaps(directDraw, halCaps, helCaps);
}

static HRESULT WINAPI AddMode(DdSurfaceDesc5 *mode, void *context)
{
    return ScanAddMode(static_cast<DeviceScan *>(context), (int)mode->dwWidth,
                       (int)mode->dwHeight, (int)mode->ddpfPixelFormat.dwRGBBitCount);
}

/* Fills the device being stored with the modes the driver reports. */
static void EnumerateModes(DirectDraw5 *directDraw, DeviceScan *scan, DisplayDevice *device)
{
    HRESULT result = directDraw->methods->EnumDisplayModes(directDraw, 0, 0, scan, AddMode);
    if (result != KVL_DD_OK)
        Trace("display modes of driver \"%s\" not enumerated (0x%08lx): the %d reported are kept",
              device->driverName, (unsigned long)result, scan->collected.modeCount);
}

static BOOL WINAPI StoreDriver(GUID *guid, char *description, char *name, void *context)
{
    DriverPass *pass = static_cast<DriverPass *>(context);
    /* A full list takes no more drivers: none is opened in vain. */
    if (!ScanHasRoom(&pass->scan)) {
        Trace("display driver \"%s\" left out: the list holds %d drivers", name ? name : "",
              MAX_DISPLAY_DRIVERS);
        return TRUE;
    }
    DirectDraw5 *directDraw = 0;
    HRESULT opened = pass->create(guid, &directDraw, 0);
    if (opened != KVL_DD_OK || !directDraw) {
        Trace("display driver \"%s\" left out: DirectDraw could not open it (0x%08lx)",
              name ? name : "", (unsigned long)opened);
        return TRUE;
    }
    DdCaps5 halCaps, helCaps;
    GetDriverCaps(directDraw, &halCaps, &helCaps);
    DisplayDevice *device = ScanStoreDevice(&pass->scan, (const unsigned char *)guid, description,
                                            name, &halCaps, &helCaps, pass->hardwareSuffix);
    if (device) {
        EnumerateModes(directDraw, &pass->scan, device);
        ScanEndDevice(&pass->scan);
    } else {
        Trace("display driver \"%s\" left out: no memory for its record", name ? name : "");
    }
    directDraw->methods->Release(directDraw);
    return TRUE;
}

/* Whether the system emulates 16-bit modes for DirectDraw programs: a
 * program without a manifest sees version 6.2 on Windows 8 and on every
 * later one. */
static int SystemEmulatesHighColour(void)
{
    OSVERSIONINFOA version;
    memset(&version, 0, sizeof version);
    version.dwOSVersionInfoSize = sizeof version;
    if (!GetVersionExA(&version)) {
        Trace("the system's version could not be read (error %lu): only the drivers' own 16-bit modes are offered",
              (unsigned long)GetLastError());
        return 0;
    }
    return EmulatesHighColourModes(version.dwMajorVersion, version.dwMinorVersion);
}

int ScanDisplayDevices(const DirectDrawEntries *entries)
{
    DriverPass pass;
    ScanBegin(&pass.scan, SystemEmulatesHighColour());
    pass.create = entries->create;
    pass.hardwareSuffix = GetText(TEXT_HARDWARE_SUFFIX);
    if (!HasDirectDrawEntries(entries))
        return 0;
    HRESULT result = entries->enumerate(StoreDriver, &pass);
    if (result != KVL_DD_OK) {
        Trace("display drivers not enumerated (0x%08lx): no device to offer",
              (unsigned long)result);
        return 0;
    }
    return ScanFinish(&pass.scan, GetText(TEXT_SOFTWARE_RENDERER));
}
