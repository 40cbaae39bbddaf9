/* Command lines of the programs the launcher starts: plain string work,
 * kept apart from WinExec so that every bound can be checked natively. */
#include "launcher/commands.h"

#include <string.h>

/* A line being built: appends fail, and keep failing, once a piece does not
 * fit with its terminating NUL. */
struct LineBuilder {
    char *line;
    size_t cap;
    size_t length;
    int fits;
};

static void BeginLine(LineBuilder *b, char *line, size_t cap)
{
    b->line = line;
    b->cap = cap;
    b->length = 0;
    b->fits = line != NULL && cap > 0;
    if (b->fits)
        line[0] = '\0';
}

static void Append(LineBuilder *b, const char *piece)
{
    size_t n;
    if (!b->fits)
        return;
    if (piece == NULL)
        piece = "";
    n = strlen(piece);
    if (n >= b->cap - b->length) {
        b->fits = 0;
        return;
    }
    memcpy(b->line + b->length, piece, n);
    b->length += n;
    b->line[b->length] = '\0';
}

static int EndLine(LineBuilder *b)
{
    if (!b->fits && b->line != NULL && b->cap > 0)
        b->line[0] = '\0';
    return b->fits;
}

/* No folder name can hold a double quote, and one would end the quotes
 * around the path and let the rest of the setting become arguments, or
 * another program. */
static void AppendFolder(LineBuilder *b, const char *folder)
{
    if (folder != NULL && strchr(folder, '"') != NULL) {
        b->fits = 0;
        return;
    }
    Append(b, folder);
}

int BuildGameCommand(const char *exeDir, char *line, size_t cap)
{
    LineBuilder b;
    BeginLine(&b, line, cap);
    Append(&b, "\"");
    AppendFolder(&b, exeDir);
    Append(&b, "\\KVL.EXE\"");
    return EndLine(&b);
}

int BuildReadMeCommand(int installed, const char *exeDir, const char *windowsDir, char *line, size_t cap)
{
    LineBuilder b;
    BeginLine(&b, line, cap);
    /* Notepad by its full path: a bare name is looked for in the
     * launcher's folder and the current directory first, and the install
     * folder that becomes the current directory may be writable by any
     * account. */
    size_t n = windowsDir != NULL ? strlen(windowsDir) : 0;
    if (n == 0)
        b.fits = 0;
    Append(&b, "\"");
    AppendFolder(&b, windowsDir);
    Append(&b, n > 0 && windowsDir[n - 1] == '\\' ? "Notepad.exe\" " : "\\Notepad.exe\" ");
    if (installed) {
        Append(&b, "\"");
        AppendFolder(&b, exeDir);
        Append(&b, "\\ReadMe.txt\"");
    } else {
        Append(&b, "\"KVL\\ReadMe.txt\"");
    }
    return EndLine(&b);
}

int BuildSetupCommand(char *line, size_t cap)
{
    LineBuilder b;
    BeginLine(&b, line, cap);
    Append(&b, "Setup.exe");
    return EndLine(&b);
}

int BuildUninstallCommand(const char *uninstallString, char *line, size_t cap)
{
    LineBuilder b;
    BeginLine(&b, line, cap);
    Append(&b, uninstallString);
    return EndLine(&b);
}
