/* Setup.exe, at the root of the demo disc: installs the game folder of the
 * disc on the hard disk and registers it for the launcher, the game and
 * the system's list of installed programs.
 *
 *   Setup.exe        asks for the install folder
 *   Setup.exe /S     installs silently into the default folder
 *
 * The install folder must be missing, empty, or the registered earlier
 * installation (ExeDir, holding our Install.log): Setup never takes over a
 * folder of someone else's, whose files a later uninstall would delete.
 * Asked for a folder, it says so and asks again; with /S it ends with
 * exit code 1 and changes nothing. An installation that fails midway is
 * rolled back: what this run copied is removed and nothing is registered.
 *
 * Exit code 0 when the game was installed, 1 on failure or refusal, 2 when
 * the user cancelled. */
#include <windows.h>
#include <stdio.h>
#include <string.h>

#include "common/dllsearch.h"
#include "standins/standin_core.h"
#include "standins/standin_res.h"
#include "standins/standin_win.h"

#define DISPLAY_NAME "K.V.L (démo)"
#define MAX_FOLDER_DEPTH 8
/* Where the uninstaller and the log are written before they take their
 * names, so that a failure leaves an earlier installation's as they were. */
#define UNINSTALLER_SPARE "Uninst.new"
#define INSTALL_LOG_SPARE "Install.new"

/* One run of Setup: what it was asked, where it installs, and what it has
 * done so far, so that a failure can undo it. */
struct Installation {
    HINSTANCE instance;
    StandinArgs args;
    char discRoot[STANDIN_PATH_MAX];    /* e.g. "D:\" */
    char sourceDir[STANDIN_PATH_MAX];   /* e.g. "D:\KVL" */
    char installDir[STANDIN_PATH_MAX];  /* chosen folder, no trailing backslash */
    InstallFolder folder;
    int folderOpen;
    int reinstall;                      /* into our registered earlier installation */
    size_t firstCreatedFolder;          /* length of the highest folder of installDir made by this run */
    char logText[INSTALL_LOG_MAX + 1];  /* the log of what this run copied, whole lines */
    size_t logSize;
    int logLines;
    int copiedFiles;
    int uninstallerWritten, logWritten;
    FileRecord uninstallerRecord, logRecord;
    int productKeyCreated, uninstallKeyCreated;
};

enum { DEST_NEW, DEST_OURS, DEST_FOREIGN };

static const char ForeignFolder[] =
    "Le dossier %s contient déjà des fichiers et n'est pas une installation de K.V.L.\n\n"
    "Choisissez un nouveau dossier ou un dossier vide.";

/* What the chosen folder is to Setup: new (missing or empty), our own
 * earlier installation, or someone else's. */
static int DestinationKind(const char *dir)
{
    if (GetFileAttributesA(dir) == INVALID_FILE_ATTRIBUTES) {
        DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? DEST_NEW : DEST_FOREIGN;
    }
    InstallFolder folder;
    if (!OpenInstallFolder(dir, &folder))
        return DEST_FOREIGN;
    int kind = FolderIsEmpty(dir) ? DEST_NEW : IsRegisteredFolder(&folder) ? DEST_OURS : DEST_FOREIGN;
    CloseInstallFolder(&folder);
    return kind;
}

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

static void OnSetupInit(HWND dialog, void *state)
{
    const Installation *setup = static_cast<const Installation *>(state);
    SendDlgItemMessageA(dialog, IDC_SETUP_DIR, EM_LIMITTEXT, STANDIN_PATH_MAX - 1, 0);
    SetDlgItemTextA(dialog, IDC_SETUP_DIR, setup->installDir);
}

