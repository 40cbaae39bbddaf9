/* Display modes: which modes a device offers the game, their order, the one
 * proposed, and how the mode list writes them. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "graphics/modes.h"

/* Depth, then width, then height, all as signed numbers. */
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

/* Adds mode to a set of distinct modes bounded by capacity: a repeat is
 * dropped, and a full set lets a newcomer in only in place of its largest
 * entry, when the newcomer sorts before it. */
static void KeepDistinct(DisplayMode *set, int *count, int capacity, const DisplayMode *mode)
{
    int largest = -1;
    for (int i = 0; i < *count; i++) {
        if (CompareModes(&set[i], mode) == 0)
            return;
        if (largest < 0 || CompareModes(&set[i], &set[largest]) > 0)
            largest = i;
    }
    if (*count < capacity)
        set[(*count)++] = *mode;
    else if (largest >= 0 && CompareModes(mode, &set[largest]) < 0)
        set[largest] = *mode;
}

void ClearModes(ModeCollection *collection)
{
    collection->modeCount = 0;
    collection->sizeCount = 0;
}

int CollectMode(ModeCollection *collection, int width, int height, int bitsPerPixel)
{
    DisplayMode mode = { width, height, bitsPerPixel };
    /* The game draws in 15 or 16 bits only. */
    if (bitsPerPixel == 15 || bitsPerPixel == 16) {
        KeepDistinct(collection->modes, &collection->modeCount, MAX_COLLECTED_MODES, &mode);
    } else if (bitsPerPixel == 24 || bitsPerPixel == 32) {
        /* Kept as the 16-bit mode that Windows would emulate at this size. */
        mode.bitsPerPixel = 16;
        KeepDistinct(collection->sizes, &collection->sizeCount, MAX_COLLECTED_SIZES, &mode);
    }
    return 1;
}

int EmulatesHighColourModes(unsigned long majorVersion, unsigned long minorVersion)
{
    return majorVersion > 6 || (majorVersion == 6 && minorVersion >= 2);
}

void TakeCollectedModes(const ModeCollection *collection, int emulatedHighColour, DisplayDevice *device)
{
    const DisplayMode *source = collection->modes;
    int count = collection->modeCount;
    /* Only a driver without any 15- or 16-bit mode of its own: one that
     * lists a single such mode keeps exactly what it lists. */
    if (count == 0 && emulatedHighColour) {
        source = collection->sizes;
        count = collection->sizeCount;
    }
    if (count < 0 || count > MAX_COLLECTED_MODES)
        count = 0;
    DisplayMode sorted[MAX_COLLECTED_MODES];
    memcpy(sorted, source, (size_t)count * sizeof sorted[0]);
    if (count > 1)
        qsort(sorted, (size_t)count, sizeof sorted[0], CompareModes);
    if (count > MAX_DISPLAY_MODES)
        count = MAX_DISPLAY_MODES;
    memcpy(device->modes, sorted, (size_t)count * sizeof sorted[0]);
    device->modeCount = count;
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
