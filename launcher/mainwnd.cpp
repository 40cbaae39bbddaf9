/* The hidden main window: a zero-size pop-up whose only trace is the
 * launcher's taskbar button. Its title runs a small marquee, a gap that
 * travels through "K.V.L" and back, moved by timer 1 whenever one of the
 * launcher's modal dialogs dispatches messages. */
#include <windows.h>

#include "launcher/mainwnd.h"
#include "common/trace.h"
#include "resources/resource.h"

/* Every title begins with a blank: the gap enters between the letters. */
static const char *const TitleMarquee[TITLE_MARQUEE_LENGTH] = {
    " K.V.L",
    " K.V. L",
    " K.V .L",
    " K. V.L",
    " K .V.L",
    "  K.V.L",
    " K .V.L",
    " K. V.L",
    " K.V .L",
    " K.V. L",
};

/* NULL before the window has taken its state, and after it let go of it. */
static MainWindowState *StateOf(HWND window)
{
    return reinterpret_cast<MainWindowState *>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

static void OnTitleTimer(HWND window, MainWindowState *state)
{
    if (state->marqueePosition >= TITLE_MARQUEE_LENGTH)
        state->marqueePosition = 0;
    SetWindowTextA(window, TitleMarquee[state->marqueePosition]);
    state->marqueePosition++;
}

/* Closing (from the taskbar button's menu) does not end the launcher: the
 * window stays, its title stops and its icon is given back. */
static void OnMainWindowClose(HWND window, MainWindowState *state)
{
    KillTimer(window, TITLE_TIMER);
    if (state->icon != NULL) {
        SendMessageA(window, WM_SETICON, ICON_SMALL, 0);
        DestroyIcon(state->icon);
        state->icon = NULL;
    }
}

static LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    MainWindowState *state = StateOf(window);
    switch (message) {
    case WM_NCCREATE: {
        const CREATESTRUCTA *create = reinterpret_cast<const CREATESTRUCTA *>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        break;
    }
    case WM_TIMER:
        if (wParam == TITLE_TIMER && state != NULL)
            OnTitleTimer(window, state);
        return 0;
    case WM_CLOSE:
        if (state != NULL)
            OnMainWindowClose(window, state);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

static void RegisterMainWindowClass(HINSTANCE instance)
{
    WNDCLASSEXA windowClass;
    ZeroMemory(&windowClass, sizeof windowClass);
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_GLOBALCLASS;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = MAIN_WINDOW_CLASS;
    /* A second window of the run finds the class there already. */
    RegisterClassExA(&windowClass);
}

HWND CreateMainWindow(HINSTANCE instance, MainWindowState *state)
{
    state->marqueePosition = 0;
    /* A private copy at the small icon size, so that it can be released
     * on WM_CLOSE. */
    state->icon = (HICON)LoadImageA(instance, MAKEINTRESOURCEA(IDI_MAIN), IMAGE_ICON,
                                    GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0);
    if (state->icon == NULL)
        Trace("taskbar icon not loaded (error %lu): the button shows the default one", GetLastError());

    RegisterMainWindowClass(instance);
    HWND window = CreateWindowExA(0, MAIN_WINDOW_CLASS, "KVL", WS_POPUP | WS_SYSMENU,
                                  0, 0, 0, 0, GetDesktopWindow(), NULL, instance, state);
    if (window == NULL) {
        Trace("taskbar window not created (error %lu): the launcher runs without it", GetLastError());
        if (state->icon != NULL)
            DestroyIcon(state->icon);
        state->icon = NULL;
        return NULL;
    }
    if (!SetTimer(window, TITLE_TIMER, TITLE_TIMER_PERIOD, NULL))
        Trace("title timer not set (error %lu): the title stays still", GetLastError());
    ShowWindow(window, SW_SHOW);
    if (state->icon != NULL)
        SendMessageA(window, WM_SETICON, ICON_SMALL, (LPARAM)state->icon);
    SetWindowTextA(window, "K.V.L");
    return window;
}

void RetireMainWindow(HWND window)
{
    ShowWindow(window, SW_HIDE);
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
}
