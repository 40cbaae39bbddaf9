/* The launcher's own pictures and icons. One look throughout: dark blued
 * steel, chrome letters with bevelled edges, cyan neon lines and a warm
 * orange accent, with faint scanlines like a monitor of the time. */
#include "tools/art_resources.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "common/levels.h"
#include "tools/art_canvas.h"
#include "tools/art_files.h"
#include "tools/art_font.h"
#include "tools/art_scenes.h"

/* ---- The "K.V.L" letters --------------------------------------------------
 * Polygons in a cell one unit high, leaning forward; x advances per shape. */

struct LetterShape {
    float advance;
    int parts;
    int points[3];
    float xy[3][16];
};

static const LetterShape LogoShapes[] = {
    /* K: stem, upper arm, lower leg */
    {0.86f, 3, {4, 4, 4},
     {{0, 0, 0.24f, 0, 0.24f, 1, 0, 1},
      {0.16f, 0.50f, 0.58f, 0, 0.86f, 0, 0.30f, 0.66f},
      {0.30f, 0.40f, 0.86f, 1, 0.58f, 1, 0.16f, 0.52f}}},
    /* dot */
    {0.24f, 1, {4, 0, 0}, {{0.02f, 0.78f, 0.22f, 0.78f, 0.22f, 1, 0.02f, 1}}},
    /* V */
    {0.92f, 1, {7, 0, 0}, {{0, 0, 0.26f, 0, 0.46f, 0.66f, 0.66f, 0, 0.92f, 0, 0.60f, 1, 0.32f, 1}}},
    /* dot */
    {0.24f, 1, {4, 0, 0}, {{0.02f, 0.78f, 0.22f, 0.78f, 0.22f, 1, 0.02f, 1}}},
    /* L */
    {0.70f, 1, {6, 0, 0}, {{0, 0, 0.25f, 0, 0.25f, 0.77f, 0.70f, 0.77f, 0.70f, 1, 0, 1}}},
};

static const float LogoGap = 0.09f;
static const float LogoSlant = 0.22f;

/* The chrome "K.V.L" letters fitted to a box. */
static float LogoLettersWidth(float height)
{
    float w = 0;
    for (const LetterShape &s : LogoShapes)
        w += s.advance + LogoGap;
    return (w - LogoGap + LogoSlant) * height;
}

/* One letter into m, its cell starting pen letter heights right of x. */
static void MaskLetter(Mask &m, const LetterShape &s, float x, float pen, float y, float height)
{
    for (int p = 0; p < s.parts; p++) {
        float q[16];
        for (int i = 0; i < s.points[p]; i++) {
            float ux = s.xy[p][2 * i], uy = s.xy[p][2 * i + 1];
            q[2 * i] = x + (pen + ux + (1.0f - uy) * LogoSlant) * height;
            q[2 * i + 1] = y + uy * height;
        }
        MaskPolygon(m, q, s.points[p]);
    }
}

static void MaskLogoLetters(Mask &m, float x, float y, float height)
{
    float pen = 0;
    for (const LetterShape &s : LogoShapes) {
        MaskLetter(m, s, x, pen, y, height);
        pen += s.advance + LogoGap;
    }
}

/* Chrome letters with a drop shadow, a bevel and a neon rim. */
static void DrawChromeMask(Image &im, const Mask &m, float top, float bottom, float bevel, Rgb neon, float glow)
{
    Mask shadow;
    int off = std::max(1, int(bevel * 0.6f));
    MaskShift(m, shadow, off, off);
    BlurMask(shadow, std::max(1, off / 2));
    PaintMask(im, shadow, Rgb{0, 0, 0}, 0.75f);
    if (glow > 0) {
        Mask halo = m;
        BlurMask(halo, std::max(2, int(bevel * 1.5f)));
        AddMask(im, halo, neon, glow);
    }
    PaintMaskChrome(im, m, top, bottom);
    Bevel(im, m, bevel, 0.75f);
}

