#include "standins/standin_win.h"
#include "standins/standin_core.h"

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

int OwnPath(char *out, DWORD cap)
{
    DWORD n = GetModuleFileNameA(NULL, out, cap);
    if (n == 0 || n >= cap) {
        if (cap)
            out[0] = '\0';
        return 0;
    }
    return 1;
}

int CreateFolderTree(const char *dir)
{
    char path[STANDIN_PATH_MAX];
    size_t n = strlen(dir);
    if (n == 0 || n >= sizeof path)
        return 0;
    memcpy(path, dir, n + 1);
    /* Create each step after the head ("X:\" or "\\server\share\"). */
    size_t i = 0;
    if (n >= 3 && path[1] == ':')
        i = 3;
    else if (path[0] == '\\' && path[1] == '\\') {
        int steps = 0;
        for (i = 2; i < n && steps < 2; i++)
            if (path[i] == '\\')
                steps++;
    }
    for (; i <= n; i++) {
        if (path[i] != '\\' && path[i] != '\0')
            continue;
        char keep = path[i];
        path[i] = '\0';
        CreateDirectoryA(path, NULL);
        path[i] = keep;
    }
    DWORD attr = GetFileAttributesA(dir);
    return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY);
}

int SetStringValue(HKEY key, const char *name, const char *text)
{
    return RegSetValueExA(key, name, 0, REG_SZ, (const BYTE *)text, (DWORD)strlen(text) + 1) == ERROR_SUCCESS;
}

int SetDwordValue(HKEY key, const char *name, DWORD value)
{
    return RegSetValueExA(key, name, 0, REG_DWORD, (const BYTE *)&value, sizeof value) == ERROR_SUCCESS;
}

int GetDwordValue(HKEY key, const char *name, DWORD *value)
{
    DWORD type = 0, size = sizeof *value, v = 0;
    if (RegQueryValueExA(key, name, NULL, &type, (BYTE *)&v, &size) != ERROR_SUCCESS)
        return 0;
    if (type != REG_DWORD || size != sizeof v)
        return 0;
    *value = v;
    return 1;
}

int GetStringValue(HKEY key, const char *name, char *text, DWORD cap)
{
    if (cap == 0)
        return 0;
    DWORD type = 0, size = cap - 1;
    memset(text, 0, cap);
    if (RegQueryValueExA(key, name, NULL, &type, (BYTE *)text, &size) != ERROR_SUCCESS) {
        text[0] = '\0';
        return 0;
    }
    text[cap - 1] = '\0';
    return type == REG_SZ || type == REG_EXPAND_SZ;
}

int DeleteKey(HKEY root, const char *parent, const char *name, REGSAM view)
{
    HKEY key;
    LONG rc = RegOpenKeyExA(root, parent, 0, KEY_ALL_ACCESS | view, &key);
    if (rc == ERROR_FILE_NOT_FOUND)
        return 1;
    if (rc != ERROR_SUCCESS)
        return 0;
    rc = RegDeleteKeyA(key, name);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}

int Say(HWND owner, const char *caption, UINT style, const char *format, ...)
{
    char text[1024];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return MessageBoxA(owner, text, caption, style | MB_SETFOREGROUND);
}
