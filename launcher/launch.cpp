/* Starting the game, the installer, the uninstaller and Notepad. The
 * launcher never waits for what it starts: WinExec's answer is all it
 * needs. Every failure, including a command line too long for its buffer,
 * shows the operation's own error message. */
#include <windows.h>

#include "launcher/launch.h"
#include "launcher/commands.h"
#include "common/dllsearch.h"
#include "common/msgdlg.h"
#include "common/settings.h"
#include "resources/texts.h"

/* WinExec answers above 31 when the program started. */
#define WINEXEC_STARTED_ABOVE  31

/* Windows hands the DLL folder setting down to the programs a process
 * starts. The launcher keeps the current directory out of its own search,
 * but the game and the installer were written for the system's plain
 * search, so they start with it. */
static UINT StartWithPlainDllSearch(const char *line, UINT show)
{
    KeepCurrentDirectoryOutOfDllSearch(0);
    UINT started = WinExec(line, show);
    KeepCurrentDirectoryOutOfDllSearch(1);
    return started;
}

static int StartProgram(int built, const char *line, UINT show, int failureText)
{
    if (built && StartWithPlainDllSearch(line, show) > WINEXEC_STARTED_ABOVE)
        return 1;
    ShowErrorMessage(failureText);
    return 0;
}

int LaunchGame(void)
{
    char line[COMMAND_LINE_SIZE];
    int built = BuildGameCommand(Settings.ExeDir, line, sizeof line);
    return StartProgram(built, line, SW_SHOW, TEXT_GAME_FAILED);
}

int OpenReadMe(void)
{
    char windowsDir[MAX_PATH];
    char line[COMMAND_LINE_SIZE];
    UINT n = GetWindowsDirectoryA(windowsDir, sizeof windowsDir);
    int built = n > 0 && n < sizeof windowsDir &&
                BuildReadMeCommand(Settings.Installed, Settings.ExeDir, windowsDir, line, sizeof line);
    return StartProgram(built, line, SW_SHOW, TEXT_NOTEPAD_FAILED);
}

int LaunchSetup(void)
{
    char line[COMMAND_LINE_SIZE];
    int built = BuildSetupCommand(line, sizeof line);
    return StartProgram(built, line, SW_SHOWNORMAL, TEXT_SETUP_FAILED);
}

int LaunchUninstaller(void)
{
    char line[COMMAND_LINE_SIZE];
    int built = BuildUninstallCommand(Settings.UninstallString, line, sizeof line);
    return StartProgram(built, line, SW_SHOWNORMAL, TEXT_UNINSTALL_FAILED);
}