static void DrawLogo(Image &im, float x, float y, float height, Rgb neon, float glow)
{
    Mask m;
    InitMask(m, im.w, im.h);
    MaskLogoLetters(m, x, y, height);
    DrawChromeMask(im, m, y, y + height, std::max(1.5f, height * 0.09f), neon, glow);
}

static const Rgb Neon = {0.25f, 0.85f, 1.0f};
static const Rgb Ember = {1.0f, 0.55f, 0.15f};

/* The logo's K alone, centred on cx, as the emblem and the main icon show
 * it: chrome in a neon halo, bevelled. */
static void DrawLogoK(Image &im, float cx, float top, float height, int halo, float glow, float bevel)
{
    const LetterShape &k = LogoShapes[0];
    Mask m;
    InitMask(m, im.w, im.h);
    MaskLetter(m, k, cx - (k.advance + LogoSlant) * height * 0.5f, 0, top, height);
    Mask light = m;
    BlurMask(light, halo);
    AddMask(im, light, Neon, glow);
    PaintMaskChrome(im, m, top, top + height);
    Bevel(im, m, bevel, 0.6f);
}

/* Brushed dark steel: a vertical gradient with fine horizontal streaks. */
static void Steel(Image &im, float x0, float y0, float x1, float y1, Rgb top, Rgb bottom, uint32_t seed)
{
    VGradient(im, x0, y0, x1, y1, top, bottom);
    uint32_t s = seed;
    for (int y = int(y0); y < int(y1) && y < im.h; y++) {
        float streak = RandomRange(s, -0.018f, 0.018f);
        for (int x = int(x0); x < int(x1) && x < im.w; x++) {
            Rgb &p = im.px[size_t(y) * im.w + x];
            p.r += streak, p.g += streak, p.b += streak;
        }
    }
}

/* A raised plate: light upper-left edge, dark lower-right edge. */
static void Frame(Image &im, float x0, float y0, float x1, float y1, float t, float a)
{
    Rgb light = {0.75f, 0.82f, 0.90f}, dark = {0, 0, 0};
    FillRect(im, x0, y0, x1, y0 + t, light, a);
    FillRect(im, x0, y0, x0 + t, y1, light, a);
    FillRect(im, x0, y1 - t, x1, y1, dark, a);
    FillRect(im, x1 - t, y0, x1, y1, dark, a);
}

/* Perspective floor grid converging on (cx, horizon). */
static void NeonGrid(Image &im, float cx, float horizon, float bottom, Rgb c, float a, int rays, float spread)
{
    for (int i = -rays; i <= rays; i++) {
        float xb = cx + i * spread;
        DrawLine(im, cx, horizon, xb, bottom, 1.0f, c, a);
    }
    for (int k = 1; k < 14; k++) {
        float t = float(k) / 14.0f;
        float y = horizon + (bottom - horizon) * t * t;
        DrawLine(im, 0, y, float(im.w), y, 1.0f, c, a * (0.3f + 0.7f * t));
    }
}

/* ---- Bitmap 200: the product logo, 128 x 74 ------------------------------- */

static void DrawProductLogo(Image &im)
{
    InitImage(im, 128, 74, Hex(0x101820));
    Steel(im, 0, 0, 128, 74, Hex(0x2A3442), Hex(0x0B0F16), 200);
    Frame(im, 0, 0, 128, 74, 2, 0.8f);
    FillRect(im, 4, 54, 124, 55, Neon, 0.9f);
    Glow(im, 64, 54.5f, 60, Neon, 0.25f);
    float h = 34, w = LogoLettersWidth(h);
    DrawLogo(im, (128 - w) * 0.5f, 13, h, Neon, 0.35f);
    DrawTextCentred(im, 64, 60, "ACTION 3D", 1, Hex(0x9FB4C8));
    Scanlines(im, 0.10f);
}

/* ---- Bitmaps 202 and 203: the side pictures, 145 x 295 -------------------- */

