/* The software painter: anti-aliased polygon coverage (four sub-scanlines
 * with exact horizontal coverage), gradients, additive light, bevels from a
 * distance field and the finishing passes (scanlines, vignette, grain). */
#include "tools/art_canvas.h"

#include <algorithm>
#include <cmath>

Rgb Hex(unsigned rgb)
{
    Rgb c = {((rgb >> 16) & 255) / 255.0f, ((rgb >> 8) & 255) / 255.0f, (rgb & 255) / 255.0f};
    return c;
}

Rgb Mix(Rgb a, Rgb b, float t)
{
    Rgb c = {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
    return c;
}

Rgb Mul(Rgb a, float k)
{
    Rgb c = {a.r * k, a.g * k, a.b * k};
    return c;
}

static float Clamp01(float v)
{
    return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v);
}

void InitImage(Image &im, int w, int h, Rgb fill)
{
    im.w = w;
    im.h = h;
    im.px.assign(size_t(w) * size_t(h), fill);
}

void InitMask(Mask &m, int w, int h)
{
    m.w = w;
    m.h = h;
    m.a.assign(size_t(w) * size_t(h), 0.0f);
}

void BlendPixel(Image &im, int x, int y, Rgb c, float a)
{
    if (x < 0 || y < 0 || x >= im.w || y >= im.h || a <= 0.0f)
        return;
    Rgb &p = im.px[size_t(y) * im.w + x];
    p = Mix(p, c, a > 1.0f ? 1.0f : a);
}

void AddPixel(Image &im, int x, int y, Rgb c, float a)
{
    if (x < 0 || y < 0 || x >= im.w || y >= im.h || a <= 0.0f)
        return;
    Rgb &p = im.px[size_t(y) * im.w + x];
    p.r = std::min(1.0f, p.r + c.r * a);
    p.g = std::min(1.0f, p.g + c.g * a);
    p.b = std::min(1.0f, p.b + c.b * a);
}

/* ---- Coverage ------------------------------------------------------------ */

typedef void (*CoverFn)(void *ctx, int x, int y, float cover);

/* Even-odd fill of a closed polygon, calling fn for every pixel it covers
 * at least partly, with the covered fraction. */
static void Rasterize(const float *xy, int points, int w, int h, CoverFn fn, void *ctx)
{
    if (points < 3 || w <= 0 || h <= 0)
        return;
    float ymin = xy[1], ymax = xy[1];
    for (int i = 1; i < points; i++) {
        ymin = std::min(ymin, xy[2 * i + 1]);
        ymax = std::max(ymax, xy[2 * i + 1]);
    }
    int y0 = std::max(0, int(std::floor(ymin)));
    int y1 = std::min(h - 1, int(std::ceil(ymax)));
    std::vector<float> cover(static_cast<size_t>(w) + 1, 0.0f);
    std::vector<float> cross;
    cross.reserve(size_t(points));
    for (int y = y0; y <= y1; y++) {
        int lo = w, hi = -1;
        for (int s = 0; s < 4; s++) {
            float sy = y + (s + 0.5f) * 0.25f;
            cross.clear();
            for (int i = 0; i < points; i++) {
                int j = (i + 1) % points;
                float ax = xy[2 * i], ay = xy[2 * i + 1], bx = xy[2 * j], by = xy[2 * j + 1];
                if ((ay <= sy && by > sy) || (by <= sy && ay > sy))
                    cross.push_back(ax + (sy - ay) * (bx - ax) / (by - ay));
            }
            std::sort(cross.begin(), cross.end());
            for (size_t k = 0; k + 1 < cross.size(); k += 2) {
                float xa = std::max(0.0f, cross[k]);
                float xb = std::min(float(w), cross[k + 1]);
                if (xb <= xa)
                    continue;
                int ia = int(xa), ib = int(xb);
                if (ib >= w)
                    ib = w - 1, xb = std::min(xb, float(w));
                lo = std::min(lo, ia);
                hi = std::max(hi, ib);
                if (ia == ib) {
                    cover[ia] += (xb - xa) * 0.25f;
                } else {
                    cover[ia] += (ia + 1 - xa) * 0.25f;
                    for (int i = ia + 1; i < ib; i++)
                        cover[i] += 0.25f;
                    cover[ib] += (xb - ib) * 0.25f;
                }
            }
        }
        for (int x = lo; x <= hi; x++) {
            if (cover[x] > 0.001f)
                fn(ctx, x, y, std::min(1.0f, cover[x]));
            cover[x] = 0.0f;
        }
    }
}

