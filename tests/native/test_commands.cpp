#include <gtest/gtest.h>

#include <string.h>
#include <string>
#include <vector>

#include "launcher/commands.h"

namespace {

/* A command buffer of COMMAND_LINE_SIZE followed by guard bytes that no
 * builder may touch. */
struct Guarded {
    std::vector<char> bytes = std::vector<char>(COMMAND_LINE_SIZE + 64, '#');
    char *line() { return bytes.data(); }
    bool GuardIntact() const
    {
        for (size_t i = COMMAND_LINE_SIZE; i < bytes.size(); i++)
            if (bytes[i] != '#')
                return false;
        return true;
    }
};

std::string Folder(size_t length)
{
    std::string dir = "C:\\Program Files\\";
    while (dir.size() < length)
        dir += 'k';
    return dir.substr(0, length);
}

}

TEST(CommandLines, AreExactWithTheGameAndReadMePathsQuoted)
{
    char line[COMMAND_LINE_SIZE];
    ASSERT_EQ(BuildGameCommand("C:\\Program Files\\KVL", line, sizeof line), 1);
    EXPECT_STREQ(line, "\"C:\\Program Files\\KVL\\KVL.EXE\"");
    /* Notepad by its full path in the Windows folder, never a bare name. */
    ASSERT_EQ(BuildReadMeCommand(1, "C:\\Program Files\\KVL", "C:\\WINDOWS", line, sizeof line), 1);
    EXPECT_STREQ(line, "\"C:\\WINDOWS\\Notepad.exe\" \"C:\\Program Files\\KVL\\ReadMe.txt\"");
    ASSERT_EQ(BuildReadMeCommand(0, "C:\\Program Files\\KVL", "C:\\WINDOWS", line, sizeof line), 1);
    EXPECT_STREQ(line, "\"C:\\WINDOWS\\Notepad.exe\" \"KVL\\ReadMe.txt\"");
    ASSERT_EQ(BuildReadMeCommand(0, "", "", line, sizeof line), 0);
    ASSERT_EQ(BuildSetupCommand(line, sizeof line), 1);
    EXPECT_STREQ(line, "Setup.exe");
}

TEST(CommandLines, UninstallStringIsPassedExactlyAsRegistered)
{
    const char *const registered[] = {
        "C:\\Program Files\\KVL\\Uninstall.exe",            /* unquoted, with a blank */
        "\"C:\\Program Files\\KVL\\Uninstall.exe\" /log",  /* already quoted, with options */
        "",                                               /* empty: WinExec reports it */
    };
    for (const char *s : registered) {
        char line[COMMAND_LINE_SIZE];
        memset(line, 'x', sizeof line);
        ASSERT_EQ(BuildUninstallCommand(s, line, sizeof line), 1) << s;
        EXPECT_STREQ(line, s);
    }
}

TEST(CommandLines, GameLineFillsTheBufferExactlyAndRefusesOneMore)
{
    /* Two quotes and "\KVL.EXE" around the folder: 10 characters, plus the
     * NUL. A 249-character folder gives 259 characters and fits. */
    Guarded fits;
    ASSERT_EQ(BuildGameCommand(Folder(249).c_str(), fits.line(), COMMAND_LINE_SIZE), 1);
    EXPECT_EQ(strlen(fits.line()), 259u);
    EXPECT_EQ(std::string(fits.line()), "\"" + Folder(249) + "\\KVL.EXE\"");
    EXPECT_TRUE(fits.GuardIntact());

    Guarded over;
    EXPECT_EQ(BuildGameCommand(Folder(250).c_str(), over.line(), COMMAND_LINE_SIZE), 0);
    EXPECT_STREQ(over.line(), "");
    EXPECT_TRUE(over.GuardIntact());

    Guarded far;
    EXPECT_EQ(BuildGameCommand(Folder(1000).c_str(), far.line(), COMMAND_LINE_SIZE), 0);
    EXPECT_TRUE(far.GuardIntact());
}

TEST(CommandLines, InstalledReadMeLineCountsItsQuotes)
{
    /* "\"C:\\WINDOWS\\Notepad.exe\" \"" and "\\ReadMe.txt\"": 38 characters
     * around the folder. */
    Guarded fits;
    ASSERT_EQ(BuildReadMeCommand(1, Folder(221).c_str(), "C:\\WINDOWS", fits.line(), COMMAND_LINE_SIZE), 1);
    EXPECT_EQ(strlen(fits.line()), 259u);
    EXPECT_EQ(fits.line()[258], '"');
    EXPECT_TRUE(fits.GuardIntact());

    Guarded over;
    EXPECT_EQ(BuildReadMeCommand(1, Folder(222).c_str(), "C:\\WINDOWS", over.line(), COMMAND_LINE_SIZE), 0);
    EXPECT_STREQ(over.line(), "");
    EXPECT_TRUE(over.GuardIntact());

    /* Before installation the folder plays no part, however long. */
    Guarded notInstalled;
    ASSERT_EQ(BuildReadMeCommand(0, Folder(1000).c_str(), "C:\\WINDOWS", notInstalled.line(), COMMAND_LINE_SIZE), 1);
    EXPECT_STREQ(notInstalled.line(), "\"C:\\WINDOWS\\Notepad.exe\" \"KVL\\ReadMe.txt\"");
}

TEST(CommandLines, UninstallLineFillsTheBufferExactlyAndRefusesOneMore)
{
    std::string exact(259, 'u');
    Guarded fits;
    ASSERT_EQ(BuildUninstallCommand(exact.c_str(), fits.line(), COMMAND_LINE_SIZE), 1);
    EXPECT_EQ(std::string(fits.line()), exact);
    EXPECT_TRUE(fits.GuardIntact());

    std::string one(260, 'u');
    Guarded over;
    EXPECT_EQ(BuildUninstallCommand(one.c_str(), over.line(), COMMAND_LINE_SIZE), 0);
    EXPECT_STREQ(over.line(), "");
    EXPECT_TRUE(over.GuardIntact());
}

TEST(CommandLines, TinyOrMissingBuffersAreRefusedWithoutWriting)
{
    char one[1] = { '#' };
    EXPECT_EQ(BuildSetupCommand(one, 0), 0);
    EXPECT_EQ(one[0], '#');
    EXPECT_EQ(BuildSetupCommand(nullptr, COMMAND_LINE_SIZE), 0);
    EXPECT_EQ(BuildSetupCommand(one, 1), 0);
    EXPECT_EQ(one[0], '\0');

    char ten[10];
    EXPECT_EQ(BuildSetupCommand(ten, sizeof ten), 1);
    EXPECT_EQ(BuildSetupCommand(ten, 9), 0); /* "Setup.exe" is 9 characters */
    EXPECT_EQ(BuildUninstallCommand("", one, 1), 1);
    EXPECT_STREQ(one, "");

    /* A missing folder counts as empty. */
    char line[COMMAND_LINE_SIZE];
    ASSERT_EQ(BuildGameCommand(nullptr, line, sizeof line), 1);
    EXPECT_STREQ(line, "\"\\KVL.EXE\"");
}
