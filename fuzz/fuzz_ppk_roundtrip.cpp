/* Any bytes packed both ways and restored: exact, and the packed stream is
 * complete and never depends on what an earlier decode left in the ring. */
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "artbook/lzsspack.h"
#include "artbook/ppk.h"
#include "artbook/ppkpack.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    for (int stored = 0; stored < 2; stored++) {
        size_t imageSize = 0;
        unsigned char *image = PackPpkImage(data, size, stored, &imageSize);
        if (!image)
            abort();
        if (!stored) {
            LzssStreamInfo info;
            LzssInspect(image + PPK_HEADER_SIZE, imageSize - PPK_HEADER_SIZE, &info);
            if (info.truncated || info.readsLeftover || info.produced != size)
                abort();
        }
        unsigned char *restored = UnpackPpkImage(image, imageSize, NULL, 0);
        if (!restored || (size && memcmp(restored, data, size) != 0))
            abort();
        free(restored);
        free(image);
    }
    return 0;
}
