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

HBITMAP ScaleBitmapForDpi(HBITMAP source, int dpi)
{
    BITMAP info;
    if (!source || dpi <= BASE_DPI || !GetObjectA(source, sizeof info, &info))
        return NULL;
    int sourceHeight = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
    int width = MulDiv(info.bmWidth, dpi, BASE_DPI);
    int height = MulDiv(sourceHeight, dpi, BASE_DPI);
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

static void ScalePicture(HWND control, int dpi)
{
    if (GetPropA(control, PICTURE_PROC_PROP))
        return;   /* already holds its copy */
    HBITMAP original = (HBITMAP)SendMessageA(control, STM_GETIMAGE, IMAGE_BITMAP, 0);
    HBITMAP scaled = ScaleBitmapForDpi(original, dpi);
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
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (IsBitmapPicture(child))
            ScalePicture(child, dpi);
}
