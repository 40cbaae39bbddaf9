/* Pictures at the screen's density: the scaled copy of a bitmap, and the
 * static pictures of a dialog given theirs. */
#include <windows.h>

#include "common/dpiscale.h"
#include "common/trace.h"

/* Window properties of a picture control that holds a scaled copy: the
 * copy, and the control's own window procedure. */
#define SCALED_PICTURE_PROP "KvlScaledPicture"
#define PICTURE_PROC_PROP   "KvlPictureProc"

int ScreenDpi(void)
{
    HDC screen = GetDC(NULL);
    if (!screen)
        return BASE_DPI;
    int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(NULL, screen);
    return dpi > 0 ? dpi : BASE_DPI;
}

/* Smooths what StretchBlt draws into dc: HALFTONE, which wants the brush
 * origin set after it, or COLORONCOLOR where the system has no HALFTONE
 * (Windows 95, 98 and Me). */
static void ChooseStretchMode(HDC dc)
{
    if (SetStretchBltMode(dc, HALFTONE) && GetStretchBltMode(dc) == HALFTONE)
        SetBrushOrgEx(dc, 0, 0, NULL);
    else
        SetStretchBltMode(dc, COLORONCOLOR);
}

/* A new bitmap: source stretched to width x height, smoothed. NULL when
 * no copy could be made. */
static HBITMAP StretchedCopy(HBITMAP source, int width, int height, int dpi)
{
    BITMAP info;
    if (!source || !GetObjectA(source, sizeof info, &info))
        return NULL;
    int sourceHeight = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
    if (info.bmWidth <= 0 || sourceHeight <= 0 || width <= 0 || height <= 0)
        return NULL;
    HDC screen = GetDC(NULL);
    if (!screen)
        return NULL;
    HBITMAP copy = CreateCompatibleBitmap(screen, width, height);
    HDC from = CreateCompatibleDC(screen);
    HDC to = CreateCompatibleDC(screen);
    ReleaseDC(NULL, screen);
    int drawn = 0;
    if (copy && from && to) {
        HGDIOBJ oldFrom = SelectObject(from, source);
        HGDIOBJ oldTo = SelectObject(to, copy);
        if (oldFrom && oldTo) {
            ChooseStretchMode(to);
            drawn = StretchBlt(to, 0, 0, width, height, from, 0, 0, info.bmWidth, sourceHeight, SRCCOPY);
        }
        if (oldFrom)
            SelectObject(from, oldFrom);
        if (oldTo)
            SelectObject(to, oldTo);
    }
    if (from)
        DeleteDC(from);
    if (to)
        DeleteDC(to);
    if (!drawn) {
        Trace("a picture could not be scaled to %d dots per inch (error %lu): it keeps its size", dpi,
              (unsigned long)GetLastError());
        if (copy)
            DeleteObject(copy);
        return NULL;
    }
    return copy;
}

HBITMAP ScaleBitmapForDpi(HBITMAP source, int dpi)
{
    BITMAP info;
    if (!source || dpi <= BASE_DPI || !GetObjectA(source, sizeof info, &info))
        return NULL;
    int sourceHeight = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
    return StretchedCopy(source, MulDiv(info.bmWidth, dpi, BASE_DPI), MulDiv(sourceHeight, dpi, BASE_DPI), dpi);
}

/* The dialog units of a font, as the dialog manager takes them: the mean
 * width of the 52 letters, halved and rounded, and the height. */
static int FontDialogUnits(HDC dc, const LOGFONTA *font, SIZE *units)
{
    static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    HFONT made = CreateFontIndirectA(font);
    if (!made)
        return 0;
    HGDIOBJ old = SelectObject(dc, made);
    TEXTMETRICA metrics;
    SIZE extent;
    int ok = old && GetTextMetricsA(dc, &metrics) && GetTextExtentPoint32A(dc, letters, 52, &extent);
    if (old)
        SelectObject(dc, old);
    DeleteObject(made);
    if (!ok || extent.cx <= 0 || metrics.tmHeight <= 0)
        return 0;
    units->cx = (extent.cx / 26 + 1) / 2;
    units->cy = metrics.tmHeight;
    return units->cx > 0;
}

/* How much the dialog's font grows from 96 dots per inch to dpi, across
 * (grown->cx over base->cx) and down. A dialog is laid out in units of its
 * font, which grows by less than the density, and by different amounts
 * across and down: a picture scaled by the density alone would run past
 * the room its template gives it (over the main menu's lower buttons). 0
 * when the font cannot be measured. */
