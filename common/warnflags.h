/* The flags of the warning dialog: which of its controls it shows. Kept
 * apart from the dialog itself so that the Win32-free rules that choose a
 * warning's flags need not include the dialog's header. */
#ifndef KVL_WARNFLAGS_H
#define KVL_WARNFLAGS_H

#define WARN_DONT_SHOW_AGAIN 0x10000u   /* the "don't show again" box */
#define WARN_CANCEL          0x20000u   /* the Cancel button */

#endif
