/* cpuinf32.dll's figures: time per call, agreement from call to call, and
 * agreement with an independent one-second measurement of the time-stamp
 * counter against the performance counter. */
#include <windows.h>
#include <stdio.h>
#include <x86intrin.h>

#include <algorithm>

#include "sysinfo/cpuinf32/cpuspeed.h"

static const int Calls = 20;

static double Seconds(const LARGE_INTEGER &a, const LARGE_INTEGER &b)
{
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return (double)(b.QuadPart - a.QuadPart) / (double)f.QuadPart;
}

int main()
{
    HMODULE library = LoadLibraryA("cpuinf32.dll");
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
    for (int i = 0; i < Calls; i++) {
        LARGE_INTEGER t0, t1;
        QueryPerformanceCounter(&t0);
        CpuSpeedRecord r = cpuspeed(0);
        QueryPerformanceCounter(&t1);
        if (r.cycles == 0 && r.microseconds == 0) {
            printf("no measurement (no time-stamp counter)\n");
            return 1;
        }
        double ms = Seconds(t0, t1) * 1e3;
        slowest = std::max(slowest, ms);
        total += ms;
        double mhz = r.kilohertz / 1000.0;
        low = std::min(low, mhz);
        high = std::max(high, mhz);
        sum += mhz;
    }
    const double mean = sum / Calls;

    /* The reference: one second, sleeping, read by this program itself. */
    LARGE_INTEGER q0, q1;
    unsigned long long c0 = __rdtsc();
    QueryPerformanceCounter(&q0);
    Sleep(1000);
    unsigned long long c1 = __rdtsc();
    QueryPerformanceCounter(&q1);
    const double reference = (double)(c1 - c0) / Seconds(q0, q1) / 1e6;

    printf("cpuspeed: %d calls, %.1f ms mean, %.1f ms slowest (bound 50 ms)\n", Calls, total / Calls, slowest);
    printf("clock: %.1f to %.1f MHz, mean %.1f; call-to-call spread %.3f%% (bound 1%%)\n", low, high, mean,
           (high - low) / mean * 100.0);
    printf("one-second reference: %.1f MHz; ratio mean/reference %.4f, deviation %.3f%% (bound 3%%)\n",
           reference, mean / reference, (mean / reference - 1.0) * 100.0);
    FreeLibrary(library);
    return 0;
}
