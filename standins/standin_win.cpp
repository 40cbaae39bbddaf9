#include "standins/standin_win.h"
#include "common/dialogstate.h"
#include "common/export.h"
#include "common/regread.h"
#include "standins/standin_core.h"
#include "standins/standin_res.h"

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

int OwnPath(char *out, DWORD cap)
{
    DWORD n = GetModuleFileNameA(NULL, out, cap);
    if (n == 0 || n >= cap) {
        if (cap)
            out[0] = '\0';
        return 0;
    }
    return 1;
}

int FolderIsEmpty(const char *dir)
{
    char pattern[STANDIN_PATH_MAX];
    WIN32_FIND_DATAA found;
    if (!JoinPath(pattern, sizeof pattern, dir, "*"))
        return 0;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    int empty = 1;
    do {
        if (strcmp(found.cFileName, ".") != 0 && strcmp(found.cFileName, "..") != 0)
            empty = 0;
    } while (empty && FindNextFileA(search, &found));
    FindClose(search);
    return empty;
}

int CreateFolderTree(const char *dir, size_t *firstCreated)
{
    if (firstCreated)
        *firstCreated = 0;
    char path[STANDIN_PATH_MAX];
    size_t n = strlen(dir);
    if (n == 0 || n >= sizeof path)
        return 0;
    memcpy(path, dir, n + 1);
    /* Create each step after the head ("X:\" or "\\server\share\"). */
    size_t i = 0;
    if (n >= 3 && path[1] == ':')
        i = 3;
    else if (path[0] == '\\' && path[1] == '\\') {
        int steps = 0;
        for (i = 2; i < n && steps < 2; i++)
            if (path[i] == '\\')
                steps++;
    }
    for (; i <= n; i++) {
        if (path[i] != '\\' && path[i] != '\0')
            continue;
        char keep = path[i];
        path[i] = '\0';
        if (CreateDirectoryA(path, NULL) && firstCreated && *firstCreated == 0)
            *firstCreated = i;
        path[i] = keep;
    }
    DWORD attr = GetFileAttributesA(dir);
    return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY);
}

int SetStringValue(HKEY key, const char *name, const char *text)
{
    return RegSetValueExA(key, name, 0, REG_SZ, (const BYTE *)text, (DWORD)strlen(text) + 1) == ERROR_SUCCESS;
}

int SetDwordValue(HKEY key, const char *name, DWORD value)
{
    return RegSetValueExA(key, name, 0, REG_DWORD, (const BYTE *)&value, sizeof value) == ERROR_SUCCESS;
}

int GetDwordValue(HKEY key, const char *name, DWORD *value)
{
    static const RegistryRead AsDword = { REGISTRY_EXACT, REGISTRY_TYPE(REG_DWORD), REGISTRY_32BIT_VIEW };
    DWORD v = 0;
    if (!ReadRegistryValue(key, name, &AsDword, &v, sizeof v))
        return 0;
    *value = v;
    return 1;
}

int GetStringValue(HKEY key, const char *name, char *text, DWORD cap)
{
    static const RegistryRead AsString = { REGISTRY_TEXT, REGISTRY_STRING_TYPES, REGISTRY_32BIT_VIEW };
    return ReadRegistryValue(key, name, &AsString, text, cap);
}

int DeleteKey(HKEY root, const char *parent, const char *name, REGSAM view)
{
    HKEY key;
    LONG rc = RegOpenKeyExA(root, parent, 0, KEY_ALL_ACCESS | view, &key);
    if (rc == ERROR_FILE_NOT_FOUND)
        return 1;
    if (rc != ERROR_SUCCESS)
        return 0;
    rc = RegDeleteKeyA(key, name);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}

int Say(HWND owner, const char *caption, UINT style, const char *format, ...)
{
    char text[1024];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return MessageBoxA(owner, text, caption, style | MB_SETFOREGROUND);
}

/* ---- The program's dialog --------------------------------------------- */

