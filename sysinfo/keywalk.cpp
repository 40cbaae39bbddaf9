/* The registry tree walk: see keywalk.h. */
#include "sysinfo/keywalk.h"

#include <string.h>

#include "sysinfo/facts.h"

/* Each level adds at least "\x" to a path of at most REGISTRY_PATH_MAX
 * characters, so no walk is deeper than this. */
#define WALK_DEPTH_MAX (REGISTRY_PATH_MAX / 2 + 1)

struct WalkFrame {
    WalkKey key;
    unsigned long subkeys;  /* counted once, before the key's loop */
    unsigned long next;     /* index of the next subkey to search */
    size_t pathLength;      /* length of this key's path */
};

static void Skip(const KeyTree *tree, WalkSkip why, const char *path, long error)
{
    if (tree->skipped)
        tree->skipped(why, path, error, tree->context);
}

/* Without recursion, so that a deep tree cannot exhaust the stack. */
WalkResult WalkKeyTree(const KeyTree *tree, const char *rootPath, KeyVisitor visit, void *visitContext,
                       unsigned long keysMax, unsigned long *visited)
{
    WalkFrame frames[WALK_DEPTH_MAX];
    char path[REGISTRY_PATH_MAX + 1];
    unsigned long count = 0;
    if (visited)
        *visited = 0;
    if (strlen(rootPath) > REGISTRY_PATH_MAX)
        return WALK_NOT_FOUND;
    strcpy(path, rootPath);

    WalkKey key = NULL;
    long error = 0;
    KeyOpened opened = tree->open(NULL, rootPath, &key, &error, tree->context);
    if (opened == WALK_LINK)
        Skip(tree, WALK_SKIP_LINK, path, 0);
    if (opened != WALK_OPENED)
        return WALK_NOT_FOUND;
    int depth = 0;
    WalkResult result = WALK_NOT_FOUND;
    while (key) {
        count++;
        KeyVerdict verdict = visit(key, visitContext);
        if (verdict == KEY_FOUND) {
            tree->close(key, tree->context);
            result = WALK_FOUND;
            break;
        }
        unsigned long subkeys = 0;
        if (verdict == KEY_DESCEND && depth < WALK_DEPTH_MAX) {
            long counted = tree->countSubkeys(key, &subkeys, tree->context);
            if (counted != 0) {
                Skip(tree, WALK_SKIP_UNCOUNTED, path, counted);
                subkeys = 0;
            }
        }
        if (subkeys > 0) {
            WalkFrame &frame = frames[depth++];
            frame.key = key;
            frame.subkeys = subkeys;
            frame.next = 0;
            frame.pathLength = strlen(path);
        } else {
            tree->close(key, tree->context);
        }

        /* The next key: the next readable subkey of the deepest open key
         * that has one left. */
        key = NULL;
        while (!key && depth > 0) {
            WalkFrame &frame = frames[depth - 1];
            if (frame.next >= frame.subkeys) {
                tree->close(frame.key, tree->context);
                depth--;
                continue;
            }
            path[frame.pathLength] = '\0';
            if (count >= keysMax) {
                Skip(tree, WALK_SKIP_CAP_REACHED, path, 0);
                result = WALK_CAPPED;
                break;
            }
            char name[256];
            long read = tree->subkeyName(frame.key, frame.next++, name, sizeof name, tree->context);
            if (read != 0) {
                Skip(tree, WALK_SKIP_UNNAMED, path, read);
                continue;
            }
            name[sizeof name - 1] = '\0';
            char child[REGISTRY_PATH_MAX + 1];
            if (!FormChildKeyPath(path, name, child, sizeof child)) {
                Skip(tree, WALK_SKIP_PATH_TOO_LONG, path, 0);
                continue;
            }
            opened = tree->open(frame.key, name, &key, &error, tree->context);
            if (opened != WALK_OPENED) {
                Skip(tree, opened == WALK_LINK ? WALK_SKIP_LINK : WALK_SKIP_NOT_OPENED, child, error);
                key = NULL;
                continue;
            }
            strcpy(path, child);
        }
        if (result == WALK_CAPPED)
            break;
    }
    while (depth > 0)
        tree->close(frames[--depth].key, tree->context);
    if (visited)
        *visited = count;
    return result;
}
