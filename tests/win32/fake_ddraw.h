/* A scripted DirectDraw for the Win32 tests: a driver list with GUIDs,
 * descriptions, names, 3D flags and modes, served through two entry points
 * in place of the module's, and an object whose method table has GetCaps,
 * EnumDisplayModes and Release. It checks what the launcher passes in and
 * counts the calls: DirectDraw's enumeration and opening of a driver are
 * slow, and a scan makes each once. */
#ifndef KVL_TESTS_FAKE_DDRAW_H
#define KVL_TESTS_FAKE_DDRAW_H

#include <windows.h>
#include <string.h>
#include <string>
#include <vector>

#include "graphics/ddraw_win.h"

namespace fakedd {

struct Driver {
    bool primary;
    unsigned char guidByte;
    std::string description;
    std::string name;
    bool is3D;
    std::vector<DisplayMode> modes;
    bool refuses = false;          /* DirectDrawCreate fails for it */
};

/* What a scan asked of one driver. */
struct Calls {
    int creates, caps, modeEnumerations, releases;
};

inline std::vector<Driver> &Drivers() { static std::vector<Driver> d; return d; }
inline HRESULT &EnumerateResult() { static HRESULT r = KVL_DD_OK; return r; }
inline int &LiveObjects() { static int n; return n; }
inline int &BadCapsSizes() { static int n; return n; }
inline int &Creates() { static int n; return n; }
inline int &Enumerations() { static int n; return n; }
/* Per driver, in the order of Drivers(). */
inline std::vector<Calls> &CallsOf() { static std::vector<Calls> c; return c; }
inline Calls &CallsOf(const Driver *d) { return CallsOf()[(size_t)(d - &Drivers()[0])]; }

struct Object {
    DirectDraw5 base;
    const Driver *driver;
};

inline HRESULT WINAPI GetCaps(DirectDraw5 *self, DdCaps5 *driverCaps, DdCaps5 *emulationCaps)
{
    const Driver *d = reinterpret_cast<Object *>(self)->driver;
    CallsOf(d).caps++;
    if (!driverCaps || !emulationCaps || driverCaps->dwSize != DDCAPS_DX5_SIZE ||
        emulationCaps->dwSize != DDCAPS_DX5_SIZE) {
        BadCapsSizes()++;
        return E_INVALIDARG;
    }
    memset(driverCaps, 0xA5, sizeof *driverCaps);   /* the whole record is written */
    driverCaps->dwSize = DDCAPS_DX5_SIZE;
    driverCaps->dwCaps = d->is3D ? DDCAPS_3D | 0x40u : 0x40u;
    memset(emulationCaps, 0, sizeof *emulationCaps);
    emulationCaps->dwSize = DDCAPS_DX5_SIZE;
    emulationCaps->dwCaps = DDCAPS_3D;
    return KVL_DD_OK;
}

inline HRESULT WINAPI EnumDisplayModes(DirectDraw5 *self, DWORD, DdSurfaceDesc5 *, void *context,
                                       DdEnumModesCallback callback)
{
    const Driver *d = reinterpret_cast<Object *>(self)->driver;
    CallsOf(d).modeEnumerations++;
    for (const DisplayMode &m : d->modes) {
        DdSurfaceDesc5 desc;
        memset(&desc, 0, sizeof desc);
        desc.dwSize = sizeof desc;
        desc.dwWidth = (DWORD)m.width;
        desc.dwHeight = (DWORD)m.height;
        desc.ddpfPixelFormat.dwSize = sizeof desc.ddpfPixelFormat;
        desc.ddpfPixelFormat.dwRGBBitCount = (DWORD)m.bitsPerPixel;
        if (callback(&desc, context) == KVL_DDENUMRET_CANCEL)
            break;
    }
    return KVL_DD_OK;
}

inline ULONG WINAPI Release(DirectDraw5 *self)
{
    LiveObjects()--;
    CallsOf(reinterpret_cast<Object *>(self)->driver).releases++;
    delete reinterpret_cast<Object *>(self);
    return 0;
}

inline const DirectDraw5Methods *Methods()
{
    static DirectDraw5Methods methods;
    methods.Release = Release;
    methods.GetCaps = GetCaps;
    methods.EnumDisplayModes = EnumDisplayModes;
    return &methods;
}

inline HRESULT WINAPI Create(GUID *guid, DirectDraw5 **out, void *)
{
    Creates()++;
    for (const Driver &d : Drivers()) {
        unsigned char bytes[16];
        memset(bytes, d.guidByte, sizeof bytes);
        bool same = d.primary ? guid == nullptr : guid && memcmp(guid, bytes, 16) == 0;
        if (!same)
            continue;
        CallsOf(&d).creates++;
        if (d.refuses)
            return E_FAIL;
        Object *object = new Object;
        object->base.methods = Methods();
        object->driver = &d;
        LiveObjects()++;
        *out = &object->base;
        return KVL_DD_OK;
    }
    return E_FAIL;
}

inline HRESULT WINAPI Enumerate(DdEnumDriversCallback callback, void *context)
{
    Enumerations()++;
    for (const Driver &d : Drivers()) {
        GUID guid;
        memset(&guid, d.guidByte, sizeof guid);
        std::string description = d.description, name = d.name;
        if (!callback(d.primary ? nullptr : &guid, &description[0], &name[0], context))
            break;
    }
    return EnumerateResult();
}

/* Scripts the drivers that the entry points of Entries() serve. */
inline void Install(const std::vector<Driver> &drivers)
{
    Drivers() = drivers;
    EnumerateResult() = KVL_DD_OK;
    LiveObjects() = 0;
    BadCapsSizes() = 0;
    Creates() = 0;
    Enumerations() = 0;
    CallsOf().assign(drivers.size(), Calls());
}

/* The scripted entry points, to use in place of ddraw.dll's. */
inline DirectDrawEntries Entries(DirectDrawEnumerateFn enumerate = Enumerate)
{
    DirectDrawEntries entries = { NULL, Create, enumerate };
    return entries;
}

/* Empty when a scan opened every driver once and asked each opened one for
 * its caps and modes once, in one enumeration, and released it; else what
 * differed. */
inline std::string OnePassFault()
{
    if (Enumerations() != 1)
        return std::to_string(Enumerations()) + " enumerations";
    for (size_t i = 0; i < Drivers().size(); i++) {
        const Calls &c = CallsOf()[i];
        int opened = Drivers()[i].refuses ? 0 : 1;
        if (c.creates != 1 || c.caps != opened || c.modeEnumerations != opened ||
            c.releases != opened)
            return "driver " + std::to_string(i) + ": " + std::to_string(c.creates) +
                   " creates, " + std::to_string(c.caps) + " caps, " +
                   std::to_string(c.modeEnumerations) + " mode enumerations, " +
                   std::to_string(c.releases) + " releases";
    }
    return "";
}

inline const std::vector<DisplayMode> &PcModes()
{
    static const std::vector<DisplayMode> modes = {
        { 1024, 768, 16 }, { 800, 600, 16 }, { 640, 480, 16 }, { 320, 240, 16 },
        { 640, 480, 32 }, { 320, 240, 8 }, { 640, 480, 15 }
    };
    return modes;
}

}

#endif
