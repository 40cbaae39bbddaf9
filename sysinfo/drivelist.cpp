/* The Win32-free rules of the CD-ROM drive inventory. */
#include "sysinfo/drivelist.h"

#include "common/text.h"
#include "sysinfo/facts.h"

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
