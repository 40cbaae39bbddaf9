/* End to end: the demo disc's own programs, run from the demo disc R: as
 * the launcher would start them. Setup installs and registers the game,
 * the game stand-in reads the settings and completes levels, and the
 * uninstaller removes what Setup installed, its own folder included. */
#include <windows.h>
#include <gtest/gtest.h>

#include <string>

#include "standins/standin_core.h"
#include "standins/standin_res.h"
#include "tests/win32/fixtures.h"
#include "tests/win32/procwin.h"

static const char SetupCaption[] = "Installation de K.V.L";
static const char UninstallCaption[] = "D\xE9sinstallation de K.V.L";
static const char GameCaption[] = "K.V.L - D\xE9mo";
static const char ProductKey[] = "SOFTWARE\\BRIXOLAN\\K.V.L\\1.0";
static const char UninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\K.V.L";
static const char OtherDir[] = "C:\\Jeux KVL";
static const DWORD Timeout = 30000;

static bool Exists(const std::string &path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

static bool KeyExists(HKEY root, const char *path)
{
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, KEY_READ | KEY_WOW64_32KEY, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

/* A value's type and bytes, as text for strings and as a number for
 * DWORDs: "sz:<text>", "dword:<n>", or "absent". */
static std::string Value(HKEY root, const char *path, const char *name)
{
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, KEY_READ | KEY_WOW64_32KEY, &key) != ERROR_SUCCESS)
        return "absent";
    BYTE data[512];
    DWORD type = 0, size = sizeof data - 1;
    LONG rc = RegQueryValueExA(key, name, NULL, &type, data, &size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS)
        return "absent";
    if (type == REG_SZ) {
        data[size] = 0;
        return "sz:" + std::string((const char *)data);
    }
    if (type == REG_DWORD && size == 4)
        return "dword:" + std::to_string(*(const DWORD *)data);
    return "type " + std::to_string(type);
}

static void SetValue(const char *name, DWORD value)
{
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, ProductKey, 0, KEY_SET_VALUE | KEY_WOW64_32KEY, &key), ERROR_SUCCESS);
    RegSetValueExA(key, name, 0, REG_DWORD, (const BYTE *)&value, sizeof value);
    RegCloseKey(key);
}

static void SetString(HKEY root, const char *path, const char *name, const char *text)
{
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(root, path, 0, NULL, 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, NULL, &key, NULL),
              ERROR_SUCCESS);
    RegSetValueExA(key, name, 0, REG_SZ, (const BYTE *)text, lstrlenA(text) + 1);
    RegCloseKey(key);
}

static bool WaitGone(const std::string &path, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (Exists(path)) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(100);
    }
    return true;
}

class DiscPrograms : public ::testing::Test {
protected:
    proc::Program program;

    void Clean()
    {
        DeleteRegistryTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\BRIXOLAN");
        DeleteRegistryTree(HKEY_LOCAL_MACHINE, UninstallKey);
        DeleteRegistryTree(HKEY_CURRENT_USER, "SOFTWARE\\BRIXOLAN");
        DeleteFolderTree(DEFAULT_INSTALL_DIR);
        DeleteFolderTree(OtherDir);
    }
    void SetUp() override
    {
        Clean();
        ASSERT_TRUE(Exists("R:\\Setup.exe"));
    }
    void TearDown() override
    {
        proc::Stop(&program);
        Clean();
    }

    DWORD Run(const std::string &commandLine)
    {
        DWORD code = 999;
        proc::Stop(&program);
        EXPECT_TRUE(proc::Start(commandLine, "C:\\", {}, &program)) << commandLine;
        EXPECT_TRUE(proc::WaitExit(program, Timeout, &code)) << commandLine;
        return code;
    }
    void Start(const std::string &commandLine)
    {
        proc::Stop(&program);
        ASSERT_TRUE(proc::Start(commandLine, "C:\\", {}, &program)) << commandLine;
    }
    DWORD ExitCode()
    {
        DWORD code = 999;
        EXPECT_TRUE(proc::WaitExit(program, Timeout, &code));
        return code;
    }
    void InstallSilently()
    {
        ASSERT_EQ(Run("R:\\Setup.exe /S"), 0u);
    }
};

