/* Bounded text helpers shared by the launcher, the disc's programs and the
 * tools. Win32-free. Every function keeps dest NUL-terminated within size
 * and never reads past src's terminator. */
#ifndef KVL_TEXT_H
#define KVL_TEXT_H

#include <stddef.h>

/* src (NULL counts as "") into dest, cut to size - 1 characters. */
void CopyText(char *dest, size_t size, const char *src);
/* src after dest's text, cut where dest is full. */
void AppendText(char *dest, size_t size, const char *src);

/* a..z to A..Z; every other byte as it is, whatever the code page, so
 * accented letters are never touched. */
char UpperCaseAscii(char c);
/* UpperCaseAscii over a whole text, in place. */
void UpperCaseText(char *text);

#endif
