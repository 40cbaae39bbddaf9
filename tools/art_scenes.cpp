/* The artbook's demo pictures: concept views of the seven levels, built
 * from simple solids (boxes, quads, vertical cylinders) seen through a
 * pinhole camera, painted back to front with light and distance haze, over
 * a sky of the chosen time of day. */
#include "tools/art_scenes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "common/levels.h"
#include "tools/art_files.h"
#include "tools/art_font.h"

static const int PictureCounts[] = {3, 2, 4, 3, 5, 2, 3};

static const char *const LevelNames[] = {"LE TOIT", "LA RAFFINERIE", "LA VÉGÉTATION", "LES PRISONS",
                                         "LES CUISINES", "LES PISCINES", "LE TEMPLE"};

static_assert(sizeof PictureCounts / sizeof PictureCounts[0] == LEVEL_COUNT, "a picture count per level");
static_assert(sizeof LevelNames / sizeof LevelNames[0] == LEVEL_COUNT, "a name per level");

int ArtbookPictureCount(int level)
{
    return level >= 1 && level <= LEVEL_COUNT ? PictureCounts[level - 1] : 0;
}

const char *ArtbookLevelName(int level)
{
    return level >= 1 && level <= LEVEL_COUNT ? LevelNames[level - 1] : "";
}

/* ---- Light and time of day ------------------------------------------------- */

struct Mood {
    Rgb top, horizon;      /* sky */
    Rgb sun;               /* sun or moon colour; black for none */
    float sunX, sunY, sunR;
    int stars;
    Rgb fog;
    float fogDensity;      /* per metre */
    Rgb ambient;           /* multiplies surface colours */
    float lamps;           /* 0 = lights off, 1 = night lights */
};

enum { Dusk, Night, Dawn, Day, Storm, MoodCount };

static Mood MoodOf(int kind)
{
    Mood m;
    switch (kind) {
    case Dusk:
        m = {Hex(0x1C1848), Hex(0xF08A48), Hex(0xFFC070), 0.70f, 0.47f, 26, 20, Hex(0xC07058), 0.006f, Rgb{0.95f, 0.72f, 0.62f}, 0.4f};
        break;
    case Night:
        m = {Hex(0x020410), Hex(0x1C2C4C), Hex(0xE0E8FF), 0.25f, 0.16f, 14, 220, Hex(0x141E34), 0.008f, Rgb{0.34f, 0.40f, 0.58f}, 1.0f};
        break;
    case Dawn:
        m = {Hex(0x30507C), Hex(0xF4B8A0), Hex(0xFFE8C8), 0.22f, 0.44f, 22, 0, Hex(0xC8A8B0), 0.006f, Rgb{0.88f, 0.80f, 0.84f}, 0.1f};
        break;
    case Day:
        m = {Hex(0x2A62B4), Hex(0xB8D4EC), Hex(0xFFFFF0), 0.80f, 0.12f, 18, 0, Hex(0xA8C0D8), 0.004f, Rgb{1.0f, 0.98f, 0.95f}, 0.0f};
        break;
    default:
        m = {Hex(0x1A2228), Hex(0x5E6E6C), Hex(0), 0, 0, 0, 0, Hex(0x4A5858), 0.010f, Rgb{0.52f, 0.58f, 0.60f}, 0.7f};
        break;
    }
    return m;
}

/* ---- Camera and solids ---------------------------------------------------- */

struct Scene {
    Image *im;
    float cx, cy, f;          /* screen centre and focal length in pixels */
    float px, py, pz, yaw;    /* camera position (metres) and heading */
    Mood mood;
    float sun[3];             /* direction towards the light, normalised */
};

struct V3 {
    float x, y, z;
};

static void SetupScene(Scene &s, Image &im, int mood, float px, float py, float pz, float yaw, float horizon)
{
    s.im = &im;
    s.cx = im.w * 0.5f;
    s.cy = horizon;
    s.f = im.w * 0.78f;
    s.px = px, s.py = py, s.pz = pz, s.yaw = yaw;
    s.mood = MoodOf(mood);
    float sx = (s.mood.sunX - 0.5f) * 2.0f, sy = 0.6f, sz = -0.7f;
    float n = std::sqrt(sx * sx + sy * sy + sz * sz);
    s.sun[0] = sx / n, s.sun[1] = sy / n, s.sun[2] = sz / n;
}

static V3 ToCamera(const Scene &s, V3 p)
{
    float dx = p.x - s.px, dy = p.y - s.py, dz = p.z - s.pz;
    float c = std::cos(s.yaw), n = std::sin(s.yaw);
    V3 r = {dx * c - dz * n, dy, dx * n + dz * c};
    return r;
}

static const float Near = 0.2f;

/* Surface colour after light, haze and depth. */
static Rgb Shade(const Scene &s, Rgb base, float k, float depth)
{
    Rgb c = {base.r * k * s.mood.ambient.r, base.g * k * s.mood.ambient.g, base.b * k * s.mood.ambient.b};
    float haze = 1.0f - std::exp(-depth * s.mood.fogDensity);
    return Mix(c, s.mood.fog, haze);
}

/* Fills a flat polygon given in world space, clipped at the near plane. */
static void Poly3(Scene &s, const V3 *p, int n, Rgb base, float k, float alpha = 1.0f, bool lit = false)
{
    V3 cam[16];
    int m = 0;
    float depth = 0;
    for (int i = 0; i < n && i < 8; i++) {
        V3 a = ToCamera(s, p[i]), b = ToCamera(s, p[(i + 1) % n]);
        if (a.z >= Near)
            cam[m++] = a;
        if ((a.z >= Near) != (b.z >= Near)) {
            float t = (Near - a.z) / (b.z - a.z);
            cam[m++] = V3{a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, Near};
        }
    }
    if (m < 3)
        return;
    float xy[32];
    for (int i = 0; i < m; i++) {
        xy[2 * i] = s.cx + s.f * cam[i].x / cam[i].z;
        xy[2 * i + 1] = s.cy - s.f * cam[i].y / cam[i].z;
        depth += cam[i].z;
    }
    depth /= float(m);
    Rgb c = lit ? Mix(base, s.mood.fog, 1.0f - std::exp(-depth * s.mood.fogDensity * 0.5f)) : Shade(s, base, k, depth);
    FillPolygon(*s.im, xy, m, c, alpha);
}

static float FaceLight(const Scene &s, float nx, float ny, float nz)
{
    float d = nx * s.sun[0] + ny * s.sun[1] + nz * s.sun[2];
    return 0.55f + 0.5f * std::max(0.0f, d);
}

/* An axis-aligned box; only the faces turned to the camera are drawn. */
static void Box(Scene &s, float x0, float y0, float z0, float x1, float y1, float z1, Rgb base)
{
    V3 q[4];
    if (s.pz < z0) {
        V3 f[4] = {{x0, y0, z0}, {x1, y0, z0}, {x1, y1, z0}, {x0, y1, z0}};
        std::copy(f, f + 4, q);
        Poly3(s, q, 4, base, FaceLight(s, 0, 0, -1));
    }
    if (s.pz > z1) {
        V3 f[4] = {{x0, y0, z1}, {x1, y0, z1}, {x1, y1, z1}, {x0, y1, z1}};
        std::copy(f, f + 4, q);
        Poly3(s, q, 4, base, FaceLight(s, 0, 0, 1));
    }
    if (s.px < x0) {
        V3 f[4] = {{x0, y0, z0}, {x0, y0, z1}, {x0, y1, z1}, {x0, y1, z0}};
        std::copy(f, f + 4, q);
        Poly3(s, q, 4, base, FaceLight(s, -1, 0, 0));
    }
    if (s.px > x1) {
        V3 f[4] = {{x1, y0, z0}, {x1, y0, z1}, {x1, y1, z1}, {x1, y1, z0}};
        std::copy(f, f + 4, q);
        Poly3(s, q, 4, base, FaceLight(s, 1, 0, 0));
    }
    if (s.py > y1) {
        V3 f[4] = {{x0, y1, z0}, {x1, y1, z0}, {x1, y1, z1}, {x0, y1, z1}};
        std::copy(f, f + 4, q);
        Poly3(s, q, 4, base, FaceLight(s, 0, 1, 0) * 1.1f);
    }
    if (s.py < y0) {
        V3 f[4] = {{x0, y0, z0}, {x1, y0, z0}, {x1, y0, z1}, {x0, y0, z1}};
        std::copy(f, f + 4, q);
        Poly3(s, q, 4, base, 0.45f);
    }
}

/* A horizontal rectangle (floor, ceiling, water) and a vertical one facing
 * along z (a wall seen from the front). */
static void FloorQuad(Scene &s, float x0, float z0, float x1, float z1, float y, Rgb base, float k = 1.0f, float alpha = 1.0f)
{
    V3 q[4] = {{x0, y, z0}, {x1, y, z0}, {x1, y, z1}, {x0, y, z1}};
    Poly3(s, q, 4, base, k, alpha);
}

static void WallZ(Scene &s, float x0, float y0, float x1, float y1, float z, Rgb base, float k = 1.0f, float alpha = 1.0f)
{
    V3 q[4] = {{x0, y0, z}, {x1, y0, z}, {x1, y1, z}, {x0, y1, z}};
    Poly3(s, q, 4, base, k, alpha);
}

static void WallX(Scene &s, float x, float y0, float z0, float y1, float z1, Rgb base, float k = 1.0f, float alpha = 1.0f)
{
    V3 q[4] = {{x, y0, z0}, {x, y0, z1}, {x, y1, z1}, {x, y1, z0}};
    Poly3(s, q, 4, base, k, alpha);
}

/* Projects one point; returns 0 behind the camera. */
static int Project(const Scene &s, V3 p, float &sx, float &sy, float &depth)
{
    V3 c = ToCamera(s, p);
    if (c.z < Near)
        return 0;
    sx = s.cx + s.f * c.x / c.z;
    sy = s.cy - s.f * c.y / c.z;
    depth = c.z;
    return 1;
}