TEST_F(DiscPrograms, SilentSetupInstallsTheGameFolderAndRegistersIt)
{
    InstallSilently();
    const std::string dir = DEFAULT_INSTALL_DIR;
    for (const char *name : { "KVL.EXE", "ReadMe.txt", "Uninst.exe", "Install.log" }) {
        DWORD attr = GetFileAttributesA((dir + "\\" + name).c_str());
        ASSERT_NE(attr, INVALID_FILE_ATTRIBUTES) << name;
        EXPECT_FALSE(attr & FILE_ATTRIBUTE_READONLY) << name;
    }
    EXPECT_EQ(proc::ReadFileText(dir + "\\ReadMe.txt"), proc::ReadFileText("R:\\KVL\\ReadMe.txt"));

    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, ProductKey, "ExeDir"), "sz:C:\\Program Files\\KVL");
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, ProductKey, "CDRoot"), "sz:R:\\");
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, ProductKey, "DDName"), "sz:");
    const std::pair<const char *, DWORD> numbers[] = { { "bFirstTime", 1 }, { "Device", 0 }, { "Mode", 0 },
                                                       { "Width", 640 },    { "Height", 480 }, { "bHard", 0 },
                                                       { "Level", 0 },      { "Transparency", 0 } };
    for (const auto &n : numbers)
        EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, ProductKey, n.first), "dword:" + std::to_string(n.second)) << n.first;
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, UninstallKey, "UninstallString"), "sz:\"C:\\Program Files\\KVL\\Uninst.exe\"");
    EXPECT_NE(Value(HKEY_LOCAL_MACHINE, UninstallKey, "DisplayName"), "absent");
}

TEST_F(DiscPrograms, SilentUninstallRemovesFilesFolderAndKeys)
{
    InstallSilently();
    SetString(HKEY_CURRENT_USER, ProductKey, "DDName", "display");
    /* The launcher's artbook leaves its picture in the install folder. */
    std::string dir = DEFAULT_INSTALL_DIR;
    CloseHandle(CreateFileA((dir + "\\Artbook.bmp").c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL));

    EXPECT_EQ(Run("\"" + dir + "\\Uninst.exe\" /S"), 0u);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, ProductKey));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\BRIXOLAN"));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, UninstallKey));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, ProductKey));
    /* The folder goes once the copy in the temporary folder has run. */
    EXPECT_TRUE(WaitGone(dir, 15000));
}

TEST_F(DiscPrograms, UninstallKeepsThePlayersOwnFiles)
{
    InstallSilently();
    std::string dir = DEFAULT_INSTALL_DIR, own = dir + "\\Partie1.sav";
    CloseHandle(CreateFileA(own.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL));
    EXPECT_EQ(Run("\"" + dir + "\\Uninst.exe\" /S"), 0u);
    EXPECT_TRUE(WaitGone(dir + "\\Uninst.exe", 15000));
    EXPECT_FALSE(Exists(dir + "\\KVL.EXE"));
    EXPECT_FALSE(Exists(dir + "\\Install.log"));
    EXPECT_TRUE(Exists(own));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, ProductKey));
}

TEST_F(DiscPrograms, SetupAsksForTheFolderAndRefusesADriveRoot)
{
    /* A reinstallation offers the installed folder. */
    SetString(HKEY_LOCAL_MACHINE, ProductKey, "ExeDir", OtherDir);
    Start("R:\\Setup.exe");
    HWND dialog = proc::WaitAnyDialog(SetupCaption, IDC_SETUP_DIR, Timeout);
    ASSERT_NE(dialog, (HWND)NULL);
    EXPECT_EQ(proc::ItemText(dialog, IDC_SETUP_DIR), OtherDir);

    SendMessageA(GetDlgItem(dialog, IDC_SETUP_DIR), WM_SETTEXT, 0, (LPARAM) "C:\\");
    proc::Press(dialog, IDOK);
    HWND problem = proc::WaitAnyDialog(SetupCaption, IDOK, Timeout, dialog);
    ASSERT_NE(problem, (HWND)NULL) << "no complaint about the root";
    proc::Press(problem, IDOK);
    Sleep(300);
    EXPECT_TRUE(IsWindowVisible(dialog)) << "Setup must ask again";
    EXPECT_FALSE(Exists("C:\\KVL.EXE"));

    SendMessageA(GetDlgItem(dialog, IDC_SETUP_DIR), WM_SETTEXT, 0, (LPARAM) "  C:/Jeux KVL\\ ");
    proc::Press(dialog, IDOK);
    HWND done = proc::WaitAnyDialog(SetupCaption, IDOK, Timeout, dialog);
    ASSERT_NE(done, (HWND)NULL);
    EXPECT_FALSE(GetDlgItem(done, IDC_SETUP_DIR));
    proc::Press(done, IDOK);
    EXPECT_EQ(ExitCode(), 0u);
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, ProductKey, "ExeDir"), std::string("sz:") + OtherDir);
    EXPECT_TRUE(Exists(std::string(OtherDir) + "\\KVL.EXE"));
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, UninstallKey, "UninstallString"), "sz:\"C:\\Jeux KVL\\Uninst.exe\"");
}

