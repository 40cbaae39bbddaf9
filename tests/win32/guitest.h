/* Acting inside a modal dialog's loop from a test: a thread timer runs the
 * queued steps in order, each retried on every tick until it reports done.
 * Steps only post messages (never send a command that opens another modal
 * dialog), so the timer keeps running inside nested modal loops. */
#ifndef KVL_GUITEST_H
#define KVL_GUITEST_H

#include <windows.h>
#include <functional>
#include <string>

namespace gui {

using Step = std::function<bool()>;

/* Adds a step; steps run in the order queued. */
void Queue(Step step);
/* When a visible top-level window of this thread with exactly this caption
 * exists, runs act on it; the step is then done. */
void OnDialog(const std::string &caption, std::function<void(HWND)> act);
/* Same for the next dialog (class #32770) that this thread shows, whatever
 * its caption; a dialog already handled by an earlier step is skipped. */
void OnNextDialog(std::function<void(HWND)> act);
/* A step that is done once ms milliseconds have passed since it first ran:
 * gives the program under test time to act (or not) before the next step. */
void Wait(DWORD ms);
/* Starts the timer. After timeoutMs every dialog of this thread is ended
 * and Finish reports the failure. */
void Start(unsigned timeoutMs = 15000);
/* Stops the timer and clears the queue. True when every step ran before
 * the timeout. */
bool Finish();

/* Queries and actions on dialogs of this thread. */
HWND FindDialog(const std::string &caption);
std::string Text(HWND window);
std::string ItemText(HWND dialog, int id);
bool Visible(HWND dialog, int id);
bool Enabled(HWND dialog, int id);
bool Checked(HWND dialog, int id);
int FocusId();                         /* control id of the focus, or 0 */
void Press(HWND dialog, int id);       /* posts WM_COMMAND / BN_CLICKED */
void Close(HWND dialog);               /* posts WM_CLOSE */
/* Combo boxes: item count, item text, selection, and a selection change
 * as the user makes it (CBN_SELCHANGE posted to the dialog). */
int ComboCount(HWND dialog, int id);
std::string ComboItem(HWND dialog, int id, int index);
int ComboSelection(HWND dialog, int id);
void ComboSelect(HWND dialog, int id, int index);

/* The screen's dots per inch: as set for the screen (what a DPI-aware
 * program sees), and as this program sees them, not declaring itself DPI
 * aware, as the launcher does not. */
int ScreenDpiAsSet();
int ProgramDpi();
/* Whether the system hands a program that does not declare itself DPI
 * aware 96 dots per inch and stretches its windows to the screen's
 * density, as Windows 10 and 11 do and Wine from 10 on. Wine 9 and
 * earlier hand every program the screen's own, so the program scales its
 * pictures itself. The one place where the tests' expectations differ by
 * Wine version. */
bool SystemScalesUnawarePrograms();

}

#endif
