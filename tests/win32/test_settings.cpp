/* The settings record against the registry of the test prefix: the real
 * product and uninstall keys, created by each test and removed again
 * before and after it (also when it fails). */
#include <windows.h>
#include <sddl.h>
#include <gtest/gtest.h>

#include <string.h>
#include <string>
#include <vector>

#include "common/settings.h"

namespace {

const char *const BrandKey = "SOFTWARE\\BRIXOLAN";
const char *const GameKey = "SOFTWARE\\BRIXOLAN\\K.V.L";

/* Gives everyone full access again, so a key made read-only by a test can
 * be deleted. */
void MakeDeletable(const char *path)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, WRITE_DAC, &key) != ERROR_SUCCESS)
        return;
    PSECURITY_DESCRIPTOR descriptor = NULL;
    if (ConvertStringSecurityDescriptorToSecurityDescriptorA("D:P(A;;KA;;;WD)", SDDL_REVISION_1, &descriptor, NULL)) {
        RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor);
        LocalFree(descriptor);
    }
    RegCloseKey(key);
}

void RemoveTestKeys()
{
    MakeDeletable(PRODUCT_KEY);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, PRODUCT_KEY);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, GameKey);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, BrandKey);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, UNINSTALL_KEY);
}

bool KeyExists(const char *path)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

HKEY CreateKey(const char *path)
{
    HKEY key = NULL;
    EXPECT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL), ERROR_SUCCESS);
    return key;
}

void SetBytes(const char *path, const char *name, DWORD type, const void *data, DWORD size)
{
    HKEY key = CreateKey(path);
    ASSERT_NE(key, (HKEY)NULL);
    EXPECT_EQ(RegSetValueExA(key, name, 0, type, (const BYTE *)data, size), ERROR_SUCCESS);
    RegCloseKey(key);
}

void SetDword(const char *name, DWORD value)
{
    SetBytes(PRODUCT_KEY, name, REG_DWORD, &value, sizeof value);
}

void SetString(const char *path, const char *name, const char *text)
{
    SetBytes(path, name, REG_SZ, text, (DWORD)strlen(text) + 1);
}

void DeleteValue(const char *name)
{
    HKEY key = CreateKey(PRODUCT_KEY);
    ASSERT_NE(key, (HKEY)NULL);
    EXPECT_EQ(RegDeleteValueA(key, name), ERROR_SUCCESS) << name;
    RegCloseKey(key);
}

/* A stored value: found, its type and its bytes. */
struct Stored {
    bool found;
    DWORD type;
    std::vector<unsigned char> bytes;
};

Stored ReadStored(const char *name)
{
    Stored stored = { false, 0, {} };
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, PRODUCT_KEY, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return stored;
    unsigned char data[1024];
    DWORD size = sizeof data;
    if (RegQueryValueExA(key, name, NULL, &stored.type, data, &size) == ERROR_SUCCESS) {
        stored.found = true;
        stored.bytes.assign(data, data + size);
    }
    RegCloseKey(key);
    return stored;
}

DWORD StoredDword(const char *name)
{
    Stored stored = ReadStored(name);
    EXPECT_TRUE(stored.found) << name;
    EXPECT_EQ(stored.type, (DWORD)REG_DWORD) << name;
    DWORD value = 0xDEADBEEF;
    if (stored.bytes.size() == 4)
        memcpy(&value, stored.bytes.data(), 4);
    return value;
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

/* Leaves garbage in every field, so a read has to set each one. */
void DirtyRecord()
{
    memset(&Settings, 0x5C, sizeof Settings);
    Settings.ExeDir[sizeof Settings.ExeDir - 1] = 0;
}

class SettingsStore : public ::testing::Test {
protected:
    void SetUp() override
    {
        RemoveTestKeys();
        ASSERT_FALSE(KeyExists(PRODUCT_KEY));
        ASSERT_FALSE(KeyExists(UNINSTALL_KEY));
        DirtyRecord();
    }
    void TearDown() override
    {
        RemoveTestKeys();
        EXPECT_FALSE(KeyExists(PRODUCT_KEY));
        EXPECT_FALSE(KeyExists(GameKey));
        EXPECT_FALSE(KeyExists(UNINSTALL_KEY));
    }
};

}

