/* End to end: the demo disc's own programs, run from the demo disc R: as
 * the launcher would start them. Setup installs and registers the game,
 * the game stand-in reads the settings and completes levels, and the
 * uninstaller, which Setup puts into the product's own folder under the
 * system's common files, removes what Setup installed and leaves its own
 * file and folder to the next restart. */
#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "standins/standin_core.h"
#include "standins/standin_res.h"
#include "standins/standin_win.h"
#include "tests/harness/fixtures.h"
#include "tests/harness/procwin.h"
#include "common/registrykeys.h"

static const char OtherDir[] = "C:\\Jeux KVL";
static const char OldDir[] = "C:\\Ancien KVL";
static const char OutsideDir[] = "C:\\Hors KVL";
static const char MovedDir[] = "C:\\Program Files\\KVL vrai";
static const char DiscDir[] = "C:\\Disque KVL";
static const char WindowsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
static const DWORD Timeout = 30000;
static const int MessageBoxTextId = 0xFFFF; /* the static text of a message box */

static bool Exists(const std::string &path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

/* A value's type and bytes, as text for strings and as a number for
 * DWORDs: "sz:<text>", "dword:<n>", or "absent". */
static std::string Value(HKEY root, const char *path, const char *name)
{
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, KEY_READ | REGISTRY_32BIT_VIEW, &key) != ERROR_SUCCESS)
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
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, PRODUCT_KEY, 0, KEY_SET_VALUE | REGISTRY_32BIT_VIEW, &key), ERROR_SUCCESS);
    RegSetValueExA(key, name, 0, REG_DWORD, (const BYTE *)&value, sizeof value);
    RegCloseKey(key);
}

static void SetString(HKEY root, const char *path, const char *name, const char *text)
{
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(root, path, 0, NULL, 0, KEY_ALL_ACCESS | REGISTRY_32BIT_VIEW, NULL, &key, NULL),
              ERROR_SUCCESS);
    RegSetValueExA(key, name, 0, REG_SZ, (const BYTE *)text, lstrlenA(text) + 1);
    RegCloseKey(key);
}

template <class Condition> static bool WaitUntil(Condition done, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(100);
    }
    return true;
}

/* The uninstaller ends with the product key and its parents. */
static bool Unregistered()
{
    return !RegistryKeyExists(HKEY_LOCAL_MACHINE, COMPANY_KEY) && !RegistryKeyExists(HKEY_LOCAL_MACHINE, UNINSTALL_KEY);
}

static bool WriteText(const std::string &path, const std::string &text, bool append = false)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, append ? OPEN_ALWAYS : CREATE_ALWAYS, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = (!append || SetFilePointer(file, 0, NULL, FILE_END) != INVALID_SET_FILE_POINTER) &&
              WriteFile(file, text.data(), (DWORD)text.size(), &written, NULL) && written == text.size();
    CloseHandle(file);
    return ok;
}

/* The log line Setup writes for a file holding text. */
static std::string LogLine(const char *relative, const std::string &text)
{
    FileRecord record = { text.size(), Fnv1a(FNV1A_START, text.data(), text.size()) };
    char line[STANDIN_PATH_MAX + 40];
    return FormatInstallLogLine(line, sizeof line, relative, &record) ? line : "";
}

/* Links are planted as another account of the machine could: a Unix
 * symbolic link in the prefix, which Wine shows as a reparse point. Wine
 * starts Unix programs without a process to wait for, so the caller waits
 * for the link itself. Only paths on C: are used. */
static std::string UnixPath(const std::string &windowsPath)
{
    char prefix[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof prefix);
    std::string path = std::string(n && n < sizeof prefix ? prefix : "") + "/drive_c/" + windowsPath.substr(3);
    for (char &c : path)
        c = c == '\\' ? '/' : c;
    return path;
}

static bool RunUnix(const std::string &command)
{
    proc::Program tool;
    if (!proc::Start(command, "", {}, &tool))
        return false;
    if (tool.process)
        CloseHandle(tool.process);
    return true;
}

static bool IsLink(const std::string &path)
{
    DWORD attr = GetFileAttributesA(path.c_str());
    return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_REPARSE_POINT);
}

/* The deletions queued for the next restart, as the system keeps them. */
static std::string PendingRenames()
{
    std::string pending;
    HKEY session;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\Session Manager", 0, KEY_READ,
                      &session) == ERROR_SUCCESS) {
        DWORD size = 0;
        RegQueryValueExA(session, "PendingFileRenameOperations", NULL, NULL, NULL, &size);
        std::vector<char> data(size + 2);
        if (RegQueryValueExA(session, "PendingFileRenameOperations", NULL, NULL, (BYTE *)data.data(), &size) ==
            ERROR_SUCCESS)
            pending.assign(data.data(), size);
        RegCloseKey(session);
    }
    return pending;
}

class DiscPrograms : public ::testing::Test {
protected:
    proc::Program program;
    std::string product = ProductFolderPath();   /* where Setup puts the uninstaller and its record */
    std::string commonFiles = CommonFilesFolder();
    bool restoreCommonFiles = false;
    std::vector<std::pair<std::string, std::string>> links;   /* link, target */

