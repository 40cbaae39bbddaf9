/* The LZSS tools' side: packing, a reading of what a stream holds, and a
 * look at the decoder's ring. Only the ppk tool, the tests, the fuzzers and
 * the benchmark link it (library artbook_pack): the launcher only decodes.
 * Win32-free. */
#ifndef KVL_LZSSPACK_H
#define KVL_LZSSPACK_H

#include <stddef.h>

#include "artbook/lzss.h"

/* The process-wide ring as the last decode left it. */
const unsigned char *LzssRing(void);

/* What a stream holds, without producing it: bytes produced, bytes of the
 * stream used, whether it ends inside a token, and whether it reads ring
 * positions 4078-4095 before writing them (their content then depends on
 * the previous decode). */
struct LzssStreamInfo {
    size_t produced;
    size_t consumed;
    int truncated;
    int readsLeftover;
};
void LzssInspect(const unsigned char *in, size_t length, LzssStreamInfo *info);

/* Worst-case packed size of n bytes (all literals). */
size_t LzssEncodeBound(size_t n);
/* Packs n bytes into out (capacity at least LzssEncodeBound(n)) with a
 * hash-chain match finder and a cheapest-path parse. The stream never reads
 * ring positions 4078-4095 before writing them. Returns 1 and the packed
 * size, or 0 when out is too small or memory runs out. */
int LzssEncode(const unsigned char *in, size_t n, unsigned char *out, size_t capacity, size_t *packedSize);

#endif
