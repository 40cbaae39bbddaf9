/* File encoders: median-cut palettes, 8-bit BMP (plain or RLE8), 24-bit
 * BMP and icons. All bitmaps are bottom-up with BITMAPFILEHEADER and
 * BITMAPINFOHEADER, as the resource compiler and LoadImage expect. */
#include "tools/art_files.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

static void Put16(std::vector<uint8_t> &b, unsigned v)
{
    b.push_back(uint8_t(v & 255));
    b.push_back(uint8_t((v >> 8) & 255));
}

static void Put32(std::vector<uint8_t> &b, uint32_t v)
{
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

static uint8_t ToByte(float v)
{
    v = v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v);
    return uint8_t(v * 255.0f + 0.5f);
}

/* ---- Median cut over a 5-bit-per-channel histogram ----------------------- */

namespace {

const int Bins = 32 * 32 * 32;

struct Box {
    int lo[3], hi[3];
    uint32_t count;
};

struct Histogram {
    std::vector<uint32_t> count;
    std::vector<float> sum;   /* r, g, b sums of the exact colours per bin */
};

int BinOf(int r, int g, int b)
{
    return (r << 10) | (g << 5) | b;
}

void Shrink(const Histogram &h, Box &box)
{
    int lo[3] = {31, 31, 31}, hi[3] = {0, 0, 0};
    uint32_t total = 0;
    for (int r = box.lo[0]; r <= box.hi[0]; r++)
        for (int g = box.lo[1]; g <= box.hi[1]; g++)
            for (int b = box.lo[2]; b <= box.hi[2]; b++) {
                uint32_t n = h.count[BinOf(r, g, b)];
                if (!n)
                    continue;
                total += n;
                lo[0] = std::min(lo[0], r), hi[0] = std::max(hi[0], r);
                lo[1] = std::min(lo[1], g), hi[1] = std::max(hi[1], g);
                lo[2] = std::min(lo[2], b), hi[2] = std::max(hi[2], b);
            }
    box.count = total;
    for (int i = 0; i < 3; i++) {
        box.lo[i] = total ? lo[i] : box.lo[i];
        box.hi[i] = total ? hi[i] : box.lo[i];
    }
}

/* Splits a box at the median of its longest side (green counts a little
 * more, blue a little less, as the eye sees them). Returns 0 when the box
 * is a single bin. */
int Split(const Histogram &h, Box &box, Box &other)
{
    static const float weight[3] = {1.0f, 1.2f, 0.8f};
    int axis = 0;
    float best = -1.0f;
    for (int i = 0; i < 3; i++) {
        float len = (box.hi[i] - box.lo[i]) * weight[i];
        if (len > best)
            best = len, axis = i;
    }
    if (box.hi[axis] == box.lo[axis])
        return 0;
    std::vector<uint32_t> slice(32, 0);
    for (int r = box.lo[0]; r <= box.hi[0]; r++)
        for (int g = box.lo[1]; g <= box.hi[1]; g++)
            for (int b = box.lo[2]; b <= box.hi[2]; b++) {
                int v[3] = {r, g, b};
                slice[v[axis]] += h.count[BinOf(r, g, b)];
            }
    uint32_t half = box.count / 2, run = 0;
    int cut = box.lo[axis];
    for (int i = box.lo[axis]; i < box.hi[axis]; i++) {
        run += slice[i];
        cut = i;
        if (run >= half)
            break;
    }
    other = box;
    box.hi[axis] = cut;
    other.lo[axis] = cut + 1;
    Shrink(h, box);
    Shrink(h, other);
    return 1;
}

int Nearest(const Indexed &im, float r, float g, float b)
{
    int best = 0;
    float bestD = 1e30f;
    for (int i = 0; i < im.colours; i++) {
        float dr = im.palette[i][0] / 255.0f - r, dg = im.palette[i][1] / 255.0f - g, db = im.palette[i][2] / 255.0f - b;
        float d = dr * dr * 0.30f + dg * dg * 0.59f + db * db * 0.11f;
        if (d < bestD)
            bestD = d, best = i;
    }
    return best;
}

} // namespace

