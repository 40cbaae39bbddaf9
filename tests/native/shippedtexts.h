/* For native tests that need the real French texts: compiles
 * resources/texts.txt as the build does and loads it as the process-wide
 * table. Returns 1 on success. */
#ifndef KVL_TESTS_SHIPPEDTEXTS_H
#define KVL_TESTS_SHIPPEDTEXTS_H

#include <stdio.h>
#include <string>

#include "common/texttable.h"
#include "tools/textcompile.h"

static inline int ReadTextSource(std::string *source)
{
    FILE *in = fopen(KVL_SOURCE_DIR "/resources/texts.txt", "rb");
    if (!in)
        return 0;
    char buffer[4096];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, in)) > 0)
        source->append(buffer, got);
    fclose(in);
    return 1;
}

static inline int CompileShippedTextTable(std::string *table)
{
    std::string source;
    char error[300];
    return ReadTextSource(&source) &&
           CompileTextTable(source.data(), source.size(), table, error, sizeof error);
}

static inline int LoadShippedTextTable(void)
{
    std::string table;
    if (!CompileShippedTextTable(&table))
        return 0;
    LoadTextTableFromBytes(table.data(), table.size());
    return GetText(TEXT_TABLE_SHIPPED_COUNT - 1) != GetText(-1);
}

#endif
