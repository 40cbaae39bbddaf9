/* The start-up colour-depth check on the real display, and the user's
 * "don't show again" choice, kept per user. */
#include <windows.h>
#include <string.h>

#include "graphics/colourdepth_win.h"
#include "common/msgdlg.h"
#include "common/registrykeys.h"
#include "common/trace.h"
#include "graphics/colourdepth.h"
#include "resources/texts.h"

#define NO_WARNING_VALUE "bNoColourDepthWarning"

int CountHighColourModes(void)
{
    int count = 0;
    for (DWORD number = 0;; number++) {
        DEVMODEA mode;
        memset(&mode, 0, sizeof mode);
        mode.dmSize = sizeof mode;
        if (!EnumDisplaySettingsA(NULL, number, &mode))
            break;
        if (mode.dmBitsPerPel >= 15)
            count++;
    }
    return count;
}

static int DesktopBits(void)
{
    HWND desktop = GetDesktopWindow();
    HDC dc = GetDC(desktop);
    if (!dc) {
        Trace("desktop colour depth unreadable: taken as too low");
        return 0;
    }
    int bits = GetDeviceCaps(dc, BITSPIXEL);
    ReleaseDC(desktop, dc);
    return bits;
}

static int NoWarningStored(void)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, PRODUCT_KEY, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return 0;
    DWORD type = 0, value = 0, size = sizeof value;
    LONG result = RegQueryValueExA(key, NO_WARNING_VALUE, NULL, &type, (BYTE *)&value, &size);
    RegCloseKey(key);
    if (result == ERROR_FILE_NOT_FOUND)
        return 0;
    if (result != ERROR_SUCCESS || type != REG_DWORD || size != sizeof value) {
        Trace(NO_WARNING_VALUE " unreadable (error %ld, type %lu, %lu bytes): the warning stays on",
              (long)result, (unsigned long)type, (unsigned long)size);
        return 0;
    }
    return value == 1;
}

static void StoreNoWarning(void)
{
    HKEY key;
    LONG result = RegCreateKeyExA(HKEY_CURRENT_USER, PRODUCT_KEY, 0, NULL, REG_OPTION_NON_VOLATILE,
                                  KEY_SET_VALUE, NULL, &key, NULL);
    if (result == ERROR_SUCCESS) {
        DWORD value = 1;
        result = RegSetValueExA(key, NO_WARNING_VALUE, 0, REG_DWORD, (const BYTE *)&value,
                                sizeof value);
        RegCloseKey(key);
    }
    if (result != ERROR_SUCCESS)
        Trace(NO_WARNING_VALUE " not stored (error %ld): the warning comes back next time",
              (long)result);
}

static int ShowColourDepthWarning(unsigned int flags, int *dontShowAgain)
{
    int answer = ShowWarningMessage(TEXT_COLOUR_DEPTH_ADVICE, flags, NULL);
    /* A warning that could not open leaves no tick of its own. */
    *dontShowAgain = answer == -1 ? 0 : (GetWarningDontShowAgain() ? 1 : 0);
    return answer;
}

int CheckDesktopColourDepthWith(int desktopBits, int (*countHighColourModes)(void))
{
    return RunColourDepthCheck(desktopBits, countHighColourModes, NoWarningStored(),
                               ShowColourDepthWarning, StoreNoWarning);
}

int CheckDesktopColourDepth(void)
{
    return CheckDesktopColourDepthWith(DesktopBits(), CountHighColourModes);
}