static void OnStandinDialogInit(HWND dialog, const StandinDialog *state)
{
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(dialog, GWLP_HINSTANCE));
    SendMessageA(dialog, WM_SETICON, ICON_BIG, (LPARAM)LoadIconA(instance, MAKEINTRESOURCEA(IDI_STANDIN)));
    state->onInit(dialog, state->state);
    SetForegroundWindow(dialog);
}

static INT_PTR CALLBACK StandinDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    const StandinDialog *state = DialogState<const StandinDialog>(dialog, message, lParam);
    if (!state)
        return FALSE;
    switch (message) {
    case WM_INITDIALOG:
        OnStandinDialogInit(dialog, state);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == state->actionId) {
            state->onAction(dialog, state->state);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

INT_PTR RunStandinDialog(HINSTANCE instance, const StandinDialog *dialog)
{
    return DialogBoxParamA(instance, MAKEINTRESOURCEA(dialog->templateId), NULL, StandinDialogProc,
                           reinterpret_cast<LPARAM>(dialog));
}

int RegisteredInstallDir(char *out, size_t cap)
{
    if (cap)
        out[0] = '\0';
    static const RegistryRead AsString = { REGISTRY_TEXT, REGISTRY_STRING_TYPES, REGISTRY_32BIT_VIEW };
    char stored[STANDIN_PATH_MAX];
    int known = ReadRegistryKeyValue(HKEY_LOCAL_MACHINE, PRODUCT_KEY, "ExeDir", &AsString, stored, sizeof stored);
    return known && NormaliseInstallDir(stored, out, cap) == DIR_OK;
}

/* The system's key that names its folders of programs. */
#define WINDOWS_FOLDERS_KEY "SOFTWARE\\Microsoft\\Windows\\CurrentVersion"

static int ProductFolderBelow(const char *base, const char *step, char *out, size_t cap)
{
    char joined[STANDIN_PATH_MAX], inner[STANDIN_PATH_MAX];
    return JoinPath(inner, sizeof inner, base, step) && JoinPath(joined, sizeof joined, inner, PRODUCT_FOLDER) &&
           NormaliseInstallDir(joined, out, cap) == DIR_OK;
}

int ProductFolder(char *out, size_t cap)
{
    static const RegistryRead AsString = { REGISTRY_TEXT, REGISTRY_STRING_TYPES, REGISTRY_32BIT_VIEW };
    char base[STANDIN_PATH_MAX];
    if (cap)
        out[0] = '\0';
    /* Present from Windows 95 on; a system without it still has the
     * common files below its programs' folder. */
    if (ReadRegistryKeyValue(HKEY_LOCAL_MACHINE, WINDOWS_FOLDERS_KEY, "CommonFilesDir", &AsString, base, sizeof base) &&
        base[0] && ProductFolderBelow(base, "", out, cap))
        return 1;
    if (ReadRegistryKeyValue(HKEY_LOCAL_MACHINE, WINDOWS_FOLDERS_KEY, "ProgramFilesDir", &AsString, base, sizeof base) &&
        base[0] && ProductFolderBelow(base, "Common Files", out, cap))
        return 1;
    if (cap)
        out[0] = '\0';
    return 0;
}

int CanDeleteKey(HKEY root, const char *path, REGSAM view)
{
    HKEY key;
    LONG rc = RegOpenKeyExA(root, path, 0, DELETE | KEY_QUERY_VALUE | view, &key);
    if (rc == ERROR_FILE_NOT_FOUND)
        return 1;
    if (rc != ERROR_SUCCESS)
        return 0;
    RegCloseKey(key);
    return 1;
}

/* ---- Working inside an install folder ---------------------------------- */

/* Calls a Windows 95 does not have, looked up when needed. */
typedef DWORD(WINAPI *FinalPathFunction)(HANDLE, LPSTR, DWORD, DWORD);
typedef BOOL(WINAPI *SetInformationFunction)(HANDLE, int, void *, DWORD);

/* ntdll's IO_STATUS_BLOCK: a status or a pointer, then a count. */
struct IoStatusBlock {
    ULONG_PTR status;
    ULONG_PTR information;
};
typedef LONG(NTAPI *NtSetInformationFunction)(HANDLE, IoStatusBlock *, void *, ULONG, int);

template <typename Proc> static Proc KernelFunction(const char *name)
{
    return ExportAs<Proc>(GetModuleHandleA("kernel32.dll"), name);
}

/* The information classes of SetFileInformationByHandle, and those of
 * NtSetInformationFile for the same records. */
enum { INFO_BASIC = 0, INFO_DISPOSITION = 4 };
enum { NT_FILE_BASIC = 4, NT_FILE_DISPOSITION = 13 };
struct BasicInformation {
    LARGE_INTEGER creation, lastAccess, lastWrite, change;
    DWORD attributes;
};
struct DispositionInformation {
    BOOLEAN deleteFile;
};
static_assert(sizeof(BasicInformation) == 40, "the system's FILE_BASIC_INFO, 40 bytes for either pointer size");

/* The path the system resolves an open handle to: 1, 0 when it fails, -1
 * when the system cannot tell (Windows before Vista). */
static int FinalPathOf(HANDLE item, char *out, DWORD cap)
{
    FinalPathFunction finalPath = KernelFunction<FinalPathFunction>("GetFinalPathNameByHandleA");
    out[0] = '\0';
    if (!finalPath)
        return -1;
    DWORD n = finalPath(item, out, cap, 0);
    if (n == 0 || n >= cap) {
        out[0] = '\0';
        return 0;
    }
    return 1;
}

static int IsPlain(DWORD attr, int isFolder)
{
    return attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_REPARSE_POINT) &&
           !(attr & FILE_ATTRIBUTE_DIRECTORY) == !isFolder;
}

