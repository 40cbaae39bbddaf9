/* Rules shared by the demo disc's programs (Setup, the uninstaller and the
 * game stand-in) that need no Win32: install folder checks, paths, the
 * command-line switches, the install log and the level counter. */
#ifndef KVL_STANDIN_CORE_H
#define KVL_STANDIN_CORE_H

#include <stddef.h>

/* The install folder is stored as ExeDir and the launcher builds
 * "<ExeDir>\KVL.EXE" in quotes within 260 characters, so it is kept well
 * below that. */
#define INSTALL_DIR_MAX 200
#define STANDIN_PATH_MAX 260

#define DEFAULT_INSTALL_DIR "C:\\Program Files\\KVL"
#define GAME_FOLDER         "KVL"
#define UNINSTALLER_NAME    "Uninst.exe"
#define INSTALL_LOG_NAME    "Install.log"
#define LEVEL_COUNT         7

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
 *   /S         silent: defaults, no questions, no messages
 *   /D=folder  folder to work on (quotes allowed around folder)
 *   /W=number  process id to wait for before working */
struct StandinArgs {
    int silent;
    char dir[STANDIN_PATH_MAX];
    unsigned long waitPid;
};

/* Fills args from a whole command line (program path first, quoted or not).
 * Unknown words are ignored. Returns 0 when a switch is malformed or its
 * folder does not fit. */
int ParseStandinArgs(const char *commandLine, StandinArgs *args);

/* One line of the install log: a path relative to the install folder, a
 * trailing backslash for a folder Setup created. Returns 1 and the path
 * (without the trailing backslash) in out when the line is safe to remove
 * below the install folder; 0 for anything that could reach outside it
 * (drive, leading backslash, "." or ".." steps, bad characters), and for
 * empty lines. isFolder tells which kind it is. */
int ParseInstallLogLine(const char *line, char *out, size_t cap, int *isFolder);

/* The game keeps Level as the plain number of completed levels. Anything
 * outside 0..7 counts as no level completed. */
unsigned DecodeLevel(unsigned long stored);
/* The value stored after completing one more level (stays at 7). */
unsigned long NextLevel(unsigned long stored);

#endif
