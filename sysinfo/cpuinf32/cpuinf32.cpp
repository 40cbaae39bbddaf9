/* cpuinf32.dll: measures the processor clock for the launcher by timing
 * the processor's time-stamp counter against the performance counter over
 * a short interval. */
#include <windows.h>
#include <cpuid.h>
#include <x86intrin.h>

#include "sysinfo/cpuinf32/cpuspeed.h"

/* Long enough for the counters' resolution to vanish in the result, short
 * enough for start-up not to notice. */
#define MEASURE_MILLISECONDS 10
#define SAMPLE_TRIES 8

struct CounterSample {
    unsigned long long tsc;
    long long qpc;
};

/* The time-stamp counter needs CPUID (which the helper tests for through
 * the flags register on 32-bit processors) and its feature bit. */
static int HasTimeStampCounter(void)
{
    unsigned int a, b, c, d;
    if (!__get_cpuid(1, &a, &b, &c, &d))
        return 0;
    return (d & (1u << 4)) != 0;   /* TSC feature bit */
}

/* Both counters read together: of a few tries, the one where the reads
 * were closest, the counter taken at the middle, so that an interruption
 * between the reads does not shift the pair. */
static void SampleCounters(CounterSample *sample)
{
    unsigned long long bestSpread = ~0ull;
    sample->tsc = 0;
    sample->qpc = 0;
    for (int i = 0; i < SAMPLE_TRIES; i++) {
        LARGE_INTEGER qpc;
        unsigned long long before = __rdtsc();
        QueryPerformanceCounter(&qpc);
        unsigned long long after = __rdtsc();
        unsigned long long spread = after - before;
        if (spread < bestSpread) {
            bestSpread = spread;
            sample->tsc = before + spread / 2;
            sample->qpc = qpc.QuadPart;
        }
    }
}

extern "C" CpuSpeedRecord __cdecl cpuspeed(int reserved)
{
    (void)reserved;
    CpuSpeedRecord record = { 0, 0, 0, 0 };
    LARGE_INTEGER frequency;
    if (!HasTimeStampCounter() || !QueryPerformanceFrequency(&frequency) || frequency.QuadPart <= 0)
        return record;

    HANDLE thread = GetCurrentThread();
    int oldPriority = GetThreadPriority(thread);
    SetThreadPriority(thread, THREAD_PRIORITY_TIME_CRITICAL);
    CounterSample start = { 0, 0 }, end = { 0, 0 };
    SampleCounters(&start);
    long long wanted = frequency.QuadPart * MEASURE_MILLISECONDS / 1000;
    /* Busy: a processor that slows down when idle is measured at work. */
    do {
        SampleCounters(&end);
    } while (end.qpc - start.qpc < wanted);
    SetThreadPriority(thread, oldPriority);

    unsigned long long cycles = end.tsc - start.tsc;
    double seconds = (double)(end.qpc - start.qpc) / (double)frequency.QuadPart;
    double hertz = (double)cycles / seconds;
    if (cycles == 0 || !(hertz > 0.0))
        return record;

    record.cycles = (uint32_t)cycles ? (uint32_t)cycles : 1u;
    record.microseconds = (uint32_t)(seconds * 1e6 + 0.5);
    record.kilohertz = (uint32_t)(hertz / 1e3 + 0.5);
    record.megahertz = (uint32_t)(hertz / 1e6 + 0.5);
    return record;
}
