/* The settings record against the registry of the test prefix: the real
 * product and uninstall keys, created by each test and removed again
 * before and after it (also when it fails). */
#include <windows.h>
#include <gtest/gtest.h>

#include <string.h>
#include <string>
#include <vector>

#include "common/settings.h"
#include "tests/harness/fixtures.h"

namespace {

const char *const BrandKey = COMPANY_KEY;
const char *const GameKey = VENDOR_KEY;

void RemoveTestKeys()
{
    SetKeyAccess(HKEY_LOCAL_MACHINE, PRODUCT_KEY, KEY_ACCESS_FULL); /* a test may have made it read-only */
    RegDeleteKeyExA(HKEY_LOCAL_MACHINE, PRODUCT_KEY, REGISTRY_32BIT_VIEW, 0);
    RegDeleteKeyExA(HKEY_LOCAL_MACHINE, GameKey, REGISTRY_32BIT_VIEW, 0);
    RegDeleteKeyExA(HKEY_LOCAL_MACHINE, BrandKey, REGISTRY_32BIT_VIEW, 0);
    RegDeleteKeyExA(HKEY_LOCAL_MACHINE, UNINSTALL_KEY, REGISTRY_32BIT_VIEW, 0);
}

bool KeyExists(const char *path)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ | REGISTRY_32BIT_VIEW, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

void SetBytes(const char *path, const char *name, DWORD type, const void *data, DWORD size)
{
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, NULL, 0, KEY_ALL_ACCESS | REGISTRY_32BIT_VIEW, NULL, &key, NULL), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(key, name, 0, type, (const BYTE *)data, size), ERROR_SUCCESS);
    RegCloseKey(key);
}

void SetDword(const char *name, DWORD value) { SetBytes(PRODUCT_KEY, name, REG_DWORD, &value, 4); }
void SetString(const char *path, const char *name, const char *text) { SetBytes(path, name, REG_SZ, text, (DWORD)strlen(text) + 1); }
void SetRaw(const char *path, const char *name, const std::string &bytes) { SetBytes(path, name, REG_BINARY, bytes.data(), (DWORD)bytes.size()); }

void DeleteValue(const char *name)
{
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, PRODUCT_KEY, 0, KEY_ALL_ACCESS | REGISTRY_32BIT_VIEW, &key), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValueA(key, name), ERROR_SUCCESS) << name;
    RegCloseKey(key);
}

/* A stored value's type and bytes; type 0 when it is absent. */
struct Stored {
    DWORD type;
    std::string bytes;
};

Stored ReadStored(const char *name)
{
    Stored stored = { 0, "" };
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, PRODUCT_KEY, 0, KEY_READ | REGISTRY_32BIT_VIEW, &key) != ERROR_SUCCESS)
        return stored;
    char data[1024];
    DWORD size = sizeof data;
    if (RegQueryValueExA(key, name, NULL, &stored.type, (BYTE *)data, &size) == ERROR_SUCCESS)
        stored.bytes.assign(data, size);
    RegCloseKey(key);
    return stored;
}

std::string Dword(DWORD value) { return std::string((const char *)&value, 4); }

void ExpectStoredDword(const char *name, DWORD value)
{
    Stored stored = ReadStored(name);
    EXPECT_EQ(stored.type, (DWORD)REG_DWORD) << name;
    EXPECT_EQ(stored.bytes, Dword(value)) << name;
}

/* A complete installation, as the installer and the game leave it. */
void StoreFullInstallation()
{
    SetString(PRODUCT_KEY, "ExeDir", "C:\\Jeux\\KVL");
    SetDword("bFirstTime", 0);
    SetDword("Device", 1);
    SetDword("Mode", 3);
    SetDword("Width", 640);
    SetDword("Height", 480);
    SetString(PRODUCT_KEY, "DDName", "display");
    SetDword("bHard", 1);
    SetDword("Level", 0x5A5A0004);
    SetDword("Transparency", 1);
    SetString(PRODUCT_KEY, "CDRoot", "?:\\");
}

class SettingsStore : public ::testing::Test {
protected:
    void SetUp() override
    {
        RemoveTestKeys();
        ASSERT_FALSE(KeyExists(PRODUCT_KEY));
        ASSERT_FALSE(KeyExists(UNINSTALL_KEY));
        /* Garbage in every field: the read has to set each one. */
        memset(&Settings, 0x5C, sizeof Settings);
    }
    void TearDown() override
    {
        RemoveTestKeys();
        EXPECT_FALSE(KeyExists(GameKey));
        EXPECT_FALSE(KeyExists(UNINSTALL_KEY));
    }
};

}