static void SideBackground(Image &im, uint32_t seed)
{
    InitImage(im, 145, 295, Hex(0));
    VGradient(im, 0, 0, 145, 170, Hex(0x05060E), Hex(0x2A1038));
    VGradient(im, 0, 170, 145, 295, Hex(0x06121C), Hex(0x010306));
    Glow(im, 72, 170, 110, Hex(0xFF5A20), 0.55f);
    uint32_t s = seed;
    for (int i = 0; i < 60; i++) {
        float x = RandomRange(s, 0, 145), y = RandomRange(s, 0, 150), b = RandomRange(s, 0.2f, 0.9f);
        AddPixel(im, int(x), int(y), Rgb{0.8f, 0.9f, 1.0f}, b * (1.0f - y / 170.0f));
    }
    NeonGrid(im, 72, 170, 295, Neon, 0.55f, 9, 40);
    FillRect(im, 0, 169.5f, 145, 170.5f, Hex(0xFFD0A0), 0.9f);
}

static void DrawMenuSide(Image &im)
{
    SideBackground(im, 202);
    /* Distant towers against the glow. */
    uint32_t s = 2021;
    float x = 0;
    while (x < 145) {
        float bw = RandomRange(s, 6, 16), bh = RandomRange(s, 8, 36);
        FillRect(im, x, 170 - bh, x + bw, 170, Hex(0x0A0714));
        if (bh > 24)
            FillRect(im, x + bw * 0.5f - 0.5f, 170 - bh - 6, x + bw * 0.5f + 0.5f, 170 - bh, Hex(0x0A0714));
        for (int k = 0; k < 4; k++)
            if (RandomUnit(s) < 0.5f)
                AddPixel(im, int(x + 2 + RandomRange(s, 0, bw - 3)), int(170 - RandomRange(s, 3, bh)), Hex(0xFFC070), 0.8f);
        x += bw + RandomRange(s, 0, 3);
    }
    /* The letters stacked vertically, large. */
    Mask m;
    InitMask(m, im.w, im.h);
    float h = 40;
    for (int i = 0; i < 3; i++) {
        /* Reuse the logo shapes one by one: K, V, L are shapes 0, 2, 4. */
        const LetterShape &sh = LogoShapes[i * 2];
        float lx = 72 - (sh.advance + LogoSlant) * h * 0.5f, ly = 14 + i * 48.0f;
        for (int p = 0; p < sh.parts; p++) {
            float q[16];
            for (int k = 0; k < sh.points[p]; k++) {
                float ux = sh.xy[p][2 * k], uy = sh.xy[p][2 * k + 1];
                q[2 * k] = lx + (ux + (1.0f - uy) * LogoSlant) * h;
                q[2 * k + 1] = ly + uy * h;
            }
            MaskPolygon(m, q, sh.points[p]);
        }
    }
    /* Each letter gets its own chrome band. */
    Mask shadow;
    MaskShift(m, shadow, 3, 3);
    BlurMask(shadow, 2);
    PaintMask(im, shadow, Rgb{0, 0, 0}, 0.8f);
    Mask halo = m;
    BlurMask(halo, 5);
    AddMask(im, halo, Neon, 0.6f);
    for (int i = 0; i < 3; i++) {
        Mask one;
        InitMask(one, im.w, im.h);
        int y0 = 14 + i * 48, y1 = y0 + 40;
        for (int y = y0 - 1; y <= y1 + 1 && y < im.h; y++)
            for (int xx = 0; xx < im.w; xx++)
                one.a[size_t(y) * im.w + xx] = m.a[size_t(y) * im.w + xx];
        PaintMaskChrome(im, one, float(y0), float(y1));
    }
    Bevel(im, m, 3.5f, 0.75f);
    FillRect(im, 30, 262, 115, 291, Hex(0x000000), 0.65f);
    FillRect(im, 30, 262, 115, 263, Neon, 0.8f);
    DrawTextCentred(im, 72.5f, 268, "BRIXOLAN", 1, Hex(0xC0D8F0));
    DrawTextCentred(im, 72.5f, 280, "1998", 1, Hex(0x80A0C0));
    Scanlines(im, 0.12f);
    Frame(im, 0, 0, 145, 295, 1, 0.6f);
}

