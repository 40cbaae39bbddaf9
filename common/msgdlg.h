/* The two modal message dialogs through which every error and warning is
 * shown. */
#ifndef KVL_MSGDLG_H
#define KVL_MSGDLG_H

#define WARN_DONT_SHOW_AGAIN 0x10000u
#define WARN_CANCEL          0x20000u

/* 0 when closed; -1 when one is already open or it cannot be created. */
int ShowErrorMessage(int number);
/* 1 Continuer, 0 Annuler or closed; -1 as above. */
int ShowWarningMessage(int number, unsigned int flags, const char *freeText);
/* State of the "don't show again" box when the last warning dialog closed
 * (1 ticked, 0 clear or not shown). */
int GetWarningDontShowAgain(void);

#endif
