/* Building packed image files. */
#include "artbook/ppkpack.h"

#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "artbook/lzsspack.h"

static void Write32(unsigned char *p, unsigned long v)
{
    p[0] = (unsigned char)(v & 0xFF);
    p[1] = (unsigned char)((v >> 8) & 0xFF);
    p[2] = (unsigned char)((v >> 16) & 0xFF);
    p[3] = (unsigned char)((v >> 24) & 0xFF);
}

/* The header's lengths are 32-bit fields. */
static int FitsHeaderField(uint64_t n) { return n <= 0xFFFFFFFFu; }

unsigned char *PackPpkImage(const unsigned char *data, size_t n, int stored, size_t *imageSize)
{
    *imageSize = 0;
    if (!FitsHeaderField(n))
        return NULL;
    size_t bound = stored ? n : LzssEncodeBound(n);
    if (bound > SIZE_MAX - PPK_HEADER_SIZE)
        return NULL;
    unsigned char *image = (unsigned char *)calloc(PPK_HEADER_SIZE + bound, 1);
    if (!image)
        return NULL;
    size_t packed = n;
    if (stored) {
        if (n)
            memcpy(image + PPK_HEADER_SIZE, data, n);
    } else if (!LzssEncode(data, n, image + PPK_HEADER_SIZE, bound, &packed)) {
        free(image);
        return NULL;
    }
    Write32(image, (unsigned long)packed);
    Write32(image + 4, (unsigned long)n);
    image[8] = stored ? PPK_MARKER_STORED : PPK_MARKER_PACKED;
    *imageSize = PPK_HEADER_SIZE + packed;
    return image;
}

