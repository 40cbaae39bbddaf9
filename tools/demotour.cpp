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

#include "common/registrykeys.h"
#include "resources/resource.h"
#include "standins/standin_res.h"
#include "tests/harness/fixtures.h"
#include "tests/harness/procwin.h"

static const char Launcher[] = "\"D:\\Launcher\\Launcher.exe\"";
static const DWORD Wait = 30000;

struct Tour {
    std::string shotFolder;
    bool warningShown = false;   /* a start-up warning is pictured once */
    proc::Program launcher;
};

static int Fail(int step, const char *what)
{
    printf("Tour step %d failed: %s\n", step, what);
    return step;
}

/* Asks for a picture of window (or of the whole screen) and waits for it. */
static void Shot(const Tour &tour, const char *name, HWND window)
{
    RECT r = { 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN) };
    if (window)
        GetWindowRect(window, &r);
    Sleep(700);   /* let it paint */
    std::string path = tour.shotFolder + "\\" + name + ".req", part = path + ".part";
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

/* Starts the launcher and waits for its menu. A start-up warning (a slow
 * machine, a desktop in 256 colours) is pictured once and answered with
 * its Continue button. */
static HWND StartLauncherMenu(Tour *tour)
{
    proc::Program *launcher = &tour->launcher;
    if (!proc::Start(Launcher, "C:\\", {}, launcher))
        return NULL;
    DWORD start = GetTickCount();
    while (GetTickCount() - start < Wait) {
        HWND menu = proc::FindDialog(launcher->pid, "K.V.L", IDC_MENU_INSTALL);
        if (menu)
            return menu;
        HWND warning = proc::FindDialogWithItem(launcher->pid, IDC_MSG_BUTTON);
        if (warning) {
            if (!tour->warningShown)
                Shot(*tour, "00-warning", warning);
            tour->warningShown = true;
            proc::Press(warning, IDC_MSG_BUTTON);
            Sleep(300);
        }
        if (WaitForSingleObject(launcher->process, 100) == WAIT_OBJECT_0)
            return NULL;
    }
    return NULL;
}

/* A dialog the menu opens, pictured and closed again. */
struct MenuVisit {
    int button;       /* of the menu */
    int itemId;       /* a child that tells the dialog */
    int closeId;
    const char *shot;
    int comboId;      /* a list to choose comboIndex in first; 0: none */
    int comboIndex;
    int scrollLines;  /* lines of itemId's text to scroll into view first */
};

/* Skipped when this launcher does not have the dialog yet. */
static void VisitFromMenu(Tour *tour, HWND menu, const MenuVisit &visit)
{
    proc::Press(menu, visit.button);
    HWND dialog = proc::WaitDialogWithItem(tour->launcher, visit.itemId, 8000);
    if (!dialog) {
        printf("  (%s: not in this launcher yet)\n", visit.shot);
        return;
    }
    Sleep(1000);
    if (visit.comboId) {
        /* A choice in a list, as the user makes it. */
        SendDlgItemMessageA(dialog, visit.comboId, CB_SETCURSEL, visit.comboIndex, 0);
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(visit.comboId, CBN_SELCHANGE),
                     (LPARAM)GetDlgItem(dialog, visit.comboId));
        Sleep(1500);
    }
    if (visit.scrollLines) {
        /* Brings the lower part of a long text into view. */
        SendDlgItemMessageA(dialog, visit.itemId, EM_LINESCROLL, 0, visit.scrollLines);
        Sleep(300);
    }
    Shot(*tour, visit.shot, dialog);
    proc::Press(dialog, visit.closeId);
    Sleep(500);
}

/* A program of the disc that the menu starts (and that ends the
 * launcher): its question, pictured and answered, then its closing
 * message, pictured and closed. */
struct DiscProgramVisit {
    int button;                  /* of the menu */
    const char *caption;
    int answerId;                /* the button that answers the question */
    const char *name;
    const char *questionShot, *endShot;
    int questionStep, endStep;   /* the tour's exit code when that window does not come */
};

/* 0, or the step that failed. */
static int RunDiscProgram(Tour *tour, HWND menu, const DiscProgramVisit &visit)
{
    proc::Press(menu, visit.button);
    HWND question = proc::WaitAnyDialog(visit.caption, visit.answerId, Wait);
    if (!question)
        return Fail(visit.questionStep, (std::string(visit.name) + " did not open").c_str());
    DWORD code;
    proc::WaitExit(tour->launcher, Wait, &code);
    proc::Stop(&tour->launcher);
    Shot(*tour, visit.questionShot, question);
    proc::Press(question, visit.answerId);
    HWND end = proc::WaitAnyDialog(visit.caption, 0, Wait, question);
    if (!end)
        return Fail(visit.endStep, (std::string(visit.name) + " did not end").c_str());
    Shot(*tour, visit.endShot, end);
    proc::Press(end, IDOK);
    return 0;
}

