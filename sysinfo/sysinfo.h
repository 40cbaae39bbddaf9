/* System information: what the rest of the launcher calls. */
#ifndef KVL_SYSINFO_H
#define KVL_SYSINFO_H

#include <windows.h>

int CheckMinimumSpecification(void);
int ShowSystemInformation(HWND owner);
/* Fills the CD-ROM inventory once at start-up. */
int DiscoverDrives(void);
/* Puts the game disc's drive letter in place of a "?" at the start of
 * Settings.CDRoot; leaves it as read when no drive can be told. */
void ResolveCDRootDrive(const char *launcherPath);

#endif
