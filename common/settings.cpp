/* The settings record, read once at start-up from the registry keys that
 * the installer writes and written back when the user saves the graphics
 * setup. The game reads the same product key, so the value names, types
 * and sizes are fixed.
 *
 * Every value is read into a scratch buffer first and copied into the
 * record only when the read succeeds: a failed read (missing value, value
 * too large, a path that fills its field without a terminator) leaves the
 * field at its default. String fields always end with a NUL inside their
 * buffer, whatever bytes the registry holds. */
#include <windows.h>
#include <stddef.h>
#include <string.h>

#include "common/regread.h"
#include "common/settings.h"
#include "common/trace.h"

LauncherSettings Settings;

/* Level belongs to the game, which may store it in any form: the launcher
 * writes it back with the type and size it was read with. This goes with
 * the record, for the whole run. */
struct StoredLevelForm {
    int read;    /* the record holds the stored level, so it may be written from it */
    DWORD type;
    DWORD size;
};
static StoredLevelForm LevelForm;

/* How each value is taken: a number (any data of at most its size), a
 * path or command line (a text that must end within its field: one cut
 * short would name something else), or the driver name, whose first 49
 * characters are taken, terminated or not. */
enum ValueKind { VALUE_NUMBER, VALUE_TEXT, VALUE_PREFIX };

/* The product key's values in the order they are read, after ExeDir. */
struct SettingsValue {
    const char *name;
    size_t offset;
    size_t size;
    ValueKind kind;
    int isLevel;    /* the game's own value, written back in the form it was read */
};

static const SettingsValue ProductValues[] = {
    { "bFirstTime",   offsetof(LauncherSettings, bFirstTime),   4, VALUE_NUMBER, 0 },
    { "Device",       offsetof(LauncherSettings, Device),       4, VALUE_NUMBER, 0 },
    { "Mode",         offsetof(LauncherSettings, Mode),         4, VALUE_NUMBER, 0 },
    { "Width",        offsetof(LauncherSettings, Width),        4, VALUE_NUMBER, 0 },
    { "Height",       offsetof(LauncherSettings, Height),       4, VALUE_NUMBER, 0 },
    { "DDName",       offsetof(LauncherSettings, DDName),       sizeof Settings.DDName, VALUE_PREFIX, 0 },
    { "bHard",        offsetof(LauncherSettings, bHard),        4, VALUE_NUMBER, 0 },
    { "Level",        offsetof(LauncherSettings, Level),        4, VALUE_NUMBER, 1 },
    { "Transparency", offsetof(LauncherSettings, Transparency), 4, VALUE_NUMBER, 0 },
    { "CDRoot",       offsetof(LauncherSettings, CDRoot),       sizeof Settings.CDRoot, VALUE_TEXT, 0 },
};

#define PRODUCT_VALUE_COUNT (sizeof ProductValues / sizeof ProductValues[0])

/* Reads one value of at most size bytes into field. The type is not
 * checked: any data that fits is taken as raw bytes; shorter data is
 * zero-extended. Returns 1 with what was met (when asked for), or 0 with
 * field untouched. */
static int ReadValue(HKEY key, const char *name, void *field, size_t size, ValueKind kind,
                     RegistryValueFound *found = NULL)
{
    static const RegistryRead AsBytes = { REGISTRY_RAW, REGISTRY_ANY_TYPE, REGISTRY_32BIT_VIEW };
    static const RegistryRead AsText = { REGISTRY_TEXT, REGISTRY_ANY_TYPE, REGISTRY_32BIT_VIEW };
    BYTE data[260];
    if (size > sizeof data) {
        if (found)
            found->status = ERROR_MORE_DATA;
        return 0;
    }
    if (!ReadRegistryValue(key, name, kind == VALUE_TEXT ? &AsText : &AsBytes, data, (DWORD)size, found))
        return 0;
    if (kind == VALUE_PREFIX)
        data[size - 1] = 0;
    memcpy(field, data, size);
    return 1;
}

static void ReadUninstallString(void)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, UNINSTALL_KEY, 0, KEY_READ | REGISTRY_32BIT_VIEW, &key) != ERROR_SUCCESS)
        return;
    if (ReadValue(key, "UninstallString", Settings.UninstallString, sizeof Settings.UninstallString, VALUE_TEXT))
        Settings.UninstallAvailable = 1;
    else
        Trace("settings: UninstallString could not be read: no uninstaller is offered");
    RegCloseKey(key);
}

/* The product key is opened with full access, as the game expects to be
 * able to write it. A user without write rights to the machine's keys can
 * still read it, so the installed game is not mistaken for a missing one;
 * that user's graphics choices then cannot be saved. */
