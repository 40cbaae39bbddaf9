#include <gtest/gtest.h>

#include <string.h>
#include <string>

#include "launcher/cmdline.h"

namespace {

struct Folder {
    int hasBackslash;
    std::string text;
};

Folder FolderOf(const char *commandLine, size_t cap = 260)
{
    char buffer[300];
    memset(buffer, 'X', sizeof buffer);
    int result = ProgramFolderFromCommandLine(commandLine, buffer, cap);
    return { result, std::string(buffer) };
}

}

TEST(ProgramFolder, QuotedPathKeepsItsBlanksAndDropsTheArguments)
{
    Folder f = FolderOf("\"C:\\Program Files\\K V L\\Launcher.exe\" /play now");
    EXPECT_EQ(f.hasBackslash, 1);
    EXPECT_EQ(f.text, "C:\\Program Files\\K V L");

    /* No closing quote: the rest of the line is the path. */
    f = FolderOf("\"D:\\Launcher Dir\\Launcher.exe");
    EXPECT_EQ(f.hasBackslash, 1);
    EXPECT_EQ(f.text, "D:\\Launcher Dir");

    /* Quoted bare name. */
    f = FolderOf("\"Launcher.exe\" x\\y");
    EXPECT_EQ(f.hasBackslash, 0);
    EXPECT_EQ(f.text, "Launcher.exe");
}

TEST(ProgramFolder, UnquotedPathEndsAtTheFirstBlank)
{
    Folder f = FolderOf("R:\\Launcher\\Launcher.exe arg\\with\\backslashes");
    EXPECT_EQ(f.hasBackslash, 1);
    EXPECT_EQ(f.text, "R:\\Launcher");

    /* A blank inside an unquoted path cuts it there. */
    f = FolderOf("C:\\Program Files\\Launcher.exe");
    EXPECT_EQ(f.hasBackslash, 1);
    EXPECT_EQ(f.text, "C:");
    f = FolderOf("Program Files\\Launcher.exe");
    EXPECT_EQ(f.hasBackslash, 0);
    EXPECT_EQ(f.text, "Program");

    f = FolderOf("R:\\Launcher.exe");
    EXPECT_EQ(f.hasBackslash, 1);
    EXPECT_EQ(f.text, "R:");

    /* A path at the root of a relative form: the folder is empty. */
    f = FolderOf("\\Launcher.exe");
    EXPECT_EQ(f.hasBackslash, 1);
    EXPECT_EQ(f.text, "");
}

TEST(ProgramFolder, BareNameHasNoFolder)
{
    Folder f = FolderOf("Launcher.exe");
    EXPECT_EQ(f.hasBackslash, 0);
    EXPECT_EQ(f.text, "Launcher.exe");

    f = FolderOf("Launcher");
    EXPECT_EQ(f.hasBackslash, 0);
    EXPECT_EQ(f.text, "Launcher");

    f = FolderOf("");
    EXPECT_EQ(f.hasBackslash, 0);
    EXPECT_EQ(f.text, "");

    f = FolderOf("\"\" arg");
    EXPECT_EQ(f.hasBackslash, 0);
    EXPECT_EQ(f.text, "");

    f = FolderOf(" Launcher.exe");
    EXPECT_EQ(f.hasBackslash, 0);
    EXPECT_EQ(f.text, "");

    f = FolderOf(nullptr);
    EXPECT_EQ(f.hasBackslash, 0);
    EXPECT_EQ(f.text, "");
}

TEST(ProgramPath, IsTheWholePathUncut)
{
    char path[260];
    EXPECT_EQ(ProgramPathFromCommandLine("\"R:\\A B\\Launcher.exe\" -x", path, sizeof path), 19u);
    EXPECT_STREQ(path, "R:\\A B\\Launcher.exe");
    EXPECT_EQ(ProgramPathFromCommandLine("R:\\Launcher\\Launcher.exe", path, sizeof path), 24u);
    EXPECT_STREQ(path, "R:\\Launcher\\Launcher.exe");
}

TEST(ProgramPath, OverlongPathsAreTruncatedTo259Characters)
{
    /* A folder name of 300 characters: the copy stops at 259 and is
     * terminated, whatever the capacity given beyond 260. */
    std::string longFolder = "C:\\" + std::string(300, 'a');
    std::string line = "\"" + longFolder + "\\Launcher.exe\" arg";
    char path[400];
    memset(path, 'X', sizeof path);
    EXPECT_EQ(ProgramPathFromCommandLine(line.c_str(), path, sizeof path), 259u);
    EXPECT_EQ(strlen(path), 259u);
    EXPECT_EQ(std::string(path), longFolder.substr(0, 259));
    EXPECT_EQ(path[260], 'X');

    /* Unquoted, same bound. */
    memset(path, 'X', sizeof path);
    EXPECT_EQ(ProgramPathFromCommandLine(longFolder.c_str(), path, sizeof path), 259u);
    EXPECT_EQ(path[260], 'X');

    /* The cut uses the last backslash of what was kept. */
    std::string twoLevels = "C:\\short\\" + std::string(300, 'b') + "\\Launcher.exe";
    Folder f = FolderOf(twoLevels.c_str(), 300);
    EXPECT_EQ(f.hasBackslash, 1);
    EXPECT_EQ(f.text, "C:\\short");

    /* A path of exactly 259 characters is kept whole. */
    std::string exact = "C:\\" + std::string(243, 'c') + "\\Launcher.exe";
    ASSERT_EQ(exact.size(), 259u);
    EXPECT_EQ(ProgramPathFromCommandLine(exact.c_str(), path, 260), 259u);
    EXPECT_EQ(std::string(path), exact);
}

TEST(ProgramPath, NeverWritesPastASmallBuffer)
{
    char guard[16];
    memset(guard, 'X', sizeof guard);
    EXPECT_EQ(ProgramPathFromCommandLine("R:\\Launcher\\Launcher.exe", guard, 8), 7u);
    EXPECT_STREQ(guard, "R:\\Laun");
    EXPECT_EQ(guard[8], 'X');

    memset(guard, 'X', sizeof guard);
    EXPECT_EQ(ProgramPathFromCommandLine("R:\\Launcher.exe", guard, 1), 0u);
    EXPECT_EQ(guard[0], '\0');
    EXPECT_EQ(guard[1], 'X');

    guard[0] = 'Y';
    EXPECT_EQ(ProgramPathFromCommandLine("R:\\Launcher.exe", guard, 0), 0u);
    EXPECT_EQ(guard[0], 'Y');
    EXPECT_EQ(ProgramFolderFromCommandLine("R:\\Launcher.exe", guard, 0), 0);
    EXPECT_EQ(guard[0], 'Y');

    /* Truncated before the backslash: no folder. */
    memset(guard, 'X', sizeof guard);
    EXPECT_EQ(ProgramFolderFromCommandLine("Launcher\\Launcher.exe", guard, 5), 0);
    EXPECT_STREQ(guard, "Laun");
}
