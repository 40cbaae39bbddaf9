/* Gathers the machine's facts for the report: the probes, run anew at each
 * opening, and the processor speed and CD-ROM drives that start-up found. */
#include "sysinfo/machinereport.h"

#include "common/texttable.h"
#include "resources/texts.h"
#include "sysinfo/facts.h"
#include "sysinfo/inventory.h"
#include "sysinfo/probes.h"
#include "sysinfo/report.h"

void BuildSystemReport(char *report, size_t size)
{
    char name[SYSINFO_TEXT_SIZE];
    char processor[SYSINFO_TEXT_SIZE + 16];
    char memory[32];
    char mouse[SYSINFO_TEXT_SIZE], keyboard[SYSINFO_TEXT_SIZE], display[SYSINFO_TEXT_SIZE];
    char sound[SYSINFO_TEXT_SIZE];
    char cdrom[CDROM_LINES_SIZE];

    /* The speed is the one measured at start-up. */
    GetProcessorName(name, sizeof name);
    FormatProcessorLine(name, CpuSpeedMhz, processor, sizeof processor);
    FormatMemoryLine(GetPhysicalMemoryMb(), memory, sizeof memory);
    GetMouseName(mouse, sizeof mouse);
    GetKeyboardName(keyboard, sizeof keyboard);
    GetGraphicsCardName(display, sizeof display);
    GetSoundCardName(sound, sizeof sound);
    /* One line for each drive of the inventory, in its order. */
    FormatCdRomLines(&CdDrives, cdrom, sizeof cdrom);

    const SystemReportFields fields = {
        { GetText(TEXT_SYSINFO_PROCESSOR), GetText(TEXT_SYSINFO_MEMORY), GetText(TEXT_SYSINFO_KEYBOARD),
          GetText(TEXT_SYSINFO_MOUSE), GetText(TEXT_SYSINFO_CDROM), GetText(TEXT_SYSINFO_GRAPHICS),
          GetText(TEXT_SYSINFO_SOUND) },
        processor, memory, keyboard, mouse, cdrom, display, sound
    };
    FormatSystemReport(&fields, report, size);
}
