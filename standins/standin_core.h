/* Rules shared by the demo disc's programs (Setup, the uninstaller and the
 * game stand-in) that need no Win32: install folder checks, paths, the
 * command-line switches, the install log and the level counter. */
#ifndef KVL_STANDIN_CORE_H
#define KVL_STANDIN_CORE_H

#include <stddef.h>
#include <stdint.h>

/* The install folder is stored as ExeDir and the launcher builds
 * "<ExeDir>\KVL.EXE" in quotes within 260 characters, so it is kept well
 * below that. */
#define INSTALL_DIR_MAX 200
#define STANDIN_PATH_MAX 260

#define DEFAULT_INSTALL_DIR "C:\\Program Files\\KVL"
#define GAME_FOLDER         "KVL"
#define UNINSTALLER_NAME    "Uninst.exe"
#define INSTALL_LOG_NAME    "Install.log"
/* The product's own folder below the system's common program files, which
 * holds the uninstaller and the install log: only administrators can
 * change it, while the install folder may be open to every account. */
#define PRODUCT_FOLDER      "BRIXOLAN\\K.V.L"

/* Results of NormaliseInstallDir. */
enum {
    DIR_OK = 0,
    DIR_EMPTY,          /* nothing typed */
    DIR_NOT_ABSOLUTE,   /* no drive letter or network share at its head */
    DIR_IS_ROOT,        /* a drive or share root: the uninstaller would empty it */
    DIR_TOO_LONG,       /* more than INSTALL_DIR_MAX characters */
    DIR_BAD_NAME        /* a character Windows refuses, or a "." / ".." step */
};

/* Trims blanks, turns '/' into '\', drops trailing backslashes and checks
 * the folder typed by the user. On DIR_OK, out (capacity cap) holds the
 * folder without trailing backslash. */
int NormaliseInstallDir(const char *input, char *out, size_t cap);

/* The folder of a program path, its last backslash included ("D:\Setup.exe"
 * gives "D:\"). Returns 1, or 0 when there is no backslash or it does not
 * fit. */
int FolderOfPath(const char *path, char *out, size_t cap);

/* dir + "\" + name (dir may already end with a backslash). 1, or 0 when it
 * does not fit (out is then empty). */
int JoinPath(char *out, size_t cap, const char *dir, const char *name);

/* The command line that starts program name in folder dir: the whole path
 * in double quotes, so that a folder with blanks starts the right program.
 * 1, or 0 when it does not fit. */
int QuotedProgram(char *out, size_t cap, const char *dir, const char *name);

/* Switches of the stand-ins, after the program's own path:
 *   /S         silent: defaults, no questions, no messages */
struct StandinArgs {
    int silent;
};

/* Fills args from a whole command line (program path first, quoted or not).
 * Unknown words are ignored. Returns 1. */
int ParseStandinArgs(const char *commandLine, StandinArgs *args);

/* The install log that Setup writes into the install folder: one line per
 * item it copied, ending with CR LF, a path relative to the install folder,
 *   Data\           a folder (trailing backslash)
 *   Data\Sons.dat|1234|89abcdef
 *                   a file with the size and FNV-1a checksum of the bytes
 *                   Setup wrote ('|' cannot occur in a file name)
 * Logs written before the checksums came hold file lines without them: the
 * uninstaller cannot tell such a file from one the player changed, and
 * keeps it. The uninstaller takes the log whole or not at all, so both ends
 * keep to these bounds. */
#define INSTALL_LOG_MAX       65536
#define INSTALL_LOG_LINES_MAX 2048

#define FNV1A_START 0x811C9DC5u

/* Adds n bytes to an FNV-1a checksum begun with FNV1A_START. */
uint32_t Fnv1a(uint32_t sum, const void *bytes, size_t n);

struct FileRecord {
    unsigned long long size;
    uint32_t sum;
};

struct InstallLogEntry {
    char path[STANDIN_PATH_MAX];   /* relative, without trailing backslash */
    int isFolder;
    int hasRecord;                 /* a file line with its size and checksum */
    FileRecord record;
};

/* Parses one line (its CR LF may still follow). Returns 1 when the line
 * names a path safely below the install folder; 0 for anything that could
 * reach outside it (drive, leading backslash, "." or ".." steps, bad
 * characters), for a step that names a device (CON, NUL, COM1...: see
 * standin_core.cpp), for a malformed record and for empty lines. */
int ParseInstallLogLine(const char *line, InstallLogEntry *entry);

/* Writes the log line of a folder (record NULL) or of a file, CR LF
 * included. Returns its length, or 0 when it does not fit in cap or the
 * path would not parse back. */
size_t FormatInstallLogLine(char *out, size_t cap, const char *relative, const FileRecord *record);

/* Splits a whole log of size bytes in place into its lines (line ends
 * become NULs). Returns the number of lines, or -1 when the log must be
 * refused: empty, larger than INSTALL_LOG_MAX, holding a NUL, with more
 * than min(cap, INSTALL_LOG_LINES_MAX) lines, or cut (its last line has no
 * end): a cut line could name a shorter path than the one written. */
int SplitInstallLog(char *text, size_t size, char **lines, int cap);

/* Two install folders are the same when both are valid and they match
 * after NormaliseInstallDir, ignoring the case of ASCII letters. Other
 * letters must match exactly: a mismatch refuses, it never deletes. */
int SameInstallDir(const char *a, const char *b);

/* 1 when path lies strictly below folder (both as the system resolved
 * them, in the same form): folder, then a backslash, then at least one
 * character. ASCII case is ignored. */
int PathIsInside(const char *folder, const char *path);

#endif
