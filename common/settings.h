/* The settings record shared with the installer and the game through the
 * registry. */
#ifndef KVL_SETTINGS_H
#define KVL_SETTINGS_H

#include "common/registrykeys.h"

struct LauncherSettings {
    char ExeDir[260];
    int Installed;
    char UninstallString[260];
    int UninstallAvailable;
    char CDRoot[260];
    int CDRootKnown;
    int Device;
    int Mode;
    int Width;
    int Height;
    char DDName[50];
    int bHard;
    int bFirstTime;
    int SettingsComplete;
    unsigned int Level;
    int Transparency;
};

/* The one process-wide record. */
extern LauncherSettings Settings;

int ReadSettings(void);
int WriteSettings(void);

#endif
