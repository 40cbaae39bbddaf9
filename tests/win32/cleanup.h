/* Removing what a test or a tour left behind: a registry key with all its
 * subkeys, a folder with all it holds. */
#ifndef KVL_CLEANUP_H
#define KVL_CLEANUP_H

#include <windows.h>
#include <string>

/* Deletes root\path and every key below it (32-bit view); nothing when it
 * does not exist. */
void DeleteRegistryTree(HKEY root, const char *path);
/* Deletes dir and everything in it, read-only files included. */
void DeleteFolderTree(const std::string &dir);

#endif