    void Clean()
    {
        /* Links first, so that no clean-up goes through them. A link whose
         * target has gone is invisible to Windows: it gets one back. */
        for (const auto &link : links) {
            CreateDirectoryA(link.second.c_str(), NULL);
            if (IsLink(link.first) && RunUnix("/bin/rm -f \"" + UnixPath(link.first) + "\"")) {
                EXPECT_TRUE(WaitUntil([&] { return !IsLink(link.first); }, 10000)) << link.first;
            }
        }
        links.clear();
        DeleteRegistryTree(HKEY_LOCAL_MACHINE, COMPANY_KEY);
        DeleteRegistryTree(HKEY_LOCAL_MACHINE, UNINSTALL_KEY);
        DeleteRegistryTree(HKEY_CURRENT_USER, COMPANY_KEY);
        for (const char *dir : { DEFAULT_INSTALL_DIR, OtherDir, OldDir, OutsideDir, MovedDir, DiscDir })
            DeleteFolderTree(dir);
        DeleteProductFolder();
    }
    void SetUp() override
    {
        ASSERT_FALSE(product.empty()) << "the system names no common files folder";
        Clean();
        ASSERT_TRUE(Exists("R:\\Setup.exe"));
    }
    void TearDown() override
    {
        proc::Stop(&program);
        if (restoreCommonFiles)
            SetString(HKEY_LOCAL_MACHINE, WindowsKey, "CommonFilesDir", commonFiles.c_str());
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
    /* The command line of the installed uninstaller, as registered. */
    std::string Uninstaller() const { return "\"" + product + "\\" UNINSTALLER_NAME "\""; }
    std::string Record() const { return product + "\\" INSTALL_LOG_NAME; }
    bool PlantLink(const std::string &link, const std::string &target)
    {
        links.push_back({ link, target });
        return RunUnix("/bin/ln -s \"" + UnixPath(target) + "\" \"" + UnixPath(link) + "\"") &&
               WaitUntil([&] { return IsLink(link); }, 10000);
    }
    /* A disc of our own, with a data folder and a read-only file as a
     * CD-ROM gives them. */
    void MakeDisc()
    {
        const std::string disc = DiscDir, data = disc + "\\KVL\\Data";
        ASSERT_TRUE(CreateDirectoryA(disc.c_str(), NULL));
        ASSERT_TRUE(CreateDirectoryA((disc + "\\KVL").c_str(), NULL));
        ASSERT_TRUE(CreateDirectoryA(data.c_str(), NULL));
        ASSERT_TRUE(CopyFileA("R:\\Setup.exe", (disc + "\\Setup.exe").c_str(), FALSE));
        ASSERT_TRUE(CopyFileA("R:\\KVL\\KVL.EXE", (disc + "\\KVL\\KVL.EXE").c_str(), FALSE));
        ASSERT_TRUE(WriteText(data + "\\Niveau1.dat", "niveau"));
        SetFileAttributesA((data + "\\Niveau1.dat").c_str(), FILE_ATTRIBUTE_READONLY);
    }
};

TEST_F(DiscPrograms, SilentSetupInstallsTheGameFolderAndRegistersIt)
{
    InstallSilently();
    const std::string dir = DEFAULT_INSTALL_DIR;
    for (const char *name : { "KVL.EXE", "ReadMe.txt" }) {
        DWORD attr = GetFileAttributesA((dir + "\\" + name).c_str());
        ASSERT_NE(attr, INVALID_FILE_ATTRIBUTES) << name;
        EXPECT_FALSE(attr & FILE_ATTRIBUTE_READONLY) << name;
    }
    /* The uninstaller and its record live in the product's own folder,
     * none in the install folder, which every account may be able to
     * change. */
    for (const char *name : { UNINSTALLER_NAME, INSTALL_LOG_NAME }) {
        EXPECT_TRUE(Exists(product + "\\" + name)) << name;
        EXPECT_FALSE(Exists(dir + "\\" + name)) << name;
    }
    EXPECT_EQ(proc::ReadFileText(dir + "\\ReadMe.txt"), proc::ReadFileText("R:\\KVL\\ReadMe.txt"));

    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, PRODUCT_KEY, "ExeDir"), "sz:C:\\Program Files\\KVL");
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, PRODUCT_KEY, "CDRoot"), "sz:?:\\") << "a CD-ROM drive's letter is not kept";
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, PRODUCT_KEY, "DDName"), "sz:");
    const std::pair<const char *, DWORD> numbers[] = { { "bFirstTime", 1 }, { "Device", 0 }, { "Mode", 0 },
                                                       { "Width", 640 },    { "Height", 480 }, { "bHard", 0 },
                                                       { "Level", 0 },      { "Transparency", 0 } };
    for (const auto &n : numbers)
        EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, PRODUCT_KEY, n.first), "dword:" + std::to_string(n.second)) << n.first;
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, UNINSTALL_KEY, "UninstallString"), "sz:" + Uninstaller());
    EXPECT_NE(Value(HKEY_LOCAL_MACHINE, UNINSTALL_KEY, "DisplayName"), "absent");

    /* The registered installation is ours to install into again. */
    const std::string log = proc::ReadFileText(Record());
    EXPECT_EQ(Run("R:\\Setup.exe /S"), 0u);
    EXPECT_EQ(proc::ReadFileText(Record()), log);
}

TEST_F(DiscPrograms, SilentUninstallRemovesFilesFolderAndKeys)
{
    InstallSilently();
    SetString(HKEY_CURRENT_USER, PRODUCT_KEY, "DDName", "display");
    std::string dir = DEFAULT_INSTALL_DIR;

    EXPECT_EQ(Run(Uninstaller() + " /S"), 0u);
    /* All is done when it ends, but its own file. */
    EXPECT_FALSE(Exists(dir));
    EXPECT_TRUE(Unregistered());
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, PRODUCT_KEY));
    EXPECT_FALSE(Exists(Record()));
}

TEST_F(DiscPrograms, UninstallKeepsThePlayersOwnAndChangedFiles)
{
    InstallSilently();
    std::string dir = DEFAULT_INSTALL_DIR, own = dir + "\\Partie1.sav", changed = dir + "\\ReadMe.txt";
    CloseHandle(CreateFileA(own.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL));
    /* The launcher never leaves a picture of its own under that name. */
    const std::string picture = dir + "\\Artbook.bmp";
    ASSERT_TRUE(WriteText(picture, "BM ma photo"));
    /* Same size, other bytes: no longer the file Setup wrote. */
    std::string text = proc::ReadFileText(changed);
    ASSERT_FALSE(text.empty());
    text[0] = text[0] == '#' ? '=' : '#';
    ASSERT_TRUE(WriteText(changed, text));
    EXPECT_EQ(Run(Uninstaller() + " /S"), 0u);
    EXPECT_TRUE(Unregistered());
    EXPECT_FALSE(Exists(dir + "\\KVL.EXE"));
    EXPECT_TRUE(Exists(own));
    EXPECT_EQ(proc::ReadFileText(changed), text);
    EXPECT_EQ(proc::ReadFileText(picture), "BM ma photo");
}