int OpenInstallFolder(const char *dir, InstallFolder *folder)
{
    memset(folder, 0, sizeof *folder);
    folder->guard = INVALID_HANDLE_VALUE;
    if (NormaliseInstallDir(dir, folder->path, sizeof folder->path) != DIR_OK ||
        !IsPlain(GetFileAttributesA(folder->path), 1))
        return 0;
    /* Without delete sharing, nobody can rename the folder or swap it for
     * a link while it is open. */
    HANDLE guard = CreateFileA(folder->path, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, NULL);
    if (guard == INVALID_HANDLE_VALUE) {
        /* Windows 95 cannot open a folder; it has no links either. */
        return (GetVersion() & 0x80000000u) != 0;
    }
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(guard, &info) || !IsPlain(info.dwFileAttributes, 1) ||
        FinalPathOf(guard, folder->finalPath, sizeof folder->finalPath) == 0) {
        CloseHandle(guard);
        return 0;
    }
    folder->guard = guard;
    return 1;
}

void CloseInstallFolder(InstallFolder *folder)
{
    if (folder->guard != INVALID_HANDLE_VALUE)
        CloseHandle(folder->guard);
    folder->guard = INVALID_HANDLE_VALUE;
}

int OpenedInside(const InstallFolder *folder, HANDLE item, int isFolder)
{
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(item, &info) || !IsPlain(info.dwFileAttributes, isFolder))
        return 0;
    char final[STANDIN_PATH_MAX];
    int known = FinalPathOf(item, final, sizeof final);
    if (known < 0)
        return 1;   /* the steps were checked by name: all the system allows */
    return known == 1 && PathIsInside(folder->finalPath, final);
}

HANDLE OpenBelow(const InstallFolder *folder, const char *relative, int isFolder, DWORD access, char *path)
{
    if (!JoinPath(path, STANDIN_PATH_MAX, folder->path, relative))
        return INVALID_HANDLE_VALUE;
    for (size_t i = strlen(folder->path) + 1;; i++) {
        char keep = path[i];
        if (keep != '\\' && keep != '\0')
            continue;
        path[i] = '\0';
        DWORD attr = GetFileAttributesA(path);
        path[i] = keep;
        if (!IsPlain(attr, keep == '\\' || isFolder))
            return INVALID_HANDLE_VALUE;
        if (keep == '\0')
            break;
    }
    DWORD share = isFolder ? FILE_SHARE_READ | FILE_SHARE_WRITE : FILE_SHARE_READ;
    DWORD flags = FILE_FLAG_OPEN_REPARSE_POINT | (isFolder ? FILE_FLAG_BACKUP_SEMANTICS : 0);
    HANDLE item = CreateFileA(path, access, share, NULL, OPEN_EXISTING, flags, NULL);
    if (item != INVALID_HANDLE_VALUE && !OpenedInside(folder, item, isFolder)) {
        CloseHandle(item);
        item = INVALID_HANDLE_VALUE;
    }
    return item;
}

