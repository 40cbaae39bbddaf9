/* Uninst.exe, written into the install folder by Setup: removes the game's
 * files and folder and its registry keys.
 *
 *   Uninst.exe           asks for confirmation, then uninstalls
 *   Uninst.exe /S        uninstalls without a question or a message
 *
 * A running program cannot delete its own file, nor the folder that holds
 * it. So the uninstaller works in two stages: the first, run from the
 * install folder, removes the keys and the installed files, copies itself
 * into the temporary folder and starts that copy with
 *   /D="<install folder>" /W=<its process id>
 * The copy waits for the first stage to end, deletes the uninstaller's
 * file and the folder, and has its own file removed at the next restart.
 *
 * Exit code 0 when done (or handed to the second stage), 1 on failure, 2
 * when the user said no. */
#include <windows.h>
#include <stdio.h>
#include <string.h>

#include "standins/standin_core.h"
#include "standins/standin_win.h"

#define CAPTION "Désinstallation de K.V.L"
#define LOG_MAX 65536
#define LOG_LINES_MAX 2048
/* Written into the install folder by the launcher's artbook. */
#define ARTBOOK_TEMP "Artbook.bmp"

static StandinArgs Args;
static char Self[STANDIN_PATH_MAX];
static char InstallDir[STANDIN_PATH_MAX];
static char LogText[LOG_MAX + 1];

/* The keys belong to this copy of the game when the product key names its
 * folder (or names none). An old uninstaller left in another folder must
 * not unregister the game installed elsewhere. */
static int KeysAreOurs(void)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, PRODUCT_KEY_PATH, 0, KEY_READ | STANDIN_VIEW, &key) != ERROR_SUCCESS)
        return 1;
    char stored[STANDIN_PATH_MAX], folder[STANDIN_PATH_MAX];
    int known = GetStringValue(key, "ExeDir", stored, sizeof stored);
    RegCloseKey(key);
    if (!known)
        return 1;
    return NormaliseInstallDir(stored, folder, sizeof folder) == DIR_OK && lstrcmpiA(folder, InstallDir) == 0;
}

static void RemoveKeys(void)
{
    DeleteKey(HKEY_LOCAL_MACHINE, PRODUCT_KEY_PARENT, PRODUCT_KEY_NAME, STANDIN_VIEW);
    DeleteKey(HKEY_LOCAL_MACHINE, VENDOR_KEY_PARENT, VENDOR_KEY_NAME, STANDIN_VIEW);
    DeleteKey(HKEY_LOCAL_MACHINE, COMPANY_KEY_PARENT, COMPANY_KEY_NAME, STANDIN_VIEW);
    DeleteKey(HKEY_LOCAL_MACHINE, UNINSTALL_PARENT, UNINSTALL_NAME, STANDIN_VIEW);
    /* The launcher's own per-user copy of its settings. */
    DeleteKey(HKEY_CURRENT_USER, PRODUCT_KEY_PARENT, PRODUCT_KEY_NAME, 0);
    DeleteKey(HKEY_CURRENT_USER, VENDOR_KEY_PARENT, VENDOR_KEY_NAME, 0);
    DeleteKey(HKEY_CURRENT_USER, COMPANY_KEY_PARENT, COMPANY_KEY_NAME, 0);
}

static void DeleteInstalledFile(const char *relative)
{
    char path[STANDIN_PATH_MAX];
    if (!JoinPath(path, sizeof path, InstallDir, relative))
        return;
    SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path);
}

/* Removes what Setup recorded in its log, last entry first, so that each
 * folder is emptied before it is removed. Only paths below the install
 * folder are ever touched; files the player added stay. */