TEST_F(DiscPrograms, AHardLinkedFileIsNeverChangedByUninstallOrReinstall)
{
    InstallSilently();
    const std::string dir = DEFAULT_INSTALL_DIR, installed = dir + "\\ReadMe.txt";
    const std::string elsewhere = std::string(OutsideDir) + "\\Notes.txt";
    const std::string text = proc::ReadFileText(installed);
    ASSERT_TRUE(CreateDirectoryA(OutsideDir, NULL));
    /* Still the bytes Setup wrote, but the file has a second name outside
     * the folder, and is read-only. */
    ASSERT_TRUE(CreateHardLinkA(elsewhere.c_str(), installed.c_str(), NULL));
    ASSERT_TRUE(SetFileAttributesA(elsewhere.c_str(), FILE_ATTRIBUTE_READONLY));
    auto untouched = [&] {
        DWORD attr = GetFileAttributesA(elsewhere.c_str());
        return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_READONLY) &&
               proc::ReadFileText(elsewhere) == text && Exists(installed);
    };

    /* A reinstall cannot replace it: it refuses and rolls back. */
    EXPECT_EQ(Run("R:\\Setup.exe /S"), 1u);
    EXPECT_TRUE(untouched());
    EXPECT_EQ(Run(Uninstaller() + " /S"), 0u);
    EXPECT_TRUE(Unregistered());
    EXPECT_FALSE(Exists(dir + "\\KVL.EXE"));
    EXPECT_TRUE(untouched());
    SetFileAttributesA(elsewhere.c_str(), FILE_ATTRIBUTE_NORMAL);
    SetFileAttributesA(installed.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(DiscPrograms, AReinstallKeepsThePlayersSettingsAndProgress)
{
    InstallSilently();
    SetValue("Level", 5);
    SetValue("bFirstTime", 0);
    SetValue("Width", 1024);
    SetString(HKEY_LOCAL_MACHINE, PRODUCT_KEY, "DDName", "display");
    SetString(HKEY_LOCAL_MACHINE, PRODUCT_KEY, "CDRoot", "C:\\Ailleurs\\");
    /* What the launcher cannot read is written again: a number stored as
     * text, and a value gone. */
    SetString(HKEY_LOCAL_MACHINE, PRODUCT_KEY, "Height", "768");
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, PRODUCT_KEY, 0, KEY_SET_VALUE | REGISTRY_32BIT_VIEW, &key), ERROR_SUCCESS);
    RegDeleteValueA(key, "Mode");
    RegCloseKey(key);

    EXPECT_EQ(Run("R:\\Setup.exe /S"), 0u);
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, PRODUCT_KEY, "Level"), "dword:5");
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, PRODUCT_KEY, "bFirstTime"), "dword:0");
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, PRODUCT_KEY, "Width"), "dword:1024");
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, PRODUCT_KEY, "DDName"), "sz:display");
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, PRODUCT_KEY, "Height"), "dword:480");
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, PRODUCT_KEY, "Mode"), "dword:0");
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, PRODUCT_KEY, "CDRoot"), "sz:?:\\");
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, PRODUCT_KEY, "ExeDir"), "sz:C:\\Program Files\\KVL");
}

/* The names in a folder and their bytes, sorted. */
static std::vector<std::string> FolderContents(const std::string &dir)
{
    std::vector<std::string> found;
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((dir + "\\*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return found;
    do
        if (entry.cFileName[0] != '.')
            found.push_back(std::string(entry.cFileName) + "=" + proc::ReadFileText(dir + "\\" + entry.cFileName));
    while (FindNextFileA(search, &entry));
    FindClose(search);
    std::sort(found.begin(), found.end());
    return found;
}

TEST_F(DiscPrograms, AFailedReinstallLeavesTheEarlierInstallationWorking)
{
    InstallSilently();
    const std::string dir = DEFAULT_INSTALL_DIR;
    ASSERT_TRUE(WriteText(dir + "\\ReadMe.txt", "notes du joueur"));
    SetString(HKEY_LOCAL_MACHINE, PRODUCT_KEY, "CDRoot", "C:\\Ailleurs\\");
    const std::vector<std::string> before = FolderContents(dir);
    /* The log, the last file swapped in, is held by another program. */
    HANDLE held = CreateFileA(Record().c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);

    Start("R:\\Setup.exe");
    HWND dialog = proc::WaitAnyDialog(SETUP_CAPTION, IDC_SETUP_DIR, Timeout);
    ASSERT_NE(dialog, (HWND)NULL);
    proc::Press(dialog, IDOK);
    HWND failure = proc::WaitAnyDialog(SETUP_CAPTION, IDOK, Timeout, dialog);
    ASSERT_NE(failure, (HWND)NULL);
    const std::string text = proc::ItemText(failure, MessageBoxTextId);
    EXPECT_NE(text.find("l'installation pr\xe9" "c\xe9" "dente de K.V.L fonctionne toujours"), std::string::npos) << text;
    proc::Press(failure, IDOK);
    EXPECT_EQ(ExitCode(), 1u);
    CloseHandle(held);

    EXPECT_EQ(FolderContents(dir), before);
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, PRODUCT_KEY, "CDRoot"), "sz:C:\\Ailleurs\\");
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, PRODUCT_KEY, "ExeDir"), "sz:C:\\Program Files\\KVL");
}

