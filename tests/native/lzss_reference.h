/* The textbook ring decoder that the fast one must equal byte for byte,
 * ring included: every byte goes through its own process-wide ring, and it
 * stops at the same places (output full, a token cut short). Shared by the
 * native tests, the decoder's fuzz target and the benchmark. */
#ifndef KVL_LZSS_REFERENCE_H
#define KVL_LZSS_REFERENCE_H

#include <stddef.h>
#include <string.h>

#include "artbook/lzss.h"

static unsigned char RefRing[LZSS_RING_SIZE];

static inline size_t RefDecode(unsigned char *out, size_t cap, const unsigned char *in, size_t len)
{
    memset(RefRing, ' ', LZSS_RING_START);
    unsigned r = LZSS_RING_START, flags = 0;
    size_t ip = 0, op = 0;
    while (ip < len) {
        flags >>= 1;
        if (!(flags & 0x100)) {
            flags = in[ip++] | 0xFF00;
            if (ip == len)
                break;
        }
        if (flags & 1) {
            if (op == cap)
                break;
            out[op++] = RefRing[r] = in[ip++];
            r = (r + 1) & LZSS_RING_MASK;
        } else {
            if (len - ip < 2)
                break;
            unsigned pos = in[ip] | ((in[ip + 1] & 0xF0) << 4), count = (in[ip + 1] & 0x0F) + 3;
            ip += 2;
            for (unsigned k = 0; k < count; k++) {
                if (op == cap)
                    return op;
                out[op++] = RefRing[r] = RefRing[(pos + k) & LZSS_RING_MASK];
                r = (r + 1) & LZSS_RING_MASK;
            }
        }
    }
    return op;
}

#endif
