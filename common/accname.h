/* Names for screen readers. Active Accessibility names a push button from
 * its text and an edit box or a list from the static before it; a picture
 * button, a button that reads "<<" or a list without a visible label get
 * no name or only punctuation. NameControl gives such a control a name
 * from the text table without changing what it draws: the control answers
 * the reader's request for its object with the system's own object, whose
 * name alone is replaced.
 *
 * oleacc.dll is looked up at run time (Windows 95 may lack it): without
 * it nothing changes. The object crosses to the reader's process through
 * COM, so COM must be initialised on the thread for as long as the named
 * controls live (RunMainMenu does so for every launcher dialog). */
#ifndef KVL_ACCNAME_H
#define KVL_ACCNAME_H

#include <windows.h>

/* Gives control the name of text table entry text (GetText). Returns 1,
 * or 0 when the control stays as it was (no oleacc, or a NULL control). */
int NameControl(HWND control, int text);

/* Same for the dialog's item id. */
int NameDialogItem(HWND dialog, int id, int text);

#endif
