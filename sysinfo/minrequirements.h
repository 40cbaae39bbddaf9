/* The start-up minimum-requirements check. */
#ifndef KVL_MINREQUIREMENTS_H
#define KVL_MINREQUIREMENTS_H

/* Measures the processor into CpuSpeedMhz and warns, with no owner, when
 * the machine falls short; 1 when it did. Start-up goes on either way. */
int CheckMinimumSpecification(void);

#endif
