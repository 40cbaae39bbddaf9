/* Text table compiler: see textcompile.h for the source format. */
#include "tools/textcompile.h"

#include <ctype.h>
#include <stdarg.h>
#include <stdio.h>
#include <string.h>

#include "common/texttable.h"

/* Unicode characters of bytes 0x80 to 0xFF; 0 where a byte has none. */
static const unsigned short Cp1252High[128] = {
    0x20AC, 0x0000, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x0000, 0x017D, 0x0000,
    0x0000, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x0000, 0x017E, 0x0178,
    0x00A0, 0x00A1, 0x00A2, 0x00A3, 0x00A4, 0x00A5, 0x00A6, 0x00A7,
    0x00A8, 0x00A9, 0x00AA, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x00AF,
    0x00B0, 0x00B1, 0x00B2, 0x00B3, 0x00B4, 0x00B5, 0x00B6, 0x00B7,
    0x00B8, 0x00B9, 0x00BA, 0x00BB, 0x00BC, 0x00BD, 0x00BE, 0x00BF,
    0x00C0, 0x00C1, 0x00C2, 0x00C3, 0x00C4, 0x00C5, 0x00C6, 0x00C7,
    0x00C8, 0x00C9, 0x00CA, 0x00CB, 0x00CC, 0x00CD, 0x00CE, 0x00CF,
    0x00D0, 0x00D1, 0x00D2, 0x00D3, 0x00D4, 0x00D5, 0x00D6, 0x00D7,
    0x00D8, 0x00D9, 0x00DA, 0x00DB, 0x00DC, 0x00DD, 0x00DE, 0x00DF,
    0x00E0, 0x00E1, 0x00E2, 0x00E3, 0x00E4, 0x00E5, 0x00E6, 0x00E7,
    0x00E8, 0x00E9, 0x00EA, 0x00EB, 0x00EC, 0x00ED, 0x00EE, 0x00EF,
    0x00F0, 0x00F1, 0x00F2, 0x00F3, 0x00F4, 0x00F5, 0x00F6, 0x00F7,
    0x00F8, 0x00F9, 0x00FA, 0x00FB, 0x00FC, 0x00FD, 0x00FE, 0x00FF,
};

static const unsigned short Cp850High[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00F8, 0x00A3, 0x00D8, 0x00D7, 0x0192,
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,
    0x00BF, 0x00AE, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x00C1, 0x00C2, 0x00C0,
    0x00A9, 0x2563, 0x2551, 0x2557, 0x255D, 0x00A2, 0x00A5, 0x2510,
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x00E3, 0x00C3,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x00A4,
    0x00F0, 0x00D0, 0x00CA, 0x00CB, 0x00C8, 0x0131, 0x00CD, 0x00CE,
    0x00CF, 0x2518, 0x250C, 0x2588, 0x2584, 0x00A6, 0x00CC, 0x2580,
    0x00D3, 0x00DF, 0x00D4, 0x00D2, 0x00F5, 0x00D5, 0x00B5, 0x00FE,
    0x00DE, 0x00DA, 0x00DB, 0x00D9, 0x00FD, 0x00DD, 0x00AF, 0x00B4,
    0x00AD, 0x00B1, 0x2017, 0x00BE, 0x00B6, 0x00A7, 0x00F7, 0x00B8,
    0x00B0, 0x00A8, 0x00B7, 0x00B9, 0x00B3, 0x00B2, 0x25A0, 0x00A0,
};

static int EncodeWith(const unsigned short *high, unsigned long cp)
{
    if (cp >= 0x20 && cp < 0x7F)
        return (int)cp;
    if (cp == 0)
        return -1;
    for (int i = 0; i < 128; i++)
        if (high[i] == cp)
            return 0x80 + i;
    return -1;
}

int EncodeCp1252(unsigned long cp) { return EncodeWith(Cp1252High, cp); }
int EncodeCp850(unsigned long cp) { return EncodeWith(Cp850High, cp); }

int TextEntryIsAnsi(int n)
{
    return n >= 74 && n != 162;
}

/* The conversions of a printf format, one after another as written ("%%"
 * is a literal percent sign, no conversion). A "%" at the very end counts
 * as a conversion of its own, so it never matches. */
static std::string ConversionsOf(const std::string &text)
{
    std::string found;
    for (size_t i = 0; i < text.size(); i++) {
        if (text[i] != '%')
            continue;
        if (i + 1 < text.size() && text[i + 1] == '%') {
            i++;
            continue;
        }
        size_t end = i + 1;
        while (end < text.size() && text[end] != '\0' && strchr("-+ #0123456789.*hlLqjzt", text[end]) != NULL)
            end++;
        if (end < text.size())
            end++;   /* the conversion character */
        found.append(text, i, end - i);
        i = end - 1;
    }
    return found;
}

