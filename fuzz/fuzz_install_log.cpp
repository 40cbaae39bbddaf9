/* The install log as the uninstaller takes it from a folder anyone may
 * write to: any bytes are taken whole or refused, and every line it acts on
 * names a path that stays below the install folder and formats back to the
 * same entry. */
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include <vector>

#include "standins/standin_core.h"

static void Check(int condition)
{
    if (!condition)
        abort();
}

/* A step that Windows would open as a device. */
static int IsDevice(const char *step, size_t n)
{
    std::string base(step, n);
    base = base.substr(0, base.find('.'));
    while (!base.empty() && base.back() == ' ')
        base.pop_back();
    for (char &c : base)
        c = (c >= 'a' && c <= 'z') ? (char)(c - 'a' + 'A') : c;
    std::vector<std::string> devices = { "CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$" };
    for (const char *port : { "COM", "LPT" })
        for (const char *digit : { "1", "2", "3", "4", "5", "6", "7", "8", "9", "\xB9", "\xB2", "\xB3" })
            devices.push_back(std::string(port) + digit);
    for (const std::string &device : devices)
        if (base == device)
            return 1;
    return 0;
}

/* No step may leave the folder or name a drive, a stream or a device. */
static void CheckBelow(const char *path)
{
    Check(path[0] != '\0' && path[0] != '\\' && strchr(path, ':') == NULL && strchr(path, '/') == NULL);
    for (const char *step = path; step;) {
        const char *end = strchr(step, '\\');
        size_t n = end ? (size_t)(end - step) : strlen(step);
        Check(n > 0 && step[n - 1] != '.' && step[n - 1] != ' ' && !IsDevice(step, n));
        step = end ? end + 1 : NULL;
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static char *lines[INSTALL_LOG_LINES_MAX];
    std::vector<char> text(data, data + size);
    int count = SplitInstallLog(text.data(), size, lines, INSTALL_LOG_LINES_MAX);
    Check(count >= -1 && count <= INSTALL_LOG_LINES_MAX);
    Check(count < 0 || (size > 0 && size <= INSTALL_LOG_MAX && data[size - 1] == '\n'));
    for (int i = 0; i < count; i++) {
        InstallLogEntry entry, again;
        Check(lines[i] >= text.data() && lines[i] < text.data() + size);
        if (!ParseInstallLogLine(lines[i], &entry))
            continue;
        CheckBelow(entry.path);
        Check(!(entry.isFolder && entry.hasRecord));
        if (!entry.isFolder && !entry.hasRecord)
            continue;   /* an older log's file line: never formatted again */
        char line[STANDIN_PATH_MAX + 40];
        size_t n = FormatInstallLogLine(line, sizeof line, entry.path, entry.hasRecord ? &entry.record : NULL);
        Check(n > 0 && n == strlen(line));
        Check(ParseInstallLogLine(line, &again) == 1 && strcmp(again.path, entry.path) == 0);
        Check(again.isFolder == entry.isFolder && again.hasRecord == entry.hasRecord);
        Check(again.record.size == entry.record.size && again.record.sum == entry.record.sum);
    }
    return 0;
}
