/* Uninst.exe, written into the install folder by Setup: removes the game's
 * files and folder and its registry keys.
 *
 *   Uninst.exe           asks for confirmation, then uninstalls
 *   Uninst.exe /S        uninstalls without a question or a message
 *
 * It often runs with an administrator's rights in a folder other accounts
 * can write to, so it trusts nothing it finds there. Each stage first
 * checks that it works on the registered installation: ExeDir names the
 * folder, the folder is a real folder (not a junction or a link), and it
 * holds Install.log, read whole. Otherwise it deletes nothing, touches no
 * key and ends with exit code 1. The log is only a list of candidates: an
 * item is removed when it lies inside the folder with no link on its way,
 * and a file only while it still holds the bytes Setup wrote, so files the
 * player added or changed stay.
 *
 * Each stage holds its own file open from its start to its end, so that
 * nobody can rename, replace or change it, and checks, by the file and not
 * its name, that the file held is the one it runs from.
 *
 * A running program cannot delete its own file, nor the folder that holds
 * it. So the uninstaller works in two stages: the first, run from the
 * install folder, removes the installed files, copies itself (from its
 * held file) into a new folder under the temporary folder that only the
 * system, the administrators and the user's own token may use, and starts
 * that copy with
 *   /D="<install folder>" /W=<its process id>
 * holding the folder and the copy open, unreplaceable, until it has
 * started. The copy waits for the first stage to end, checks the folder
 * again, deletes the uninstaller's file, the log and the folder, then the
 * keys, and has its own file and folder removed at the next restart.
 * Without such a folder the first stage finishes alone and leaves the
 * install folder and its uninstaller to the user: other accounts could
 * send a deletion queued for the restart elsewhere.
 *
 * Exit code 0 when done (or handed to the second stage), 1 when refused or
 * failed, 2 when the user said no. */
#include <windows.h>
#include <stdio.h>
#include <string.h>

#include "common/dllsearch.h"
#include "common/export.h"
#include "standins/standin_core.h"
#include "standins/standin_res.h"
#include "standins/standin_win.h"

/* The second stage's folder under the temporary folder: "KVU<hex>.tmp". */
#define STAGE_FOLDER_PREFIX "KVU"

/* One stage of the uninstallation: its switches, its own path and file,
 * and the installation it works on with its log, read whole. */