TEST_F(DiscPrograms, ASpareFileLeftBehindIsNoObstacle)
{
    InstallSilently();
    const std::string dir = DEFAULT_INSTALL_DIR;
    /* Left by interrupted runs: one holds what Setup writes, the others
     * are not ours. */
    ASSERT_TRUE(CopyFileA("R:\\KVL\\ReadMe.txt", (dir + "\\ReadMe.txt.new").c_str(), TRUE));
    ASSERT_TRUE(WriteText(dir + "\\KVL.EXE.new", "pas le jeu"));
    ASSERT_TRUE(WriteText(dir + "\\Uninst.new", "reste"));
    ASSERT_TRUE(WriteText(product + "\\Uninst.exe.new", "reste"));

    EXPECT_EQ(Run("R:\\Setup.exe /S"), 0u);
    auto names = [](const std::string &folder) {
        std::vector<std::string> found;
        for (const std::string &item : FolderContents(folder))
            found.push_back(item.substr(0, item.find('=')));
        std::sort(found.begin(), found.end());
        return found;
    };
    const std::vector<std::string> expected = { "KVL.EXE", "KVL.EXE.new", "ReadMe.txt", "Uninst.new" };
    EXPECT_EQ(names(dir), expected);
    const std::vector<std::string> own = { "Install.log", "Uninst.exe", "Uninst.exe.new" };
    EXPECT_EQ(names(product), own);
    EXPECT_EQ(proc::ReadFileText(product + "\\Uninst.exe.new"), "reste");
    EXPECT_EQ(proc::ReadFileText(dir + "\\KVL.EXE.new"), "pas le jeu");
    EXPECT_EQ(proc::ReadFileText(dir + "\\Uninst.new"), "reste");
    EXPECT_EQ(proc::ReadFileText(dir + "\\ReadMe.txt"), proc::ReadFileText("R:\\KVL\\ReadMe.txt"));
}

TEST_F(DiscPrograms, AReinstallOverTheOlderLayoutMovesToTheProductFolder)
{
    /* An older Setup left the uninstaller and its log in the install
     * folder and registered them there; the player changed the log. */
    InstallSilently();
    const std::string dir = DEFAULT_INSTALL_DIR;
    ASSERT_TRUE(CopyFileA((product + "\\" UNINSTALLER_NAME).c_str(), (dir + "\\" UNINSTALLER_NAME).c_str(), TRUE));
    const std::string log = proc::ReadFileText(Record()) + "\r\n";
    ASSERT_TRUE(WriteText(dir + "\\" INSTALL_LOG_NAME, log));
    DeleteProductFolder();
    SetString(HKEY_LOCAL_MACHINE, UNINSTALL_KEY, "UninstallString", "\"C:\\Program Files\\KVL\\Uninst.exe\"");

    EXPECT_EQ(Run("R:\\Setup.exe /S"), 0u);
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, UNINSTALL_KEY, "UninstallString"), "sz:" + Uninstaller());
    EXPECT_TRUE(Exists(product + "\\" UNINSTALLER_NAME));
    EXPECT_TRUE(Exists(Record()));
    EXPECT_FALSE(Exists(dir + "\\" UNINSTALLER_NAME)) << "our own bytes: removed";
    EXPECT_EQ(proc::ReadFileText(dir + "\\" INSTALL_LOG_NAME), log) << "not our bytes: kept";
}

TEST_F(DiscPrograms, SetupNeverAdoptsAProductFolderHoldingOtherFiles)
{
    ASSERT_TRUE(CreateFolderTree(product.c_str(), NULL));
    ASSERT_TRUE(WriteText(product + "\\Outil.exe", "pas de Setup"));
    EXPECT_EQ(Run("R:\\Setup.exe /S"), 1u);
    EXPECT_EQ(proc::ReadFileText(product + "\\Outil.exe"), "pas de Setup");
    EXPECT_FALSE(Exists(product + "\\" UNINSTALLER_NAME));
    EXPECT_FALSE(Exists(std::string(DEFAULT_INSTALL_DIR) + "\\KVL.EXE"));
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, PRODUCT_KEY));
}

TEST_F(DiscPrograms, TheUninstallerLeavesItsOwnFileAndFolderToTheRestart)
{
    InstallSilently();
    const std::string self = product + "\\" UNINSTALLER_NAME;
    EXPECT_EQ(Run(Uninstaller() + " /S"), 0u);
    EXPECT_TRUE(Unregistered());
    EXPECT_FALSE(Exists(Record()));
    /* A running program cannot delete its own file: it goes at the next
     * restart under a spare name, then its folder. */
    const std::string aside = self + ".old1";
    EXPECT_TRUE(Exists(aside));
    std::string pending = PendingRenames();
    size_t selfAt = pending.find(aside + std::string(1, '\0')),
           folderAt = pending.find(product + std::string(1, '\0'));
    EXPECT_NE(selfAt, std::string::npos);
    EXPECT_NE(folderAt, std::string::npos);
    EXPECT_LT(selfAt, folderAt);

    /* Installed again before the restart: the restart leaves the new
     * uninstaller alone. */
    InstallSilently();
    EXPECT_TRUE(Exists(self));
    EXPECT_EQ(PendingRenames().find(self + std::string(1, '\0')), std::string::npos);
}

TEST_F(DiscPrograms, TheUninstallerLivesUnderTheSystemsCommonFiles)
{
    const std::string common = CommonFilesFolder(), custom = std::string(OutsideDir) + "\\Communs";
    restoreCommonFiles = true;
    SetString(HKEY_LOCAL_MACHINE, WindowsKey, "CommonFilesDir", custom.c_str());
    InstallSilently();
    const std::string there = custom + "\\BRIXOLAN\\K.V.L\\" UNINSTALLER_NAME;
    EXPECT_TRUE(Exists(there));
    EXPECT_TRUE(Exists(custom + "\\BRIXOLAN\\K.V.L\\" INSTALL_LOG_NAME));
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, UNINSTALL_KEY, "UninstallString"), "sz:\"" + there + "\"");
    EXPECT_EQ(Run("\"" + there + "\" /S"), 0u);
    EXPECT_TRUE(Unregistered());
    EXPECT_FALSE(Exists(DEFAULT_INSTALL_DIR));

    /* Without the value: the common files below the programs' folder. */
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, WindowsKey, 0, KEY_SET_VALUE | REGISTRY_32BIT_VIEW, &key), ERROR_SUCCESS);
    RegDeleteValueA(key, "CommonFilesDir");
    RegCloseKey(key);
    const std::string programs = Value(HKEY_LOCAL_MACHINE, WindowsKey, "ProgramFilesDir");
    ASSERT_EQ(programs.substr(0, 3), "sz:");
    InstallSilently();
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, UNINSTALL_KEY, "UninstallString"),
              "sz:\"" + programs.substr(3) + "\\Common Files\\BRIXOLAN\\K.V.L\\" UNINSTALLER_NAME "\"");
    SetString(HKEY_LOCAL_MACHINE, WindowsKey, "CommonFilesDir", common.c_str());
    EXPECT_EQ(Run(Uninstaller() + " /S"), 0u);
    EXPECT_TRUE(Unregistered());
}

