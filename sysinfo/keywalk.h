/* The depth-first walk of a registry tree behind the probes' searches,
 * free of Win32: the keys come through a few operations of the caller's,
 * so the walk can run on the real registry or on a scripted tree. Each key
 * is shown to the visitor before its subkeys, subkeys in index order.
 *
 * Planted keys cannot make it endless: a link is never followed (the
 * operations report it, and it is skipped), the depth and the path length
 * are bounded, and so is the number of keys visited in one walk. */
#ifndef KVL_KEYWALK_H
#define KVL_KEYWALK_H

#include <stddef.h>

/* A Windows 98 hardware tree holds a few thousand keys. */
#define WALK_KEYS_MAX 20000

/* An open key of the caller's. */
typedef void *WalkKey;

enum KeyOpened {
    WALK_OPENED,        /* *key is open */
    WALK_NOT_OPENED,    /* missing or refused; *error says why */
    WALK_LINK           /* a link to another key: closed again, not followed */
};

/* Why a key was left out; path names it (for an unreadable subkey name,
 * its parent), error is the system's code where there is one. */
enum WalkSkip {
    WALK_SKIP_UNCOUNTED,        /* its subkeys could not be counted */
    WALK_SKIP_UNNAMED,          /* a subkey's name could not be read */
    WALK_SKIP_PATH_TOO_LONG,    /* the path would pass REGISTRY_PATH_MAX characters */
    WALK_SKIP_NOT_OPENED,
    WALK_SKIP_LINK,
    WALK_SKIP_CAP_REACHED       /* WALK_KEYS_MAX keys visited: the walk ends */
};

struct KeyTree {
    /* Opens subkey name of parent, or, with parent NULL, the walk's root
     * path. */
    KeyOpened (*open)(WalkKey parent, const char *name, WalkKey *key, long *error, void *context);
    /* 0 and the number of direct subkeys, or the system's error. */
    long (*countSubkeys)(WalkKey key, unsigned long *count, void *context);
    /* 0 and the name of subkey index (within size bytes), or an error. */
    long (*subkeyName)(WalkKey key, unsigned long index, char *name, size_t size, void *context);
    void (*close)(WalkKey key, void *context);
    /* Told of every key left out; may be NULL. */
    void (*skipped)(WalkSkip why, const char *path, long error, void *context);
    void *context;
};

enum KeyVerdict {
    KEY_DESCEND,        /* not this key: search its subkeys */
    KEY_FOUND,          /* this key: the search ends */
    KEY_SKIP_SUBTREE    /* not this key, and not below it either */
};

typedef KeyVerdict (*KeyVisitor)(WalkKey key, void *context);

enum WalkResult { WALK_NOT_FOUND, WALK_FOUND, WALK_CAPPED };

/* Walks rootPath of tree, showing each key to visit, until a visit finds
 * it or the tree ends. At most keysMax keys are visited; a walk that
 * reaches that many ends as WALK_CAPPED, with nothing found. Every key
 * opened is closed before the walk returns; visited, when given, receives
 * the number of keys shown to visit. */
WalkResult WalkKeyTree(const KeyTree *tree, const char *rootPath, KeyVisitor visit, void *visitContext,
                       unsigned long keysMax, unsigned long *visited);

#endif