static void Line3(Scene &s, V3 a, V3 b, float width, Rgb base, float k = 1.0f, float alpha = 1.0f)
{
    float ax, ay, ad, bx, by, bd;
    if (!Project(s, a, ax, ay, ad) || !Project(s, b, bx, by, bd))
        return;
    float d = (ad + bd) * 0.5f;
    float px = std::max(0.7f, s.f * width / d);
    DrawLine(*s.im, ax, ay, bx, by, px, Shade(s, base, k, d), alpha);
}

/* A standing cylinder with round shading and an elliptic top. */
static void Cylinder(Scene &s, float x, float z, float y0, float y1, float r, Rgb base, float shine = 0.4f)
{
    float bx, by, bd, tx, ty, td;
    if (!Project(s, V3{x, y0, z}, bx, by, bd) || !Project(s, V3{x, y1, z}, tx, ty, td))
        return;
    float rx = s.f * r / bd;
    float ryTop = rx * std::min(1.0f, std::fabs(s.py - y1) / std::max(bd, 1.0f));
    float ryBot = rx * std::min(1.0f, std::fabs(s.py - y0) / std::max(bd, 1.0f));
    Image &im = *s.im;
    float side = s.sun[0] >= 0 ? 1.0f : -1.0f;
    int xa = std::max(0, int(bx - rx)), xb = std::min(im.w - 1, int(bx + rx));
    for (int px = xa; px <= xb; px++) {
        float u = (px + 0.5f - bx) / rx;
        if (u <= -1.0f || u >= 1.0f)
            continue;
        float arc = std::sqrt(1.0f - u * u);
        float k = 0.45f + 0.45f * std::max(0.0f, u * side * 0.8f + arc * 0.4f);
        k += shine * std::pow(std::max(0.0f, 1.0f - std::fabs(u - side * 0.45f) * 4.0f), 2.0f);
        Rgb c = Shade(s, base, k, bd);
        float top = ty + ryTop * arc * (s.py > y1 ? 1.0f : -1.0f);
        float bottom = by + ryBot * arc * (s.py > y0 ? 1.0f : -1.0f);
        float edge = std::min(1.0f, (1.0f - std::fabs(u)) * rx);
        for (int py = std::max(0, int(top)); py <= std::min(im.h - 1, int(bottom)); py++)
            BlendPixel(im, px, py, c, edge);
    }
    if (s.py > y1)
        FillEllipse(im, tx, ty, rx, ryTop, Shade(s, base, 0.95f, td));
}

/* ---- Sky, haze, light ------------------------------------------------------- */

static void Sky(Scene &s, uint32_t seed)
{
    Image &im = *s.im;
    const Mood &m = s.mood;
    VGradient(im, 0, 0, float(im.w), s.cy, m.top, m.horizon);
    VGradient(im, 0, s.cy, float(im.w), float(im.h), m.horizon, Mul(m.fog, 0.6f));
    uint32_t r = seed;
    for (int i = 0; i < m.stars; i++) {
        float x = RandomRange(r, 0, float(im.w)), y = RandomRange(r, 0, s.cy), b = RandomRange(r, 0.2f, 1.0f);
        AddPixel(im, int(x), int(y), Rgb{0.85f, 0.9f, 1.0f}, b * (1.0f - y / s.cy));
    }
    if (m.sunR > 0) {
        float sx = m.sunX * im.w, sy = m.sunY * im.h;
        Glow(im, sx, sy, m.sunR * 9, m.sun, 0.35f);
        Glow(im, sx, sy, m.sunR * 3, m.sun, 0.5f);
        FillEllipse(im, sx, sy, m.sunR, m.sunR, Mix(m.sun, Rgb{1, 1, 1}, 0.4f));
    }
    /* Long thin clouds, lit from below near the horizon. */
    for (int i = 0; i < 7; i++) {
        float y = RandomRange(r, s.cy * 0.15f, s.cy * 0.85f);
        float x = RandomRange(r, -100, float(im.w));
        float len = RandomRange(r, 120, 360), th = RandomRange(r, 3, 9);
        Rgb c = Mix(m.top, m.horizon, y / s.cy);
        c = Mix(c, m.sun.r + m.sun.g > 0.1f ? m.sun : m.fog, 0.35f);
        FillEllipse(im, x + len * 0.5f, y, len * 0.5f, th, c, 0.35f);
    }
}

/* Ground haze rising to the horizon, drawn over distant things. */
static void HorizonHaze(Scene &s, float height, float a)
{
    Image &im = *s.im;
    for (int y = std::max(0, int(s.cy - height)); y < std::min(im.h, int(s.cy + height)); y++) {
        float t = 1.0f - std::fabs(y - s.cy) / height;
        for (int x = 0; x < im.w; x++)
            BlendPixel(im, x, y, s.mood.fog, t * t * a);
    }
}

static void LampGlow(Scene &s, V3 p, float radius, Rgb c, float a)
{
    float x, y, d;
    if (!Project(s, p, x, y, d))
        return;
    float r = s.f * radius / d;
    Glow(*s.im, x, y, r, c, a);
    Glow(*s.im, x, y, r * 0.25f, Rgb{1, 1, 1}, a * 0.8f);
}

/* A light cone from a lamp down to a floor spot, added as light. */
static void LightCone(Scene &s, V3 top, V3 spot, float spread, Rgb c, float a)
{
    float tx, ty, td, bx, by, bd;
    if (!Project(s, top, tx, ty, td) || !Project(s, spot, bx, by, bd))
        return;
    float w = s.f * spread / bd;
    Mask m;
    InitMask(m, s.im->w, s.im->h);
    float q[6] = {tx, ty, bx - w, by, bx + w, by};
    MaskPolygon(m, q, 3);
    BlurMask(m, 6);
    AddMask(*s.im, m, c, a);
}

static void Smoke(Scene &s, V3 p, float size, int puffs, Rgb c, float a, uint32_t seed)
{
    Mask m;
    InitMask(m, s.im->w, s.im->h);
    uint32_t r = seed;
    float drift = 0;
    for (int i = 0; i < puffs; i++) {
        float x, y, d;
        float rise = i * size * 0.8f;
        drift += RandomRange(r, 0.2f, 0.9f) * size;
        if (!Project(s, V3{p.x + drift, p.y + rise, p.z}, x, y, d))
            continue;
        float rad = s.f * size * (0.6f + i * 0.15f) / d;
        MaskEllipse(m, x, y, rad * 1.3f, rad);
    }
    BlurMask(m, 4);
    PaintMask(*s.im, m, c, a);
}

static void Rain(Image &im, uint32_t seed, float a)
{
    uint32_t r = seed;
    for (int i = 0; i < 700; i++) {
        float x = RandomRange(r, 0, float(im.w) + 80), y = RandomRange(r, 0, float(im.h));
        float len = RandomRange(r, 8, 22);
        DrawLine(im, x, y, x - len * 0.3f, y + len, 0.8f, Rgb{0.75f, 0.82f, 0.95f}, a);
    }
}

/* ---- Level 1: the roof -------------------------------------------------------- */

static void DistantCity(Scene &s, float baseY, float z0, float z1, int rows, uint32_t seed, Rgb tone)
{
    uint32_t r = seed;
    for (int row = 0; row < rows; row++) {
        float z = z1 - (z1 - z0) * row / std::max(1, rows - 1);
        float x = s.px - z * 1.4f;
        while (x < s.px + z * 1.4f) {
            float w = RandomRange(r, 12, 34), h = RandomRange(r, 20, 110) * (row == rows - 1 ? 0.7f : 1.0f);
            float d = RandomRange(r, 10, 25);
            Box(s, x, baseY, z, x + w, baseY + h, z + d, Mix(tone, Hex(0x8090A0), RandomUnit(r) * 0.3f));
            if (RandomUnit(r) < 0.25f)
                Line3(s, V3{x + w * 0.5f, baseY + h, z}, V3{x + w * 0.5f, baseY + h + 14, z}, 0.4f, tone);
            /* Windows: a grid of small lit panes on the front face. */
            float lit = 0.08f + 0.5f * s.mood.lamps;
            for (float wy = baseY + 3; wy < baseY + h - 3; wy += 4.0f)
                for (float wx = x + 2; wx < x + w - 2; wx += 3.5f)
                    if (RandomUnit(r) < lit) {
                        float sx, sy, dd;
                        if (Project(s, V3{wx, wy, z - 0.01f}, sx, sy, dd)) {
                            float ps = std::max(1.0f, s.f * 1.4f / dd);
                            Rgb wc = Mix(Hex(0xFFD890), Hex(0xA0E0FF), RandomUnit(r) * 0.5f);
                            FillRect(*s.im, sx, sy - ps, sx + ps, sy, Mix(wc, s.mood.fog, 1.0f - std::exp(-dd * s.mood.fogDensity * 0.6f)),
                                     0.5f + 0.5f * s.mood.lamps);
                        }
                    }
            x += w + RandomRange(r, 1, 8);
        }
        HorizonHaze(s, 40, 0.25f);
    }
}

