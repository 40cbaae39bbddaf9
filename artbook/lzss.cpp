/* LZSS of the packed image files: 4096-byte ring, 3-18 byte matches, a
 * flag byte before every eight tokens (bit set = literal).
 *
 * The decoder writes straight into the output buffer instead of copying
 * every byte through the ring as well: the byte at ring position p is
 * always the last output byte written there, so a match is a copy from
 * earlier output. Only matches that reach back before the start of this
 * decode read the ring itself (spaces, or what the previous decode left in
 * positions 4078-4095). At the end the ring receives the last 4096 bytes
 * produced, so it holds exactly what a byte-by-byte ring decoder leaves. */
#include "artbook/ppk.h"

#include <stdlib.h>
#include <string.h>

static unsigned char Ring[LZSS_RING_SIZE];

const unsigned char *LzssRing(void) { return Ring; }

/* A match of count bytes at out[t] whose source lies before the start of
 * this decode for its first bytes: those come from the ring, the rest from
 * the output written meanwhile (d = distance). Positions are indexes from
 * the output's start, so none is ever formed before it. */
static void CopyFromRing(unsigned char *out, size_t t, size_t d, unsigned pos, size_t count)
{
    for (size_t k = 0; k < count; k++) {
        size_t at = t + k;
        out[at] = at >= d ? out[at - d] : Ring[(pos + k) & LZSS_RING_MASK];
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

/* One match token at out[op]: returns the bytes it produced (count, or
 * fewer when the output is full). */
static inline size_t DecodeMatch(unsigned char *out, size_t op, size_t capacity, unsigned b0, unsigned b1)
{
    unsigned pos = b0 | ((b1 & 0xF0u) << 4);
    size_t count = (b1 & 0x0Fu) + LZSS_MIN_MATCH;
    size_t d = (LZSS_RING_START + op - pos) & LZSS_RING_MASK;
    if (d == 0)
        d = LZSS_RING_SIZE;
    if (count > capacity - op)
        count = capacity - op;
    if (d <= op)
        CopyMatch(out + op, d, count);
    else
        CopyFromRing(out, op, d, pos, count);
    return count;
}

size_t LzssDecode(unsigned char *out, size_t capacity, const unsigned char *in, size_t length)
{
    memset(Ring, ' ', LZSS_RING_START);
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
            unsigned b0 = in[ip], b1 = in[ip + 1];
            ip += 2;
            group >>= literals + 1;
            left--;
            unsigned pos = b0 | ((b1 & 0xF0u) << 4);
            size_t count = (b1 & 0x0Fu) + LZSS_MIN_MATCH;
            size_t d = (LZSS_RING_START + op - pos) & LZSS_RING_MASK;
            if (d == 0)
                d = LZSS_RING_SIZE;
            if (d >= LZSS_MAX_MATCH && d <= op) {
                memcpy(out + op, out + op - d, 16);
                memcpy(out + op + 16, out + op + 16 - d, 2);
            } else if (d <= op) {
                CopyMatch(out + op, d, count);
            } else {
                CopyFromRing(out, op, d, pos, count);
            }
            op += count;
            if (left == 0)
                break;
        }
        fastEnd = op;
    }

    /* The rest, token by token, with every end test. */
    unsigned flags = 0;
    while (ip < length) {
        flags >>= 1;
        if (!(flags & 0x100)) {
            flags = in[ip++] | 0xFF00u;
            if (ip == length)
                break;
        }
        if (flags & 1) {
            if (op == capacity)
                break;
            out[op++] = in[ip++];
            continue;
        }
        if (length - ip < 2)
            break;
        size_t room = capacity - op;
        size_t count = (in[ip + 1] & 0x0Fu) + LZSS_MIN_MATCH;
        op += DecodeMatch(out, op, capacity, in[ip], in[ip + 1]);
        ip += 2;
        if (count > room)
            break;
    }

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
        Ring[(LZSS_RING_START + i) & LZSS_RING_MASK] = out[i];
    return op;
}

void LzssInspect(const unsigned char *in, size_t length, LzssStreamInfo *info)
{
    size_t ip = 0, t = 0;
    unsigned flags = 0;
    info->produced = 0;
    info->consumed = 0;
    info->truncated = 0;
    info->readsLeftover = 0;
    if (!in)
        length = 0;
    while (ip < length) {
        flags >>= 1;
        if (!(flags & 0x100)) {
            flags = in[ip++] | 0xFF00u;
            if (ip == length) {
                info->truncated = 1;
                break;
            }
        }
        if (flags & 1) {
            ip++;
            t++;
            continue;
        }
        if (length - ip < 2) {
            info->truncated = 1;
            break;
        }
        unsigned pos = in[ip] | ((in[ip + 1] & 0xF0u) << 4);
        size_t count = (in[ip + 1] & 0x0Fu) + LZSS_MIN_MATCH;
        ip += 2;
        size_t d = (LZSS_RING_START + t - pos) & LZSS_RING_MASK;
        if (d == 0)
            d = LZSS_RING_SIZE;
        /* Byte k reads output index t + k - d; before the decode's start,
         * indexes -4078..-1 are the spaces, anything earlier the leftovers. */
        if (d > t && d - t > LZSS_RING_START)
            info->readsLeftover = 1;
        t += count;
    }
    info->produced = t;
    info->consumed = ip;
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
