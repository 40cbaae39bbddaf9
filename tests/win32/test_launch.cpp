/* Starting the game, the installer, the uninstaller and Notepad: failures
 * show their own message once; successes really start a program. The
 * program started is a copy of this test under the expected name: it notes
 * its command line and current directory next to itself and exits at once. */
#include <windows.h>
#include <gtest/gtest.h>

#include <string.h>
#include <string>

#include "common/settings.h"
#include "launcher/launch.h"
#include "resources/resource.h"
#include "tests/win32/guitest.h"
#include "tests/harness/procwin.h"

namespace {

const char *const ErrorCaption = "KVL - Erreur";
const char *const NoteName = "started.txt";

std::string OwnPath()
{
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(NULL, path, sizeof path);
    return std::string(path, n < sizeof path ? n : 0);
}

std::string FolderOf(const std::string &path)
{
    size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

/* A copy of this program started under another name does nothing but note
 * how it was started. */
int NoteStartIfCopy()
{
    std::string self = OwnPath();
    std::string name = self.substr(self.find_last_of('\\') + 1);
    if (lstrcmpiA(name.c_str(), "win32_test_launch.exe") == 0)
        return 0;
    char cwd[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof cwd, cwd);
    std::string note = std::string(GetCommandLineA()) + "\n" + cwd + "\n";
    HANDLE f = CreateFileA((FolderOf(self) + "\\" + NoteName).c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, NULL);
    if (f != INVALID_HANDLE_VALUE) {
        DWORD written;
        WriteFile(f, note.data(), (DWORD)note.size(), &written, NULL);
        CloseHandle(f);
    }
    ExitProcess(0);
    return 1;
}

const int CopyNoted = NoteStartIfCopy();

/* A folder with a blank in its name, as installations under "Program
 * Files" have. */
std::string Scratch()
{
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    return std::string(temp) + "kvl launch test";
}

void RemoveScratch()
{
    const char *const files[] = { "KVL.EXE", "Setup.exe", "Uninstall.exe", "Notepad.exe", "started.txt" };
    for (const char *f : files)
        DeleteFileA((Scratch() + "\\" + f).c_str());
    RemoveDirectoryA(Scratch().c_str());
}

/* Reads the note the started copy leaves, waiting for it a while. */
std::string WaitForNote()
{
    std::string path = Scratch() + "\\" + NoteName;
    for (int i = 0; i < 200; i++) {
        HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
        if (f != INVALID_HANDLE_VALUE) {
            char buf[1024];
            DWORD got = 0;
            ReadFile(f, buf, sizeof buf, &got, NULL);
            CloseHandle(f);
            if (got > 0 && buf[got - 1] == '\n')
                return std::string(buf, got);
        }
        Sleep(50);
    }
    return std::string();
}

class Launch : public ::testing::Test {
protected:
    char savedDir[MAX_PATH];

    void SetUp() override
    {
        (void)CopyNoted;
        memset(&Settings, 0, sizeof Settings);
        GetCurrentDirectoryA(sizeof savedDir, savedDir);
        RemoveScratch();
        CreateDirectoryA(Scratch().c_str(), NULL);
    }
    void TearDown() override
    {
        SetCurrentDirectoryA(savedDir);
        RemoveScratch();
    }
    void PlaceCopy(const char *name)
    {
        ASSERT_TRUE(CopyFileA(OwnPath().c_str(), (Scratch() + "\\" + name).c_str(), FALSE));
    }
};

/* Runs an operation that must fail: its error dialog must show the
 * message once (a second one would be left open until the timeout). */
int RunFailing(int (*operation)(void), const char *message)
{
    std::string *seen = new std::string;
    gui::OnDialog(ErrorCaption, [seen](HWND d) {
        *seen = gui::ItemText(d, IDC_MSG_TEXT);
        gui::Press(d, IDC_MSG_BUTTON);
    });
    gui::Start(5000);
    int result = operation();
    EXPECT_TRUE(gui::Finish()) << message;
    EXPECT_EQ(*seen, message);
    delete seen;
    return result;
}

/* Runs an operation that must succeed without any error dialog. */
int RunSucceeding(int (*operation)(void))
{
    bool *errorShown = new bool(false);
    gui::OnDialog(ErrorCaption, [errorShown](HWND d) {
        *errorShown = true;
        gui::Press(d, IDC_MSG_BUTTON);
    });
    gui::Start(5000);
    int result = operation();
    gui::Finish();
    EXPECT_FALSE(*errorShown);
    delete errorShown;
    return result;
}

std::string LongFolder(size_t length)
{
    std::string dir = "C:\\";
    dir.append(length - dir.size(), 'k');
    return dir;
}

bool SetupFoundBySearch()
{
    char found[MAX_PATH];
    return SearchPathA(NULL, "Setup.exe", NULL, sizeof found, found, NULL) != 0;
}

}

TEST_F(Launch, GameThatIsNotThereShowsItsMessage)
{
    strcpy(Settings.ExeDir, "C:\\no such folder\\KVL");
    Settings.Installed = 1;
    EXPECT_EQ(RunFailing(LaunchGame, "Impossible de lancer KVL."), 0);
}

TEST_F(Launch, FoldersTooLongForTheCommandLineAreRefused)
{
    Settings.Installed = 1;
    /* The quoted game line is the folder plus 10 characters. */
    strcpy(Settings.ExeDir, LongFolder(250).c_str());
    EXPECT_EQ(RunFailing(LaunchGame, "Impossible de lancer KVL."), 0);
    /* The read-me line is the folder plus Notepad's quoted path and 14
     * characters. */
    strcpy(Settings.ExeDir, LongFolder(235).c_str());
    EXPECT_EQ(RunFailing(OpenReadMe, "Impossible de lancer Notepad.exe."), 0);
    strcpy(Settings.ExeDir, LongFolder(259).c_str());
    EXPECT_EQ(RunFailing(OpenReadMe, "Impossible de lancer Notepad.exe."), 0);
}

TEST_F(Launch, InstallFolderHoldingAQuoteIsRefused)
{
    /* Were the lines built, these copies would start, the rest of the
     * setting passed to them as arguments. */
    PlaceCopy("KVL.EXE");
    PlaceCopy("Notepad.exe");
    SetCurrentDirectoryA(Scratch().c_str());
    Settings.Installed = 1;
    strcpy(Settings.ExeDir, (Scratch() + "\\KVL.EXE\" \"planted").c_str());
    EXPECT_EQ(RunFailing(LaunchGame, "Impossible de lancer KVL."), 0);
    EXPECT_EQ(RunFailing(OpenReadMe, "Impossible de lancer Notepad.exe."), 0);
}

TEST_F(Launch, UninstallerThatIsNotThereOrEmptyShowsItsMessage)
{
    Settings.Installed = 1;
    Settings.UninstallAvailable = 1;
    strcpy(Settings.UninstallString, "C:\\no such folder\\Uninstall.exe /S");
    EXPECT_EQ(RunFailing(LaunchUninstaller, "Impossible de lancer uninstaller."), 0);
    Settings.UninstallString[0] = '\0';
    EXPECT_EQ(RunFailing(LaunchUninstaller, "Impossible de lancer uninstaller."), 0);
}

/* The build puts the disc's Setup.exe next to the test programs, where the
 * program search looks first; the Setup cases then run in a copy of this
 * program in a folder of its own (see SetupCasesRunAwayFromTheBuildFolder). */
static bool SetupNextToThisProgram()
{
    std::string own = FolderOf(OwnPath()) + "\\Setup.exe";
    return GetFileAttributesA(own.c_str()) != INVALID_FILE_ATTRIBUTES;
}

TEST_F(Launch, SetupThatCannotBeFoundShowsItsMessage)
{
    if (SetupNextToThisProgram())
        GTEST_SKIP() << "run by the copy away from the build folder";
    SetCurrentDirectoryA(Scratch().c_str());
    if (SetupFoundBySearch())
        GTEST_SKIP() << "a Setup.exe lies on the program search path";
    EXPECT_EQ(RunFailing(LaunchSetup, "Impossible de lancer Setup.exe."), 0);
}

TEST_F(Launch, GameStartsFromAnInstallFolderWithABlank)
{
    PlaceCopy("KVL.EXE");
    strcpy(Settings.ExeDir, Scratch().c_str());
    Settings.Installed = 1;
    SetCurrentDirectoryA(savedDir);
    EXPECT_EQ(RunSucceeding(LaunchGame), 1);
    std::string note = WaitForNote();
    EXPECT_EQ(note, "\"" + Scratch() + "\\KVL.EXE\"\n" + savedDir + "\n");
}

TEST_F(Launch, UninstallerStartsWithItsRegisteredCommandLine)
{
    PlaceCopy("Uninstall.exe");
    std::string registered = "\"" + Scratch() + "\\Uninstall.exe\" /S";
    strcpy(Settings.UninstallString, registered.c_str());
    Settings.UninstallAvailable = 1;
    Settings.Installed = 1;
    EXPECT_EQ(RunSucceeding(LaunchUninstaller), 1);
    std::string note = WaitForNote();
    EXPECT_EQ(note.substr(0, note.find('\n')), registered);
}

TEST_F(Launch, SetupStartsFromTheCurrentDirectory)
{
    if (SetupNextToThisProgram())
        GTEST_SKIP() << "run by the copy away from the build folder";
    SetCurrentDirectoryA(Scratch().c_str());
    PlaceCopy("Setup.exe");
    EXPECT_EQ(RunSucceeding(LaunchSetup), 1);
    std::string note = WaitForNote();
    EXPECT_EQ(note, "Setup.exe\n" + Scratch() + "\n");
}

TEST(LaunchSetup, SetupCasesRunAwayFromTheBuildFolder)
{
    if (!SetupNextToThisProgram())
        GTEST_SKIP() << "the Setup cases run in this program itself";
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    std::string folder = std::string(temp) + "kvl launch child";
    std::string copy = folder + "\\win32_test_launch.exe";
    CreateDirectoryA(folder.c_str(), NULL);
    ASSERT_TRUE(CopyFileA(OwnPath().c_str(), copy.c_str(), FALSE));

    proc::Program child;
    ASSERT_TRUE(proc::Start("\"" + copy + "\" --gtest_filter=Launch.Setup*", "", {}, &child));
    DWORD code = 99;
    EXPECT_TRUE(proc::WaitExit(child, 60000, &code));
    proc::Stop(&child);
    EXPECT_EQ(code, 0u);
    DeleteFileA(copy.c_str());
    RemoveDirectoryA(folder.c_str());
}