static void CoverMask(void *ctx, int x, int y, float c)
{
    Mask *m = static_cast<Mask *>(ctx);
    float &v = m->a[size_t(y) * m->w + x];
    if (c > v)
        v = c;
}

struct Paint {
    Image *im;
    Rgb c;
    float a;
};

static void CoverPaint(void *ctx, int x, int y, float c)
{
    Paint *p = static_cast<Paint *>(ctx);
    BlendPixel(*p->im, x, y, p->c, c * p->a);
}

static int EllipsePoints(float rx, float ry, std::vector<float> &xy, float cx, float cy)
{
    int n = int(std::max(rx, ry) * 1.5f);
    n = std::max(12, std::min(n, 360));
    xy.resize(size_t(n) * 2);
    for (int i = 0; i < n; i++) {
        float t = 6.2831853f * i / n;
        xy[2 * i] = cx + rx * std::cos(t);
        xy[2 * i + 1] = cy + ry * std::sin(t);
    }
    return n;
}

static void LineQuad(float x0, float y0, float x1, float y1, float width, float q[8])
{
    float dx = x1 - x0, dy = y1 - y0;
    float len = std::sqrt(dx * dx + dy * dy);
    if (len < 1e-6f)
        len = 1e-6f, dx = 1e-6f;
    float nx = -dy / len * width * 0.5f, ny = dx / len * width * 0.5f;
    q[0] = x0 + nx, q[1] = y0 + ny, q[2] = x1 + nx, q[3] = y1 + ny;
    q[4] = x1 - nx, q[5] = y1 - ny, q[6] = x0 - nx, q[7] = y0 - ny;
}

void MaskPolygon(Mask &m, const float *xy, int points)
{
    Rasterize(xy, points, m.w, m.h, CoverMask, &m);
}

void MaskRect(Mask &m, float x0, float y0, float x1, float y1)
{
    float q[8] = {x0, y0, x1, y0, x1, y1, x0, y1};
    MaskPolygon(m, q, 4);
}

void MaskEllipse(Mask &m, float cx, float cy, float rx, float ry)
{
    std::vector<float> xy;
    int n = EllipsePoints(rx, ry, xy, cx, cy);
    MaskPolygon(m, xy.data(), n);
}

void MaskLine(Mask &m, float x0, float y0, float x1, float y1, float width)
{
    float q[8];
    LineQuad(x0, y0, x1, y1, width, q);
    MaskPolygon(m, q, 4);
}

void MaskShift(const Mask &src, Mask &dst, int dx, int dy)
{
    InitMask(dst, src.w, src.h);
    for (int y = 0; y < src.h; y++) {
        int sy = y - dy;
        if (sy < 0 || sy >= src.h)
            continue;
        for (int x = 0; x < src.w; x++) {
            int sx = x - dx;
            if (sx >= 0 && sx < src.w)
                dst.a[size_t(y) * src.w + x] = src.a[size_t(sy) * src.w + sx];
        }
    }
}

/* One box pass over the rows (or columns) of the rectangle x0..x1, y0..y1
 * (inclusive), the edges repeating outwards. */