static void OnSetupInstall(HWND dialog, void *state)
{
    Installation *setup = static_cast<Installation *>(state);
    char typed[STANDIN_PATH_MAX];
    char folder[STANDIN_PATH_MAX];
    GetDlgItemTextA(dialog, IDC_SETUP_DIR, typed, sizeof typed);
    int problem = NormaliseInstallDir(typed, folder, sizeof folder);
    if (problem != DIR_OK) {
        Say(dialog, SETUP_CAPTION, MB_ICONEXCLAMATION | MB_OK, "%s", DirProblem(problem));
        SetFocus(GetDlgItem(dialog, IDC_SETUP_DIR));
        return;
    }
    if (DestinationKind(folder) == DEST_FOREIGN) {
        Say(dialog, SETUP_CAPTION, MB_ICONEXCLAMATION | MB_OK, ForeignFolder, folder);
        SetFocus(GetDlgItem(dialog, IDC_SETUP_DIR));
        return;
    }
    strcpy(setup->installDir, folder);
    EndDialog(dialog, IDOK);
}

/* ---- Copying ------------------------------------------------------------
 * Every file is written new (CREATE_NEW): in a new folder nothing may be
 * there already; in an earlier installation of ours a plain file of the
 * same name is removed first. Each written item is checked to lie inside
 * the install folder, and logged with the size and checksum of its bytes,
 * so that the uninstaller and a rollback remove it only while it is ours. */

static int AddLogLine(Installation *setup, const char *relative, const FileRecord *record)
{
    size_t n = FormatInstallLogLine(setup->logText + setup->logSize, sizeof setup->logText - setup->logSize, relative,
                                    record);
    if (n == 0 || setup->logLines >= INSTALL_LOG_LINES_MAX)
        return 0;
    setup->logSize += n;
    setup->logLines++;
    return 1;
}

static int MakeFolder(Installation *setup, const char *relative)
{
    char path[STANDIN_PATH_MAX];
    if (!JoinPath(path, sizeof path, setup->installDir, relative))
        return 0;
    int created = CreateDirectoryA(path, NULL) != 0;
    if (!created && !setup->reinstall)
        return 0;
    /* Also after creating it: a folder above could have been swapped
     * for a link meanwhile. */
    HANDLE folder =
        OpenBelow(&setup->folder, relative, 1, DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES, path);
    if (folder == INVALID_HANDLE_VALUE)
        return 0;
    int ok = AddLogLine(setup, relative, NULL);
    if (!ok && created)
        DiscardOpened(folder, path);
    else
        CloseHandle(folder);
    return ok;
}

/* A new file name below the install folder, open for writing. */
static HANDLE NewFile(Installation *setup, const char *relative, char *path)
{
    if (!JoinPath(path, STANDIN_PATH_MAX, setup->installDir, relative))
        return INVALID_HANDLE_VALUE;
    DWORD access = GENERIC_WRITE | DELETE;
    HANDLE file = CreateFileA(path, access, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE && setup->reinstall && GetLastError() == ERROR_FILE_EXISTS &&
        RemoveBelow(&setup->folder, relative, 0, NULL))
        file = CreateFileA(path, access, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file != INVALID_HANDLE_VALUE && !OpenedInside(&setup->folder, file, 0)) {
        DiscardOpened(file, path);
        file = INVALID_HANDLE_VALUE;
    }
    return file;
}

static int WriteAll(HANDLE file, const void *bytes, DWORD size, FileRecord *record)
{
    DWORD written = 0;
    record->size += size;
    record->sum = Fnv1a(record->sum, bytes, size);
    return WriteFile(file, bytes, size, &written, NULL) && written == size;
}

/* Copies one file of the disc. A file cut short by a failure goes at
 * once. */
static int CopyOneFile(Installation *setup, const char *from, const char *relative)
{
    static char chunk[65536];
    char path[STANDIN_PATH_MAX];
    HANDLE source = CreateFileA(from, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, NULL);
    if (source == INVALID_HANDLE_VALUE)
        return 0;
    HANDLE target = NewFile(setup, relative, path);
    FileRecord record = { 0, FNV1A_START };
    int ok = target != INVALID_HANDLE_VALUE;
    for (DWORD got = 1; ok && got;)
        ok = ReadFile(source, chunk, sizeof chunk, &got, NULL) && (got == 0 || WriteAll(target, chunk, got, &record));
    ok = ok && AddLogLine(setup, relative, &record);
    CloseHandle(source);
    if (target != INVALID_HANDLE_VALUE) {
        if (ok)
            CloseHandle(target);
        else
            DiscardOpened(target, path);
    }
    setup->copiedFiles += ok;
    return ok;
}