TEST_F(DiscPrograms, AnUninstallerLeftInTheInstallFolderLeavesItselfAndQueuesNothing)
{
    /* The layout of an older Setup: the uninstaller and its log in the
     * install folder, and registered there. */
    InstallSilently();
    const std::string dir = DEFAULT_INSTALL_DIR;
    ASSERT_TRUE(CopyFileA((product + "\\" UNINSTALLER_NAME).c_str(), (dir + "\\" UNINSTALLER_NAME).c_str(), TRUE));
    ASSERT_TRUE(CopyFileA(Record().c_str(), (dir + "\\" INSTALL_LOG_NAME).c_str(), TRUE));
    DeleteProductFolder();
    SetString(HKEY_LOCAL_MACHINE, UNINSTALL_KEY, "UninstallString", "\"C:\\Program Files\\KVL\\Uninst.exe\"");
    const std::string pending = PendingRenames();
    Start("\"" + dir + "\\Uninst.exe\"");
    HWND question = proc::WaitAnyDialog(UNINSTALL_CAPTION, IDYES, Timeout);
    ASSERT_NE(question, (HWND)NULL);
    proc::Press(question, IDYES);
    HWND done = proc::WaitAnyDialog(UNINSTALL_CAPTION, IDOK, Timeout, question);
    ASSERT_NE(done, (HWND)NULL);
    EXPECT_EQ(proc::ItemText(done, MessageBoxTextId),
              "K.V.L a \xe9t\xe9 d\xe9sinstall\xe9.\n\nCe programme de d\xe9sinstallation et le fichier Install.log "
              "restent dans le dossier C:\\Program Files\\KVL : supprimez-les vous-m\xeame.");
    proc::Press(done, IDOK);
    EXPECT_EQ(ExitCode(), 0u);
    EXPECT_TRUE(Exists(dir + "\\Uninst.exe"));
    EXPECT_TRUE(Exists(dir + "\\Install.log"));
    EXPECT_FALSE(Exists(dir + "\\KVL.EXE"));
    EXPECT_TRUE(Unregistered());
    EXPECT_EQ(PendingRenames(), pending) << "nothing is left to the restart";
}

TEST_F(DiscPrograms, NoOtherProgramCanTakeTheUninstallersPlace)
{
    InstallSilently();
    const std::string uninstaller = product + "\\Uninst.exe";
    const std::string record = std::string(OutsideDir) + "\\record.txt";
    ASSERT_TRUE(CreateDirectoryA(OutsideDir, NULL));
    proc::Stop(&program);
    ASSERT_TRUE(proc::Start("\"" + uninstaller + "\"", "C:\\", { "KVL_RECORD_FILE=" + record }, &program));
    HWND question = proc::WaitAnyDialog(UNINSTALL_CAPTION, IDYES, Timeout);
    ASSERT_NE(question, (HWND)NULL);
    /* Another account renames the running program aside and puts its own,
     * which leaves a record when it runs, in its place. */
    if (MoveFileA(uninstaller.c_str(), (product + "\\Uninst.old").c_str())) {
        EXPECT_TRUE(CopyFileA("S:\\Installed KVL\\Uninst.exe", uninstaller.c_str(), TRUE));
    }
    proc::Press(question, IDYES);
    /* It says when it is done, and starts no program on the way. */
    HWND done = proc::WaitAnyDialog(UNINSTALL_CAPTION, IDOK, 5000, question);
    if (done)
        proc::Press(done, IDOK);
    EXPECT_FALSE(Exists(record)) << proc::ReadFileText(record);
}

