/* Making packed image files: for the ppk tool and the tests, which stage
 * pictures; the launcher only restores them (ppk.h). Win32-free. */
#ifndef KVL_PPKPACK_H
#define KVL_PPKPACK_H

#include <stddef.h>

#include "artbook/ppk.h"

/* Builds a complete packed file image of n bytes: stored ('U') when stored
 * is nonzero, else packed ('P'). Returns a malloc'ed image and its size, or
 * NULL when n does not fit the header's 32-bit fields or memory runs out. */
unsigned char *PackPpkImage(const unsigned char *data, size_t n, int stored, size_t *imageSize);

#endif
