#include <gtest/gtest.h>

#include <algorithm>

#include "common/levels.h"
#include "tools/art_files.h"
#include "tools/art_resources.h"
#include "tools/art_scenes.h"

namespace {

unsigned U16(const std::vector<uint8_t> &b, size_t at)
{
    return b.at(at) | (b.at(at + 1) << 8);
}

uint32_t U32(const std::vector<uint8_t> &b, size_t at)
{
    return U16(b, at) | (uint32_t(U16(b, at + 2)) << 16);
}

/* Decodes RLE8 bits the way GDI does; fails on any code that would run
 * off a row or past the picture, and when a pixel is left unwritten.
 * Returns the pixels top row first. */
bool DecodeRle8(const uint8_t *p, size_t n, int w, int h, std::vector<uint8_t> &out, bool &sawEnd)
{
    out.assign(size_t(w) * h, 0);
    std::vector<uint8_t> written(out.size(), 0);
    int x = 0, y = h - 1;
    size_t i = 0;
    sawEnd = false;
    while (i + 1 < n) {
        int a = p[i], b = p[i + 1];
        i += 2;
        if (a > 0) {
            if (y < 0 || x + a > w)
                return false;
            for (int k = 0; k < a; k++)
                written[size_t(y) * w + x] = 1, out[size_t(y) * w + x++] = uint8_t(b);
        } else if (b == 0) {
            x = 0, y--;
        } else if (b == 1) {
            sawEnd = true;
            return i == n && std::count(written.begin(), written.end(), 0) == 0;
        } else if (b == 2) {
            return false;   /* the encoder never writes deltas */
        } else {
            if (y < 0 || x + b > w || i + b > n)
                return false;
            for (int k = 0; k < b; k++)
                written[size_t(y) * w + x] = 1, out[size_t(y) * w + x++] = p[i + k];
            i += (b + 1) & ~1;
        }
    }
    return false;
}

struct BmpInfo {
    int w, h, bpp, compression, colours;
    uint32_t imageSize, offset;
};

BmpInfo CheckBmpHeaders(const std::vector<uint8_t> &b)
{
    BmpInfo i = {};
    EXPECT_EQ(b.at(0), 'B');
    EXPECT_EQ(b.at(1), 'M');
    EXPECT_EQ(U32(b, 2), b.size());
    EXPECT_EQ(U32(b, 14), 40u);
    i.offset = U32(b, 10);
    i.w = int(U32(b, 18));
    i.h = int(U32(b, 22));
    EXPECT_EQ(U16(b, 26), 1u);
    i.bpp = int(U16(b, 28));
    i.compression = int(U32(b, 30));
    i.imageSize = U32(b, 34);
    i.colours = int(U32(b, 46));
    EXPECT_EQ(i.offset, 54u + (i.bpp == 8 ? 4u * i.colours : 0u));
    EXPECT_EQ(i.offset + i.imageSize, b.size());
    return i;
}

} // namespace

TEST(ArtgenFiles, BitmapsHaveTheLauncherSizesAndDepths)
{
    struct Want {
        const char *name;
        int w, h, bpp, compression;
    } wants[] = {{"logo.bmp", 128, 74, 8, 0},    {"menu_side.bmp", 145, 295, 24, 0}, {"wait_side.bmp", 145, 295, 24, 0},
                 {"emblem.bmp", 50, 64, 8, 0},   {"team.bmp", 640, 480, 8, 1},      {"art_cover.bmp", 640, 480, 8, 0}};
    for (const Want &want : wants) {
        SCOPED_TRACE(want.name);
        std::vector<uint8_t> b;
        ASSERT_EQ(BuildResourceFile(want.name, b), 1);
        BmpInfo i = CheckBmpHeaders(b);
        EXPECT_EQ(i.w, want.w);
        EXPECT_EQ(i.h, want.h);
        EXPECT_EQ(i.bpp, want.bpp);
        EXPECT_EQ(i.compression, want.compression);
        EXPECT_EQ(i.colours, want.bpp == 8 ? 256 : 0);
        if (want.compression == 0) {
            EXPECT_EQ(i.imageSize, uint32_t(((want.w * want.bpp + 31) / 32) * 4 * want.h));
        }
    }
    std::vector<uint8_t> none;
    EXPECT_EQ(BuildResourceFile("nothing.bmp", none), 0);
}

