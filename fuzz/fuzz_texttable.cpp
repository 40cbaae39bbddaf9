/* Fuzzes the text table parser: any bytes must build a table whose every
 * text lies inside the private copy and ends inside it, and the lookups
 * must hold for every number. */
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "common/texttable.h"

static void Check(int condition)
{
    if (!condition)
        abort();
}

static void CheckText(const TextTable *table, size_t size, const char *text)
{
    Check(text >= table->copy && text <= table->copy + size);
    /* The copy holds one NUL beyond the data: every text ends by then. */
    size_t room = (size_t)(table->copy + size + 1 - text);
    Check(memchr(text, '\0', room) != NULL);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const char *bytes = (const char *)data;
    TextTable table;
    int ok = TextTableBuild(&table, bytes, size);
    Check(ok == 1 || (table.count == 0 && table.copy == NULL));
    Check(table.count >= 0 && (size_t)table.count <= size / 3);
    if (table.count > 0)
        Check(table.copy != NULL && table.entries != NULL);
    const char *error = TextTableGet(&table, -1);
    for (int n = 0; n < table.count; n++) {
        const char *text = TextTableGet(&table, n);
        Check(text != error);
        CheckText(&table, size, text);
    }
    Check(TextTableGet(&table, table.count) == error);

    /* The process-wide table over the same bytes. */
    LoadTextTableFromBytes(bytes, size);
    for (int n = -1; n <= table.count && n <= TEXT_TABLE_SHIPPED_COUNT; n++) {
        const char *text = GetText(n);
        const char *message = GetMessageText(n);
        if (n >= 0 && n < table.count) {
            Check(strcmp(text, TextTableGet(&table, n)) == 0);
            if (n < TEXT_MESSAGE_COUNT)
                Check(message == text);
        } else {
            Check(strcmp(text, "Text index error !") == 0);
        }
        if (n < 0 || n >= TEXT_MESSAGE_COUNT)
            Check(strcmp(message, "Unknown message") == 0);
    }
    FreeTextTable();
    FreeTextTable();
    TextTableFree(&table);
    return 0;
}