void Quantize(const Image &im, int colours, bool dither, Indexed &out)
{
    colours = std::max(2, std::min(256, colours));
    Histogram h;
    h.count.assign(Bins, 0);
    h.sum.assign(size_t(Bins) * 3, 0.0f);
    for (const Rgb &p : im.px) {
        int r = std::min(31, int(std::max(0.0f, p.r) * 32.0f));
        int g = std::min(31, int(std::max(0.0f, p.g) * 32.0f));
        int b = std::min(31, int(std::max(0.0f, p.b) * 32.0f));
        int bin = BinOf(r, g, b);
        h.count[bin]++;
        h.sum[size_t(bin) * 3] += p.r, h.sum[size_t(bin) * 3 + 1] += p.g, h.sum[size_t(bin) * 3 + 2] += p.b;
    }
    std::vector<Box> boxes(1);
    boxes[0] = Box{{0, 0, 0}, {31, 31, 31}, 0};
    Shrink(h, boxes[0]);
    while (int(boxes.size()) < colours) {
        int pick = -1;
        float best = 0.0f;
        for (size_t i = 0; i < boxes.size(); i++) {
            const Box &b = boxes[i];
            int side = std::max({b.hi[0] - b.lo[0], b.hi[1] - b.lo[1], b.hi[2] - b.lo[2]});
            float score = float(side) * std::sqrt(float(b.count));
            if (side > 0 && score > best)
                best = score, pick = int(i);
        }
        if (pick < 0)
            break;
        Box other;
        if (!Split(h, boxes[size_t(pick)], other))
            break;
        boxes.push_back(other);
    }
    out = Indexed();
    out.w = im.w;
    out.h = im.h;
    out.colours = int(boxes.size());
    for (size_t i = 0; i < boxes.size(); i++) {
        const Box &b = boxes[i];
        double s[3] = {0, 0, 0};
        double n = 0;
        for (int r = b.lo[0]; r <= b.hi[0]; r++)
            for (int g = b.lo[1]; g <= b.hi[1]; g++)
                for (int bl = b.lo[2]; bl <= b.hi[2]; bl++) {
                    int bin = BinOf(r, g, bl);
                    n += h.count[bin];
                    for (int k = 0; k < 3; k++)
                        s[k] += h.sum[size_t(bin) * 3 + k];
                }
        for (int k = 0; k < 3; k++)
            out.palette[i][k] = n > 0 ? ToByte(float(s[k] / n)) : 0;
    }
    /* Mapping: nearest entry per 6-bit colour cell, computed on first use;
     * an ordered 4 x 4 dither smooths the gradients of large pictures. */
    static const int bayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    std::vector<int16_t> cache(64 * 64 * 64, -1);
    out.index.resize(size_t(im.w) * size_t(im.h));
    for (int y = 0; y < im.h; y++)
        for (int x = 0; x < im.w; x++) {
            Rgb p = im.px[size_t(y) * im.w + x];
            float d = dither ? (bayer[y & 3][x & 3] / 16.0f - 0.47f) / 28.0f : 0.0f;
            int q[3];
            float v[3] = {p.r + d, p.g + d, p.b + d};
            for (int k = 0; k < 3; k++)
                q[k] = std::max(0, std::min(63, int(v[k] * 64.0f)));
            int key = (q[0] << 12) | (q[1] << 6) | q[2];
            if (cache[key] < 0)
                cache[key] = int16_t(Nearest(out, (q[0] + 0.5f) / 64.0f, (q[1] + 0.5f) / 64.0f, (q[2] + 0.5f) / 64.0f));
            out.index[size_t(y) * im.w + x] = uint8_t(cache[key]);
        }
}

/* ---- RLE8 ---------------------------------------------------------------- */

/* Rows bottom-up. Runs of three or more equal bytes are encoded runs;
 * stretches between them go as absolute blocks (at least three bytes,
 * padded to a word) or, when shorter, as runs of one. Every row but the
 * last ends with end-of-line, the last with end-of-bitmap. */
