/* Artbook viewer: what the rest of the launcher calls. */
#ifndef KVL_ARTBOOK_H
#define KVL_ARTBOOK_H

#include <windows.h>

int ShowArtbook(HWND owner);
/* The same with the pictures scaled to dpi rather than to the screen's
 * (tests). */
int ShowArtbookAtDpi(HWND owner, int dpi);

#endif