TEST_F(SettingsStore, IncompleteInstallationsGiveTheDerivedStates)
{
    /* Fresh machine. */
    EXPECT_EQ(ReadSettings(), 0);
    EXPECT_EQ(Settings.Installed, 0);
    EXPECT_EQ(Settings.UninstallAvailable, 0);
    EXPECT_EQ(Settings.bFirstTime, 1);
    EXPECT_EQ(Settings.SettingsComplete, 0);
    EXPECT_STREQ(Settings.ExeDir, "");
    EXPECT_STREQ(Settings.UninstallString, "");
    EXPECT_EQ(Settings.Level, 0u);
    /* Writing never creates the product key. */
    EXPECT_EQ(WriteSettings(), 0);
    EXPECT_FALSE(KeyExists(PRODUCT_KEY));

    /* The product key without ExeDir. */
    SetDword("bFirstTime", 0);
    SetDword("Device", 2);
    EXPECT_EQ(ReadSettings(), 0);
    EXPECT_EQ(Settings.Installed, 0);
    EXPECT_EQ(Settings.bFirstTime, 1);
    EXPECT_EQ(Settings.Device, 0);

    /* ExeDir without bFirstTime. */
    DeleteValue("bFirstTime");
    SetString(PRODUCT_KEY, "ExeDir", "C:\\Jeux\\KVL");
    EXPECT_EQ(ReadSettings(), 0);
    EXPECT_EQ(Settings.Installed, 1);
    EXPECT_STREQ(Settings.ExeDir, "C:\\Jeux\\KVL");
    EXPECT_EQ(Settings.bFirstTime, 1);
    EXPECT_EQ(Settings.Device, 0);

    /* UninstallString without the product key: the uninstaller is known,
     * the game is not installed. */
    RemoveTestKeys();
    SetString(UNINSTALL_KEY, "UninstallString", "C:\\WINDOWS\\uninst.exe -f\"C:\\Jeux\\KVL\\DeIsL1.isu\"");
    EXPECT_EQ(ReadSettings(), 0);
    EXPECT_EQ(Settings.UninstallAvailable, 1);
    EXPECT_EQ(Settings.Installed, 0);
    EXPECT_STREQ(Settings.UninstallString, "C:\\WINDOWS\\uninst.exe -f\"C:\\Jeux\\KVL\\DeIsL1.isu\"");
}

TEST_F(SettingsStore, MissingDeviceStopsTheReadThere)
{
    StoreFullInstallation();
    DeleteValue("Device");
    EXPECT_EQ(ReadSettings(), 0);
    EXPECT_EQ(Settings.Installed, 1);
    EXPECT_EQ(Settings.bFirstTime, 0);
    /* Everything after the missing value keeps its default although the
     * registry holds it. */
    EXPECT_EQ(Settings.Mode, 0);
    EXPECT_EQ(Settings.Width, 0);
    EXPECT_EQ(Settings.Height, 0);
    EXPECT_STREQ(Settings.DDName, "");
    EXPECT_EQ(Settings.bHard, 0);
    EXPECT_EQ(Settings.Level, 0u);
    EXPECT_EQ(Settings.Transparency, 0);
    EXPECT_STREQ(Settings.CDRoot, "");
    EXPECT_EQ(Settings.CDRootKnown, 0);

    /* Any later value missing makes the settings incomplete. */
    for (const char *name : { "Mode", "Width", "Height", "DDName", "bHard", "Level", "Transparency", "CDRoot" }) {
        StoreFullInstallation();
        DeleteValue(name);
        EXPECT_EQ(ReadSettings(), 0) << name;
        EXPECT_EQ(Settings.Installed, 1) << name;
        EXPECT_EQ(Settings.bFirstTime, 0) << name;
        EXPECT_EQ(Settings.Device, 1) << name;
        EXPECT_EQ(Settings.CDRootKnown, 0) << name;
    }
}

TEST_F(SettingsStore, AllElevenValuesMakeTheSettingsComplete)
{
    StoreFullInstallation();
    SetString(UNINSTALL_KEY, "UninstallString", "C:\\Jeux\\KVL\\Uninst.exe /u");
    EXPECT_EQ(ReadSettings(), 1);
    EXPECT_EQ(Settings.Installed, 1);
    EXPECT_EQ(Settings.UninstallAvailable, 1);
    EXPECT_EQ(Settings.CDRootKnown, 1);
    EXPECT_STREQ(Settings.ExeDir, "C:\\Jeux\\KVL");
    EXPECT_STREQ(Settings.UninstallString, "C:\\Jeux\\KVL\\Uninst.exe /u");
    EXPECT_STREQ(Settings.CDRoot, "?:\\");
    EXPECT_EQ(Settings.bFirstTime, 0);
    EXPECT_EQ(Settings.Device, 1);
    EXPECT_EQ(Settings.Mode, 3);
    EXPECT_EQ(Settings.Width, 640);
    EXPECT_EQ(Settings.Height, 480);
    EXPECT_STREQ(Settings.DDName, "display");
    EXPECT_EQ(Settings.bHard, 1);
    EXPECT_EQ(Settings.Level, 0x5A5A0004u);
    EXPECT_EQ(Settings.Transparency, 1);
    /* Start-up, not the read, sets this one. */
    EXPECT_EQ(Settings.SettingsComplete, 0);
}