static void SceneRoof(Image &im, int view)
{
    static const int moods[3] = {Dusk, Night, Dawn};
    Scene s;
    float yaw = view == 2 ? 0.35f : (view == 1 ? -0.2f : 0.0f);
    SetupScene(s, im, moods[view], 0, 2.2f + view * 0.6f, 0, yaw, im.h * (view == 1 ? 0.5f : 0.56f));
    Sky(s, 100 + view);
    DistantCity(s, -40, 120, 420, 3, 11 + view, Hex(0x3A4458));
    /* The roof: a tar deck with a parapet, seen from its corner. */
    Rgb tar = Hex(0x4A4A50), wall = Hex(0x8A7A6C), metal = Hex(0x8890A0);
    FloorQuad(s, -14, 0.5f, 14, 38, 0, tar);
    for (float z = 2; z < 38; z += 3)
        Line3(s, V3{-14, 0.01f, z}, V3{14, 0.01f, z}, 0.04f, Hex(0x303034));
    Box(s, -14.5f, 0, 38, 14.5f, 1.1f, 38.6f, wall);
    Box(s, 14, 0, 0.5f, 14.6f, 1.1f, 38.6f, wall);
    Box(s, -14.6f, 0, 0.5f, -14, 1.1f, 38.6f, wall);
    /* A mast with a red light. */
    Line3(s, V3{12, 0, 34}, V3{12, 16, 34}, 0.12f, Hex(0x606470));
    for (float y = 6; y < 16; y += 3)
        Line3(s, V3{11, y, 34}, V3{13, y, 34}, 0.06f, Hex(0x606470));
    LampGlow(s, V3{12, 16.2f, 34}, 3.5f, Hex(0xFF2010), 0.9f);
    /* Stair hut with a lit door. */
    Box(s, 5, 0, 24, 11, 3.2f, 30, Hex(0x9A8E80));
    Box(s, 4.6f, 3.2f, 23.6f, 11.4f, 3.5f, 30.4f, Hex(0x5A5A60));
    WallZ(s, 6.5f, 0, 8, 2.1f, 23.99f, s.mood.lamps > 0.3f ? Hex(0xFFD080) : Hex(0x3A3028), 1.0f);
    if (s.mood.lamps > 0.3f)
        LampGlow(s, V3{7.25f, 2.4f, 23.9f}, 2.0f, Hex(0xFFB060), 0.6f);
    /* Water tank on legs. */
    for (float lx : {-9.4f, -6.6f})
        for (float lz : {27.5f, 30.5f})
            Line3(s, V3{lx, 0, lz}, V3{lx, 4, lz}, 0.18f, Hex(0x403830));
    Cylinder(s, -8, 29, 4, 8.5f, 2.1f, Hex(0x8A5A3C), 0.25f);
    Box(s, -10.3f, 3.8f, 26.7f, -5.7f, 4.1f, 31.3f, Hex(0x403830));
    /* Chimney stacks with pots. */
    for (int i = 0; i < 4; i++) {
        float x = -11.5f + i * 1.1f;
        Box(s, x, 0, 20, x + 0.9f, 2.6f, 20.9f, Hex(0xA05A40));
        Cylinder(s, x + 0.45f, 20.45f, 2.6f, 3.1f, 0.25f, Hex(0xB07050));
    }
    /* Air-conditioning units with their fans. */
    for (int i = 0; i < 3; i++) {
        float x = -4.0f + i * 3.0f, z = 15;
        Box(s, x, 0, z, x + 2.2f, 1.3f, z + 1.6f, metal);
        float fx, fy, fd;
        if (Project(s, V3{x + 1.1f, 1.31f, z + 0.8f}, fx, fy, fd)) {
            float rr = s.f * 0.6f / fd;
            FillEllipse(im, fx, fy, rr, rr * 0.35f, Shade(s, Hex(0x202428), 1, fd));
        }
    }
    /* Satellite dish on the hut. */
    float dx, dy, dd;
    if (Project(s, V3{9, 4.4f, 27}, dx, dy, dd)) {
        float rr = s.f * 1.0f / dd;
        FillEllipse(im, dx, dy, rr * 0.55f, rr, Shade(s, Hex(0xD0D4D8), 1, dd));
        FillEllipse(im, dx + rr * 0.08f, dy, rr * 0.4f, rr * 0.85f, Shade(s, Hex(0x909498), 1, dd));
    }
    /* A skylight and vent pipes close by. */
    Box(s, 3, 0, 9, 7.5f, 0.6f, 12, Hex(0x707880));
    V3 glass[4] = {{3.1f, 0.61f, 9.1f}, {7.4f, 0.61f, 9.1f}, {7.4f, 1.2f, 10.5f}, {3.1f, 1.2f, 10.5f}};
    Poly3(s, glass, 4, Mix(s.mood.horizon, Hex(0x80A0C0), 0.5f), 1.0f, 0.9f, true);
    V3 glass2[4] = {{3.1f, 1.2f, 10.5f}, {7.4f, 1.2f, 10.5f}, {7.4f, 0.61f, 11.9f}, {3.1f, 0.61f, 11.9f}};
    Poly3(s, glass2, 4, Hex(0x283038), 1.0f);
    for (float vx : {-2.6f, -1.2f}) {
        Cylinder(s, vx, 7, 0, 1.0f, 0.16f, Hex(0x9098A0), 0.6f);
        Cylinder(s, vx, 7, 1.0f, 1.15f, 0.26f, Hex(0x606870), 0.3f);
    }
    if (view == 1)
        Rain(im, 77, 0.35f);
}

/* ---- Level 2: the refinery -------------------------------------------------- */

static void Column(Scene &s, float x, float z, float h, float r, Rgb c)
{
    Cylinder(s, x, z, 0, h, r, c, 0.45f);
    for (float y = 6; y < h - 2; y += 7)
        Cylinder(s, x, z, y, y + 0.35f, r + 0.5f, Hex(0x403C38), 0.1f);
    Line3(s, V3{x + r + 0.2f, 0, z - 0.1f}, V3{x + r + 0.2f, h, z - 0.1f}, 0.08f, Hex(0x302C28));
    if (s.mood.lamps > 0.5f)
        for (float y = 6.6f; y < h - 2; y += 14)
            LampGlow(s, V3{x - r * 0.7f, y, z - r}, 1.6f, Hex(0xFFB040), 0.7f);
}

/* A pipe rack running away from the camera along z. */
static void PipeRackZ(Scene &s, float x0, float x1, float y, float z0, float z1)
{
    static const unsigned pipeColours[5] = {0xB04030, 0xC8B040, 0x909498, 0x3070A0, 0x909498};
    for (float z = z1; z >= z0; z -= 8) {
        Box(s, x0, 0, z, x0 + 0.5f, y, z + 0.5f, Hex(0x605850));
        Box(s, x1 - 0.5f, 0, z, x1, y, z + 0.5f, Hex(0x605850));
        Box(s, x0, y, z, x1, y + 0.4f, z + 0.5f, Hex(0x504840));
    }
    float w = (x1 - x0) / 5.0f;
    for (int p = 0; p < 5; p++) {
        float x = x0 + w * (p + 0.5f);
        Box(s, x - w * 0.32f, y + 0.4f, z0, x + w * 0.32f, y + 0.4f + w * 0.64f, z1, Hex(pipeColours[p]));
    }
}

static void SceneRefinery(Image &im, int view)
{
    Scene s;
    SetupScene(s, im, view == 0 ? Dusk : Night, view == 0 ? 0.0f : 2.0f, view == 0 ? 3.0f : 1.8f, view == 0 ? 0.0f : -6.0f,
               view == 0 ? 0.0f : -0.22f, im.h * 0.62f);
    Sky(s, 200 + view);
    /* Far plant silhouettes. */
    uint32_t r = 21;
    for (int i = 0; i < 26; i++) {
        float x = RandomRange(r, -300, 300), z = RandomRange(r, 260, 340);
        Cylinder(s, x, z, 0, RandomRange(r, 10, 45), RandomRange(r, 1.5f, 4.5f), Hex(0x3A3430), 0.1f);
    }
    HorizonHaze(s, 30, 0.4f);
    FloorQuad(s, -400, 1, 400, 500, 0, Hex(0x3A3834));
    for (float z = 0; z < 120; z += 6)
        Line3(s, V3{-60, 0.01f, z}, V3{60, 0.01f, z}, 0.05f, Hex(0x26241F));
    for (float x = -60; x <= 60; x += 6)
        Line3(s, V3{x, 0.01f, 0}, V3{x, 0.01f, 120}, 0.05f, Hex(0x26241F));
    /* Flare stack far behind, burning. */
    Cylinder(s, 70, 230, 0, 80, 1.4f, Hex(0x707070));
    float fx, fy, fd;
    if (Project(s, V3{70, 81.5f, 230}, fx, fy, fd)) {
        float sz = s.f * 3.5f / fd;
        Glow(im, fx, fy - sz, sz * 14, Hex(0xFF6010), 0.6f);
        FillEllipse(im, fx, fy - sz * 1.6f, sz * 0.9f, sz * 2.2f, Hex(0xFF8020));
        FillEllipse(im, fx, fy - sz * 1.0f, sz * 0.5f, sz * 1.3f, Hex(0xFFE080));
    }
    Smoke(s, V3{70, 88, 230}, 5.0f, 10, Hex(0x302828), 0.5f, 5);
    /* Storage tanks. */
    for (int i = 0; i < 5; i++) {
        float x = -110.0f + i * 30.0f, z = 190;
        Cylinder(s, x, z, 0, 14, 12, Hex(0xC8C4BC), 0.3f);
        Line3(s, V3{x - 12, 14, z - 1}, V3{x - 4, 0, z - 12}, 0.3f, Hex(0x504840));
    }
    /* The distillation columns, far ones first. */
    static const float columns[][4] = {{-30, 150, 50, 3.0f}, {34, 140, 44, 2.4f}, {-4, 130, 60, 3.4f},
                                       {14, 120, 40, 2.2f},  {-18, 110, 46, 2.6f}};
    for (const float *c : columns)
        Column(s, c[0], c[1], c[2], c[3], Hex(0xB0A898));
    Smoke(s, V3{-4, 62, 130}, 2.8f, 8, Mix(s.mood.fog, Hex(0xFFFFFF), 0.4f), 0.45f, 6);
    /* Pipe racks leading into the plant on both sides. */
    PipeRackZ(s, -16, -10, 6, 8, 150);
    PipeRackZ(s, 12, 17, 4.5f, 8, 150);
    /* A valve manifold in front. */
    Box(s, -6, 0, 20, 6, 0.3f, 24, Hex(0x5A5650));
    for (int i = 0; i < 5; i++) {
        float x = -5.0f + i * 2.5f;
        Cylinder(s, x, 22, 0.3f, 2.0f, 0.3f, Hex(0xC0A040), 0.5f);
        float vx, vy, vd;
        if (Project(s, V3{x, 2.2f, 22}, vx, vy, vd)) {
            float rr = s.f * 0.5f / vd;
            FillEllipse(im, vx, vy, rr, rr * 0.25f, Shade(s, Hex(0xC03020), 1.0f, vd));
        }
    }
    Box(s, -6, 2.0f, 21.7f, 6, 2.5f, 22.3f, Hex(0x909498));
    if (s.mood.lamps > 0.5f) {
        LightCone(s, V3{0, 8, 26}, V3{0, 0, 22}, 5, Hex(0xFFC070), 0.25f);
        LampGlow(s, V3{0, 8, 26}, 2, Hex(0xFFD090), 0.8f);
        Line3(s, V3{0, 0, 26.5f}, V3{0, 8, 26.5f}, 0.15f, Hex(0x404040));
    }
}

