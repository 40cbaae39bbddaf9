/* Registry and file fixtures of the tests and the tour: the product key as
 * the installer writes it, and the removal of what a test left behind (a
 * registry key with all its subkeys, a folder with all it holds). */
#ifndef KVL_FIXTURES_H
#define KVL_FIXTURES_H

#include <windows.h>
#include <string>

/* REGISTRY_32BIT_VIEW, the view of the game's keys. */
#include "common/regread.h"

/* Whether root\path exists (in the view a 32-bit program sees, where the
 * game's keys live) and can be read. */
bool RegistryKeyExists(HKEY root, const char *path);
/* Deletes root\path and every key below it (32-bit view); nothing when it
 * does not exist. */
void DeleteRegistryTree(HKEY root, const char *path);
/* Deletes dir and everything in it, read-only files included. */
void DeleteFolderTree(const std::string &dir);

/* The system's folder of common program files as a 32-bit program reads
 * it (CommonFilesDir), and the disc's product folder below it, where Setup
 * puts the uninstaller and its record; "" when the value is missing. */
std::string CommonFilesFolder();
std::string ProductFolderPath();
/* Deletes the product folder and its maker's folder when that is empty. */
void DeleteProductFolder();

/* Replaces the access list of root\path with the one an SDDL text gives;
 * true when it was set. A user without write rights sees a key made
 * read-only for everyone. */
#define KEY_ACCESS_READ_ONLY "D:P(A;;KR;;;WD)"
#define KEY_ACCESS_FULL      "D:P(A;;KA;;;WD)"
bool SetKeyAccess(HKEY root, const char *path, const char *sddl);

/* Writes the product key as the installer does (device 0, mode 0, 640 x
 * 480, no driver name, level 0), leaving out the value named missing. 1
 * when the key could be created. */
bool WriteProductKey(const char *exeDir, const char *cdRoot, DWORD firstTime, const char *missing = "");

#endif
