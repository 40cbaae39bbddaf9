/* The minimum-requirements warning and the machine report's texts. */
#include "sysinfo/report.h"

#include <stdio.h>

#include "common/text.h"

/* Formats one part with its number on its own, then appends it. */
static void AppendPart(char *warning, size_t size, const char *format, int value)
{
    char part[MIN_SPEC_PART_SIZE];
    snprintf(part, sizeof part, format, value);
    AppendText(warning, size, part);
}

int ComposeMinimumSpecWarning(int speedMhz, float memoryMb, const MinimumSpecTexts *texts,
                              char *warning, size_t size)
{
    if (size == 0)
        return 0;
    warning[0] = '\0';
    int failed = 0;

    /* As an unsigned number a failed measurement (negative) is huge, so a
     * machine without the speed library is never called slow. */
    if ((unsigned int)speedMhz < MIN_SPEC_MHZ) {
        AppendPart(warning, size, texts->slowProcessor, speedMhz);
        failed = 1;
    }

    if (memoryMb < MIN_SPEC_MEMORY_MB) {
        AppendPart(warning, size, texts->memoryBelowMinimum, (int)memoryMb);
        failed = 1;
    } else if (memoryMb < RECOMMENDED_MEMORY_MB) {
        /* Only shown alongside a slow processor. */
        AppendPart(warning, size, texts->memoryBelowRecommended, (int)memoryMb);
    }

    if (failed)
        AppendText(warning, size, texts->closing);
    return failed;
}

void FormatProcessorLine(const char *name, int speedMhz, char *line, size_t size)
{
    snprintf(line, size, "%s %d MHz", name, speedMhz);
}

void FormatMemoryLine(double memoryMb, char *line, size_t size)
{
    snprintf(line, size, "%0.0f Mb", memoryMb);
}

void FormatCdRomLines(const CdDriveList *list, char *lines, size_t size)
{
    if (size == 0)
        return;
    lines[0] = '\0';
    for (int i = 0; i < list->count && i < CD_DRIVE_MAX; i++) {
        char line[16 + CD_DESCRIPTION_SIZE];
        snprintf(line, sizeof line, "#%d [%c:] %s\r\n", i + 1, list->drives[i].letter,
                 list->drives[i].description);
        AppendText(lines, size, line);
    }
}

void FormatSystemReport(const SystemReportFields *f, char *report, size_t size)
{
    /* The CD-ROM lines end in their own CR LF, so that slot is followed by
     * one line break only: every section then ends with one blank line,
     * with drives or without. */
    snprintf(report, size,
             "%s\r\n%s\r\n\r\n%s\r\n%s\r\n\r\n%s\r\n%s\r\n\r\n%s\r\n%s\r\n\r\n"
             "%s\r\n%s\r\n%s\r\n%s\r\n\r\n%s\r\n%s\r\n",
             f->headings[0], f->processor, f->headings[1], f->memory,
             f->headings[2], f->keyboard, f->headings[3], f->mouse,
             f->headings[4], f->cdromLines, f->headings[5], f->graphics,
             f->headings[6], f->sound);
}