static void DrawWaitSide(Image &im)
{
    SideBackground(im, 203);
    /* A radar scope sweeping the machine for its devices. */
    float cx = 72, cy = 92, r = 56;
    FillEllipse(im, cx, cy, r + 6, r + 6, Hex(0x1A222C));
    FillEllipse(im, cx, cy, r + 3, r + 3, Hex(0x56667A));
    FillEllipse(im, cx, cy, r, r, Hex(0x03140F));
    for (int k = 1; k <= 3; k++) {
        float rr = r * k / 3.0f;
        Mask ring;
        InitMask(ring, im.w, im.h);
        MaskEllipse(ring, cx, cy, rr, rr);
        Mask inner;
        InitMask(inner, im.w, im.h);
        MaskEllipse(inner, cx, cy, rr - 1, rr - 1);
        for (size_t i = 0; i < ring.a.size(); i++)
            ring.a[i] = std::max(0.0f, ring.a[i] - inner.a[i]);
        PaintMask(im, ring, Hex(0x30FF90), 0.5f);
    }
    DrawLine(im, cx - r, cy, cx + r, cy, 1, Hex(0x30FF90), 0.4f);
    DrawLine(im, cx, cy - r, cx, cy + r, 1, Hex(0x30FF90), 0.4f);
    /* The sweep: a fan of fading wedges behind the beam. */
    float beam = -0.9f;
    for (int i = 0; i < 24; i++) {
        float a0 = beam - i * 0.05f, a1 = a0 - 0.05f;
        float q[6] = {cx, cy, cx + r * std::cos(a0), cy + r * std::sin(a0), cx + r * std::cos(a1), cy + r * std::sin(a1)};
        FillPolygon(im, q, 3, Hex(0x40FFA0), 0.8f * (1.0f - i / 24.0f) * (1.0f - i / 24.0f));
    }
    DrawLine(im, cx, cy, cx + r * std::cos(beam), cy + r * std::sin(beam), 1.5f, Hex(0xB0FFD0), 1.0f);
    static const float blips[][2] = {{0.55f, -1.3f}, {0.3f, 2.2f}, {0.8f, 0.7f}, {0.65f, -2.6f}};
    for (const float *b : blips) {
        float bx = cx + r * b[0] * std::cos(b[1]), by = cy + r * b[0] * std::sin(b[1]);
        FillEllipse(im, bx, by, 2, 2, Hex(0xB0FFD0));
        Glow(im, bx, by, 7, Hex(0x30FF90), 0.6f);
    }
    /* Reflection on the glass. */
    FillEllipse(im, cx - r * 0.35f, cy - r * 0.45f, r * 0.35f, r * 0.14f, Rgb{1, 1, 1}, 0.10f);
    float h = 26, w = LogoLettersWidth(h);
    DrawLogo(im, 72 - w * 0.5f, 184, h, Neon, 0.5f);
    DrawTextCentred(im, 72, 228, "SCAN", 2, Hex(0x30FF90));
    Scanlines(im, 0.12f);
    Frame(im, 0, 0, 145, 295, 1, 0.6f);
}

/* ---- Bitmap 204: the picture button's emblem, 50 x 64 --------------------- */

static void DrawEmblem(Image &im)
{
    InitImage(im, 50, 64, Hex(0x0C1118));
    Steel(im, 0, 0, 50, 64, Hex(0x303A48), Hex(0x0A0D12), 204);
    /* A shield with a chrome rim and the K in its middle. */
    const float shield[] = {25, 3, 46, 10, 44, 38, 25, 61, 6, 38, 4, 10};
    Mask rim;
    InitMask(rim, 50, 64);
    MaskPolygon(rim, shield, 6);
    Mask shadow;
    MaskShift(rim, shadow, 2, 2);
    BlurMask(shadow, 1);
    PaintMask(im, shadow, Rgb{0, 0, 0}, 0.7f);
    PaintMaskChrome(im, rim, 3, 61);
    Bevel(im, rim, 2.5f, 0.8f);
    const float inner[] = {25, 8, 41, 13.5f, 39.5f, 36, 25, 54, 10.5f, 36, 9, 13.5f};
    Mask in;
    InitMask(in, 50, 64);
    MaskPolygon(in, inner, 6);
    PaintMaskGradient(im, in, 8, 54, Hex(0x14304A), Hex(0x060A14));
    DrawLogoK(im, 25, 16, 26, 2, 0.8f, 2);
}

