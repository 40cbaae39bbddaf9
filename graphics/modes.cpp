/* Display modes: which modes a device offers the game, their order, the one
 * proposed, and how the mode list writes them. */
#include <stdio.h>
#include <stdlib.h>

#include "graphics/modes.h"
#include "graphics/devices.h"

int AddDisplayMode(DisplayDevice *device, int width, int height, int bitsPerPixel)
{
    /* The game draws in 15 or 16 bits only. */
    if (bitsPerPixel != 15 && bitsPerPixel != 16)
        return 1;
    if (device->modeCount < 0 || device->modeCount >= MAX_DISPLAY_MODES)
        return 1;
    DisplayMode *mode = &device->modes[device->modeCount];
    mode->width = width;
    mode->height = height;
    mode->bitsPerPixel = bitsPerPixel;
    device->modeCount++;
    return 1;
}

static int CompareModes(const void *a, const void *b)
{
    const DisplayMode *x = (const DisplayMode *)a;
    const DisplayMode *y = (const DisplayMode *)b;
    if (x->bitsPerPixel != y->bitsPerPixel)
        return x->bitsPerPixel < y->bitsPerPixel ? -1 : 1;
    if (x->width != y->width)
        return x->width < y->width ? -1 : 1;
    if (x->height != y->height)
        return x->height < y->height ? -1 : 1;
    return 0;
}

void SortModes(DisplayDevice *device)
{
    if (device->modeCount > 1 && device->modeCount <= MAX_DISPLAY_MODES)
        qsort(device->modes, (size_t)device->modeCount, sizeof device->modes[0], CompareModes);
}

void ChooseDefaultMode(DisplayDevice *device)
{
    int width = device->isHardware ? HARDWARE_DEFAULT_WIDTH : SOFTWARE_DEFAULT_WIDTH;
    int height = device->isHardware ? HARDWARE_DEFAULT_HEIGHT : SOFTWARE_DEFAULT_HEIGHT;
    int count = device->modeCount;
    if (count > MAX_DISPLAY_MODES)
        count = MAX_DISPLAY_MODES;
    /* Every mode of the proposed width moves the choice, across both
     * depths, until one also has the proposed height. Without any, the
     * choice made before (0, or the copied device's) stays. */
    for (int i = 0; i < count; i++) {
        if (device->modes[i].width != width)
            continue;
        device->defaultMode = i;
        if (device->modes[i].height == height)
            break;
    }
}

void FormatModeLabel(const DisplayMode *mode, char *label)
{
    snprintf(label, MODE_LABEL_SIZE, "%d x %d - %d bits", mode->width, mode->height,
             mode->bitsPerPixel);
}
