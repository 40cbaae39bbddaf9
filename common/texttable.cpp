#include "common/texttable.h"

/* placeholder: the parser comes with the foundation work */
int TextTableBuild(TextTable *table, const char *, size_t) { table->copy = 0; table->entries = 0; table->count = 0; return 0; }
void TextTableFree(TextTable *table) { table->count = 0; }
const char *TextTableGet(const TextTable *, int) { return "Text index error !"; }
const char *GetText(int) { return "Text index error !"; }
const char *GetMessageText(int) { return "Unknown message"; }
void FreeTextTable(void) {}
void LoadTextTableFromBytes(const char *, size_t) {}
