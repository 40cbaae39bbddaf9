/* cpuinf32.dll's figures: time per call against the 10 ms it measures
 * (pinning the thread to one processor and back must not show), agreement
 * from call to call, and agreement with an independent one-second
 * measurement of the time-stamp counter against the performance counter.
 * The library is the one beside this program, loaded by full path as the
 * launcher does. */
#include <windows.h>
#include <stdio.h>
#include <x86intrin.h>

#include <algorithm>
#include <string.h>

#include "sysinfo/cpuinf32/cpuinf32.h"

static const int Calls = 20;
static const double IntervalMs = 10.0;   /* what each call measures */

static double Seconds(const LARGE_INTEGER &a, const LARGE_INTEGER &b)
{
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return (double)(b.QuadPart - a.QuadPart) / (double)f.QuadPart;
}

int main()
{
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(NULL, path, sizeof path);
    char *slash = n < sizeof path ? strrchr(path, '\\') : NULL;
    if (!slash || (size_t)(slash + 1 - path) + sizeof "cpuinf32.dll" > sizeof path) {
        printf("own folder unknown\n");
        return 1;
    }
    strcpy(slash + 1, "cpuinf32.dll");
    HMODULE library = LoadLibraryA(path);
    if (!library) {
        printf("cpuinf32.dll not found\n");
        return 1;
    }
    CpuSpeedProc cpuspeed = reinterpret_cast<CpuSpeedProc>(
        reinterpret_cast<void (*)(void)>(GetProcAddress(library, "cpuspeed")));
    if (!cpuspeed) {
        printf("no export cpuspeed\n");
        return 1;
    }

    double slowest = 0, total = 0, low = 1e30, high = 0, sum = 0;
    int measured = 0;
    for (int i = 0; i < Calls; i++) {
        LARGE_INTEGER t0, t1;
        QueryPerformanceCounter(&t0);
        CpuSpeedRecord r = cpuspeed(0);
        QueryPerformanceCounter(&t1);
        double ms = Seconds(t0, t1) * 1e3;
        slowest = std::max(slowest, ms);
        total += ms;
        /* Counters that went backwards twice: no figure, counted below. */
        if (r.cycles == 0 && r.microseconds == 0)
            continue;
        measured++;
        double mhz = r.kilohertz / 1000.0;
        low = std::min(low, mhz);
        high = std::max(high, mhz);
        sum += mhz;
    }
    if (measured == 0) {
        printf("no measurement in %d calls (no time-stamp counter?)\n", Calls);
        return 1;
    }
    const double mean = sum / measured;

    /* The reference: one second, sleeping, read by this program itself. */
    LARGE_INTEGER q0, q1;
    unsigned long long c0 = __rdtsc();
    QueryPerformanceCounter(&q0);
    Sleep(1000);
    unsigned long long c1 = __rdtsc();
    QueryPerformanceCounter(&q1);
    const double reference = (double)(c1 - c0) / Seconds(q0, q1) / 1e6;

    printf("cpuspeed: %d calls, %d measured, %.1f ms mean, %.1f ms slowest (bound 50 ms)\n", Calls, measured,
           total / Calls, slowest);
    printf("call time / measured interval: mean %.2f, slowest %.2f\n", total / Calls / IntervalMs,
           slowest / IntervalMs);
    printf("clock: %.1f to %.1f MHz, mean %.1f; call-to-call spread %.3f%% (bound 1%%)\n", low, high, mean,
           (high - low) / mean * 100.0);
    printf("one-second reference: %.1f MHz; ratio mean/reference %.4f, deviation %.3f%% (bound 3%%)\n",
           reference, mean / reference, (mean / reference - 1.0) * 100.0);
    FreeLibrary(library);
    return 0;
}
