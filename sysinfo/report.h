/* The texts of the system information that need no Win32: the
 * minimum-requirements warning and the machine report's lines and layout. */
#ifndef KVL_REPORT_H
#define KVL_REPORT_H

#include <stddef.h>

#include "sysinfo/drivelist.h"

#define MIN_SPEC_MHZ          120u
#define MIN_SPEC_MEMORY_MB    16.0f
#define RECOMMENDED_MEMORY_MB 32.0f

#define MIN_SPEC_WARNING_SIZE 3000
#define MIN_SPEC_PART_SIZE  200
#define CDROM_LINES_SIZE    1024
#define SYSTEM_REPORT_SIZE  4000

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

/* The seven headings, processor to sound card, and the seven section
 * texts. */
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

#endif