TEST_F(DiscPrograms, NtFamilyBeforeVistaDeletesByTheHandle)
{
    ASSERT_TRUE(CreateDirectoryA(OutsideDir, NULL));
    const std::string path = std::string(OutsideDir) + "\\Lettre.txt";
    ASSERT_TRUE(WriteText(path, "lettre"));
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    HANDLE item = CreateFileA(path.c_str(), DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ,
                              NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(item, INVALID_HANDLE_VALUE);
    EXPECT_EQ(DeleteOpenedThroughNtdll(item), 1);
    CloseHandle(item);
    EXPECT_FALSE(Exists(path));
}

TEST_F(DiscPrograms, SetupAsksForTheFolderAndRefusesADriveRoot)
{
    /* A reinstallation offers the installed folder. */
    SetString(HKEY_LOCAL_MACHINE, PRODUCT_KEY, "ExeDir", OtherDir);
    Start("R:\\Setup.exe");
    HWND dialog = proc::WaitAnyDialog(SETUP_CAPTION, IDC_SETUP_DIR, Timeout);
    ASSERT_NE(dialog, (HWND)NULL);
    EXPECT_EQ(proc::ItemText(dialog, IDC_SETUP_DIR), OtherDir);

    SendMessageA(GetDlgItem(dialog, IDC_SETUP_DIR), WM_SETTEXT, 0, (LPARAM) "C:\\");
    proc::Press(dialog, IDOK);
    HWND problem = proc::WaitAnyDialog(SETUP_CAPTION, IDOK, Timeout, dialog);
    ASSERT_NE(problem, (HWND)NULL) << "no complaint about the root";
    proc::Press(problem, IDOK);
    Sleep(300);
    EXPECT_TRUE(IsWindowVisible(dialog)) << "Setup must ask again";
    EXPECT_FALSE(Exists("C:\\KVL.EXE"));

    /* Nor a folder of someone else's. */
    const std::string letter = std::string(OldDir) + "\\Lettre.txt";
    ASSERT_TRUE(CreateDirectoryA(OldDir, NULL));
    ASSERT_TRUE(WriteText(letter, "lettre de Paul"));
    SendMessageA(GetDlgItem(dialog, IDC_SETUP_DIR), WM_SETTEXT, 0, (LPARAM)OldDir);
    proc::Press(dialog, IDOK);
    problem = proc::WaitAnyDialog(SETUP_CAPTION, IDOK, Timeout, dialog);
    ASSERT_NE(problem, (HWND)NULL) << "no complaint about a foreign folder";
    proc::Press(problem, IDOK);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(problem); }, Timeout));
    EXPECT_TRUE(IsWindowVisible(dialog)) << "Setup must ask again";
    EXPECT_FALSE(Exists(std::string(OldDir) + "\\KVL.EXE"));

    SendMessageA(GetDlgItem(dialog, IDC_SETUP_DIR), WM_SETTEXT, 0, (LPARAM) "  C:/Jeux KVL\\ ");
    proc::Press(dialog, IDOK);
    HWND done = proc::WaitAnyDialog(SETUP_CAPTION, IDOK, Timeout, dialog);
    ASSERT_NE(done, (HWND)NULL);
    EXPECT_FALSE(GetDlgItem(done, IDC_SETUP_DIR));
    proc::Press(done, IDOK);
    EXPECT_EQ(ExitCode(), 0u);
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, PRODUCT_KEY, "ExeDir"), std::string("sz:") + OtherDir);
    EXPECT_TRUE(Exists(std::string(OtherDir) + "\\KVL.EXE"));
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, UNINSTALL_KEY, "UninstallString"), "sz:" + Uninstaller());
}

TEST_F(DiscPrograms, SetupCancelledOrWithoutItsDiscInstallsNothing)
{
    Start("R:\\Setup.exe");
    HWND dialog = proc::WaitAnyDialog(SETUP_CAPTION, IDC_SETUP_DIR, Timeout);
    ASSERT_NE(dialog, (HWND)NULL);
    EXPECT_EQ(proc::ItemText(dialog, IDC_SETUP_DIR), DEFAULT_INSTALL_DIR);
    proc::Press(dialog, IDCANCEL);
    EXPECT_EQ(ExitCode(), 2u);
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, PRODUCT_KEY));
    EXPECT_FALSE(Exists(DEFAULT_INSTALL_DIR));

    /* A Setup.exe away from the disc finds no game folder beside it. */
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    std::string lone = std::string(temp) + "KVLSetupSeul.exe";
    ASSERT_TRUE(CopyFileA("R:\\Setup.exe", lone.c_str(), FALSE));
    EXPECT_EQ(Run("\"" + lone + "\" /S"), 1u);
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, PRODUCT_KEY));
    DeleteFileA(lone.c_str());
}

TEST_F(DiscPrograms, GameShowsTheStoredSettingsAndCompletesLevels)
{
    InstallSilently();
    SetValue("Device", 1);
    SetValue("Mode", 3);
    SetValue("Width", 800);
    SetValue("Height", 600);
    SetString(HKEY_LOCAL_MACHINE, PRODUCT_KEY, "DDName", "display");
    SetValue("bHard", 1);
    SetValue("Transparency", 1);
    SetValue("Level", 5);

    Start("\"C:\\Program Files\\KVL\\KVL.EXE\"");
    HWND game = proc::WaitAnyDialog(GAME_CAPTION, IDC_GAME_NEXT, Timeout);
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
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, PRODUCT_KEY, "Level"), "dword:7");
    EXPECT_NE(proc::ItemText(game, IDC_GAME_LEVELS).find("7 sur 7"), std::string::npos);
    proc::Press(game, IDCANCEL);
    EXPECT_EQ(ExitCode(), 0u);

    /* A value outside 0..7 counts as no level completed. */
    SetValue("Level", 0xFFFF);
    Start("\"C:\\Program Files\\KVL\\KVL.EXE\"");
    game = proc::WaitAnyDialog(GAME_CAPTION, IDC_GAME_NEXT, Timeout);
    ASSERT_NE(game, (HWND)NULL);
    EXPECT_NE(proc::ItemText(game, IDC_GAME_LEVELS).find("0 sur 7"), std::string::npos);
    proc::Press(game, IDC_GAME_NEXT);
    for (int i = 0; i < 50 && Value(HKEY_LOCAL_MACHINE, PRODUCT_KEY, "Level") != "dword:1"; i++)
        Sleep(100);
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, PRODUCT_KEY, "Level"), "dword:1");
    proc::Press(game, IDCANCEL);
    EXPECT_EQ(ExitCode(), 0u);
}

TEST_F(DiscPrograms, GameWithoutInstallationSaysSo)
{
    Start("R:\\KVL\\KVL.EXE");
    HWND box = proc::WaitAnyDialog(GAME_CAPTION, IDOK, Timeout);
    ASSERT_NE(box, (HWND)NULL);
    EXPECT_FALSE(GetDlgItem(box, IDC_GAME_NEXT));
    proc::Press(box, IDOK);
    EXPECT_EQ(ExitCode(), 1u);
}

