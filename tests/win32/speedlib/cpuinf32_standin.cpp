/* A stand-in speed library for the start-up tests: reports STANDIN_MHZ,
 * or no measurement when it is 0. */
#include "sysinfo/cpuinf32/cpuinf32.h"

extern "C" CpuSpeedRecord __cdecl cpuspeed(int reserved)
{
    (void)reserved;
    CpuSpeedRecord record = { 0, 0, 0, 0 };
    if (STANDIN_MHZ > 0) {
        record.cycles = STANDIN_MHZ * 20000u;
        record.microseconds = 20000u;
        record.kilohertz = STANDIN_MHZ * 1000u;
        record.megahertz = STANDIN_MHZ;
    }
    return record;
}
