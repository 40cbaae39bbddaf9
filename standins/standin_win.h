/* Win32 helpers shared by the demo disc's programs. */
#ifndef KVL_STANDIN_WIN_H
#define KVL_STANDIN_WIN_H

#include <windows.h>

#include "standins/standin_core.h"

#include "common/registrykeys.h"
#include "common/regread.h"

/* Full path of this program; 1, or 0 when it does not fit. */
int OwnPath(char *out, DWORD cap);

/* 1 when dir can be listed and holds nothing but "." and "..". */
int FolderIsEmpty(const char *dir);

/* Creates dir and every missing folder above it. 1 when dir exists after;
 * firstCreated (if given) then holds the length of the highest folder it
 * made (a prefix of dir), or 0 when it made none. */
int CreateFolderTree(const char *dir, size_t *firstCreated);

int SetStringValue(HKEY key, const char *name, const char *text);
int SetDwordValue(HKEY key, const char *name, DWORD value);
/* Reads a REG_DWORD; 1 when it was there with that type and size. */
int GetDwordValue(HKEY key, const char *name, DWORD *value);
/* Reads a string (REG_SZ or REG_EXPAND_SZ) into text (capacity cap), always
 * terminated; 1 when read and it ends within cap. */
int GetStringValue(HKEY key, const char *name, char *text, DWORD cap);

/* Deletes key name below root\parent in the 32-bit view. The key must have
 * no sub-keys (a shared parent key still in use is thus left alone). 1 when
 * it is gone afterwards (also when it never existed). */
int DeleteKey(HKEY root, const char *parent, const char *name, REGSAM view);

/* The install folder registered as ExeDir, normalised; 1 when there is a
 * valid one. */
int RegisteredInstallDir(char *out, size_t cap);

/* The product's own folder, "<CommonFilesDir>\BRIXOLAN\K.V.L", with
 * CommonFilesDir read from the system's key in the 32-bit view, or
 * ProgramFilesDir + "\Common Files" when it is missing. On NT it takes
 * the access of the programs' folder: only administrators and the system
 * can change it. Normalised, no trailing backslash; 1, or 0 when neither
 * value gives a valid folder. */
int ProductFolder(char *out, size_t cap);

/* Whether root\path (in view) may be deleted by this program: 1 when it
 * opens with DELETE access or does not exist. */
int CanDeleteKey(HKEY root, const char *path, REGSAM view);

/* ---- Working inside an install folder ----------------------------------
 * Other accounts may write into the folder and its parents, so each item
 * is checked before it is read or removed: every step of its path must be
 * a plain file or folder (no junction, symbolic link or mount point), and,
 * where the system can tell, the opened item must really lie inside the
 * folder. Removal then acts on the opened item itself. */
struct InstallFolder {
    char path[STANDIN_PATH_MAX];        /* normalised, no trailing backslash */
    char finalPath[STANDIN_PATH_MAX];   /* as the system resolves it; "" when it cannot tell */
    HANDLE guard;                       /* held open so that the folder cannot be moved away */
};

/* Opens dir when it is a real folder, not a reparse point. 1 on success. */
int OpenInstallFolder(const char *dir, InstallFolder *folder);
void CloseInstallFolder(InstallFolder *folder);

/* Opens relative (a file, or a folder when isFolder) below the folder with
 * the given access after the checks above; INVALID_HANDLE_VALUE when it is
 * missing or unsafe. path (STANDIN_PATH_MAX) receives its full path. */
HANDLE OpenBelow(const InstallFolder *folder, const char *relative, int isFolder, DWORD access, char *path);

/* Whether the handle opened by name below the folder (isFolder telling its
 * kind) is a plain item that really lies inside it. */
int OpenedInside(const InstallFolder *folder, HANDLE item, int isFolder);

/* Deletes the opened item itself (it goes when its last handle closes), read-only or not;
 * the handle needs DELETE and FILE_WRITE_ATTRIBUTES access. A file with more than one
 * name (a hard link) is refused before anything is changed. 1 when done, 0 when
 * refused, -1 when the system cannot delete by handle (Windows 9x). */
int DeleteOpened(HANDLE item);

/* DeleteOpened as the NT family does it before Vista, which lacks
 * SetFileInformationByHandle: through ntdll's NtSetInformationFile. -1
 * when ntdll has no such call. Open to callers so that a system with the
 * later call can still run this way. */
int DeleteOpenedThroughNtdll(HANDLE item);

/* Deletes the file path that item has open, and closes item: by the
 * handle, else (Windows 9x) by name. */
void DiscardOpened(HANDLE item, const char *path);

/* Removes relative below the folder after the checks above: a file only
 * when it still holds the bytes of expected (any file when expected is
 * NULL), a folder only when it is empty. 1 when removed. */
int RemoveBelow(const InstallFolder *folder, const char *relative, int isFolder, const FileRecord *expected);

/* Closes the folder and removes it when it is empty and still the same
 * real folder. 1 when removed. */
int RemoveInstallFolder(InstallFolder *folder);

/* Size and checksum of an open file's bytes, read from its start. */
int RecordOfFile(HANDLE file, FileRecord *record);

/* Reads an open log whole, from its start, into text (capacity at least
 * INSTALL_LOG_MAX + 1). Its size, or -1 when it cannot be read or is larger
 * than INSTALL_LOG_MAX. */
long ReadOpenedLog(HANDLE log, char *text, size_t cap);

/* Reads the folder's Install.log whole into text (capacity at least
 * INSTALL_LOG_MAX + 1). Its size, or -1 when it is missing, unsafe or
 * larger than INSTALL_LOG_MAX: a log is never cut. */
long ReadInstallLog(const InstallFolder *folder, char *text, size_t cap);

/* 1 when the folder is the registered installation: ExeDir names it and
 * its Install.log is there as a plain file, in the product's folder or, as
 * an older Setup left it, in the folder itself. */
int IsRegisteredFolder(const InstallFolder *folder);

/* Shows a message box with the program's caption; returns its result. */
int Say(HWND owner, const char *caption, UINT style, const char *format, ...);

/* The one dialog of a disc program: it shows the disc's icon and comes to
 * the front. onInit fills it; its action button calls onAction; Cancel
 * ends it with IDCANCEL. Both handlers get state. */
struct StandinDialog {
    int templateId;
    int actionId;
    void (*onInit)(HWND dialog, void *state);
    void (*onAction)(HWND dialog, void *state);
    void *state;
};

/* Runs the dialog of the program's template; what EndDialog was given, or
 * -1 when it could not be shown. */
INT_PTR RunStandinDialog(HINSTANCE instance, const StandinDialog *dialog);

#endif