struct Uninstallation {
    StandinArgs args;
    char self[STANDIN_PATH_MAX];
    HANDLE selfFile;   /* held for the whole run, shared for reading only */
    int selfProved;    /* selfFile is known to be the file this program runs from */
    InstallFolder folder;
    char logText[INSTALL_LOG_MAX + 1];
    char *logLines[INSTALL_LOG_LINES_MAX];
    int logLineCount;
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

/* Opens dir as the folder when it is the registered installation, and
 * reads its log whole. */
static int OpenInstallation(Uninstallation *un, const char *dir)
{
    if (!OpenInstallFolder(dir, &un->folder))
        return 0;
    if (IsRegisteredFolder(&un->folder)) {
        long size = ReadInstallLog(&un->folder, un->logText, sizeof un->logText);
        un->logLineCount =
            size < 0 ? -1 : SplitInstallLog(un->logText, (size_t)size, un->logLines, INSTALL_LOG_LINES_MAX);
        if (un->logLineCount >= 0)
            return 1;
    }
    CloseInstallFolder(&un->folder);
    return 0;
}

/* The product key, which names the installation, goes last. */
static void RemoveKeys(void)
{
    /* The launcher's own per-user copy of its settings. */
    DeleteKey(HKEY_CURRENT_USER, PRODUCT_KEY_PARENT, PRODUCT_KEY_NAME, 0);
    DeleteKey(HKEY_CURRENT_USER, VENDOR_KEY_PARENT, VENDOR_KEY_NAME, 0);
    DeleteKey(HKEY_CURRENT_USER, COMPANY_KEY_PARENT, COMPANY_KEY_NAME, 0);
    DeleteKey(HKEY_LOCAL_MACHINE, UNINSTALL_PARENT, UNINSTALL_NAME, REGISTRY_32BIT_VIEW);
    DeleteKey(HKEY_LOCAL_MACHINE, PRODUCT_KEY_PARENT, PRODUCT_KEY_NAME, REGISTRY_32BIT_VIEW);
    DeleteKey(HKEY_LOCAL_MACHINE, VENDOR_KEY_PARENT, VENDOR_KEY_NAME, REGISTRY_32BIT_VIEW);
    DeleteKey(HKEY_LOCAL_MACHINE, COMPANY_KEY_PARENT, COMPANY_KEY_NAME, REGISTRY_32BIT_VIEW);
}

/* Removes what Setup recorded, last entry first, so that each folder is
 * emptied before it is removed. A file line without its size and checksum
 * (a log from an older Setup) cannot prove the file is still ours: kept. */
static void RemoveLoggedFiles(Uninstallation *un)
{
    const char *selfName = strrchr(un->self, '\\') + 1;
    for (int i = un->logLineCount - 1; i >= 0; i--) {
        InstallLogEntry entry;
        if (!ParseInstallLogLine(un->logLines[i], &entry))
            continue;
        if (entry.isFolder)
            RemoveBelow(&un->folder, entry.path, 1, NULL);
        else if (entry.hasRecord && lstrcmpiA(entry.path, selfName) != 0 &&
                 lstrcmpiA(entry.path, INSTALL_LOG_NAME) != 0)
            RemoveBelow(&un->folder, entry.path, 0, &entry.record);
    }
}

/* Calls that Windows 95 or NT 4 lack, looked up when needed. */
typedef BOOL(WINAPI *OpenTokenFunction)(HANDLE, DWORD, PHANDLE);
typedef BOOL(WINAPI *TokenInformationFunction)(HANDLE, TOKEN_INFORMATION_CLASS, LPVOID, DWORD, PDWORD);
typedef BOOL(WINAPI *SidToTextFunction)(PSID, LPSTR *);
typedef BOOL(WINAPI *TextToDescriptorFunction)(LPCSTR, DWORD, PSECURITY_DESCRIPTOR *, PULONG);
typedef LONG(NTAPI *SameMappedFilesFunction)(PVOID, PVOID);

#define DESCRIPTOR_TEXT_REVISION 1   /* SDDL_REVISION_1 */

/* Whether the open file is the very file this program runs from, told by
 * the system from the files themselves, not from their names: 1 when it
 * is, 0 when it is not or the system fails to tell, -1 when this NT
 * system has no call to tell. Windows 9x has one account: 1. */
static int IsOwnFile(HANDLE file)
{
    if (GetVersion() & 0x80000000u)
        return 1;
    SameMappedFilesFunction sameFiles =
        ExportAs<SameMappedFilesFunction>(GetModuleHandleA("ntdll.dll"), "NtAreMappedFilesTheSame");
    if (!sameFiles)
        return -1;
    HANDLE mapping = CreateFileMappingA(file, NULL, PAGE_READONLY | SEC_IMAGE, 0, 0, NULL);
    if (!mapping)
        return 0;
    void *view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    int same = view && sameFiles(GetModuleHandleA(NULL), view) == 0;
    if (view)
        UnmapViewOfFile(view);
    CloseHandle(mapping);
    return same;
}

/* The access of the second stage's folder: full control, passed on to
 * what is made in it, for SYSTEM, the Administrators and this token's
 * default owner alone, and nothing inherited from the temporary folder,
 * which the user's other programs may write. 1 with descriptor (to free
 * with LocalFree), 0 when the system cannot make one (NT 4). */
static int StageFolderAccess(PSECURITY_DESCRIPTOR *descriptor)
{
    HMODULE advapi = GetModuleHandleA("advapi32.dll");
    OpenTokenFunction openToken = ExportAs<OpenTokenFunction>(advapi, "OpenProcessToken");
    TokenInformationFunction tokenInformation = ExportAs<TokenInformationFunction>(advapi, "GetTokenInformation");
    SidToTextFunction sidToText = ExportAs<SidToTextFunction>(advapi, "ConvertSidToStringSidA");
    TextToDescriptorFunction textToDescriptor =
        ExportAs<TextToDescriptorFunction>(advapi, "ConvertStringSecurityDescriptorToSecurityDescriptorA");
    HANDLE token;
    *descriptor = NULL;
    if (!openToken || !tokenInformation || !sidToText || !textToDescriptor ||
        !openToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return 0;
    union {
        TOKEN_OWNER owner;
        BYTE bytes[sizeof(TOKEN_OWNER) + SECURITY_MAX_SID_SIZE];
    } owner;
    DWORD size = 0;
    int known = tokenInformation(token, TokenOwner, &owner, sizeof owner, &size) != 0;
    CloseHandle(token);
    char *ownerText = NULL;
    if (!known || !sidToText(owner.owner.Owner, &ownerText))
        return 0;
    char text[384];
    int len = snprintf(text, sizeof text, "D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FA;;;%s)", ownerText);
    LocalFree(ownerText);
    return len > 0 && (size_t)len < sizeof text && textToDescriptor(text, DESCRIPTOR_TEXT_REVISION, descriptor, NULL);
}

/* The second stage's place: a folder of its own, created new under the
 * temporary folder, so that nothing planted there beforehand (a DLL, a
 * file of the copy's name) lies beside it, and closed to everyone but the
 * system, the administrators and this token. A name already taken is
 * never reused. */
struct StageFolder {
    char path[STANDIN_PATH_MAX];
    HANDLE guard;   /* without delete sharing: the folder cannot be renamed or swapped for a link */
};

static int MakeStageFolder(const char *temp, char *folder)
{
    SECURITY_ATTRIBUTES access = { sizeof access, NULL, FALSE };
    /* Windows 9x has no access lists: the folder is made as any other. */
    if (!(GetVersion() & 0x80000000u) && !StageFolderAccess(&access.lpSecurityDescriptor))
        return 0;
    UINT seed = (UINT)(GetTickCount() ^ GetCurrentProcessId());
    int made = 0;
    for (UINT tries = 0; tries < 100; tries++) {
        UINT unique = (seed + tries * 7919u) & 0xFFFFu;
        /* With a number of ours, GetTempFileNameA only forms the name. */
        if (!GetTempFileNameA(temp, STAGE_FOLDER_PREFIX, unique ? unique : 1u, folder))
            break;
        if (CreateDirectoryA(folder, access.lpSecurityDescriptor ? &access : NULL)) {
            made = 1;
            break;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            break;
    }
    if (access.lpSecurityDescriptor)
        LocalFree(access.lpSecurityDescriptor);
    return made;
}

/* Lets the stage folder go, and removes it when empty. */
static void RemoveStageFolder(StageFolder *stage)
{
    if (stage->guard != INVALID_HANDLE_VALUE)
        CloseHandle(stage->guard);
    stage->guard = INVALID_HANDLE_VALUE;
    RemoveDirectoryA(stage->path);
}

/* Makes the stage folder and holds it; it must still be the plain, empty
 * folder just made. */
static int CreateStageFolder(const char *temp, StageFolder *stage)
{
    stage->guard = INVALID_HANDLE_VALUE;
    if (!MakeStageFolder(temp, stage->path))
        return 0;
    HANDLE guard = CreateFileA(stage->path, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                               FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, NULL);
    if (guard == INVALID_HANDLE_VALUE) {
        /* Windows 9x cannot open a folder; it has no links either. */
        return (GetVersion() & 0x80000000u) != 0;
    }
    stage->guard = guard;
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(guard, &info) || (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ||
        !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !FolderIsEmpty(stage->path)) {
        /* Not what was made: it is left as it is. */
        CloseHandle(guard);
        stage->guard = INVALID_HANDLE_VALUE;
        return 0;
    }
    return 1;
}

/* Reads up to cap bytes, fewer only at the file's end. */
static int ReadChunk(HANDLE file, unsigned char *chunk, DWORD cap, DWORD *got)
{
    *got = 0;
    while (*got < cap) {
        DWORD n = 0;
        if (!ReadFile(file, chunk + *got, cap - *got, &n, NULL))
            return 0;
        if (n == 0)
            break;
        *got += n;
    }
    return 1;
}

/* Whether two open files hold the same bytes, read whole from their start. */
static int SameBytes(HANDLE a, HANDLE b)
{
    static unsigned char left[16384], right[16384];
    if (SetFilePointer(a, 0, NULL, FILE_BEGIN) == INVALID_SET_FILE_POINTER ||
        SetFilePointer(b, 0, NULL, FILE_BEGIN) == INVALID_SET_FILE_POINTER)
        return 0;
    for (;;) {
        DWORD gotLeft, gotRight;
        if (!ReadChunk(a, left, sizeof left, &gotLeft) || !ReadChunk(b, right, sizeof right, &gotRight) ||
            gotLeft != gotRight || memcmp(left, right, gotLeft) != 0)
            return 0;
        if (gotLeft < sizeof left)
            return 1;
    }
}

/* Writes this program, from its held file, as the new file copy. */
static int WriteCopy(const Uninstallation *un, const char *copy)
{
    static unsigned char chunk[16384];
    if (SetFilePointer(un->selfFile, 0, NULL, FILE_BEGIN) == INVALID_SET_FILE_POINTER)
        return 0;
    HANDLE target = CreateFileA(copy, GENERIC_WRITE | DELETE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
    if (target == INVALID_HANDLE_VALUE)
        return 0;
    int ok = 1;
    for (DWORD got = 1; ok && got;) {
        DWORD written = 0;
        ok = ReadChunk(un->selfFile, chunk, sizeof chunk, &got) &&
             (got == 0 || (WriteFile(target, chunk, got, &written, NULL) && written == got));
    }
    if (!ok) {
        DiscardOpened(target, copy);
        return 0;
    }
    CloseHandle(target);
    return 1;
}

/* The copy, reopened for reading with read sharing only: while this
 * handle is open, nobody can write, replace, rename or delete it, and
 * CreateProcessA can still run it. Its bytes must be this program's, all
 * of them, so a file swapped in before the reopening is refused. */
static HANDLE HoldCopy(const char *copy, HANDLE source)
{
    HANDLE held = CreateFileA(copy, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                              FILE_FLAG_OPEN_REPARSE_POINT, NULL);
    if (held == INVALID_HANDLE_VALUE)
        return INVALID_HANDLE_VALUE;
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(held, &info) || (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ||
        !SameBytes(held, source)) {
        CloseHandle(held);
        return INVALID_HANDLE_VALUE;
    }
    return held;
}

/* Copies this program into a folder of its own under the temporary folder
 * and starts the copy, by its full path, on the install folder. 1 when the
 * copy runs. */
static int StartSecondStage(const Uninstallation *un)
{
    char temp[STANDIN_PATH_MAX], copy[STANDIN_PATH_MAX], command[3 * STANDIN_PATH_MAX];
    StageFolder stage;
    DWORD n = GetTempPathA(sizeof temp, temp);
    if (n == 0 || n >= sizeof temp || !CreateStageFolder(temp, &stage))
        return 0;
    HANDLE held = INVALID_HANDLE_VALUE;
    if (JoinPath(copy, sizeof copy, stage.path, UNINSTALLER_NAME) && WriteCopy(un, copy))
        held = HoldCopy(copy, un->selfFile);
    int len = snprintf(command, sizeof command, "\"%s\" /D=\"%s\" /W=%lu%s", copy, un->folder.path,
                       (unsigned long)GetCurrentProcessId(), un->args.silent ? " /S" : "");
    STARTUPINFOA startup;
    PROCESS_INFORMATION process;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    /* The copy must not keep the install folder as its current directory,
     * or the folder could not be removed. */
    int started = held != INVALID_HANDLE_VALUE && len > 0 && (size_t)len < sizeof command &&
                  CreateProcessA(copy, command, NULL, NULL, FALSE, 0, NULL, temp, &startup, &process);
    if (held != INVALID_HANDLE_VALUE)
        CloseHandle(held);
    if (!started) {
        /* Only a copy proved ours is deleted; the folder goes when empty. */
        if (held != INVALID_HANDLE_VALUE)
            DeleteFileA(copy);
        RemoveStageFolder(&stage);
        return 0;
    }
    if (stage.guard != INVALID_HANDLE_VALUE)
        CloseHandle(stage.guard);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 1;
}

static int FirstStage(Uninstallation *un)
{
    char dir[STANDIN_PATH_MAX];
    if (!FolderOfPath(un->self, dir, sizeof dir) || !OpenInstallation(un, dir))
        return Refuse(un, dir);
    if (!un->args.silent &&
        Say(NULL, UNINSTALL_CAPTION, MB_ICONQUESTION | MB_YESNO | MB_DEFBUTTON2,
            "Voulez-vous vraiment désinstaller K.V.L ?\n\nLes fichiers du jeu seront supprimés de :\n%s",
            un->folder.path) != IDYES) {
        CloseInstallFolder(&un->folder);
        return 2;
    }
    SetCurrentDirectoryA("\\");
    RemoveLoggedFiles(un);
    /* A copy is made only of a file proved to be this program. */
    if (un->selfProved && StartSecondStage(un)) {
        CloseInstallFolder(&un->folder);
        return 0;
    }
    /* No second stage: finish here. This file and the folder stay, and no
     * deletion is queued for the restart: other accounts can write the
     * folder and could send it elsewhere by then. */
    RemoveBelow(&un->folder, INSTALL_LOG_NAME, 0, NULL);
    RemoveKeys();
    CloseInstallFolder(&un->folder);
    if (!un->args.silent)
        Say(NULL, UNINSTALL_CAPTION, MB_ICONINFORMATION | MB_OK,
            "K.V.L a été désinstallé. Le dossier %s et son programme de désinstallation restent : "
            "supprimez-les vous-même.",
            un->folder.path);
    return 0;
}

/* The uninstaller's file in the folder goes when it is this very program,
 * byte for byte. The first stage may take a moment to release it. */
static void RemoveUninstaller(Uninstallation *un)
{
    char path[STANDIN_PATH_MAX];
    FileRecord own;
    if (!RecordOfFile(un->selfFile, &own) || !JoinPath(path, sizeof path, un->folder.path, UNINSTALLER_NAME))
        return;
    for (int tries = 0; tries < 50 && GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; tries++) {
        if (RemoveBelow(&un->folder, UNINSTALLER_NAME, 0, &own))
            break;
        Sleep(100);
    }
}

/* A running program cannot delete its own file: the copy, and the folder
 * the first stage made for it, go at the next restart. Without the rights
 * for that they stay in the user's own temporary folder. A folder that is
 * not such a stage folder (this program run by hand with /D=) is left. */
static void LeaveAtRestart(const Uninstallation *un)
{
    char folder[STANDIN_PATH_MAX], temp[STANDIN_PATH_MAX], parent[STANDIN_PATH_MAX];
    MoveFileExA(un->self, NULL, MOVEFILE_DELAY_UNTIL_REBOOT);
    DWORD n = GetTempPathA(sizeof temp, temp);
    if (n == 0 || n >= sizeof temp || !FolderOfPath(un->self, folder, sizeof folder))
        return;
    folder[strlen(folder) - 1] = '\0';   /* without its last backslash */
    const char *name = strrchr(folder, '\\');
    if (!name || !FolderOfPath(folder, parent, sizeof parent) || lstrcmpiA(parent, temp) != 0 ||
        strncmp(name + 1, STAGE_FOLDER_PREFIX, sizeof STAGE_FOLDER_PREFIX - 1) != 0)
        return;
    MoveFileExA(folder, NULL, MOVEFILE_DELAY_UNTIL_REBOOT);
}

static int SecondStage(Uninstallation *un)
{
    if (un->args.waitPid) {
        HANDLE first = OpenProcess(SYNCHRONIZE, FALSE, (DWORD)un->args.waitPid);
        if (first) {
            WaitForSingleObject(first, 10000);
            CloseHandle(first);
        }
    }
    /* The folder comes from the command line: it gets the same check as
     * the first stage's own folder. Refused, this program deletes nothing,
     * not even itself. */
    if (!OpenInstallation(un, un->args.dir))
        return Refuse(un, un->args.dir);
    LeaveAtRestart(un);
    RemoveUninstaller(un);
    RemoveBelow(&un->folder, INSTALL_LOG_NAME, 0, NULL);
    int left = !RemoveInstallFolder(&un->folder);
    /* The registration goes last: until then the uninstallation can be
     * started again. */
    RemoveKeys();
    if (un->args.silent)
        return 0;
    if (left)
        Say(NULL, UNINSTALL_CAPTION, MB_ICONINFORMATION | MB_OK,
            "K.V.L a été désinstallé.\n\nLe dossier %s contient encore des fichiers qui n'ont pas été "
            "installés par Setup, ou que vous avez modifiés (sauvegardes, captures...) : il a été conservé.",
            un->folder.path);
    else
        Say(NULL, UNINSTALL_CAPTION, MB_ICONINFORMATION | MB_OK, "K.V.L a été désinstallé.");
    return 0;
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    Uninstallation un;
    memset(&un, 0, sizeof un);
    /* This program's own file, held before anything else: without write or
     * delete sharing, nobody can rename it aside and put another program
     * in its place, which the first stage would copy and start. */
    un.selfFile = OwnPath(un.self, sizeof un.self)
                      ? CreateFileA(un.self, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL)
                      : INVALID_HANDLE_VALUE;
    /* The second stage runs from a temporary folder: no library of the
     * system's may come from there. */
    LimitDllSearchToSystem32();
    char dir[STANDIN_PATH_MAX];
    if (!ParseStandinArgs(GetCommandLineA(), &un.args) || un.self[0] == '\0' || !strrchr(un.self, '\\') ||
        !FolderOfPath(un.self, dir, sizeof dir))
        return 1;
    /* The file may have been swapped before it was opened: it must be the
     * one this program runs from. An NT system that cannot tell gets no
     * copy of it. */
    int own = un.selfFile == INVALID_HANDLE_VALUE ? 0 : IsOwnFile(un.selfFile);
    if (own == 0)
        return Refuse(&un, un.args.dir[0] ? un.args.dir : dir);
    un.selfProved = own > 0;
    int result = un.args.dir[0] ? SecondStage(&un) : FirstStage(&un);
    CloseHandle(un.selfFile);
    return result;
}
