/* Setup.exe, at the root of the demo disc: installs the game folder of the
 * disc on the hard disk and registers it for the launcher, the game and
 * the system's list of installed programs.
 *
 *   Setup.exe        asks for the install folder
 *   Setup.exe /S     installs silently into the default folder
 *
 * Exit code 0 when the game was installed, 1 on failure, 2 when the user
 * cancelled. */
#include <windows.h>
#include <stdio.h>
#include <string.h>

#include "standins/standin_core.h"
#include "standins/standin_res.h"
#include "standins/standin_win.h"

#define CAPTION "Installation de K.V.L"
#define DISPLAY_NAME "K.V.L (démo)"
#define MAX_FOLDER_DEPTH 8

static HINSTANCE SetupInstance;
static StandinArgs Args;
static char DiscRoot[STANDIN_PATH_MAX];    /* e.g. "D:\" */
static char SourceDir[STANDIN_PATH_MAX];   /* e.g. "D:\KVL" */
static char InstallDir[STANDIN_PATH_MAX];  /* chosen folder, no trailing backslash */
static HANDLE LogFile = INVALID_HANDLE_VALUE;
static int CopiedFiles;

static const char *DirProblem(int code)
{
    switch (code) {
    case DIR_EMPTY:        return "Indiquez le dossier dans lequel installer le jeu.";
    case DIR_NOT_ABSOLUTE: return "Indiquez un chemin complet, par exemple C:\\Jeux\\KVL.";
    case DIR_IS_ROOT:      return "Choisissez un dossier, pas la racine d'un disque.";
    case DIR_TOO_LONG:     return "Ce chemin est trop long (200 caractères au plus).";
    default:               return "Ce nom de dossier n'est pas valable.";
    }
}

/* ---- The question ------------------------------------------------------- */

static void OnSetupInit(HWND dialog)
{
    SendMessageA(dialog, WM_SETICON, ICON_BIG, (LPARAM)LoadIconA(SetupInstance, MAKEINTRESOURCEA(IDI_STANDIN)));
    SendDlgItemMessageA(dialog, IDC_SETUP_DIR, EM_LIMITTEXT, STANDIN_PATH_MAX - 1, 0);
    SetDlgItemTextA(dialog, IDC_SETUP_DIR, InstallDir);
    SetForegroundWindow(dialog);
}

static void OnSetupInstall(HWND dialog)
{
    char typed[STANDIN_PATH_MAX];
    char folder[STANDIN_PATH_MAX];
    GetDlgItemTextA(dialog, IDC_SETUP_DIR, typed, sizeof typed);
    int problem = NormaliseInstallDir(typed, folder, sizeof folder);
    if (problem != DIR_OK) {
        Say(dialog, CAPTION, MB_ICONEXCLAMATION | MB_OK, "%s", DirProblem(problem));
        SetFocus(GetDlgItem(dialog, IDC_SETUP_DIR));
        return;
    }
    strcpy(InstallDir, folder);
    EndDialog(dialog, IDOK);
}

static INT_PTR CALLBACK SetupDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        OnSetupInit(dialog);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            OnSetupInstall(dialog);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

/* ---- Copying ------------------------------------------------------------ */

static void LogLine(const char *relative, int isFolder)
{
    char line[STANDIN_PATH_MAX + 4];
    int n = snprintf(line, sizeof line, "%s%s\r\n", relative, isFolder ? "\\" : "");
    DWORD written;
    if (LogFile != INVALID_HANDLE_VALUE && n > 0 && (size_t)n < sizeof line)
        WriteFile(LogFile, line, (DWORD)n, &written, NULL);
}

/* Copies the contents of folder src into dst, recording each item by its
 * path relative to the install folder (rel, "" at the top). Files from a
 * CD-ROM are read-only: the copies are made writable, so that the game can
 * be updated and uninstalled. */
static int CopyFolder(const char *src, const char *dst, const char *rel, int depth)
{
    char pattern[STANDIN_PATH_MAX];
    if (depth > MAX_FOLDER_DEPTH || !JoinPath(pattern, sizeof pattern, src, "*"))
        return 0;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    int ok = 1;
    do {
        const char *name = found.cFileName;
        if (strcmp(name, ".") == 0 || strcmp(name, "..") == 0)
            continue;
        char from[STANDIN_PATH_MAX], to[STANDIN_PATH_MAX], relative[STANDIN_PATH_MAX];
        int relOk = rel[0] ? JoinPath(relative, sizeof relative, rel, name)
                           : snprintf(relative, sizeof relative, "%s", name) < (int)sizeof relative;
        if (!relOk || !JoinPath(from, sizeof from, src, name) || !JoinPath(to, sizeof to, dst, name)) {
            ok = 0;
            break;
        }
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            CreateDirectoryA(to, NULL);
            LogLine(relative, 1);
            ok = CopyFolder(from, to, relative, depth + 1);
        } else {
            SetFileAttributesA(to, FILE_ATTRIBUTE_NORMAL);
            ok = CopyFileA(from, to, FALSE) && SetFileAttributesA(to, FILE_ATTRIBUTE_NORMAL);
            if (ok) {
                LogLine(relative, 0);
                CopiedFiles++;
            }
        }
    } while (ok && FindNextFileA(search, &found));
    FindClose(search);
    return ok;
}