/* Sets one record of an opened file (INFO_BASIC or INFO_DISPOSITION)
 * through whichever call the system has; 1 when set. */
typedef int (*InformationSetter)(HANDLE item, int record, void *data, DWORD size);

static int SetByHandle(HANDLE item, int record, void *data, DWORD size)
{
    SetInformationFunction setInformation =
        KernelFunction<SetInformationFunction>("SetFileInformationByHandle");
    return setInformation && setInformation(item, record, data, size);
}

static int SetThroughNtdll(HANDLE item, int record, void *data, DWORD size)
{
    NtSetInformationFunction setInformation =
        ExportAs<NtSetInformationFunction>(GetModuleHandleA("ntdll.dll"), "NtSetInformationFile");
    IoStatusBlock status = { 0, 0 };
    return setInformation &&
           setInformation(item, &status, data, size, record == INFO_BASIC ? NT_FILE_BASIC : NT_FILE_DISPOSITION) >= 0;
}

static int DeleteOpenedWith(HANDLE item, InformationSetter set)
{
    /* A file with another name elsewhere is shared with whoever made that
     * link: its attributes and its names are left as they are. (A handle
     * without FILE_READ_ATTRIBUTES, of a file just created, tells
     * nothing; its attributes are then not changed either.) */
    BY_HANDLE_FILE_INFORMATION info;
    int known = GetFileInformationByHandle(item, &info) != 0;
    if (known && !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && info.nNumberOfLinks > 1)
        return 0;
    if (known && (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY)) {
        BasicInformation basic;
        memset(&basic, 0, sizeof basic);   /* zero times: left as they are */
        basic.attributes = info.dwFileAttributes & ~(DWORD)FILE_ATTRIBUTE_READONLY;
        if (basic.attributes == 0)
            basic.attributes = FILE_ATTRIBUTE_NORMAL;
        set(item, INFO_BASIC, &basic, sizeof basic);
    }
    DispositionInformation disposition = { TRUE };
    return set(item, INFO_DISPOSITION, &disposition, sizeof disposition);
}

int DeleteOpened(HANDLE item)
{
    if (KernelFunction<SetInformationFunction>("SetFileInformationByHandle"))
        return DeleteOpenedWith(item, SetByHandle);
    /* Windows 9x has neither call; it has no other accounts nor links. */
    if (GetVersion() & 0x80000000u)
        return -1;
    return DeleteOpenedThroughNtdll(item);
}

int DeleteOpenedThroughNtdll(HANDLE item)
{
    if (!ExportAs<NtSetInformationFunction>(GetModuleHandleA("ntdll.dll"), "NtSetInformationFile"))
        return -1;
    return DeleteOpenedWith(item, SetThroughNtdll);
}

void DiscardOpened(HANDLE item, const char *path)
{
    int removed = DeleteOpened(item);
    CloseHandle(item);
    if (removed < 0)
        DeleteFileA(path);
}

int RecordOfFile(HANDLE file, FileRecord *record)
{
    static unsigned char chunk[65536];
    record->size = 0;
    record->sum = FNV1A_START;
    if (SetFilePointer(file, 0, NULL, FILE_BEGIN) == INVALID_SET_FILE_POINTER)
        return 0;
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file, chunk, sizeof chunk, &got, NULL))
            return 0;
        if (got == 0)
            return 1;
        record->size += got;
        record->sum = Fnv1a(record->sum, chunk, got);
    }
}

