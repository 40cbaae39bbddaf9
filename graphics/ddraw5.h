/* The part of DirectDraw of DirectX 5 that the launcher uses, declared
 * here in its DirectX 5 layout: the driver and mode enumerations, the
 * first interface's method table (the launcher calls EnumDisplayModes,
 * GetCaps and Release only) and the library's two entry points. The
 * capability record of 364 bytes is in devices.h, whose device record
 * keeps it. */
#ifndef KVL_GRAPHICS_DDRAW5_H
#define KVL_GRAPHICS_DDRAW5_H

#include <windows.h>
#include <stddef.h>

#include "graphics/devices.h"

#define KVL_DD_OK             0
#define KVL_DDENUMRET_OK      1
#define KVL_DDENUMRET_CANCEL  0

struct DdPixelFormat5 {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwFourCC;
    DWORD dwRGBBitCount;
    DWORD dwRBitMask;
    DWORD dwGBitMask;
    DWORD dwBBitMask;
    DWORD dwRGBAlphaBitMask;
};

struct DdColourKey5 {
    DWORD low;
    DWORD high;
};

struct DdSurfaceDesc5 {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwHeight;
    DWORD dwWidth;
    LONG lPitch;
    DWORD dwBackBufferCount;
    DWORD dwRefreshRate;
    DWORD dwAlphaBitDepth;
    DWORD dwReserved;
    void *lpSurface;
    DdColourKey5 colourKeys[4];
    DdPixelFormat5 ddpfPixelFormat;
    DWORD ddsCaps;
};
/* The sizes that ddraw.dll of each pointer size expects (its dwSize check):
 * the surface pointer is aligned to its own size, and the record to that. */
static_assert(sizeof(void *) == 8 || sizeof(DdSurfaceDesc5) == 108, "32-bit DirectX 5 DDSURFACEDESC is 108 bytes");
static_assert(sizeof(void *) == 4 || sizeof(DdSurfaceDesc5) == 120, "64-bit DirectX 5 DDSURFACEDESC is 120 bytes");
static_assert(offsetof(DdSurfaceDesc5, ddpfPixelFormat) == (sizeof(void *) == 8 ? 80 : 72),
              "DDSURFACEDESC's pixel format follows the surface pointer and the colour keys");

struct DirectDraw5;
typedef HRESULT (WINAPI *DdEnumModesCallback)(DdSurfaceDesc5 *mode, void *context);

/* IDirectDraw's method table, in its order. */
struct DirectDraw5Methods {
    HRESULT (WINAPI *QueryInterface)(DirectDraw5 *self, const IID *iid, void **out);
    ULONG (WINAPI *AddRef)(DirectDraw5 *self);
    ULONG (WINAPI *Release)(DirectDraw5 *self);
    void *Compact;
    void *CreateClipper;
    void *CreatePalette;
    void *CreateSurface;
    void *DuplicateSurface;
    HRESULT (WINAPI *EnumDisplayModes)(DirectDraw5 *self, DWORD flags, DdSurfaceDesc5 *match,
                                       void *context, DdEnumModesCallback callback);
    void *EnumSurfaces;
    void *FlipToGDISurface;
    HRESULT (WINAPI *GetCaps)(DirectDraw5 *self, DdCaps5 *driverCaps, DdCaps5 *emulationCaps);
    void *GetDisplayMode;
    void *GetFourCCCodes;
    void *GetGDISurface;
    void *GetMonitorFrequency;
    void *GetScanLine;
    void *GetVerticalBlankStatus;
    void *Initialize;
    void *RestoreDisplayMode;
    void *SetCooperativeLevel;
    void *SetDisplayMode;
    void *WaitForVerticalBlank;
};

struct DirectDraw5 {
    const DirectDraw5Methods *methods;
};

typedef BOOL (WINAPI *DdEnumDriversCallback)(GUID *guid, char *description, char *name,
                                             void *context);
typedef HRESULT (WINAPI *DirectDrawCreateFn)(GUID *guid, DirectDraw5 **out, void *outer);
typedef HRESULT (WINAPI *DirectDrawEnumerateFn)(DdEnumDriversCallback callback, void *context);

#endif