TEST_F(DiscPrograms, SetupCancelledOrWithoutItsDiscInstallsNothing)
{
    Start("R:\\Setup.exe");
    HWND dialog = proc::WaitAnyDialog(SetupCaption, IDC_SETUP_DIR, Timeout);
    ASSERT_NE(dialog, (HWND)NULL);
    EXPECT_EQ(proc::ItemText(dialog, IDC_SETUP_DIR), DEFAULT_INSTALL_DIR);
    proc::Press(dialog, IDCANCEL);
    EXPECT_EQ(ExitCode(), 2u);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, ProductKey));
    EXPECT_FALSE(Exists(DEFAULT_INSTALL_DIR));

    /* A Setup.exe away from the disc finds no game folder beside it. */
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    std::string lone = std::string(temp) + "KVLSetupSeul.exe";
    ASSERT_TRUE(CopyFileA("R:\\Setup.exe", lone.c_str(), FALSE));
    EXPECT_EQ(Run("\"" + lone + "\" /S"), 1u);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, ProductKey));
    DeleteFileA(lone.c_str());
}

TEST_F(DiscPrograms, GameShowsTheStoredSettingsAndCompletesLevels)
{
    InstallSilently();
    SetValue("Device", 1);
    SetValue("Mode", 3);
    SetValue("Width", 800);
    SetValue("Height", 600);
    SetString(HKEY_LOCAL_MACHINE, ProductKey, "DDName", "display");
    SetValue("bHard", 1);
    SetValue("Transparency", 1);
    SetValue("Level", 5);

    Start("\"C:\\Program Files\\KVL\\KVL.EXE\"");
    HWND game = proc::WaitAnyDialog(GameCaption, IDC_GAME_NEXT, Timeout);
    ASSERT_NE(game, (HWND)NULL);
    EXPECT_NE(proc::ItemText(game, IDC_GAME_DEVICE).find("1"), std::string::npos);
    EXPECT_NE(proc::ItemText(game, IDC_GAME_MODE).find("800 x 600"), std::string::npos);
    EXPECT_EQ(proc::ItemText(game, IDC_GAME_DRIVER), "display");
    EXPECT_EQ(proc::ItemText(game, IDC_GAME_HARD).substr(0, 3), "oui");
    EXPECT_EQ(proc::ItemText(game, IDC_GAME_TRANSP), "oui");
    EXPECT_NE(proc::ItemText(game, IDC_GAME_LEVELS).find("5 sur 7"), std::string::npos);

    proc::Press(game, IDC_GAME_NEXT);
    proc::Press(game, IDC_GAME_NEXT);
    for (int i = 0; i < 50 && IsWindowEnabled(GetDlgItem(game, IDC_GAME_NEXT)); i++)
        Sleep(100);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(game, IDC_GAME_NEXT))) << "7 levels: nothing more to complete";
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, ProductKey, "Level"), "dword:7");
    EXPECT_NE(proc::ItemText(game, IDC_GAME_LEVELS).find("7 sur 7"), std::string::npos);
    proc::Press(game, IDCANCEL);
    EXPECT_EQ(ExitCode(), 0u);

    /* A value outside 0..7 counts as no level completed. */
    SetValue("Level", 0xFFFF);
    Start("\"C:\\Program Files\\KVL\\KVL.EXE\"");
    game = proc::WaitAnyDialog(GameCaption, IDC_GAME_NEXT, Timeout);
    ASSERT_NE(game, (HWND)NULL);
    EXPECT_NE(proc::ItemText(game, IDC_GAME_LEVELS).find("0 sur 7"), std::string::npos);
    proc::Press(game, IDC_GAME_NEXT);
    for (int i = 0; i < 50 && Value(HKEY_LOCAL_MACHINE, ProductKey, "Level") != "dword:1"; i++)
        Sleep(100);
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, ProductKey, "Level"), "dword:1");
    proc::Press(game, IDCANCEL);
    EXPECT_EQ(ExitCode(), 0u);
}

