/* The one reader of registry values, for the launcher and the disc's
 * programs. Every value is read into a bounded buffer of the caller, with
 * the form, the accepted types and, for keys it opens itself, the registry
 * view stated at each call. Anything the registry holds may have been
 * planted, so the size and terminator rules are kept here, once. */
#ifndef KVL_REGREAD_H
#define KVL_REGREAD_H

#include <windows.h>

enum RegistryForm {
    /* The data as stored, at most the buffer's size. */
    REGISTRY_RAW,
    /* The data as stored, exactly the buffer's size (a REG_DWORD's 4 bytes). */
    REGISTRY_EXACT,
    /* A text: as REGISTRY_RAW, and a terminator must lie within the buffer.
     * Data that fills the buffer without one does not fit: it would be cut,
     * and a cut path or command line names something else. */
    REGISTRY_TEXT
};

/* The accepted types, as a set of REGISTRY_TYPE bits; REGISTRY_ANY_TYPE
 * takes any type. */
#define REGISTRY_ANY_TYPE      0u
#define REGISTRY_TYPE(type)    (1u << (type))
#define REGISTRY_STRING_TYPES  (REGISTRY_TYPE(REG_SZ) | REGISTRY_TYPE(REG_EXPAND_SZ))

/* The view of HKEY_LOCAL_MACHINE\SOFTWARE a key is opened in: the
 * program's own, or the one a 32-bit program sees. The game is a 32-bit
 * program, so on a 64-bit Windows its keys live in the 32-bit view, and
 * every build of ours that reads or writes them (the launcher's settings,
 * Setup, the uninstaller, the game stand-in) opens them there. A 32-bit
 * build is in that view already and passes no flag: Windows 2000 refuses
 * KEY_WOW64_32KEY (ERROR_ACCESS_DENIED), and Windows 9x ignores it. */
#define REGISTRY_OWN_VIEW   0
#ifdef _WIN64
#define REGISTRY_32BIT_VIEW KEY_WOW64_32KEY
#else
#define REGISTRY_32BIT_VIEW 0
#endif

struct RegistryRead {
    RegistryForm form;
    DWORD types;    /* REGISTRY_TYPE bits, or REGISTRY_ANY_TYPE */
    REGSAM view;    /* REGISTRY_OWN_VIEW or REGISTRY_32BIT_VIEW */
};

/* What a read met, whether the value fitted or not. */
struct RegistryValueFound {
    LONG status;    /* RegQueryValueExA's result, or that of opening the key */
    DWORD type;
    DWORD length;   /* bytes of data, when status is ERROR_SUCCESS */
};

/* Reads value name of the open key into buffer (size bytes, 1 at least).
 * Returns 1 when the value exists, its type is accepted and its data fits
 * by the form's rule; the bytes after the data are zero, so a text is
 * terminated. Otherwise 0, and buffer holds zeros (an empty text). found,
 * when given, says what was met. */
int ReadRegistryValue(HKEY key, const char *name, const RegistryRead *how, void *buffer, DWORD size,
                      RegistryValueFound *found = NULL);

/* The same for a value of root\path, which is opened for reading in how's
 * view and closed again. */
int ReadRegistryKeyValue(HKEY root, const char *path, const char *name, const RegistryRead *how, void *buffer,
                         DWORD size, RegistryValueFound *found = NULL);

#endif
