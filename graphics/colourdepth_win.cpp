/* The start-up colour-depth check on the real display, and the user's
 * "don't show again" choice, kept per user. */
#include <windows.h>
#include <string.h>

#include "graphics/colourdepth_win.h"
#include "common/msgdlg.h"
#include "common/regread.h"
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
    static const RegistryRead AsDword = { REGISTRY_EXACT, REGISTRY_TYPE(REG_DWORD), REGISTRY_OWN_VIEW };
    DWORD value = 0;
    RegistryValueFound found;
    if (ReadRegistryKeyValue(HKEY_CURRENT_USER, PRODUCT_KEY, NO_WARNING_VALUE, &AsDword, &value, sizeof value,
                             &found))
        return value == 1;
    if (found.status != ERROR_FILE_NOT_FOUND)
        Trace(NO_WARNING_VALUE " unreadable (error %ld, type %lu, %lu bytes): the warning stays on",
              (long)found.status, (unsigned long)found.type, (unsigned long)found.length);
    return 0;
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
    /* A warning that could not open leaves no tick of its own. */
    return ShowWarningMessage(TEXT_COLOUR_DEPTH_ADVICE, flags, NULL, dontShowAgain);
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