TEST_F(SettingsStore, FreshMachineIsNotInstalled)
{
    EXPECT_EQ(ReadSettings(), 0);
    EXPECT_EQ(Settings.Installed, 0);
    EXPECT_EQ(Settings.UninstallAvailable, 0);
    EXPECT_EQ(Settings.CDRootKnown, 0);
    EXPECT_EQ(Settings.bFirstTime, 1);
    EXPECT_EQ(Settings.SettingsComplete, 0);
    EXPECT_STREQ(Settings.ExeDir, "");
    EXPECT_STREQ(Settings.UninstallString, "");
    EXPECT_STREQ(Settings.DDName, "");
    EXPECT_EQ(Settings.Device, 0);
    EXPECT_EQ(Settings.Level, 0u);
    EXPECT_EQ(Settings.Transparency, 0);

    /* Writing never creates the product key. */
    EXPECT_EQ(WriteSettings(), 0);
    EXPECT_FALSE(KeyExists(PRODUCT_KEY));
}

TEST_F(SettingsStore, ProductKeyWithoutExeDirIsNotInstalled)
{
    SetDword("bFirstTime", 0);
    SetDword("Device", 2);
    EXPECT_EQ(ReadSettings(), 0);
    EXPECT_EQ(Settings.Installed, 0);
    EXPECT_EQ(Settings.bFirstTime, 1);
    EXPECT_EQ(Settings.Device, 0);
}

TEST_F(SettingsStore, ExeDirWithoutFirstTimeIsInstalledButIncomplete)
{
    SetString(PRODUCT_KEY, "ExeDir", "C:\\Jeux\\KVL");
    SetDword("Device", 2);
    EXPECT_EQ(ReadSettings(), 0);
    EXPECT_EQ(Settings.Installed, 1);
    EXPECT_STREQ(Settings.ExeDir, "C:\\Jeux\\KVL");
    EXPECT_EQ(Settings.bFirstTime, 1);
    EXPECT_EQ(Settings.Device, 0);
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
    EXPECT_EQ(Settings.Device, 0);
    EXPECT_EQ(Settings.Mode, 0);
    EXPECT_EQ(Settings.Width, 0);
    EXPECT_EQ(Settings.Height, 0);
    EXPECT_STREQ(Settings.DDName, "");
    EXPECT_EQ(Settings.bHard, 0);
    EXPECT_EQ(Settings.Level, 0u);
    EXPECT_EQ(Settings.Transparency, 0);
    EXPECT_STREQ(Settings.CDRoot, "");
    EXPECT_EQ(Settings.CDRootKnown, 0);
}

