#include "tests/win32/guitest.h"

#include <stdlib.h>

#include <memory>
#include <set>
#include <vector>

namespace gui {

static std::vector<Step> steps;
static size_t nextStep;
static UINT_PTR timer;
static DWORD startTick;
static unsigned timeout;
static bool timedOut;
static std::set<HWND> handled;

static BOOL CALLBACK CollectDialogs(HWND w, LPARAM lp)
{
    char cls[32];
    if (GetClassNameA(w, cls, sizeof cls) && lstrcmpA(cls, "#32770") == 0)
        reinterpret_cast<std::vector<HWND> *>(lp)->push_back(w);
    return TRUE;
}

static std::vector<HWND> ThreadDialogs()
{
    std::vector<HWND> found;
    EnumThreadWindows(GetCurrentThreadId(), CollectDialogs, reinterpret_cast<LPARAM>(&found));
    return found;
}

static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
{
    if (GetTickCount() - startTick > timeout) {
        timedOut = true;
        for (HWND d : ThreadDialogs())
            EndDialog(d, -99);
        return;
    }
    while (nextStep < steps.size()) {
        Step step = steps[nextStep];
        if (!step())
            return;
        nextStep++;
    }
}

void Queue(Step step) { steps.push_back(step); }

void OnDialog(const std::string &caption, std::function<void(HWND)> act)
{
    Queue([caption, act]() {
        HWND d = FindDialog(caption);
        if (!d)
            return false;
        handled.insert(d);
        act(d);
        return true;
    });
}

void OnNextDialog(std::function<void(HWND)> act)
{
    Queue([act]() {
        for (HWND d : ThreadDialogs()) {
            if (IsWindowVisible(d) && !handled.count(d)) {
                handled.insert(d);
                act(d);
                return true;
            }
        }
        return false;
    });
}

void Wait(DWORD ms)
{
    auto start = std::make_shared<DWORD>(0);
    Queue([start, ms]() {
        if (*start == 0)
            *start = GetTickCount() | 1;
        return GetTickCount() - *start >= ms;
    });
}

void Start(unsigned timeoutMs)
{
    timeout = timeoutMs;
    timedOut = false;
    startTick = GetTickCount();
    nextStep = 0;
    timer = SetTimer(NULL, 0, 25, Tick);
}

bool Finish()
{
    if (timer)
        KillTimer(NULL, timer);
    timer = 0;
    bool ok = !timedOut && nextStep == steps.size();
    steps.clear();
    handled.clear();
    nextStep = 0;
    return ok;
}

HWND FindDialog(const std::string &caption)
{
    for (HWND d : ThreadDialogs())
        if (IsWindowVisible(d) && Text(d) == caption)
            return d;
    return NULL;
}

std::string Text(HWND window)
{
    char buf[4096];
    buf[0] = 0;
    GetWindowTextA(window, buf, sizeof buf);
    return buf;
}

std::string ItemText(HWND dialog, int id) { return Text(GetDlgItem(dialog, id)); }
bool Visible(HWND dialog, int id) { return IsWindowVisible(GetDlgItem(dialog, id)) != 0; }
bool Enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != 0; }
bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

int FocusId()
{
    HWND f = GetFocus();
    return f ? GetDlgCtrlID(f) : 0;
}

void Press(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(dialog, id));
}

void Close(HWND dialog) { PostMessageA(dialog, WM_CLOSE, 0, 0); }

int ComboCount(HWND dialog, int id) { return (int)SendDlgItemMessageA(dialog, id, CB_GETCOUNT, 0, 0); }

std::string ComboItem(HWND dialog, int id, int index)
{
    char buf[512];
    LRESULT len = SendDlgItemMessageA(dialog, id, CB_GETLBTEXTLEN, index, 0);
    if (len == CB_ERR || len >= (LRESULT)sizeof buf)
        return std::string();
    SendDlgItemMessageA(dialog, id, CB_GETLBTEXT, index, (LPARAM)buf);
    return buf;
}

int ComboSelection(HWND dialog, int id) { return (int)SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0); }

void ComboSelect(HWND dialog, int id, int index)
{
    SendDlgItemMessageA(dialog, id, CB_SETCURSEL, index, 0);
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), (LPARAM)GetDlgItem(dialog, id));
}

/* The thread's DPI awareness context (Windows 10 1607 and later, and
 * Wine), looked up by name: the i686 build also runs on older systems. */
typedef HANDLE(WINAPI *SetThreadDpiContextProc)(HANDLE);
static const HANDLE PerMonitorAware = (HANDLE)(LONG_PTR)-3;

static int DpiNow()
{
    HDC screen = GetDC(NULL);
    int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(NULL, screen);
    return dpi;
}

/* Calls act with this thread aware of the screen's density, where the
 * system knows of DPI awareness at all. */
template <typename Act> static void AsDpiAware(Act act)
{
    SetThreadDpiContextProc set =
        (SetThreadDpiContextProc)(void *)GetProcAddress(GetModuleHandleA("user32.dll"), "SetThreadDpiAwarenessContext");
    HANDLE old = set ? set(PerMonitorAware) : NULL;
    act();
    if (old)
        set(old);
}

int ScreenDpiAsSet()
{
    int dpi = 0;
    AsDpiAware([&] { dpi = DpiNow(); });
    return dpi;
}

int ProgramDpi() { return DpiNow(); }

bool SystemScalesUnawarePrograms()
{
    typedef const char *(CDECL * WineVersionProc)(void);
    WineVersionProc version = (WineVersionProc)(void *)GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version");
    if (!version)
        return true;
    return atoi(version()) >= 10;
}

}
