/* The display device list: the process-wide record of the display devices
 * the last scan found, which the graphics setup shows and the game's
 * settings name; the bookkeeping of a scan that builds it; the software
 * renderer entry and the preference for a 3Dfx board. Nothing here needs
 * Win32: the DirectDraw glue (ddraw_win.cpp) feeds the scan from its
 * enumeration callbacks, and the tests feed it scripted drivers. */
#ifndef KVL_GRAPHICS_DEVICES_H
#define KVL_GRAPHICS_DEVICES_H

#include "graphics/displaydevice.h"
#include "graphics/modes.h"

/* Display drivers a scan keeps; DirectDraw reports the primary display and
 * the add-on boards, a handful on any machine. One more slot holds the
 * software renderer entry when every driver has 3D hardware. */
#define MAX_DISPLAY_DRIVERS 16

/* ---- The device scan, step by step ------------------------------------- */

/* One pass over the drivers, each opened once. The caller keeps it for
 * the pass and hands it to DirectDraw's enumeration callbacks through
 * their context argument; the list itself is the process-wide one. */
struct DeviceScan {
    int underWay;
    int storing;   /* index of the record the mode callback fills; -1 none */
    int emulatedHighColour;      /* the system emulates 16-bit modes */
    ModeCollection collected;    /* what the driver being stored reports */
};

/* Releases the previous list and starts a scan. emulatedHighColour: the
 * system emulates 16-bit modes for a driver that lists true colour only
 * (EmulatesHighColourModes of its version). */
void ScanBegin(DeviceScan *scan, int emulatedHighColour);
/* 1 while the scan can still store a driver: the caller need not open the
 * drivers beyond MAX_DISPLAY_DRIVERS. */
int ScanHasRoom(const DeviceScan *scan);
/* Stores one driver that opened (guid null for the primary display driver)
 * and gives its record, on which the caller enumerates the modes
 * (ScanAddMode) before ScanEndDevice. Null when the driver is left out:
 * no scan under way, the list full, or no memory. */
DisplayDevice *ScanStoreDevice(DeviceScan *scan, const unsigned char *guid,
                               const char *description, const char *driverName,
                               const DdCaps5 *halCaps, const DdCaps5 *helCaps,
                               const char *hardwareSuffix);
/* Mode callback of the device being stored: collects the mode; 0 (stop)
 * when there is no device being stored. */
int ScanAddMode(DeviceScan *scan, int width, int height, int bitsPerPixel);
/* Gives the stored device its modes from those collected (the smallest
 * 20), sorts them and chooses its default. */
void ScanEndDevice(DeviceScan *scan);
/* After the enumeration: the software renderer entry (a separate one when
 * every stored driver has 3D hardware), the preferred device moved to the
 * head. 1 when some device has a mode; 0 also when nothing was stored. */
int ScanFinish(DeviceScan *scan, const char *softwareLabel);
/* Frees the list (tests, and the next scan). */
void FreeDeviceList(void);

/* Upper-cases a..z of text into a 256-byte buffer and looks for the names
 * of 3Dfx boards in it. */
int NamesA3dfxBoard(const char *label);

/* Whether a driver name is the one stored in a settings field of
 * storedSize bytes: the same bytes, letter case included. A name too long
 * for the field was stored cut to storedSize - 1 characters; a stored name
 * of that full length matches every driver name that begins with it. */
int DriverNameMatches(const char *driverName, const char *stored, int storedSize);

/* ---- The list as the setup dialog reads it ------------------------------ */
int GetDeviceCount(void);
const char *GetDeviceLabel(int device);
const char *GetDeviceDriverName(int device);
int IsHardwareDevice(int device);
int GetModeCount(int device);
const DisplayMode *GetMode(int device, int mode);
int GetDefaultMode(int device);
int GetPreferredDevice(void);
/* The whole record (tests). */
const DisplayDevice *GetDevice(int device);

#endif
