/* Packed image files (.ppk) of the artbook: a 12-byte header and either the
 * bytes of a bitmap file as they are ('U') or those bytes packed with LZSS
 * ('P'). Nothing here needs Win32: the same code serves the viewer, the
 * ppk tool, the tests and the fuzzers. */
#ifndef KVL_PPK_H
#define KVL_PPK_H

#include <stddef.h>

#define PPK_HEADER_SIZE   12
#define PPK_MARKER_PACKED 0x50  /* 'P' */
#define PPK_MARKER_STORED 0x55  /* 'U' */
/* Slack beyond the unpacked length in a restored image's buffer. */
#define PPK_SLACK         2048

#define LZSS_RING_SIZE    4096
#define LZSS_RING_MASK    0xFFF
#define LZSS_RING_START   4078  /* first write position of every decode */
#define LZSS_MIN_MATCH    3
#define LZSS_MAX_MATCH    18

struct PpkHeader {
    unsigned long packedLength;   /* bytes of LZSS stream after the header ('P') */
    unsigned long unpackedLength; /* bytes of the restored image */
    unsigned char marker;
};

/* The header of a file image; 0 when the image is shorter than a header. */
int ReadPpkHeader(const unsigned char *image, size_t size, PpkHeader *header);

/* Decodes `length` bytes of LZSS stream into out[0 .. capacity). Decoding
 * ends when the stream is used up, when it ends inside a token, or when the
 * output is full (a match that does not fit is cut there). Returns the
 * number of bytes written. Never reads past in[length] nor writes past
 * out[capacity]. Uses the one process-wide ring: not reentrant. */
size_t LzssDecode(unsigned char *out, size_t capacity, const unsigned char *in, size_t length);

/* The process-wide ring as the last decode left it (tests, tools). */
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

/* Restores the image held in a complete file image of `size` bytes. With an
 * output buffer (capacity bytes) the bytes go there; without one (NULL) a
 * new zero-filled buffer of unpacked length + PPK_SLACK ('P') or unpacked
 * length ('U') is allocated with malloc and handed to the caller, who frees
 * it. Returns the buffer, or NULL when nothing can be restored: image
 * shorter than a header, unknown marker, a length beyond the file ('P':
 * packed length, 'U': unpacked length, more than size - 12), an unpacked
 * length that no stream of that packed length can produce, a caller's
 * buffer too small for a stored image, or no memory. */
unsigned char *UnpackPpkImage(const unsigned char *image, size_t size, unsigned char *output, size_t capacity);

/* Restores the bitmap file held in the packed file at source into the file
 * at destination (created or truncated), exactly unpacked length bytes.
 * Returns 1; or 0 when nothing could be restored. On 0 a destination that
 * was written in part is removed, and one that was never opened (the
 * source could not be read or restored) is left as it was. */
int UnpackPpkFile(const char *source, const char *destination);

/* Builds a complete packed file image of n bytes: stored ('U') when stored
 * is nonzero, else packed ('P'). Returns a malloc'ed image and its size, or
 * NULL when n does not fit the header's 32-bit fields or memory runs out. */
unsigned char *PackPpkImage(const unsigned char *data, size_t n, int stored, size_t *imageSize);

#endif