int RemoveBelow(const InstallFolder *folder, const char *relative, int isFolder, const FileRecord *expected)
{
    char path[STANDIN_PATH_MAX];
    DWORD access = DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES | (expected ? GENERIC_READ : 0);
    HANDLE item = OpenBelow(folder, relative, isFolder, access, path);
    if (item == INVALID_HANDLE_VALUE)
        return 0;
    int ours = 1;
    if (expected && !isFolder) {
        FileRecord found;
        ours = RecordOfFile(item, &found) && found.size == expected->size && found.sum == expected->sum;
    }
    int removed = ours ? DeleteOpened(item) : 0;
    CloseHandle(item);
    if (removed >= 0)
        return removed;
    /* Windows 9x deletes by name, right after the checks: it has no other
     * accounts and no links to swap in. */
    if (isFolder)
        return RemoveDirectoryA(path) != 0;
    SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
    return DeleteFileA(path) != 0;
}

int RemoveInstallFolder(InstallFolder *folder)
{
    CloseInstallFolder(folder);
    if (!IsPlain(GetFileAttributesA(folder->path), 1))
        return 0;
    HANDLE item = CreateFileA(folder->path, DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, NULL);
    if (item == INVALID_HANDLE_VALUE)
        return (GetVersion() & 0x80000000u) ? RemoveDirectoryA(folder->path) != 0 : 0;
    BY_HANDLE_FILE_INFORMATION info;
    char final[STANDIN_PATH_MAX];
    int same = GetFileInformationByHandle(item, &info) && IsPlain(info.dwFileAttributes, 1);
    int known = FinalPathOf(item, final, sizeof final);
    if (known >= 0)
        same = same && known == 1 && lstrcmpiA(final, folder->finalPath) == 0;
    int removed = same ? DeleteOpened(item) : 0;
    CloseHandle(item);
    if (removed >= 0)
        return removed;
    return RemoveDirectoryA(folder->path) != 0;
}

long ReadOpenedLog(HANDLE log, char *text, size_t cap)
{
    if (cap < INSTALL_LOG_MAX + 1 || SetFilePointer(log, 0, NULL, FILE_BEGIN) == INVALID_SET_FILE_POINTER)
        return -1;
    /* Read one byte more than allowed, to see a log that is too large. */
    size_t size = 0;
    DWORD got = 1;
    while (got && size <= INSTALL_LOG_MAX) {
        if (!ReadFile(log, text + size, (DWORD)(INSTALL_LOG_MAX + 1 - size), &got, NULL))
            return -1;
        size += got;
    }
    return size <= INSTALL_LOG_MAX ? (long)size : -1;
}

long ReadInstallLog(const InstallFolder *folder, char *text, size_t cap)
{
    char path[STANDIN_PATH_MAX];
    if (cap < INSTALL_LOG_MAX + 1)
        return -1;
    HANDLE log = OpenBelow(folder, INSTALL_LOG_NAME, 0, GENERIC_READ, path);
    if (log == INVALID_HANDLE_VALUE)
        return -1;
    long size = ReadOpenedLog(log, text, cap);
    CloseHandle(log);
    return size;
}

/* Whether folder holds a plain Install.log. */
static int HoldsLog(const InstallFolder *folder)
{
    char path[STANDIN_PATH_MAX];
    HANDLE log = OpenBelow(folder, INSTALL_LOG_NAME, 0, FILE_READ_ATTRIBUTES, path);
    if (log == INVALID_HANDLE_VALUE)
        return 0;
    CloseHandle(log);
    return 1;
}

int IsRegisteredFolder(const InstallFolder *folder)
{
    char registered[STANDIN_PATH_MAX], product[STANDIN_PATH_MAX];
    if (!RegisteredInstallDir(registered, sizeof registered) || !SameInstallDir(registered, folder->path))
        return 0;
    if (HoldsLog(folder))
        return 1;
    InstallFolder own;
    if (!ProductFolder(product, sizeof product) || !OpenInstallFolder(product, &own))
        return 0;
    int held = HoldsLog(&own);
    CloseInstallFolder(&own);
    return held;
}
