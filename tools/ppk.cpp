/* ppk: makes and inspects the artbook's packed image files.
 *   ppk pack [--stored] IN OUT   pack IN (LZSS, or stored as it is)
 *   ppk unpack IN OUT            restore the bytes held in IN
 *   ppk info FILE                header, marker, ratio, stream check
 * Exit codes: 0 done, 1 bad or unreadable input / unwritable output,
 * 2 wrong usage. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "artbook/lzsspack.h"
#include "artbook/ppk.h"
#include "artbook/ppkpack.h"

#define EXIT_OK    0
#define EXIT_INPUT 1
#define EXIT_USAGE 2

static const char UsageText[] =
    "usage: ppk pack [--stored] IN OUT   pack a file (LZSS 'P', or stored 'U')\n"
    "       ppk unpack IN OUT            restore the file held in a .ppk\n"
    "       ppk info FILE                show a .ppk header and check its data\n"
    "       ppk --help                   show this text\n";

static int Usage(const char *problem)
{
    if (problem)
        fprintf(stderr, "ppk: %s\n", problem);
    fputs(UsageText, stderr);
    return EXIT_USAGE;
}

static unsigned char *ReadAll(const char *path, size_t *size)
{
    FILE *f = fopen(path, "rb");
    if (!f) {
        fprintf(stderr, "ppk: %s: cannot open for reading\n", path);
        return NULL;
    }
    size_t cap = 1 << 16, used = 0;
    unsigned char *buf = (unsigned char *)malloc(cap);
    while (buf) {
        if (used == cap) {
            unsigned char *bigger = (unsigned char *)realloc(buf, cap * 2);
            if (!bigger) {
                free(buf);
                buf = NULL;
                break;
            }
            buf = bigger;
            cap *= 2;
        }
        size_t got = fread(buf + used, 1, cap - used, f);
        used += got;
        if (got == 0)
            break;
    }
    if (!buf)
        fprintf(stderr, "ppk: %s: out of memory\n", path);
    else if (ferror(f)) {
        fprintf(stderr, "ppk: %s: read error\n", path);
        free(buf);
        buf = NULL;
    }
    fclose(f);
    *size = used;
    return buf;
}

static int WriteAll(const char *path, const unsigned char *data, size_t n)
{
    FILE *f = fopen(path, "wb");
    if (!f) {
        fprintf(stderr, "ppk: %s: cannot create\n", path);
        return 0;
    }
    int ok = (n == 0 || fwrite(data, n, 1, f) == 1);
    if (fclose(f) != 0)
        ok = 0;
    if (!ok) {
        fprintf(stderr, "ppk: %s: write error\n", path);
        remove(path);
    }
    return ok;
}

/* Why a file image cannot be restored, or NULL when it can. */
static const char *HeaderProblem(const unsigned char *image, size_t size, PpkHeader *h)
{
    switch (CheckPpkHeader(image, size, h)) {
    case PPK_WELL_FORMED:         return NULL;
    case PPK_SHORTER_THAN_HEADER: return "shorter than the 12-byte header";
    case PPK_PACKED_PAST_END:     return "packed length goes past the end of the file";
    case PPK_UNPACKED_TOO_LARGE:  return "unpacked length larger than the packed data can produce";
    case PPK_STORED_PAST_END:     return "unpacked length goes past the end of the file";
    case PPK_UNKNOWN_MARKER:      break;
    }
    return "unknown marker (neither 'P' nor 'U')";
}

static int Pack(const char *in, const char *out, int stored)
{
    size_t n = 0;
    unsigned char *data = ReadAll(in, &n);
    if (!data)
        return EXIT_INPUT;
    size_t size = 0;
    unsigned char *image = PackPpkImage(data, n, stored, &size);
    free(data);
    if (!image) {
        fprintf(stderr, "ppk: %s: too large to pack (or out of memory)\n", in);
        return EXIT_INPUT;
    }
    int ok = WriteAll(out, image, size);
    free(image);
    return ok ? EXIT_OK : EXIT_INPUT;
}