static void BoxPass(std::vector<float> &v, int w, int x0, int y0, int x1, int y1, int r, bool rows)
{
    int n = rows ? x1 - x0 + 1 : y1 - y0 + 1;
    int first = rows ? y0 : x0, last = rows ? y1 : x1;
    std::vector<float> line(static_cast<size_t>(n));
    for (int l = first; l <= last; l++) {
        for (int i = 0; i < n; i++)
            line[i] = rows ? v[size_t(l) * w + x0 + i] : v[size_t(y0 + i) * w + l];
        float sum = 0.0f;
        for (int i = -r; i <= r; i++)
            sum += line[std::max(0, std::min(n - 1, i))];
        for (int i = 0; i < n; i++) {
            float out = sum / float(2 * r + 1);
            if (rows)
                v[size_t(l) * w + x0 + i] = out;
            else
                v[size_t(y0 + i) * w + l] = out;
            sum += line[std::min(n - 1, i + r + 1)] - line[std::max(0, i - r)];
        }
    }
}

/* Blurs only around what the mask holds: beyond three radii of its last
 * covered pixel the result stays zero. */
void BlurMask(Mask &m, int radius)
{
    if (radius <= 0)
        return;
    int x0 = m.w, y0 = m.h, x1 = -1, y1 = -1;
    for (int y = 0; y < m.h; y++)
        for (int x = 0; x < m.w; x++)
            if (m.a[size_t(y) * m.w + x] > 0.0f) {
                x0 = std::min(x0, x), x1 = std::max(x1, x);
                y0 = std::min(y0, y), y1 = std::max(y1, y);
            }
    if (x1 < 0)
        return;
    int grow = 3 * radius + 1;
    x0 = std::max(0, x0 - grow), y0 = std::max(0, y0 - grow);
    x1 = std::min(m.w - 1, x1 + grow), y1 = std::min(m.h - 1, y1 + grow);
    for (int pass = 0; pass < 3; pass++) {
        BoxPass(m.a, m.w, x0, y0, x1, y1, radius, true);
        BoxPass(m.a, m.w, x0, y0, x1, y1, radius, false);
    }
}

/* ---- Painting ------------------------------------------------------------ */

void FillPolygon(Image &im, const float *xy, int points, Rgb c, float a)
{
    Paint p = {&im, c, a};
    Rasterize(xy, points, im.w, im.h, CoverPaint, &p);
}

void FillRect(Image &im, float x0, float y0, float x1, float y1, Rgb c, float a)
{
    float q[8] = {x0, y0, x1, y0, x1, y1, x0, y1};
    FillPolygon(im, q, 4, c, a);
}

void FillEllipse(Image &im, float cx, float cy, float rx, float ry, Rgb c, float a)
{
    std::vector<float> xy;
    int n = EllipsePoints(rx, ry, xy, cx, cy);
    FillPolygon(im, xy.data(), n, c, a);
}

void DrawLine(Image &im, float x0, float y0, float x1, float y1, float width, Rgb c, float a)
{
    float q[8];
    LineQuad(x0, y0, x1, y1, width, q);
    FillPolygon(im, q, 4, c, a);
}

void VGradient(Image &im, float x0, float y0, float x1, float y1, Rgb top, Rgb bottom)
{
    int ix0 = std::max(0, int(x0)), ix1 = std::min(im.w, int(std::ceil(x1)));
    int iy0 = std::max(0, int(y0)), iy1 = std::min(im.h, int(std::ceil(y1)));
    for (int y = iy0; y < iy1; y++) {
        float t = y1 > y0 ? Clamp01((y + 0.5f - y0) / (y1 - y0)) : 0.0f;
        Rgb c = Mix(top, bottom, t);
        for (int x = ix0; x < ix1; x++)
            im.px[size_t(y) * im.w + x] = c;
    }
}

void PaintMask(Image &im, const Mask &m, Rgb c, float a)
{
    for (int y = 0; y < m.h && y < im.h; y++)
        for (int x = 0; x < m.w && x < im.w; x++) {
            float v = m.a[size_t(y) * m.w + x];
            if (v > 0.0f)
                BlendPixel(im, x, y, c, v * a);
        }
}

void PaintMaskGradient(Image &im, const Mask &m, float y0, float y1, Rgb top, Rgb bottom)
{
    for (int y = 0; y < m.h && y < im.h; y++) {
        Rgb c = Mix(top, bottom, Clamp01((y + 0.5f - y0) / (y1 - y0)));
        for (int x = 0; x < m.w && x < im.w; x++) {
            float v = m.a[size_t(y) * m.w + x];
            if (v > 0.0f)
                BlendPixel(im, x, y, c, v);
        }
    }
}

