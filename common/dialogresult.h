/* What the launcher's dialogs end with, where the caller acts on it. The
 * main menu ends with EXIT, ABORT, PLAY, INSTALL or UNINSTALL, and start-up
 * starts the chosen program; the graphics setup ends with PLAY, BACK or
 * ABORT, and the main menu ends with PLAY in turn. A dialog that could not
 * be shown gives NOT_SHOWN (DialogBoxParam's failure value). */
#ifndef KVL_DIALOGRESULT_H
#define KVL_DIALOGRESULT_H

enum DialogResult {
    RESULT_NOT_SHOWN = -1,
    RESULT_EXIT = 0,       /* the user confirmed Exit: nothing starts */
    RESULT_BACK = 1,       /* the graphics setup's Retour, Escape or close box */
    RESULT_ABORT = 2,      /* a DirectX component is missing, or no display device can be used */
    RESULT_PLAY = 4,       /* start the game */
    RESULT_INSTALL = 5,    /* start the installer on the disc */
    RESULT_UNINSTALL = 6,  /* start the registered uninstaller */
};

#endif
