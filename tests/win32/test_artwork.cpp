#include <windows.h>
#include <gtest/gtest.h>

#include <set>

#include "common/app.h"
#include "resources/resource.h"

namespace {

/* Distinct colours on a coarse grid of the bitmap as GDI draws it. */
size_t ColoursSeen(HBITMAP bitmap, int w, int h)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    std::set<COLORREF> seen;
    for (int y = 0; y < h; y += 3)
        for (int x = 0; x < w; x += 3)
            seen.insert(GetPixel(dc, x, y));
    SelectObject(dc, old);
    DeleteDC(dc);
    return seen.size();
}

} // namespace

TEST(Artwork, BitmapsLoadAtTheirSizesAndDepths)
{
    struct Want {
        int id, w, h, bpp;
    } wants[] = {{IDB_LOGO, 128, 74, 8},  {IDB_MENU_SIDE, 145, 295, 24}, {IDB_WAIT_SIDE, 145, 295, 24},
                 {IDB_EMBLEM, 50, 64, 8}, {IDB_TEAM, 640, 480, 8},       {IDB_ART_COVER, 640, 480, 8}};
    for (const Want &want : wants) {
        SCOPED_TRACE(want.id);
        HBITMAP b = (HBITMAP)LoadImageA(Instance, MAKEINTRESOURCEA(want.id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
        ASSERT_NE(b, nullptr);
        DIBSECTION ds;
        ASSERT_EQ(GetObjectA(b, sizeof ds, &ds), (int)sizeof ds);
        EXPECT_EQ(ds.dsBm.bmWidth, want.w);
        EXPECT_EQ(ds.dsBm.bmHeight, want.h);
        EXPECT_EQ(ds.dsBm.bmBitsPixel, want.bpp);
        /* A drawn picture, not a flat or empty one (the credits page is
         * run-length encoded: this checks that GDI unpacked it). */
        EXPECT_GT(ColoursSeen(b, want.w, want.h), 12u);
        DeleteObject(b);
    }
}

TEST(Artwork, IconsLoadAndKeepTransparentCorners)
{
    for (int id : {IDI_MAIN, IDI_CHIP, IDI_COMPUTER}) {
        SCOPED_TRACE(id);
        HICON icon = LoadIconA(Instance, MAKEINTRESOURCEA(id));
        ASSERT_NE(icon, nullptr);
        HICON small = (HICON)LoadImageA(Instance, MAKEINTRESOURCEA(id), IMAGE_ICON, 16, 16, 0);
        ASSERT_NE(small, nullptr);
        ICONINFO info;
        ASSERT_TRUE(GetIconInfo(small, &info));
        BITMAP bm;
        GetObjectA(info.hbmMask, sizeof bm, &bm);
        EXPECT_EQ(bm.bmWidth, 16);
        DeleteObject(info.hbmMask);
        if (info.hbmColor)
            DeleteObject(info.hbmColor);

        /* Drawn over magenta: the corner shows the background, the middle
         * shows the picture. */
        HDC screen = GetDC(nullptr);
        HDC dc = CreateCompatibleDC(screen);
        HBITMAP canvas = CreateCompatibleBitmap(screen, 32, 32);
        ReleaseDC(nullptr, screen);
        HGDIOBJ old = SelectObject(dc, canvas);
        HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));
        RECT r = {0, 0, 32, 32};
        FillRect(dc, &r, magenta);
        EXPECT_TRUE(DrawIconEx(dc, 0, 0, icon, 32, 32, 0, nullptr, DI_NORMAL));
        EXPECT_EQ(GetPixel(dc, 0, 31) & 0xFFFFFF, RGB(255, 0, 255));
        EXPECT_NE(GetPixel(dc, 16, 14) & 0xFFFFFF, RGB(255, 0, 255));
        SelectObject(dc, old);
        DeleteObject(canvas);
        DeleteObject(magenta);
        DeleteDC(dc);
        DestroyIcon(small);
    }
}
