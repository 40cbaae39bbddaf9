/* cpuinf32.dll: measures the processor clock for the launcher by timing
 * the processor's time-stamp counter against the performance counter over
 * a short interval, on one processor. */
#include <windows.h>
#include <cpuid.h>
#include <x86intrin.h>

#include "common/export.h"
#include "sysinfo/cpuinf32/cpuinf32.h"
#include "sysinfo/cpuinf32/measure.h"

/* Long enough for the counters' resolution to vanish in the result, short
 * enough for start-up not to notice. */
#define MEASURE_INTERVALS_A_SECOND 100
/* A performance counter that stops advancing must not hold start-up. */
#define MEASURE_GIVE_UP_MILLISECONDS 1000
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
 * between the reads does not shift the pair. Returns 0 when every try
 * saw the counter go backwards. */
static int SampleCounters(CounterSample *sample)
{
    unsigned long long bestSpread = ~0ull;
    sample->tsc = 0;
    sample->qpc = 0;
    for (int i = 0; i < SAMPLE_TRIES; i++) {
        LARGE_INTEGER qpc;
        unsigned long long before = __rdtsc();
        QueryPerformanceCounter(&qpc);
        unsigned long long after = __rdtsc();
        if (after < before)
            continue;   /* the counter went backwards between the reads */
        unsigned long long spread = after - before;
        if (spread < bestSpread) {
            bestSpread = spread;
            sample->tsc = before + spread / 2;
            sample->qpc = qpc.QuadPart;
        }
    }
    return bestSpread != ~0ull;
}

/* One measurement over the interval, busy, so that a processor that slows
 * down when idle is measured at work. */
static int ReadOverInterval(CounterReadings *readings, void *context)
{
    (void)context;
    LARGE_INTEGER frequency;
    if (!QueryPerformanceFrequency(&frequency) || frequency.QuadPart <= 0)
        return 0;
    const long long wanted = frequency.QuadPart / MEASURE_INTERVALS_A_SECOND + 1;
    CounterSample start, end;
    const DWORD began = GetTickCount();
    int sampled = SampleCounters(&start);
    while (sampled) {
        sampled = SampleCounters(&end);
        /* Done when the interval has passed; at once when the performance
         * counter went backwards (the readings are refused); and when it
         * does not advance, after the give-up time. */
        if (!sampled || end.qpc < start.qpc || end.qpc - start.qpc >= wanted ||
            GetTickCount() - began >= MEASURE_GIVE_UP_MILLISECONDS)
            break;
    }
    /* A pair that could not be taken stands for a counter that stood still,
     * which the readings refuse. */
    if (!sampled)
        end = start;
    readings->tscStart = start.tsc;
    readings->tscEnd = end.tsc;
    readings->qpcStart = start.qpc;
    readings->qpcEnd = end.qpc;
    readings->frequency = frequency.QuadPart;
    return 1;
}

typedef BOOL(WINAPI *GetProcessAffinityMaskProc)(HANDLE, PDWORD_PTR, PDWORD_PTR);
typedef DWORD_PTR(WINAPI *SetThreadAffinityMaskProc)(HANDLE, DWORD_PTR);

/* The time-stamp counters of several processors need not agree, so the
 * thread stays on one for the whole measurement. Returns the thread's
 * former affinity, or 0 when it was left as it was. The affinity calls
 * are looked up at run time: Windows 95 may lack them. */
static DWORD_PTR PinToOneProcessor(SetThreadAffinityMaskProc *setAffinity)
{
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    GetProcessAffinityMaskProc getProcessAffinity =
        ExportAs<GetProcessAffinityMaskProc>(kernel, "GetProcessAffinityMask");
    *setAffinity = ExportAs<SetThreadAffinityMaskProc>(kernel, "SetThreadAffinityMask");
    DWORD_PTR processMask = 0, systemMask = 0;
    if (!getProcessAffinity || !*setAffinity ||
        !getProcessAffinity(GetCurrentProcess(), &processMask, &systemMask) || processMask == 0)
        return 0;
    const DWORD_PTR lowest = processMask & (~processMask + 1);
    const DWORD_PTR former = (*setAffinity)(GetCurrentThread(), lowest);
    /* Let the scheduler move the thread there before the first reading. */
    if (former != 0)
        Sleep(0);
    return former;
}

extern "C" CpuSpeedRecord __cdecl cpuspeed(int reserved)
{
    (void)reserved;
    CpuSpeedRecord none = { 0, 0, 0, 0 };
    if (!HasTimeStampCounter())
        return none;

    HANDLE thread = GetCurrentThread();
    SetThreadAffinityMaskProc setAffinity;
    const DWORD_PTR formerAffinity = PinToOneProcessor(&setAffinity);
    const int oldPriority = GetThreadPriority(thread);
    SetThreadPriority(thread, THREAD_PRIORITY_TIME_CRITICAL);

    CpuSpeedRecord record = MeasureCpuClock(ReadOverInterval, NULL);

    SetThreadPriority(thread, oldPriority);
    if (formerAffinity != 0)
        setAffinity(thread, formerAffinity);
    return record;
}
