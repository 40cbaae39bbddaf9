/* Packed image files (.ppk) of the artbook: a 12-byte header and either the
 * bytes of a bitmap file as they are ('U') or those bytes packed with LZSS
 * ('P'). Reading them is here, for the viewer, the ppk tool, the tests and
 * the fuzzers; making them is in ppkpack.h. Win32-free. */
#ifndef KVL_PPK_H
#define KVL_PPK_H

#include <stddef.h>

#define PPK_HEADER_SIZE   12
#define PPK_MARKER_PACKED 0x50  /* 'P' */
#define PPK_MARKER_STORED 0x55  /* 'U' */
/* Slack beyond the unpacked length in a restored image's buffer. */
#define PPK_SLACK         2048

struct PpkHeader {
    unsigned long packedLength;   /* bytes of LZSS stream after the header ('P') */
    unsigned long unpackedLength; /* bytes of the restored image */
    unsigned char marker;
};

/* The header of a file image; 0 when the image is shorter than a header. */
int ReadPpkHeader(const unsigned char *image, size_t size, PpkHeader *header);

/* Why a file image holds nothing to restore, as its header tells. */
enum PpkProblem {
    PPK_WELL_FORMED,
    PPK_SHORTER_THAN_HEADER,
    PPK_PACKED_PAST_END,      /* 'P': packed length beyond the file */
    PPK_UNPACKED_TOO_LARGE,   /* 'P': more than any stream of that length produces */
    PPK_STORED_PAST_END,      /* 'U': unpacked length beyond the file */
    PPK_UNKNOWN_MARKER
};

/* Reads the header of a file image of `size` bytes (into header when it
 * is long enough) and checks its lengths against the file. */
PpkProblem CheckPpkHeader(const unsigned char *image, size_t size, PpkHeader *header);

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

#endif
