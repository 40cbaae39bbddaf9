/* The numbered text table: every text the launcher shows comes from here
 * by number (its name in resources/texts.h). The parser needs nothing of
 * Win32; LoadTextTable (texttable_win.h) feeds it the RCDATA resource. */
#ifndef KVL_TEXTTABLE_H
#define KVL_TEXTTABLE_H

#include <stddef.h>

/* Entry count of the shipped table: the game's 163 entries, then the
 * launcher's own later texts. */
#define TEXT_TABLE_SHIPPED_COUNT 168
/* GetMessageText's bound: the entries of the table the game was built
 * with. Message numbers never reach the launcher's later texts. */
#define TEXT_MESSAGE_COUNT 163

struct TextTable {
    char *copy;      /* private copy of the resource bytes, NUL-ended texts */
    char **entries;  /* count pointers into copy */
    int count;
};

/* Builds a table from raw resource bytes: copies them, counts and indexes
 * the entries. Never reads past bytes[size]. Returns 1, or 0 (table left
 * empty) when memory runs out or size is 0. Bytes without any entry give
 * an empty table and 1. The table must be empty (or freed) beforehand. */
int TextTableBuild(TextTable *table, const char *bytes, size_t size);
void TextTableFree(TextTable *table);
/* Entry n, or "Text index error !" when there is none. */
const char *TextTableGet(const TextTable *table, int n);

/* The process-wide table. */
const char *GetText(int n);
const char *GetMessageText(int n);
void FreeTextTable(void);
/* Fills the process-wide table from given bytes (tests, LoadTextTable). */
void LoadTextTableFromBytes(const char *bytes, size_t size);

#endif
