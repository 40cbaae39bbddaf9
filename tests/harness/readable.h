/* What a player who cannot see well, or uses no mouse, meets in a dialog:
 * the name a screen reader gets for each control that takes the focus
 * (Active Accessibility, as a reader asks for it), whether each one-line
 * label and check box shows its whole text, and whether two controls share
 * a mnemonic. Works on a dialog of this process or of another one. */
#ifndef KVL_READABLE_H
#define KVL_READABLE_H

#include <windows.h>
#include <string>
#include <vector>

namespace readable {

/* The name a screen reader gets for control, as UTF-8; "" when none (or
 * when the control gives no accessible object at all). */
std::string AccessibleName(HWND control);

/* Every fault of the dialog, one line each; empty when there is none:
 * - a visible control that is a tab stop whose accessible name holds fewer
 *   than two letters;
 * - a visible one-line static or check box (or radio button) whose text,
 *   in the dialog's font ("MS Sans Serif" 10 at the screen's dots per
 *   inch, as every template gives it), is wider or taller than the room
 *   the control has for it;
 * - a mnemonic letter given to two visible controls. */
std::vector<std::string> Faults(HWND dialog);

}

#endif
