#include "tests/win32/cleanup.h"

void DeleteRegistryTree(HKEY root, const char *path)
{
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, &key) == ERROR_SUCCESS) {
        char sub[256];
        DWORD length = sizeof sub;
        while (RegEnumKeyExA(key, 0, sub, &length, NULL, NULL, NULL, NULL) == ERROR_SUCCESS) {
            DeleteRegistryTree(key, sub);
            length = sizeof sub;
        }
        RegCloseKey(key);
    }
    RegDeleteKeyA(root, path);
}

void DeleteFolderTree(const std::string &dir)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((dir + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName, path = dir + "\\" + name;
            if (name == "." || name == "..")
                continue;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                DeleteFolderTree(path);
            } else {
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(dir.c_str());
}