/* ---- Level 3: vegetation ------------------------------------------------------ */

/* A leaf: a pointed oval along its direction, with a midrib. */
static void Leaf(Image &im, float x, float y, float angle, float len, float width, Rgb c, Rgb rib)
{
    float dx = std::cos(angle), dy = std::sin(angle);
    float nx = -dy, ny = dx;
    float xy[24];
    for (int i = 0; i < 6; i++) {
        float t = i / 5.0f, w = std::sin(t * 3.14159f) * width;
        xy[2 * i] = x + dx * len * t + nx * w;
        xy[2 * i + 1] = y + dy * len * t + ny * w;
        xy[2 * (11 - i)] = x + dx * len * t - nx * w;
        xy[2 * (11 - i) + 1] = y + dy * len * t - ny * w;
    }
    FillPolygon(im, xy, 12, c);
    DrawLine(im, x, y, x + dx * len * 0.95f, y + dy * len * 0.95f, std::max(0.6f, width * 0.08f), rib, 0.7f);
}

/* A palm-like crown or fern: leaves fanned around a point. */
static void Fern(Image &im, float x, float y, float size, int leaves, float spread, float base, Rgb c, uint32_t &r)
{
    for (int i = 0; i < leaves; i++) {
        float a = base + spread * (i / float(std::max(1, leaves - 1)) - 0.5f) + RandomRange(r, -0.1f, 0.1f);
        Rgb lc = Mix(c, Mul(c, 1.6f), RandomUnit(r) * 0.5f);
        Leaf(im, x, y, a, size * RandomRange(r, 0.7f, 1.1f), size * 0.16f, lc, Mul(lc, 0.6f));
    }
}

static void Trunk(Image &im, float x, float top, float bottom, float w, Rgb c, uint32_t &r)
{
    float bend = RandomRange(r, -30, 30);
    float q[8] = {x - w, bottom, x + w, bottom, x + bend + w * 0.45f, top, x + bend - w * 0.45f, top};
    FillPolygon(im, q, 4, c);
    DrawLine(im, x - w * 0.4f, bottom, x + bend - w * 0.2f, top, std::max(1.0f, w * 0.25f), Mul(c, 1.5f), 0.4f);
}

static void Vines(Image &im, float y0, int count, Rgb c, uint32_t &r)
{
    for (int i = 0; i < count; i++) {
        float x = RandomRange(r, 0, float(im.w)), len = RandomRange(r, 60, 260), sway = RandomRange(r, -20, 20);
        float px = x, py = y0;
        for (int k = 1; k <= 12; k++) {
            float t = k / 12.0f;
            float nx = x + sway * std::sin(t * 3.0f), ny = y0 + len * t;
            DrawLine(im, px, py, nx, ny, 1.5f, c);
            if (k % 3 == 0)
                Leaf(im, nx, ny, 1.2f + RandomRange(r, -0.6f, 0.6f), 14, 4, Mul(c, 1.3f), c);
            px = nx, py = ny;
        }
    }
}

static void Greenhouse(Scene &s, float halfWidth, float height, float z0, float z1, Rgb steel)
{
    const int seg = 16;
    for (float z = z0; z <= z1; z += 4) {
        for (int i = 0; i < seg; i++) {
            float a0 = 3.14159f * i / seg, a1 = 3.14159f * (i + 1) / seg;
            Line3(s, V3{halfWidth * std::cos(a0), height * std::sin(a0), z}, V3{halfWidth * std::cos(a1), height * std::sin(a1), z},
                  0.12f, steel);
        }
    }
    for (int i = 1; i < seg; i += 2) {
        float a = 3.14159f * i / seg;
        Line3(s, V3{halfWidth * std::cos(a), height * std::sin(a), z0}, V3{halfWidth * std::cos(a), height * std::sin(a), z1}, 0.08f,
              steel);
    }
}

static void SceneVegetation(Image &im, int view)
{
    static const int moods[4] = {Dawn, Day, Dusk, Night};
    Scene s;
    SetupScene(s, im, moods[view], 0, 1.7f, 0, 0, im.h * (view == 2 ? 0.52f : 0.45f));
    if (view == 3) {
        /* Night under glass: no moon in view, a cooler and brighter ambient. */
        s.mood.sunR = 0;
        s.mood.ambient = Rgb{0.45f, 0.55f, 0.75f};
    }
    Sky(s, 300 + view);
    uint32_t r = 31 + view;
    Rgb leafFar = Mix(Hex(0x3A6A3A), s.mood.fog, 0.55f), leafMid = Hex(0x2E5A2A), leafNear = Hex(0x1C3A18);
    leafMid = Shade(s, leafMid, 1.0f, 30), leafNear = Shade(s, leafNear, 1.1f, 4);
    bool glass = view == 1 || view == 3;
    if (glass) {
        /* The glass hall: pale panes over the sky, steel ribs in front. */
        FillRect(im, 0, 0, float(im.w), s.cy, Hex(0xC8E8F0), 0.12f);
    }
    /* Far canopy: rounded crowns. */
    for (int i = 0; i < 40; i++) {
        float x = RandomRange(r, -40, float(im.w) + 40), y = s.cy - RandomRange(r, 10, 90);
        FillEllipse(im, x, y, RandomRange(r, 30, 70), RandomRange(r, 25, 50), Mix(leafFar, s.mood.horizon, RandomUnit(r) * 0.2f));
    }
    FillRect(im, 0, s.cy - 20, float(im.w), float(im.h), leafFar);
    HorizonHaze(s, 70, 0.45f);
    if (view == 2) {
        /* Swamp water reflecting the sky. */
        VGradient(im, 0, s.cy + 10, float(im.w), float(im.h), Mix(s.mood.horizon, s.mood.fog, 0.3f), Mul(s.mood.top, 0.8f));
        for (int i = 0; i < 60; i++) {
            float y = RandomRange(r, s.cy + 12, float(im.h)), x = RandomRange(r, 0, float(im.w));
            float len = (y - s.cy) * RandomRange(r, 0.3f, 1.2f);
            DrawLine(im, x, y, x + len, y, 1, s.mood.sun, 0.25f);
        }
    }
    /* Three layers of trees and undergrowth, from the hazy back to the
     * dark front; light shafts fall between the second and the third. */
    static const float haze[3] = {0.62f, 0.38f, 0.16f};
    for (int layer = 0; layer < 3; layer++) {
        float base = s.cy + 12 + layer * 38.0f;
        Rgb leaf = Mix(Mix(Hex(0x2E5A2A), Hex(0x4A7A30), layer * 0.3f), s.mood.fog, haze[layer]);
        leaf = Rgb{leaf.r * s.mood.ambient.r, leaf.g * s.mood.ambient.g, leaf.b * s.mood.ambient.b};
        Rgb bark = Mix(Mul(Hex(0x4A3A2A), s.mood.ambient.r), s.mood.fog, haze[layer]);
        int trees = 6 - layer;
        for (int i = 0; i < trees; i++) {
            float x = RandomRange(r, 0, float(im.w)), top = RandomRange(r, 30, s.cy - 60 - layer * 10.0f);
            Trunk(im, x, top, base + 10, RandomRange(r, 5, 9) + layer * 3, bark, r);
            Fern(im, x, top, RandomRange(r, 60, 100) + layer * 25, 9, 5.2f, -1.5708f, leaf, r);
        }
        bool water = view == 2 && layer < 2;
        for (float x = -20; x < im.w + 20; x += RandomRange(r, 18, 34)) {
            if (water && x > im.w * 0.25f && x < im.w * 0.75f)
                continue;
            float rx = RandomRange(r, 18, 36) + layer * 10, ry = rx * RandomRange(r, 0.5f, 0.8f);
            FillEllipse(im, x, base, rx, ry, Mix(leaf, Mul(leaf, 1.35f), RandomUnit(r)));
        }
        if (!water)
            FillRect(im, 0, base, float(im.w), float(im.h), Mul(leaf, 0.8f));
        if (layer == 1 && (view == 0 || view == 1)) {
            for (int i = 0; i < 5; i++) {
                float x = RandomRange(r, 80, float(im.w) - 40), w = RandomRange(r, 12, 40);
                Mask m;
                InitMask(m, im.w, im.h);
                float q[8] = {x, 0, x + w, 0, x + w * 3 - 160, float(im.h), x - 160, float(im.h)};
                MaskPolygon(m, q, 4);
                BlurMask(m, 8);
                AddMask(im, m, s.mood.sun, 0.18f);
            }
        }
        if (layer == 2 && !water) {
            VGradient(im, 0, base + 30, float(im.w), float(im.h), Mul(leaf, 0.8f), Mul(leaf, 0.45f));
            for (int i = 0; i < 400; i++) {
                float gx = RandomRange(r, 0, float(im.w)), gy = RandomRange(r, base + 10, float(im.h));
                float len = 4 + (gy - base) * 0.08f;
                DrawLine(im, gx, gy, gx + RandomRange(r, -3, 3), gy - len, 1.0f, Mix(leaf, Mul(leaf, 1.6f), RandomUnit(r)), 0.7f);
            }
        }
        if (layer == 2 && view != 3)
            for (int i = 0; i < 18; i++) {
                float fx = RandomRange(r, 0, float(im.w)), fy = base + RandomRange(r, -20, 30);
                Rgb flower = i % 3 ? Hex(0xE04060) : Hex(0xF0C040);
                FillEllipse(im, fx, fy, 4, 3, Rgb{flower.r * s.mood.ambient.r, flower.g * s.mood.ambient.g, flower.b * s.mood.ambient.b});
            }
    }
    if (glass)
        Greenhouse(s, 16, 14, 6, 70, view == 3 ? Hex(0x8898B0) : Hex(0xD8DCE0));
    if (view == 3) {
        /* Lamp posts along the path. */
        for (int i = 3; i >= 0; i--) {
            float z = 9.0f + i * 7.0f;
            for (float x : {-3.5f, 3.5f}) {
                Line3(s, V3{x, 0, z}, V3{x, 3.0f, z}, 0.08f, Hex(0x303840));
                LampGlow(s, V3{x, 3.1f, z}, 2.0f, Hex(0xFFC880), 0.45f);
            }
        }
    }
    /* Big foreground leaves and ferns on both sides. */
    for (int i = 0; i < 7; i++) {
        float x = i < 4 ? RandomRange(r, -40, 140) : RandomRange(r, float(im.w) - 140, float(im.w) + 40);
        float y = float(im.h) + RandomRange(r, -40, 20);
        Fern(im, x, y, RandomRange(r, 120, 220), 8, 2.6f, i < 4 ? -1.2f : -1.9f, leafNear, r);
    }
    for (int i = 0; i < 5; i++) {
        float x = RandomRange(r, 120, float(im.w) - 120), y = float(im.h) + 10;
        Fern(im, x, y, RandomRange(r, 70, 120), 11, 2.4f, -1.5708f, Mix(leafNear, leafMid, 0.5f), r);
    }
    Vines(im, 0, 9, Shade(s, Hex(0x2A4A22), 1.0f, 6), r);
    if (view == 3) {
        /* Night: glowing pods among the plants. */

        for (int i = 0; i < 14; i++) {
            float x = RandomRange(r, 30, float(im.w) - 30), y = RandomRange(r, s.cy, float(im.h) - 40);
            Glow(im, x, y, RandomRange(r, 10, 26), Hex(0x60FFB0), 0.6f);
            FillEllipse(im, x, y, 2.5f, 3.5f, Hex(0xD0FFE8));
        }
    }
}