static int DialogGrowth(HWND dialog, int dpi, SIZE *base, SIZE *grown)
{
    HFONT font = (HFONT)SendMessageA(dialog, WM_GETFONT, 0, 0);
    LOGFONTA shape;
    if (!font || !GetObjectA(font, sizeof shape, &shape) || shape.lfHeight >= 0)
        return 0;
    /* The template's size in points, from the height the dialog manager
     * gave the font at the screen's density. */
    int points = MulDiv(-shape.lfHeight, 72, ScreenDpi());
    HDC screen = GetDC(NULL);
    if (!screen || points <= 0) {
        if (screen)
            ReleaseDC(NULL, screen);
        return 0;
    }
    shape.lfWidth = 0;
    shape.lfHeight = -MulDiv(points, BASE_DPI, 72);
    int ok = FontDialogUnits(screen, &shape, base);
    shape.lfHeight = -MulDiv(points, dpi, 72);
    ok = ok && FontDialogUnits(screen, &shape, grown);
    ReleaseDC(NULL, screen);
    return ok;
}

/* The picture control's procedure while it holds a scaled copy: when the
 * control goes, the copy goes with it, unless someone replaced it. */
static LRESULT CALLBACK ScaledPictureProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam)
{
    WNDPROC own = (WNDPROC)GetPropA(control, PICTURE_PROC_PROP);
    if (!own)
        return DefWindowProcA(control, message, wParam, lParam);
    if (message == WM_DESTROY) {
        HBITMAP scaled = (HBITMAP)GetPropA(control, SCALED_PICTURE_PROP);
        HBITMAP shown = (HBITMAP)CallWindowProcA(own, control, STM_SETIMAGE, IMAGE_BITMAP, 0);
        if (scaled && shown == scaled)
            DeleteObject(scaled);
        else if (shown)
            CallWindowProcA(own, control, STM_SETIMAGE, IMAGE_BITMAP, (LPARAM)shown);
        SetWindowLongPtrA(control, GWLP_WNDPROC, (LONG_PTR)own);
        RemovePropA(control, SCALED_PICTURE_PROP);
        RemovePropA(control, PICTURE_PROC_PROP);
    }
    return CallWindowProcA(own, control, message, wParam, lParam);
}

/* Whether the window is a static control that shows a bitmap. */
static int IsBitmapPicture(HWND window)
{
    char className[16];
    if (!GetClassNameA(window, className, sizeof className) || lstrcmpiA(className, "Static") != 0)
        return 0;
    return (GetWindowLongA(window, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP;
}

/* Gives the picture its copy at the dialog's growth, or at the density
 * where the growth is unknown. */
static void ScalePicture(HWND control, int dpi, const SIZE *base, const SIZE *grown)
{
    if (GetPropA(control, PICTURE_PROC_PROP))
        return;   /* already holds its copy */
    HBITMAP original = (HBITMAP)SendMessageA(control, STM_GETIMAGE, IMAGE_BITMAP, 0);
    BITMAP info;
    HBITMAP scaled = NULL;
    if (!base) {
        scaled = ScaleBitmapForDpi(original, dpi);
    } else if (original && GetObjectA(original, sizeof info, &info)) {
        int height = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
        scaled = StretchedCopy(original, MulDiv(info.bmWidth, grown->cx, base->cx),
                               MulDiv(height, grown->cy, base->cy), dpi);
    }
    if (!scaled)
        return;
    LONG_PTR own = GetWindowLongPtrA(control, GWLP_WNDPROC);
    if (!own || !SetPropA(control, PICTURE_PROC_PROP, (HANDLE)own) ||
        !SetPropA(control, SCALED_PICTURE_PROP, (HANDLE)scaled)) {
        Trace("a picture could not keep its scaled copy (error %lu): it keeps its size",
              (unsigned long)GetLastError());
        RemovePropA(control, PICTURE_PROC_PROP);
        DeleteObject(scaled);
        return;
    }
    SetWindowLongPtrA(control, GWLP_WNDPROC, (LONG_PTR)ScaledPictureProc);
    /* The bitmap the control loaded from the template is released by no
     * one else once it is replaced. */
    HBITMAP previous = (HBITMAP)SendMessageA(control, STM_SETIMAGE, IMAGE_BITMAP, (LPARAM)scaled);
    if (previous && previous != scaled)
        DeleteObject(previous);
}

void ScaleDialogPictures(HWND dialog, int dpi)
{
    if (dpi <= BASE_DPI)
        return;
    SIZE base, grown;
    int measured = DialogGrowth(dialog, dpi, &base, &grown);
    if (!measured)
        Trace("the dialog's font could not be measured: its pictures follow the density");
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (IsBitmapPicture(child))
            ScalePicture(child, dpi, measured ? &base : NULL, measured ? &grown : NULL);
}
