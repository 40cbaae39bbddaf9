/* Packed image files: the header, and restoring the image. */
#include "artbook/ppk.h"

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "artbook/lzss.h"

static unsigned long Read32(const unsigned char *p)
{
    return (unsigned long)p[0] | (unsigned long)p[1] << 8 | (unsigned long)p[2] << 16 |
           (unsigned long)p[3] << 24;
}

int ReadPpkHeader(const unsigned char *image, size_t size, PpkHeader *header)
{
    if (!image || size < PPK_HEADER_SIZE)
        return 0;
    header->packedLength = Read32(image);
    header->unpackedLength = Read32(image + 4);
    header->marker = image[8];
    return 1;
}

PpkProblem CheckPpkHeader(const unsigned char *image, size_t size, PpkHeader *header)
{
    if (!ReadPpkHeader(image, size, header))
        return PPK_SHORTER_THAN_HEADER;
    uint64_t available = size - PPK_HEADER_SIZE;
    if (header->marker == PPK_MARKER_PACKED) {
        if (header->packedLength > available)
            return PPK_PACKED_PAST_END;
        /* Every byte of stream yields at most 9 output bytes (a two-byte
         * match of 18): a header claiming more is not this file's. */
        if ((uint64_t)header->unpackedLength > 9 * (uint64_t)header->packedLength)
            return PPK_UNPACKED_TOO_LARGE;
        return PPK_WELL_FORMED;
    }
    if (header->marker == PPK_MARKER_STORED)
        return header->unpackedLength > available ? PPK_STORED_PAST_END : PPK_WELL_FORMED;
    return PPK_UNKNOWN_MARKER;
}

unsigned char *UnpackPpkImage(const unsigned char *image, size_t size, unsigned char *output, size_t capacity)
{
    PpkHeader h;
    if (CheckPpkHeader(image, size, &h) != PPK_WELL_FORMED)
        return NULL;
    const unsigned char *data = image + PPK_HEADER_SIZE;

    if (h.marker == PPK_MARKER_PACKED) {
        if ((uint64_t)h.unpackedLength + PPK_SLACK > SIZE_MAX)
            return NULL;
        unsigned char *target = output;
        if (!target) {
            capacity = (size_t)h.unpackedLength + PPK_SLACK;
            target = (unsigned char *)calloc(capacity, 1);
            if (!target)
                return NULL;
        }
        LzssDecode(target, capacity, data, h.packedLength);
        return target;
    }
    if (h.marker == PPK_MARKER_STORED) {
        size_t n = (size_t)h.unpackedLength;
        unsigned char *target = output;
        if (target) {
            if (capacity < n)
                return NULL;
        } else {
            target = (unsigned char *)calloc(n ? n : 1, 1);
            if (!target)
                return NULL;
        }
        if (n)
            memcpy(target, data, n);
        return target;
    }
    return NULL;  /* no other marker passes the check */
}

/* The whole file in one read; NULL when it cannot be opened or read. */
static unsigned char *ReadWholeFile(const char *path, size_t *size)
{
    FILE *f = fopen(path, "rb");
    if (!f)
        return NULL;
    unsigned char *image = NULL;
    long here = ftell(f);
    if (here >= 0 && fseek(f, 0, SEEK_END) == 0) {
        long length = ftell(f);
        if (length >= 0 && fseek(f, here, SEEK_SET) == 0) {
            image = (unsigned char *)malloc(length ? (size_t)length : 1);
            if (image && length && fread(image, (size_t)length, 1, f) != 1) {
                free(image);
                image = NULL;
            }
            *size = (size_t)length;
        }
    }
    fclose(f);
    return image;
}

int UnpackPpkFile(const char *source, const char *destination)
{
    size_t size = 0;
    unsigned char *image = ReadWholeFile(source, &size);
    unsigned char *restored = image ? UnpackPpkImage(image, size, NULL, 0) : NULL;
    int ok = 0;
    if (restored) {
        PpkHeader h = { 0, 0, 0 };
        ReadPpkHeader(image, size, &h);
        FILE *f = fopen(destination, "wb");
        if (f) {
            size_t n = (size_t)h.unpackedLength;
            int written = n == 0 || fwrite(restored, n, 1, f) == 1;
            ok = (fclose(f) == 0) && written;
            /* What this call wrote in part is no picture. A destination it
             * never opened is left as it was: it may be no file of ours. */
            if (!ok)
                remove(destination);
        }
    }
    free(restored);
    free(image);
    return ok;
}
