/* The hidden main window: a zero-size pop-up whose only trace is the
 * launcher's taskbar button. Its title runs a small marquee, a gap that
 * travels through "K.V.L" and back, moved by timer 1 whenever one of the
 * launcher's modal dialogs dispatches messages. */
#include <windows.h>

#include "common/app.h"
#include "launcher/startup.h"
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

static unsigned TitleMarqueePosition;
static HICON MainIcon;

const char *TitleMarqueeText(unsigned position)
{
    return position < TITLE_MARQUEE_LENGTH ? TitleMarquee[position] : NULL;
}

static void OnTitleTimer(HWND window)
{
    if (TitleMarqueePosition >= TITLE_MARQUEE_LENGTH)
        TitleMarqueePosition = 0;
    SetWindowTextA(window, TitleMarquee[TitleMarqueePosition]);
    TitleMarqueePosition++;
}

/* Closing (from the taskbar button's menu) does not end the launcher: the
 * window stays, its title stops and its icon is given back. */
static void OnMainWindowClose(HWND window)
{
    KillTimer(window, TITLE_TIMER);
    if (MainIcon != NULL) {
        SendMessageA(window, WM_SETICON, ICON_SMALL, 0);
        DestroyIcon(MainIcon);
        MainIcon = NULL;
    }
}

static LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_TIMER:
        if (wParam == TITLE_TIMER)
            OnTitleTimer(window);
        return 0;
    case WM_CLOSE:
        OnMainWindowClose(window);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND CreateMainWindow(HINSTANCE instance)
{
    /* A private copy at the small icon size, so that it can be released
     * on WM_CLOSE. */
    if (MainIcon == NULL)
        MainIcon = (HICON)LoadImageA(instance, MAKEINTRESOURCEA(IDI_MAIN), IMAGE_ICON,
                                     GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0);

    WNDCLASSEXA windowClass;
    ZeroMemory(&windowClass, sizeof windowClass);
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_GLOBALCLASS;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = MAIN_WINDOW_CLASS;
    RegisterClassExA(&windowClass);

    HWND window = CreateWindowExA(0, MAIN_WINDOW_CLASS, "KVL", WS_POPUP | WS_SYSMENU,
                                  0, 0, 0, 0, GetDesktopWindow(), NULL, instance, NULL);
    if (window == NULL)
        return NULL;
    TitleMarqueePosition = 0;
    SetTimer(window, TITLE_TIMER, TITLE_TIMER_PERIOD, NULL);
    ShowWindow(window, SW_SHOW);
    if (MainIcon != NULL)
        SendMessageA(window, WM_SETICON, ICON_SMALL, (LPARAM)MainIcon);
    SetWindowTextA(window, "K.V.L");
    return window;
}