/* Copies the contents of folder src into the install folder, below rel
 * ("" at the top). */
static int CopyFolder(Installation *setup, const char *src, const char *rel, int depth)
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
        char from[STANDIN_PATH_MAX], relative[STANDIN_PATH_MAX];
        int relOk = rel[0] ? JoinPath(relative, sizeof relative, rel, name)
                           : snprintf(relative, sizeof relative, "%s", name) < (int)sizeof relative;
        if (!relOk || !JoinPath(from, sizeof from, src, name))
            ok = 0;
        else if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            ok = MakeFolder(setup, relative) && CopyFolder(setup, from, relative, depth + 1);
        else
            ok = CopyOneFile(setup, from, relative);
    } while (ok && FindNextFileA(search, &found));
    FindClose(search);
    return ok;
}

/* Writes bytes as file name of the install folder: first as spare, then
 * moved over name, so that a failure leaves an earlier installation's file
 * as it was. */
static int WriteInPlace(Installation *setup, const char *name, const char *spare, const void *bytes, DWORD size,
                        FileRecord *record)
{
    char path[STANDIN_PATH_MAX], sparePath[STANDIN_PATH_MAX];
    record->size = 0;
    record->sum = FNV1A_START;
    if (!JoinPath(path, sizeof path, setup->installDir, name))
        return 0;
    if (!JoinPath(sparePath, sizeof sparePath, setup->installDir, spare))
        return 0;
    HANDLE file = CreateFileA(sparePath, GENERIC_WRITE | DELETE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    if (!OpenedInside(&setup->folder, file, 0) || !WriteAll(file, bytes, size, record)) {
        DiscardOpened(file, sparePath);
        return 0;
    }
    CloseHandle(file);
    if (MoveFileExA(sparePath, path, setup->reinstall ? MOVEFILE_REPLACE_EXISTING : 0))
        return 1;
    /* Windows 95 has no MoveFileEx. */
    if (GetLastError() == ERROR_CALL_NOT_IMPLEMENTED &&
        (!setup->reinstall || RemoveBelow(&setup->folder, name, 0, NULL)) && MoveFileA(sparePath, path))
        return 1;
    RemoveBelow(&setup->folder, spare, 0, record);
    return 0;
}

/* Writes the uninstaller that Setup carries into the install folder. */
static int WriteUninstaller(Installation *setup)
{
    HRSRC found = FindResourceA(setup->instance, MAKEINTRESOURCEA(IDR_UNINSTALLER), (LPCSTR)RT_RCDATA);
    HGLOBAL loaded = found ? LoadResource(setup->instance, found) : NULL;
    const void *bytes = loaded ? LockResource(loaded) : NULL;
    DWORD size = found ? SizeofResource(setup->instance, found) : 0;
    setup->uninstallerWritten = bytes && size &&
        WriteInPlace(setup, UNINSTALLER_NAME, UNINSTALLER_SPARE, bytes, size, &setup->uninstallerRecord);
    return setup->uninstallerWritten;
}

static int CopyGame(Installation *setup)
{
    if (!CreateFolderTree(setup->installDir, &setup->firstCreatedFolder) ||
        !OpenInstallFolder(setup->installDir, &setup->folder))
        return 0;
    setup->folderOpen = 1;
    if (!CopyFolder(setup, setup->sourceDir, "", 0) || setup->copiedFiles == 0 || !WriteUninstaller(setup))
        return 0;
    setup->logWritten = WriteInPlace(setup, INSTALL_LOG_NAME, INSTALL_LOG_SPARE, setup->logText,
                                     (DWORD)setup->logSize, &setup->logRecord);
    return setup->logWritten;
}

/* Removes what this run copied, last first, and the folders it made. An
 * earlier installation keeps its uninstaller and log, which still describe
 * what is left of it. */
static void RollBack(Installation *setup)
{
    if (setup->folderOpen) {
        char *lines[INSTALL_LOG_LINES_MAX];
        int count = setup->logSize ? SplitInstallLog(setup->logText, setup->logSize, lines, INSTALL_LOG_LINES_MAX) : 0;
        for (int i = count - 1; i >= 0; i--) {
            InstallLogEntry entry;
            if (ParseInstallLogLine(lines[i], &entry))
                RemoveBelow(&setup->folder, entry.path, entry.isFolder, entry.hasRecord ? &entry.record : NULL);
        }
        if (!setup->reinstall && setup->uninstallerWritten)
            RemoveBelow(&setup->folder, UNINSTALLER_NAME, 0, &setup->uninstallerRecord);
        if (!setup->reinstall && setup->logWritten)
            RemoveBelow(&setup->folder, INSTALL_LOG_NAME, 0, &setup->logRecord);
        if (setup->firstCreatedFolder)
            RemoveInstallFolder(&setup->folder);
        else
            CloseInstallFolder(&setup->folder);
        setup->folderOpen = 0;
    }
    /* The folders above it that this run made, when they are still empty. */
    char path[STANDIN_PATH_MAX];
    strcpy(path, setup->installDir);
    for (size_t n = strlen(path) + 1; setup->firstCreatedFolder && n > setup->firstCreatedFolder; n--) {
        if (path[n - 1] != '\\' && path[n - 1] != '\0')
            continue;
        path[n - 1] = '\0';
        DWORD attr = GetFileAttributesA(path);
        if (attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY) && !(attr & FILE_ATTRIBUTE_REPARSE_POINT))
            RemoveDirectoryA(path);
    }
}

