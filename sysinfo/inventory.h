/* The machine inventory, taken once at start-up and read for the rest of
 * the run: the processor speed (measured for the start-up check, before
 * its warning, and shown by the report) and the CD-ROM drives (listed
 * after the hidden window exists; the report lists them and the game
 * disc's drive is chosen among them). Both are process-wide records: the
 * system information dialog may open any number of times and must show
 * what start-up found. */
#ifndef KVL_INVENTORY_H
#define KVL_INVENTORY_H

#include "sysinfo/drivelist.h"

/* The CD-ROM drives, filled by DiscoverDrives. */
extern CdDriveList CdDrives;

/* The processor speed measured at start-up: MHz, or negative when the
 * speed library was missing (-1) or made no measurement (-2). The report
 * shows this figure: the processor is not timed again. */
extern int CpuSpeedMhz;

/* Measures the processor (MeasureCpuSpeed) into CpuSpeedMhz; returns it. */
int TakeCpuSpeed(void);

/* Fills the drive inventory; true when at least one drive was found. */
int DiscoverDrives(void);
int GetDriveCount(void);
/* The record at index, or NULL when index is negative or not below the
 * count. */
const CdDrive *GetDrive(int index);

/* Puts the game disc's drive letter in place of a "?" at the start of
 * Settings.CDRoot; leaves it as read when no drive can be told. */
void ResolveCDRootDrive(const char *launcherPath);

#endif
