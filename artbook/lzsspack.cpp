/* Packing LZSS streams and reading what one holds: the tools' side of the
 * codec, kept out of the launcher. */
#include "artbook/lzsspack.h"

#include <stdlib.h>
#include <string.h>

#include "artbook/lzss_internal.h"

const unsigned char *LzssRing(void) { return LzssDecoderRing; }

void LzssInspect(const unsigned char *in, size_t length, LzssStreamInfo *info)
{
    size_t consumed = 0, produced = 0;
    int readsLeftover = 0;
    if (!in)
        length = 0;
    LzssWalkEnd end = LzssWalk(in, length, &consumed, &produced,
                               [](unsigned char, size_t) -> size_t { return 1; },
                               [&readsLeftover](const LzssMatch &m, size_t at) -> size_t {
                                   /* Byte k reads output index at + k - distance; before
                                    * the decode's start, indexes -4078..-1 are the
                                    * spaces, anything earlier the leftovers. */
                                   if (m.distance > at && m.distance - at > LZSS_RING_START)
                                       readsLeftover = 1;
                                   return m.count;
                               });
    info->produced = produced;
    info->consumed = consumed;
    info->truncated = end == LZSS_WALK_CUT;
    info->readsLeftover = readsLeftover;
}

size_t LzssEncodeBound(size_t n) { return n + (n + 7) / 8; }

/* ---- Encoder ----
 * The input is matched as if preceded by the 4078 spaces that every decode
 * starts with, so runs of spaces pack from the first byte. Candidates come
 * from hash chains over 3-byte prefixes; each block of input is then parsed
 * along its cheapest path (literal 9 bits, match 17 bits), using for every
 * position the longest match found there and any shorter length of it. */

#define ENC_HASH_BITS  15
#define ENC_CHAIN      48
#define ENC_BLOCK      32768

struct EncoderState {
    const unsigned char *buf; /* spaces then the input */
    size_t end;               /* bytes in buf */
    int *head;                /* newest position per hash, -1 none */
    int *prev;                /* previous position of the same hash, by pos & mask */
    size_t inserted;          /* positions inserted so far */
};

static unsigned HashAt(const unsigned char *p)
{
    unsigned v = (unsigned)p[0] << 16 | (unsigned)p[1] << 8 | p[2];
    return (v * 2654435761u) >> (32 - ENC_HASH_BITS);
}

static void InsertUpTo(EncoderState *e, size_t upTo)
{
    while (e->inserted < upTo) {
        size_t p = e->inserted++;
        if (p + LZSS_MIN_MATCH > e->end)
            continue;
        unsigned h = HashAt(e->buf + p);
        e->prev[p & LZSS_RING_MASK] = e->head[h];
        e->head[h] = (int)p;
    }
}

/* Longest match for buf position p (at most maxLen), returning its source
 * position in buf. Sources are at most 4096 back. */
static size_t FindMatch(EncoderState *e, size_t p, size_t maxLen, size_t *source)
{
    size_t best = 0;
    if (maxLen < LZSS_MIN_MATCH)
        return 0;
    int c = e->head[HashAt(e->buf + p)];
    for (int steps = 0; c >= 0 && steps < ENC_CHAIN; steps++) {
        size_t cand = (size_t)c;
        if (cand >= p || p - cand > LZSS_RING_SIZE)
            break;
        const unsigned char *a = e->buf + cand, *b = e->buf + p;
        if (a[best] == b[best]) {
            size_t len = 0;
            while (len < maxLen && a[len] == b[len])
                len++;
            if (len > best) {
                best = len;
                *source = cand;
                if (len == maxLen)
                    break;
            }
        }
        int next = e->prev[cand & LZSS_RING_MASK];
        if (next >= c)
            break;  /* that slot was reused by a newer position */
        c = next;
    }
    return best >= LZSS_MIN_MATCH ? best : 0;
}

struct TokenWriter {
    unsigned char *out;
    size_t capacity;
    size_t used;
    size_t flagAt;
    unsigned bit;
    int overflow;
};

static void PutByte(TokenWriter *w, unsigned char v)
{
    if (w->used < w->capacity)
        w->out[w->used++] = v;
    else
        w->overflow = 1;
}