/* Polished metal reflecting a sky and a dark horizon: bright top, a sharp
 * dark band just above the middle, a warm glow towards the bottom. */
static Rgb ChromeAt(float t)
{
    static const float stops[][4] = {
        {0.00f, 0.55f, 0.70f, 0.85f}, {0.30f, 0.95f, 0.98f, 1.00f}, {0.50f, 0.55f, 0.62f, 0.72f},
        {0.52f, 0.10f, 0.12f, 0.18f}, {0.70f, 0.30f, 0.34f, 0.42f}, {1.00f, 0.95f, 0.72f, 0.45f},
    };
    const int n = sizeof stops / sizeof stops[0];
    t = Clamp01(t);
    for (int i = 0; i + 1 < n; i++)
        if (t <= stops[i + 1][0]) {
            float k = (t - stops[i][0]) / (stops[i + 1][0] - stops[i][0]);
            Rgb a = {stops[i][1], stops[i][2], stops[i][3]};
            Rgb b = {stops[i + 1][1], stops[i + 1][2], stops[i + 1][3]};
            return Mix(a, b, k);
        }
    Rgb last = {stops[n - 1][1], stops[n - 1][2], stops[n - 1][3]};
    return last;
}

void PaintMaskChrome(Image &im, const Mask &m, float y0, float y1)
{
    for (int y = 0; y < m.h && y < im.h; y++) {
        Rgb c = ChromeAt((y + 0.5f - y0) / (y1 - y0));
        for (int x = 0; x < m.w && x < im.w; x++) {
            float v = m.a[size_t(y) * m.w + x];
            if (v > 0.0f)
                BlendPixel(im, x, y, c, v);
        }
    }
}

void AddMask(Image &im, const Mask &m, Rgb c, float a)
{
    for (int y = 0; y < m.h && y < im.h; y++)
        for (int x = 0; x < m.w && x < im.w; x++) {
            float v = m.a[size_t(y) * m.w + x];
            if (v > 0.0f)
                AddPixel(im, x, y, c, v * a);
        }
}

void Glow(Image &im, float cx, float cy, float radius, Rgb c, float a)
{
    int x0 = std::max(0, int(cx - radius)), x1 = std::min(im.w - 1, int(cx + radius) + 1);
    int y0 = std::max(0, int(cy - radius)), y1 = std::min(im.h - 1, int(cy + radius) + 1);
    for (int y = y0; y <= y1; y++)
        for (int x = x0; x <= x1; x++) {
            float dx = x + 0.5f - cx, dy = y + 0.5f - cy;
            float d = std::sqrt(dx * dx + dy * dy) / radius;
            if (d < 1.0f) {
                float k = (1.0f - d) * (1.0f - d);
                AddPixel(im, x, y, c, k * a);
            }
        }
}

/* Raised edges: the distance of every inside pixel to the outline gives a
 * height that rises over `width` pixels; its slope, lit from the upper
 * left, brightens or darkens the pixel. */
