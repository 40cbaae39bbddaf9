/* System information logic that needs no Win32. */
#include "sysinfo/sysreport.h"

#include <math.h>
#include <stdio.h>
#include <string.h>

#include "common/text.h"

double MemoryBytesToMb(unsigned long long totalBytes)
{
    /* Exact in double precision for any memory a machine can have (below
     * 2^53 bytes). */
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
        char c = UpperCaseAscii(className[i]);
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

char ChooseDiscDriveLetter(const char *programPath, const CdDriveList *list,
                           int (*hasSetup)(char letter, void *context), void *context)
{
    /* The disc the launcher runs from, even in a drive the inventory does
     * not list (a fourth CD-ROM drive, a mounted image). */
    if (programPath && programPath[0] != '\0' && programPath[1] == ':') {
        char own = UpperCaseAscii(programPath[0]);
        if (own >= 'A' && own <= 'Z' && hasSetup(own, context))
            return own;
    }
    int count = list->count < CD_DRIVE_MAX ? list->count : CD_DRIVE_MAX;
    for (int i = 0; i < count; i++)
        if (hasSetup(list->drives[i].letter, context))
            return list->drives[i].letter;
    return count > 0 ? list->drives[0].letter : 0;
}

static int IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

void TrimBlanks(char *text)
{
    size_t start = 0;
    while (IsBlank(text[start]))
        start++;
    size_t end = strlen(text + start) + start;
    while (end > start && IsBlank(text[end - 1]))
        end--;
    memmove(text, text + start, end - start);
    text[end - start] = '\0';
}

int ChooseFactText(const FactSource *sources, int count, const char *fallback, char *text, size_t size)
{
    if (size == 0)
        return count;
    for (int i = 0; i < count; i++) {
        text[0] = '\0';
        if (!sources[i].give(text, size, sources[i].context))
            continue;
        text[size - 1] = '\0';
        if (sources[i].trimmed) {
            TrimBlanks(text);
            if (text[0] == '\0')
                continue;
        }
        return i;
    }
    CopyText(text, size, fallback);
    return count;
}

static unsigned long ReadLittleEndian32(const unsigned char *bytes)
{
    return (unsigned long)bytes[0] | (unsigned long)bytes[1] << 8 | (unsigned long)bytes[2] << 16
           | (unsigned long)bytes[3] << 24;
}

/* One text of the descriptor, appended to text after a blank when text
 * already holds something. Control characters read as blanks. */
static void AppendDescriptorText(const unsigned char *descriptor, size_t bound, size_t offsetField,
                                 char *text, size_t size)
{
    unsigned long offset = ReadLittleEndian32(descriptor + offsetField);
    if (offset < STORAGE_DESCRIPTOR_FIXED_SIZE || offset >= bound)
        return;
    char part[CD_DESCRIPTION_SIZE];
    size_t n = 0;
    for (size_t i = offset; i < bound && descriptor[i] != 0 && n + 1 < sizeof part; i++)
        part[n++] = descriptor[i] < 0x20 ? ' ' : (char)descriptor[i];
    part[n] = '\0';
    TrimBlanks(part);
    if (part[0] == '\0')
        return;
    if (text[0] != '\0')
        AppendText(text, size, " ");
    AppendText(text, size, part);
}

int StorageDeviceName(const unsigned char *descriptor, size_t got, char *text, size_t size)
{
    if (size == 0)
        return 0;
    text[0] = '\0';
    if (got < STORAGE_DESCRIPTOR_FIXED_SIZE)
        return 0;
    /* The descriptor's own size may claim less than was returned. */
    size_t bound = got;
    unsigned long claimed = ReadLittleEndian32(descriptor + 4);
    if (claimed < bound)
        bound = claimed;
    AppendDescriptorText(descriptor, bound, STORAGE_DESCRIPTOR_VENDOR_OFFSET, text, size);
    AppendDescriptorText(descriptor, bound, STORAGE_DESCRIPTOR_PRODUCT_OFFSET, text, size);
    /* A vendor that fills the buffer leaves the separating blank last. */
    TrimBlanks(text);
    return text[0] != '\0';
}
