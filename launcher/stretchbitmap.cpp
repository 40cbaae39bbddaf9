/* Drawing a bitmap stretched over a rectangle, as the main menu's picture
 * button shows its emblem. */
#include <windows.h>

#include "launcher/stretchbitmap.h"

int DrawStretchedBitmap(HDC dc, HBITMAP bitmap, int left, int top, int right, int bottom)
{
    HDC memory = CreateCompatibleDC(dc);
    if (!memory)
        return 0;
    HGDIOBJ previous = SelectObject(memory, bitmap);
    SetMapMode(memory, GetMapMode(dc));

    BITMAP info;
    ZeroMemory(&info, sizeof info);
    GetObjectA(bitmap, sizeof info, &info);
    POINT size = { info.bmWidth, info.bmHeight };
    DPtoLP(dc, &size, 1);

    StretchBlt(dc, left, top, right - left, bottom - top, memory, 0, 0, size.x, size.y, SRCCOPY);
    if (previous)
        SelectObject(memory, previous);
    return DeleteDC(memory);
}
