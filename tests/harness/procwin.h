/* Driving another process's windows from a test or a demo tour: start a
 * program with a changed environment, find its dialogs by caption, press
 * their buttons with posted messages, wait for it to end. Plain polling: the
 * caller needs no message loop of its own. */
#ifndef KVL_PROCWIN_H
#define KVL_PROCWIN_H

#include <windows.h>
#include <string>
#include <vector>

namespace proc {

struct Program {
    HANDLE process = NULL;
    DWORD pid = 0;
};

/* Starts commandLine in folder cwd, with the test's environment changed by
 * env ("NAME=value" adds or replaces, "NAME=" removes). A Unix program
 * started through Wine gives no process handle: program->process is then
 * NULL. */
bool Start(const std::string &commandLine, const std::string &cwd, const std::vector<std::string> &env,
           Program *program);
/* Waits for the end; true with its exit code when it ended in time. */
bool WaitExit(const Program &program, DWORD timeoutMs, DWORD *exitCode);
/* Ends it if it still runs, and closes its handle. */
void Stop(Program *program);

/* A top-level dialog (class #32770) of process pid (0: of any process),
 * visible, whose caption is exactly caption, which has a child with id
 * childId (0: any) and which is not the window exclude. */
HWND FindDialog(DWORD pid, const std::string &caption, int childId = 0, HWND exclude = NULL);
/* Polls for such a dialog of program until timeoutMs passes or it ends. */
HWND WaitDialog(const Program &program, const std::string &caption, int childId, DWORD timeoutMs);
/* A visible dialog of process pid with a child childId, whatever its
 * caption. */
HWND FindDialogWithItem(DWORD pid, int childId);
/* Polls for such a dialog of program until timeoutMs passes or it ends. */
HWND WaitDialogWithItem(const Program &program, int childId, DWORD timeoutMs);
/* Polls for such a dialog of any process. */
HWND WaitAnyDialog(const std::string &caption, int childId, DWORD timeoutMs, HWND exclude = NULL);
/* Every visible top-level window of process pid, as "class|caption". */
std::vector<std::string> VisibleWindows(DWORD pid);

std::string Text(HWND window);
std::string ItemText(HWND dialog, int id);
/* Posts the button's click to the dialog. */
void Press(HWND dialog, int id);

/* A whole small text file, or "" when it cannot be read. */
std::string ReadFileText(const std::string &path);
/* Polls until path exists; true when it does. */
bool WaitForFile(const std::string &path, DWORD timeoutMs);

}

#endif
