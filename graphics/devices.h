/* The display device list: the process-wide record of the display devices
 * the last scan found, which the graphics setup shows and the game's
 * settings name; the bookkeeping of a scan that builds it; the software
 * renderer entry and the preference for a 3Dfx board. Nothing here needs
 * Win32: the DirectDraw glue (ddraw_win.cpp) feeds the scan from its
 * enumeration callbacks, and the tests feed it scripted drivers. */
#ifndef KVL_GRAPHICS_DEVICES_H
#define KVL_GRAPHICS_DEVICES_H

#include <stdint.h>

#include "graphics/modes.h"

/* Display drivers a scan keeps; DirectDraw reports the primary display and
 * the add-on boards, a handful on any machine. One more slot holds the
 * software renderer entry when every driver has 3D hardware. */
#define MAX_DISPLAY_DRIVERS 16
#define DEVICE_TEXT_SIZE    256   /* labels and driver names: 255 characters */
#define DDCAPS_3D           0x00000001u

/* DirectDraw's capability record as DirectX 5 lays it out (364 bytes). The
 * launcher only looks at dwCaps, but GetCaps fills the whole record. */
struct DdCaps5 {
    uint32_t dwSize;
    uint32_t dwCaps;
    uint32_t dwCaps2;
    uint32_t dwCKeyCaps;
    uint32_t dwFXCaps;
    uint32_t dwFXAlphaCaps;
    uint32_t dwPalCaps;
    uint32_t dwSVCaps;
    uint32_t dwAlphaBltConstBitDepths;
    uint32_t dwAlphaBltPixelBitDepths;
    uint32_t dwAlphaBltSurfaceBitDepths;
    uint32_t dwAlphaOverlayConstBitDepths;
    uint32_t dwAlphaOverlayPixelBitDepths;
    uint32_t dwAlphaOverlaySurfaceBitDepths;
    uint32_t dwZBufferBitDepths;
    uint32_t dwVidMemTotal;
    uint32_t dwVidMemFree;
    uint32_t dwMaxVisibleOverlays;
    uint32_t dwCurrVisibleOverlays;
    uint32_t dwNumFourCCCodes;
    uint32_t dwAlignBoundarySrc;
    uint32_t dwAlignSizeSrc;
    uint32_t dwAlignBoundaryDest;
    uint32_t dwAlignSizeDest;
    uint32_t dwAlignStrideAlign;
    uint32_t dwRops[8];
    uint32_t ddsCaps;
    uint32_t dwMinOverlayStretch;
    uint32_t dwMaxOverlayStretch;
    uint32_t dwMinLiveVideoStretch;
    uint32_t dwMaxLiveVideoStretch;
    uint32_t dwMinHwCodecStretch;
    uint32_t dwMaxHwCodecStretch;
    uint32_t dwReserved1;
    uint32_t dwReserved2;
    uint32_t dwReserved3;
    uint32_t dwSVBCaps;
    uint32_t dwSVBCKeyCaps;
    uint32_t dwSVBFXCaps;
    uint32_t dwSVBRops[8];
    uint32_t dwVSBCaps;
    uint32_t dwVSBCKeyCaps;
    uint32_t dwVSBFXCaps;
    uint32_t dwVSBRops[8];
    uint32_t dwSSBCaps;
    uint32_t dwSSBCKeyCaps;
    uint32_t dwSSBFXCaps;
    uint32_t dwSSBRops[8];
    uint32_t dwMaxVideoPorts;
    uint32_t dwCurrVideoPorts;
    uint32_t dwSVBCaps2;
    uint32_t dwNLVBCaps;
    uint32_t dwNLVBCaps2;
    uint32_t dwNLVBCKeyCaps;
    uint32_t dwNLVBFXCaps;
    uint32_t dwNLVBRops[8];
};
#define DDCAPS_DX5_SIZE 364
static_assert(sizeof(DdCaps5) == DDCAPS_DX5_SIZE, "DirectX 5 DDCAPS is 364 bytes");

struct DisplayDevice {
    int isPrimaryDriver;              /* reported without a GUID */
    unsigned char guid[16];
    char label[DEVICE_TEXT_SIZE];
    char driverName[DEVICE_TEXT_SIZE];
    DdCaps5 helCaps;                  /* DirectDraw's emulation layer */
    DdCaps5 halCaps;                  /* the driver itself */
    int isHardware;                   /* halCaps has DDCAPS_3D */
    int modeCount;
    DisplayMode modes[MAX_DISPLAY_MODES];
    int defaultMode;
};

/* ---- The device scan, step by step ------------------------------------- */

/* One pass over the drivers, each opened once. The caller keeps it for
 * the pass and hands it to DirectDraw's enumeration callbacks through
 * their context argument; the list itself is the process-wide one. */
struct DeviceScan {
    int underWay;
    int storing;   /* index of the record the mode callback fills; -1 none */
};

/* Releases the previous list and starts a scan. */
void ScanBegin(DeviceScan *scan);
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
/* Mode callback of the device being stored; 0 (stop) when there is none. */
int ScanAddMode(DeviceScan *scan, int width, int height, int bitsPerPixel);
/* Sorts the stored device's modes and chooses its default. */
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
