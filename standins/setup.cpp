/* Setup.exe, at the root of the demo disc: installs the game folder of the
 * disc on the hard disk and registers it for the launcher, the game and
 * the system's list of installed programs.
 *
 *   Setup.exe        asks for the install folder
 *   Setup.exe /S     installs silently into the default folder
 *
 * The install folder must be missing, empty, or the registered earlier
 * installation (ExeDir, with our Install.log): Setup never takes over a
 * folder of someone else's, whose files a later uninstall would delete.
 *
 * The uninstaller and Install.log, the record of what Setup wrote, go into
 * the product's own folder under the system's common program files, which
 * only administrators can change, never into the install folder, which
 * the game writes and other accounts may too. That folder is created new,
 * or reused only when it holds nothing but what an earlier Setup wrote
 * there. A reinstall over an older layout (uninstaller and log in the
 * install folder) removes those two when they hold exactly our bytes.
 * Asked for a folder, it says so and asks again; with /S it ends with
 * exit code 1 and changes nothing. An installation that fails midway is
 * rolled back: what this run copied is removed and nothing is registered.
 *
 * A reinstall (into the registered installation, to repair it) keeps what
 * the player has: the settings and progress in the product key stay, and
 * the earlier files stay in place until every new file has been written
 * under a spare name; only then are they swapped. A reinstall that fails
 * puts everything back, so the earlier installation still works.
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
/* How many spare names a file may try: a spare left by an interrupted run
 * is never adopted, the next name is taken. */
#define SPARE_TRIES 100
/* The registry values one run may change: the product key's and the
 * uninstall key's. */
#define SAVED_VALUES_MAX 20

/* The spare names of a file: where its new copy waits to be swapped in, and
 * where the earlier installation's file waits until the reinstall has
 * succeeded. */
enum { SPARE_NEW, SPARE_OLD };

/* One item this run wrote below the install folder. A file goes under its
 * own name on a first install; on a reinstall under a spare name, until
 * every file has been written. */
struct PlacedItem {
    FileRecord record;          /* the bytes written, so that only they are removed */
    short spare;                /* number of its SPARE_NEW name; -1 for its own name */
    short earlier;              /* number of the SPARE_OLD name the earlier file was moved to; -1 for none */
    char isFolder, created;     /* a folder, and whether this run made it */
    char swapped;               /* the new file has taken its own name */
    char written;
};

/* A folder this run writes into: the install folder, or the product's
 * folder for the uninstaller and the log. Over an earlier installation's
 * files, new files wait under spare names until all are written. */
struct Site {
    const char *dir;
    InstallFolder *folder;
    int reinstall;
};

/* A registry value as it was before this run changed it. */
struct SavedValue {
    int uninstallKey;           /* else the product key */
    const char *name;
    int existed;
    DWORD type, size;
    BYTE *data;
};

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
    PlacedItem placed[INSTALL_LOG_LINES_MAX];   /* what each log line's item is to this run */
    char *lines[INSTALL_LOG_LINES_MAX];         /* the log's lines, once it is split for the swap or a rollback */
    int linesSplit;
    int copiedFiles;
    char productDir[STANDIN_PATH_MAX];  /* the product's folder: the uninstaller and the log */
    InstallFolder product;
    int productOpen;
    int productReused;                  /* it held an earlier Setup's uninstaller or log */
    size_t firstCreatedProduct;         /* length of the highest folder of productDir made by this run */
    PlacedItem uninstaller, log;        /* in the product's folder; the log does not list them */
    int productKeyCreated, uninstallKeyCreated;
    SavedValue saved[SAVED_VALUES_MAX];
    int savedCount;
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

static Site GameSite(Installation *setup)
{
    Site site = { setup->installDir, &setup->folder, setup->reinstall };
    return site;
}

static Site ProductSite(Installation *setup)
{
    Site site = { setup->productDir, &setup->product, setup->productReused };
    return site;
}

/* The folders above dir that this run made (from length firstCreated
 * on), when they are still empty; dir itself has gone before. */
