/* Uninst.exe, written by Setup into the product's own folder under the
 * system's common program files ("<CommonFilesDir>\BRIXOLAN\K.V.L"),
 * beside Install.log, the record of what Setup installed: removes the
 * game's files and folder and its registry keys.
 *
 *   Uninst.exe           asks for confirmation, then uninstalls
 *   Uninst.exe /S        uninstalls without a question or a message
 *
 * It often runs with an administrator's rights, while the install folder
 * may be open to every account of the machine (the game writes its saves
 * there). So it reads nothing from the install folder: what it removes
 * comes from the record beside it, in a folder only administrators can
 * change, and an item of the install folder is removed only when it lies
 * inside the folder with no link on its way, and a file only while it
 * still holds the bytes Setup wrote, so files the player added or changed
 * stay.
 *
 * Run from its own folder, it removes the recorded files and folders, the
 * install folder when empty, the keys, then its record, and finally has
 * its own file and folder removed at the next restart. A file of the game
 * it could not remove (the game is running) keeps the keys and the record,
 * so that it can be run again. Run from the registered install folder
 * (where an older Setup put it), it removes what the record beside it
 * proves, starts nothing, queues nothing for the restart and leaves
 * itself; run from anywhere else (a copy), its record proves nothing and
 * it deletes nothing.
 *
 * Before it deletes anything it checks that it may delete the product key,
 * the uninstall key and its record; otherwise it deletes nothing and says
 * that uninstalling needs an administrator's rights.
 *
 * Exit code 0 when done, 1 when refused or when something that had to go
 * could not be removed, 2 when the user said no. */
#include <windows.h>
#include <stdarg.h>
#include <stdio.h>
#include <string.h>

#include "common/dllsearch.h"
#include "standins/standin_core.h"
#include "standins/standin_res.h"
#include "standins/standin_win.h"

/* Where the uninstaller runs from. */
enum {
    RUN_AT_HOME,       /* the product's folder, as Setup placed it */
    RUN_IN_INSTALL     /* the install folder, as an older Setup placed it */
};

/* One run of the uninstaller: its switches, its own place, its record
 * (held open, read whole) and the installation it works on. */
struct Uninstallation {
    StandinArgs args;
    char self[STANDIN_PATH_MAX];
    int place;                     /* RUN_AT_HOME or RUN_IN_INSTALL */
    InstallFolder home;            /* the folder this program runs from, held open */
    HANDLE record;                 /* its Install.log, held with DELETE and read sharing only */
    char recordPath[STANDIN_PATH_MAX];
    char installDir[STANDIN_PATH_MAX];
    InstallFolder folder;          /* the install folder, when it still exists */
    int folderOpen;
    int removesKeys;               /* the registration is this uninstaller's */
    char logText[INSTALL_LOG_MAX + 1];
    char *logLines[INSTALL_LOG_LINES_MAX];
    int logLineCount;
};

/* What an uninstallation left, for the final message. */
struct Outcome {
    int filesKept;                         /* files still holding Setup's bytes */
    char firstKept[STANDIN_PATH_MAX];      /* the first of them, relative */
    int folderKept, keysKept, recordKept, selfKept;
};

static int Refuse(const Uninstallation *un, const char *dir)
{
    if (!un->args.silent)
        Say(NULL, UNINSTALL_CAPTION, MB_ICONSTOP | MB_OK,
            "Ce dossier n'est pas l'installation de K.V.L enregistrée sur cet ordinateur, ou il a été "
            "modifié depuis (lien, fichier Install.log abîmé ou absent) :\n%s\n\nRien n'a été supprimé.",
            dir);
    return 1;
}

static int RefuseWithoutRights(const Uninstallation *un)
{
    if (!un->args.silent)
        Say(NULL, UNINSTALL_CAPTION, MB_ICONSTOP | MB_OK,
            "Désinstaller K.V.L demande les droits d'administrateur : relancez la désinstallation en tant "
            "qu'administrateur.\n\nRien n'a été supprimé.");
    return 1;
}

static int SameText(const char *a, const char *b) { return lstrcmpiA(a, b) == 0; }

/* Where this program runs from: the product's folder, or the registered
 * install folder (the older layout). 0 for anywhere else, whose record
 * proves nothing about the installation. At home, an installation whose
 * folder is no longer registered (a run cut short) leaves its keys, its
 * record and this program to remove. */
