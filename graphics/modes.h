/* Display modes: which modes a device offers the game, their order, the one
 * proposed, and how the mode list writes them. Nothing here needs Win32. */
#ifndef KVL_GRAPHICS_MODES_H
#define KVL_GRAPHICS_MODES_H

#define MAX_DISPLAY_MODES   20
#define MODE_LABEL_SIZE     100   /* "%d x %d - %d bits": 99 characters */

/* Proposed sizes: a device with 3D hardware runs the game at 640 x 480,
 * the software renderer at 320 x 240. */
#define HARDWARE_DEFAULT_WIDTH   640
#define HARDWARE_DEFAULT_HEIGHT  480
#define SOFTWARE_DEFAULT_WIDTH   320
#define SOFTWARE_DEFAULT_HEIGHT  240

struct DisplayMode {
    int width;
    int height;
    int bitsPerPixel;
};

/* The record that holds a device's modes (graphics/devices.h). */
struct DisplayDevice;

/* Mode filter: stores a mode of 15 or 16 bits in the device (the first 20
 * only; later ones are dropped). Answers 1 to go on. */
int AddDisplayMode(DisplayDevice *device, int width, int height, int bitsPerPixel);
/* Ascending bits per pixel, then width, then height. */
void SortModes(DisplayDevice *device);
/* First mode of exactly the proposed size, else the last of the proposed
 * width, else defaultMode stays as it is. */
void ChooseDefaultMode(DisplayDevice *device);
/* "%d x %d - %d bits" into label[MODE_LABEL_SIZE]. */
void FormatModeLabel(const DisplayMode *mode, char *label);

#endif
