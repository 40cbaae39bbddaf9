/* The picture generator's file encoders: 256-colour palettes, 8-bit BMP
 * (plain or RLE8), 24-bit BMP and icons, as the resource compiler and
 * LoadImage read them. */
#ifndef KVL_ART_FILES_H
#define KVL_ART_FILES_H

#include <cstdint>
#include <string>
#include <vector>

#include "tools/art_canvas.h"

/* A 256-colour picture: indexes top row first, and its palette. */
struct Indexed {
    int w = 0, h = 0;
    std::vector<uint8_t> index;
    uint8_t palette[256][3] = {};   /* r, g, b */
    int colours = 0;                 /* entries in use */
};

void Quantize(const Image &im, int colours, bool dither, Indexed &out);
void EncodeRle8Rows(const Indexed &im, std::vector<uint8_t> &out);
void EncodeBmp8(const Indexed &im, bool rle, std::vector<uint8_t> &out);
void EncodeBmp24(const Image &im, std::vector<uint8_t> &out);
/* An icon image: colour plus opacity; sizes must match. */
struct IconImage {
    Image colour;
    Mask alpha;
};
void EncodeIco(const std::vector<IconImage> &images, std::vector<uint8_t> &out);
/* Writes the whole file; 1 when done. */
int WriteFile(const std::string &path, const std::vector<uint8_t> &bytes);

#endif