/* ---- Bitmap 305: the team page, 640 x 480, run-length encoded -------------
 * Flat colours on horizontal bands so that RLE8 packs it well. */

static void DrawTeam(Image &im)
{
    InitImage(im, 640, 480, Hex(0));
    /* Bands of constant colour per row compress to one run each. */
    for (int y = 0; y < 480; y++) {
        float t = y / 479.0f;
        Rgb c = Mix(Hex(0x0A0E1C), Hex(0x1C0A24), t);
        int band = y / 4;
        c = Mix(c, Hex(0x000000), (band & 1) ? 0.06f : 0.0f);
        for (int x = 0; x < 640; x++)
            im.px[size_t(y) * 640 + x] = c;
    }
    float h = 56, w = LogoLettersWidth(h);
    DrawLogo(im, 320 - w * 0.5f, 18, h, Neon, 0.0f);
    FillRect(im, 60, 90, 580, 92, Neon);
    FillRect(im, 60, 92, 580, 93, Hex(0x0E5066));
    DrawTextCentred(im, 323, 103, "L'ÉQUIPE", 3, Hex(0x000000));
    DrawTextCentred(im, 320, 100, "L'ÉQUIPE", 3, Hex(0xFFFFFF));
    struct Role {
        const char *title;
        const char *names[3];
    };
    static const Role roles[] = {
        {"PROGRAMMATION", {"MARC VILLENEUVE", "SOPHIE DARRAS", "THOMAS KERVEN"}},
        {"GRAPHISMES", {"LUCIE MORVAN", "ANTOINE BRASSAC", nullptr}},
        {"MUSIQUE ET SONS", {"JULIEN FAVRIER", nullptr, nullptr}},
        {"CONCEPTION DES NIVEAUX", {"CLAIRE DELORMEAU", "NICOLAS AUBRAY", nullptr}},
        {"PRODUCTION", {"PIERRE LANGEVIN", nullptr, nullptr}},
        {"TESTS", {"EMILIE ROCHEREAU", "DAVID MERCADIER", "KARIM BENSALEM"}},
    };
    /* Two columns of three roles. */
    for (int i = 0; i < 6; i++) {
        float cx = i < 3 ? 170.0f : 470.0f;
        float y = 136 + (i % 3) * 100.0f;
        /* Hard drop shadows keep the page in flat runs. */
        DrawTextCentred(im, cx + 2, y + 2, roles[i].title, 2, Hex(0x000000));
        DrawTextCentred(im, cx, y, roles[i].title, 2, Ember);
        float tw = TextWidth(roles[i].title, 2);
        FillRect(im, cx - tw * 0.5f, y + 17, cx + tw * 0.5f, y + 18, Hex(0x804010));
        for (int k = 0; k < 3 && roles[i].names[k]; k++) {
            DrawTextCentred(im, cx + 2, y + 30 + k * 20, roles[i].names[k], 2, Hex(0x000000));
            DrawTextCentred(im, cx, y + 28 + k * 20, roles[i].names[k], 2, Hex(0xD8E4F0));
        }
    }
    FillRect(im, 319, 140, 321, 420, Hex(0x0E5066));
    FillRect(im, 60, 436, 580, 437, Neon);
    DrawTextCentred(im, 320, 446, "BRIXOLAN 1998 - MERCI D'AVOIR JOUÉ", 1, Hex(0x7F90A8));
}

/* ---- Bitmap 1004: the artbook's cover, 640 x 480 -------------------------- */

