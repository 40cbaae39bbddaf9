/* LZSS of the artbook's packed image files: a 4096-byte ring, 3-18 byte
 * matches, a flag byte before every eight tokens (bit set = literal). This
 * is the decoding the launcher runs; packing and inspecting streams live in
 * lzsspack.h, which only the tools and tests link. Win32-free. */
#ifndef KVL_LZSS_H
#define KVL_LZSS_H

#include <stddef.h>

#define LZSS_RING_SIZE    4096
#define LZSS_RING_MASK    0xFFF
#define LZSS_RING_START   4078  /* first write position of every decode */
#define LZSS_MIN_MATCH    3
#define LZSS_MAX_MATCH    18

/* Decodes `length` bytes of LZSS stream into out[0 .. capacity). Decoding
 * ends when the stream is used up, when it ends inside a token, or when the
 * output is full (a match that does not fit is cut there). Returns the
 * number of bytes written. Never reads past in[length] nor writes past
 * out[capacity]. Uses the one process-wide ring: not reentrant. */
size_t LzssDecode(unsigned char *out, size_t capacity, const unsigned char *in, size_t length);

#endif
