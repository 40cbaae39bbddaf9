/* The numbered text table.
 *
 * The resource is plain text: every entry starts with "[.]" and runs on,
 * across line breaks, up to the next "[.]" or the end marker "[]". The
 * last line break before a marker is not part of the text: each of the two
 * characters just before the marker that is a CR or an LF becomes a NUL,
 * and that NUL ends the text. A "[" followed by anything else is ordinary
 * text ("[Clavier]").
 *
 * The table keeps a private copy of the bytes with one extra NUL after
 * them, so that a last text without a marker after it still ends inside the
 * copy; the entries are pointers into that copy. */
#include "common/texttable.h"

#include <limits.h>
#include <stdlib.h>
#include <string.h>

static const char TextIndexError[] = "Text index error !";
static const char UnknownMessage[] = "Unknown message";

/* The process-wide table, empty until loaded. */
static TextTable Texts = { 0, 0, 0 };

/* Position of the next "[" at or after from, or size when there is none. */
static size_t FindBracket(const char *data, size_t size, size_t from)
{
    while (from < size && data[from] != '[')
        from++;
    return from;
}

static int IsEntryMarker(const char *data, size_t size, size_t at)
{
    return at + 2 < size && data[at] == '[' && data[at + 1] == '.' && data[at + 2] == ']';
}

static int IsEndMarker(const char *data, size_t size, size_t at)
{
    return at + 1 < size && data[at] == '[' && data[at + 1] == ']';
}

/* Counting pass: the entries before the end marker (or the end of data). */
static int CountEntries(const char *data, size_t size)
{
    int count = 0;
    size_t at = FindBracket(data, size, 0);
    while (at < size) {
        if (IsEndMarker(data, size, at))
            break;
        if (IsEntryMarker(data, size, at) && count < INT_MAX)
            count++;
        at = FindBracket(data, size, at + 1);
    }
    return count;
}

/* Position of the marker that ends a text starting at from: the next "[.]"
 * or "[]", or size when the data ends first. */
static size_t FindTextEnd(const char *data, size_t size, size_t from)
{
    size_t at = FindBracket(data, size, from);
    while (at < size && !IsEntryMarker(data, size, at) && !IsEndMarker(data, size, at))
        at = FindBracket(data, size, at + 1);
    return at;
}

/* Position of the next "[.]" at or after from, or size. */
static size_t FindEntryMarker(const char *data, size_t size, size_t from)
{
    size_t at = FindBracket(data, size, from);
    while (at < size && !IsEntryMarker(data, size, at))
        at = FindBracket(data, size, at + 1);
    return at;
}

static void ClearIfLineBreak(char *c)
{
    if (*c == '\r' || *c == '\n')
        *c = '\0';
}

int TextTableBuild(TextTable *table, const char *bytes, size_t size)
{
    table->copy = 0;
    table->entries = 0;
    table->count = 0;
    if (!bytes || size == 0 || size == (size_t)-1)
        return 0;

    char *copy = (char *)malloc(size + 1);
    if (!copy)
        return 0;
    memcpy(copy, bytes, size);
    copy[size] = '\0';

    int count = CountEntries(copy, size);
    if (count == 0) {
        /* Nothing to index: an empty table, which every lookup answers
         * with the error text. */
        free(copy);
        return 1;
    }

    char **entries = (char **)calloc((size_t)count, sizeof *entries);
    if (!entries) {
        free(copy);
        return 0;
    }

    size_t at = 0;
    for (int n = 0; n < count; n++) {
        size_t marker = FindEntryMarker(copy, size, at);
        if (marker >= size)
            break; /* cannot happen: the counting pass saw count markers */
        size_t start = marker + 3;
        entries[n] = copy + start;
        size_t end = FindTextEnd(copy, size, start);
        if (end < size) {
            /* end >= start >= 3, so both characters exist; a text shorter
             * than two characters has "]" or "." of its own marker there,
             * which are never line breaks. */
            ClearIfLineBreak(&copy[end - 1]);
            ClearIfLineBreak(&copy[end - 2]);
        }
        at = end;
    }

    table->copy = copy;
    table->entries = entries;
    table->count = count;
    return 1;
}

void TextTableFree(TextTable *table)
{
    free(table->entries);
    free(table->copy);
    table->entries = 0;
    table->copy = 0;
    table->count = 0;
}

const char *TextTableGet(const TextTable *table, int n)
{
    if (!table->entries || n < 0 || n >= table->count || !table->entries[n])
        return TextIndexError;
    return table->entries[n];
}

const char *GetText(int n)
{
    return TextTableGet(&Texts, n);
}

const char *GetMessageText(int n)
{
    /* The message dialogs take any number; the bound is the size of the
     * game's table, whatever was loaded and whatever the launcher added. */
    if ((unsigned)n < (unsigned)TEXT_MESSAGE_COUNT)
        return GetText(n);
    return UnknownMessage;
}

void FreeTextTable(void)
{
    TextTableFree(&Texts);
}

void LoadTextTableFromBytes(const char *bytes, size_t size)
{
    TextTableFree(&Texts);
    TextTableBuild(&Texts, bytes, size);
}
