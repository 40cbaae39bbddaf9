/* The machine report: what the probes and the start-up inventory give,
 * laid out for the system information dialog. */
#ifndef KVL_MACHINEREPORT_H
#define KVL_MACHINEREPORT_H

#include <stddef.h>

/* Runs the probes and lays out the report (SYSTEM_REPORT_SIZE bytes). */
void BuildSystemReport(char *report, size_t size);

#endif