/* ---- Registration ------------------------------------------------------- */

static int CreateKey(const char *path, HKEY *key, int *created)
{
    DWORD disposition = 0;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, NULL, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS | REGISTRY_32BIT_VIEW,
                        NULL, key, &disposition) != ERROR_SUCCESS)
        return 0;
    *created = disposition == REG_CREATED_NEW_KEY;
    return 1;
}

/* The disc's root as it is registered. A CD-ROM drive's letter is not the
 * disc's: a disc image is mounted under whatever letter is free, and the
 * next time may get another. So a root on a CD-ROM drive is registered
 * with "?" for its letter, which the launcher replaces by the drive that
 * holds the disc when it starts. A copy of the disc on a fixed or network
 * drive keeps its real path. */
static void RegisteredDiscRoot(const char *discRoot, char *root, size_t size)
{
    snprintf(root, size, "%s", discRoot);
    if (!root[0] || root[1] != ':' || root[2] != '\\')
        return;
    char drive[] = "?:\\";
    drive[0] = root[0];
    if (GetDriveTypeA(drive) == DRIVE_CDROM)
        root[0] = '?';
}

/* The product key that the launcher and the game read: where the game is,
 * where the disc is, and the first-run graphics values. */
static int WriteProductKey(Installation *setup)
{
    char discRoot[STANDIN_PATH_MAX];
    RegisteredDiscRoot(setup->discRoot, discRoot, sizeof discRoot);
    HKEY key;
    if (!CreateKey(PRODUCT_KEY, &key, &setup->productKeyCreated))
        return 0;
    int ok = SetStringValue(key, "ExeDir", setup->installDir) &&
             SetStringValue(key, "CDRoot", discRoot) &&
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

static int WriteUninstallKey(Installation *setup)
{
    char command[STANDIN_PATH_MAX];
    if (!QuotedProgram(command, sizeof command, setup->installDir, UNINSTALLER_NAME))
        return 0;
    HKEY key;
    if (!CreateKey(UNINSTALL_KEY, &key, &setup->uninstallKeyCreated))
        return 0;
    int ok = SetStringValue(key, "DisplayName", DISPLAY_NAME) &&
             SetStringValue(key, "UninstallString", command) &&
             SetStringValue(key, "InstallLocation", setup->installDir) &&
             SetStringValue(key, "Publisher", "BRIXOLAN") &&
             SetStringValue(key, "DisplayVersion", "1.0");
    RegCloseKey(key);
    return ok;
}

/* A reinstallation offers the folder of the installed game. */
static void ChooseDefaultFolder(Installation *setup)
{
    if (!RegisteredInstallDir(setup->installDir, sizeof setup->installDir))
        strcpy(setup->installDir, DEFAULT_INSTALL_DIR);
}

/* A failed registration leaves none of the keys it made. */
static void RemoveCreatedKeys(const Installation *setup)
{
    if (setup->productKeyCreated)
        DeleteKey(HKEY_LOCAL_MACHINE, PRODUCT_KEY_PARENT, PRODUCT_KEY_NAME, REGISTRY_32BIT_VIEW);
    if (setup->uninstallKeyCreated)
        DeleteKey(HKEY_LOCAL_MACHINE, UNINSTALL_PARENT, UNINSTALL_NAME, REGISTRY_32BIT_VIEW);
}

static int Fail(const Installation *setup, const char *text)
{
    if (!setup->args.silent)
        Say(NULL, SETUP_CAPTION, MB_ICONSTOP | MB_OK, "%s", text);
    return 1;
}

static int Install(Installation *setup)
{
    char self[STANDIN_PATH_MAX];
    if (!ParseStandinArgs(GetCommandLineA(), &setup->args))
        return Fail(setup, "Paramètres de Setup incorrects.");
    if (!OwnPath(self, sizeof self) || !FolderOfPath(self, setup->discRoot, sizeof setup->discRoot) ||
        !JoinPath(setup->sourceDir, sizeof setup->sourceDir, setup->discRoot, GAME_FOLDER))
        return Fail(setup, "Setup ne trouve pas son propre dossier.");
    DWORD attr = GetFileAttributesA(setup->sourceDir);
    if (attr == INVALID_FILE_ATTRIBUTES || !(attr & FILE_ATTRIBUTE_DIRECTORY))
        return Fail(setup, "Le dossier KVL du CD-ROM est introuvable. Lancez Setup depuis le CD de K.V.L.");

    ChooseDefaultFolder(setup);
    const StandinDialog question = { IDD_SETUP, IDOK, OnSetupInit, OnSetupInstall, setup };
    if (!setup->args.silent && RunStandinDialog(setup->instance, &question) != IDOK)
        return 2;

    /* Checked again: the folder may have changed while the question was open. */
    int kind = DestinationKind(setup->installDir);
    if (kind == DEST_FOREIGN) {
        if (!setup->args.silent)
            Say(NULL, SETUP_CAPTION, MB_ICONSTOP | MB_OK, ForeignFolder, setup->installDir);
        return 1;
    }
    setup->reinstall = kind == DEST_OURS;

    HCURSOR cursor = SetCursor(LoadCursorA(NULL, (LPCSTR)IDC_WAIT));
    int copied = CopyGame(setup);
    int registered = copied && WriteProductKey(setup) && WriteUninstallKey(setup);
    if (!registered) {
        RemoveCreatedKeys(setup);
        RollBack(setup);
    }
    if (setup->folderOpen)
        CloseInstallFolder(&setup->folder);
    SetCursor(cursor);
    if (!copied)
        return Fail(setup, "La copie des fichiers a échoué : rien n'a été installé. Vérifiez le dossier choisi et la "
                           "place libre sur le disque.");
    if (!registered)
        return Fail(setup, "Impossible d'enregistrer l'installation dans le registre : rien n'a été installé. Lancez "
                           "Setup avec les droits d'administrateur.");
    if (!setup->args.silent)
        Say(NULL, SETUP_CAPTION, MB_ICONINFORMATION | MB_OK,
            "La démo de K.V.L est installée dans :\n%s\n\nRelancez le CD-ROM pour jouer.", setup->installDir);
    return 0;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    LimitDllSearchToSystem32();
    Installation setup;
    memset(&setup, 0, sizeof setup);
    setup.instance = instance;
    return Install(&setup);
}
