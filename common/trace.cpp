/* Trace lines: see trace.h. */
#include <windows.h>
#include <stdarg.h>
#include <stdio.h>
#include <string.h>

#include "common/trace.h"

void Trace(const char *format, ...)
{
    /* The program's name first, so that the line stands out among those of
     * the system's own libraries. */
    char line[16 + 512 + 2] = "Launcher: ";
    size_t at = strlen(line);
    va_list args;
    va_start(args, format);
    int n = vsnprintf(line + at, 512, format, args);
    va_end(args);
    if (n < 0)
        return;
    at += (size_t)n < 512 ? (size_t)n : 511;
    line[at++] = '\n';
    line[at] = '\0';
    OutputDebugStringA(line);
}