TEST(ArtgenFiles, TeamPageIsValidCompactRle8)
{
    std::vector<uint8_t> b;
    ASSERT_EQ(BuildResourceFile("team.bmp", b), 1);
    BmpInfo i = CheckBmpHeaders(b);
    std::vector<uint8_t> pixels;
    bool sawEnd;
    ASSERT_TRUE(DecodeRle8(&b[i.offset], i.imageSize, 640, 480, pixels, sawEnd));
    EXPECT_TRUE(sawEnd);
    EXPECT_LT(i.imageSize, 640u * 480u / 4u);
}

TEST(ArtgenFiles, Rle8RoundTripsRunsLiteralsAndOddStretches)
{
    /* Rows mixing long runs (over 255), runs of two, odd and even literal
     * stretches and a single trailing byte. */
    Indexed im;
    im.w = 301;
    im.h = 5;
    im.index.resize(size_t(im.w) * im.h);
    uint32_t s = 7;
    for (int y = 0; y < im.h; y++)
        for (int x = 0; x < im.w; x++) {
            uint8_t v;
            if (y == 0)
                v = 4;
            else if (y == 1)
                v = uint8_t(x / 2);
            else if (y == 2)
                v = uint8_t(NextRandom(s) & 3);
            else if (y == 3)
                v = uint8_t(x < 3 ? x : (x < 290 ? 9 : x));
            else
                v = uint8_t(x % 5 == 0 ? 1 : 2 + (x & 1));
            im.index[size_t(y) * im.w + x] = v;
        }
    std::vector<uint8_t> rle, back;
    EncodeRle8Rows(im, rle);
    bool sawEnd;
    ASSERT_TRUE(DecodeRle8(rle.data(), rle.size(), im.w, im.h, back, sawEnd));
    EXPECT_TRUE(sawEnd);
    EXPECT_EQ(back, im.index);
    EXPECT_EQ(rle.size() % 2, 0u);
}

TEST(ArtgenFiles, IconsHoldBothSizesWithMasks)
{
    for (const char *name : {"main.ico", "chip.ico", "computer.ico"}) {
        SCOPED_TRACE(name);
        std::vector<uint8_t> b;
        ASSERT_EQ(BuildResourceFile(name, b), 1);
        EXPECT_EQ(U16(b, 0), 0u);
        EXPECT_EQ(U16(b, 2), 1u);
        unsigned count = U16(b, 4);
        ASSERT_EQ(count, 4u);
        for (unsigned e = 0; e < count; e++) {
            size_t d = 6 + 16 * e;
            int size = b.at(d) ? b.at(d) : 256;
            int bpp = int(U16(b, d + 6));
            uint32_t bytes = U32(b, d + 8), at = U32(b, d + 12);
            EXPECT_TRUE(size == 32 || size == 16);
            EXPECT_TRUE(bpp == 8 || bpp == 32);
            ASSERT_LE(size_t(at) + bytes, b.size());
            EXPECT_EQ(U32(b, at), 40u);
            EXPECT_EQ(int(U32(b, at + 4)), size);
            EXPECT_EQ(int(U32(b, at + 8)), 2 * size);
            int xorStride = bpp == 8 ? (size + 3) & ~3 : size * 4, andStride = ((size + 31) / 32) * 4;
            EXPECT_EQ(bytes, 40u + (bpp == 8 ? 1024u : 0u) + uint32_t((xorStride + andStride) * size));
        }
    }
}

TEST(ArtgenArtbook, EveryLevelHasTwoToFivePicturesOfTheViewerSize)
{
    int total = 0;
    for (int level = 1; level <= LEVEL_COUNT; level++) {
        int n = ArtbookPictureCount(level);
        EXPECT_GE(n, 2);
        EXPECT_LE(n, 5);
        total += n;
        SCOPED_TRACE(level);
        std::vector<uint8_t> b;
        BuildArtbookPicture(level, n - 1, b);
        BmpInfo i = CheckBmpHeaders(b);
        EXPECT_EQ(i.w, 640);
        EXPECT_EQ(i.h, 480);
        EXPECT_EQ(i.bpp, 8);
        EXPECT_EQ(i.compression, 0);
        EXPECT_EQ(i.colours, 256);
    }
    EXPECT_EQ(ArtbookPictureCount(0), 0);
    EXPECT_EQ(ArtbookPictureCount(LEVEL_COUNT + 1), 0);
    EXPECT_GT(total, 14);
}

TEST(ArtgenArtbook, DrawingIsReproducibleAndPicturesDiffer)
{
    std::vector<uint8_t> a, b, c;
    BuildArtbookPicture(3, 0, a);
    BuildArtbookPicture(3, 0, b);
    BuildArtbookPicture(3, 1, c);
    EXPECT_EQ(a, b);
    EXPECT_NE(a, c);
}