static int FindPlace(Uninstallation *un, const char *dir)
{
    char product[STANDIN_PATH_MAX];
    if (ProductFolder(product, sizeof product) && SameInstallDir(dir, product)) {
        un->place = RUN_AT_HOME;
        return 1;
    }
    if (un->installDir[0] && SameInstallDir(dir, un->installDir)) {
        un->place = RUN_IN_INSTALL;
        return 1;
    }
    return 0;
}

/* Whether the registered uninstall command names this very program: the
 * keys belong to the layout it runs in. */
static int RegisteredAsSelf(const Uninstallation *un)
{
    static const RegistryRead AsString = { REGISTRY_TEXT, REGISTRY_STRING_TYPES, REGISTRY_32BIT_VIEW };
    char registered[STANDIN_PATH_MAX], expected[STANDIN_PATH_MAX], dir[STANDIN_PATH_MAX];
    return ReadRegistryKeyValue(HKEY_LOCAL_MACHINE, UNINSTALL_KEY, "UninstallString", &AsString, registered,
                                sizeof registered) &&
           FolderOfPath(un->self, dir, sizeof dir) && QuotedProgram(expected, sizeof expected, dir, UNINSTALLER_NAME) &&
           SameText(registered, expected);
}

/* Opens the record beside this program for reading and deleting, with
 * read sharing only, so that nobody changes it while it is used. 1 when
 * held, 0 when missing or unsafe, -1 when it is there but this program
 * may not delete it. */
static int HoldRecord(Uninstallation *un)
{
    un->record = OpenBelow(&un->home, INSTALL_LOG_NAME, 0,
                           GENERIC_READ | DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES, un->recordPath);
    if (un->record != INVALID_HANDLE_VALUE)
        return 1;
    DWORD error = GetLastError();
    return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION ? -1 : 0;
}

/* The install folder, when it is still there, must be a real folder; one
 * that has gone leaves nothing to remove in it. */
static int OpenInstallation(Uninstallation *un)
{
    if (un->place == RUN_IN_INSTALL) {
        un->folder = un->home;
        un->folder.guard = INVALID_HANDLE_VALUE;   /* held once, by home */
        un->folderOpen = 1;
        return 1;
    }
    if (!un->installDir[0])
        return 1;
    if (GetFileAttributesA(un->installDir) == INVALID_FILE_ATTRIBUTES) {
        DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    }
    un->folderOpen = OpenInstallFolder(un->installDir, &un->folder);
    return un->folderOpen;
}

/* Whether relative is still the file Setup wrote, with its bytes and no
 * other name: a file of ours that could not be removed (in use by the
 * game, say), not one the player changed or linked elsewhere, which are
 * kept on purpose. */
static int StillOurs(const Uninstallation *un, const char *relative, const FileRecord *expected)
{
    char path[STANDIN_PATH_MAX];
    FileRecord found;
    BY_HANDLE_FILE_INFORMATION info;
    HANDLE file = OpenBelow(&un->folder, relative, 0, GENERIC_READ, path);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    int ours = GetFileInformationByHandle(file, &info) && info.nNumberOfLinks == 1 && RecordOfFile(file, &found) &&
               found.size == expected->size && found.sum == expected->sum;
    CloseHandle(file);
    return ours;
}

/* Removes what Setup recorded, last entry first, so that each folder is
 * emptied before it is removed. A file line without its size and checksum
 * (a log from an older Setup) cannot prove the file is still ours: kept.
 * In the older layout, this program and its log lie in the folder too and
 * stay. Files of ours that could not go are counted. */
static void RemoveRecordedFiles(Uninstallation *un, Outcome *out)
{
    for (int i = un->logLineCount - 1; i >= 0; i--) {
        InstallLogEntry entry;
        if (!ParseInstallLogLine(un->logLines[i], &entry))
            continue;
        if (entry.isFolder)
            RemoveBelow(&un->folder, entry.path, 1, NULL);
        else if (entry.hasRecord &&
                 (un->place == RUN_AT_HOME ||
                  (!SameText(entry.path, UNINSTALLER_NAME) && !SameText(entry.path, INSTALL_LOG_NAME))) &&
                 !RemoveBelow(&un->folder, entry.path, 0, &entry.record) &&
                 StillOurs(un, entry.path, &entry.record) && out->filesKept++ == 0)
            snprintf(out->firstKept, sizeof out->firstKept, "%s", entry.path);
    }
}

/* The product key, which names the installation, goes last. 1 when the
 * product key and the uninstall key are gone; the parents of the product
 * key stay when another product of the maker still uses them. */