/* The tour starts from a machine without the game. */
static void ForgetEarlierInstallation(void)
{
    char command[MAX_PATH] = "";
    HKEY key;
    DWORD size = sizeof command - 1;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, UNINSTALL_KEY, 0,
                      KEY_READ | REGISTRY_32BIT_VIEW, &key) == ERROR_SUCCESS) {
        RegQueryValueExA(key, "UninstallString", NULL, NULL, (BYTE *)command, &size);
        RegCloseKey(key);
    }
    if (command[0]) {
        proc::Program un;
        DWORD code = 1;
        if (proc::Start(std::string(command) + " /S", "C:\\", {}, &un))
            proc::WaitExit(un, Wait, &code);
        proc::Stop(&un);
    }
    DeleteRegistryTree(HKEY_LOCAL_MACHINE, COMPANY_KEY);
    DeleteRegistryTree(HKEY_LOCAL_MACHINE, UNINSTALL_KEY);
    DeleteRegistryTree(HKEY_CURRENT_USER, COMPANY_KEY);
}

static const DiscProgramVisit Install = { IDC_MENU_INSTALL, SETUP_CAPTION, IDOK, "Setup",
                                          "02-setup", "03-setup-done", 2, 2 };
static const DiscProgramVisit Uninstall = { IDC_MENU_UNINSTALL, UNINSTALL_CAPTION, IDYES, "the uninstaller",
                                            "09-uninstall", "10-uninstalled", 6, 7 };
static const MenuVisit Artbook = { IDC_MENU_ARTBOOK, IDC_ART_PICTURE, IDCANCEL, "07-artbook", IDC_ART_LEVELS, 1, 0 };
static const MenuVisit Check = { IDC_MENU_CHECK, IDC_SYSINFO_REPORT, IDOK, "08-check", 0, 0, 10 };

int main(int argc, char **argv)
{
    if (argc < 2)
        return Fail(0, "usage: DemoTour.exe <folder for screenshot requests>");
    Tour tour;
    tour.shotFolder = argv[1];
    ForgetEarlierInstallation();

    printf("The main menu, game not installed\n");
    HWND menu = StartLauncherMenu(&tour);
    if (!menu)
        return Fail(1, "no main menu");
    Shot(tour, "01-menu", menu);

    printf("Install: Setup.exe from the disc\n");
    int failed = RunDiscProgram(&tour, menu, Install);
    if (failed)
        return failed;
    Sleep(1000);

    printf("Play: the launcher again, now with the game installed\n");
    menu = StartLauncherMenu(&tour);
    if (!menu)
        return Fail(3, "no main menu after the installation");
    Shot(tour, "04-menu-installed", menu);
    proc::Press(menu, IDC_MENU_PLAY);
    HWND graphics = proc::WaitDialogWithItem(tour.launcher, IDC_GFX_DEVICE, 15000);
    if (!graphics)
        return Fail(4, "the first Play did not open the graphics setup");
    Shot(tour, "05-graphics", graphics);
    proc::Press(graphics, IDC_GFX_PLAY);
    DWORD code;
    proc::WaitExit(tour.launcher, Wait, &code);
    proc::Stop(&tour.launcher);
    HWND game = proc::WaitAnyDialog(GAME_CAPTION, IDC_GAME_NEXT, Wait);
    if (!game)
        return Fail(5, "the game did not start");
    proc::Press(game, IDC_GAME_NEXT);
    proc::Press(game, IDC_GAME_NEXT);
    Shot(tour, "06-game", game);
    proc::Press(game, IDCANCEL);
    Sleep(1000);

    printf("The artbook, with the levels just completed, and the machine report\n");
    menu = StartLauncherMenu(&tour);
    if (!menu)
        return Fail(6, "no main menu");
    VisitFromMenu(&tour, menu, Artbook);
    VisitFromMenu(&tour, menu, Check);

    printf("Uninstall\n");
    failed = RunDiscProgram(&tour, menu, Uninstall);
    if (failed)
        return failed;
    printf("Tour complete\n");
    return 0;
}
