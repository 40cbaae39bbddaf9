#include "standins/standin_core.h"
#include "common/text.h"

#include <string.h>
#include <stdlib.h>

static int IsBlank(char c) { return c == ' ' || c == '\t'; }

static int IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

/* Characters Windows refuses in a file name (the colon is checked apart,
 * since it belongs after the drive letter). */
static int IsBadNameChar(char c)
{
    return (unsigned char)c < 32 || strchr("<>\"|?*", c) != NULL;
}

/* Each backslash-separated step of s (length n) must be a real name: not
 * empty, not "." or "..", no bad character, no colon, and not ending with a
 * blank or a dot (Windows would silently drop those). */
static int StepsAreNames(const char *s, size_t n)
{
    size_t start = 0;
    for (size_t i = 0; i <= n; i++) {
        if (i < n && s[i] != '\\') {
            if (IsBadNameChar(s[i]) || s[i] == ':')
                return 0;
            continue;
        }
        size_t len = i - start;
        if (len == 0)
            return 0;
        char last = s[i - 1];
        if (last == '.' || last == ' ')
            return 0;
        start = i + 1;
    }
    return 1;
}

/* Whether a step (length n) names a device rather than a file: Windows
 * opens the device for the part before the first dot, trailing blanks
 * dropped, whatever the case ("con .txt" is the console). COM and LPT
 * also take the superscript digits 1 to 3 of Windows-1252. */
static int IsDeviceName(const char *step, size_t n)
{
    const char *dot = (const char *)memchr(step, '.', n);
    if (dot)
        n = (size_t)(dot - step);
    while (n > 0 && step[n - 1] == ' ')
        n--;
    char base[8];
    if (n < 3 || n >= sizeof base)
        return 0;
    for (size_t i = 0; i < n; i++)
        base[i] = UpperCaseAscii(step[i]);
    base[n] = '\0';
    static const char *const Plain[] = { "CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$" };
    for (const char *name : Plain)
        if (strcmp(base, name) == 0)
            return 1;
    if (n != 4 || (memcmp(base, "COM", 3) != 0 && memcmp(base, "LPT", 3) != 0))
        return 0;
    unsigned char digit = (unsigned char)base[3];
    return (digit >= '1' && digit <= '9') || digit == 0xB9 || digit == 0xB2 || digit == 0xB3;
}

/* No step of s (length n) is a device name. */
static int StepsAreFiles(const char *s, size_t n)
{
    size_t start = 0;
    for (size_t i = 0; i <= n; i++) {
        if (i < n && s[i] != '\\')
            continue;
        if (IsDeviceName(s + start, i - start))
            return 0;
        start = i + 1;
    }
    return 1;
}

int NormaliseInstallDir(const char *input, char *out, size_t cap)
{
    if (cap == 0)
        return DIR_TOO_LONG;
    out[0] = '\0';
    const char *begin = input;
    while (IsBlank(*begin))
        begin++;
    size_t n = strlen(begin);
    while (n > 0 && IsBlank(begin[n - 1]))
        n--;
    if (n == 0)
        return DIR_EMPTY;

    char buf[STANDIN_PATH_MAX];
    if (n >= sizeof buf)
        return DIR_TOO_LONG;
    for (size_t i = 0; i < n; i++)
        buf[i] = begin[i] == '/' ? '\\' : begin[i];
    buf[n] = '\0';
    while (n > 0 && buf[n - 1] == '\\')
        buf[--n] = '\0';

    /* The head: "X:" or "\\server\share"; the rest are folder steps. */
    size_t head;
    if (n >= 2 && IsLetter(buf[0]) && buf[1] == ':') {
        if (n == 2)
            return DIR_IS_ROOT;
        if (buf[2] != '\\')
            return DIR_NOT_ABSOLUTE;
        head = 3;
    } else if (buf[0] == '\\' && buf[1] == '\\') {
        const char *share = strchr(buf + 2, '\\');
        if (!share || share == buf + 2)
            return DIR_NOT_ABSOLUTE;
        const char *rest = strchr(share + 1, '\\');
        if (!rest)
            return share[1] ? DIR_IS_ROOT : DIR_NOT_ABSOLUTE;
        if (!StepsAreNames(buf + 2, (size_t)(rest - buf) - 2))
            return DIR_BAD_NAME;
        head = (size_t)(rest - buf) + 1;
    } else {
        return DIR_NOT_ABSOLUTE;
    }
    if (head >= n)
        return DIR_IS_ROOT;
    if (!StepsAreNames(buf + head, n - head))
        return DIR_BAD_NAME;
    if (n > INSTALL_DIR_MAX || n >= cap)
        return DIR_TOO_LONG;
    memcpy(out, buf, n + 1);
    return DIR_OK;
}

