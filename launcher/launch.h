/* Starting the game, the installer, the uninstaller and Notepad. Each
 * returns 1 when the program was started, else 0 after its message. */
#ifndef KVL_LAUNCH_H
#define KVL_LAUNCH_H

int LaunchGame(void);
int OpenReadMe(void);
int LaunchSetup(void);
int LaunchUninstaller(void);

#endif