static void StartToken(TokenWriter *w)
{
    if (w->bit == 8) {
        w->flagAt = w->used;
        PutByte(w, 0);
        w->bit = 0;
    }
}

static void PutLiteral(TokenWriter *w, unsigned char v)
{
    StartToken(w);
    if (!w->overflow)
        w->out[w->flagAt] |= (unsigned char)(1u << w->bit);
    w->bit++;
    PutByte(w, v);
}

static void PutMatch(TokenWriter *w, unsigned pos, size_t len)
{
    StartToken(w);
    w->bit++;
    PutByte(w, (unsigned char)(pos & 0xFF));
    PutByte(w, (unsigned char)(((pos >> 4) & 0xF0) | (unsigned)(len - LZSS_MIN_MATCH)));
}

int LzssEncode(const unsigned char *in, size_t n, unsigned char *out, size_t capacity, size_t *packedSize)
{
    *packedSize = 0;
    if (n == 0)
        return 1;
    if (!in || !out)
        return 0;
    unsigned char *buf = (unsigned char *)malloc(LZSS_RING_START + n);
    int *head = (int *)malloc(sizeof(int) << ENC_HASH_BITS);
    int *prev = (int *)malloc(sizeof(int) * LZSS_RING_SIZE);
    unsigned char *lens = (unsigned char *)malloc(ENC_BLOCK);
    unsigned short *dists = (unsigned short *)malloc(sizeof(unsigned short) * ENC_BLOCK);
    unsigned *cost = (unsigned *)malloc(sizeof(unsigned) * (ENC_BLOCK + 1));
    unsigned char *choice = (unsigned char *)malloc(ENC_BLOCK);
    int ok = 0;
    if (buf && head && prev && lens && dists && cost && choice) {
        memset(buf, ' ', LZSS_RING_START);
        memcpy(buf + LZSS_RING_START, in, n);
        for (size_t i = 0; i < ((size_t)1 << ENC_HASH_BITS); i++)
            head[i] = -1;
        for (size_t i = 0; i < LZSS_RING_SIZE; i++)
            prev[i] = -1;
        EncoderState e = { buf, LZSS_RING_START + n, head, prev, 0 };
        TokenWriter w = { out, capacity, 0, 0, 8, 0 };

        for (size_t block = 0; block < n && !w.overflow; block += ENC_BLOCK) {
            size_t blockLen = n - block < ENC_BLOCK ? n - block : ENC_BLOCK;
            for (size_t i = 0; i < blockLen; i++) {
                size_t p = LZSS_RING_START + block + i;
                InsertUpTo(&e, p);
                size_t maxLen = blockLen - i < LZSS_MAX_MATCH ? blockLen - i : LZSS_MAX_MATCH;
                size_t source = 0;
                size_t len = FindMatch(&e, p, maxLen, &source);
                lens[i] = (unsigned char)len;
                dists[i] = (unsigned short)(len ? p - source : 0);
            }
            cost[blockLen] = 0;
            for (size_t i = blockLen; i-- > 0;) {
                unsigned best = 9 + cost[i + 1];
                unsigned char pick = 0;
                for (size_t len = lens[i]; len >= LZSS_MIN_MATCH; len--) {
                    unsigned c = 17 + cost[i + len];
                    if (c < best) {
                        best = c;
                        pick = (unsigned char)len;
                    }
                }
                cost[i] = best;
                choice[i] = pick;
            }
            for (size_t i = 0; i < blockLen;) {
                if (choice[i]) {
                    size_t at = block + i;  /* output index of the match */
                    unsigned pos = (unsigned)((LZSS_RING_START + at - dists[i]) & LZSS_RING_MASK);
                    PutMatch(&w, pos, choice[i]);
                    i += choice[i];
                } else {
                    PutLiteral(&w, in[block + i]);
                    i++;
                }
            }
        }
        if (!w.overflow) {
            *packedSize = w.used;
            ok = 1;
        }
    }
    free(buf);
    free(head);
    free(prev);
    free(lens);
    free(dists);
    free(cost);
    free(choice);
    return ok;
}