static void DrawCover(Image &im)
{
    InitImage(im, 640, 480, Hex(0));
    VGradient(im, 0, 0, 640, 210, Hex(0x04040C), Hex(0x3A1240));
    VGradient(im, 0, 210, 640, 480, Hex(0x061420), Hex(0x000000));
    Glow(im, 320, 210, 420, Hex(0xFF5020), 0.55f);
    Glow(im, 320, 210, 140, Hex(0xFFC080), 0.35f);
    NeonGrid(im, 320, 210, 480, Neon, 0.45f, 16, 80);
    FillRect(im, 0, 209.5f, 640, 210.5f, Hex(0xFFE0B0), 0.9f);
    uint32_t s = 1004;
    for (int i = 0; i < 160; i++) {
        float x = RandomRange(s, 0, 640), y = RandomRange(s, 0, 190), b = RandomRange(s, 0.1f, 0.9f);
        AddPixel(im, int(x), int(y), Rgb{0.8f, 0.9f, 1.0f}, b * (1.0f - y / 210.0f));
    }
    float h = 96, w = LogoLettersWidth(h);
    DrawLogo(im, 320 - w * 0.5f, 36, h, Neon, 0.55f);
    DrawTextCentred(im, 322, 160, "LIVRE D'IMAGES", 4, Rgb{0, 0, 0}, 0.7f);
    DrawTextCentred(im, 320, 158, "LIVRE D'IMAGES", 4, Hex(0xFFE8C0));
    /* A strip of the levels, each a small framed view. */
    const int tw = 80, th = 60, gap = 8;
    int x0 = (640 - (LEVEL_COUNT * tw + (LEVEL_COUNT - 1) * gap)) / 2;
    for (int l = 1; l <= LEVEL_COUNT; l++) {
        Image big, small;
        DrawArtbookScene(l, 0, big);
        Downscale(big, small, tw, th);
        int x = x0 + (l - 1) * (tw + gap), y = 300;
        FillRect(im, float(x - 3), float(y - 3), float(x + tw + 3), float(y + th + 3), Hex(0x000000), 0.7f);
        FillRect(im, float(x - 2), float(y - 2), float(x + tw + 2), float(y + th + 2), Hex(0x8AA0B8));
        Blit(im, small, x, y);
        char num[16];
        std::snprintf(num, sizeof num, "%d", l);
        DrawTextCentred(im, x + tw * 0.5f, float(y + th + 8), num, 2, Neon);
        DrawTextCentred(im, x + tw * 0.5f, float(y + th + 26), ArtbookLevelName(l), 1, Hex(0xC8D4E0));
    }
    DrawTextCentred(im, 320, 440, "CHOISISSEZ UN NIVEAU TERMINÉ", 1, Hex(0x8090A8));
    Scanlines(im, 0.08f);
    Vignette(im, 0.35f);
}

/* ---- Icons ------------------------------------------------------------------ */

typedef void (*IconPainter)(Image &im, Mask &alpha, int s);

/* Draws the icon at 4 times its size and averages down: smooth edges. */
static void MakeIcon(IconPainter paint, int s, IconImage &out)
{
    Image big;
    Mask alpha;
    int b = s * 4;
    InitImage(big, b, b, Hex(0));
    InitMask(alpha, b, b);
    paint(big, alpha, b);
    InitImage(out.colour, s, s, Hex(0));
    InitMask(out.alpha, s, s);
    for (int y = 0; y < s; y++)
        for (int x = 0; x < s; x++) {
            Rgb sum = {0, 0, 0};
            float a = 0;
            for (int dy = 0; dy < 4; dy++)
                for (int dx = 0; dx < 4; dx++) {
                    size_t i = size_t(y * 4 + dy) * b + size_t(x * 4 + dx);
                    float k = alpha.a[i];
                    sum.r += big.px[i].r * k, sum.g += big.px[i].g * k, sum.b += big.px[i].b * k;
                    a += k;
                }
            out.colour.px[size_t(y) * s + x] = a > 0 ? Mul(sum, 1.0f / a) : Rgb{0, 0, 0};
            out.alpha.a[size_t(y) * s + x] = a / 16.0f;
        }
}