static int Unpack(const char *in, const char *out)
{
    size_t size = 0;
    unsigned char *image = ReadAll(in, &size);
    if (!image)
        return EXIT_INPUT;
    PpkHeader h;
    const char *problem = HeaderProblem(image, size, &h);
    if (problem) {
        fprintf(stderr, "ppk: %s: %s\n", in, problem);
        free(image);
        return EXIT_INPUT;
    }
    int rc = EXIT_OK;
    if (h.marker == PPK_MARKER_PACKED) {
        LzssStreamInfo info;
        LzssInspect(image + PPK_HEADER_SIZE, h.packedLength, &info);
        if (info.truncated || info.produced < h.unpackedLength) {
            fprintf(stderr, "ppk: %s: packed data %s; the rest is written as zero bytes\n", in,
                    info.truncated ? "end inside a token" : "produce fewer bytes than the unpacked length");
            rc = EXIT_INPUT;
        }
    }
    unsigned char *restored = UnpackPpkImage(image, size, NULL, 0);
    if (!restored) {
        fprintf(stderr, "ppk: %s: out of memory\n", in);
        free(image);
        return EXIT_INPUT;
    }
    if (!WriteAll(out, restored, h.unpackedLength))
        rc = EXIT_INPUT;
    free(restored);
    free(image);
    return rc;
}

static int Info(const char *path)
{
    size_t size = 0;
    unsigned char *image = ReadAll(path, &size);
    if (!image)
        return EXIT_INPUT;
    PpkHeader h;
    int rc = EXIT_OK;
    if (!ReadPpkHeader(image, size, &h)) {
        fprintf(stderr, "ppk: %s: shorter than the 12-byte header (%lu bytes)\n", path, (unsigned long)size);
        free(image);
        return EXIT_INPUT;
    }
    printf("file:            %s (%lu bytes)\n", path, (unsigned long)size);
    printf("marker:          0x%02X%s\n", h.marker,
           h.marker == PPK_MARKER_PACKED ? " 'P' (LZSS)" : h.marker == PPK_MARKER_STORED ? " 'U' (stored)" : " (unknown)");
    printf("packed length:   %lu\n", h.packedLength);
    printf("unpacked length: %lu\n", h.unpackedLength);
    const char *problem = HeaderProblem(image, size, &h);
    if (problem) {
        printf("well-formed:     no (%s)\n", problem);
        rc = EXIT_INPUT;
    } else if (h.marker == PPK_MARKER_STORED) {
        printf("ratio:           100.0%%\n");
        printf("well-formed:     yes\n");
    } else {
        LzssStreamInfo info;
        LzssInspect(image + PPK_HEADER_SIZE, h.packedLength, &info);
        if (h.unpackedLength)
            printf("ratio:           %.1f%%\n", 100.0 * h.packedLength / h.unpackedLength);
        printf("stream produces: %lu bytes\n", (unsigned long)info.produced);
        const char *why = info.truncated ? "the data end inside a token"
                        : info.produced < h.unpackedLength ? "the data produce fewer bytes than the unpacked length"
                        : info.produced > (unsigned long long)h.unpackedLength + PPK_SLACK ? "the data produce more bytes than the buffer holds"
                        : info.readsLeftover ? "a match reads ring positions 4078-4095 before they are written"
                        : NULL;
        printf("well-formed:     %s%s%s\n", why ? "no (" : "yes", why ? why : "", why ? ")" : "");
        if (why)
            rc = EXIT_INPUT;
    }
    if (size > PPK_HEADER_SIZE && !problem) {
        unsigned long used = h.marker == PPK_MARKER_PACKED ? h.packedLength : h.unpackedLength;
        if (size - PPK_HEADER_SIZE > used)
            printf("trailing bytes:  %lu (ignored)\n", (unsigned long)(size - PPK_HEADER_SIZE - used));
    }
    free(image);
    return rc;
}

int main(int argc, char **argv)
{
    if (argc < 2)
        return Usage("no command given");
    const char *cmd = argv[1];
    if (strcmp(cmd, "--help") == 0 || strcmp(cmd, "-h") == 0 || strcmp(cmd, "help") == 0) {
        fputs(UsageText, stdout);
        return EXIT_OK;
    }
    if (strcmp(cmd, "pack") == 0) {
        int stored = 0, i = 2;
        if (i < argc && strcmp(argv[i], "--stored") == 0) {
            stored = 1;
            i++;
        }
        if (argc - i != 2)
            return Usage("pack needs an input and an output file");
        return Pack(argv[i], argv[i + 1], stored);
    }
    if (strcmp(cmd, "unpack") == 0) {
        if (argc != 4)
            return Usage("unpack needs an input and an output file");
        return Unpack(argv[2], argv[3]);
    }
    if (strcmp(cmd, "info") == 0) {
        if (argc != 3)
            return Usage("info needs one file");
        return Info(argv[2]);
    }
    fprintf(stderr, "ppk: unknown command '%s'\n", cmd);
    fputs(UsageText, stderr);
    return EXIT_USAGE;
}
