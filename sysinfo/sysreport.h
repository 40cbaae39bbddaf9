/* The parts of the system information that need no Win32: memory
 * rounding, processor type names, the minimum-requirements warning, the
 * report layout and the choice of the disc's drive letter. */
#ifndef KVL_SYSREPORT_H
#define KVL_SYSREPORT_H

#include <stddef.h>

#include "sysinfo/cddrives.h"

#define MIN_SPEC_MHZ          120u
#define MIN_SPEC_MEMORY_MB    16.0f
#define RECOMMENDED_MEMORY_MB 32.0f

#define SYSINFO_TEXT_SIZE   256     /* probe texts, terminator included */
#define MIN_SPEC_WARNING_SIZE 3000
#define MIN_SPEC_PART_SIZE  200
#define CDROM_LINES_SIZE    1024
#define SYSTEM_REPORT_SIZE  4000
#define REGISTRY_PATH_MAX   255     /* characters of a key path in a walk */

/* Whole megabytes of a physical memory byte count: a total that falls up to
 * 640 KB short of a megabyte still counts as that megabyte. */
double MemoryBytesToMb(unsigned int totalBytes);

/* "386", "486", "PENTIUM", "MIPS R4000", "ALPHA 21064" or "Unknown". */
const char *ProcessorTypeName(unsigned int typeCode);

/* The texts a warning is made of, each with one "%d" but the last. */
struct MinimumSpecTexts {
    const char *slowProcessor;     /* speed below the minimum */
    const char *memoryBelowMinimum;
    const char *memoryBelowRecommended;
    const char *closing;
};

/* Composes the minimum-requirements warning for a measured speed (any
 * negative value means not measured) and the memory in megabytes. Returns
 * 1 when the processor or the memory test failed, the warning then being
 * complete in warning; 0 when the machine passes (warning holds what was
 * composed, which is not to be shown). */
int ComposeMinimumSpecWarning(int speedMhz, float memoryMb, const MinimumSpecTexts *texts,
                              char *warning, size_t size);

/* "PENTIUM 166 MHz", "64 Mb". */
void FormatProcessorLine(const char *name, int speedMhz, char *line, size_t size);
void FormatMemoryLine(double memoryMb, char *line, size_t size);
/* One "#n [X:] description" line per drive, each ending in CR LF; empty
 * without drives. */
void FormatCdRomLines(const CdDriveList *list, char *lines, size_t size);

/* The seven headings (entries 128 to 134) and the seven section texts. */
struct SystemReportFields {
    const char *headings[7];
    const char *processor;
    const char *memory;
    const char *keyboard;
    const char *mouse;
    const char *cdromLines;
    const char *graphics;
    const char *sound;
};

/* The report, CR LF line breaks, cut to size - 1 characters at most. */
void FormatSystemReport(const SystemReportFields *fields, char *report, size_t size);

/* True when a device key's "Class" names a CD-ROM drive, in any case. */
int IsCdRomClass(const char *className);

/* path + "\" + name into child; 0 (child untouched) when the result would
 * be longer than REGISTRY_PATH_MAX characters. */
int FormChildKeyPath(const char *path, const char *name, char *child, size_t size);

/* Where the drive facts come from when the inventory is filled. */
struct DriveFacts {
    /* True when the drive of that letter is a CD-ROM drive. */
    int (*isCdRom)(char letter, void *context);
    /* Describes the drive into description (CD_DESCRIPTION_SIZE bytes);
     * false when the drive is not to be listed. */
    int (*describe)(char letter, char *description, void *context);
    void *context;
};

/* Fills list from a drive mask (bit 0 for A up to bit 25 for Z): the
 * CD-ROM drives that describe succeeds for, in letter order, up to
 * CD_DRIVE_MAX; later letters are not examined. A drive that is not
 * described leaves its record free for the next one. Returns the count. */
int FillCdDriveList(CdDriveList *list, unsigned long mask, const DriveFacts *facts);

/* The drive letter that stands for the game disc: the inventory drive the
 * launcher was started from (programPath begins with its letter and ":"),
 * else the first inventory drive with hasSetup[index] set, else the first
 * inventory drive. 0 with an empty inventory. */
char ChooseDiscDriveLetter(const char *programPath, const CdDriveList *list, const int *hasSetup);

#endif
