#include "tests/harness/fixtures.h"
#include "common/registrykeys.h"

#include <sddl.h>

bool RegistryKeyExists(HKEY root, const char *path)
{
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, KEY_READ | REGISTRY_32BIT_VIEW, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

void DeleteRegistryTree(HKEY root, const char *path)
{
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, KEY_ALL_ACCESS | REGISTRY_32BIT_VIEW, &key) == ERROR_SUCCESS) {
        char sub[256];
        DWORD length = sizeof sub;
        while (RegEnumKeyExA(key, 0, sub, &length, NULL, NULL, NULL, NULL) == ERROR_SUCCESS) {
            DeleteRegistryTree(key, sub);
            length = sizeof sub;
        }
        RegCloseKey(key);
    }
    /* In the view it was opened in: a plain RegDeleteKeyA of a 64-bit
     * program would look for the key in the 64-bit view. */
    RegDeleteKeyExA(root, path, REGISTRY_32BIT_VIEW, 0);
}

bool SetKeyAccess(HKEY root, const char *path, const char *sddl)
{
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, WRITE_DAC | REGISTRY_32BIT_VIEW, &key) != ERROR_SUCCESS)
        return false;
    PSECURITY_DESCRIPTOR descriptor = NULL;
    bool set = false;
    if (ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &descriptor, NULL)) {
        set = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor) == ERROR_SUCCESS;
        LocalFree(descriptor);
    }
    RegCloseKey(key);
    return set;
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

std::string CommonFilesFolder()
{
    HKEY key;
    char text[MAX_PATH] = "";
    DWORD size = sizeof text - 1, type = 0;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", 0,
                      KEY_READ | REGISTRY_32BIT_VIEW, &key) != ERROR_SUCCESS)
        return "";
    LONG rc = RegQueryValueExA(key, "CommonFilesDir", NULL, &type, (BYTE *)text, &size);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS && type == REG_SZ ? text : "";
}

std::string ProductFolderPath()
{
    const std::string common = CommonFilesFolder();
    return common.empty() ? "" : common + "\\BRIXOLAN\\K.V.L";
}

void DeleteProductFolder()
{
    const std::string product = ProductFolderPath();
    if (product.empty())
        return;
    DeleteFolderTree(product);
    RemoveDirectoryA(product.substr(0, product.rfind('\\')).c_str());
}

bool WriteProductKey(const char *exeDir, const char *cdRoot, DWORD firstTime, const char *missing)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, PRODUCT_KEY, 0, NULL, 0,
                        KEY_ALL_ACCESS | REGISTRY_32BIT_VIEW, NULL, &key, NULL) != ERROR_SUCCESS)
        return false;
    auto str = [&](const char *name, const char *value) {
        if (lstrcmpA(name, missing) != 0)
            RegSetValueExA(key, name, 0, REG_SZ, (const BYTE *)value, lstrlenA(value) + 1);
    };
    auto num = [&](const char *name, DWORD value) {
        if (lstrcmpA(name, missing) != 0)
            RegSetValueExA(key, name, 0, REG_DWORD, (const BYTE *)&value, sizeof value);
    };
    str("ExeDir", exeDir);
    num("bFirstTime", firstTime);
    num("Device", 0);
    num("Mode", 0);
    num("Width", 640);
    num("Height", 480);
    str("DDName", "");
    num("bHard", 0);
    num("Level", 0);
    num("Transparency", 0);
    str("CDRoot", cdRoot);
    RegCloseKey(key);
    return true;
}
