/* KVL.EXE, the game of the demo disc: it stands in for the real game. It
 * shows the graphics settings that the launcher stored for the game, and
 * lets the player complete the next level, which is what the launcher's
 * artbook looks at. Level is kept as the plain number of completed levels,
 * 0 to 7. Exit code 0, or 1 when the game is not installed. */
#include <windows.h>
#include <stdarg.h>
#include <stdio.h>
#include <string.h>

#include "common/levels.h"
#include "standins/standin_core.h"
#include "standins/standin_res.h"
#include "standins/standin_win.h"

#define CAPTION "K.V.L - Démo"

static HINSTANCE GameInstance;
static HKEY ProductKey;

/* The values that the launcher's graphics setup stores. */
static DWORD Device, Mode, Width, Height, Hard, Transparency, Level;
static char DDName[64];

static void ReadGameSettings(void)
{
    Device = Mode = Width = Height = Hard = Transparency = Level = 0;
    GetDwordValue(ProductKey, "Device", &Device);
    GetDwordValue(ProductKey, "Mode", &Mode);
    GetDwordValue(ProductKey, "Width", &Width);
    GetDwordValue(ProductKey, "Height", &Height);
    GetStringValue(ProductKey, "DDName", DDName, sizeof DDName);
    GetDwordValue(ProductKey, "bHard", &Hard);
    GetDwordValue(ProductKey, "Transparency", &Transparency);
    GetDwordValue(ProductKey, "Level", &Level);
}

static void SetItemFormat(HWND dialog, int id, const char *format, ...)
{
    char text[256];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    SetDlgItemTextA(dialog, id, text);
}

static void ShowLevels(HWND dialog)
{
    unsigned done = CompletedLevels(Level);
    if (done >= LEVEL_COUNT)
        SetItemFormat(dialog, IDC_GAME_LEVELS, "Niveaux terminés : %u sur %u. Bravo, la démo est finie !", done, LEVEL_COUNT);
    else
        SetItemFormat(dialog, IDC_GAME_LEVELS, "Niveaux terminés : %u sur %u", done, LEVEL_COUNT);
    EnableWindow(GetDlgItem(dialog, IDC_GAME_NEXT), done < LEVEL_COUNT);
}

static void OnGameInit(HWND dialog)
{
    SendMessageA(dialog, WM_SETICON, ICON_BIG, (LPARAM)LoadIconA(GameInstance, MAKEINTRESOURCEA(IDI_STANDIN)));
    SetItemFormat(dialog, IDC_GAME_DEVICE, "n° %lu", (unsigned long)Device);
    SetItemFormat(dialog, IDC_GAME_MODE, "n° %lu, %lu x %lu", (unsigned long)Mode, (unsigned long)Width, (unsigned long)Height);
    SetItemFormat(dialog, IDC_GAME_DRIVER, "%s", DDName[0] ? DDName : "(aucun : rendu logiciel)");
    SetItemFormat(dialog, IDC_GAME_HARD, "%s", Hard ? "oui (carte 3D)" : "non");
    SetItemFormat(dialog, IDC_GAME_TRANSP, "%s", Transparency ? "oui" : "non");
    ShowLevels(dialog);
    SetForegroundWindow(dialog);
}

static void OnNextLevel(HWND dialog)
{
    DWORD next = NextLevel(Level);
    if (!SetDwordValue(ProductKey, "Level", next)) {
        Say(dialog, CAPTION, MB_ICONEXCLAMATION | MB_OK, "Impossible d'enregistrer la progression dans le registre.");
        return;
    }
    Level = next;
    ShowLevels(dialog);
}

static INT_PTR CALLBACK GameDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        OnGameInit(dialog);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_GAME_NEXT:
            OnNextLevel(dialog);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    GameInstance = instance;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, PRODUCT_KEY, 0, KEY_QUERY_VALUE | KEY_SET_VALUE | STANDIN_VIEW,
                      &ProductKey) != ERROR_SUCCESS &&
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, PRODUCT_KEY, 0, KEY_QUERY_VALUE | STANDIN_VIEW,
                      &ProductKey) != ERROR_SUCCESS) {
        Say(NULL, CAPTION, MB_ICONSTOP | MB_OK,
            "K.V.L n'est pas installé.\n\nInstallez le jeu depuis le CD-ROM (Setup.exe) avant de jouer.");
        return 1;
    }
    ReadGameSettings();
    DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_GAME), NULL, GameDialogProc, 0);
    RegCloseKey(ProductKey);
    return 0;
}
