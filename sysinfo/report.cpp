/* System information logic that needs no Win32. */
#include "sysinfo/sysreport.h"

#include <math.h>
#include <stdio.h>
#include <string.h>

double MemoryBytesToMb(unsigned int totalBytes)
{
    return floor(((double)totalBytes + 655360.0) / 1048576.0);
}

const char *ProcessorTypeName(unsigned int typeCode)
{
    switch (typeCode) {
    case 386: return "386";
    case 486: return "486";
    case 586: return "PENTIUM";
    case 4000: return "MIPS R4000";
    case 21064: return "ALPHA 21064";
    default: return "Unknown";
    }
}

/* Appends src, cut so that dest stays terminated within size. */
static void AppendText(char *dest, size_t size, const char *src)
{
    size_t used = strlen(dest);
    if (used + 1 >= size)
        return;
    size_t room = size - 1 - used;
    size_t n = strlen(src);
    if (n > room)
        n = room;
    memcpy(dest + used, src, n);
    dest[used + n] = '\0';
}

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

int IsCdRomClass(const char *className)
{
    static const char cdrom[] = "CDROM";
    for (int i = 0;; i++) {
        char c = className[i];
        if (c >= 'a' && c <= 'z')
            c = (char)(c - 'a' + 'A');
        if (c != cdrom[i])
            return 0;
        if (c == '\0')
            return 1;
    }
}

int FormChildKeyPath(const char *path, const char *name, char *child, size_t size)
{
    size_t pathLen = strlen(path);
    size_t nameLen = strlen(name);
    size_t total = pathLen + 1 + nameLen;
    if (total > REGISTRY_PATH_MAX || total + 1 > size)
        return 0;
    memcpy(child, path, pathLen);
    child[pathLen] = '\\';
    memcpy(child + pathLen + 1, name, nameLen + 1);
    return 1;
}

int FillCdDriveList(CdDriveList *list, unsigned long mask, const DriveFacts *facts)
{
    *list = CdDriveList();
    int count = 0;
    for (int j = 0; j < 26 && count < CD_DRIVE_MAX; j++, mask >>= 1) {
        if (!(mask & 1))
            continue;
        char letter = (char)('A' + j);
        if (!facts->isCdRom(letter, facts->context))
            continue;
        CdDrive &target = list->drives[count];
        if (facts->describe(letter, target.description, facts->context)) {
            target.letter = letter;
            count++;
        }
    }
    list->count = count;
    return count;
}

static char UpperLetter(char c)
{
    return (c >= 'a' && c <= 'z') ? (char)(c - 'a' + 'A') : c;
}

char ChooseDiscDriveLetter(const char *programPath, const CdDriveList *list, const int *hasSetup)
{
    int count = list->count < CD_DRIVE_MAX ? list->count : CD_DRIVE_MAX;
    if (count <= 0)
        return 0;
    if (programPath && programPath[0] != '\0' && programPath[1] == ':') {
        char own = UpperLetter(programPath[0]);
        for (int i = 0; i < count; i++)
            if (list->drives[i].letter == own)
                return own;
    }
    for (int i = 0; i < count; i++)
        if (hasSetup && hasSetup[i])
            return list->drives[i].letter;
    return list->drives[0].letter;
}
