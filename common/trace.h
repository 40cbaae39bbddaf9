/* One line for whoever debugs the launcher, where it deliberately goes on
 * after a failure (a registry value it could not read, a driver it left
 * out, a picture that did not unpack, a probe that fell back). The lines go
 * to the debugger through OutputDebugStringA; under Wine,
 * WINEDEBUG=+debugstr shows them. Nothing is shown to the user or kept. */
#ifndef KVL_TRACE_H
#define KVL_TRACE_H

/* printf-style; the line is cut at 511 characters. */
void Trace(const char *format, ...)
#ifdef __GNUC__
    __attribute__((format(printf, 1, 2)))
#endif
    ;

#endif