static int RemoveKeys(void)
{
    /* The launcher's own per-user copy of its settings. */
    DeleteKey(HKEY_CURRENT_USER, PRODUCT_KEY_PARENT, PRODUCT_KEY_NAME, 0);
    DeleteKey(HKEY_CURRENT_USER, VENDOR_KEY_PARENT, VENDOR_KEY_NAME, 0);
    DeleteKey(HKEY_CURRENT_USER, COMPANY_KEY_PARENT, COMPANY_KEY_NAME, 0);
    int gone = DeleteKey(HKEY_LOCAL_MACHINE, UNINSTALL_PARENT, UNINSTALL_NAME, REGISTRY_32BIT_VIEW);
    gone = DeleteKey(HKEY_LOCAL_MACHINE, PRODUCT_KEY_PARENT, PRODUCT_KEY_NAME, REGISTRY_32BIT_VIEW) && gone;
    DeleteKey(HKEY_LOCAL_MACHINE, VENDOR_KEY_PARENT, VENDOR_KEY_NAME, REGISTRY_32BIT_VIEW);
    DeleteKey(HKEY_LOCAL_MACHINE, COMPANY_KEY_PARENT, COMPANY_KEY_NAME, REGISTRY_32BIT_VIEW);
    return gone;
}

/* Deletes the held record; 1 when it is gone. */
static int RemoveRecord(Uninstallation *un)
{
    int removed = DeleteOpened(un->record);
    CloseHandle(un->record);
    un->record = INVALID_HANDLE_VALUE;
    if (removed < 0)   /* Windows 9x deletes by name */
        removed = DeleteFileA(un->recordPath) != 0;
    return removed == 1;
}

/* A running program cannot delete its own file, nor the folder that
 * holds it: both go at the next restart, the file first. The folder is
 * the product's own, which only administrators can change, so nobody can
 * send these deletions elsewhere meanwhile. The file first takes a spare
 * name of its own, so that a reinstall before the restart writes its new
 * uninstaller under the usual name without the restart deleting it (the
 * folder, no longer empty then, stays). Windows 9x has no such call: they
 * stay. 1 when both are queued. */
static int LeaveAtRestart(const Uninstallation *un)
{
    char aside[STANDIN_PATH_MAX];
    const char *queued = un->self;
    for (int n = 1; n < 100; n++) {
        int len = snprintf(aside, sizeof aside, "%s.old%d", un->self, n);
        if (len <= 0 || (size_t)len >= sizeof aside)
            break;
        if (MoveFileA(un->self, aside)) {
            queued = aside;
            break;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS && GetLastError() != ERROR_FILE_EXISTS)
            break;
    }
    return MoveFileExA(queued, NULL, MOVEFILE_DELAY_UNTIL_REBOOT) &&
           MoveFileExA(un->home.path, NULL, MOVEFILE_DELAY_UNTIL_REBOOT);
}

/* Adds to the text of the final message; a text too long is cut. */
static void Append(char *text, size_t cap, const char *format, ...)
{
    size_t n = strlen(text);
    va_list args;
    va_start(args, format);
    vsnprintf(text + n, cap - n, format, args);
    va_end(args);
}

/* Says what was done and, first, what could not be. */
static void Report(const Uninstallation *un, const Outcome *out)
{
    char text[1024];
    int failed = out->filesKept || out->keysKept || out->recordKept;
    snprintf(text, sizeof text, "%s",
             failed ? "La désinstallation de K.V.L n'est pas complète." : "K.V.L a été désinstallé.");
    if (out->filesKept)
        Append(text, sizeof text,
               "\n\n%d fichier(s) installé(s) par Setup n'ont pas pu être supprimés, dont %s\\%s (le jeu est-il "
               "ouvert ?). K.V.L reste enregistré : relancez la désinstallation.",
               out->filesKept, un->installDir, out->firstKept);
    else if (out->keysKept)
        Append(text, sizeof text, "\n\nLes clés de K.V.L dans le registre n'ont pas pu être supprimées.");
    if (out->recordKept)
        Append(text, sizeof text, "\n\nLe fichier %s n'a pas pu être supprimé.", un->recordPath);
    if (!un->removesKeys)
        Append(text, sizeof text,
               "\n\nK.V.L reste enregistré sur cet ordinateur : achevez sa désinstallation par « Ajout/Suppression "
               "de programmes ».");
    if (out->folderKept && !out->filesKept)
        Append(text, sizeof text,
               "\n\nLe dossier %s contient encore des fichiers qui n'ont pas été installés par Setup, ou que vous "
               "avez modifiés (sauvegardes, captures...) : il a été conservé.",
               un->installDir);
    if (out->selfKept && un->place == RUN_IN_INSTALL)
        Append(text, sizeof text,
               "\n\nCe programme de désinstallation et le fichier Install.log restent dans le dossier %s : "
               "supprimez-les vous-même.",
               un->home.path);
    else if (out->selfKept && failed && !out->filesKept)
        Append(text, sizeof text, "\n\nLe programme de désinstallation reste dans le dossier %s : relancez-le avec "
               "les droits d'administrateur.", un->home.path);
    else if (out->selfKept)
        Append(text, sizeof text, "\n\nLe programme de désinstallation et son dossier %s restent : supprimez-les "
               "vous-même.", un->home.path);
    Say(NULL, UNINSTALL_CAPTION, (failed ? MB_ICONEXCLAMATION : MB_ICONINFORMATION) | MB_OK, "%s", text);
}

