/* The tour of the demo disc that `make run` shows without a display: it
 * plays the user's part on the launcher of drive D: and on the programs it
 * starts (install, play, uninstall) and asks for a screenshot at each
 * step.
 *
 *   DemoTour.exe <folder>
 *
 * For a screenshot named N it writes "<folder>\N.req", holding the screen
 * rectangle of the window to show ("left top width height"), and waits
 * until the script that takes the pictures has deleted it. Exit code 0
 * when the whole tour ran, else the number of the step that failed. */
#include <windows.h>
#include <stdio.h>
#include <string>

#include "tests/win32/fixtures.h"
#include "tests/win32/procwin.h"
#include "common/registrykeys.h"

#define IDC_MENU_INSTALL   1000
#define IDC_MENU_UNINSTALL 1001
#define IDC_MENU_PLAY      1002
#define IDC_GFX_DEVICE     1201
#define IDC_GFX_PLAY       1002
#define IDC_MENU_ARTBOOK   1004
#define IDC_MENU_CHECK     1005
#define IDC_MSG_BUTTON     1408
#define IDC_SYSINFO_REPORT 1300
#define IDC_ART_PICTURE    1424
#define IDC_ART_LEVELS     1414
#define IDC_GAME_NEXT      2007

static const char Launcher[] = "\"D:\\Launcher\\Launcher.exe\"";
static const DWORD Wait = 30000;
static std::string ShotFolder;

/* Asks for a picture of window (or of the whole screen) and waits for it. */
static void Shot(const char *name, HWND window)
{
    RECT r = { 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN) };
    if (window)
        GetWindowRect(window, &r);
    Sleep(700);   /* let it paint */
    std::string path = ShotFolder + "\\" + name + ".req", part = path + ".part";
    FILE *f = fopen(part.c_str(), "w");
    if (!f)
        return;
    fprintf(f, "%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
    fclose(f);
    /* Renamed once whole, so the script never reads half a request. */
    MoveFileExA(part.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
    printf("  picture %s\n", name);
    fflush(stdout);
    for (int i = 0; i < 200 && GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; i++)
        Sleep(100);
}

/* A dialog of the program with child childId, whatever its caption. */
static HWND WaitDialogWithItem(const proc::Program &p, int childId, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        HWND found = proc::FindDialogWithItem(p.pid, childId);
        if (found)
            return found;
        if (WaitForSingleObject(p.process, 100) == WAIT_OBJECT_0)
            return NULL;
    }
    return NULL;
}

/* Starts the launcher and waits for its menu. A start-up warning (a slow
 * machine, a desktop in 256 colours) is pictured once and answered with
 * its Continue button. */
static HWND StartLauncherMenu(proc::Program *launcher)
{
    static bool warningShown;
    if (!proc::Start(Launcher, "C:\\", {}, launcher))
        return NULL;
    DWORD start = GetTickCount();
    while (GetTickCount() - start < Wait) {
        HWND menu = proc::FindDialog(launcher->pid, "K.V.L", IDC_MENU_INSTALL);
        if (menu)
            return menu;
        HWND warning = proc::FindDialogWithItem(launcher->pid, IDC_MSG_BUTTON);
        if (warning) {
            if (!warningShown)
                Shot("00-warning", warning);
            warningShown = true;
            proc::Press(warning, IDC_MSG_BUTTON);
            Sleep(300);
        }
        if (WaitForSingleObject(launcher->process, 100) == WAIT_OBJECT_0)
            return NULL;
    }
    return NULL;
}

/* Opens a dialog from the menu, pictures it and closes it with closeId;
 * skipped when this launcher does not have it yet. */
static void VisitFromMenu(proc::Program *launcher, HWND menu, int button, int itemId, int closeId, const char *name,
                          int comboId = 0, int comboIndex = 0, int scrollLines = 0)
{
    proc::Press(menu, button);
    HWND dialog = WaitDialogWithItem(*launcher, itemId, 8000);
    if (!dialog) {
        printf("  (%s: not in this launcher yet)\n", name);
        return;
    }
    Sleep(1000);
    if (comboId) {
        /* A choice in a list, as the user makes it. */
        SendDlgItemMessageA(dialog, comboId, CB_SETCURSEL, comboIndex, 0);
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(comboId, CBN_SELCHANGE), (LPARAM)GetDlgItem(dialog, comboId));
        Sleep(1500);
    }
    if (scrollLines) {
        /* Brings the lower part of a long text into view. */
        SendDlgItemMessageA(dialog, itemId, EM_LINESCROLL, 0, scrollLines);
        Sleep(300);
    }
    Shot(name, dialog);
    proc::Press(dialog, closeId);
    Sleep(500);
}