void EncodeRle8Rows(const Indexed &im, std::vector<uint8_t> &out)
{
    out.clear();
    for (int row = im.h - 1; row >= 0; row--) {
        const uint8_t *p = &im.index[size_t(row) * im.w];
        int w = im.w, i = 0;
        while (i < w) {
            int run = 1;
            while (i + run < w && run < 255 && p[i + run] == p[i])
                run++;
            if (run >= 3) {
                out.push_back(uint8_t(run));
                out.push_back(p[i]);
                i += run;
                continue;
            }
            /* Literal stretch: up to the next run of three or more. */
            int j = i;
            while (j < w && j - i < 255) {
                if (j + 2 < w && p[j] == p[j + 1] && p[j] == p[j + 2])
                    break;
                j++;
            }
            int n = j - i;
            if (n >= 3) {
                out.push_back(0);
                out.push_back(uint8_t(n));
                out.insert(out.end(), p + i, p + j);
                if (n & 1)
                    out.push_back(0);
            } else {
                for (int k = i; k < j; k++) {
                    out.push_back(1);
                    out.push_back(p[k]);
                }
            }
            i = j;
        }
        out.push_back(0);
        out.push_back(row > 0 ? 0 : 1);
    }
}

static void FileHeader(std::vector<uint8_t> &out, uint32_t size, uint32_t bits)
{
    out.push_back('B');
    out.push_back('M');
    Put32(out, size);
    Put32(out, 0);
    Put32(out, bits);
}

static void InfoHeader(std::vector<uint8_t> &out, int w, int h, int bpp, int compression, uint32_t image, int colours)
{
    Put32(out, 40);
    Put32(out, uint32_t(w));
    Put32(out, uint32_t(h));
    Put16(out, 1);
    Put16(out, unsigned(bpp));
    Put32(out, uint32_t(compression));
    Put32(out, image);
    Put32(out, 2835);
    Put32(out, 2835);
    Put32(out, uint32_t(colours));
    Put32(out, uint32_t(colours));
}

void EncodeBmp8(const Indexed &im, bool rle, std::vector<uint8_t> &out)
{
    std::vector<uint8_t> bits;
    int stride = (im.w + 3) & ~3;
    if (rle) {
        EncodeRle8Rows(im, bits);
    } else {
        bits.assign(size_t(stride) * size_t(im.h), 0);
        for (int y = 0; y < im.h; y++)
            std::copy(&im.index[size_t(y) * im.w], &im.index[size_t(y) * im.w] + im.w,
                      &bits[size_t(im.h - 1 - y) * stride]);
    }
    /* The palette always has 256 entries; unused ones are black. */
    uint32_t offset = 14 + 40 + 256 * 4;
    out.clear();
    FileHeader(out, offset + uint32_t(bits.size()), offset);
    InfoHeader(out, im.w, im.h, 8, rle ? 1 : 0, uint32_t(bits.size()), 256);
    for (int i = 0; i < 256; i++) {
        out.push_back(im.palette[i][2]);
        out.push_back(im.palette[i][1]);
        out.push_back(im.palette[i][0]);
        out.push_back(0);
    }
    out.insert(out.end(), bits.begin(), bits.end());
}

void EncodeBmp24(const Image &im, std::vector<uint8_t> &out)
{
    int stride = (im.w * 3 + 3) & ~3;
    uint32_t image = uint32_t(stride) * uint32_t(im.h);
    out.clear();
    FileHeader(out, 54 + image, 54);
    InfoHeader(out, im.w, im.h, 24, 0, image, 0);
    for (int y = im.h - 1; y >= 0; y--) {
        for (int x = 0; x < im.w; x++) {
            const Rgb &p = im.px[size_t(y) * im.w + x];
            out.push_back(ToByte(p.b));
            out.push_back(ToByte(p.g));
            out.push_back(ToByte(p.r));
        }
        for (int k = im.w * 3; k < stride; k++)
            out.push_back(0);
    }
}