/* ---- Level 4: the prisons ----------------------------------------------------- */

static void BarsX(Scene &s, float x, float z0, float z1, float y0, float y1, float step, Rgb c)
{
    for (float z = z0; z <= z1 + 0.001f; z += step)
        Line3(s, V3{x, y0, z}, V3{x, y1, z}, 0.05f, c);
    Line3(s, V3{x, y1, z0}, V3{x, y1, z1}, 0.08f, c);
    Line3(s, V3{x, (y0 + y1) * 0.5f, z0}, V3{x, (y0 + y1) * 0.5f, z1}, 0.06f, c);
}

static void CellBlock(Scene &s, Rgb lampColour)
{
    Rgb concrete = Hex(0x8A8C84), floor = Hex(0x5A5C58), steel = Hex(0x2A2C30);
    const float half = 3.0f, len = 60, tier = 3.2f;
    /* Shell: floor, ceiling, far wall. */
    FloorQuad(s, -half - 3, 0.5f, half + 3, len, 0, floor);
    FloorQuad(s, -half - 3, 0.5f, half + 3, len, tier * 2 + 0.4f, Hex(0x303234), 0.7f);
    WallZ(s, -half - 3, 0, half + 3, tier * 2 + 0.4f, len, concrete, 0.6f);
    for (int side = -1; side <= 1; side += 2) {
        float x = side * half;
        for (int level = 0; level < 2; level++) {
            float y0 = level * tier, y1 = y0 + tier - 0.4f;
            /* Cell fronts: dark openings behind bars, pillars between. */
            WallX(s, x + side * 1.8f, y0, 1, y1, len, Hex(0x202224), 0.8f);
            for (float z = 2 + 3.2f * 18; z >= 2; z -= 3.2f) {
                if (int(z * 7 + level * 3 + side) % 3 == 0) {
                    V3 back[4] = {{x + side * 1.79f, y0, z + 0.5f}, {x + side * 1.79f, y0, z + 3.2f}, {x + side * 1.79f, y1, z + 3.2f},
                                  {x + side * 1.79f, y1, z + 0.5f}};
                    Poly3(s, back, 4, Mix(lampColour, Hex(0xFFC080), 0.5f), 1.0f, 0.55f, true);
                }
                Box(s, side > 0 ? x : x - 0.5f, y0, z, side > 0 ? x + 0.5f : x, y1 + 0.4f, z + 0.5f, concrete);
                BarsX(s, x, z + 0.5f, z + 3.2f, y0, y1, 0.32f, steel);
                if (level == 0 && int(z) % 3 == 0)
                    LampGlow(s, V3{x + side * 1.0f, y1 - 0.3f, z + 1.6f}, 0.8f, lampColour, 0.25f);
            }
            /* Upper walkway with its railing. */
            if (level == 1) {
                Box(s, side > 0 ? x - 1.2f : x, y0 - 0.2f, 0.5f, side > 0 ? x : x + 1.2f, y0, len, Hex(0x4A4C50));
                Line3(s, V3{x - side * 1.2f, y0 + 1.0f, 0.5f}, V3{x - side * 1.2f, y0 + 1.0f, len}, 0.05f, steel);
                for (float z = 1; z < len; z += 2)
                    Line3(s, V3{x - side * 1.2f, y0, z}, V3{x - side * 1.2f, y0 + 1.0f, z}, 0.03f, steel);
            }
        }
    }
    /* Hanging lamps down the middle. */
    for (float z = 4; z < len; z += 8) {
        Line3(s, V3{0, tier * 2 + 0.4f, z}, V3{0, 5.2f, z}, 0.02f, steel);
        Box(s, -0.4f, 5.0f, z - 0.2f, 0.4f, 5.2f, z + 0.2f, Hex(0x404448));
        LightCone(s, V3{0, 5.0f, z}, V3{0, 0, z}, 1.2f, lampColour, 0.08f);
        LampGlow(s, V3{0, 4.95f, z}, 1.2f, lampColour, 0.7f);
    }
}

static void ScenePrisons(Image &im, int view)
{
    Scene s;
    if (view == 1) {
        /* Outside: the wall, a watchtower and its searchlights at night. */
        SetupScene(s, im, Night, 0, 1.7f, 6, -0.12f, im.h * 0.6f);
        Sky(s, 401);
        FloorQuad(s, -200, 1, 200, 300, 0, Hex(0x3A3C3A));
        Rgb wall = Hex(0x8A8680);
        Box(s, -120, 0, 60, 120, 9, 62, wall);
        for (float x = -120; x < 120; x += 2.5f)
            Line3(s, V3{x, 9, 61}, V3{x, 10.5f, 60.5f}, 0.06f, Hex(0x404040));
        for (float x = -100; x < 100; x += 20) {
            LampGlow(s, V3{x, 8.5f, 59.8f}, 4, Hex(0xFFD890), 0.5f);
            LightCone(s, V3{x, 8.5f, 59.8f}, V3{x, 0, 59.8f}, 3, Hex(0xFFD890), 0.12f);
        }
        /* Barbed wire: loops along the top. */
        for (float x = -120; x < 120; x += 1.2f) {
            float ax, ay, ad;
            if (Project(s, V3{x, 10.7f, 60.5f}, ax, ay, ad)) {
                float rr = s.f * 0.5f / ad;
                DrawLine(im, ax - rr, ay, ax + rr, ay - rr * 0.6f, 1.0f, Shade(s, Hex(0xA0A0A0), 1, ad), 0.8f);
                DrawLine(im, ax - rr, ay - rr * 0.6f, ax + rr, ay, 1.0f, Shade(s, Hex(0xA0A0A0), 1, ad), 0.8f);
            }
        }
        /* The tower. */
        for (float lx : {6.0f, 12.0f})
            for (float lz : {54.0f, 58.0f})
                Line3(s, V3{lx, 0, lz}, V3{lx, 18, lz}, 0.5f, Hex(0x5A5650));
        Box(s, 5, 18, 53, 13, 19, 59, Hex(0x6A6660));
        Box(s, 5.5f, 19, 53.5f, 12.5f, 22, 58.5f, Hex(0x7A7670));
        WallZ(s, 6, 20, 12, 21.4f, 53.49f, Hex(0xFFE0A0), 1.0f, 1.0f);
        V3 roof[3] = {{4, 22, 52.5f}, {14, 22, 52.5f}, {9, 25, 56}};
        Poly3(s, roof, 3, Hex(0x4A4440), 1.0f);
        /* Searchlight beams sweeping the yard. */
        LightCone(s, V3{7, 21, 53}, V3{-25, 0, 20}, 6, Hex(0xE8F0FF), 0.4f);
        LightCone(s, V3{11, 21, 53}, V3{30, 0, 26}, 5, Hex(0xE8F0FF), 0.3f);
        LampGlow(s, V3{7, 21, 53}, 3, Hex(0xFFFFFF), 0.9f);
        LampGlow(s, V3{11, 21, 53}, 3, Hex(0xFFFFFF), 0.9f);
        /* Fence in front. */
        for (float x = -30; x <= 30; x += 3)
            Line3(s, V3{x, 0, 14}, V3{x, 4, 14}, 0.08f, Hex(0x505860));
        for (float y = 0.5f; y < 4; y += 0.5f)
            Line3(s, V3{-30, y, 14}, V3{30, y, 14}, 0.02f, Hex(0x505860), 1.0f, 0.7f);
        Rain(im, 404, 0.15f);
        return;
    }
    /* Inside the cell block: a long corridor of cells on two tiers. */
    SetupScene(s, im, view == 0 ? Storm : Night, view == 0 ? 0.0f : 1.2f, view == 0 ? 1.7f : 1.5f, 0,
               view == 0 ? 0.0f : -0.08f, im.h * 0.48f);
    s.mood.fog = view == 0 ? Hex(0x2C3A38) : Hex(0x301010);
    s.mood.fogDensity = 0.035f;
    s.mood.ambient = view == 0 ? Rgb{0.7f, 0.85f, 0.8f} : Rgb{0.8f, 0.35f, 0.3f};
    VGradient(im, 0, 0, float(im.w), float(im.h), Mul(s.mood.fog, 0.5f), Mul(s.mood.fog, 0.9f));
    CellBlock(s, view == 0 ? Hex(0xC8FFE0) : Hex(0xFF3020));
    if (view == 2) {
        /* Seen from inside a cell: heavy bars across the whole view. */
        for (int i = 0; i < 9; i++) {
            float x = 20.0f + i * 75.0f;
            FillRect(im, x - 9, 0, x + 9, float(im.h), Hex(0x141010));
            FillRect(im, x - 6, 0, x - 2, float(im.h), Hex(0x5A3030), 0.8f);
        }
        FillRect(im, 0, im.h * 0.62f, float(im.w), im.h * 0.62f + 16, Hex(0x141010));
        FillRect(im, 0, im.h * 0.62f + 2, float(im.w), im.h * 0.62f + 6, Hex(0x5A3030), 0.8f);
        Vignette(im, 0.6f);
    }
}