TEST_F(SettingsStore, ValuesAreRawBytesOfAtMostTheirFieldsSize)
{
    /* The type does not matter; shorter data is taken as it is. */
    StoreFullInstallation();
    SetRaw(PRODUCT_KEY, "Width", std::string("\x80\x02", 2));
    SetRaw(PRODUCT_KEY, "DDName", "abc");
    EXPECT_EQ(ReadSettings(), 1);
    EXPECT_EQ(Settings.Width, 640);
    EXPECT_STREQ(Settings.DDName, "abc");

    /* Larger data counts as absent. */
    const struct { const char *name; size_t size; } tooLarge[] = { { "Mode", 5 }, { "DDName", 51 }, { "ExeDir", 261 } };
    for (const auto &value : tooLarge) {
        StoreFullInstallation();
        SetRaw(PRODUCT_KEY, value.name, std::string(value.size, 'x'));
        EXPECT_EQ(ReadSettings(), 0) << value.name;
        EXPECT_EQ(Settings.Installed, strcmp(value.name, "ExeDir") != 0) << value.name;
        EXPECT_EQ(Settings.Mode, strcmp(value.name, "DDName") == 0 ? 3 : 0) << value.name;
        EXPECT_STREQ(Settings.DDName, "") << value.name;
    }
}

TEST_F(SettingsStore, PathsFillingTheirFieldWithoutTerminatorAreAbsentDDNameIsCut)
{
    /* Cut by one character, "...\Uninst.exeZ" would start "...\Uninst.exe":
     * a path or command line that does not end inside its field does not
     * fit. */
    StoreFullInstallation();
    SetRaw(UNINSTALL_KEY, "UninstallString", std::string(259, 'u') + "Z");
    SetRaw(PRODUCT_KEY, "CDRoot", std::string(260, 'r'));
    EXPECT_EQ(ReadSettings(), 0);
    EXPECT_EQ(Settings.UninstallAvailable, 0);
    EXPECT_STREQ(Settings.UninstallString, "");
    EXPECT_EQ(Settings.Installed, 1);
    EXPECT_EQ(Settings.CDRootKnown, 0);
    EXPECT_STREQ(Settings.CDRoot, "");
    SetRaw(PRODUCT_KEY, "ExeDir", std::string(260, 'e'));
    EXPECT_EQ(ReadSettings(), 0);
    EXPECT_EQ(Settings.Installed, 0);
    EXPECT_STREQ(Settings.ExeDir, "");

    /* With a terminator inside the field they are read; the driver name
     * keeps its first 49 characters, terminated or not. */
    StoreFullInstallation();
    SetRaw(PRODUCT_KEY, "ExeDir", std::string(259, 'e') + '\0');
    SetRaw(PRODUCT_KEY, "DDName", std::string(50, 'd'));
    EXPECT_EQ(ReadSettings(), 1);
    EXPECT_EQ(std::string(Settings.ExeDir), std::string(259, 'e'));
    EXPECT_EQ(std::string(Settings.DDName), std::string(49, 'd'));
    EXPECT_EQ(Settings.bHard, 1);

    /* A REG_SZ value written without its terminator. */
    SetBytes(PRODUCT_KEY, "DDName", REG_SZ, "driver", 6);
    EXPECT_EQ(ReadSettings(), 1);
    EXPECT_STREQ(Settings.DDName, "driver");
}

TEST_F(SettingsStore, WriteAfterAnEarlyStopCreatesTheMissingValuesAndKeepsLevel)
{
    SetString(PRODUCT_KEY, "ExeDir", "C:\\Jeux\\KVL");
    SetDword("bFirstTime", 1);
    SetDword("Level", 0x12340005);
    SetString(PRODUCT_KEY, "CDRoot", "D:\\");
    ASSERT_EQ(ReadSettings(), 0);
    ASSERT_EQ(Settings.Level, 0u);

    /* What the graphics setup stores before saving. */
    Settings.Device = 2;
    Settings.Mode = 4;
    Settings.Width = 800;
    Settings.Height = 600;
    strcpy(Settings.DDName, "display");
    Settings.bHard = 1;
    Settings.Transparency = 1;
    Settings.bFirstTime = 0;
    EXPECT_EQ(WriteSettings(), 1);

    ExpectStoredDword("Device", 2);
    ExpectStoredDword("Mode", 4);
    ExpectStoredDword("Width", 800);
    ExpectStoredDword("Height", 600);
    ExpectStoredDword("bHard", 1);
    ExpectStoredDword("bFirstTime", 0);
    ExpectStoredDword("Transparency", 1);
    ExpectStoredDword("Level", 0x12340005);
    EXPECT_EQ(Settings.Level, 0x12340005u); /* record and key agree */

    /* The installation is now complete. */
    EXPECT_EQ(ReadSettings(), 1);
    EXPECT_EQ(Settings.Level, 0x12340005u);
    EXPECT_STREQ(Settings.DDName, "display");
}

