/* Time from the Setup click (the ShowGraphicsSetup call) to the graphics
 * setup dialog shown and painted, on Wine's own DirectDraw, against its
 * floor: what any opening has to ask of DirectDraw, timed in the same run
 * (ddraw.dll loaded, one driver enumeration, and per driver one create,
 * caps, mode enumeration and release). Beside them, the dialog's own cost:
 * the setup on a scripted DirectDraw against an empty dialog of the same
 * style, font and size. Prints the medians and their ratios. A dialog
 * counts as shown when its modal loop first goes idle (WM_ENTERIDLE to the
 * owner), after it has painted. */
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "common/app.h"
#include "common/texttable.h"
#include "graphics/ddraw_win.h"
#include "graphics/setupdlg.h"
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

/* The DirectDraw part alone: load, scan, unload. */
static double TimeScan(void)
{
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    DirectDrawEntries directDraw;
    int scanned = LoadDirectDraw(&directDraw) && ScanDisplayDevices(&directDraw);
    UnloadDirectDraw(&directDraw);
    QueryPerformanceCounter(&end);
    if (!scanned) {
        printf("the device scan failed\n");
        exit(1);
    }
    return Seconds(start, end, frequency);
}

/* ---- The floor ---------------------------------------------------------- */

static DirectDrawCreateFn FloorCreate;
static int FloorDrivers;

static HRESULT WINAPI FloorMode(DdSurfaceDesc5 *, void *context)
{
    ++*(int *)context;
    return KVL_DDENUMRET_OK;
}

static BOOL WINAPI FloorDriver(GUID *guid, char *, char *, void *)
{
    DirectDraw5 *directDraw = 0;
    if (FloorCreate(guid, &directDraw, 0) != KVL_DD_OK || !directDraw)
        return TRUE;
    DdCaps5 halCaps, helCaps;
    memset(&halCaps, 0, sizeof halCaps);
    memset(&helCaps, 0, sizeof helCaps);
    halCaps.dwSize = helCaps.dwSize = DDCAPS_DX5_SIZE;
    directDraw->methods->GetCaps(directDraw, &halCaps, &helCaps);
    int modes = 0;
    directDraw->methods->EnumDisplayModes(directDraw, 0, 0, &modes, FloorMode);
    directDraw->methods->Release(directDraw);
    FloorDrivers++;
    return TRUE;
}

/* Up to the point where the dialog would show; the library is freed
 * after. */
static double TimeFloor(void)
{
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    HMODULE library = LoadLibraryA("ddraw.dll");
    FARPROC create = library ? GetProcAddress(library, "DirectDrawCreate") : 0;
    FARPROC enumerate = library ? GetProcAddress(library, "DirectDrawEnumerateA") : 0;
    FloorCreate = reinterpret_cast<DirectDrawCreateFn>(reinterpret_cast<void *>(create));
    DirectDrawEnumerateFn enumerateDrivers =
        reinterpret_cast<DirectDrawEnumerateFn>(reinterpret_cast<void *>(enumerate));
    FloorDrivers = 0;
    if (FloorCreate && enumerateDrivers)
        enumerateDrivers(FloorDriver, 0);
    QueryPerformanceCounter(&end);
    if (library)
        FreeLibrary(library);
    if (FloorDrivers == 0) {
        printf("the floor opened no display driver\n");
        exit(1);
    }
    return Seconds(start, end, frequency);
}

/* One launcher run for every opening, as the main menu keeps it. */
static GraphicsSetupRun SetupRun;

static int OpenSetup(HWND owner)
{
    return ShowGraphicsSetup(owner, &SetupRun);
}

static int OpenScriptedSetup(HWND owner)
{
    DirectDrawEntries scripted = fakedd::Entries();
    return ShowGraphicsSetupWith(owner, &SetupRun, &scripted);
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
    TimeFloor();
    double empties[ROUNDS], setups[ROUNDS], floors[ROUNDS], scans[ROUNDS], scripteds[ROUNDS];
    for (int i = 0; i < ROUNDS; i++) {
        empties[i] = TimeOpening(owner, OpenEmpty, "empty dialog");
        setups[i] = TimeOpening(owner, OpenSetup, "graphics setup");
        floors[i] = TimeFloor();
        scans[i] = TimeScan();
        fakedd::Install({ { true, 0, "Carte 2D", "display", false, fakedd::PcModes() },
                          { false, 4, "3Dfx Voodoo", "voodoo", true, fakedd::PcModes() } });
        scripteds[i] = TimeOpening(owner, OpenScriptedSetup, "graphics setup (scripted DirectDraw)");
    }
    double empty = Median(empties, ROUNDS), setup = Median(setups, ROUNDS);
    double floor = Median(floors, ROUNDS), scan = Median(scans, ROUNDS);
    double scripted = Median(scripteds, ROUNDS);

    printf("floor: load ddraw.dll, 1 enumeration, per driver (%d) 1 create, caps, modes, release:\n"
           "                                          %8.2f ms\n", FloorDrivers, floor * 1000);
    printf("graphics setup, Wine's DirectDraw:        %8.2f ms   ratio to the floor %.2f\n", setup * 1000, setup / floor);
    printf("  of which load, scan and unload:         %8.2f ms   ratio to the floor %.2f\n", scan * 1000, scan / floor);
    printf("empty dialog, same template frame:        %8.2f ms\n", empty * 1000);
    printf("graphics setup, scripted DirectDraw:      %8.2f ms   ratio to the empty dialog %.2f\n", scripted * 1000, scripted / empty);
    printf("(medians of %d openings, from the call to the dialog shown and painted)\n", ROUNDS);
    DestroyWindow(owner);
    FreeTextTable();
    return 0;
}