static void RemoveCreatedParents(const char *dir, size_t firstCreated)
{
    char path[STANDIN_PATH_MAX];
    if (!firstCreated || snprintf(path, sizeof path, "%s", dir) >= (int)sizeof path)
        return;
    for (size_t n = strlen(path) + 1; n > firstCreated; n--) {
        if (path[n - 1] != '\\' && path[n - 1] != '\0')
            continue;
        path[n - 1] = '\0';
        DWORD attr = GetFileAttributesA(path);
        if (attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY) && !(attr & FILE_ATTRIBUTE_REPARSE_POINT))
            RemoveDirectoryA(path);
    }
}

/* ---- The product's folder -------------------------------------------------
 * It holds what an administrator runs: Setup never adopts anything else
 * found there, and never changes its access (it takes that of the
 * system's programs' folder). */

/* Whether name is one Setup writes into the product's folder: the
 * uninstaller, the log, or a spare name of either. */
static int ProductFileName(const char *name)
{
    const char *own[] = { UNINSTALLER_NAME, INSTALL_LOG_NAME };
    for (int i = 0; i < 2; i++) {
        size_t n = strlen(own[i]);
        if (_strnicmp(name, own[i], n) != 0)
            continue;
        const char *rest = name + n;
        if (*rest == '\0')
            return 1;
        if (_strnicmp(rest, ".new", 4) != 0 && _strnicmp(rest, ".old", 4) != 0)
            continue;
        for (rest += 4; *rest >= '0' && *rest <= '9'; rest++)
            ;
        if (*rest == '\0')
            return 1;
    }
    return 0;
}

/* Whether dir holds nothing but plain files of those names. */
static int HoldsOnlyOurs(const char *dir)
{
    char pattern[STANDIN_PATH_MAX];
    WIN32_FIND_DATAA found;
    if (!JoinPath(pattern, sizeof pattern, dir, "*"))
        return 0;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    int ours = 1;
    do {
        const char *name = found.cFileName;
        if (strcmp(name, ".") == 0 || strcmp(name, "..") == 0)
            continue;
        ours = !(found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) &&
               ProductFileName(name);
    } while (ours && FindNextFileA(search, &found));
    FindClose(search);
    return ours;
}

enum { PRODUCT_OK, PRODUCT_UNKNOWN, PRODUCT_FOREIGN };

/* Where the product's folder is, and whether this run may write there: it
 * is missing, or holds only what an earlier Setup wrote, and lies apart
 * from the install folder. */
static int CheckProductFolder(Installation *setup)
{
    if (!ProductFolder(setup->productDir, sizeof setup->productDir))
        return PRODUCT_UNKNOWN;
    if (SameInstallDir(setup->productDir, setup->installDir) || PathIsInside(setup->productDir, setup->installDir) ||
        PathIsInside(setup->installDir, setup->productDir))
        return PRODUCT_FOREIGN;
    if (GetFileAttributesA(setup->productDir) == INVALID_FILE_ATTRIBUTES) {
        DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? PRODUCT_OK : PRODUCT_FOREIGN;
    }
    InstallFolder folder;
    if (!OpenInstallFolder(setup->productDir, &folder))
        return PRODUCT_FOREIGN;
    int ours = HoldsOnlyOurs(setup->productDir);
    CloseInstallFolder(&folder);
    setup->productReused = !FolderIsEmpty(setup->productDir);
    return ours ? PRODUCT_OK : PRODUCT_FOREIGN;
}

/* Creates the product's folder, or opens the one found fit, and holds it. */
static int OpenProduct(Installation *setup)
{
    if (!CreateFolderTree(setup->productDir, &setup->firstCreatedProduct) ||
        !OpenInstallFolder(setup->productDir, &setup->product))
        return 0;
    setup->productOpen = 1;
    /* Checked again, now that it is held: nothing else put there since is
     * adopted. */
    return HoldsOnlyOurs(setup->productDir);
}

/* ---- Copying ------------------------------------------------------------
 * Every file is written new (CREATE_NEW): in a new folder nothing may be
 * there already; in an earlier installation of ours it goes under a spare
 * name, and the earlier file keeps its place until every file has been
 * written. Each written item is checked to lie inside the install folder,
 * and logged with the size and checksum of its bytes, so that the
 * uninstaller and a rollback remove it only while it is ours. */

