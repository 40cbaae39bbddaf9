/* The CD-ROM drive inventory: up to three drives, each with its letter and
 * the device description the hardware tree gives for it. Filled once at
 * start-up by DiscoverDrives and read by the report and by the choice of
 * the disc's drive. The records need nothing of Win32. */
#ifndef KVL_CDDRIVES_H
#define KVL_CDDRIVES_H

#define CD_DRIVE_MAX 3
#define CD_DESCRIPTION_SIZE 260

struct CdDrive {
    char letter = '?';                           /* "A" to "Z"; "?" while free */
    char description[CD_DESCRIPTION_SIZE] = {};  /* "DeviceDesc", or the label */
};

struct CdDriveList {
    int count = 0;                 /* records 0 .. count - 1 are in use */
    CdDrive drives[CD_DRIVE_MAX];
};

/* The process-wide inventory (sysinfo_win). */
extern CdDriveList CdDrives;

/* Fills the inventory; true when at least one drive was found. Declared in
 * sysinfo.h too, for start-up. */
int DiscoverDrives(void);
int GetDriveCount(void);
/* The record at index, or NULL when index is negative or not below the
 * count. */
const CdDrive *GetDrive(int index);

#endif
