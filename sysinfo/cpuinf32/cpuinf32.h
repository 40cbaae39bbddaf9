/* The contract of cpuinf32.dll's export "cpuspeed", shared by the library
 * and the launcher that loads it: cdecl, one 32-bit argument (always 0)
 * that the caller removes, and a record of four unsigned 32-bit numbers
 * returned by value. A 16-byte record comes back through a hidden pointer
 * that the caller passes first and also removes, so both sides must see
 * exactly this declaration. */
#ifndef KVL_CPUINF32_H
#define KVL_CPUINF32_H

#include <stdint.h>

struct CpuSpeedRecord {
    uint32_t cycles;        /* time-stamp counter ticks measured (low 32 bits) */
    uint32_t microseconds;  /* length of the measurement */
    uint32_t kilohertz;     /* the clock in kHz (informative) */
    uint32_t megahertz;     /* the clock in MHz, rounded */
};
/* cycles and microseconds both 0: no measurement was made. */

/* The calling convention exists only where the library does; the record
 * itself is also computed and tested natively. */
#ifdef _WIN32
typedef CpuSpeedRecord(__cdecl *CpuSpeedProc)(int reserved);
/* The export, defined by the library (and by the tests' stand-ins). */
extern "C" CpuSpeedRecord __cdecl cpuspeed(int reserved);
#endif

#endif