static int AddLogLine(Installation *setup, const char *relative, const PlacedItem *placed)
{
    size_t n = FormatInstallLogLine(setup->logText + setup->logSize, sizeof setup->logText - setup->logSize, relative,
                                    placed->isFolder ? NULL : &placed->record);
    if (n == 0 || setup->logLines >= INSTALL_LOG_LINES_MAX)
        return 0;
    setup->logSize += n;
    setup->placed[setup->logLines++] = *placed;
    return 1;
}

/* relative + ".new" or ".old", then the number from 1 on. */
static int SpareName(char *out, size_t cap, const char *relative, int kind, int number)
{
    const char *suffix = kind == SPARE_NEW ? "new" : "old";
    int n = number ? snprintf(out, cap, "%s.%s%d", relative, suffix, number)
                   : snprintf(out, cap, "%s.%s", relative, suffix);
    return n > 0 && (size_t)n < cap;
}

/* The name, relative to its folder, under which item relative is
 * now: its own, or its spare while it waits. */
static int CurrentName(char *out, size_t cap, const char *relative, const PlacedItem *placed)
{
    if (placed->spare < 0 || placed->swapped)
        return snprintf(out, cap, "%s", relative) < (int)cap;
    return SpareName(out, cap, relative, SPARE_NEW, placed->spare);
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
    PlacedItem placed = { { 0, FNV1A_START }, -1, -1, 1, (char)created, 0, 1 };
    int ok = AddLogLine(setup, relative, &placed);
    if (!ok && created)
        DiscardOpened(folder, path);
    else
        CloseHandle(folder);
    return ok;
}

/* A new file for item relative, open for writing: on a first install
 * under its own name; on a reinstall under the first spare name that
 * nothing holds, as one left by an interrupted run is never adopted.
 * spare receives the number of the name taken (-1 for its own). */
