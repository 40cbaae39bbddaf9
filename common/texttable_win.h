/* The process-wide text table filled from the program's own RCDATA
 * resource (see texttable.h for the table itself). */
#ifndef KVL_TEXTTABLE_WIN_H
#define KVL_TEXTTABLE_WIN_H

/* Replaces the process-wide table with the resource's texts; when the
 * resource cannot be read the table stays empty and every text reads
 * "Text index error !". */
void LoadTextTable(void);

#endif
