/* The parts of the system information that need no Win32: memory
 * rounding, processor type names, the minimum-requirements warning, the
 * report layout and the choice of the disc's drive letter. */
#ifndef KVL_SYSREPORT_H
#define KVL_SYSREPORT_H

#include <stddef.h>

#include "common/text.h"
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
 * 640 KB short of a megabyte still counts as that megabyte. The count is
 * 64-bit: today's machines have more than 32 bits can hold. */
double MemoryBytesToMb(unsigned long long totalBytes);

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

/* The drive letter that stands for the game disc: the launcher's own drive
 * (programPath begins with its letter and ":") when its root holds
 * Setup.exe, listed in the inventory or not; else the first inventory drive
 * whose root holds Setup.exe; else the first inventory drive; else 0.
 * hasSetup answers for one drive letter and is asked only as far as needed. */
char ChooseDiscDriveLetter(const char *programPath, const CdDriveList *list,
                           int (*hasSetup)(char letter, void *context), void *context);

/* One source of a machine fact. give copies the source's text into text
 * (size bytes, terminated) and returns 1, or returns 0 when the source has
 * nothing to say. A trimmed source loses its leading and trailing blanks,
 * and then gives nothing when nothing is left. */
struct FactSource {
    int (*give)(char *text, size_t size, void *context);
    void *context;
    int trimmed;
};

/* The text of the first source that gives one, else fallback, cut to
 * size - 1 characters. Sources after the one used are not asked. Returns
 * the index of the source used, or count for the fallback. */
int ChooseFactText(const FactSource *sources, int count, const char *fallback, char *text, size_t size);

/* Removes leading and trailing blanks (spaces and tabs) in place. */
void TrimBlanks(char *text);

/* The first bytes of a storage device descriptor: version, size, four
 * flag bytes, then the offsets of the vendor and product texts. Its
 * fixed part ends with the raw properties, at byte 36. */
#define STORAGE_DESCRIPTOR_VENDOR_OFFSET   12
#define STORAGE_DESCRIPTOR_PRODUCT_OFFSET  16
#define STORAGE_DESCRIPTOR_FIXED_SIZE      36

/* "Vendor Product" from the got bytes of a storage device descriptor
 * returned by the driver, each part trimmed of blanks. An offset is
 * trusted only when it points past the fixed part and within both the
 * bytes returned and the size the descriptor claims; a text ends at its
 * terminator or at that bound. Returns 0 (text empty) when neither part
 * gives anything. */
int StorageDeviceName(const unsigned char *descriptor, size_t got, char *text, size_t size);

#endif
