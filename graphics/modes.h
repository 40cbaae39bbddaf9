/* Display modes: which modes a device offers the game, their order, the one
 * proposed, and how the mode list writes them. Nothing here needs Win32. */
#ifndef KVL_GRAPHICS_MODES_H
#define KVL_GRAPHICS_MODES_H

#include "graphics/displaydevice.h"

#define MODE_LABEL_SIZE     100   /* "%d x %d - %d bits": 99 characters */

/* Proposed sizes: a device with 3D hardware runs the game at 640 x 480,
 * the software renderer at 320 x 240. */
#define HARDWARE_DEFAULT_WIDTH   640
#define HARDWARE_DEFAULT_HEIGHT  480
#define SOFTWARE_DEFAULT_WIDTH   320
#define SOFTWARE_DEFAULT_HEIGHT  240

/* What a driver reports while its modes are enumerated, before the device
 * keeps any: every distinct mode of 15 or 16 bits and, for a driver that
 * turns out to list true colour only, every distinct size of 24 or 32
 * bits. A driver of today lists dozens of sizes at each depth, in any
 * order, and the device keeps the smallest 20: those the game was made
 * for. Each set keeps its bound; once it is full, a smaller newcomer takes
 * the place of the largest entry, so the set always holds the smallest
 * ones reported, whatever their order. */
#define MAX_COLLECTED_MODES 512
#define MAX_COLLECTED_SIZES 512

struct ModeCollection {
    int modeCount;
    DisplayMode modes[MAX_COLLECTED_MODES];   /* 15 or 16 bits */
    int sizeCount;
    DisplayMode sizes[MAX_COLLECTED_SIZES];   /* true colour, stored as 16 bits */
};

/* Empties the collection for the next driver. */
void ClearModes(ModeCollection *collection);
/* Mode filter: collects one reported mode; 8-bit modes and repeats count
 * for nothing. Answers 1 to go on. */
int CollectMode(ModeCollection *collection, int width, int height, int bitsPerPixel);
/* Windows 8 and later (version 6.2 and above) have no 15- or 16-bit modes
 * in their display drivers and emulate them for DirectDraw programs. */
int EmulatesHighColourModes(unsigned long majorVersion, unsigned long minorVersion);
/* The device's modes: the smallest 20 of the collected 15- and 16-bit
 * modes, in sort order. A driver that reported none of those gets its
 * true-colour sizes as 16-bit modes instead when emulatedHighColour is
 * set (EmulatesHighColourModes), and no mode otherwise. */
void TakeCollectedModes(const ModeCollection *collection, int emulatedHighColour, DisplayDevice *device);
/* Ascending bits per pixel, then width, then height. */
void SortModes(DisplayDevice *device);
/* First mode of exactly the proposed size, else the last of the proposed
 * width, else defaultMode stays as it is. */
void ChooseDefaultMode(DisplayDevice *device);
/* "%d x %d - %d bits" into label[MODE_LABEL_SIZE]. */
void FormatModeLabel(const DisplayMode *mode, char *label);

#endif