/* Writes the uninstaller that Setup carries into the install folder. */
static int WriteUninstaller(void)
{
    HRSRC found = FindResourceA(SetupInstance, MAKEINTRESOURCEA(IDR_UNINSTALLER), (LPCSTR)RT_RCDATA);
    HGLOBAL loaded = found ? LoadResource(SetupInstance, found) : NULL;
    const void *bytes = loaded ? LockResource(loaded) : NULL;
    DWORD size = found ? SizeofResource(SetupInstance, found) : 0;
    char path[STANDIN_PATH_MAX];
    if (!bytes || size == 0 || !JoinPath(path, sizeof path, InstallDir, UNINSTALLER_NAME))
        return 0;
    SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    DWORD written = 0;
    int ok = WriteFile(file, bytes, size, &written, NULL) && written == size;
    return CloseHandle(file) && ok;
}

static int CopyGame(void)
{
    char logPath[STANDIN_PATH_MAX];
    if (!CreateFolderTree(InstallDir) || !JoinPath(logPath, sizeof logPath, InstallDir, INSTALL_LOG_NAME))
        return 0;
    LogFile = CreateFileA(logPath, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (LogFile == INVALID_HANDLE_VALUE)
        return 0;
    int ok = CopyFolder(SourceDir, InstallDir, "", 0) && WriteUninstaller();
    CloseHandle(LogFile);
    LogFile = INVALID_HANDLE_VALUE;
    return ok && CopiedFiles > 0;
}

/* ---- Registration ------------------------------------------------------- */

/* The product key that the launcher and the game read: where the game is,
 * where the disc is, and the first-run graphics values. */
static int WriteProductKey(void)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, PRODUCT_KEY_PATH, 0, NULL, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS | STANDIN_VIEW, NULL, &key, NULL) != ERROR_SUCCESS)
        return 0;
    int ok = SetStringValue(key, "ExeDir", InstallDir) &&
             SetStringValue(key, "CDRoot", DiscRoot) &&
             SetDwordValue(key, "bFirstTime", 1) &&
             SetDwordValue(key, "Device", 0) &&
             SetDwordValue(key, "Mode", 0) &&
             SetDwordValue(key, "Width", 640) &&
             SetDwordValue(key, "Height", 480) &&
             SetStringValue(key, "DDName", "") &&
             SetDwordValue(key, "bHard", 0) &&
             SetDwordValue(key, "Level", 0) &&
             SetDwordValue(key, "Transparency", 0);
    RegCloseKey(key);
    return ok;
}

static int WriteUninstallKey(void)
{
    char command[STANDIN_PATH_MAX];
    if (!QuotedProgram(command, sizeof command, InstallDir, UNINSTALLER_NAME))
        return 0;
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, UNINSTALL_PARENT "\\" UNINSTALL_NAME, 0, NULL, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS | STANDIN_VIEW, NULL, &key, NULL) != ERROR_SUCCESS)
        return 0;
    int ok = SetStringValue(key, "DisplayName", DISPLAY_NAME) &&
             SetStringValue(key, "UninstallString", command) &&
             SetStringValue(key, "InstallLocation", InstallDir) &&
             SetStringValue(key, "Publisher", "BRIXOLAN") &&
             SetStringValue(key, "DisplayVersion", "1.0");
    RegCloseKey(key);
    return ok;
}

/* A reinstallation offers the folder of the installed game. */
static void ChooseDefaultFolder(void)
{
    strcpy(InstallDir, DEFAULT_INSTALL_DIR);
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, PRODUCT_KEY_PATH, 0, KEY_READ | STANDIN_VIEW, &key) != ERROR_SUCCESS)
        return;
    char stored[STANDIN_PATH_MAX], folder[STANDIN_PATH_MAX];
    if (GetStringValue(key, "ExeDir", stored, sizeof stored) &&
        NormaliseInstallDir(stored, folder, sizeof folder) == DIR_OK)
        strcpy(InstallDir, folder);
    RegCloseKey(key);
}

static int Fail(const char *text)
{
    if (!Args.silent)
        Say(NULL, CAPTION, MB_ICONSTOP | MB_OK, "%s", text);
    return 1;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    SetupInstance = instance;
    char self[STANDIN_PATH_MAX];
    if (!ParseStandinArgs(GetCommandLineA(), &Args))
        return Fail("Paramètres de Setup incorrects.");
    if (!OwnPath(self, sizeof self) || !FolderOfPath(self, DiscRoot, sizeof DiscRoot) ||
        !JoinPath(SourceDir, sizeof SourceDir, DiscRoot, GAME_FOLDER))
        return Fail("Setup ne trouve pas son propre dossier.");
    DWORD attr = GetFileAttributesA(SourceDir);
    if (attr == INVALID_FILE_ATTRIBUTES || !(attr & FILE_ATTRIBUTE_DIRECTORY))
        return Fail("Le dossier KVL du CD-ROM est introuvable. Lancez Setup depuis le CD de K.V.L.");

    ChooseDefaultFolder();
    if (!Args.silent &&
        DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_SETUP), NULL, SetupDialogProc, 0) != IDOK)
        return 2;

    HCURSOR cursor = SetCursor(LoadCursorA(NULL, (LPCSTR)IDC_WAIT));
    int copied = CopyGame();
    SetCursor(cursor);
    if (!copied)
        return Fail("La copie des fichiers a échoué. Vérifiez le dossier choisi et la place libre sur le disque.");
    if (!WriteProductKey() || !WriteUninstallKey())
        return Fail("Impossible d'enregistrer l'installation dans le registre. Lancez Setup avec les droits d'administrateur.");
    if (!Args.silent)
        Say(NULL, CAPTION, MB_ICONINFORMATION | MB_OK,
            "La démo de K.V.L est installée dans :\n%s\n\nRelancez le CD-ROM pour jouer.", InstallDir);
    return 0;
}
