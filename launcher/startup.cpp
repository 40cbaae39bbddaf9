/* The launcher's run from entry to exit. There is no message loop here:
 * the hidden main window and every dialog are served by the modal loops
 * of the dialogs that the main menu opens. */
#include <windows.h>

#include "common/app.h"
#include "common/dialogresult.h"
#include "common/dllsearch.h"
#include "common/settings.h"
#include "common/texttable.h"
#include "common/texttable_win.h"
#include "common/trace.h"
#include "graphics/colourdepth_win.h"
#include "launcher/cmdline.h"
#include "launcher/launch.h"
#include "launcher/mainmenu.h"
#include "launcher/mainwnd.h"
#include "launcher/startup.h"
#include "sysinfo/inventory.h"
#include "sysinfo/minrequirements.h"

int AnotherInstanceRuns(HANDLE *held)
{
    *held = NULL;
    HANDLE own = CreateMutexA(NULL, FALSE, LAUNCHER_MUTEX_NAME);
    DWORD error = GetLastError();
    if (own != NULL && error == ERROR_ALREADY_EXISTS) {
        CloseHandle(own);
        return 1;
    }
    if (own == NULL)
        Trace("instance mutex not created (error %lu): a later launcher will not see this one", error);
    *held = own;

    /* The second name is never held here, only looked for. */
    HANDLE other = CreateMutexA(NULL, FALSE, SECOND_MUTEX_NAME);
    if (other == NULL)
        return 0;
    int exists = GetLastError() == ERROR_ALREADY_EXISTS;
    CloseHandle(other);
    return exists;
}

static void EnterFolder(const char *folder)
{
    if (!SetCurrentDirectoryA(folder))
        Trace("cannot enter \"%s\" (error %lu): the current directory stays", folder, GetLastError());
}

/* The launcher lies one folder below the disc root: before installation
 * the disc root is the parent of the program's folder. */
static void ChangeToDiscRootFromProgram(const char *commandLine)
{
    char folder[PROGRAM_PATH_LIMIT];
    if (ProgramFolderFromCommandLine(commandLine, folder, sizeof folder))
        EnterFolder(folder);
    EnterFolder("..");
}

void ChooseCurrentDirectory(const char *commandLine)
{
    if (!Settings.SettingsComplete) {
        ChangeToDiscRootFromProgram(commandLine);
        return;
    }
    /* The installer writes "?" for the drive letter when the disc's drive
     * was not known to it. */
    if (Settings.CDRoot[0] == '?') {
        char programPath[PROGRAM_PATH_LIMIT];
        ProgramPathFromCommandLine(commandLine, programPath, sizeof programPath);
        ResolveCDRootDrive(programPath);
    }
    EnterFolder(Settings.CDRoot);
}

void ActOnMenuResult(int result)
{
    switch (result) {
    case RESULT_INSTALL:
        LaunchSetup();
        break;
    case RESULT_UNINSTALL:
        LaunchUninstaller();
        break;
    case RESULT_PLAY:
        /* The taskbar button goes before the game takes the screen. */
        if (MainWindow != NULL)
            ShowWindow(MainWindow, SW_HIDE);
        LaunchGame();
        break;
    }
}

int RunLauncher(HINSTANCE instance)
{
    Instance = instance;
    /* Before anything can load a library: the current directory is
     * wherever the launcher was started from, and may hold anything. */
    if (!RemoveCurrentDirectoryFromDllSearch())
        Trace("SetDllDirectoryA missing: the current directory stays in the DLL search");
    LoadTextTable();
    /* Never closed: it tells a later launcher that this one runs, until the
     * process ends. */
    HANDLE instanceMutex;
    if (AnotherInstanceRuns(&instanceMutex))
        return 1;

    /* Warnings only: the launcher carries on whatever the user answers. */
    CheckMinimumSpecification();
    CheckDesktopColourDepth();

    Settings.SettingsComplete = ReadSettings();
    MainWindowState mainWindowState;
    MainWindow = CreateMainWindow(instance, &mainWindowState);
    DiscoverDrives();
    ChooseCurrentDirectory(GetCommandLineA());

    ActOnMenuResult(RunMainMenu(instance, MainWindow));

    if (MainWindow != NULL)
        RetireMainWindow(MainWindow);
    FreeTextTable();
    return 0;
}
