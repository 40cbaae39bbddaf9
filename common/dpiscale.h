/* Pictures at the screen's density. A system that scales the windows of a
 * program unaware of dots per inch shows its dialogs and their pictures
 * as at 96 dots per inch, only larger. Where the system does not (Wine 8
 * and 9), the dialogs grow with their font while a bitmap keeps its
 * pixels, and fills a fraction of its frame: the launcher then shows each
 * bitmap of its static pictures grown as the dialog's font grew, and the
 * artbook's at its size times the dots per inch over 96. Icons stay as
 * they are. */
#ifndef KVL_DPISCALE_H
#define KVL_DPISCALE_H

#include <windows.h>

#define BASE_DPI 96

/* The screen's dots per inch across (LOGPIXELSX); BASE_DPI when it
 * cannot be read. */
int ScreenDpi(void);

/* A new bitmap: source at its width and height times dpi / BASE_DPI,
 * rounded, smoothed (HALFTONE, else COLORONCOLOR where the system refuses
 * it). NULL when dpi is BASE_DPI or less (the picture keeps its own size)
 * or no copy could be made. The caller deletes the copy. */
HBITMAP ScaleBitmapForDpi(HBITMAP source, int dpi);

/* Gives each bitmap picture of the dialog (a static control with
 * SS_BITMAP) its copy scaled as the dialog's font grows from 96 dots per
 * inch to dpi, across and down, so that it fills the room its template
 * gives it (by the density where the font cannot be measured), in place
 * of the bitmap it holds, which is deleted. Each copy is released when its
 * control is destroyed. A dialog that replaces such a picture owns what
 * STM_SETIMAGE gives back. Nothing changes at BASE_DPI or less. */
void ScaleDialogPictures(HWND dialog, int dpi);

#endif