TEST_F(DiscPrograms, UninstallerAsksFirst)
{
    InstallSilently();
    std::string dir = DEFAULT_INSTALL_DIR, uninstaller = Uninstaller();
    Start(uninstaller);
    HWND question = proc::WaitAnyDialog(UNINSTALL_CAPTION, IDNO, Timeout);
    ASSERT_NE(question, (HWND)NULL);
    proc::Press(question, IDNO);
    EXPECT_EQ(ExitCode(), 2u);
    EXPECT_TRUE(RegistryKeyExists(HKEY_LOCAL_MACHINE, PRODUCT_KEY));
    EXPECT_TRUE(Exists(dir + "\\KVL.EXE"));

    Start(uninstaller);
    question = proc::WaitAnyDialog(UNINSTALL_CAPTION, IDYES, Timeout);
    ASSERT_NE(question, (HWND)NULL);
    proc::Press(question, IDYES);
    HWND done = proc::WaitAnyDialog(UNINSTALL_CAPTION, IDOK, Timeout, question);
    ASSERT_NE(done, (HWND)NULL);
    EXPECT_EQ(proc::ItemText(done, MessageBoxTextId), "K.V.L a \xe9t\xe9 d\xe9sinstall\xe9.");
    EXPECT_FALSE(Exists(dir));
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, PRODUCT_KEY));
    proc::Press(done, IDOK);
    EXPECT_EQ(ExitCode(), 0u);
}

TEST_F(DiscPrograms, WithoutTheRightsToDeleteItsRecordTheUninstallerDeletesNothing)
{
    InstallSilently();
    const std::string dir = DEFAULT_INSTALL_DIR;
    /* As for a user who may read the record but not delete it. */
    HANDLE held = CreateFileA(Record().c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    Start(Uninstaller());
    HWND refusal = proc::WaitAnyDialog(UNINSTALL_CAPTION, IDOK, Timeout);
    ASSERT_NE(refusal, (HWND)NULL);
    EXPECT_FALSE(GetDlgItem(refusal, IDYES)) << "asked before it knew it could not";
    EXPECT_NE(proc::ItemText(refusal, MessageBoxTextId).find("droits d'administrateur"), std::string::npos)
        << proc::ItemText(refusal, MessageBoxTextId);
    proc::Press(refusal, IDOK);
    EXPECT_EQ(ExitCode(), 1u);
    EXPECT_EQ(Run(Uninstaller() + " /S"), 1u);
    CloseHandle(held);
    EXPECT_TRUE(Exists(dir + "\\KVL.EXE"));
    EXPECT_TRUE(Exists(Record()));
    EXPECT_TRUE(RegistryKeyExists(HKEY_LOCAL_MACHINE, PRODUCT_KEY));
    EXPECT_TRUE(RegistryKeyExists(HKEY_LOCAL_MACHINE, UNINSTALL_KEY));
}

TEST_F(DiscPrograms, WhatCouldNotBeRemovedIsNamedNeverReportedAsDone)
{
    InstallSilently();
    /* A file of the game in use: it and the registration stay, to run the
     * uninstallation again. */
    const std::string game = std::string(DEFAULT_INSTALL_DIR) + "\\KVL.EXE";
    HANDLE inUse = CreateFileA(game.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(inUse, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Run(Uninstaller() + " /S"), 1u);
    CloseHandle(inUse);
    EXPECT_TRUE(Exists(game));
    EXPECT_FALSE(Exists(std::string(DEFAULT_INSTALL_DIR) + "\\ReadMe.txt"));
    EXPECT_TRUE(RegistryKeyExists(HKEY_LOCAL_MACHINE, PRODUCT_KEY));
    EXPECT_TRUE(RegistryKeyExists(HKEY_LOCAL_MACHINE, UNINSTALL_KEY));
    EXPECT_TRUE(Exists(Record()));
    /* A key below the product key: the product key cannot go. */
    SetString(HKEY_LOCAL_MACHINE, PRODUCT_KEY "\\Autre", "Nom", "valeur");
    const std::string pending = PendingRenames();
    Start(Uninstaller());
    HWND question = proc::WaitAnyDialog(UNINSTALL_CAPTION, IDYES, Timeout);
    ASSERT_NE(question, (HWND)NULL);
    proc::Press(question, IDYES);
    HWND done = proc::WaitAnyDialog(UNINSTALL_CAPTION, IDOK, Timeout, question);
    ASSERT_NE(done, (HWND)NULL);
    const std::string text = proc::ItemText(done, MessageBoxTextId);
    EXPECT_EQ(text.find("K.V.L a \xe9t\xe9 d\xe9sinstall\xe9"), std::string::npos) << text;
    EXPECT_NE(text.find("Les cl\xe9s de K.V.L dans le registre n'ont pas pu \xeatre supprim\xe9" "es."), std::string::npos)
        << text;
    proc::Press(done, IDOK);
    EXPECT_EQ(ExitCode(), 1u);
    EXPECT_FALSE(Exists(std::string(DEFAULT_INSTALL_DIR) + "\\KVL.EXE"));
    /* The uninstaller stays, with its record, to be run again. */
    EXPECT_TRUE(Exists(Record()));
    EXPECT_EQ(PendingRenames(), pending);
}

TEST_F(DiscPrograms, SubfoldersAndReadOnlyFilesOfTheDiscInstallAndUninstall)
{
    MakeDisc();
    EXPECT_EQ(Run("\"" + std::string(DiscDir) + "\\Setup.exe\" /S"), 0u);
    const std::string dir = DEFAULT_INSTALL_DIR;
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, PRODUCT_KEY, "CDRoot"), "sz:C:\\Disque KVL\\");
    DWORD attr = GetFileAttributesA((dir + "\\Data\\Niveau1.dat").c_str());
    ASSERT_NE(attr, INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(attr & FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(proc::ReadFileText(dir + "\\Data\\Niveau1.dat"), "niveau");

    EXPECT_EQ(Run(Uninstaller() + " /S"), 0u);
    EXPECT_FALSE(Exists(dir));
}

TEST_F(DiscPrograms, SetupThatFailsMidwayLeavesNothingBehind)
{
    MakeDisc();
    /* A file of the disc that cannot be read. */
    HANDLE held = CreateFileA((std::string(DiscDir) + "\\KVL\\Data\\Niveau1.dat").c_str(), GENERIC_READ, 0, NULL,
                              OPEN_EXISTING, 0, NULL);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Run("\"" + std::string(DiscDir) + "\\Setup.exe\" /S"), 1u);
    CloseHandle(held);
    EXPECT_FALSE(Exists(DEFAULT_INSTALL_DIR));
    EXPECT_TRUE(Exists("C:\\Program Files"));
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, PRODUCT_KEY));
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, UNINSTALL_KEY));
}

