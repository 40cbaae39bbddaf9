/* Reads of a drive that may have no disc in it. Windows 9x and XP, and
 * Windows 10 for some drives, show a "no disk" box for each file asked of
 * an empty or ejected drive unless the process's error mode says
 * otherwise. While a guard lives, the failed read simply fails; the mode
 * the process had before comes back when it ends. */
#ifndef KVL_DRIVEERRORS_H
#define KVL_DRIVEERRORS_H

#include <windows.h>

struct NoDriveErrorBoxes {
    UINT saved;
    NoDriveErrorBoxes() : saved(SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX)) {}
    ~NoDriveErrorBoxes() { SetErrorMode(saved); }
    NoDriveErrorBoxes(const NoDriveErrorBoxes &) = delete;
    NoDriveErrorBoxes &operator=(const NoDriveErrorBoxes &) = delete;
};

#endif