TEST_F(DiscPrograms, GameWithoutInstallationSaysSo)
{
    Start("R:\\KVL\\KVL.EXE");
    HWND box = proc::WaitAnyDialog(GameCaption, IDOK, Timeout);
    ASSERT_NE(box, (HWND)NULL);
    EXPECT_FALSE(GetDlgItem(box, IDC_GAME_NEXT));
    proc::Press(box, IDOK);
    EXPECT_EQ(ExitCode(), 1u);
}

TEST_F(DiscPrograms, UninstallerAsksFirst)
{
    InstallSilently();
    std::string dir = DEFAULT_INSTALL_DIR, uninstaller = "\"" + dir + "\\Uninst.exe\"";
    Start(uninstaller);
    HWND question = proc::WaitAnyDialog(UninstallCaption, IDNO, Timeout);
    ASSERT_NE(question, (HWND)NULL);
    proc::Press(question, IDNO);
    EXPECT_EQ(ExitCode(), 2u);
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, ProductKey));
    EXPECT_TRUE(Exists(dir + "\\KVL.EXE"));

    Start(uninstaller);
    question = proc::WaitAnyDialog(UninstallCaption, IDYES, Timeout);
    ASSERT_NE(question, (HWND)NULL);
    proc::Press(question, IDYES);
    /* The end is told by the second stage, a process of its own. */
    HWND done = proc::WaitAnyDialog(UninstallCaption, IDOK, Timeout, question);
    ASSERT_NE(done, (HWND)NULL);
    EXPECT_TRUE(WaitGone(dir, 15000));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, ProductKey));
    proc::Press(done, IDOK);
    EXPECT_EQ(ExitCode(), 0u);
}

TEST_F(DiscPrograms, SubfoldersAndReadOnlyFilesOfTheDiscInstallAndUninstall)
{
    /* A disc of our own, with a data folder and read-only files as a
     * CD-ROM gives them. */
    const std::string disc = "C:\\Disque KVL", data = disc + "\\KVL\\Data";
    DeleteFolderTree(disc);
    ASSERT_TRUE(CreateDirectoryA(disc.c_str(), NULL));
    ASSERT_TRUE(CreateDirectoryA((disc + "\\KVL").c_str(), NULL));
    ASSERT_TRUE(CreateDirectoryA(data.c_str(), NULL));
    ASSERT_TRUE(CopyFileA("R:\\Setup.exe", (disc + "\\Setup.exe").c_str(), FALSE));
    ASSERT_TRUE(CopyFileA("R:\\KVL\\KVL.EXE", (disc + "\\KVL\\KVL.EXE").c_str(), FALSE));
    HANDLE level = CreateFileA((data + "\\Niveau1.dat").c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    ASSERT_NE(level, INVALID_HANDLE_VALUE);
    DWORD written;
    WriteFile(level, "niveau", 6, &written, NULL);
    CloseHandle(level);
    SetFileAttributesA((data + "\\Niveau1.dat").c_str(), FILE_ATTRIBUTE_READONLY);

    EXPECT_EQ(Run("\"" + disc + "\\Setup.exe\" /S"), 0u);
    const std::string dir = DEFAULT_INSTALL_DIR;
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, ProductKey, "CDRoot"), "sz:C:\\Disque KVL\\");
    DWORD attr = GetFileAttributesA((dir + "\\Data\\Niveau1.dat").c_str());
    ASSERT_NE(attr, INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(attr & FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(proc::ReadFileText(dir + "\\Data\\Niveau1.dat"), "niveau");

    EXPECT_EQ(Run("\"" + dir + "\\Uninst.exe\" /S"), 0u);
    EXPECT_TRUE(WaitGone(dir, 15000));
    SetFileAttributesA((data + "\\Niveau1.dat").c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFolderTree(disc);
}

TEST_F(DiscPrograms, AnUninstallerLeftElsewhereKeepsTheInstalledGameRegistered)
{
    InstallSilently();
    const std::string old = "C:\\Ancien KVL";
    DeleteFolderTree(old);
    ASSERT_TRUE(CreateDirectoryA(old.c_str(), NULL));
    ASSERT_TRUE(CopyFileA((std::string(DEFAULT_INSTALL_DIR) + "\\Uninst.exe").c_str(), (old + "\\Uninst.exe").c_str(), FALSE));
    EXPECT_EQ(Run("\"" + old + "\\Uninst.exe\" /S"), 0u);
    EXPECT_TRUE(WaitGone(old, 15000));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, ProductKey));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, UninstallKey));
    EXPECT_TRUE(Exists(std::string(DEFAULT_INSTALL_DIR) + "\\KVL.EXE"));
}
