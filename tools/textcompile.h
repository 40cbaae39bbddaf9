/* Compiler of the text table source (resources/texts.txt) into the bytes of
 * the RCDATA resource. Win32-free; shared by the mktexttable host tool and
 * the native tests.
 *
 * Source format (UTF-8, LF or CR LF line ends):
 *   - a line starting with "#" is a comment, anywhere;
 *   - a line "@N" starts entry N; entries must come in order 0, 1, 2 ... up
 *     to 167, no gaps. An entry the launcher's code uses carries its name
 *     after the number ("@111 MENU_PLAY"), and an entry the code formats
 *     also the conversions its call passes ("@91 MINSPEC_SLOW_CPU %d").
 *     A "# comment" may end the line;
 *   - every other line up to the next header is a line of the entry's text,
 *     taken as it stands; blank lines at the end of an entry are dropped, so
 *     entries may be separated by blank lines; an entry with no line is an
 *     empty text;
 *   - escapes: "\s" a space (a blank at the end of a line must be written
 *     so: raw trailing blanks are refused), "\\" a backslash, "\#" and "\@"
 *     a "#" or "@" (needed only at the start of a line).
 *
 * Output: CR LF line ends, every entry "[.]" + text + CR LF, last line
 * "[] // THIS IS THE END !" CR LF. Entries 74 to 161 and 163 on are encoded
 * in Windows-1252 (the launcher's own texts and the game's reports),
 * entries 0 to 73 and 162 in OEM code page 850 (the game's screens).
 *
 * A named entry must hold exactly the conversions its header declares, in
 * order, and none when it declares none ("%%" being a literal "%"): a text
 * edited or translated with other conversions would read arguments that
 * were never passed. Unnamed entries are the game's own; their "%"s are
 * theirs.
 *
 * The names also give the header that the launcher's code includes
 * (resources/texts.h): TEXT_ and the name for each named entry's number. */
#ifndef KVL_TEXTCOMPILE_H
#define KVL_TEXTCOMPILE_H

#include <stddef.h>
#include <string>
#include <vector>

/* A name given to an entry in its header line. */
struct TextName {
    int entry;
    std::string name;         /* as written, without the TEXT_ prefix */
    std::string conversions;  /* those its caller passes, "" for none */
};

/* Compiles source[0..size) into *out, and the entries' names into *names
 * when names is not NULL. The source must hold every entry of the shipped
 * table (TEXT_TABLE_SHIPPED_COUNT). Returns 1, or 0 with a one-line
 * message in error naming the entry (and source line) and the problem. */
int CompileTextTable(const char *source, size_t size, std::string *out, char *error, size_t errorSize,
                     std::vector<TextName> *names = NULL);

/* The header of the names: one enumeration, TEXT_<name> = number. */
std::string TextNamesHeader(const std::vector<TextName> &names);

/* 1 when entry n is stored in Windows-1252, 0 for OEM code page 850. */
int TextEntryIsAnsi(int n);

/* Encodes one Unicode character; returns the byte, or -1 when the code page
 * has none for it. */
int EncodeCp1252(unsigned long cp);
int EncodeCp850(unsigned long cp);

#endif