/* Reading state of one compilation. */
struct Compiler {
    const char *src;
    size_t size;
    size_t pos;        /* start of the next line */
    int line;          /* number of the current line, from 1 */
    int entry;         /* current entry, -1 before the first header */
    int entryLine;     /* line of the current entry's header */
    TextName header;   /* the current entry's name and conversions, if named */
    char *error;
    size_t errorSize;
};

static int Fail(Compiler *c, const char *format, ...)
{
    char problem[200];
    va_list args;
    va_start(args, format);
    vsnprintf(problem, sizeof problem, format, args);
    va_end(args);
    if (c->entry >= 0)
        snprintf(c->error, c->errorSize, "entry %d (line %d): %s", c->entry, c->line, problem);
    else if (c->line > 0)
        snprintf(c->error, c->errorSize, "line %d: %s", c->line, problem);
    else
        snprintf(c->error, c->errorSize, "%s", problem);
    return 0;
}

/* Decodes one UTF-8 character at s[*i], s[len) bounded; -1 when invalid. */
static long DecodeUtf8(const unsigned char *s, size_t len, size_t *i)
{
    unsigned char b = s[*i];
    int extra;
    unsigned long cp;
    if (b < 0x80) { (*i)++; return b; }
    if (b >= 0xC2 && b <= 0xDF) { extra = 1; cp = b & 0x1F; }
    else if (b >= 0xE0 && b <= 0xEF) { extra = 2; cp = b & 0x0F; }
    else if (b >= 0xF0 && b <= 0xF4) { extra = 3; cp = b & 0x07; }
    else return -1;
    if (len - *i <= (size_t)extra)
        return -1;
    for (int k = 1; k <= extra; k++) {
        unsigned char t = s[*i + k];
        if ((t & 0xC0) != 0x80)
            return -1;
        cp = (cp << 6) | (t & 0x3F);
    }
    if ((extra == 2 && cp < 0x800) || (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF)) ||
        (cp >= 0xD800 && cp <= 0xDFFF))
        return -1;
    *i += extra + 1;
    return (long)cp;
}

/* Encodes one text line (escapes resolved) and appends it to *text. */
static int EncodeLine(Compiler *c, const char *line, size_t len, std::string *text)
{
    const unsigned char *s = (const unsigned char *)line;
    if (len > 0 && (s[len - 1] == ' ' || s[len - 1] == '\t'))
        return Fail(c, "blank at the end of a line (write it as \\s)");
    int ansi = TextEntryIsAnsi(c->entry);
    size_t i = 0;
    while (i < len) {
        unsigned long cp;
        if (s[i] == '\\') {
            if (i + 1 >= len)
                return Fail(c, "lone \\ at the end of a line (write \\\\)");
            switch (s[i + 1]) {
            case 's': cp = ' '; break;
            case '\\': cp = '\\'; break;
            case '#': cp = '#'; break;
            case '@': cp = '@'; break;
            default: return Fail(c, "unknown escape \\%c", s[i + 1] >= 0x20 && s[i + 1] < 0x7F ? s[i + 1] : '?');
            }
            i += 2;
        } else {
            long d = DecodeUtf8(s, len, &i);
            if (d < 0)
                return Fail(c, "invalid UTF-8");
            cp = (unsigned long)d;
            if (cp < 0x20 || cp == 0x7F)
                return Fail(c, "control character 0x%02lX", cp);
        }
        int b = ansi ? EncodeCp1252(cp) : EncodeCp850(cp);
        if (b < 0)
            return Fail(c, "character U+%04lX has no byte in %s", cp, ansi ? "Windows-1252" : "code page 850");
        text->push_back((char)b);
    }
    return 1;
}

/* Ends the current entry: drops its trailing blank lines, checks it and
 * appends it to the output. */
static int FinishEntry(Compiler *c, std::string *lines, size_t keep, std::string *out)
{
    lines->resize(keep);
    /* A whole-entry problem is reported at the entry's header line. */
    if (lines->find("[.]") != std::string::npos) {
        c->line = c->entryLine;
        return Fail(c, "text contains \"[.]\", which would start another entry");
    }
    if (lines->find("[]") != std::string::npos) {
        c->line = c->entryLine;
        return Fail(c, "text contains \"[]\", which would end the table");
    }
    if (!c->header.name.empty()) {
        std::string found = ConversionsOf(*lines);
        if (found != c->header.conversions) {
            c->line = c->entryLine;
            return Fail(c, "conversions \"%s\" where the launcher passes \"%s\" (a literal %% is written %%%%)",
                        found.c_str(), c->header.conversions.c_str());
        }
    }
    out->append("[.]");
    out->append(*lines);
    out->append("\r\n");
    return 1;
}

#define TEXT_NAME_MAX 40

static size_t SkipBlanks(const char *line, size_t len, size_t i)
{
    while (i < len && (line[i] == ' ' || line[i] == '\t'))
        i++;
    return i;
}

/* Parses a header line "@N [NAME [CONVERSIONS]] [# comment]": returns N,
 * with the name and the conversions (blanks between them dropped) in
 * *header, or -1 when the line is malformed. */
