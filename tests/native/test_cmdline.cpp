#include <gtest/gtest.h>

#include <string.h>
#include <string>

#include "launcher/cmdline.h"

TEST(ProgramFolder, FromQuotedUnquotedAndBareProgramPaths)
{
    struct Case { const char *line; int hasBackslash; const char *folder; };
    const Case cases[] = {
        /* Quoted: blanks belong to the path; arguments are dropped. */
        { "\"C:\\Program Files\\K V L\\Launcher.exe\" /play \"a\\b\"", 1, "C:\\Program Files\\K V L" },
        { "\"D:\\Launcher Dir\\Launcher.exe", 1, "D:\\Launcher Dir" },     /* no closing quote */
        { "\"Launcher.exe\" x\\y", 0, "Launcher.exe" },
        { "\"\" arg", 0, "" },
        /* Unquoted: the path ends at the first blank. */
        { "R:\\Launcher\\Launcher.exe arg\\with\\backslashes", 1, "R:\\Launcher" },
        { "C:\\Program Files\\Launcher.exe", 1, "C:" },
        { "Program Files\\Launcher.exe", 0, "Program" },
        { "\\Launcher.exe", 1, "" },
        { " Launcher.exe", 0, "" },
        /* Bare names. */
        { "Launcher.exe", 0, "Launcher.exe" },
        { "", 0, "" },
        { nullptr, 0, "" },
    };
    for (const Case &c : cases) {
        char folder[300];
        memset(folder, 'X', sizeof folder);
        EXPECT_EQ(ProgramFolderFromCommandLine(c.line, folder, 260), c.hasBackslash) << (c.line ? c.line : "(null)");
        EXPECT_STREQ(folder, c.folder) << (c.line ? c.line : "(null)");
    }
}

TEST(ProgramPath, OverlongPathsAreTruncatedTo259Characters)
{
    char path[400];
    std::string longFolder = "C:\\" + std::string(300, 'a');
    const std::string lines[] = { "\"" + longFolder + "\\Launcher.exe\" arg", longFolder };
    for (const std::string &line : lines) {
        memset(path, 'X', sizeof path);
        /* Whatever the capacity beyond 260, the copy stops at 259. */
        EXPECT_EQ(ProgramPathFromCommandLine(line.c_str(), path, sizeof path), 259u);
        EXPECT_EQ(std::string(path), longFolder.substr(0, 259));
        EXPECT_EQ(path[260], 'X');
    }

    /* A path of exactly 259 characters is kept whole. */
    std::string exact = "C:\\" + std::string(243, 'c') + "\\Launcher.exe";
    EXPECT_EQ(ProgramPathFromCommandLine(exact.c_str(), path, 260), 259u);
    EXPECT_EQ(std::string(path), exact);

    /* The folder is cut at the last backslash of what was kept. */
    std::string twoLevels = "C:\\short\\" + std::string(300, 'b') + "\\Launcher.exe";
    EXPECT_EQ(ProgramFolderFromCommandLine(twoLevels.c_str(), path, sizeof path), 1);
    EXPECT_STREQ(path, "C:\\short");
}

TEST(ProgramPath, NeverWritesPastASmallBuffer)
{
    char guard[16];
    memset(guard, 'X', sizeof guard);
    EXPECT_EQ(ProgramPathFromCommandLine("\"R:\\A B\\Launcher.exe\" -x", guard, 8), 7u);
    EXPECT_STREQ(guard, "R:\\A B\\");
    EXPECT_EQ(guard[8], 'X');

    memset(guard, 'X', sizeof guard);
    EXPECT_EQ(ProgramPathFromCommandLine("R:\\Launcher.exe", guard, 1), 0u);
    EXPECT_EQ(guard[0], '\0');
    EXPECT_EQ(guard[1], 'X');

    guard[0] = 'Y';
    EXPECT_EQ(ProgramPathFromCommandLine("R:\\Launcher.exe", guard, 0), 0u);
    EXPECT_EQ(ProgramFolderFromCommandLine("R:\\Launcher.exe", guard, 0), 0);
    EXPECT_EQ(guard[0], 'Y');

    /* Truncated before the backslash: no folder. */
    EXPECT_EQ(ProgramFolderFromCommandLine("Launcher\\Launcher.exe", guard, 5), 0);
    EXPECT_STREQ(guard, "Laun");
}