static void RemoveLoggedFiles(void)
{
    char logPath[STANDIN_PATH_MAX];
    if (!JoinPath(logPath, sizeof logPath, InstallDir, INSTALL_LOG_NAME))
        return;
    HANDLE file = CreateFileA(logPath, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD size = 0;
    int ok = ReadFile(file, LogText, LOG_MAX, &size, NULL);
    CloseHandle(file);
    if (!ok)
        return;
    LogText[size] = '\0';

    char *lines[LOG_LINES_MAX];
    int count = 0;
    for (char *p = LogText; *p && count < LOG_LINES_MAX;) {
        lines[count++] = p;
        char *end = strchr(p, '\n');
        if (!end)
            break;
        *end = '\0';
        p = end + 1;
    }
    const char *selfName = strrchr(Self, '\\') ? strrchr(Self, '\\') + 1 : Self;
    for (int i = count - 1; i >= 0; i--) {
        char relative[STANDIN_PATH_MAX], path[STANDIN_PATH_MAX];
        int isFolder;
        if (!ParseInstallLogLine(lines[i], relative, sizeof relative, &isFolder))
            continue;
        if (isFolder) {
            if (JoinPath(path, sizeof path, InstallDir, relative))
                RemoveDirectoryA(path);
        } else if (lstrcmpiA(relative, selfName) != 0) {
            DeleteInstalledFile(relative);
        }
    }
    DeleteInstalledFile(INSTALL_LOG_NAME);
}

/* Copies this program into the temporary folder and starts the copy on
 * the install folder. 1 when the copy runs. */
static int StartSecondStage(void)
{
    char temp[STANDIN_PATH_MAX], name[64], copy[STANDIN_PATH_MAX], command[3 * STANDIN_PATH_MAX];
    DWORD n = GetTempPathA(sizeof temp, temp);
    if (n == 0 || n >= sizeof temp)
        return 0;
    snprintf(name, sizeof name, "KVL-Uninst-%lu.exe", (unsigned long)GetCurrentProcessId());
    if (!JoinPath(copy, sizeof copy, temp, name) || !CopyFileA(Self, copy, FALSE))
        return 0;
    int len = snprintf(command, sizeof command, "\"%s\" /D=\"%s\" /W=%lu%s", copy, InstallDir,
                       (unsigned long)GetCurrentProcessId(), Args.silent ? " /S" : "");
    if (len <= 0 || (size_t)len >= sizeof command)
        return 0;
    STARTUPINFOA startup;
    PROCESS_INFORMATION process;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    /* The copy must not keep the install folder as its current directory,
     * or the folder could not be removed. */
    if (!CreateProcessA(copy, command, NULL, NULL, FALSE, 0, NULL, temp, &startup, &process)) {
        DeleteFileA(copy);
        return 0;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 1;
}

static int FirstStage(void)
{
    if (!FolderOfPath(Self, InstallDir, sizeof InstallDir))
        return 1;
    InstallDir[strlen(InstallDir) - 1] = '\0';
    if (!Args.silent &&
        Say(NULL, CAPTION, MB_ICONQUESTION | MB_YESNO | MB_DEFBUTTON2,
            "Voulez-vous vraiment désinstaller K.V.L ?\n\nLes fichiers du jeu seront supprimés de :\n%s",
            InstallDir) != IDYES)
        return 2;
    SetCurrentDirectoryA("\\");
    if (KeysAreOurs())
        RemoveKeys();
    RemoveLoggedFiles();
    DeleteInstalledFile(ARTBOOK_TEMP);
    if (StartSecondStage())
        return 0;
    /* No temporary folder to work from: leave the rest to the next restart. */
    MoveFileExA(Self, NULL, MOVEFILE_DELAY_UNTIL_REBOOT);
    MoveFileExA(InstallDir, NULL, MOVEFILE_DELAY_UNTIL_REBOOT);
    if (!Args.silent)
        Say(NULL, CAPTION, MB_ICONINFORMATION | MB_OK,
            "K.V.L a été désinstallé. Le dossier %s sera supprimé au prochain démarrage de Windows.", InstallDir);
    return 0;
}

static int SecondStage(void)
{
    /* The folder comes from the command line: check it as Setup did, so a
     * wrong argument can never empty a drive. */
    if (NormaliseInstallDir(Args.dir, InstallDir, sizeof InstallDir) != DIR_OK)
        return 1;
    if (Args.waitPid) {
        HANDLE first = OpenProcess(SYNCHRONIZE, FALSE, (DWORD)Args.waitPid);
        if (first) {
            WaitForSingleObject(first, 10000);
            CloseHandle(first);
        }
    }
    char uninstaller[STANDIN_PATH_MAX];
    if (JoinPath(uninstaller, sizeof uninstaller, InstallDir, UNINSTALLER_NAME)) {
        SetFileAttributesA(uninstaller, FILE_ATTRIBUTE_NORMAL);
        for (int tries = 0; tries < 50 && GetFileAttributesA(uninstaller) != INVALID_FILE_ATTRIBUTES; tries++) {
            if (!DeleteFileA(uninstaller))
                Sleep(100);
        }
    }
    RemoveDirectoryA(InstallDir);
    int left = GetFileAttributesA(InstallDir) != INVALID_FILE_ATTRIBUTES;
    MoveFileExA(Self, NULL, MOVEFILE_DELAY_UNTIL_REBOOT);
    if (Args.silent)
        return 0;
    if (left)
        Say(NULL, CAPTION, MB_ICONINFORMATION | MB_OK,
            "K.V.L a été désinstallé.\n\nLe dossier %s contient encore des fichiers qui n'ont pas été "
            "installés par Setup (sauvegardes, captures...) : il a été conservé.", InstallDir);
    else
        Say(NULL, CAPTION, MB_ICONINFORMATION | MB_OK, "K.V.L a été désinstallé.");
    return 0;
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    if (!ParseStandinArgs(GetCommandLineA(), &Args) || !OwnPath(Self, sizeof Self))
        return 1;
    return Args.dir[0] ? SecondStage() : FirstStage();
}
