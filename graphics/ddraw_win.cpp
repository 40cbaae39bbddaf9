/* DirectDraw at run time: loading ddraw.dll, and the pass over its display
 * drivers that builds the device list. Enumerating the drivers and opening
 * one are DirectDraw's slow calls, so each is made once per scan: every
 * driver is opened once, asked for its caps and modes, and released before
 * the callback that opened it returns. */
#include <windows.h>
#include <string.h>

#include "common/texttable.h"
#include "graphics/ddraw5.h"
#include "graphics/graphics.h"

static HMODULE DirectDrawLibrary;
static DirectDrawCreateFn DirectDrawCreateEntry;
static DirectDrawEnumerateFn DirectDrawEnumerateEntry;

static int DoubleInstalled;
static DirectDrawCreateFn DoubleCreate;
static DirectDrawEnumerateFn DoubleEnumerate;

void InstallDirectDrawDouble(DirectDrawCreateFn create, DirectDrawEnumerateFn enumerate)
{
    DoubleInstalled = 1;
    DoubleCreate = create;
    DoubleEnumerate = enumerate;
}

void RemoveDirectDrawDouble(void)
{
    DoubleInstalled = 0;
    DoubleCreate = 0;
    DoubleEnumerate = 0;
}

template <typename Fn> static Fn EntryPoint(HMODULE library, const char *name)
{
    FARPROC proc = GetProcAddress(library, name);
    return reinterpret_cast<Fn>(reinterpret_cast<void *>(proc));
}

int LoadDirectDraw(void)
{
    DirectDrawCreateEntry = 0;
    DirectDrawEnumerateEntry = 0;
    if (DoubleInstalled) {
        DirectDrawCreateEntry = DoubleCreate;
        DirectDrawEnumerateEntry = DoubleEnumerate;
        return DirectDrawCreateEntry && DirectDrawEnumerateEntry ? 1 : 0;
    }
    DirectDrawLibrary = LoadLibraryA("ddraw.dll");
    if (!DirectDrawLibrary)
        return 0;
    /* A failure from here on leaves the library loaded: the caller's
     * UnloadDirectDraw frees it. */
    DirectDrawCreateEntry = EntryPoint<DirectDrawCreateFn>(DirectDrawLibrary, "DirectDrawCreate");
    if (!DirectDrawCreateEntry)
        return 0;
    DirectDrawEnumerateEntry =
        EntryPoint<DirectDrawEnumerateFn>(DirectDrawLibrary, "DirectDrawEnumerateA");
    if (!DirectDrawEnumerateEntry)
        return 0;
    return 1;
}

void UnloadDirectDraw(void)
{
    if (DirectDrawLibrary)
        FreeLibrary(DirectDrawLibrary);
    DirectDrawLibrary = 0;
    DirectDrawCreateEntry = 0;
    DirectDrawEnumerateEntry = 0;
}

/* Opens one driver; null when DirectDraw refuses it. */
static DirectDraw5 *OpenDriver(GUID *guid)
{
    DirectDraw5 *directDraw = 0;
    if (DirectDrawCreateEntry(guid, &directDraw, 0) != KVL_DD_OK)
        return 0;
    return directDraw;
}

static void GetDriverCaps(DirectDraw5 *directDraw, DdCaps5 *halCaps, DdCaps5 *helCaps)
{
    memset(halCaps, 0, sizeof *halCaps);
    memset(helCaps, 0, sizeof *helCaps);
    halCaps->dwSize = DDCAPS_DX5_SIZE;
    helCaps->dwSize = DDCAPS_DX5_SIZE;
    directDraw->methods->GetCaps(directDraw, halCaps, helCaps);
}

static HRESULT WINAPI AddMode(DdSurfaceDesc5 *mode, void *)
{
    return ScanAddMode((int)mode->dwWidth, (int)mode->dwHeight,
                       (int)mode->ddpfPixelFormat.dwRGBBitCount);
}

int EnumerateModes(DirectDraw5 *directDraw, DisplayDevice *device)
{
    device->modeCount = 0;
    HRESULT result = directDraw->methods->EnumDisplayModes(directDraw, 0, 0, directDraw, AddMode);
    return result == KVL_DD_OK ? 1 : 0;
}

static BOOL WINAPI StoreDriver(GUID *guid, char *description, char *name, void *)
{
    /* A full list takes no more drivers: none is opened in vain. */
    if (!ScanHasRoom())
        return TRUE;
    DirectDraw5 *directDraw = OpenDriver(guid);
    if (!directDraw)
        return TRUE;
    DdCaps5 halCaps, helCaps;
    GetDriverCaps(directDraw, &halCaps, &helCaps);
    DisplayDevice *device = ScanStoreDevice((const unsigned char *)guid, description, name,
                                            &halCaps, &helCaps, GetText(95));
    if (device) {
        EnumerateModes(directDraw, device);
        ScanEndDevice();
    }
    directDraw->methods->Release(directDraw);
    return TRUE;
}

int ScanDisplayDevices(void)
{
    ScanBegin();
    if (!DirectDrawCreateEntry || !DirectDrawEnumerateEntry)
        return 0;
    if (DirectDrawEnumerateEntry(StoreDriver, 0) != KVL_DD_OK)
        return 0;
    return ScanFinish(GetText(96));
}