static int OpenProductKeyForReading(HKEY *key)
{
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, PRODUCT_KEY, 0, KEY_ALL_ACCESS | REGISTRY_32BIT_VIEW, key) == ERROR_SUCCESS)
        return 1;
    return RegOpenKeyExA(HKEY_LOCAL_MACHINE, PRODUCT_KEY, 0, KEY_READ | REGISTRY_32BIT_VIEW, key) == ERROR_SUCCESS;
}

int ReadSettings(void)
{
    memset(&Settings, 0, sizeof Settings);
    Settings.bFirstTime = 1;
    LevelForm.read = 0;

    ReadUninstallString();

    HKEY key;
    if (!OpenProductKeyForReading(&key))
        return 0;
    if (!ReadValue(key, "ExeDir", Settings.ExeDir, sizeof Settings.ExeDir, VALUE_TEXT)) {
        Trace("settings: ExeDir could not be read: the game counts as not installed");
        RegCloseKey(key);
        return 0;
    }
    Settings.Installed = 1;

    char *record = (char *)&Settings;
    for (size_t i = 0; i < PRODUCT_VALUE_COUNT; i++) {
        const SettingsValue *value = &ProductValues[i];
        RegistryValueFound found;
        if (!ReadValue(key, value->name, record + value->offset, value->size, value->kind, &found)) {
            Trace("settings: %s could not be read: it and the values after it keep their defaults", value->name);
            RegCloseKey(key);
            return 0;
        }
        if (value->isLevel) {
            LevelForm.read = 1;
            LevelForm.type = found.type;
            LevelForm.size = found.length;
        }
    }
    Settings.CDRootKnown = 1;
    RegCloseKey(key);
    return 1;
}

/* When the read stopped before Level, the record's 0 is not the stored
 * level, so it is read again here. A stored level is kept (and put in the
 * record, so record and key agree); a missing one is created from the
 * record as a REG_DWORD; one that exists but cannot be read is left
 * alone. Returns 1 when Level may be written from the record. */
static int RecoverStoredLevel(HKEY key)
{
    if (LevelForm.read)
        return 1;
    unsigned int level = 0;
    RegistryValueFound found;
    if (ReadValue(key, "Level", &level, sizeof level, VALUE_NUMBER, &found)) {
        Settings.Level = level;
        LevelForm.read = 1;
        LevelForm.type = found.type;
        LevelForm.size = found.length;
        return 1;
    }
    if (found.status != ERROR_FILE_NOT_FOUND) {
        Trace("settings: the stored Level cannot be read back: it is left as it is");
        return 0;
    }
    LevelForm.type = REG_DWORD;
    LevelForm.size = sizeof level;
    return 1;
}

/* One value written; a failure names it, and the values after it are not
 * written. */
static int WriteValue(HKEY key, const char *name, DWORD type, const void *data, DWORD size)
{
    LONG result = RegSetValueExA(key, name, 0, type, (const BYTE *)data, size);
    if (result != ERROR_SUCCESS)
        Trace("settings: %s could not be written (error %ld): the values after it are not saved", name, result);
    return result == ERROR_SUCCESS;
}

static int WriteDword(HKEY key, const char *name, DWORD value)
{
    return WriteValue(key, name, REG_DWORD, &value, sizeof value);
}

/* Level as it was read: its type, and its first bytes of the record's raw
 * field, as many as were read. */
static int WriteLevel(HKEY key)
{
    DWORD size = LevelForm.size <= sizeof Settings.Level ? LevelForm.size : (DWORD)sizeof Settings.Level;
    return WriteValue(key, "Level", LevelForm.type, &Settings.Level, size);
}

int WriteSettings(void)
{
    HKEY key;
    LONG opened = RegOpenKeyExA(HKEY_LOCAL_MACHINE, PRODUCT_KEY, 0, KEY_ALL_ACCESS | REGISTRY_32BIT_VIEW, &key);
    if (opened != ERROR_SUCCESS) {
        Trace("settings: the product key cannot be opened for writing (error %ld): nothing is saved", opened);
        return 0;
    }

    /* The game reads DDName as a 50-byte string: the whole field goes out,
     * terminator and trailing zeros included. */
    Settings.DDName[sizeof Settings.DDName - 1] = '\0';
    int writeLevel = RecoverStoredLevel(key);

    int ok = WriteDword(key, "Device", (DWORD)Settings.Device)
        && WriteDword(key, "Mode", (DWORD)Settings.Mode)
        && WriteDword(key, "Width", (DWORD)Settings.Width)
        && WriteDword(key, "Height", (DWORD)Settings.Height)
        && WriteValue(key, "DDName", REG_SZ, Settings.DDName, sizeof Settings.DDName)
        && WriteDword(key, "bHard", (DWORD)Settings.bHard)
        && WriteDword(key, "bFirstTime", (DWORD)Settings.bFirstTime)
        && (!writeLevel || WriteLevel(key))
        && WriteDword(key, "Transparency", (DWORD)Settings.Transparency);
    RegCloseKey(key);
    return ok ? 1 : 0;
}
