/* The start-up colour-depth check on the real display, and the user's
 * "don't show again" choice, kept per user. */
#include <windows.h>
#include <string.h>

#include "common/msgdlg.h"
#include "common/settings.h"
#include "graphics/ddraw5.h"
#include "graphics/graphics.h"

#define TEXT_COLOUR_DEPTH_WARNING 87
#define NO_WARNING_VALUE "bNoColourDepthWarning"

static int DesktopBitsProbe = -1;
static int HighColourModesProbe = -1;

void SetColourDepthProbes(int desktopBits, int highColourModes)
{
    DesktopBitsProbe = desktopBits;
    HighColourModesProbe = highColourModes;
}

int CountHighColourModes(void)
{
    if (HighColourModesProbe >= 0)
        return HighColourModesProbe;
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
    if (DesktopBitsProbe >= 0)
        return DesktopBitsProbe;
    HWND desktop = GetDesktopWindow();
    HDC dc = GetDC(desktop);
    if (!dc)
        return 0;
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
    return result == ERROR_SUCCESS && type == REG_DWORD && size == sizeof value && value == 1;
}

static void StoreNoWarning(void)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, PRODUCT_KEY, 0, NULL, REG_OPTION_NON_VOLATILE,
                        KEY_SET_VALUE, NULL, &key, NULL) != ERROR_SUCCESS)
        return;
    DWORD value = 1;
    RegSetValueExA(key, NO_WARNING_VALUE, 0, REG_DWORD, (const BYTE *)&value, sizeof value);
    RegCloseKey(key);
}

static int ShowColourDepthWarning(unsigned int flags, int *dontShowAgain)
{
    /* A warning that could not open leaves no tick of its own. */
    return ShowWarningMessage(TEXT_COLOUR_DEPTH_WARNING, flags, NULL, dontShowAgain);
}

int CheckDesktopColourDepth(void)
{
    return RunColourDepthCheck(DesktopBits(), CountHighColourModes, NoWarningStored(),
                               ShowColourDepthWarning, StoreNoWarning);
}
