/* The start-up minimum-requirements check: the processor speed taken for
 * the inventory and the physical memory against the game's minimum, with
 * one warning when the machine falls short. */
#include "sysinfo/minrequirements.h"

#include "common/msgdlg.h"
#include "common/texttable.h"
#include "resources/texts.h"
#include "sysinfo/inventory.h"
#include "sysinfo/probes.h"
#include "sysinfo/report.h"

int CheckMinimumSpecification(void)
{
    const int speed = TakeCpuSpeed();
    float memoryMb = (float)GetPhysicalMemoryMb();
    const MinimumSpecTexts texts = { GetText(TEXT_MINSPEC_SLOW_CPU), GetText(TEXT_MINSPEC_LOW_MEMORY),
                                     GetText(TEXT_MINSPEC_LOW_RECOMMENDED_MEMORY),
                                     GetText(TEXT_MINSPEC_CONCLUSION) };
    char warning[MIN_SPEC_WARNING_SIZE];
    int failed = ComposeMinimumSpecWarning(speed, memoryMb, &texts, warning, sizeof warning);
    /* No launcher window exists yet: the warning has no owner. Start-up
     * goes on whatever the answer. */
    if (failed)
        ShowWarningMessage(MESSAGE_FREE_TEXT, 0, warning);
    return failed;
}
