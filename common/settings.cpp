/* The settings record, read once at start-up from the registry keys that
 * the installer writes and written back when the user saves the graphics
 * setup. The game reads the same product key, so the value names, types
 * and sizes are fixed.
 *
 * Every value is read into a scratch buffer first and copied into the
 * record only when the read succeeds: a failed read (missing value, value
 * too large) leaves the field at its default. String fields always end
 * with a NUL inside their buffer, whatever bytes the registry holds. */
#include <windows.h>
#include <stddef.h>
#include <string.h>

#include "common/settings.h"

LauncherSettings Settings;

/* Set when the last ReadSettings got as far as Level: only then does the
 * record hold the stored level, and WriteSettings may write it as is. */
static int LevelWasRead;

/* The product key's values in the order they are read, after ExeDir. */
struct SettingsValue {
    const char *name;
    size_t offset;
    size_t size;
    int isString;
};

static const SettingsValue ProductValues[] = {
    { "bFirstTime",   offsetof(LauncherSettings, bFirstTime),   4, 0 },
    { "Device",       offsetof(LauncherSettings, Device),       4, 0 },
    { "Mode",         offsetof(LauncherSettings, Mode),         4, 0 },
    { "Width",        offsetof(LauncherSettings, Width),        4, 0 },
    { "Height",       offsetof(LauncherSettings, Height),       4, 0 },
    { "DDName",       offsetof(LauncherSettings, DDName),       sizeof Settings.DDName, 1 },
    { "bHard",        offsetof(LauncherSettings, bHard),        4, 0 },
    { "Level",        offsetof(LauncherSettings, Level),        4, 0 },
    { "Transparency", offsetof(LauncherSettings, Transparency), 4, 0 },
    { "CDRoot",       offsetof(LauncherSettings, CDRoot),       sizeof Settings.CDRoot, 1 },
};

#define PRODUCT_VALUE_COUNT (sizeof ProductValues / sizeof ProductValues[0])
#define LEVEL_VALUE_INDEX 7

/* Reads one value of at most size bytes into field. The type is not
 * checked: any data that fits is taken as raw bytes; shorter data is
 * zero-extended. A string field is cut before its last byte when the
 * data has no terminator. Returns 1, or 0 with field untouched. */
static int ReadValue(HKEY key, const char *name, void *field, size_t size, int isString)
{
    BYTE data[260];
    DWORD length = (DWORD)size;
    if (size > sizeof data)
        return 0;
    memset(data, 0, sizeof data);
    if (RegQueryValueExA(key, name, NULL, NULL, data, &length) != ERROR_SUCCESS)
        return 0;
    if (length > size)
        return 0;
    if (isString)
        data[size - 1] = 0;
    memcpy(field, data, size);
    return 1;
}

static int WriteDword(HKEY key, const char *name, DWORD value)
{
    return RegSetValueExA(key, name, 0, REG_DWORD, (const BYTE *)&value, sizeof value) == ERROR_SUCCESS;
}

static void ReadUninstallString(void)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, UNINSTALL_KEY, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    if (ReadValue(key, "UninstallString", Settings.UninstallString, sizeof Settings.UninstallString, 1))
        Settings.UninstallAvailable = 1;
    RegCloseKey(key);
}

/* The product key is opened with full access, as the game expects to be
 * able to write it. A user without write rights to the machine's keys can
 * still read it, so the installed game is not mistaken for a missing one;
 * that user's graphics choices then cannot be saved. */
static int OpenProductKeyForReading(HKEY *key)
{
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, PRODUCT_KEY, 0, KEY_ALL_ACCESS, key) == ERROR_SUCCESS)
        return 1;
    return RegOpenKeyExA(HKEY_LOCAL_MACHINE, PRODUCT_KEY, 0, KEY_READ, key) == ERROR_SUCCESS;
}

int ReadSettings(void)
{
    memset(&Settings, 0, sizeof Settings);
    Settings.bFirstTime = 1;
    LevelWasRead = 0;

    ReadUninstallString();

    HKEY key;
    if (!OpenProductKeyForReading(&key))
        return 0;
    if (!ReadValue(key, "ExeDir", Settings.ExeDir, sizeof Settings.ExeDir, 1)) {
        RegCloseKey(key);
        return 0;
    }
    Settings.Installed = 1;

    char *record = (char *)&Settings;
    for (size_t i = 0; i < PRODUCT_VALUE_COUNT; i++) {
        const SettingsValue *value = &ProductValues[i];
        if (!ReadValue(key, value->name, record + value->offset, value->size, value->isString)) {
            RegCloseKey(key);
            return 0;
        }
        if (i == LEVEL_VALUE_INDEX)
            LevelWasRead = 1;
    }
    Settings.CDRootKnown = 1;
    RegCloseKey(key);
    return 1;
}

/* Level belongs to the game: the launcher only carries it through. When
 * the read stopped before Level, the record's 0 is not the stored level,
 * so it is read again here. A stored level is kept (and put in the
 * record, so record and key agree); a missing one is created from the
 * record; one that exists but cannot be read is left alone. Returns 1
 * when Level may be written from the record. */
static int RecoverStoredLevel(HKEY key)
{
    if (LevelWasRead)
        return 1;
    BYTE data[4];
    DWORD length = sizeof data;
    LONG status = RegQueryValueExA(key, "Level", NULL, NULL, data, &length);
    if (status == ERROR_FILE_NOT_FOUND)
        return 1;
    if (status != ERROR_SUCCESS || length > sizeof data)
        return 0;
    unsigned int level = 0;
    memcpy(&level, data, length);
    Settings.Level = level;
    LevelWasRead = 1;
    return 1;
}

int WriteSettings(void)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, PRODUCT_KEY, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return 0;

    /* The game reads DDName as a 50-byte string: the whole field goes out,
     * terminator and trailing zeros included. */
    Settings.DDName[sizeof Settings.DDName - 1] = '\0';
    int writeLevel = RecoverStoredLevel(key);

    int ok = WriteDword(key, "Device", (DWORD)Settings.Device)
        && WriteDword(key, "Mode", (DWORD)Settings.Mode)
        && WriteDword(key, "Width", (DWORD)Settings.Width)
        && WriteDword(key, "Height", (DWORD)Settings.Height)
        && RegSetValueExA(key, "DDName", 0, REG_SZ, (const BYTE *)Settings.DDName,
                          sizeof Settings.DDName) == ERROR_SUCCESS
        && WriteDword(key, "bHard", (DWORD)Settings.bHard)
        && WriteDword(key, "bFirstTime", (DWORD)Settings.bFirstTime)
        && (!writeLevel || WriteDword(key, "Level", (DWORD)Settings.Level))
        && WriteDword(key, "Transparency", (DWORD)Settings.Transparency);
    RegCloseKey(key);
    return ok ? 1 : 0;
}
