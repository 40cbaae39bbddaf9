/* The start-up minimum-requirements check and the system information
 * dialog with its machine report. */
#ifndef KVL_SYSDLG_H
#define KVL_SYSDLG_H

#include <windows.h>
#include <stddef.h>

/* Measures the processor into CpuSpeedMhz and warns, with no owner, when
 * the machine falls short; 1 when it did. Start-up goes on either way. */
int CheckMinimumSpecification(void);
/* Runs the probes and lays out the report (SYSTEM_REPORT_SIZE bytes). */
void BuildSystemReport(char *report, size_t size);
/* The report in its dialog, until the user closes it; 0. */
int ShowSystemInformation(HWND owner);

#endif
