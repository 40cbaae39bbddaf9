/* The two modal message dialogs through which every error and warning is
 * shown. */
#ifndef KVL_MSGDLG_H
#define KVL_MSGDLG_H

#include "common/warnflags.h"

/* The warning's number that asks for its free text instead of an entry
 * (without a free text, entry 0 shows like any other). */
#define MESSAGE_FREE_TEXT 0

/* 0 when closed; -1 when one is already open or it cannot be created. */
int ShowErrorMessage(int number);
/* 1 Continuer, 0 Annuler or closed; -1 as above. The message is text
 * number, or freeText when number is MESSAGE_FREE_TEXT. When
 * dontShowAgain is given, it receives the state of the "don't show again"
 * box as the dialog closed (1 ticked; 0 clear, not shown, or refused). */
int ShowWarningMessage(int number, unsigned int flags, const char *freeText, int *dontShowAgain = 0);

#endif
