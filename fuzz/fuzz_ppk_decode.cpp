/* Any bytes as a packed image file, and as a raw LZSS stream checked
 * against a byte-by-byte ring decoder (output and ring, across calls). */
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "artbook/lzss.h"
#include "artbook/lzsspack.h"
#include "artbook/ppk.h"
#include "tests/native/lzss_reference.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    /* As a whole file: restored into a new buffer, and into a small one. */
    unsigned char *restored = UnpackPpkImage(data, size, NULL, 0);
    free(restored);
    unsigned char small[64];
    UnpackPpkImage(data, size, small, sizeof small);

    /* As a stream, the first byte choosing the output's capacity. */
    if (size == 0)
        return 0;
    /* Both start from the ring the decodes above left behind. */
    memcpy(RefRing, LzssRing(), LZSS_RING_SIZE);
    size_t cap = (size_t)data[0] * 37;
    unsigned char *a = (unsigned char *)malloc(cap + 1);
    unsigned char *b = (unsigned char *)malloc(cap + 1);
    size_t n = LzssDecode(a, cap, data + 1, size - 1);
    size_t m = RefDecode(b, cap, data + 1, size - 1);
    if (n != m || memcmp(a, b, n) != 0 || memcmp(LzssRing(), RefRing, LZSS_RING_SIZE) != 0)
        abort();
    LzssStreamInfo info;
    LzssInspect(data + 1, size - 1, &info);
    if (n < cap && info.produced != n)
        abort();
    free(a);
    free(b);
    return 0;
}
