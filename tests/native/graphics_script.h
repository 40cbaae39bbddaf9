/* Scripted display drivers for the device-scan tests: the pass over the
 * drivers is fed to the scan steps the way the DirectDraw callback feeds
 * them. */
#ifndef KVL_TESTS_GRAPHICS_SCRIPT_H
#define KVL_TESTS_GRAPHICS_SCRIPT_H

#include <string.h>
#include <string>
#include <vector>

#include "graphics/devices.h"

#define SOFTWARE_LABEL "Brixolan renderer - Logiciel"

struct ScriptedDriver {
    bool primary;                      /* reported without a GUID */
    unsigned char guidByte;            /* every byte of its GUID otherwise */
    std::string description;
    std::string name;
    bool is3D;
    std::vector<DisplayMode> modes;    /* as reported, any depth */
    bool opens = true;                 /* DirectDraw opens it */
};

inline ScriptedDriver Primary2D(std::vector<DisplayMode> modes)
{
    return { true, 0, "Carte principale", "display", false, modes };
}

inline ScriptedDriver Board(unsigned char id, const std::string &description, bool is3D,
                            std::vector<DisplayMode> modes)
{
    return { false, id, description, "board" + std::to_string(id), is3D, modes };
}

/* The driver list as DirectDraw reports it, fed to the scan the way the
 * enumeration callback feeds it; the scan ends in *scan when given. With
 * emulatedHighColour, the system is one that emulates 16-bit modes. */
inline int RunScan(const std::vector<ScriptedDriver> &drivers, DeviceScan *scan = nullptr,
                   int emulatedHighColour = 0)
{
    DeviceScan local;
    if (!scan)
        scan = &local;
    ScanBegin(scan, emulatedHighColour);
    for (const ScriptedDriver &d : drivers) {
        if (!ScanHasRoom(scan) || !d.opens)
            continue;
        DdCaps5 hal, hel;
        memset(&hal, 0, sizeof hal);
        memset(&hel, 0, sizeof hel);
        hal.dwSize = hel.dwSize = DDCAPS_DX5_SIZE;
        hal.dwCaps = d.is3D ? DDCAPS_3D : 0x40u;
        hel.dwCaps = DDCAPS_3D;   /* the emulation layer never decides */
        unsigned char guid[16];
        memset(guid, d.guidByte, sizeof guid);
        DisplayDevice *device = ScanStoreDevice(scan, d.primary ? nullptr : guid,
                                                d.description.c_str(), d.name.c_str(), &hal, &hel,
                                                "Hardware");
        if (!device)
            continue;
        for (const DisplayMode &m : d.modes)
            if (!ScanAddMode(scan, m.width, m.height, m.bitsPerPixel))
                break;
        ScanEndDevice(scan);
    }
    return ScanFinish(scan, SOFTWARE_LABEL);
}

#endif