/* ---- Level 5: the kitchens ---------------------------------------------------- */

/* Tiled room: checked floor, tiled walls, steel ceiling. */
static void TiledRoom(Scene &s, float halfWidth, float depth, float height, Rgb tile, Rgb grout)
{
    for (int i = 0; i < int(depth); i++)
        for (int j = -int(halfWidth); j < int(halfWidth); j++)
            FloorQuad(s, float(j), float(i), float(j + 1), float(i + 1), 0, ((i + j) & 1) ? Hex(0xE8E4DC) : Hex(0x2A2A30));
    FloorQuad(s, -halfWidth, 0.3f, halfWidth, depth, height, Hex(0x707478), 0.7f);
    WallZ(s, -halfWidth, 0, halfWidth, height, depth, tile, 0.85f);
    WallX(s, -halfWidth, 0, 0.3f, height, depth, tile, 0.75f);
    WallX(s, halfWidth, 0, 0.3f, height, depth, tile, 0.95f);
    for (float y = 0.3f; y < height; y += 0.3f) {
        Line3(s, V3{-halfWidth, y, depth - 0.01f}, V3{halfWidth, y, depth - 0.01f}, 0.01f, grout);
        Line3(s, V3{-halfWidth + 0.01f, y, 0.3f}, V3{-halfWidth + 0.01f, y, depth}, 0.01f, grout);
        Line3(s, V3{halfWidth - 0.01f, y, 0.3f}, V3{halfWidth - 0.01f, y, depth}, 0.01f, grout);
    }
    for (float x = -halfWidth; x <= halfWidth; x += 0.3f)
        Line3(s, V3{x, 0, depth - 0.01f}, V3{x, height, depth - 0.01f}, 0.01f, grout);
    for (float z = 0.3f; z < depth; z += 0.3f) {
        Line3(s, V3{-halfWidth + 0.01f, 0, z}, V3{-halfWidth + 0.01f, height, z}, 0.01f, grout);
        Line3(s, V3{halfWidth - 0.01f, 0, z}, V3{halfWidth - 0.01f, height, z}, 0.01f, grout);
    }
}

static void Pot(Scene &s, float x, float z, float y, float r, float h, Rgb c, bool steam, uint32_t seed)
{
    Cylinder(s, x, z, y, y + h, r, c, 0.7f);
    Line3(s, V3{x - r, y + h * 0.8f, z}, V3{x - r - 0.12f, y + h * 0.8f, z}, 0.04f, Hex(0x202020));
    Line3(s, V3{x + r, y + h * 0.8f, z}, V3{x + r + 0.12f, y + h * 0.8f, z}, 0.04f, Hex(0x202020));
    if (steam)
        Smoke(s, V3{x, y + h + 0.15f, z}, r * 0.7f, 6, Hex(0xF0F0F0), 0.35f, seed);
}

static void Stove(Scene &s, float x0, float x1, float z0, float z1, bool fire, uint32_t seed)
{
    Rgb steel = Hex(0xB8C0C8);
    Box(s, x0, 0, z0, x1, 0.9f, z1, steel);
    for (float x = x0 + 0.2f; x < x1 - 0.2f; x += 0.35f)
        Line3(s, V3{x, 0.1f, z0 - 0.01f}, V3{x, 0.8f, z0 - 0.01f}, 0.01f, Hex(0x707880));
    Box(s, x0, 0.9f, z0, x1, 0.95f, z1, Hex(0x303438));
    uint32_t r = seed;
    for (float x = x0 + 0.35f; x < x1 - 0.2f; x += 0.7f)
        for (float z = z0 + 0.3f; z < z1 - 0.1f; z += 0.6f) {
            float bx, by, bd;
            if (fire && Project(s, V3{x, 0.96f, z}, bx, by, bd)) {
                float rr = s.f * 0.14f / bd;
                Glow(*s.im, bx, by, rr * 3, Hex(0x3070FF), 0.6f);
                FillEllipse(*s.im, bx, by, rr, rr * 0.3f, Hex(0x80B0FF));
            }
            if (RandomUnit(r) < 0.6f)
                Pot(s, x, z, 0.95f, RandomRange(r, 0.15f, 0.24f), RandomRange(r, 0.15f, 0.35f),
                    Mix(Hex(0xC0C4C8), Hex(0xB06040), RandomUnit(r) < 0.3f ? 1.0f : 0.0f), fire, NextRandom(r));
        }
}

static void Utensils(Scene &s, float x0, float x1, float y, float z, uint32_t seed)
{
    Line3(s, V3{x0, y, z}, V3{x1, y, z}, 0.04f, Hex(0x909090));
    uint32_t r = seed;
    for (float x = x0 + 0.2f; x < x1; x += 0.3f) {
        float len = RandomRange(r, 0.3f, 0.6f);
        Line3(s, V3{x, y, z}, V3{x, y - len, z}, 0.025f, Hex(0xA0A4A8));
        float ex, ey, ed;
        if (Project(s, V3{x, y - len, z}, ex, ey, ed)) {
            float rr = s.f * RandomRange(r, 0.05f, 0.14f) / ed;
            FillEllipse(*s.im, ex, ey + rr * 0.6f, rr, rr * 0.8f, Shade(s, RandomUnit(r) < 0.5f ? Hex(0xB87040) : Hex(0xC0C8D0), 1, ed));
        }
    }
}

static void SceneKitchens(Image &im, int view)
{
    Scene s;
    static const float cam[5][4] = {{0, 1.7f, 0.2f, 0}, {0.8f, 1.6f, 1.2f, 0.1f}, {-0.5f, 1.7f, 0.5f, -0.2f}, {0, 1.6f, 0.5f, 0.05f},
                                    {1.5f, 1.8f, 0.6f, -0.35f}};
    SetupScene(s, im, Day, cam[view][0], cam[view][1], cam[view][2], cam[view][3], im.h * 0.46f);
    s.mood.fogDensity = 0.02f;
    Rgb tile = Hex(0xD8E8E4), grout = Hex(0x98A8A4);
    if (view == 2) {   /* the cold room */
        s.mood.ambient = Rgb{0.65f, 0.8f, 1.0f};
        s.mood.fog = Hex(0xA0C0E0);
        s.mood.fogDensity = 0.06f;
    } else if (view == 3) {   /* night, only the emergency lights */
        s.mood.ambient = Rgb{0.55f, 0.22f, 0.2f};
        s.mood.fog = Hex(0x200808);
    } else if (view == 1) {
        s.mood.ambient = Rgb{1.0f, 0.85f, 0.7f};
        s.mood.fog = Hex(0x806050);
    } else if (view == 4) {   /* evening, the sun low through the side windows */
        s.mood.ambient = Rgb{0.8f, 0.62f, 0.5f};
        s.mood.fog = Hex(0x3A2418);
    }
    VGradient(im, 0, 0, float(im.w), float(im.h), Hex(0x202020), Hex(0x101010));
    TiledRoom(s, 5, 16, 3.4f, tile, grout);
    if (view == 4)
        for (float z = 3; z < 14; z += 4) {
            V3 w[4] = {{-4.99f, 1.4f, z}, {-4.99f, 1.4f, z + 2.5f}, {-4.99f, 3.0f, z + 2.5f}, {-4.99f, 3.0f, z}};
            Poly3(s, w, 4, Hex(0xFFB060), 1.0f, 1.0f, true);
            LightCone(s, V3{-5, 2.2f, z + 1.2f}, V3{-1, 0, z + 2.5f}, 1.5f, Hex(0xFF9040), 0.22f);
        }
    uint32_t r = 50 + view;
    if (view == 2) {
        /* Cold room: shelves of crates and hanging carcass hooks. */
        for (int side = -1; side <= 1; side += 2)
            for (float z = 14.5f; z >= 2; z -= 2.5f) {
                float x0 = side < 0 ? -5 : 3.8f;
                for (float y = 0.4f; y < 2.6f; y += 0.7f) {
                    Box(s, x0, y, z, x0 + 1.2f, y + 0.05f, z + 2.2f, Hex(0xA8B0B8));
                    Box(s, x0 + 0.1f, y + 0.05f, z + 0.2f, x0 + 1.0f, y + 0.45f, z + 1.0f,
                        RandomUnit(r) < 0.5f ? Hex(0xC0B090) : Hex(0x90A8C0));
                }
            }
        WallZ(s, -1.2f, 0, 1.2f, 2.4f, 15.9f, Hex(0xB0B8C0), 1.0f);
        Line3(s, V3{0.9f, 0.9f, 15.85f}, V3{0.9f, 1.5f, 15.85f}, 0.06f, Hex(0x404448));
        for (float z = 13.5f; z >= 4; z -= 1.5f) {
            Line3(s, V3{-1.5f, 3.0f, z}, V3{1.5f, 3.0f, z}, 0.04f, Hex(0x808890));
            for (float x = -1.2f; x <= 1.25f; x += 0.6f) {
                Line3(s, V3{x, 3.0f, z}, V3{x, 2.55f, z}, 0.015f, Hex(0x808890));
                Cylinder(s, x, z, 2.0f, 2.55f, 0.13f, Hex(0xB86860), 0.25f);
            }
        }
        FillRect(im, 0, 0, float(im.w), float(im.h), Hex(0xE0F0FF), 0.12f);
        return;
    }
    /* Tall fridges at the back. */
    for (float x = -4.5f; x < 4.5f; x += 1.5f) {
        Box(s, x, 0, 15.2f, x + 1.4f, 2.6f, 16, Hex(0xC8CCD0));
        Line3(s, V3{x + 1.2f, 1.0f, 15.19f}, V3{x + 1.2f, 1.8f, 15.19f}, 0.04f, Hex(0x505458));
    }
    /* Steel counters along both walls, stoves in the middle. */
    for (int side = -1; side <= 1; side += 2) {
        float x0 = side < 0 ? -5 : 4.2f;
        Box(s, x0, 0, 1, x0 + 0.8f, 0.9f, 15.5f, Hex(0xB8C0C8));
        Box(s, x0 - 0.02f, 0.9f, 1, x0 + 0.82f, 0.95f, 15.5f, Hex(0xD8DEE4));
        for (float z = 2; z < 15; z += RandomRange(r, 1.0f, 2.2f))
            Pot(s, x0 + 0.4f, z, 0.95f, RandomRange(r, 0.12f, 0.22f), RandomRange(r, 0.1f, 0.3f), Hex(0xC0C4C8), false, 0);
        /* Shelves of jars above. */
        Box(s, x0, 1.8f, 1, x0 + 0.5f, 1.85f, 15.5f, Hex(0x909498));
        for (float z = 1.3f; z < 15; z += 0.35f)
            if (RandomUnit(r) < 0.7f)
                Cylinder(s, x0 + 0.25f, z, 1.85f, 1.85f + RandomRange(r, 0.15f, 0.3f), 0.1f,
                         Mix(Hex(0xC08040), Hex(0x60A060), RandomUnit(r)), 0.6f);
    }
    Stove(s, -1.4f, 1.4f, 10.5f, 13.5f, view == 1 || view == 0, 80 + view);
    Stove(s, -1.4f, 1.4f, 5, 8.5f, view != 3, 70 + view);
    /* The extractor hood over the first island. */
    Box(s, -1.6f, 2.6f, 4.8f, 1.6f, 3.0f, 8.7f, Hex(0xC8D0D8));
    Utensils(s, -1.4f, 1.4f, 2.5f, 4.7f, 90 + view);
    /* Ceiling lights or the red emergency lamps. */
    for (float z = 3; z < 15; z += 4) {
        if (view == 3) {
            LampGlow(s, V3{-4.8f, 2.9f, z}, 2.0f, Hex(0xFF2010), 0.7f);
        } else {
            Box(s, -0.8f, 3.3f, z - 0.2f, 0.8f, 3.4f, z + 0.2f, Hex(0xFFFFF0));
            LampGlow(s, V3{0, 3.3f, z}, 1.5f, Hex(0xFFF8E0), 0.3f);
        }
    }
    if (view == 1)
        Glow(im, im.w * 0.5f, im.h * 0.8f, 260, Hex(0xFF8030), 0.25f);
}