void Bevel(Image &im, const Mask &m, float width, float strength)
{
    int w = m.w, h = m.h;
    const float far = 1e6f;
    std::vector<float> d(size_t(w) * size_t(h));
    for (size_t i = 0; i < d.size(); i++)
        d[i] = m.a[i] > 0.5f ? far : 0.0f;
    auto at = [&](int x, int y) -> float {
        return (x < 0 || y < 0 || x >= w || y >= h) ? 0.0f : d[size_t(y) * w + x];
    };
    const float diag = 1.4142f;
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            float &v = d[size_t(y) * w + x];
            if (v == 0.0f)
                continue;
            v = std::min({v, at(x - 1, y) + 1, at(x, y - 1) + 1, at(x - 1, y - 1) + diag, at(x + 1, y - 1) + diag});
        }
    for (int y = h - 1; y >= 0; y--)
        for (int x = w - 1; x >= 0; x--) {
            float &v = d[size_t(y) * w + x];
            if (v == 0.0f)
                continue;
            v = std::min({v, at(x + 1, y) + 1, at(x, y + 1) + 1, at(x + 1, y + 1) + diag, at(x - 1, y + 1) + diag});
        }
    auto height = [&](int x, int y) -> float { return std::min(at(x, y), width) / width; };
    const float lx = -0.6f, ly = -0.6f;
    for (int y = 0; y < h && y < im.h; y++)
        for (int x = 0; x < w && x < im.w; x++) {
            float cov = m.a[size_t(y) * w + x];
            if (cov <= 0.0f || at(x, y) > width + 1.0f)
                continue;
            float gx = height(x + 1, y) - height(x - 1, y);
            float gy = height(x, y + 1) - height(x, y - 1);
            float shade = -(gx * lx + gy * ly) * 1.2f;
            Rgb white = {1, 1, 1}, black = {0, 0, 0};
            if (shade > 0)
                BlendPixel(im, x, y, white, Clamp01(shade) * strength * cov);
            else
                BlendPixel(im, x, y, black, Clamp01(-shade) * strength * cov);
        }
}

void Scanlines(Image &im, float dark)
{
    for (int y = 1; y < im.h; y += 2)
        for (int x = 0; x < im.w; x++)
            im.px[size_t(y) * im.w + x] = Mul(im.px[size_t(y) * im.w + x], 1.0f - dark);
}

void Vignette(Image &im, float strength)
{
    float cx = im.w * 0.5f, cy = im.h * 0.5f, r2 = cx * cx + cy * cy;
    for (int y = 0; y < im.h; y++)
        for (int x = 0; x < im.w; x++) {
            float dx = x - cx, dy = y - cy;
            float k = 1.0f - strength * (dx * dx + dy * dy) / r2;
            im.px[size_t(y) * im.w + x] = Mul(im.px[size_t(y) * im.w + x], std::max(0.0f, k));
        }
}

void Grain(Image &im, uint32_t seed, float amount)
{
    uint32_t s = seed | 1u;
    for (Rgb &p : im.px) {
        float n = (RandomUnit(s) - 0.5f) * amount;
        p.r = Clamp01(p.r + n), p.g = Clamp01(p.g + n), p.b = Clamp01(p.b + n);
    }
}

void Downscale(const Image &src, Image &dst, int w, int h)
{
    InitImage(dst, w, h, Rgb{0, 0, 0});
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            int sx0 = x * src.w / w, sx1 = std::max(sx0 + 1, (x + 1) * src.w / w);
            int sy0 = y * src.h / h, sy1 = std::max(sy0 + 1, (y + 1) * src.h / h);
            Rgb sum = {0, 0, 0};
            for (int sy = sy0; sy < sy1; sy++)
                for (int sx = sx0; sx < sx1; sx++) {
                    const Rgb &p = src.px[size_t(sy) * src.w + sx];
                    sum.r += p.r, sum.g += p.g, sum.b += p.b;
                }
            dst.px[size_t(y) * w + x] = Mul(sum, 1.0f / float((sx1 - sx0) * (sy1 - sy0)));
        }
}

void Blit(Image &dst, const Image &src, int x, int y)
{
    for (int sy = 0; sy < src.h; sy++)
        for (int sx = 0; sx < src.w; sx++) {
            int dx = x + sx, dy = y + sy;
            if (dx >= 0 && dy >= 0 && dx < dst.w && dy < dst.h)
                dst.px[size_t(dy) * dst.w + dx] = src.px[size_t(sy) * src.w + sx];
        }
}

/* ---- Random numbers: xorshift32, the same sequence everywhere ------------ */

uint32_t NextRandom(uint32_t &state)
{
    uint32_t x = state ? state : 0x9E3779B9u;
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    state = x;
    return x;
}

float RandomUnit(uint32_t &state)
{
    return float(NextRandom(state) >> 8) / 16777216.0f;
}

float RandomRange(uint32_t &state, float lo, float hi)
{
    return lo + (hi - lo) * RandomUnit(state);
}