static long ParseHeader(const char *line, size_t len, TextName *header)
{
    size_t i = 1;
    long n = 0;
    header->name.clear();
    header->conversions.clear();
    if (i >= len || line[i] < '0' || line[i] > '9')
        return -1;
    while (i < len && line[i] >= '0' && line[i] <= '9') {
        n = n * 10 + (line[i] - '0');
        if (n > 100000)
            return -1;
        i++;
    }
    size_t at = SkipBlanks(line, len, i);
    if (at < len && at > i && line[at] >= 'A' && line[at] <= 'Z') {
        while (at < len && (isupper((unsigned char)line[at]) || isdigit((unsigned char)line[at]) || line[at] == '_'))
            header->name.push_back(line[at++]);
        if (header->name.size() > TEXT_NAME_MAX)
            return -1;
        i = at;
        at = SkipBlanks(line, len, i);
        while (at < len && at > i && line[at] == '%') {
            while (at < len && line[at] != ' ' && line[at] != '\t')
                header->conversions.push_back(line[at++]);
            i = at;
            at = SkipBlanks(line, len, i);
        }
        /* What is declared must read as conversions and nothing else. */
        if (ConversionsOf(header->conversions) != header->conversions)
            return -1;
    }
    if (at < len && (at == i || line[at] != '#'))
        return -1;
    return n;
}

int CompileTextTable(const char *source, size_t size, std::string *out, char *error, size_t errorSize,
                     std::vector<TextName> *names)
{
    Compiler c = { source, size, 0, 0, -1, 0, TextName(), error, errorSize };
    std::vector<TextName> named;
    std::string text;      /* the current entry's encoded lines, CR LF joined */
    size_t keep = 0;       /* length of text up to its last non-blank line */
    int lines = 0;         /* lines in text so far */
    out->clear();
    if (errorSize)
        error[0] = '\0';
    if (size >= 3 && memcmp(source, "\xEF\xBB\xBF", 3) == 0)
        c.pos = 3;

    while (c.pos < size) {
        size_t start = c.pos, end = c.pos;
        while (end < size && source[end] != '\n')
            end++;
        c.pos = end < size ? end + 1 : end;
        c.line++;
        size_t len = end - start;
        if (len > 0 && source[start + len - 1] == '\r')
            len--;
        const char *line = source + start;

        if (len > 0 && line[0] == '#')
            continue;
        if (len > 0 && line[0] == '@') {
            if (c.entry >= 0 && !FinishEntry(&c, &text, keep, out))
                return 0;
            long n = ParseHeader(line, len, &c.header);
            if (n < 0)
                return Fail(&c, "bad entry header (expected @, a number, then a NAME and its %%conversions)");
            int expected = c.entry + 1;
            c.entry = (int)n;
            c.entryLine = c.line;
            if (n != expected)
                return Fail(&c, "numbering broken: entry %d expected here", expected);
            if (c.entry >= TEXT_TABLE_SHIPPED_COUNT)
                return Fail(&c, "beyond the last entry %d", TEXT_TABLE_SHIPPED_COUNT - 1);
            if (!c.header.name.empty()) {
                for (const TextName &other : named)
                    if (other.name == c.header.name)
                        return Fail(&c, "name %s already given to entry %d", other.name.c_str(), other.entry);
                c.header.entry = c.entry;
                named.push_back(c.header);
            }
            text.clear();
            keep = 0;
            lines = 0;
            continue;
        }
        if (c.entry < 0) {
            if (len == 0)
                continue;
            return Fail(&c, "text before the first entry header");
        }
        if (lines > 0)
            text.append("\r\n");
        if (!EncodeLine(&c, line, len, &text))
            return 0;
        lines++;
        if (len > 0)
            keep = text.size();
    }
    if (c.entry < 0)
        return Fail(&c, "no entries");
    if (!FinishEntry(&c, &text, keep, out))
        return 0;
    if (c.entry != TEXT_TABLE_SHIPPED_COUNT - 1)
        return Fail(&c, "table ends early: entries %d to %d are missing", c.entry + 1, TEXT_TABLE_SHIPPED_COUNT - 1);
    out->append("[] // THIS IS THE END !\r\n");
    if (names != NULL)
        names->swap(named);
    return 1;
}

std::string TextNamesHeader(const std::vector<TextName> &names)
{
    std::string h =
        "/* The names of the launcher's texts, written by mktexttable from\n"
        " * resources/texts.txt: edit that file, not this one. */\n"
        "#ifndef KVL_TEXTS_H\n"
        "#define KVL_TEXTS_H\n"
        "\n"
        "enum TextId {\n";
    for (const TextName &t : names) {
        h += "    TEXT_" + t.name + " = " + std::to_string(t.entry) + ",";
        if (!t.conversions.empty())
            h += " /* formatted with " + t.conversions + " */";
        h += "\n";
    }
    h += "};\n"
         "\n"
         "#endif\n";
    return h;
}
