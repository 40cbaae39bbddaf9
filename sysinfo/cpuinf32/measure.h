/* The arithmetic of cpuinf32.dll, apart from the counters themselves: from
 * two readings of the time-stamp counter and of the performance counter,
 * the record that the export returns. A reading that makes no sense (a
 * counter that went backwards or stood still, a zero frequency, a figure
 * too large for its field) never becomes a speed. */
#ifndef KVL_CPUINF32_MEASURE_H
#define KVL_CPUINF32_MEASURE_H

#include <stdint.h>

#include "sysinfo/cpuinf32/cpuinf32.h"

struct CounterReadings {
    uint64_t tscStart, tscEnd;   /* time-stamp counter, processor cycles */
    int64_t qpcStart, qpcEnd;    /* performance counter */
    int64_t frequency;           /* performance counter ticks a second */
};

/* Fills *record from the readings and returns 1; or returns 0, the record
 * all zeros, when the readings make no sense. */
int SpeedFromReadings(const CounterReadings *readings, CpuSpeedRecord *record);

/* Takes one set of readings; returns 0 when the counters cannot be read at
 * all (no time-stamp counter, no performance counter). */
typedef int (*ReadCountersProc)(CounterReadings *readings, void *context);

/* Reads the counters and computes the record. Readings that make no sense
 * are taken once more (a thread moved between processors whose counters
 * disagree, a counter reset); a second failure, like counters that cannot
 * be read, gives the all-zero record of no measurement. */
CpuSpeedRecord MeasureCpuClock(ReadCountersProc read, void *context);

#endif