TEST_F(DiscPrograms, SilentSetupLeavesAForeignFolderAlone)
{
    const std::string dir = DEFAULT_INSTALL_DIR;
    ASSERT_TRUE(CreateDirectoryA(dir.c_str(), NULL));
    ASSERT_TRUE(WriteText(dir + "\\Lettre.txt", "lettre de Paul"));
    ASSERT_TRUE(WriteText(dir + "\\Install.log", "Lettre.txt\r\n"));
    EXPECT_EQ(Run("R:\\Setup.exe /S"), 1u);
    EXPECT_EQ(proc::ReadFileText(dir + "\\Lettre.txt"), "lettre de Paul");
    EXPECT_EQ(proc::ReadFileText(dir + "\\Install.log"), "Lettre.txt\r\n");
    EXPECT_FALSE(Exists(dir + "\\KVL.EXE"));
    EXPECT_FALSE(Exists(dir + "\\Uninst.exe"));
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, PRODUCT_KEY));
    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, UNINSTALL_KEY));
}

TEST_F(DiscPrograms, AnUninstallerCopiedElsewhereDeletesNothing)
{
    InstallSilently();
    const std::string dir = DEFAULT_INSTALL_DIR, old = OldDir;
    const char *names[] = { "Uninst.exe", "Install.log", "KVL.EXE", "ReadMe.txt" };
    auto from = [&](const char *name) { return (lstrcmpA(name, "KVL.EXE") && lstrcmpA(name, "ReadMe.txt") ? product : dir) + "\\" + name; };
    ASSERT_TRUE(CreateDirectoryA(OldDir, NULL));
    for (const char *name : names)
        ASSERT_TRUE(CopyFileA(from(name).c_str(), (old + "\\" + name).c_str(), FALSE)) << name;

    EXPECT_EQ(Run("\"" + old + "\\Uninst.exe\" /S"), 1u);
    /* No switch names another folder to work on. */
    EXPECT_EQ(Run("\"" + old + "\\Uninst.exe\" /D=\"" + product + "\" /S"), 1u);
    /* Without /S it says why, before asking anything. */
    Start("\"" + old + "\\Uninst.exe\"");
    HWND refusal = proc::WaitAnyDialog(UNINSTALL_CAPTION, IDOK, Timeout);
    ASSERT_NE(refusal, (HWND)NULL);
    EXPECT_FALSE(GetDlgItem(refusal, IDYES));
    proc::Press(refusal, IDOK);
    EXPECT_EQ(ExitCode(), 1u);

    for (const char *name : names) {
        EXPECT_TRUE(Exists(old + "\\" + name)) << name;
        EXPECT_TRUE(Exists(from(name))) << name;
    }
    EXPECT_EQ(Value(HKEY_LOCAL_MACHINE, PRODUCT_KEY, "ExeDir"), "sz:C:\\Program Files\\KVL");
    EXPECT_TRUE(RegistryKeyExists(HKEY_LOCAL_MACHINE, UNINSTALL_KEY));
}

TEST_F(DiscPrograms, UninstallFollowsNoLinkPlantedInTheFolder)
{
    InstallSilently();
    const std::string dir = DEFAULT_INSTALL_DIR, secret = std::string(OutsideDir) + "\\secret.txt";
    ASSERT_TRUE(CreateDirectoryA(OutsideDir, NULL));
    ASSERT_TRUE(WriteText(secret, "secret"));
    ASSERT_TRUE(PlantLink(dir + "\\Data", OutsideDir));
    /* Listed as an older Setup wrote it, and with the file's own record. */
    ASSERT_TRUE(WriteText(Record(), "Data\\\r\nData\\secret.txt\r\n" + LogLine("Data\\secret.txt", "secret"), true));

    EXPECT_EQ(Run(Uninstaller() + " /S"), 0u);
    EXPECT_TRUE(Unregistered());
    EXPECT_FALSE(Exists(dir + "\\KVL.EXE"));
    EXPECT_EQ(proc::ReadFileText(secret), "secret");
    EXPECT_TRUE(IsLink(dir + "\\Data"));
}

TEST_F(DiscPrograms, UninstallRefusesAnInstallFolderReplacedByALink)
{
    InstallSilently();
    const std::string dir = DEFAULT_INSTALL_DIR;
    ASSERT_TRUE(MoveFileA(dir.c_str(), MovedDir));
    ASSERT_TRUE(PlantLink(dir, MovedDir));
    EXPECT_EQ(Run(Uninstaller() + " /S"), 1u);
    EXPECT_TRUE(Exists(std::string(MovedDir) + "\\KVL.EXE"));
    EXPECT_TRUE(Exists(Record()));
    EXPECT_TRUE(RegistryKeyExists(HKEY_LOCAL_MACHINE, PRODUCT_KEY));
}

TEST_F(DiscPrograms, UninstallRefusesACutOrOversizedLog)
{
    InstallSilently();
    const std::string dir = DEFAULT_INSTALL_DIR, log = Record();
    const std::string whole = proc::ReadFileText(log);
    ASSERT_GT(whole.size(), 8u);
    const std::string cut = whole.substr(0, whole.size() - 5);
    const std::string oversized = whole + std::string(INSTALL_LOG_MAX, ' ') + "\r\n";
    for (const std::string &text : { cut, oversized }) {
        ASSERT_TRUE(WriteText(log, text));
        EXPECT_EQ(Run(Uninstaller() + " /S"), 1u) << text.size();
        EXPECT_TRUE(Exists(dir + "\\KVL.EXE"));
        EXPECT_TRUE(RegistryKeyExists(HKEY_LOCAL_MACHINE, PRODUCT_KEY));
    }
}