/* ---- Icons --------------------------------------------------------------- */

/* Each picture goes in twice: 8 bits with its own palette for old
 * displays, then 32 bits with its alpha channel. Both carry the AND mask
 * (opaque where the alpha is at least one half). */
void EncodeIco(const std::vector<IconImage> &images, std::vector<uint8_t> &out)
{
    std::vector<std::vector<uint8_t>> blobs;
    std::vector<int> sizes, depths;
    for (int bpp : {8, 32})
        for (const IconImage &ii : images) {
            int s = ii.colour.w;
            std::vector<uint8_t> b;
            int xorStride = bpp == 8 ? (s + 3) & ~3 : s * 4;
            int andStride = ((s + 31) / 32) * 4;
            uint32_t image = uint32_t((xorStride + andStride) * s);
            InfoHeader(b, s, s * 2, bpp, 0, image, 0);
            /* biClrUsed 0 means the full 256 for 8 bits. */
            Indexed q;
            if (bpp == 8) {
                Image flat = ii.colour;
                for (size_t i = 0; i < flat.px.size(); i++)
                    if (ii.alpha.a[i] < 0.5f)
                        flat.px[i] = Rgb{0, 0, 0};
                Quantize(flat, 256, false, q);
                for (int i = 0; i < 256; i++) {
                    b.push_back(q.palette[i][2]);
                    b.push_back(q.palette[i][1]);
                    b.push_back(q.palette[i][0]);
                    b.push_back(0);
                }
            }
            for (int y = s - 1; y >= 0; y--) {
                for (int x = 0; x < s; x++) {
                    size_t i = size_t(y) * s + x;
                    if (bpp == 8) {
                        b.push_back(q.index[i]);
                    } else {
                        const Rgb &p = ii.colour.px[i];
                        b.push_back(ToByte(p.b));
                        b.push_back(ToByte(p.g));
                        b.push_back(ToByte(p.r));
                        b.push_back(ToByte(ii.alpha.a[i]));
                    }
                }
                for (int k = bpp == 8 ? s : s * 4; k < xorStride; k++)
                    b.push_back(0);
            }
            for (int y = s - 1; y >= 0; y--) {
                std::vector<uint8_t> row(size_t(andStride), 0);
                for (int x = 0; x < s; x++)
                    if (ii.alpha.a[size_t(y) * s + x] < 0.5f)
                        row[size_t(x / 8)] |= uint8_t(0x80 >> (x % 8));
                b.insert(b.end(), row.begin(), row.end());
            }
            blobs.push_back(b);
            sizes.push_back(s);
            depths.push_back(bpp);
        }
    out.clear();
    Put16(out, 0);
    Put16(out, 1);
    Put16(out, unsigned(blobs.size()));
    uint32_t offset = 6 + 16 * uint32_t(blobs.size());
    for (size_t i = 0; i < blobs.size(); i++) {
        out.push_back(uint8_t(sizes[i]));
        out.push_back(uint8_t(sizes[i]));
        out.push_back(0);
        out.push_back(0);
        Put16(out, 1);
        Put16(out, unsigned(depths[i]));
        Put32(out, uint32_t(blobs[i].size()));
        Put32(out, offset);
        offset += uint32_t(blobs[i].size());
    }
    for (const std::vector<uint8_t> &b : blobs)
        out.insert(out.end(), b.begin(), b.end());
}

int WriteFile(const std::string &path, const std::vector<uint8_t> &bytes)
{
    FILE *f = std::fopen(path.c_str(), "wb");
    if (!f) {
        std::fprintf(stderr, "artgen: cannot create %s\n", path.c_str());
        return 0;
    }
    size_t n = std::fwrite(bytes.data(), 1, bytes.size(), f);
    if (std::fclose(f) != 0 || n != bytes.size()) {
        std::fprintf(stderr, "artgen: cannot write %s\n", path.c_str());
        return 0;
    }
    return 1;
}