/* ---- Level 6: the swimming pools ---------------------------------------------- */

static void ScenePools(Image &im, int view)
{
    Scene s;
    SetupScene(s, im, view == 0 ? Day : Night, view == 0 ? -3.0f : 2.0f, view == 0 ? 3.0f : 2.2f, 0, view == 0 ? 0.12f : -0.1f,
               im.h * 0.42f);
    s.mood.fogDensity = 0.012f;
    if (view == 1) {
        s.mood.ambient = Rgb{0.35f, 0.45f, 0.6f};
        s.mood.fog = Hex(0x0A1420);
    }
    VGradient(im, 0, 0, float(im.w), float(im.h), Hex(0x303840), Hex(0x101418));
    const float half = 14, len = 50, height = 10;
    /* Hall: tiled floor around the pool, walls, a glazed side. */
    FloorQuad(s, -half, 0.5f, half, len, 0, Hex(0xD8D4C8));
    FloorQuad(s, -half, 0.5f, half, len, height, Hex(0x505860), 0.7f);
    WallZ(s, -half, 0, half, height, len, Hex(0xC8D0D4), 0.8f);
    WallX(s, half, 0, 0.5f, height, len, Hex(0xB0B8C0), 0.9f);
    WallX(s, -half, 0, 0.5f, height, len, Hex(0x9AA4AC), 0.7f);
    /* Tall windows on the left wall. */
    for (float z = 3; z < len - 4; z += 6) {
        V3 w[4] = {{-half + 0.01f, 1.2f, z}, {-half + 0.01f, 1.2f, z + 4.5f}, {-half + 0.01f, 8.8f, z + 4.5f}, {-half + 0.01f, 8.8f, z}};
        Rgb glassColour = view == 0 ? Hex(0xE8F4FF) : Hex(0x10182C);
        Poly3(s, w, 4, glassColour, 1.0f, 1.0f, view == 0);
    }
    /* Roof trusses. */
    for (float z = 4; z < len; z += 6)
        Line3(s, V3{-half, height - 0.2f, z}, V3{half, height - 0.2f, z}, 0.25f, Hex(0x404850));
    /* The water: a deep blue sheet with lane ropes. */
    const float px0 = -8, px1 = 8, pz0 = 6, pz1 = 44;
    FloorQuad(s, px0 - 0.5f, pz0 - 0.5f, px1 + 0.5f, pz1 + 0.5f, 0.01f, Hex(0xF0F0F0));
    V3 water[4] = {{px0, 0.02f, pz0}, {px1, 0.02f, pz0}, {px1, 0.02f, pz1}, {px0, 0.02f, pz1}};
    Rgb waterColour = view == 0 ? Hex(0x2A90C8) : Hex(0x20C8E8);
    Poly3(s, water, 4, waterColour, 1.0f, 1.0f, view == 1);
    /* Ripples: short bright dashes, denser and thinner with distance. */
    uint32_t r = 60 + view;
    for (int i = 0; i < 900; i++) {
        float x = RandomRange(r, px0, px1), z = RandomRange(r, pz0, pz1);
        float len2 = RandomRange(r, 0.2f, 0.7f);
        Line3(s, V3{x, 0.03f, z}, V3{x + len2, 0.03f, z}, 0.03f, view == 0 ? Hex(0xC8F0FF) : Hex(0xE0FFFF), 1.0f, 0.5f);
    }
    /* Lane ropes: floats in alternating colours. */
    for (float x = px0 + 2; x < px1 - 0.5f; x += 2)
        for (float z = pz0; z < pz1; z += 0.5f) {
            float fx, fy, fd;
            if (Project(s, V3{x, 0.06f, z}, fx, fy, fd)) {
                float rr = s.f * 0.09f / fd;
                int k = int((z - pz0) / 0.5f);
                Rgb c = (k / 4) % 2 ? Hex(0xE03030) : Hex(0xF0F0F0);
                FillEllipse(im, fx, fy, rr * 1.4f, rr, Shade(s, c, 1.0f, fd));
            }
        }
    /* Lane markings under water. */
    for (float x = px0 + 1; x < px1; x += 2)
        Line3(s, V3{x, 0.025f, pz0 + 2}, V3{x, 0.025f, pz1 - 2}, 0.2f, Hex(0x103050), 1.0f, 0.5f);
    /* Diving tower at the far end and ladders near. */
    Box(s, -2, 0, 46, 2, 7.5f, 47.5f, Hex(0xE0E0E0));
    Box(s, -1.5f, 3, 43, 1.5f, 3.2f, 46, Hex(0x3A7AB0));
    Box(s, -1.5f, 6.5f, 42, 1.5f, 6.7f, 46, Hex(0x3A7AB0));
    for (float x : {px0 + 0.3f, px1 - 0.3f}) {
        V3 a = {x, 0, pz0 + 3}, b = {x, 1.2f, pz0 + 3};
        Line3(s, a, b, 0.05f, Hex(0xD0D4D8));
        Line3(s, V3{x, 1.2f, pz0 + 3}, V3{x + (x < 0 ? -0.6f : 0.6f), 1.2f, pz0 + 3}, 0.05f, Hex(0xD0D4D8));
    }
    /* Sunlight or the glow of the underwater lamps. */
    if (view == 0) {
        for (float z = 3; z < len - 4; z += 6)
            LightCone(s, V3{-half, 8, z + 2}, V3{-4, 0, z + 5}, 2.5f, Hex(0xFFF0D0), 0.18f);
    } else {
        for (float z = pz0 + 4; z < pz1; z += 8)
            for (float x : {px0 + 0.2f, px1 - 0.2f})
                LampGlow(s, V3{x, -0.2f, z}, 3.0f, Hex(0x40E0FF), 0.5f);
        /* Caustic light dancing on the ceiling and the back wall. */
        for (int i = 0; i < 220; i++) {
            float x = RandomRange(r, -half, half), z = RandomRange(r, 8, len);
            Line3(s, V3{x, height - 0.05f, z}, V3{x + RandomRange(r, -0.8f, 0.8f), height - 0.05f, z + RandomRange(r, 0.2f, 0.8f)}, 0.05f,
                  Hex(0x80FFFF), 1.0f, 0.35f);
        }
    }
}

/* ---- Level 7: the temple ------------------------------------------------------ */

static void Pillar(Scene &s, float x, float z, float h, float r, Rgb stone)
{
    Box(s, x - r * 1.4f, 0, z - r * 1.4f, x + r * 1.4f, 0.4f, z + r * 1.4f, stone);
    Cylinder(s, x, z, 0.4f, h - 0.5f, r, stone, 0.15f);
    Box(s, x - r * 1.5f, h - 0.5f, z - r * 1.5f, x + r * 1.5f, h, z + r * 1.5f, stone);
}

