/* The painter of the picture generator: colours, canvases in linear floats,
 * anti-aliased shapes drawn into coverage masks, masks painted onto
 * canvases with flat colours, gradients, chrome and light, and the
 * finishing passes. Its random numbers are its own, so the same program
 * always paints the same pixels and the build stays reproducible. */
#ifndef KVL_ART_CANVAS_H
#define KVL_ART_CANVAS_H

#include <cstdint>
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

/* ---- Deterministic random numbers ---------------------------------------- */

uint32_t NextRandom(uint32_t &state);
float RandomUnit(uint32_t &state);               /* [0, 1) */
float RandomRange(uint32_t &state, float lo, float hi);

#endif
