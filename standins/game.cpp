/* KVL.EXE, the game of the demo disc: it stands in for the real game. It
 * shows the graphics settings that the launcher stored for the game, and
 * lets the player complete the next level, which is what the launcher's
 * artbook looks at. Level is kept as the plain number of completed levels,
 * 0 to LEVEL_COUNT. Exit code 0, or 1 when the game is not installed. */
#include <windows.h>
#include <stdarg.h>
#include <stdio.h>
#include <string.h>

#include "common/levels.h"
#include "common/dllsearch.h"
#include "standins/standin_core.h"
#include "standins/standin_res.h"
#include "standins/standin_win.h"

/* The game's state: the values that the launcher's graphics setup stores,
 * read from the product key, which stays open for raising Level. */
struct Game {
    HKEY productKey;
    DWORD device, mode, width, height, hard, transparency, level;
    char ddName[64];
};

/* A value that is missing keeps its zero. */
static void ReadGameSettings(Game *game)
{
    HKEY key = game->productKey;
    GetDwordValue(key, "Device", &game->device);
    GetDwordValue(key, "Mode", &game->mode);
    GetDwordValue(key, "Width", &game->width);
    GetDwordValue(key, "Height", &game->height);
    GetStringValue(key, "DDName", game->ddName, sizeof game->ddName);
    GetDwordValue(key, "bHard", &game->hard);
    GetDwordValue(key, "Transparency", &game->transparency);
    GetDwordValue(key, "Level", &game->level);
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

static void ShowLevels(HWND dialog, const Game *game)
{
    unsigned done = CompletedLevels(game->level);
    if (done >= LEVEL_COUNT)
        SetItemFormat(dialog, IDC_GAME_LEVELS, "Niveaux terminés : %u sur %u. Bravo, la démo est finie !", done, LEVEL_COUNT);
    else
        SetItemFormat(dialog, IDC_GAME_LEVELS, "Niveaux terminés : %u sur %u", done, LEVEL_COUNT);
    EnableWindow(GetDlgItem(dialog, IDC_GAME_NEXT), done < LEVEL_COUNT);
}

static void OnGameInit(HWND dialog, void *state)
{
    const Game *game = static_cast<const Game *>(state);
    SetItemFormat(dialog, IDC_GAME_DEVICE, "n° %lu", (unsigned long)game->device);
    SetItemFormat(dialog, IDC_GAME_MODE, "n° %lu, %lu x %lu", (unsigned long)game->mode, (unsigned long)game->width,
                  (unsigned long)game->height);
    SetItemFormat(dialog, IDC_GAME_DRIVER, "%s", game->ddName[0] ? game->ddName : "(aucun : rendu logiciel)");
    SetItemFormat(dialog, IDC_GAME_HARD, "%s", game->hard ? "oui (carte 3D)" : "non");
    SetItemFormat(dialog, IDC_GAME_TRANSP, "%s", game->transparency ? "oui" : "non");
    ShowLevels(dialog, game);
}

static void OnNextLevel(HWND dialog, void *state)
{
    Game *game = static_cast<Game *>(state);
    DWORD next = NextLevel(game->level);
    if (!SetDwordValue(game->productKey, "Level", next)) {
        Say(dialog, GAME_CAPTION, MB_ICONEXCLAMATION | MB_OK, "Impossible d'enregistrer la progression dans le registre.");
        return;
    }
    game->level = next;
    ShowLevels(dialog, game);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    LimitDllSearchToSystem32();
    Game game;
    memset(&game, 0, sizeof game);
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, PRODUCT_KEY, 0, KEY_QUERY_VALUE | KEY_SET_VALUE | REGISTRY_32BIT_VIEW,
                      &game.productKey) != ERROR_SUCCESS &&
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, PRODUCT_KEY, 0, KEY_QUERY_VALUE | REGISTRY_32BIT_VIEW,
                      &game.productKey) != ERROR_SUCCESS) {
        Say(NULL, GAME_CAPTION, MB_ICONSTOP | MB_OK,
            "K.V.L n'est pas installé.\n\nInstallez le jeu depuis le CD-ROM (Setup.exe) avant de jouer.");
        return 1;
    }
    ReadGameSettings(&game);
    const StandinDialog dialog = { IDD_GAME, IDC_GAME_NEXT, OnGameInit, OnNextLevel, &game };
    RunStandinDialog(instance, &dialog);
    RegCloseKey(game.productKey);
    return 0;
}