/* Paints colour c through a shape into the icon and its opacity. */
static void IconShape(Image &im, Mask &alpha, const Mask &shape, Rgb c)
{
    PaintMask(im, shape, c);
    for (size_t i = 0; i < alpha.a.size(); i++)
        alpha.a[i] = std::max(alpha.a[i], shape.a[i]);
}

static void PaintMainIcon(Image &im, Mask &alpha, int s)
{
    float u = s / 32.0f;
    Mask plate;
    InitMask(plate, s, s);
    const float oct[] = {6 * u, 1 * u, 26 * u, 1 * u, 31 * u, 6 * u, 31 * u, 26 * u,
                         26 * u, 31 * u, 6 * u, 31 * u, 1 * u, 26 * u, 1 * u, 6 * u};
    MaskPolygon(plate, oct, 8);
    IconShape(im, alpha, plate, Hex(0x101820));
    PaintMaskGradient(im, plate, 0, float(s), Hex(0x2C3A4E), Hex(0x06080E));
    Bevel(im, plate, 2 * u, 0.7f);
    DrawLogoK(im, 16 * u, 6 * u, 20 * u, int(2 * u), 0.9f, 1.5f * u);
    FillRect(im, 5 * u, 27.5f * u, 27 * u, 28.5f * u, Neon);
}

static void PaintChipIcon(Image &im, Mask &alpha, int s)
{
    float u = s / 32.0f;
    Mask m;
    InitMask(m, s, s);
    /* Pins: eight a side on the 32 grid, four on the small one look alike. */
    for (int i = 0; i < 7; i++) {
        float p = (7 + i * 3) * u;
        MaskRect(m, p, 1 * u, p + 1.6f * u, 31 * u);
        MaskRect(m, 1 * u, p, 31 * u, p + 1.6f * u);
    }
    IconShape(im, alpha, m, Hex(0xC8CCD0));
    PaintMaskGradient(im, m, 0, float(s), Hex(0xF0E0A0), Hex(0x9A8040));
    Mask body;
    InitMask(body, s, s);
    MaskRect(body, 5 * u, 5 * u, 27 * u, 27 * u);
    IconShape(im, alpha, body, Hex(0x202428));
    PaintMaskGradient(im, body, 5 * u, 27 * u, Hex(0x3A4048), Hex(0x14161A));
    Bevel(im, body, 1.5f * u, 0.7f);
    /* The die under its lid, and the notch of pin one. */
    FillRect(im, 10 * u, 10 * u, 22 * u, 22 * u, Hex(0x9098A4));
    FillRect(im, 11 * u, 11 * u, 21 * u, 21 * u, Hex(0xC0C8D4));
    FillRect(im, 11 * u, 11 * u, 21 * u, 13 * u, Hex(0xE8EEF4));
    FillRect(im, 13 * u, 14 * u, 19 * u, 19 * u, Hex(0x3070A0));
    FillEllipse(im, 7.5f * u, 7.5f * u, 1.2f * u, 1.2f * u, Hex(0x080808));
}

