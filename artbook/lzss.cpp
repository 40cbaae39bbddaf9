/* The LZSS decoder of the packed image files.
 *
 * It writes straight into the output buffer instead of copying every byte
 * through the ring as well: the byte at ring position p is always the last
 * output byte written there, so a match is a copy from earlier output. Only
 * matches that reach back before the start of this decode read the ring
 * itself (spaces, or what the previous decode left in positions
 * 4078-4095). At the end the ring receives the last 4096 bytes produced, so
 * it holds exactly what a byte-by-byte ring decoder leaves. */
#include "artbook/lzss.h"

#include <string.h>

#include "artbook/lzss_internal.h"

unsigned char LzssDecoderRing[LZSS_RING_SIZE];

/* A match of count bytes at out[t] whose source lies before the start of
 * this decode for its first bytes: those come from the ring, the rest from
 * the output written meanwhile (d = distance). Positions are indexes from
 * the output's start, so none is ever formed before it. */
static void CopyFromRing(unsigned char *out, size_t t, size_t d, unsigned pos, size_t count)
{
    for (size_t k = 0; k < count; k++) {
        size_t at = t + k;
        out[at] = at >= d ? out[at - d] : LzssDecoderRing[(pos + k) & LZSS_RING_MASK];
    }
}

/* Copies one match of count bytes (3-18, fewer at the output's end) from d bytes back in the output.
 * Apart, the bytes move in a few fixed-size copies; overlapping (d smaller
 * than count), each byte is copied after the one d back was written, which
 * repeats the last d bytes as the ring does. Writes exactly count bytes. */
static inline void CopyMatch(unsigned char *dst, size_t d, size_t count)
{
    const unsigned char *src = dst - d;
    if (d >= count) {
        if (count >= 8) {
            memcpy(dst, src, 8);
            if (count > 16)
                memcpy(dst + 8, src + 8, 8);
            memcpy(dst + count - 8, src + count - 8, 8);
        } else if (count >= 4) {
            memcpy(dst, src, 4);
            memcpy(dst + count - 4, src + count - 4, 4);
        } else {
            /* 3 bytes, or fewer when the output is full. */
            for (size_t k = 0; k < count; k++)
                dst[k] = src[k];
        }
    } else if (d == 1) {
        memset(dst, src[0], count);
    } else {
        for (size_t k = 0; k < count; k++)
            dst[k] = src[k];
    }
}

/* The first count bytes of a match token at out[t], from the output or,
 * reaching back before it, from the ring. */
static inline void CopyToken(unsigned char *out, size_t t, const LzssMatch &m, size_t count)
{
    if (m.distance <= t)
        CopyMatch(out + t, m.distance, count);
    else
        CopyFromRing(out, t, m.distance, m.pos, count);
}

size_t LzssDecode(unsigned char *out, size_t capacity, const unsigned char *in, size_t length)
{
    memset(LzssDecoderRing, ' ', LZSS_RING_START);
    if (!out)
        capacity = 0;
    if (!in)
        length = 0;
    size_t ip = 0;
    size_t op = 0;

    /* Whole groups while a group's most fits with room to spare (17 bytes
     * in, 144 out, plus what the fixed-size copies below run over): no end
     * tests inside a group. A run of literals moves in one 8-byte copy, and
     * a match from far enough back in one 18-byte copy; the bytes copied
     * beyond a token are overwritten by the tokens after it. */
    size_t fastEnd = 0;
    while (length - ip >= 32 && capacity - op >= 8 * LZSS_MAX_MATCH + 32) {
        unsigned group = in[ip++];
        unsigned left = 8;
        for (;;) {
            unsigned literals = (unsigned)__builtin_ctz(~group);
            memcpy(out + op, in + ip, 8);
            op += literals;
            ip += literals;
            left -= literals;
            if (left == 0)
                break;
            LzssMatch m = LzssReadMatch(in + ip, op);
            ip += 2;
            group >>= literals + 1;
            left--;
            if (m.distance >= LZSS_MAX_MATCH && m.distance <= op) {
                memcpy(out + op, out + op - m.distance, 16);
                memcpy(out + op + 16, out + op + 16 - m.distance, 2);
            } else {
                CopyToken(out, op, m, m.count);
            }
            op += m.count;
            if (left == 0)
                break;
        }
        fastEnd = op;
    }

    /* The rest, token by token, with every end test; a match that does not
     * fit is cut at the output's end. */
    LzssWalk(in, length, &ip, &op,
             [out, capacity](unsigned char byte, size_t at) -> size_t {
                 if (at == capacity)
                     return 0;
                 out[at] = byte;
                 return 1;
             },
             [out, capacity](const LzssMatch &m, size_t at) -> size_t {
                 size_t count = m.count < capacity - at ? m.count : capacity - at;
                 CopyToken(out, at, m, count);
                 return count;
             });

    /* What the group copies ran over past the last byte produced is not
     * output: it reads as zero, like the rest of a new buffer. */
    if (fastEnd) {
        size_t over = fastEnd + LZSS_MAX_MATCH;
        if (over > capacity)
            over = capacity;
        if (over > op)
            memset(out + op, 0, over - op);
    }

    size_t from = op > LZSS_RING_SIZE ? op - LZSS_RING_SIZE : 0;
    for (size_t i = from; i < op; i++)
        LzssDecoderRing[(LZSS_RING_START + i) & LZSS_RING_MASK] = out[i];
    return op;
}
