/* The records of a display device and its display modes, as the device
 * scan fills them and the graphics setup reads them. Nothing here needs
 * Win32. */
#ifndef KVL_GRAPHICS_DISPLAYDEVICE_H
#define KVL_GRAPHICS_DISPLAYDEVICE_H

#include <stdint.h>

#define MAX_DISPLAY_MODES   20    /* modes a device offers */

struct DisplayMode {
    int width;
    int height;
    int bitsPerPixel;
};

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
/* Only 32-bit fields: the same 364 bytes for either pointer size. */
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

#endif
