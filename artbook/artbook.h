/* Artbook viewer: what the rest of the launcher calls. */
#ifndef KVL_ARTBOOK_H
#define KVL_ARTBOOK_H

#include <windows.h>

int ShowArtbook(HWND owner);

#endif