static int Uninstall(Uninstallation *un)
{
    char dir[STANDIN_PATH_MAX];
    RegisteredInstallDir(un->installDir, sizeof un->installDir);
    if (!FolderOfPath(un->self, dir, sizeof dir) || !FindPlace(un, dir) || !OpenInstallFolder(dir, &un->home))
        return Refuse(un, dir);
    int held = HoldRecord(un);
    if (held == 0)
        return Refuse(un, dir);
    /* The keys go only with the layout they name: an uninstaller left
     * behind by an older Setup does not unregister a newer installation. */
    un->removesKeys = un->place == RUN_AT_HOME || RegisteredAsSelf(un);
    if (held < 0 || (un->removesKeys && (!CanDeleteKey(HKEY_LOCAL_MACHINE, PRODUCT_KEY, REGISTRY_32BIT_VIEW) ||
                                          !CanDeleteKey(HKEY_LOCAL_MACHINE, UNINSTALL_KEY, REGISTRY_32BIT_VIEW))))
        return RefuseWithoutRights(un);
    long size = ReadOpenedLog(un->record, un->logText, sizeof un->logText);
    un->logLineCount =
        size < 0 ? -1 : SplitInstallLog(un->logText, (size_t)size, un->logLines, INSTALL_LOG_LINES_MAX);
    if (un->logLineCount < 0 || !OpenInstallation(un))
        return Refuse(un, un->installDir);
    if (!un->args.silent &&
        Say(NULL, UNINSTALL_CAPTION, MB_ICONQUESTION | MB_YESNO | MB_DEFBUTTON2,
            "Voulez-vous vraiment désinstaller K.V.L ?\n\nLes fichiers du jeu seront supprimés de :\n%s",
            un->installDir) != IDYES)
        return 2;

    Outcome out;
    memset(&out, 0, sizeof out);
    if (un->folderOpen)
        RemoveRecordedFiles(un, &out);
    if (un->place == RUN_AT_HOME) {
        out.folderKept = un->folderOpen && !RemoveInstallFolder(&un->folder);
        un->folderOpen = 0;
    } else {
        /* This program and its log stay in the install folder. */
        out.folderKept = 0;
    }
    /* The registration goes before the record: until then the
     * uninstallation can be started again. Files of the game that could
     * not go keep both, so that it can be. */
    out.keysKept = un->removesKeys && (out.filesKept || !RemoveKeys());
    if (un->place == RUN_AT_HOME) {
        out.recordKept = !out.keysKept && !RemoveRecord(un);
        /* Without its keys or its record gone, the uninstaller stays to be
         * run again. */
        out.selfKept = out.keysKept || out.recordKept || !LeaveAtRestart(un);
    } else {
        out.selfKept = 1;
    }
    if (!un->args.silent)
        Report(un, &out);
    return out.filesKept || out.keysKept || out.recordKept ? 1 : 0;
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    LimitDllSearchToSystem32();
    Uninstallation un;
    memset(&un, 0, sizeof un);
    un.record = INVALID_HANDLE_VALUE;
    un.home.guard = INVALID_HANDLE_VALUE;
    un.folder.guard = INVALID_HANDLE_VALUE;
    if (!ParseStandinArgs(GetCommandLineA(), &un.args) || !OwnPath(un.self, sizeof un.self) ||
        !strrchr(un.self, '\\'))
        return 1;
    /* Neither folder may stay this program's current directory: both may
     * have to go. */
    SetCurrentDirectoryA("\\");
    int result = Uninstall(&un);
    if (un.record != INVALID_HANDLE_VALUE)
        CloseHandle(un.record);
    if (un.folderOpen && un.place == RUN_AT_HOME)
        CloseInstallFolder(&un.folder);
    CloseInstallFolder(&un.home);
    return result;
}
