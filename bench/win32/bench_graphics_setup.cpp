/* Time from the Setup click (the ShowGraphicsSetup call) to the graphics
 * setup dialog shown and painted, on Wine's own DirectDraw, beside the time
 * to show an empty dialog of the same style, font and size. Prints both
 * medians and their ratio. A dialog counts as shown when its modal loop
 * first goes idle (WM_ENTERIDLE to the owner), after it has painted. */
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "common/app.h"
#include "common/texttable.h"
#include "graphics/ddraw5.h"
#include "graphics/graphics.h"
#include "tests/win32/fake_ddraw.h"

#define ROUNDS 15

static LARGE_INTEGER ShownAt;
static int ShownVisible;

static LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_ENTERIDLE && wParam == MSGF_DIALOGBOX) {
        HWND dialog = (HWND)lParam;
        UpdateWindow(dialog);
        QueryPerformanceCounter(&ShownAt);
        ShownVisible = IsWindowVisible(dialog) ? 1 : 0;
        EndDialog(dialog, 1);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

static INT_PTR CALLBACK EmptyProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

/* Template 104's frame without its controls. */
struct EmptyTemplate {
    DLGTEMPLATE header;
    WORD menu, windowClass;
    WCHAR caption[16];
    WORD pointSize;
    WCHAR font[14];
};

static void FillEmptyTemplate(EmptyTemplate *t)
{
    memset(t, 0, sizeof *t);
    t->header.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER | DS_SETFONT;
    t->header.cdit = 0;
    t->header.cx = 149;
    t->header.cy = 171;
    memcpy(t->caption, L"Empty dialog", sizeof L"Empty dialog");
    t->pointSize = 10;
    memcpy(t->font, L"MS Sans Serif", sizeof L"MS Sans Serif");
}

static double Seconds(LARGE_INTEGER from, LARGE_INTEGER to, LARGE_INTEGER frequency)
{
    return (double)(to.QuadPart - from.QuadPart) / (double)frequency.QuadPart;
}

static int CompareDoubles(const void *a, const void *b)
{
    double x = *(const double *)a, y = *(const double *)b;
    return x < y ? -1 : x > y ? 1 : 0;
}

static double Median(double *values, int count)
{
    qsort(values, (size_t)count, sizeof *values, CompareDoubles);
    return values[count / 2];
}

/* Time of one opening, from the call to the dialog shown. */
static double TimeOpening(HWND owner, int (*open)(HWND), const char *what)
{
    LARGE_INTEGER frequency, start;
    QueryPerformanceFrequency(&frequency);
    ShownVisible = 0;
    QueryPerformanceCounter(&start);
    int result = open(owner);
    if (result != 1 || !ShownVisible) {
        printf("%s: the dialog was not shown (result %d)\n", what, result);
        exit(1);
    }
    return Seconds(start, ShownAt, frequency);
}

static int OpenEmpty(HWND owner)
{
    EmptyTemplate t;
    FillEmptyTemplate(&t);
    return (int)DialogBoxIndirectParamA(Instance, &t.header, owner, EmptyProc, 0);
}

/* The DirectDraw part alone: load, scan (two enumerations, one driver
 * object per driver and pass), unload. */
static double TimeScan(void)
{
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    int scanned = LoadDirectDraw() && ScanDisplayDevices();
    UnloadDirectDraw();
    QueryPerformanceCounter(&end);
    if (!scanned) {
        printf("the device scan failed\n");
        exit(1);
    }
    return Seconds(start, end, frequency);
}

static int OpenSetup(HWND owner)
{
    return ShowGraphicsSetup(owner);
}

int main(void)
{
    Instance = GetModuleHandleA(NULL);
    LoadTextTable();
    WNDCLASSA wc;
    memset(&wc, 0, sizeof wc);
    wc.lpfnWndProc = OwnerProc;
    wc.hInstance = Instance;
    wc.lpszClassName = "KVLBenchOwner";
    RegisterClassA(&wc);
    HWND owner = CreateWindowA("KVLBenchOwner", "bench", WS_POPUP, 0, 0, 0, 0, NULL, NULL, Instance, NULL);

    /* One of each first, so that none pays for first-time loading; then
     * the kinds take turns, so that a busy machine slows all of them. */
    TimeOpening(owner, OpenEmpty, "empty dialog");
    TimeOpening(owner, OpenSetup, "graphics setup");
    double empties[ROUNDS], setups[ROUNDS], scans[ROUNDS], scripteds[ROUNDS];
    for (int i = 0; i < ROUNDS; i++) {
        empties[i] = TimeOpening(owner, OpenEmpty, "empty dialog");
        setups[i] = TimeOpening(owner, OpenSetup, "graphics setup");
        scans[i] = TimeScan();
        fakedd::Install({ { true, 0, "Carte 2D", "display", false, fakedd::PcModes() },
                          { false, 4, "3Dfx Voodoo", "voodoo", true, fakedd::PcModes() } });
        scripteds[i] = TimeOpening(owner, OpenSetup, "graphics setup (scripted DirectDraw)");
        RemoveDirectDrawDouble();
    }
    double empty = Median(empties, ROUNDS), setup = Median(setups, ROUNDS);
    double scan = Median(scans, ROUNDS), scripted = Median(scripteds, ROUNDS);

    printf("empty dialog, same template frame:        %8.2f ms\n", empty * 1000);
    printf("graphics setup, Wine's DirectDraw:        %8.2f ms   ratio %.2f\n", setup * 1000, setup / empty);
    printf("  of which load, scan and unload:         %8.2f ms   ratio %.2f\n", scan * 1000, scan / empty);
    printf("graphics setup, scripted DirectDraw:      %8.2f ms   ratio %.2f\n", scripted * 1000, scripted / empty);
    printf("(medians of %d openings, from the call to the dialog shown and painted)\n", ROUNDS);
    DestroyWindow(owner);
    FreeTextTable();
    return 0;
}