static void Brazier(Scene &s, float x, float z)
{
    Cylinder(s, x, z, 0, 1.1f, 0.15f, Hex(0x503828));
    Cylinder(s, x, z, 1.1f, 1.35f, 0.45f, Hex(0x806040));
    float fx, fy, fd;
    if (Project(s, V3{x, 1.4f, z}, fx, fy, fd)) {
        float sz = s.f * 0.35f / fd;
        Glow(*s.im, fx, fy - sz, sz * 9, Hex(0xFF7020), 0.5f);
        FillEllipse(*s.im, fx, fy - sz * 1.1f, sz * 0.8f, sz * 1.6f, Hex(0xFF9030));
        FillEllipse(*s.im, fx, fy - sz * 0.7f, sz * 0.45f, sz * 0.9f, Hex(0xFFE8A0));
    }
}

static void SceneTemple(Image &im, int view)
{
    Scene s;
    Rgb stone = Hex(0xC8B48C);
    if (view == 0) {
        /* The portico at sunset, up its stairs. */
        SetupScene(s, im, Dusk, 6, 1.8f, -14, -0.12f, im.h * 0.66f);
        Sky(s, 701);
        FloorQuad(s, -200, 1, 200, 300, 0, Hex(0x6A5A40));
        HorizonHaze(s, 30, 0.4f);
        for (int i = 0; i < 10; i++)
            Box(s, -18 + i * 0.2f, 0, 20 + i * 0.6f, 18 - i * 0.2f, 0.35f * (i + 1), 40, stone);
        float base = 3.5f;
        WallZ(s, -13, base, 13, base + 11, 31.5f, Hex(0x3A2A20), 0.6f);
        WallZ(s, -2.5f, base, 2.5f, base + 7, 31.4f, Hex(0x140C08), 1.0f);
        LampGlow(s, V3{0, base + 2.5f, 31.3f}, 4, Hex(0xFFA040), 0.5f);
        for (int i = 0; i < 8; i++) {
            float x = -14.0f + i * 4.0f;
            Scene t = s;
            t.py -= base;
            Pillar(t, x, 28, 11, 0.9f, stone);
        }
        Box(s, -16, base + 11, 26.5f, 16, base + 13, 30, stone);
        V3 ped[3] = {{-16.5f, base + 13, 26.4f}, {16.5f, base + 13, 26.4f}, {0, base + 18, 26.4f}};
        Poly3(s, ped, 3, stone, 1.05f);
        V3 inner[3] = {{-13, base + 13.5f, 26.3f}, {13, base + 13.5f, 26.3f}, {0, base + 17.2f, 26.3f}};
        Poly3(s, inner, 3, stone, 0.7f);
        /* Guardians at the foot of the stairs. */
        for (float x : {-9.0f, 9.0f}) {
            Box(s, x - 1.2f, 0, 16, x + 1.2f, 2.0f, 18.4f, stone);
            Cylinder(s, x, 17.2f, 2.0f, 4.6f, 0.7f, Hex(0x5A6A58), 0.3f);
            Cylinder(s, x, 17.2f, 4.6f, 5.6f, 0.45f, Hex(0x5A6A58), 0.3f);
        }
        Brazier(s, -4.5f, 12);
        Brazier(s, 4.5f, 12);
        return;
    }
    if (view == 1) {
        /* Inside: the hall of columns and the altar under a shaft of light. */
        SetupScene(s, im, Dusk, 0, 1.7f, 0, 0, im.h * 0.45f);
        s.mood.fog = Hex(0x2A1C14);
        s.mood.fogDensity = 0.045f;
        s.mood.ambient = Rgb{0.8f, 0.62f, 0.45f};
        VGradient(im, 0, 0, float(im.w), float(im.h), Hex(0x1A120C), Hex(0x0A0604));
        for (int i = 0; i < 40; i++)
            for (int j = -6; j < 6; j++)
                FloorQuad(s, j * 2.0f, i * 2.0f, j * 2.0f + 2, i * 2.0f + 2, 0, ((i + j) & 1) ? Hex(0x8A7A60) : Hex(0x6A5A48));
        WallZ(s, -12, 0, 12, 12, 60, Hex(0x5A4A38), 0.8f);
        Box(s, -2.5f, 0, 40, 2.5f, 1.2f, 43, stone);
        Box(s, -1.5f, 1.2f, 41, 1.5f, 2.0f, 42.5f, Hex(0xA89060));
        float ax, ay, ad;
        if (Project(s, V3{0, 2.6f, 41.5f}, ax, ay, ad)) {
            Glow(im, ax, ay, 80, Hex(0x40E0FF), 0.7f);
            float q[8] = {ax, ay - 12, ax + 7, ay, ax, ay + 12, ax - 7, ay};
            FillPolygon(im, q, 4, Hex(0xC0FFFF));
        }
        LightCone(s, V3{0, 14, 41}, V3{0, 0, 41}, 3, Hex(0xFFE8B0), 0.35f);
        for (float z = 58; z >= 4; z -= 6)
            for (float x : {-6.0f, 6.0f}) {
                Pillar(s, x, z, 11, 0.8f, stone);
                if (int(z) % 12 == 4)
                    Brazier(s, x * 0.7f, z - 1);
            }
        Box(s, -12, 11, 2, -5, 12, 60, Hex(0x4A3A2C));
        Box(s, 5, 11, 2, 12, 12, 60, Hex(0x4A3A2C));
        return;
    }
    /* A stepped pyramid rising from the jungle under the moon. */
    SetupScene(s, im, Night, 0, 4, 48, 0, im.h * 0.66f);
    s.mood.sunX = 0.62f, s.mood.sunY = 0.22f, s.mood.sunR = 22;
    Sky(s, 703);
    FloorQuad(s, -300, 1, 300, 400, 0, Hex(0x1A2A1A));
    uint32_t r = 77;
    for (int i = 0; i < 120; i++) {
        float x = RandomRange(r, -120, 120), z = RandomRange(r, 60, 140);
        float tx, ty, td;
        if (Project(s, V3{x, 4, z}, tx, ty, td)) {
            float rr = s.f * RandomRange(r, 3, 6) / td;
            FillEllipse(im, tx, ty, rr * 1.3f, rr, Shade(s, Hex(0x2A4A2A), RandomRange(r, 0.7f, 1.1f), td));
        }
    }
    HorizonHaze(s, 40, 0.3f);
    Rgb mossy = Hex(0x8A9078);
    for (int i = 0; i < 7; i++) {
        float w = 26.0f - i * 3.2f, d = 26.0f - i * 3.2f;
        Box(s, -w * 0.5f, i * 3.0f, 100 - d * 0.5f, w * 0.5f, i * 3.0f + 2.6f, 100 + d * 0.5f, mossy);
        Box(s, -w * 0.5f - 0.2f, i * 3.0f + 2.6f, 100 - d * 0.5f - 0.2f, w * 0.5f + 0.2f, i * 3.0f + 3.0f, 100 + d * 0.5f + 0.2f,
            Hex(0x6A7060));
    }
    /* The central stair. */
    V3 stair[4] = {{-2.5f, 0, 87}, {2.5f, 0, 87}, {2.5f, 21, 100 - 7.6f}, {-2.5f, 21, 100 - 7.6f}};
    Poly3(s, stair, 4, Hex(0x9AA088), 1.05f);
    for (int k = 0; k < 40; k++) {
        float t = k / 40.0f;
        float y = 21 * t, z = 87 + (100 - 7.6f - 87) * t;
        Line3(s, V3{-2.5f, y, z}, V3{2.5f, y, z}, 0.06f, Hex(0x4A5040));
    }
    Box(s, -3, 21, 95, 3, 25, 101, Hex(0x7A8070));
    WallZ(s, -1, 21, 1, 23.5f, 94.99f, Hex(0x100808), 1.0f);
    LampGlow(s, V3{0, 22, 94.9f}, 6, Hex(0xFF7030), 0.6f);
    /* Jungle in front. */
    for (int i = 0; i < 10; i++) {
        float x = RandomRange(r, -10, float(im.w) + 10);
        Fern(im, x, float(im.h) + 20, RandomRange(r, 90, 170), 9, 2.8f, -1.5708f, Hex(0x0C1C10), r);
    }
}

/* ---- Pictures ------------------------------------------------------------------ */

void DrawArtbookScene(int level, int picture, Image &im)
{
    InitImage(im, 640, 480, Hex(0));
    switch (level) {
    case 1: SceneRoof(im, picture % 3); break;
    case 2: SceneRefinery(im, picture % 2); break;
    case 3: SceneVegetation(im, picture % 4); break;
    case 4: ScenePrisons(im, picture % 3); break;
    case 5: SceneKitchens(im, picture % 5); break;
    case 6: ScenePools(im, picture % 2); break;
    default: SceneTemple(im, picture % 3); break;
    }
}

/* The concept-art finish: a touch of grain and vignetting, a thin frame
 * and the sheet's label in a corner. */
static void Finish(Image &im, int level, int picture)
{
    Grain(im, uint32_t(level * 100 + picture + 1), 0.035f);
    Vignette(im, 0.3f);
    char label[96];
    std::snprintf(label, sizeof label, "NIVEAU %d : %s", level, ArtbookLevelName(level));
    char number[40];
    std::snprintf(number, sizeof number, "ETUDE %d/%d", picture + 1, ArtbookPictureCount(level));
    float lw = TextWidth(label, 1) + 16;
    FillRect(im, 8, 454, 8 + lw, 472, Hex(0x000000), 0.55f);
    DrawText(im, 16, 460, label, 1, Hex(0xE8ECF0));
    float nw = TextWidth(number, 1) + 16;
    FillRect(im, 632 - nw, 454, 632, 472, Hex(0x000000), 0.55f);
    DrawText(im, 640 - nw, 460, number, 1, Hex(0x80E0FF));
    Rgb frame = Hex(0x0A0A0C);
    FillRect(im, 0, 0, 640, 3, frame);
    FillRect(im, 0, 477, 640, 480, frame);
    FillRect(im, 0, 0, 3, 480, frame);
    FillRect(im, 637, 0, 640, 480, frame);
}

void BuildArtbookPicture(int level, int picture, std::vector<uint8_t> &out)
{
    Image im;
    DrawArtbookScene(level, picture, im);
    Finish(im, level, picture);
    Indexed q;
    Quantize(im, 256, true, q);
    EncodeBmp8(q, false, out);
}