TEST_F(SettingsStore, WriteAfterAStopAtLevelKeepsIt)
{
    /* A Level the launcher cannot read as a number is left as stored. */
    StoreFullInstallation();
    const std::string wide("\1\2\3\4\5\6", 6);
    SetRaw(PRODUCT_KEY, "Level", wide);
    ASSERT_EQ(ReadSettings(), 0);
    EXPECT_EQ(WriteSettings(), 1);
    Stored level = ReadStored("Level");
    EXPECT_EQ(level.type, (DWORD)REG_BINARY);
    EXPECT_EQ(level.bytes, wide);

    /* A missing Level is created from the record. */
    DeleteValue("Level");
    ASSERT_EQ(ReadSettings(), 0);
    EXPECT_EQ(WriteSettings(), 1);
    ExpectStoredDword("Level", 0);
    EXPECT_EQ(ReadSettings(), 1);

    /* After a full read the record's Level is written, even when another
     * program changed the stored one meanwhile. */
    SetDword("Level", 0x77);
    Settings.Level = 3;
    EXPECT_EQ(WriteSettings(), 1);
    ExpectStoredDword("Level", 3);
}

TEST_F(SettingsStore, ShortLevelIsWrittenBackAsItWasRead)
{
    /* The game's own encoding of fewer than four bytes, of any type: kept
     * after a full read and after a read that stopped before it. */
    const Stored levels[] = { { REG_BINARY, std::string("\3\0\7", 3) }, { REG_DWORD, std::string("\5", 1) } };
    for (const Stored &level : levels) {
        for (bool stopEarly : { false, true }) {
            StoreFullInstallation();
            SetBytes(PRODUCT_KEY, "Level", level.type, level.bytes.data(), (DWORD)level.bytes.size());
            if (stopEarly)
                DeleteValue("Device");
            ASSERT_EQ(ReadSettings(), stopEarly ? 0 : 1);
            EXPECT_EQ(WriteSettings(), 1);
            Stored stored = ReadStored("Level");
            EXPECT_EQ(stored.type, level.type) << stopEarly;
            EXPECT_EQ(stored.bytes, level.bytes) << stopEarly;
        }
    }
}

TEST_F(SettingsStore, DDNameIsAlwaysStored50BytesLong)
{
    StoreFullInstallation();
    ASSERT_EQ(ReadSettings(), 1);
    for (const std::string &name : { std::string(), std::string("display"), std::string(49, 'x'), std::string(50, 'z') }) {
        memset(Settings.DDName, 0, sizeof Settings.DDName);
        memcpy(Settings.DDName, name.data(), name.size());
        ASSERT_EQ(WriteSettings(), 1);
        Stored stored = ReadStored("DDName");
        EXPECT_EQ(stored.type, (DWORD)REG_SZ);
        /* The name, then zeros to 50 bytes; a full field still ends with
         * its terminator. */
        std::string expected = name.substr(0, 49);
        expected.resize(50, '\0');
        EXPECT_EQ(stored.bytes, expected) << name;
    }
}

TEST_F(SettingsStore, ReadOnlyProductKeyIsReadButNotWritten)
{
    StoreFullInstallation();
    ASSERT_TRUE(SetKeyAccess(HKEY_LOCAL_MACHINE, PRODUCT_KEY, KEY_ACCESS_READ_ONLY));
    HKEY probe;
    ASSERT_NE(RegOpenKeyExA(HKEY_LOCAL_MACHINE, PRODUCT_KEY, 0, KEY_ALL_ACCESS | REGISTRY_32BIT_VIEW, &probe), ERROR_SUCCESS);
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, PRODUCT_KEY, 0, KEY_READ | REGISTRY_32BIT_VIEW, &probe), ERROR_SUCCESS);
    RegCloseKey(probe);

    EXPECT_EQ(ReadSettings(), 1);
    EXPECT_EQ(Settings.Installed, 1);
    EXPECT_EQ(Settings.CDRootKnown, 1);
    EXPECT_EQ(Settings.Level, 0x5A5A0004u);

    Settings.Device = 9;
    EXPECT_EQ(WriteSettings(), 0);
    ExpectStoredDword("Device", 1);
    EXPECT_EQ(Settings.Device, 9); /* the record keeps the new values */
}