static void PaintComputerIcon(Image &im, Mask &alpha, int s)
{
    float u = s / 32.0f;
    Mask m;
    InitMask(m, s, s);
    /* Monitor, stand and keyboard. */
    MaskRect(m, 2 * u, 2 * u, 26 * u, 20 * u);
    IconShape(im, alpha, m, Hex(0xC8C4B8));
    PaintMaskGradient(im, m, 2 * u, 20 * u, Hex(0xE4E0D4), Hex(0xA8A498));
    Bevel(im, m, 1.2f * u, 0.6f);
    VGradient(im, 4.5f * u, 4.5f * u, 23.5f * u, 17.5f * u, Hex(0x0C2A48), Hex(0x0A6080));
    FillRect(im, 6 * u, 7 * u, 15 * u, 8 * u, Hex(0x80E8FF));
    FillRect(im, 6 * u, 10 * u, 19 * u, 11 * u, Hex(0x80E8FF), 0.7f);
    FillRect(im, 6 * u, 13 * u, 12 * u, 14 * u, Hex(0x80E8FF), 0.7f);
    Mask stand;
    InitMask(stand, s, s);
    MaskRect(stand, 11 * u, 20 * u, 17 * u, 23 * u);
    const float kb[] = {3 * u, 24 * u, 25 * u, 24 * u, 27 * u, 29 * u, 1 * u, 29 * u};
    MaskPolygon(stand, kb, 4);
    IconShape(im, alpha, stand, Hex(0xB4B0A4));
    for (int r = 0; r < 2; r++)
        for (int i = 0; i < 8; i++)
            FillRect(im, (4 + i * 2.6f - r) * u, (25 + r * 2) * u, (5.6f + i * 2.6f - r) * u, (26.2f + r * 2) * u,
                     Hex(0x707068));
    /* The magnifying glass over the lower right corner. */
    Mask glass;
    InitMask(glass, s, s);
    MaskLine(glass, 25 * u, 25 * u, 30.5f * u, 30.5f * u, 3.5f * u);
    IconShape(im, alpha, glass, Hex(0x5A3818));
    Mask rim;
    InitMask(rim, s, s);
    MaskEllipse(rim, 20 * u, 20 * u, 7.5f * u, 7.5f * u);
    IconShape(im, alpha, rim, Hex(0x303438));
    Bevel(im, rim, 1.2f * u, 0.7f);
    FillEllipse(im, 20 * u, 20 * u, 5.6f * u, 5.6f * u, Hex(0xA8E4F8), 0.85f);
    FillEllipse(im, 18 * u, 18 * u, 2.2f * u, 1.4f * u, Hex(0xFFFFFF), 0.8f);
}

static void BuildIcon(IconPainter paint, std::vector<uint8_t> &out)
{
    std::vector<IconImage> images(2);
    MakeIcon(paint, 32, images[0]);
    MakeIcon(paint, 16, images[1]);
    EncodeIco(images, out);
}

/* ---- The list of files ------------------------------------------------------ */

const char *const ResourceFileNames[] = {"logo.bmp", "menu_side.bmp", "wait_side.bmp", "emblem.bmp", "team.bmp",
                                         "art_cover.bmp", "main.ico", "chip.ico", "computer.ico"};
const int ResourceFileCount = int(sizeof ResourceFileNames / sizeof ResourceFileNames[0]);

int BuildResourceFile(const char *name, std::vector<uint8_t> &out)
{
    Image im;
    Indexed q;
    if (!std::strcmp(name, "logo.bmp")) {
        DrawProductLogo(im);
        Quantize(im, 256, false, q);
        EncodeBmp8(q, false, out);
    } else if (!std::strcmp(name, "menu_side.bmp")) {
        DrawMenuSide(im);
        EncodeBmp24(im, out);
    } else if (!std::strcmp(name, "wait_side.bmp")) {
        DrawWaitSide(im);
        EncodeBmp24(im, out);
    } else if (!std::strcmp(name, "emblem.bmp")) {
        DrawEmblem(im);
        Quantize(im, 256, false, q);
        EncodeBmp8(q, false, out);
    } else if (!std::strcmp(name, "team.bmp")) {
        DrawTeam(im);
        Quantize(im, 256, false, q);
        EncodeBmp8(q, true, out);
    } else if (!std::strcmp(name, "art_cover.bmp")) {
        DrawCover(im);
        Quantize(im, 256, true, q);
        EncodeBmp8(q, false, out);
    } else if (!std::strcmp(name, "main.ico")) {
        BuildIcon(PaintMainIcon, out);
    } else if (!std::strcmp(name, "chip.ico")) {
        BuildIcon(PaintChipIcon, out);
    } else if (!std::strcmp(name, "computer.ico")) {
        BuildIcon(PaintComputerIcon, out);
    } else {
        return 0;
    }
    return 1;
}
