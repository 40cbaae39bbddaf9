/* Bounded text helpers: see text.h. */
#include "common/text.h"

#include <string.h>

void CopyText(char *dest, size_t size, const char *src)
{
    if (size == 0)
        return;
    dest[0] = '\0';
    AppendText(dest, size, src);
}

void AppendText(char *dest, size_t size, const char *src)
{
    if (size == 0 || src == NULL)
        return;
    size_t used = strnlen(dest, size);
    if (used + 1 >= size) {
        dest[size - 1] = '\0';
        return;
    }
    size_t room = size - 1 - used;
    size_t n = strnlen(src, room);
    memcpy(dest + used, src, n);
    dest[used + n] = '\0';
}

char UpperCaseAscii(char c)
{
    return c >= 'a' && c <= 'z' ? (char)(c - 'a' + 'A') : c;
}

void UpperCaseText(char *text)
{
    for (; *text; text++)
        *text = UpperCaseAscii(*text);
}