static HANDLE NewFile(const Site *site, const char *relative, char *path, short *spare)
{
    for (int n = site->reinstall ? 0 : -1; n < SPARE_TRIES; n++) {
        char name[STANDIN_PATH_MAX];
        int named = n < 0 ? snprintf(name, sizeof name, "%s", relative) < (int)sizeof name
                          : SpareName(name, sizeof name, relative, SPARE_NEW, n);
        if (!named || !JoinPath(path, STANDIN_PATH_MAX, site->dir, name))
            return INVALID_HANDLE_VALUE;
        HANDLE file = CreateFileA(path, GENERIC_WRITE | DELETE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
        if (file == INVALID_HANDLE_VALUE) {
            if (n >= 0 && GetLastError() == ERROR_FILE_EXISTS)
                continue;
            return INVALID_HANDLE_VALUE;
        }
        if (!OpenedInside(site->folder, file, 0)) {
            DiscardOpened(file, path);
            return INVALID_HANDLE_VALUE;
        }
        *spare = (short)n;
        return file;
    }
    return INVALID_HANDLE_VALUE;
}

/* After a file was written under spare name number n, the spares before
 * it that hold the very same bytes were left by an earlier run of this
 * Setup: they go. Any other file under those names stays. */
static void RemoveStaleSpares(const Site *site, const char *relative, const PlacedItem *placed)
{
    char name[STANDIN_PATH_MAX];
    for (int n = 0; n < placed->spare; n++)
        if (SpareName(name, sizeof name, relative, SPARE_NEW, n))
            RemoveBelow(site->folder, name, 0, &placed->record);
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
    PlacedItem placed = { { 0, FNV1A_START }, -1, -1, 0, 1, 0, 1 };
    const Site game = GameSite(setup);
    HANDLE target = NewFile(&game, relative, path, &placed.spare);
    int ok = target != INVALID_HANDLE_VALUE;
    for (DWORD got = 1; ok && got;)
        ok = ReadFile(source, chunk, sizeof chunk, &got, NULL) &&
             (got == 0 || WriteAll(target, chunk, got, &placed.record));
    ok = ok && AddLogLine(setup, relative, &placed);
    CloseHandle(source);
    if (target != INVALID_HANDLE_VALUE) {
        if (ok)
            CloseHandle(target);
        else
            DiscardOpened(target, path);
    }
    if (ok)
        RemoveStaleSpares(&game, relative, &placed);
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

/* Writes bytes as file name of the site (under a spare name over an
 * earlier installation, as every file). */
static int WriteWhole(const Site *site, const char *name, const void *bytes, DWORD size, PlacedItem *placed)
{
    char path[STANDIN_PATH_MAX];
    PlacedItem fresh = { { 0, FNV1A_START }, -1, -1, 0, 1, 0, 1 };
    HANDLE file = NewFile(site, name, path, &fresh.spare);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    if (!WriteAll(file, bytes, size, &fresh.record)) {
        DiscardOpened(file, path);
        return 0;
    }
    CloseHandle(file);
    *placed = fresh;
    RemoveStaleSpares(site, name, placed);
    return 1;
}

/* Writes the uninstaller that Setup carries into the product's folder. */
static int WriteUninstaller(Installation *setup)
{
    HRSRC found = FindResourceA(setup->instance, MAKEINTRESOURCEA(IDR_UNINSTALLER), (LPCSTR)RT_RCDATA);
    HGLOBAL loaded = found ? LoadResource(setup->instance, found) : NULL;
    const void *bytes = loaded ? LockResource(loaded) : NULL;
    DWORD size = found ? SizeofResource(setup->instance, found) : 0;
    const Site product = ProductSite(setup);
    return bytes && size && WriteWhole(&product, UNINSTALLER_NAME, bytes, size, &setup->uninstaller);
}

static int CopyGame(Installation *setup)
{
    if (!CreateFolderTree(setup->installDir, &setup->firstCreatedFolder) ||
        !OpenInstallFolder(setup->installDir, &setup->folder))
        return 0;
    setup->folderOpen = 1;
    if (!CopyFolder(setup, setup->sourceDir, "", 0) || setup->copiedFiles == 0 || !OpenProduct(setup) ||
        !WriteUninstaller(setup))
        return 0;
    const Site product = ProductSite(setup);
    return WriteWhole(&product, INSTALL_LOG_NAME, setup->logText, (DWORD)setup->logSize, &setup->log);
}

/* The log's lines, one per placed item, split once the log text is no
 * longer needed whole (it has been written, or the run failed). */
static int PlacedCount(Installation *setup)
{
    if (!setup->linesSplit && setup->logSize) {
        int count = SplitInstallLog(setup->logText, setup->logSize, setup->lines, INSTALL_LOG_LINES_MAX);
        if (count != setup->logLines)
            return 0;
        setup->linesSplit = 1;
    }
    return setup->linesSplit ? setup->logLines : 0;
}

/* The relative path of placed item i. */
static int PlacedName(const Installation *setup, int i, InstallLogEntry *entry)
{
    return ParseInstallLogLine(setup->lines[i], entry);
}

/* Puts the new file of a reinstall in its place: the earlier file, if
 * any, goes aside under a spare name until the reinstall has succeeded.
 * An earlier file that is not a plain file of the folder, or has another
 * name elsewhere (a hard link, shared with whoever made it), is never
 * moved: the reinstall fails instead. */
static int SwapIn(const Site *site, const char *relative, PlacedItem *placed)
{
    if (placed->isFolder || placed->spare < 0)
        return placed->written;
    char path[STANDIN_PATH_MAX], spare[STANDIN_PATH_MAX], sparePath[STANDIN_PATH_MAX];
    if (!JoinPath(path, sizeof path, site->dir, relative) ||
        !SpareName(spare, sizeof spare, relative, SPARE_NEW, placed->spare) ||
        !JoinPath(sparePath, sizeof sparePath, site->dir, spare))
        return 0;
    if (GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES) {
        char opened[STANDIN_PATH_MAX];
        BY_HANDLE_FILE_INFORMATION info;
        HANDLE earlier = OpenBelow(site->folder, relative, 0, FILE_READ_ATTRIBUTES, opened);
        if (earlier == INVALID_HANDLE_VALUE)
            return 0;
        int single = GetFileInformationByHandle(earlier, &info) && info.nNumberOfLinks == 1;
        CloseHandle(earlier);
        if (!single)
            return 0;
        for (int n = 0; n < SPARE_TRIES && placed->earlier < 0; n++) {
            char aside[STANDIN_PATH_MAX], asidePath[STANDIN_PATH_MAX];
            if (!SpareName(aside, sizeof aside, relative, SPARE_OLD, n) ||
                !JoinPath(asidePath, sizeof asidePath, site->dir, aside))
                return 0;
            if (MoveFileA(path, asidePath))
                placed->earlier = (short)n;
            else if (GetLastError() != ERROR_ALREADY_EXISTS && GetLastError() != ERROR_FILE_EXISTS)
                return 0;
        }
        if (placed->earlier < 0)
            return 0;
    } else if (GetLastError() != ERROR_FILE_NOT_FOUND) {
        return 0;
    }
    placed->swapped = MoveFileA(sparePath, path) != 0;
    return placed->swapped;
}

/* Swaps every new file of a reinstall in, the log last: it describes the
 * new files. Nothing to do for a folder written new. */
static int SwapAll(Installation *setup)
{
    const Site game = GameSite(setup), product = ProductSite(setup);
    int count = PlacedCount(setup);
    if (count == 0)
        return 0;
    for (int i = 0; setup->reinstall && i < count; i++) {
        InstallLogEntry entry;
        if (!PlacedName(setup, i, &entry) || !SwapIn(&game, entry.path, &setup->placed[i]))
            return 0;
    }
    return SwapIn(&product, UNINSTALLER_NAME, &setup->uninstaller) && SwapIn(&product, INSTALL_LOG_NAME, &setup->log);
}

/* Undoes what this run did to one item: its new file goes, while it holds
 * the bytes written; a folder it made goes when empty; an earlier file
 * moved aside takes its name again. */
static void PutBack(const Site *site, const char *relative, const PlacedItem *placed)
{
    char name[STANDIN_PATH_MAX];
    if (!placed->written)
        return;
    if (placed->isFolder) {
        if (placed->created)
            RemoveBelow(site->folder, relative, 1, NULL);
        return;
    }
    if (CurrentName(name, sizeof name, relative, placed))
        RemoveBelow(site->folder, name, 0, &placed->record);
    char path[STANDIN_PATH_MAX], aside[STANDIN_PATH_MAX], asidePath[STANDIN_PATH_MAX];
    if (placed->earlier >= 0 && JoinPath(path, sizeof path, site->dir, relative) &&
        SpareName(aside, sizeof aside, relative, SPARE_OLD, placed->earlier) &&
        JoinPath(asidePath, sizeof asidePath, site->dir, aside))
        MoveFileA(asidePath, path);
}

/* After an installation has succeeded, the earlier files moved aside go,
 * and so do the uninstaller and the log an older Setup left in the install
 * folder, when they hold exactly what this run wrote in their place. */
static void RemoveEarlierFiles(Installation *setup)
{
    const Site game = GameSite(setup), product = ProductSite(setup);
    PlacedItem *others[] = { &setup->uninstaller, &setup->log };
    const char *otherNames[] = { UNINSTALLER_NAME, INSTALL_LOG_NAME };
    char aside[STANDIN_PATH_MAX];
    int count = PlacedCount(setup);
    for (int i = 0; i < count + 2; i++) {
        InstallLogEntry entry;
        const PlacedItem *placed = i < count ? &setup->placed[i] : others[i - count];
        const char *relative = i < count ? (PlacedName(setup, i, &entry) ? entry.path : NULL) : otherNames[i - count];
        if (relative && placed->written && placed->earlier >= 0 && SpareName(aside, sizeof aside, relative, SPARE_OLD, placed->earlier))
            RemoveBelow(i < count ? game.folder : product.folder, aside, 0, NULL);
    }
    if (setup->reinstall)
        for (int i = 0; i < 2; i++)
            RemoveBelow(game.folder, otherNames[i], 0, &others[i]->record);
}

/* Undoes this run, last first: what it wrote goes, the files of an
 * earlier installation take their places again with its uninstaller and
 * log, and the folders this run made go. */
static void RollBack(Installation *setup)
{
    const Site game = GameSite(setup), product = ProductSite(setup);
    if (setup->productOpen) {
        PutBack(&product, INSTALL_LOG_NAME, &setup->log);
        PutBack(&product, UNINSTALLER_NAME, &setup->uninstaller);
        if (setup->firstCreatedProduct)
            RemoveInstallFolder(&setup->product);
        else
            CloseInstallFolder(&setup->product);
        setup->productOpen = 0;
    }
    RemoveCreatedParents(setup->productDir, setup->firstCreatedProduct);
    if (setup->folderOpen) {
        for (int i = PlacedCount(setup) - 1; i >= 0; i--) {
            InstallLogEntry entry;
            if (PlacedName(setup, i, &entry))
                PutBack(&game, entry.path, &setup->placed[i]);
        }
        if (setup->firstCreatedFolder)
            RemoveInstallFolder(&setup->folder);
        else
            CloseInstallFolder(&setup->folder);
        setup->folderOpen = 0;
    }
    RemoveCreatedParents(setup->installDir, setup->firstCreatedFolder);
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

/* Keeps a value as it is before this run changes it, so that a failure
 * can put it back. 0 when it cannot be read whole. */
static int SaveValue(Installation *setup, HKEY key, int uninstallKey, const char *name)
{
    if (setup->savedCount >= SAVED_VALUES_MAX)
        return 0;
    SavedValue *saved = &setup->saved[setup->savedCount];
    memset(saved, 0, sizeof *saved);
    saved->uninstallKey = uninstallKey;
    saved->name = name;
    LONG rc = RegQueryValueExA(key, name, NULL, &saved->type, NULL, &saved->size);
    if (rc == ERROR_FILE_NOT_FOUND) {
        setup->savedCount++;
        return 1;
    }
    if (rc != ERROR_SUCCESS)
        return 0;
    DWORD size = saved->size;
    saved->data = static_cast<BYTE *>(HeapAlloc(GetProcessHeap(), 0, size ? size : 1));
    if (!saved->data || RegQueryValueExA(key, name, NULL, &saved->type, saved->data, &size) != ERROR_SUCCESS ||
        size != saved->size) {
        if (saved->data)
            HeapFree(GetProcessHeap(), 0, saved->data);
        saved->data = NULL;
        return 0;
    }
    saved->existed = 1;
    setup->savedCount++;
    return 1;
}

/* Puts back the values this run changed, last first, and forgets them. */
static void RestoreValues(Installation *setup, int restore)
{
    HKEY keys[2] = { NULL, NULL };
    const char *paths[2] = { PRODUCT_KEY, UNINSTALL_KEY };
    for (int k = 0; k < 2 && restore; k++)
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, paths[k], 0, KEY_SET_VALUE | REGISTRY_32BIT_VIEW, &keys[k]) !=
            ERROR_SUCCESS)
            keys[k] = NULL;
    for (int i = setup->savedCount - 1; i >= 0; i--) {
        SavedValue *saved = &setup->saved[i];
        HKEY key = keys[saved->uninstallKey ? 1 : 0];
        if (key && saved->existed)
            RegSetValueExA(key, saved->name, 0, saved->type, saved->data, saved->size);
        else if (key)
            RegDeleteValueA(key, saved->name);
        if (saved->data)
            HeapFree(GetProcessHeap(), 0, saved->data);
    }
    setup->savedCount = 0;
    for (int k = 0; k < 2; k++)
        if (keys[k])
            RegCloseKey(keys[k]);
}

static int PutString(Installation *setup, HKEY key, int uninstallKey, const char *name, const char *text)
{
    return SaveValue(setup, key, uninstallKey, name) && SetStringValue(key, name, text);
}

static int PutDword(Installation *setup, HKEY key, const char *name, DWORD value)
{
    return SaveValue(setup, key, 0, name) && SetDwordValue(key, name, value);
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

/* The first-run values of the product key. */
static const struct {
    const char *name;
    DWORD value;
} FirstRunNumbers[] = {
    { "bFirstTime", 1 }, { "Device", 0 }, { "Mode", 0 },  { "Width", 640 },
    { "Height", 480 },   { "bHard", 0 },  { "Level", 0 }, { "Transparency", 0 },
};

/* Whether the launcher can read the driver name: a REG_SZ of at most its
 * 50 bytes, terminator included. */
static int DriverNameReadable(HKEY key)
{
    static const RegistryRead AsDriverName = { REGISTRY_TEXT, REGISTRY_TYPE(REG_SZ), REGISTRY_32BIT_VIEW };
    char name[50];
    return ReadRegistryValue(key, "DDName", &AsDriverName, name, sizeof name);
}

/* The product key that the launcher and the game read: where the game is,
 * where the disc is, and the first-run graphics values. A reinstall keeps
 * the player's graphics choices and completed levels: it writes a
 * first-run value only where none can be read. */
static int WriteProductKey(Installation *setup)
{
    char discRoot[STANDIN_PATH_MAX];
    RegisteredDiscRoot(setup->discRoot, discRoot, sizeof discRoot);
    HKEY key;
    if (!CreateKey(PRODUCT_KEY, &key, &setup->productKeyCreated))
        return 0;
    int all = !setup->reinstall;
    int ok = PutString(setup, key, 0, "ExeDir", setup->installDir) && PutString(setup, key, 0, "CDRoot", discRoot);
    for (size_t i = 0; ok && i < sizeof FirstRunNumbers / sizeof FirstRunNumbers[0]; i++) {
        DWORD stored;
        if (all || !GetDwordValue(key, FirstRunNumbers[i].name, &stored))
            ok = PutDword(setup, key, FirstRunNumbers[i].name, FirstRunNumbers[i].value);
    }
    if (ok && (all || !DriverNameReadable(key)))
        ok = PutString(setup, key, 0, "DDName", "");
    RegCloseKey(key);
    return ok;
}

static int WriteUninstallKey(Installation *setup)
{
    char command[STANDIN_PATH_MAX];
    if (!QuotedProgram(command, sizeof command, setup->productDir, UNINSTALLER_NAME))
        return 0;
    HKEY key;
    if (!CreateKey(UNINSTALL_KEY, &key, &setup->uninstallKeyCreated))
        return 0;
    int ok = PutString(setup, key, 1, "DisplayName", DISPLAY_NAME) &&
             PutString(setup, key, 1, "UninstallString", command) &&
             PutString(setup, key, 1, "InstallLocation", setup->installDir) &&
             PutString(setup, key, 1, "Publisher", "BRIXOLAN") &&
             PutString(setup, key, 1, "DisplayVersion", "1.0");
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
    int product = CheckProductFolder(setup);
    if (product == PRODUCT_UNKNOWN)
        return Fail(setup, "Setup ne trouve pas le dossier des fichiers communs de Windows : rien n'a été installé.");
    if (product == PRODUCT_FOREIGN) {
        if (!setup->args.silent)
            Say(NULL, SETUP_CAPTION, MB_ICONSTOP | MB_OK,
                "Le dossier %s contient des fichiers qui ne viennent pas de Setup, ou il contient le dossier "
                "d'installation choisi : rien n'a été installé.",
                setup->productDir);
        return 1;
    }

    HCURSOR cursor = SetCursor(LoadCursorA(NULL, (LPCSTR)IDC_WAIT));
    int copied = CopyGame(setup) && SwapAll(setup);
    int registered = copied && WriteProductKey(setup) && WriteUninstallKey(setup);
    RestoreValues(setup, !registered);
    if (!registered) {
        RemoveCreatedKeys(setup);
        RollBack(setup);
    } else {
        RemoveEarlierFiles(setup);
    }
    if (setup->folderOpen)
        CloseInstallFolder(&setup->folder);
    if (setup->productOpen)
        CloseInstallFolder(&setup->product);
    SetCursor(cursor);
    if (!copied && setup->reinstall)
        return Fail(setup, "La réinstallation a échoué : aucun fichier n'a été remplacé, l'installation précédente de "
                           "K.V.L fonctionne toujours.\n\nFermez le jeu s'il est ouvert, vérifiez la place libre sur "
                           "le disque et relancez Setup.");
    if (!copied)
        return Fail(setup, "La copie des fichiers a échoué : rien n'a été installé. Vérifiez le dossier choisi et la "
                           "place libre sur le disque.");
    if (!registered && setup->reinstall)
        return Fail(setup, "Impossible d'enregistrer l'installation dans le registre : rien n'a été changé, "
                           "l'installation précédente de K.V.L fonctionne toujours. Lancez Setup avec les droits "
                           "d'administrateur.");
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
