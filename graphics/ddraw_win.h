/* DirectDraw at run time: ddraw.dll loaded around one graphics setup, and
 * the pass over its display drivers that builds the display device list. */
#ifndef KVL_GRAPHICS_DDRAW_WIN_H
#define KVL_GRAPHICS_DDRAW_WIN_H

#include <windows.h>

#include "graphics/ddraw5.h"

/* The entry points a scan calls, and the library they came from (null
 * when they are not ddraw.dll's, as a test's scripted DirectDraw). A null
 * entry point counts as missing from the library. */
struct DirectDrawEntries {
    HMODULE library;
    DirectDrawCreateFn create;
    DirectDrawEnumerateFn enumerate;
};

/* Loads ddraw.dll and looks up its entry points; 1 when both are there.
 * Otherwise entries holds nothing and nothing stays loaded. */
int LoadDirectDraw(DirectDrawEntries *entries);
/* Frees the library that LoadDirectDraw loaded and clears the entries. */
void UnloadDirectDraw(DirectDrawEntries *entries);
/* 1 when both entry points are there. */
int HasDirectDrawEntries(const DirectDrawEntries *entries);
/* Builds the display device list anew through the entry points; 1 when
 * some device has a mode. */
int ScanDisplayDevices(const DirectDrawEntries *entries);

#endif