int FolderOfPath(const char *path, char *out, size_t cap)
{
    if (cap == 0)
        return 0;
    out[0] = '\0';
    const char *slash = strrchr(path, '\\');
    if (!slash)
        return 0;
    size_t n = (size_t)(slash - path) + 1;
    if (n >= cap)
        return 0;
    memcpy(out, path, n);
    out[n] = '\0';
    return 1;
}

int JoinPath(char *out, size_t cap, const char *dir, const char *name)
{
    if (cap == 0)
        return 0;
    size_t d = strlen(dir), m = strlen(name);
    int sep = d == 0 || dir[d - 1] != '\\';
    if (d + (size_t)sep + m >= cap) {
        out[0] = '\0';
        return 0;
    }
    memmove(out, dir, d);
    if (sep)
        out[d++] = '\\';
    memcpy(out + d, name, m + 1);
    return 1;
}

int QuotedProgram(char *out, size_t cap, const char *dir, const char *name)
{
    char path[STANDIN_PATH_MAX];
    if (cap == 0)
        return 0;
    out[0] = '\0';
    if (!JoinPath(path, sizeof path, dir, name))
        return 0;
    size_t n = strlen(path);
    if (n + 3 > cap)
        return 0;
    out[0] = '"';
    memcpy(out + 1, path, n);
    out[n + 1] = '"';
    out[n + 2] = '\0';
    return 1;
}

/* Copies the next word of *p into word (quotes removed, blanks inside
 * quotes kept). Returns 0 at the end of the line or when the word does not
 * fit. */
static int NextWord(const char **p, char *word, size_t cap, int *tooLong)
{
    const char *s = *p;
    while (IsBlank(*s))
        s++;
    if (!*s)
        return 0;
    size_t n = 0;
    int quoted = 0;
    *tooLong = 0;
    for (; *s && (quoted || !IsBlank(*s)); s++) {
        if (*s == '"') {
            quoted = !quoted;
            continue;
        }
        if (n + 1 < cap)
            word[n++] = *s;
        else
            *tooLong = 1;
    }
    word[n] = '\0';
    *p = s;
    return 1;
}

int ParseStandinArgs(const char *commandLine, StandinArgs *args)
{
    memset(args, 0, sizeof *args);
    char word[STANDIN_PATH_MAX + 4];
    int tooLong;
    const char *p = commandLine;
    if (!NextWord(&p, word, sizeof word, &tooLong))   /* the program itself */
        return 1;
    while (NextWord(&p, word, sizeof word, &tooLong)) {
        if (word[0] != '/' && word[0] != '-')
            continue;
        char sw = UpperCaseAscii(word[1]);
        if (sw == 'S' && word[2] == '\0')
            args->silent = 1;
    }
    return 1;
}

static int SameAsciiFold(const char *a, const char *b, size_t n)
{
    for (size_t i = 0; i < n; i++)
        if (UpperCaseAscii(a[i]) != UpperCaseAscii(b[i]))
            return 0;
    return 1;
}

uint32_t Fnv1a(uint32_t sum, const void *bytes, size_t n)
{
    const unsigned char *p = (const unsigned char *)bytes;
    for (size_t i = 0; i < n; i++) {
        sum ^= p[i];
        sum *= 16777619u;
    }
    return sum;
}

static int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

