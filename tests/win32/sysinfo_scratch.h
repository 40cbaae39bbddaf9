/* Scratch registry keys and files for the system information tests: each
 * is created by the test and removed again, and whatever was there before
 * is put back. */
#ifndef KVL_SYSINFO_SCRATCH_H
#define KVL_SYSINFO_SCRATCH_H

#include <windows.h>
#include <string>

#include "tests/harness/fixtures.h"

namespace scratch {

inline bool KeyExists(const std::string &path)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

/* Creates HKLM\path (and its parents) and, with a name, sets a text value
 * whose stored bytes include the terminator. */
inline bool SetText(const std::string &path, const char *name = nullptr, const std::string &value = "")
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL)
        != ERROR_SUCCESS)
        return false;
    LONG r = ERROR_SUCCESS;
    if (name)
        r = RegSetValueExA(key, name, 0, REG_SZ, (const BYTE *)value.c_str(), (DWORD)value.size() + 1);
    RegCloseKey(key);
    return r == ERROR_SUCCESS;
}

inline void DeleteTree(HKEY parent, const char *name) { DeleteRegistryTree(parent, name); }

/* A key of HKLM that must not exist before the test: removed with all it
 * holds when the test ends. */
struct Key {
    std::string path;
    bool owned;
    explicit Key(const std::string &p) : path(p), owned(!KeyExists(p)) {}
    ~Key()
    {
        if (owned)
            DeleteTree(HKEY_LOCAL_MACHINE, path.c_str());
    }
    Key(const Key &) = delete;
    Key &operator=(const Key &) = delete;
};

inline std::string ReadFileText(const std::string &path, bool *exists)
{
    std::string text;
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    *exists = f != INVALID_HANDLE_VALUE;
    if (!*exists)
        return text;
    char buffer[4096];
    DWORD got;
    while (ReadFile(f, buffer, sizeof buffer, &got, NULL) && got > 0)
        text.append(buffer, got);
    CloseHandle(f);
    return text;
}

inline bool WriteFileText(const std::string &path, const std::string &text)
{
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (f == INVALID_HANDLE_VALUE)
        return false;
    DWORD put = 0;
    BOOL ok = WriteFile(f, text.data(), (DWORD)text.size(), &put, NULL);
    CloseHandle(f);
    return ok && put == text.size();
}

/* The Windows folder's system.ini, put back as it was (or removed again)
 * when the test ends. Write replaces its text for the test. */
struct SystemIni {
    std::string path;
    bool existed;
    std::string saved;
    SystemIni()
    {
        char windows[MAX_PATH];
        GetWindowsDirectoryA(windows, sizeof windows);
        path = std::string(windows) + "\\system.ini";
        saved = ReadFileText(path, &existed);
    }
    bool Write(const std::string &text)
    {
        bool ok = WriteFileText(path, text);
        /* The profile functions may hold the old text in a cache. */
        WritePrivateProfileStringA(NULL, NULL, NULL, "system.ini");
        return ok;
    }
    void Remove()
    {
        DeleteFileA(path.c_str());
        WritePrivateProfileStringA(NULL, NULL, NULL, "system.ini");
    }
    ~SystemIni()
    {
        if (existed)
            Write(saved);
        else
            Remove();
    }
    SystemIni(const SystemIni &) = delete;
    SystemIni &operator=(const SystemIni &) = delete;
};

/* The program's folder, ending in a backslash. */
inline std::string ProgramFolder()
{
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(NULL, path, sizeof path);
    std::string s(path, n);
    return s.substr(0, s.find_last_of('\\') + 1);
}

}

#endif
