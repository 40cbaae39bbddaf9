/* cpuinf32.dll's arithmetic: see measure.h. */
#include "sysinfo/cpuinf32/measure.h"

#include <limits.h>

#define MEASURE_TRIES 2

/* A double converted only when it lands inside the range of the field;
 * NaN fails both comparisons. */
static int RoundToField(double value, uint32_t limit, uint32_t *field)
{
    double rounded = value + 0.5;
    if (!(rounded >= 0.0 && rounded < (double)limit + 1.0))
        return 0;
    *field = (uint32_t)rounded;
    return 1;
}

int SpeedFromReadings(const CounterReadings *r, CpuSpeedRecord *record)
{
    const CpuSpeedRecord none = { 0, 0, 0, 0 };
    *record = none;
    if (r->frequency <= 0 || r->tscEnd <= r->tscStart || r->qpcEnd <= r->qpcStart)
        return 0;

    const uint64_t cycles = r->tscEnd - r->tscStart;
    /* qpcEnd > qpcStart, so the difference fits the unsigned type even
     * where the signed subtraction would overflow. */
    const uint64_t ticks = (uint64_t)r->qpcEnd - (uint64_t)r->qpcStart;
    const double seconds = (double)ticks / (double)r->frequency;
    const double hertz = (double)cycles / seconds;

    CpuSpeedRecord measured = none;
    /* The launcher reads the MHz as a signed number; below 1 MHz no
     * processor that runs it was measured. */
    if (!RoundToField(seconds * 1e6, UINT32_MAX, &measured.microseconds) ||
        !RoundToField(hertz / 1e3, UINT32_MAX, &measured.kilohertz) ||
        !RoundToField(hertz / 1e6, (uint32_t)INT_MAX, &measured.megahertz) || measured.megahertz == 0)
        return 0;
    /* Only the low 32 bits fit; never 0, which with a short interval could
     * read as "no measurement". */
    measured.cycles = (uint32_t)cycles ? (uint32_t)cycles : 1u;
    *record = measured;
    return 1;
}

CpuSpeedRecord MeasureCpuClock(ReadCountersProc read, void *context)
{
    CpuSpeedRecord record = { 0, 0, 0, 0 };
    for (int attempt = 0; attempt < MEASURE_TRIES; attempt++) {
        CounterReadings readings;
        if (!read(&readings, context))
            break;
        if (SpeedFromReadings(&readings, &record))
            break;
    }
    return record;
}
