#include "tests/harness/procwin.h"

#include <string.h>

namespace proc {

static bool SameName(const std::string &entry, const std::string &assignment)
{
    size_t a = entry.find('='), b = assignment.find('=');
    /* Entries such as "=C:=C:\" name a drive's directory: keep them. */
    if (a == 0 || a == std::string::npos || b == std::string::npos || a != b)
        return false;
    return CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, entry.c_str(), (int)a, assignment.c_str(),
                          (int)b) == CSTR_EQUAL;
}

bool Start(const std::string &commandLine, const std::string &cwd, const std::vector<std::string> &env,
           Program *program)
{
    std::vector<std::string> entries;
    char *block = GetEnvironmentStringsA();
    for (const char *p = block; p && *p; p += strlen(p) + 1)
        entries.push_back(p);
    FreeEnvironmentStringsA(block);
    for (const std::string &change : env) {
        for (size_t i = 0; i < entries.size();) {
            if (SameName(entries[i], change))
                entries.erase(entries.begin() + (long)i);
            else
                i++;
        }
        if (change.find('=') + 1 < change.size())
            entries.push_back(change);
    }
    std::string joined;
    for (const std::string &e : entries) {
        joined += e;
        joined += '\0';
    }
    joined += '\0';

    std::vector<char> command(commandLine.begin(), commandLine.end());
    command.push_back('\0');
    STARTUPINFOA startup;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    /* For a Unix program Wine gives no process handle and leaves the
     * thread handle undefined: closing it could close one of ours. */
    PROCESS_INFORMATION info;
    memset(&info, 0, sizeof info);
    if (!CreateProcessA(NULL, command.data(), NULL, NULL, FALSE, 0, &joined[0], cwd.empty() ? NULL : cwd.c_str(),
                        &startup, &info))
        return false;
    if (info.hProcess)
        CloseHandle(info.hThread);
    program->process = info.hProcess;
    program->pid = info.dwProcessId;
    return true;
}

bool WaitExit(const Program &program, DWORD timeoutMs, DWORD *exitCode)
{
    if (!program.process || WaitForSingleObject(program.process, timeoutMs) != WAIT_OBJECT_0)
        return false;
    return GetExitCodeProcess(program.process, exitCode) != 0;
}

void Stop(Program *program)
{
    if (!program->process)
        return;
    if (WaitForSingleObject(program->process, 0) != WAIT_OBJECT_0) {
        TerminateProcess(program->process, 99);
        WaitForSingleObject(program->process, 5000);
    }
    CloseHandle(program->process);
    program->process = NULL;
}

struct Search {
    DWORD pid;
    const std::string *caption;   /* NULL: any caption */
    int childId;
    HWND exclude;
    HWND found;
    std::vector<std::string> *all;
};

static BOOL CALLBACK Visit(HWND window, LPARAM lp)
{
    Search *s = reinterpret_cast<Search *>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if ((s->pid && pid != s->pid) || window == s->exclude || !IsWindowVisible(window))
        return TRUE;
    char cls[64] = "";
    GetClassNameA(window, cls, sizeof cls);
    if (s->all) {
        s->all->push_back(std::string(cls) + "|" + Text(window));
        return TRUE;
    }
    if (strcmp(cls, "#32770") != 0 || (s->caption && Text(window) != *s->caption))
        return TRUE;
    if (s->childId && !GetDlgItem(window, s->childId))
        return TRUE;
    s->found = window;
    return FALSE;
}

/* caption NULL: whatever the caption. */
static HWND Find(DWORD pid, const std::string *caption, int childId, HWND exclude)
{
    Search s = { pid, caption, childId, exclude, NULL, NULL };
    EnumWindows(Visit, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

static HWND WaitFor(const Program &program, const std::string *caption, int childId, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        HWND found = Find(program.pid, caption, childId, NULL);
        if (found)
            return found;
        if (GetTickCount() - start > timeoutMs || WaitForSingleObject(program.process, 50) == WAIT_OBJECT_0)
            return NULL;
    }
}

HWND FindDialog(DWORD pid, const std::string &caption, int childId, HWND exclude)
{
    return Find(pid, &caption, childId, exclude);
}

HWND WaitDialog(const Program &program, const std::string &caption, int childId, DWORD timeoutMs)
{
    return WaitFor(program, &caption, childId, timeoutMs);
}

HWND FindDialogWithItem(DWORD pid, int childId)
{
    return Find(pid, NULL, childId, NULL);
}

HWND WaitDialogWithItem(const Program &program, int childId, DWORD timeoutMs)
{
    return WaitFor(program, NULL, childId, timeoutMs);
}

HWND WaitAnyDialog(const std::string &caption, int childId, DWORD timeoutMs, HWND exclude)
{
    DWORD start = GetTickCount();
    for (;;) {
        HWND found = FindDialog(0, caption, childId, exclude);
        if (found || GetTickCount() - start > timeoutMs)
            return found;
        Sleep(50);
    }
}

std::vector<std::string> VisibleWindows(DWORD pid)
{
    std::vector<std::string> all;
    std::string none;
    Search s = { pid, &none, 0, NULL, NULL, &all };
    EnumWindows(Visit, reinterpret_cast<LPARAM>(&s));
    return all;
}

std::string Text(HWND window)
{
    char buf[2048] = "";
    /* WM_GETTEXT works across processes where GetWindowText of another
     * process's control would not. */
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof buf, (LPARAM)buf, SMTO_ABORTIFHUNG, 2000, NULL);
    buf[sizeof buf - 1] = '\0';
    return buf;
}

std::string ItemText(HWND dialog, int id)
{
    HWND item = GetDlgItem(dialog, id);
    return item ? Text(item) : std::string();
}

void Press(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(dialog, id));
}

std::string ReadFileText(const std::string &path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, NULL, OPEN_EXISTING,
                              0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return std::string();
    char buf[8192];
    DWORD got = 0;
    if (!ReadFile(file, buf, sizeof buf, &got, NULL))
        got = 0;
    CloseHandle(file);
    return std::string(buf, got);
}

bool WaitForFile(const std::string &path, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(50);
    }
    return true;
}

}
