/* What the decoder (lzss.cpp) shares with the packing library
 * (lzsspack.cpp) and with no one else: the one reading of the stream's
 * tokens, and the decoder's ring. */
#ifndef KVL_LZSS_INTERNAL_H
#define KVL_LZSS_INTERNAL_H

#include "artbook/lzss.h"

/* The ring as the last decode left it. It outlives a decode because a
 * stream may read positions 4078-4095 before writing them, and then sees
 * what the decode before left there. */
extern unsigned char LzssDecoderRing[LZSS_RING_SIZE];

/* A match token that starts at output index `at`: the ring position it
 * copies from, the bytes it produces, and how far back in the output its
 * source lies (1-4096; output index i is ring position 4078 + i). */
struct LzssMatch {
    unsigned pos;
    size_t count;
    size_t distance;
};

static inline LzssMatch LzssReadMatch(const unsigned char *token, size_t at)
{
    LzssMatch m;
    m.pos = token[0] | ((token[1] & 0xF0u) << 4);
    m.count = (token[1] & 0x0Fu) + LZSS_MIN_MATCH;
    m.distance = (LZSS_RING_START + at - m.pos) & LZSS_RING_MASK;
    if (m.distance == 0)
        m.distance = LZSS_RING_SIZE;
    return m;
}

enum LzssWalkEnd {
    LZSS_WALK_DONE,   /* the stream is used up */
    LZSS_WALK_CUT,    /* it ends inside a token (a flag byte or half a match last) */
    LZSS_WALK_FULL    /* a token produced fewer bytes than it holds */
};

/* Walks the stream in[*ip .. length), where *ip is a flag byte, token by
 * token with every end test. literal(byte, at) and match(LzssMatch, at)
 * are told of each token and its output index and return the bytes they
 * produced; fewer than the token holds ends the walk. Leaves *ip after the
 * last token read and *produced advanced by what was produced. */
template <class Literal, class Match>
static inline LzssWalkEnd LzssWalk(const unsigned char *in, size_t length, size_t *ip, size_t *produced,
                                   Literal literal, Match match)
{
    size_t i = *ip, t = *produced;
    unsigned flags = 0;
    LzssWalkEnd end = LZSS_WALK_DONE;
    while (i < length) {
        flags >>= 1;
        if (!(flags & 0x100)) {
            flags = in[i++] | 0xFF00u;
            if (i == length) {
                end = LZSS_WALK_CUT;
                break;
            }
        }
        if (flags & 1) {
            if (literal(in[i], t) == 0) {
                end = LZSS_WALK_FULL;
                break;
            }
            i++;
            t++;
            continue;
        }
        if (length - i < 2) {
            end = LZSS_WALK_CUT;
            break;
        }
        LzssMatch m = LzssReadMatch(in + i, t);
        size_t n = match(m, t);
        i += 2;
        t += n;
        if (n < m.count) {
            end = LZSS_WALK_FULL;
            break;
        }
    }
    *ip = i;
    *produced = t;
    return end;
}

#endif