TEST_F(SettingsStore, EachLaterMissingValueMakesTheSettingsIncomplete)
{
    const char *const later[] = { "Device", "Mode", "Width", "Height", "DDName", "bHard", "Level", "Transparency", "CDRoot" };
    for (const char *name : later) {
        StoreFullInstallation();
        DeleteValue(name);
        EXPECT_EQ(ReadSettings(), 0) << name;
        EXPECT_EQ(Settings.Installed, 1) << name;
        EXPECT_EQ(Settings.bFirstTime, 0) << name;
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

TEST_F(SettingsStore, UninstallStringWithoutProductKey)
{
    SetString(UNINSTALL_KEY, "UninstallString", "C:\\WINDOWS\\uninst.exe -f\"C:\\Jeux\\KVL\\DeIsL1.isu\"");
    EXPECT_EQ(ReadSettings(), 0);
    EXPECT_EQ(Settings.UninstallAvailable, 1);
    EXPECT_EQ(Settings.Installed, 0);
    EXPECT_STREQ(Settings.UninstallString, "C:\\WINDOWS\\uninst.exe -f\"C:\\Jeux\\KVL\\DeIsL1.isu\"");
}

TEST_F(SettingsStore, ValuesAreRawBytesWhateverTheirType)
{
    StoreFullInstallation();
    /* A two-byte width is taken as a number; a string's bytes as a string. */
    const unsigned char width[2] = { 0x80, 0x02 };
    SetBytes(PRODUCT_KEY, "Width", REG_BINARY, width, sizeof width);
    SetBytes(PRODUCT_KEY, "DDName", REG_BINARY, "abc", 3);
    SetBytes(PRODUCT_KEY, "Device", REG_SZ, "\x02\0\0", 4);
    EXPECT_EQ(ReadSettings(), 1);
    EXPECT_EQ(Settings.Width, 640);
    EXPECT_STREQ(Settings.DDName, "abc");
    EXPECT_EQ(Settings.Device, 2);
}

TEST_F(SettingsStore, ValuesTooLargeForTheirFieldCountAsAbsent)
{
    StoreFullInstallation();
    const unsigned char eight[8] = { 7, 0, 0, 0, 0, 0, 0, 0 };
    SetBytes(PRODUCT_KEY, "Mode", REG_BINARY, eight, sizeof eight);
    EXPECT_EQ(ReadSettings(), 0);
    EXPECT_EQ(Settings.Device, 1);
    EXPECT_EQ(Settings.Mode, 0);

    StoreFullInstallation();
    std::string name51(51, 'n');
    SetBytes(PRODUCT_KEY, "DDName", REG_BINARY, name51.data(), 51);
    EXPECT_EQ(ReadSettings(), 0);
    EXPECT_EQ(Settings.Height, 480);
    EXPECT_STREQ(Settings.DDName, "");
    EXPECT_EQ(Settings.bHard, 0);

    StoreFullInstallation();
    std::string path261(261, 'p');
    SetBytes(PRODUCT_KEY, "ExeDir", REG_BINARY, path261.data(), 261);
    EXPECT_EQ(ReadSettings(), 0);
    EXPECT_EQ(Settings.Installed, 0);
    EXPECT_STREQ(Settings.ExeDir, "");
}

TEST_F(SettingsStore, StringsWithoutTerminatorAreCutInsideTheirField)
{
    StoreFullInstallation();
    std::string path260(260, 'e');
    std::string name50(50, 'd');
    std::string root260(260, 'r');
    std::string uninstall260(260, 'u');
    SetBytes(PRODUCT_KEY, "ExeDir", REG_BINARY, path260.data(), 260);
    SetBytes(PRODUCT_KEY, "DDName", REG_BINARY, name50.data(), 50);
    SetBytes(PRODUCT_KEY, "CDRoot", REG_BINARY, root260.data(), 260);
    SetBytes(UNINSTALL_KEY, "UninstallString", REG_BINARY, uninstall260.data(), 260);
    EXPECT_EQ(ReadSettings(), 1);
    EXPECT_EQ(std::string(Settings.ExeDir), std::string(259, 'e'));
    EXPECT_EQ(std::string(Settings.DDName), std::string(49, 'd'));
    EXPECT_EQ(std::string(Settings.CDRoot), std::string(259, 'r'));
    EXPECT_EQ(std::string(Settings.UninstallString), std::string(259, 'u'));
    /* The field after DDName is read on its own, not run into. */
    EXPECT_EQ(Settings.bHard, 1);

    /* A REG_SZ value written without its terminator. */
    StoreFullInstallation();
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
    memset(Settings.DDName, 0, sizeof Settings.DDName);
    strcpy(Settings.DDName, "display");
    Settings.bHard = 1;
    Settings.Transparency = 1;
    Settings.bFirstTime = 0;
    EXPECT_EQ(WriteSettings(), 1);

    EXPECT_EQ(StoredDword("Device"), 2u);
    EXPECT_EQ(StoredDword("Mode"), 4u);
    EXPECT_EQ(StoredDword("Width"), 800u);
    EXPECT_EQ(StoredDword("Height"), 600u);
    EXPECT_EQ(StoredDword("bHard"), 1u);
    EXPECT_EQ(StoredDword("bFirstTime"), 0u);
    EXPECT_EQ(StoredDword("Transparency"), 1u);
    EXPECT_EQ(StoredDword("Level"), 0x12340005u);
    /* The record agrees with the key. */
    EXPECT_EQ(Settings.Level, 0x12340005u);

    /* The installation is now complete. */
    EXPECT_EQ(ReadSettings(), 1);
    EXPECT_EQ(Settings.Level, 0x12340005u);
    EXPECT_STREQ(Settings.DDName, "display");
    EXPECT_STREQ(Settings.CDRoot, "D:\\");
}

TEST_F(SettingsStore, WriteAfterAStopAtLevelKeepsIt)
{
    /* Level itself unreadable as a number: it is left as stored. */
    StoreFullInstallation();
    const unsigned char wide[6] = { 1, 2, 3, 4, 5, 6 };
    SetBytes(PRODUCT_KEY, "Level", REG_BINARY, wide, sizeof wide);
    ASSERT_EQ(ReadSettings(), 0);
    EXPECT_EQ(Settings.bHard, 1);
    EXPECT_EQ(WriteSettings(), 1);
    Stored level = ReadStored("Level");
    EXPECT_TRUE(level.found);
    EXPECT_EQ(level.type, (DWORD)REG_BINARY);
    EXPECT_EQ(level.bytes, std::vector<unsigned char>(wide, wide + sizeof wide));

    /* Level missing: created from the record. */
    StoreFullInstallation();
    DeleteValue("Level");
    ASSERT_EQ(ReadSettings(), 0);
    EXPECT_EQ(WriteSettings(), 1);
    EXPECT_EQ(StoredDword("Level"), 0u);
    EXPECT_EQ(ReadSettings(), 1);
}

TEST_F(SettingsStore, WriteAfterAFullReadWritesTheRecordsLevel)
{
    StoreFullInstallation();
    ASSERT_EQ(ReadSettings(), 1);
    /* Another program changes the stored level meanwhile: the launcher
     * read it and writes back what it read. */
    SetDword("Level", 0x77);
    EXPECT_EQ(WriteSettings(), 1);
    EXPECT_EQ(StoredDword("Level"), 0x5A5A0004u);
}

TEST_F(SettingsStore, DDNameIsAlwaysStored50BytesLong)
{
    StoreFullInstallation();
    ASSERT_EQ(ReadSettings(), 1);
    const std::string names[] = { "", "display", std::string(49, 'x') };
    for (const std::string &name : names) {
        memset(Settings.DDName, 0, sizeof Settings.DDName);
        memcpy(Settings.DDName, name.data(), name.size());
        ASSERT_EQ(WriteSettings(), 1);
        Stored stored = ReadStored("DDName");
        ASSERT_TRUE(stored.found);
        EXPECT_EQ(stored.type, (DWORD)REG_SZ);
        ASSERT_EQ(stored.bytes.size(), 50u) << name;
        std::vector<unsigned char> expected(50, 0);
        memcpy(expected.data(), name.data(), name.size());
        EXPECT_EQ(stored.bytes, expected) << name;
    }

    /* A field filled to the end still goes out with a terminator. */
    memset(Settings.DDName, 'z', sizeof Settings.DDName);
    ASSERT_EQ(WriteSettings(), 1);
    Stored stored = ReadStored("DDName");
    ASSERT_EQ(stored.bytes.size(), 50u);
    EXPECT_EQ(stored.bytes[48], 'z');
    EXPECT_EQ(stored.bytes[49], 0);
}

TEST_F(SettingsStore, ReadOnlyProductKeyIsReadButNotWritten)
{
    StoreFullInstallation();
    HKEY key = CreateKey(PRODUCT_KEY);
    ASSERT_NE(key, (HKEY)NULL);
    PSECURITY_DESCRIPTOR descriptor = NULL;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA("D:P(A;;KR;;;WD)", SDDL_REVISION_1, &descriptor, NULL));
    EXPECT_EQ(RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor), ERROR_SUCCESS);
    LocalFree(descriptor);
    RegCloseKey(key);

    /* The key really is read-only now. */
    HKEY probe;
    ASSERT_NE(RegOpenKeyExA(HKEY_LOCAL_MACHINE, PRODUCT_KEY, 0, KEY_ALL_ACCESS, &probe), ERROR_SUCCESS);
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, PRODUCT_KEY, 0, KEY_READ, &probe), ERROR_SUCCESS);
    RegCloseKey(probe);

    EXPECT_EQ(ReadSettings(), 1);
    EXPECT_EQ(Settings.Installed, 1);
    EXPECT_EQ(Settings.CDRootKnown, 1);
    EXPECT_STREQ(Settings.ExeDir, "C:\\Jeux\\KVL");
    EXPECT_EQ(Settings.Level, 0x5A5A0004u);

    Settings.Device = 9;
    Settings.bFirstTime = 0;
    EXPECT_EQ(WriteSettings(), 0);
    EXPECT_EQ(StoredDword("Device"), 1u);
    /* The record keeps the new values. */
    EXPECT_EQ(Settings.Device, 9);
}