/* "<decimal size>|<8 hex digits>", nothing more. */
static int ParseRecord(const char *s, size_t n, FileRecord *record)
{
    size_t i = 0;
    unsigned long long size = 0;
    for (; i < n && s[i] >= '0' && s[i] <= '9'; i++) {
        unsigned digit = (unsigned)(s[i] - '0');
        if (size > (~0ull - digit) / 10)
            return 0;
        size = size * 10 + digit;
    }
    if (i == 0 || i >= n || s[i] != '|' || n - i - 1 != 8)
        return 0;
    uint32_t sum = 0;
    for (i++; i < n; i++) {
        int v = HexValue(s[i]);
        if (v < 0)
            return 0;
        sum = (sum << 4) | (uint32_t)v;
    }
    record->size = size;
    record->sum = sum;
    return 1;
}

int ParseInstallLogLine(const char *line, InstallLogEntry *entry)
{
    memset(entry, 0, sizeof *entry);
    size_t n = strlen(line);
    while (n > 0 && (line[n - 1] == '\r' || line[n - 1] == '\n'))
        n--;
    const char *bar = (const char *)memchr(line, '|', n);
    if (bar) {
        size_t path = (size_t)(bar - line);
        if (!ParseRecord(bar + 1, n - path - 1, &entry->record))
            return 0;
        entry->hasRecord = 1;
        n = path;
    }
    if (n > 0 && line[n - 1] == '\\') {
        if (entry->hasRecord)
            return 0;
        entry->isFolder = 1;
        n--;
    }
    if (n == 0 || n >= sizeof entry->path || line[0] == '\\' || memchr(line, '/', n) || !StepsAreNames(line, n) ||
        !StepsAreFiles(line, n)) {
        memset(entry, 0, sizeof *entry);
        return 0;
    }
    memcpy(entry->path, line, n);
    entry->path[n] = '\0';
    return 1;
}

size_t FormatInstallLogLine(char *out, size_t cap, const char *relative, const FileRecord *record)
{
    char tail[40];
    size_t t = 0;
    if (record) {
        char digits[24];
        size_t d = 0;
        unsigned long long size = record->size;
        do {
            digits[d++] = (char)('0' + size % 10);
            size /= 10;
        } while (size);
        tail[t++] = '|';
        while (d)
            tail[t++] = digits[--d];
        tail[t++] = '|';
        for (int shift = 28; shift >= 0; shift -= 4)
            tail[t++] = "0123456789abcdef"[(record->sum >> shift) & 15];
    } else {
        tail[t++] = '\\';
    }
    tail[t++] = '\r';
    tail[t++] = '\n';
    size_t r = strlen(relative);
    InstallLogEntry check;
    if (cap == 0)
        return 0;
    out[0] = '\0';
    if (r + t >= cap)
        return 0;
    memcpy(out, relative, r);
    memcpy(out + r, tail, t);
    out[r + t] = '\0';
    if (!ParseInstallLogLine(out, &check) || strcmp(check.path, relative) != 0) {
        out[0] = '\0';
        return 0;
    }
    return r + t;
}

int SplitInstallLog(char *text, size_t size, char **lines, int cap)
{
    if (size == 0 || size > INSTALL_LOG_MAX || text[size - 1] != '\n' || memchr(text, '\0', size))
        return -1;
    int most = cap < INSTALL_LOG_LINES_MAX ? cap : INSTALL_LOG_LINES_MAX;
    int count = 0;
    size_t start = 0;
    for (size_t i = 0; i < size; i++) {
        if (text[i] != '\n')
            continue;
        if (count >= most)
            return -1;
        text[i] = '\0';
        lines[count++] = text + start;
        start = i + 1;
    }
    return count;
}

int SameInstallDir(const char *a, const char *b)
{
    char x[STANDIN_PATH_MAX], y[STANDIN_PATH_MAX];
    if (NormaliseInstallDir(a, x, sizeof x) != DIR_OK || NormaliseInstallDir(b, y, sizeof y) != DIR_OK)
        return 0;
    size_t n = strlen(x);
    return n == strlen(y) && SameAsciiFold(x, y, n);
}

int PathIsInside(const char *folder, const char *path)
{
    size_t f = strlen(folder);
    if (f > 0 && folder[f - 1] == '\\')
        f--;
    return f > 0 && strlen(path) > f + 1 && SameAsciiFold(folder, path, f) && path[f] == '\\';
}