/* The tour starts from a machine without the game. */
static void ForgetEarlierInstallation(void)
{
    char command[MAX_PATH] = "";
    HKEY key;
    DWORD size = sizeof command - 1;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, UNINSTALL_KEY, 0,
                      KEY_READ | KEY_WOW64_32KEY, &key) == ERROR_SUCCESS) {
        RegQueryValueExA(key, "UninstallString", NULL, NULL, (BYTE *)command, &size);
        RegCloseKey(key);
    }
    if (command[0]) {
        proc::Program un;
        DWORD code = 1;
        if (proc::Start(std::string(command) + " /S", "C:\\", {}, &un))
            proc::WaitExit(un, Wait, &code);
        proc::Stop(&un);
        /* Its second stage checks the registration, then removes it last. */
        HKEY left;
        for (DWORD start = GetTickCount(); GetTickCount() - start < Wait && code == 0; Sleep(100)) {
            if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, COMPANY_KEY, 0, KEY_READ | KEY_WOW64_32KEY, &left) != ERROR_SUCCESS)
                break;
            RegCloseKey(left);
        }
    }
    DeleteRegistryTree(HKEY_LOCAL_MACHINE, COMPANY_KEY);
    DeleteRegistryTree(HKEY_LOCAL_MACHINE, UNINSTALL_KEY);
    DeleteRegistryTree(HKEY_CURRENT_USER, COMPANY_KEY);
}

static int Fail(int step, const char *what)
{
    printf("Tour step %d failed: %s\n", step, what);
    return step;
}

int main(int argc, char **argv)
{
    if (argc < 2)
        return Fail(0, "usage: DemoTour.exe <folder for screenshot requests>");
    ShotFolder = argv[1];
    ForgetEarlierInstallation();

    printf("The main menu, game not installed\n");
    proc::Program launcher;
    HWND menu = StartLauncherMenu(&launcher);
    if (!menu)
        return Fail(1, "no main menu");
    Shot("01-menu", menu);

    printf("Install: Setup.exe from the disc\n");
    proc::Press(menu, IDC_MENU_INSTALL);
    HWND setup = proc::WaitAnyDialog("Installation de K.V.L", IDOK, Wait);
    if (!setup)
        return Fail(2, "Setup did not open");
    proc::Stop(&launcher);
    Shot("02-setup", setup);
    proc::Press(setup, IDOK);
    HWND done = proc::WaitAnyDialog("Installation de K.V.L", 0, Wait, setup);
    if (!done)
        return Fail(2, "no end of installation");
    Shot("03-setup-done", done);
    proc::Press(done, IDOK);
    Sleep(1000);

    printf("Play: the launcher again, now with the game installed\n");
    menu = StartLauncherMenu(&launcher);
    if (!menu)
        return Fail(3, "no main menu after the installation");
    Shot("04-menu-installed", menu);
    proc::Press(menu, IDC_MENU_PLAY);
    HWND graphics = WaitDialogWithItem(launcher, IDC_GFX_DEVICE, 15000);
    if (!graphics)
        return Fail(4, "the first Play did not open the graphics setup");
    Shot("05-graphics", graphics);
    proc::Press(graphics, IDC_GFX_PLAY);
    DWORD code;
    proc::WaitExit(launcher, Wait, &code);
    proc::Stop(&launcher);
    HWND game = proc::WaitAnyDialog("K.V.L - Démo", IDC_GAME_NEXT, Wait);
    if (!game)
        return Fail(5, "the game did not start");
    proc::Press(game, IDC_GAME_NEXT);
    proc::Press(game, IDC_GAME_NEXT);
    Shot("06-game", game);
    proc::Press(game, IDCANCEL);
    Sleep(1000);

    printf("The artbook, with the levels just completed, and the machine report\n");
    menu = StartLauncherMenu(&launcher);
    if (!menu)
        return Fail(6, "no main menu");
    VisitFromMenu(&launcher, menu, IDC_MENU_ARTBOOK, IDC_ART_PICTURE, IDCANCEL, "07-artbook", IDC_ART_LEVELS, 1);
    VisitFromMenu(&launcher, menu, IDC_MENU_CHECK, IDC_SYSINFO_REPORT, IDOK, "08-check", 0, 0, 10);

    printf("Uninstall\n");
    proc::Press(menu, IDC_MENU_UNINSTALL);
    HWND confirm = proc::WaitAnyDialog("Désinstallation de K.V.L", IDYES, Wait);
    if (!confirm)
        return Fail(6, "the uninstaller did not ask");
    proc::WaitExit(launcher, Wait, &code);
    proc::Stop(&launcher);
    Shot("09-uninstall", confirm);
    proc::Press(confirm, IDYES);
    HWND finished = proc::WaitAnyDialog("Désinstallation de K.V.L", 0, Wait, confirm);
    if (!finished)
        return Fail(7, "no end of uninstallation");
    Shot("10-uninstalled", finished);
    proc::Press(finished, IDOK);
    printf("Tour complete\n");
    return 0;
}
