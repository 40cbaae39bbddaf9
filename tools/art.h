/* The picture generator: a small software painter (shapes, gradients, light,
 * bevels, a pixel font), the file encoders (BMP, RLE8, ICO) and the
 * drawings of the launcher's pictures and of the artbook's demo pictures.
 * Everything is deterministic: the same program always writes the same
 * bytes, so the build is reproducible. */
#ifndef KVL_ART_H
#define KVL_ART_H

#include <cstdint>
#include <string>
#include <vector>

/* ---- Colours and canvases ------------------------------------------------ */

struct Rgb {
    float r, g, b;
};

Rgb Hex(unsigned rgb);                  /* 0xRRGGBB */
Rgb Mix(Rgb a, Rgb b, float t);         /* a + (b - a) t */
Rgb Mul(Rgb a, float k);

/* A picture being painted, in linear 0..1 floats, top row first. */
struct Image {
    int w = 0, h = 0;
    std::vector<Rgb> px;
};

/* A coverage mask (0..1) of the same kind: shapes are drawn into masks,
 * masks are painted onto images. */
struct Mask {
    int w = 0, h = 0;
    std::vector<float> a;
};

void InitImage(Image &im, int w, int h, Rgb fill);
void InitMask(Mask &m, int w, int h);
void BlendPixel(Image &im, int x, int y, Rgb c, float a);
void AddPixel(Image &im, int x, int y, Rgb c, float a);

/* ---- Shapes into masks (union: each pixel keeps its largest coverage) ---- */

void MaskPolygon(Mask &m, const float *xy, int points);
void MaskRect(Mask &m, float x0, float y0, float x1, float y1);
void MaskEllipse(Mask &m, float cx, float cy, float rx, float ry);
void MaskLine(Mask &m, float x0, float y0, float x1, float y1, float width);
void MaskShift(const Mask &src, Mask &dst, int dx, int dy);
void BlurMask(Mask &m, int radius);      /* three box passes, near Gaussian */

/* ---- Painting ------------------------------------------------------------ */

void FillPolygon(Image &im, const float *xy, int points, Rgb c, float a = 1.0f);
void FillRect(Image &im, float x0, float y0, float x1, float y1, Rgb c, float a = 1.0f);
void FillEllipse(Image &im, float cx, float cy, float rx, float ry, Rgb c, float a = 1.0f);
void DrawLine(Image &im, float x0, float y0, float x1, float y1, float width, Rgb c, float a = 1.0f);
void VGradient(Image &im, float x0, float y0, float x1, float y1, Rgb top, Rgb bottom);
void PaintMask(Image &im, const Mask &m, Rgb c, float a = 1.0f);
void PaintMaskGradient(Image &im, const Mask &m, float y0, float y1, Rgb top, Rgb bottom);
void PaintMaskChrome(Image &im, const Mask &m, float y0, float y1);
void AddMask(Image &im, const Mask &m, Rgb c, float a);
void Glow(Image &im, float cx, float cy, float radius, Rgb c, float a);
void Bevel(Image &im, const Mask &m, float width, float strength);
void Scanlines(Image &im, float dark);
void Vignette(Image &im, float strength);
void Grain(Image &im, uint32_t seed, float amount);
void Downscale(const Image &src, Image &dst, int w, int h);
void Blit(Image &dst, const Image &src, int x, int y);

/* ---- Pixel font: 5 x 7 capitals, digits and punctuation (UTF-8 input, the
 * accented capitals drawn with their accent) -------------------------------- */

float TextWidth(const char *text, float scale);
void MaskText(Mask &m, float x, float y, const char *text, float scale);
void DrawText(Image &im, float x, float y, const char *text, float scale, Rgb c, float a = 1.0f);
void DrawTextCentred(Image &im, float cx, float y, const char *text, float scale, Rgb c, float a = 1.0f);

/* ---- Deterministic random numbers ---------------------------------------- */

uint32_t NextRandom(uint32_t &state);
float RandomUnit(uint32_t &state);               /* [0, 1) */
float RandomRange(uint32_t &state, float lo, float hi);

/* ---- Files --------------------------------------------------------------- */

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
int WriteFile(const std::string &path, const std::vector<uint8_t> &bytes);

/* ---- The pictures -------------------------------------------------------- */

/* The launcher's resource files, by name: logo.bmp, menu_side.bmp, ...
 * Returns 1 and the file's bytes, or 0 for an unknown name. */
extern const char *const ResourceFileNames[];
extern const int ResourceFileCount;
int BuildResourceFile(const char *name, std::vector<uint8_t> &out);

/* The artbook: 7 levels, each with ArtbookPictureCount(level) pictures
 * (level 1..7). */
int ArtbookPictureCount(int level);
void DrawArtbookScene(int level, int picture, Image &im);   /* 640 x 480 */
void BuildArtbookPicture(int level, int picture, std::vector<uint8_t> &out);

/* Shared look: the chrome "K.V.L" letters fitted to a box. */
void MaskLogoLetters(Mask &m, float x, float y, float height);
float LogoLettersWidth(float height);

#endif
