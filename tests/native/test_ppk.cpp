/* Packed image files: header checks, both markers, files on disk, and the
 * demo disc's pictures. */
#include <gtest/gtest.h>

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include <vector>

#include "artbook/lzsspack.h"
#include "artbook/ppk.h"
#include "artbook/ppkpack.h"
#include "common/levels.h"

using Bytes = std::vector<unsigned char>;

static Bytes Header(unsigned long packed, unsigned long unpacked, int marker)
{
    Bytes h(12, 0);
    for (int i = 0; i < 4; i++) {
        h[i] = (unsigned char)(packed >> (8 * i));
        h[4 + i] = (unsigned char)(unpacked >> (8 * i));
    }
    h[8] = (unsigned char)marker;
    h[9] = h[10] = h[11] = 0xAB;  /* reserved, not read */
    return h;
}

static Bytes Cat(Bytes a, const Bytes &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

static std::string TempPath(const char *name)
{
    return std::string(KVL_BINARY_DIR) + "/ppk_test_" + name;
}

static void WriteFile(const std::string &path, const Bytes &b)
{
    FILE *f = fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    if (!b.empty())
        fwrite(b.data(), b.size(), 1, f);
    fclose(f);
}

static bool ReadFile(const std::string &path, Bytes *b)
{
    FILE *f = fopen(path.c_str(), "rb");
    if (!f)
        return false;
    b->clear();
    int c;
    while ((c = fgetc(f)) != EOF)
        b->push_back((unsigned char)c);
    fclose(f);
    return true;
}

TEST(UnpackPpkImage, PackedAndStoredImages)
{
    Bytes p = Cat(Header(4, 6, 'P'), {0x01, 'A', 0xEE, 0xF2});
    unsigned char *out = UnpackPpkImage(p.data(), p.size(), NULL, 0);
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(memcmp(out, "AAAAAA", 6), 0);
    /* The slack after the image is zero, not heap contents. */
    for (int i = 6; i < 6 + PPK_SLACK; i++)
        ASSERT_EQ(out[i], 0) << i;
    free(out);

    /* A short stream: the rest of the unpacked length is zero. */
    Bytes s = Cat(Header(2, 10, 'P'), {0x01, 'Z'});
    out = UnpackPpkImage(s.data(), s.size(), NULL, 0);
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(out[0], 'Z');
    for (int i = 1; i < 10; i++)
        EXPECT_EQ(out[i], 0);
    free(out);

    /* Stored: the packed length field is not read. */
    Bytes u = Cat(Header(0xFFFFFFFF, 3, 'U'), {'x', 'y', 'z', 'w'});
    out = UnpackPpkImage(u.data(), u.size(), NULL, 0);
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(memcmp(out, "xyz", 3), 0);
    free(out);

    /* Into a caller's buffer. */
    unsigned char mine[8] = {0};
    EXPECT_EQ(UnpackPpkImage(p.data(), p.size(), mine, 4), mine);
    EXPECT_EQ(memcmp(mine, "AAAA\0", 5), 0);
    EXPECT_EQ(UnpackPpkImage(u.data(), u.size(), mine, sizeof mine), mine);
    EXPECT_EQ(UnpackPpkImage(u.data(), u.size(), mine, 2), nullptr);
}

TEST(UnpackPpkImage, BytesAStreamCutShortDoesNotProduceAreZero)
{
    Bytes data;
    unsigned seed = 1;
    for (int i = 0; i < 20000; i++) {
        seed = seed * 1103515245u + 12345u;
        data.push_back((unsigned char)(i % 64 < 32 ? seed >> 24 : i % 5));
    }
    size_t size = 0;
    unsigned char *image = PackPpkImage(data.data(), data.size(), 0, &size);
    ASSERT_NE(image, nullptr);
    ASSERT_GT(size, 5000u);
    /* From the shortest stream that may claim 20000 bytes (9 per byte). */
    for (unsigned long cut = 2223; cut < size - 12; cut = cut * 5 / 4 + 1) {
        image[0] = (unsigned char)cut;
        image[1] = (unsigned char)(cut >> 8);
        image[2] = (unsigned char)(cut >> 16);
        LzssStreamInfo info;
        LzssInspect(image + 12, cut, &info);
        ASSERT_LT(info.produced, data.size());
        unsigned char *out = UnpackPpkImage(image, size, NULL, 0);
        ASSERT_NE(out, nullptr);
        EXPECT_EQ(memcmp(out, data.data(), info.produced), 0) << cut;
        for (size_t i = info.produced; i < data.size() + PPK_SLACK; i++)
            ASSERT_EQ(out[i], 0) << "cut " << cut << " byte " << i;
        free(out);
    }
    free(image);
}

TEST(UnpackPpkImage, HostileHeadersRestoreNothing)
{
    Bytes data = {0x01, 'A', 0xEE, 0xF2};
    const Bytes hostile[] = {
        Header(5, 6, 'P'), Header(0xFFFFFFFF, 6, 'P'),   /* packed length past the end of the file */
        Header(4, 5, 'U'), Header(4, 0xFFFFFFFF, 'U'),   /* stored length past the end of the file */
        Header(4, 37, 'P'), Header(4, 0xFFFFFFFF, 'P'),  /* more than four bytes of stream produce */
        Header(4, 6, 'X'),                               /* unknown marker */
    };
    for (const Bytes &header : hostile) {
        Bytes file = Cat(header, data);
        EXPECT_EQ(UnpackPpkImage(file.data(), file.size(), NULL, 0), nullptr) << &header - hostile;
    }
    /* Files shorter than a header. */
    Bytes h = Header(0, 0, 'P');
    for (size_t n = 0; n < 12; n++)
        EXPECT_EQ(UnpackPpkImage(h.data(), n, NULL, 0), nullptr) << n;
    EXPECT_EQ(UnpackPpkImage(NULL, 0, NULL, 0), nullptr);
}

TEST(UnpackPpkFile, WritesExactlyTheUnpackedLength)
{
    std::string src = TempPath("a.ppk"), dst = TempPath("a.bmp");
    WriteFile(src, Cat(Header(4, 6, 'P'), {0x01, 'A', 0xEE, 0xF2}));
    ASSERT_EQ(UnpackPpkFile(src.c_str(), dst.c_str()), 1);
    Bytes got;
    ASSERT_TRUE(ReadFile(dst, &got));
    EXPECT_EQ(got, Bytes({'A', 'A', 'A', 'A', 'A', 'A'}));

    WriteFile(src, Cat(Header(1234, 3, 'U'), {'x', 'y', 'z', '!', '!'}));
    ASSERT_EQ(UnpackPpkFile(src.c_str(), dst.c_str()), 1);
    ASSERT_TRUE(ReadFile(dst, &got));
    EXPECT_EQ(got, Bytes({'x', 'y', 'z'}));
    remove(src.c_str());
    remove(dst.c_str());
}

TEST(UnpackPpkFile, FailureLeavesADestinationItNeverOpenedAsItWas)
{
    std::string src = TempPath("b.ppk"), dst = TempPath("b.bmp");
    const Bytes bad[] = {
        Bytes(),                                           /* empty file */
        Bytes({'P', 0, 0}),                                /* shorter than a header */
        Cat(Header(100, 6, 'P'), {0x01, 'A', 0xEE, 0xF2}), /* truncated file */
        Cat(Header(4, 6, 'Q'), {0x01, 'A', 0xEE, 0xF2}),   /* unknown marker */
    };
    /* Someone else's file: neither written nor deleted. */
    const Bytes theirs({'B', 'M', 'o', 'l', 'd'});
    for (const Bytes &b : bad) {
        WriteFile(src, b);
        WriteFile(dst, theirs);
        EXPECT_EQ(UnpackPpkFile(src.c_str(), dst.c_str()), 0);
        Bytes got;
        EXPECT_TRUE(ReadFile(dst, &got));
        EXPECT_EQ(got, theirs);
    }
    remove(src.c_str());
    EXPECT_EQ(UnpackPpkFile(src.c_str(), dst.c_str()), 0);  /* missing source */
    Bytes got;
    EXPECT_TRUE(ReadFile(dst, &got));
    EXPECT_EQ(got, theirs);
    remove(dst.c_str());
    /* Unwritable destination: a folder that does not exist. */
    WriteFile(src, Cat(Header(4, 6, 'P'), {0x01, 'A', 0xEE, 0xF2}));
    EXPECT_EQ(UnpackPpkFile(src.c_str(), (TempPath("nodir") + "/x/y.bmp").c_str()), 0);
    remove(src.c_str());
}

TEST(PackPpkImage, BothMarkersRoundTripThroughFiles)
{
    Bytes data;
    for (int i = 0; i < 50000; i++)
        data.push_back((unsigned char)((i / 7) % 13 + (i % 640 < 320 ? 'a' : 'A')));
    for (int stored = 0; stored < 2; stored++) {
        size_t size = 0;
        unsigned char *image = PackPpkImage(data.data(), data.size(), stored, &size);
        ASSERT_NE(image, nullptr);
        PpkHeader h;
        ASSERT_TRUE(ReadPpkHeader(image, size, &h));
        EXPECT_EQ(h.marker, stored ? 'U' : 'P');
        EXPECT_EQ(h.unpackedLength, data.size());
        EXPECT_EQ(h.packedLength + 12, size);
        if (!stored) {
            EXPECT_LT(size, data.size() / 4);
        }
        std::string src = TempPath("c.ppk"), dst = TempPath("c.bmp");
        WriteFile(src, Bytes(image, image + size));
        free(image);
        ASSERT_EQ(UnpackPpkFile(src.c_str(), dst.c_str()), 1);
        Bytes got;
        ASSERT_TRUE(ReadFile(dst, &got));
        EXPECT_EQ(got, data);
        remove(src.c_str());
        remove(dst.c_str());
    }
}


/* The demo disc's artbook, when the disc has been laid out: every level
 * has 2 to 5 pictures numbered from 00, each a well-formed file holding a
 * 640 x 480 bitmap in 256 colours, and at least one is stored. */
TEST(DemoDisc, ArtbookPicturesAreWellFormed)
{
    std::string dir = std::string(KVL_SOURCE_DIR) + "/out/disc/Artbook/";
    Bytes probe;
    if (!ReadFile(dir + "Art1_00.ppk", &probe))
        GTEST_SKIP() << "no demo disc artbook in " << dir;
    int stored = 0;
    for (int level = 1; level <= LEVEL_COUNT; level++) {
        int count = 0;
        for (;; count++) {
            char name[32];
            snprintf(name, sizeof name, "Art%d_%02d.ppk", level, count);
            Bytes image;
            if (!ReadFile(dir + name, &image))
                break;
            PpkHeader h;
            ASSERT_TRUE(ReadPpkHeader(image.data(), image.size(), &h)) << name;
            if (h.marker == 'U') {
                stored++;
            } else {
                ASSERT_EQ(h.marker, 'P') << name;
                ASSERT_EQ(h.packedLength + 12, image.size()) << name;
                LzssStreamInfo info;
                LzssInspect(image.data() + 12, h.packedLength, &info);
                EXPECT_FALSE(info.truncated) << name;
                EXPECT_FALSE(info.readsLeftover) << name;
                EXPECT_EQ(info.produced, h.unpackedLength) << name;
            }
            unsigned char *bmp = UnpackPpkImage(image.data(), image.size(), NULL, 0);
            ASSERT_NE(bmp, nullptr) << name;
            ASSERT_GE(h.unpackedLength, 54u) << name;
            EXPECT_EQ(memcmp(bmp, "BM", 2), 0) << name;
            EXPECT_EQ(bmp[18] | bmp[19] << 8, 640) << name;
            int32_t height = (int32_t)((uint32_t)bmp[22] | (uint32_t)bmp[23] << 8 | (uint32_t)bmp[24] << 16 | (uint32_t)bmp[25] << 24);
            EXPECT_EQ(height < 0 ? -height : height, 480) << name;  /* bottom-up or top-down */
            EXPECT_EQ(bmp[28], 8) << name;
            free(bmp);
        }
        EXPECT_GE(count, 2) << "level " << level;
        EXPECT_LE(count, 5) << "level " << level;
    }
    EXPECT_GE(stored, 1);
}
