/* Win32 helpers shared by the demo disc's programs. */
#ifndef KVL_STANDIN_WIN_H
#define KVL_STANDIN_WIN_H

#include <windows.h>

#define PRODUCT_KEY_PATH   "SOFTWARE\\BRIXOLAN\\K.V.L\\1.0"
#define PRODUCT_KEY_PARENT "SOFTWARE\\BRIXOLAN\\K.V.L"
#define PRODUCT_KEY_NAME   "1.0"
#define VENDOR_KEY_PARENT  "SOFTWARE\\BRIXOLAN"
#define VENDOR_KEY_NAME    "K.V.L"
#define COMPANY_KEY_PARENT "SOFTWARE"
#define COMPANY_KEY_NAME   "BRIXOLAN"
#define UNINSTALL_PARENT   "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall"
#define UNINSTALL_NAME     "K.V.L"

/* The launcher and the game are 32-bit programs: on a 64-bit Windows they
 * see HKEY_LOCAL_MACHINE\SOFTWARE through its 32-bit view, so the disc's
 * programs read and write that same view. */
#define STANDIN_VIEW KEY_WOW64_32KEY

/* Full path of this program; 1, or 0 when it does not fit. */
int OwnPath(char *out, DWORD cap);

/* Creates dir and every missing folder above it. 1 when dir exists after. */
int CreateFolderTree(const char *dir);

int SetStringValue(HKEY key, const char *name, const char *text);
int SetDwordValue(HKEY key, const char *name, DWORD value);
/* Reads a REG_DWORD; 1 when it was there with that type and size. */
int GetDwordValue(HKEY key, const char *name, DWORD *value);
/* Reads a string into text (capacity cap), always terminated; 1 when read. */
int GetStringValue(HKEY key, const char *name, char *text, DWORD cap);

/* Deletes key name below root\parent in the 32-bit view. The key must have
 * no sub-keys (a shared parent key still in use is thus left alone). 1 when
 * it is gone afterwards (also when it never existed). */
int DeleteKey(HKEY root, const char *parent, const char *name, REGSAM view);

/* Shows a message box with the program's caption; returns its result. */
int Say(HWND owner, const char *caption, UINT style, const char *format, ...);

#endif
