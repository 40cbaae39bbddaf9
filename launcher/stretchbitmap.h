/* A bitmap drawn stretched over a rectangle. */
#ifndef KVL_STRETCHBITMAP_H
#define KVL_STRETCHBITMAP_H

#include <windows.h>

/* Draws bitmap stretched over the rectangle; 0 when it cannot. */
int DrawStretchedBitmap(HDC dc, HBITMAP bitmap, int left, int top, int right, int bottom);

#endif
