/* The rules of the demo disc's Setup, uninstaller and game stand-in. */
#include <gtest/gtest.h>

#include <string.h>
#include <string>

#include "standins/standin_core.h"

static int Normalise(const char *typed, std::string *out)
{
    char folder[STANDIN_PATH_MAX];
    int rc = NormaliseInstallDir(typed, folder, sizeof folder);
    *out = rc == DIR_OK ? folder : "";
    return rc;
}

TEST(InstallDir, AcceptsFoldersAndTidiesThem)
{
    std::string dir;
    EXPECT_EQ(Normalise(DEFAULT_INSTALL_DIR, &dir), DIR_OK);
    EXPECT_EQ(dir, "C:\\Program Files\\KVL");
    EXPECT_EQ(Normalise("  D:/Jeux/KVL\\\\  ", &dir), DIR_OK);
    EXPECT_EQ(dir, "D:\\Jeux\\KVL");
    EXPECT_EQ(Normalise("\\\\serveur\\jeux\\KVL", &dir), DIR_OK);
    EXPECT_EQ(dir, "\\\\serveur\\jeux\\KVL");
    EXPECT_EQ(Normalise("e:\\a b\\c.d\\KVL 2", &dir), DIR_OK);
    EXPECT_EQ(dir, "e:\\a b\\c.d\\KVL 2");
}

TEST(InstallDir, RefusesWhatTheUninstallerCouldNotSafelyEmpty)
{
    std::string dir;
    EXPECT_EQ(Normalise("", &dir), DIR_EMPTY);
    EXPECT_EQ(Normalise("   \t ", &dir), DIR_EMPTY);
    EXPECT_EQ(Normalise("C:\\", &dir), DIR_IS_ROOT);
    EXPECT_EQ(Normalise("C:", &dir), DIR_IS_ROOT);
    EXPECT_EQ(Normalise("C:\\\\\\", &dir), DIR_IS_ROOT);
    EXPECT_EQ(Normalise("\\\\serveur\\jeux\\", &dir), DIR_IS_ROOT);
    EXPECT_EQ(Normalise("Program Files\\KVL", &dir), DIR_NOT_ABSOLUTE);
    EXPECT_EQ(Normalise("C:KVL", &dir), DIR_NOT_ABSOLUTE);
    EXPECT_EQ(Normalise("\\KVL", &dir), DIR_NOT_ABSOLUTE);
    EXPECT_EQ(Normalise("\\\\serveur", &dir), DIR_NOT_ABSOLUTE);
    EXPECT_EQ(Normalise("C:\\Jeux\\..\\..", &dir), DIR_BAD_NAME);
    EXPECT_EQ(Normalise("C:\\Jeux\\.\\KVL", &dir), DIR_BAD_NAME);
    EXPECT_EQ(Normalise("C:\\Jeux\\\\KVL", &dir), DIR_BAD_NAME);
    EXPECT_EQ(Normalise("C:\\K*L", &dir), DIR_BAD_NAME);
    EXPECT_EQ(Normalise("C:\\KVL\\a:b", &dir), DIR_BAD_NAME);
    EXPECT_EQ(Normalise("C:\\KVL.", &dir), DIR_BAD_NAME);
    EXPECT_EQ(Normalise("C:\\\"KVL\"", &dir), DIR_BAD_NAME);
}

TEST(InstallDir, LengthLimitKeepsTheGameCommandLineShort)
{
    std::string dir;
    std::string longest = "C:\\" + std::string(INSTALL_DIR_MAX - 3, 'k');
    EXPECT_EQ(Normalise(longest.c_str(), &dir), DIR_OK);
    EXPECT_EQ(dir.size(), (size_t)INSTALL_DIR_MAX);
    EXPECT_EQ(Normalise((longest + "k").c_str(), &dir), DIR_TOO_LONG);
    std::string huge = "C:\\" + std::string(5000, 'k');
    EXPECT_EQ(Normalise(huge.c_str(), &dir), DIR_TOO_LONG);
    /* A small output buffer is never overrun. */
    char small[8];
    memset(small, 'x', sizeof small);
    EXPECT_EQ(NormaliseInstallDir("C:\\Program Files", small, sizeof small), DIR_TOO_LONG);
    EXPECT_EQ(small[0], '\0');
}

TEST(Paths, FolderJoinAndQuotedProgram)
{
    char out[STANDIN_PATH_MAX];
    EXPECT_EQ(FolderOfPath("D:\\Setup.exe", out, sizeof out), 1);
    EXPECT_STREQ(out, "D:\\");
    EXPECT_EQ(FolderOfPath("C:\\Disques\\KVL CD\\Setup.exe", out, sizeof out), 1);
    EXPECT_STREQ(out, "C:\\Disques\\KVL CD\\");
    EXPECT_EQ(FolderOfPath("Setup.exe", out, sizeof out), 0);
    EXPECT_EQ(FolderOfPath("D:\\Setup.exe", out, 3), 0);
    EXPECT_STREQ(out, "");

    EXPECT_EQ(JoinPath(out, sizeof out, "D:\\", "KVL"), 1);
    EXPECT_STREQ(out, "D:\\KVL");
    EXPECT_EQ(JoinPath(out, sizeof out, "C:\\Program Files\\KVL", "KVL.EXE"), 1);
    EXPECT_STREQ(out, "C:\\Program Files\\KVL\\KVL.EXE");
    EXPECT_EQ(JoinPath(out, 9, "C:\\KVL", "X"), 1);
    EXPECT_STREQ(out, "C:\\KVL\\X");
    EXPECT_EQ(JoinPath(out, 9, "C:\\KVL", "XY"), 0);
    EXPECT_STREQ(out, "");

    EXPECT_EQ(QuotedProgram(out, sizeof out, "C:\\Program Files\\KVL", UNINSTALLER_NAME), 1);
    EXPECT_STREQ(out, "\"C:\\Program Files\\KVL\\Uninst.exe\"");
    EXPECT_EQ(QuotedProgram(out, 10, "C:\\KVL", "X"), 0);    /* 10 characters and the end */
    EXPECT_EQ(QuotedProgram(out, 11, "C:\\KVL", "X"), 1);
    EXPECT_STREQ(out, "\"C:\\KVL\\X\"");
}

TEST(Switches, SilentFolderAndProcessToWaitFor)
{
    StandinArgs args;
    EXPECT_EQ(ParseStandinArgs("Setup.exe", &args), 1);
    EXPECT_EQ(args.silent, 0);
    EXPECT_STREQ(args.dir, "");
    EXPECT_EQ(ParseStandinArgs("\"D:\\Setup /S.exe\"", &args), 1);
    EXPECT_EQ(args.silent, 0) << "the program path is not a switch";
    EXPECT_EQ(ParseStandinArgs("D:\\Setup.exe /s", &args), 1);
    EXPECT_EQ(args.silent, 1);
    EXPECT_EQ(ParseStandinArgs("\"C:\\Temp\\KVL-Uninst-12.exe\" /D=\"C:\\Program Files\\KVL\" /W=4711 /S", &args), 1);
    EXPECT_EQ(args.silent, 1);
    EXPECT_STREQ(args.dir, "C:\\Program Files\\KVL");
    EXPECT_EQ(args.waitPid, 4711ul);
    EXPECT_EQ(ParseStandinArgs("u.exe /Silent other", &args), 1);
    EXPECT_EQ(args.silent, 0);

    EXPECT_EQ(ParseStandinArgs("u.exe /W=12x", &args), 0);
    EXPECT_EQ(ParseStandinArgs("u.exe /W=", &args), 0);
    EXPECT_EQ(ParseStandinArgs("u.exe /D=", &args), 0);
    std::string tooLong = "u.exe /D=C:\\" + std::string(STANDIN_PATH_MAX, 'a');
    EXPECT_EQ(ParseStandinArgs(tooLong.c_str(), &args), 0);
    EXPECT_STREQ(args.dir, "");
}

TEST(InstallLog, OnlyPathsBelowTheInstallFolderAreRemoved)
{
    char out[STANDIN_PATH_MAX];
    int isFolder;
    EXPECT_EQ(ParseInstallLogLine("KVL.EXE\r\n", out, sizeof out, &isFolder), 1);
    EXPECT_STREQ(out, "KVL.EXE");
    EXPECT_EQ(isFolder, 0);
    EXPECT_EQ(ParseInstallLogLine("Data\\Sons\\", out, sizeof out, &isFolder), 1);
    EXPECT_STREQ(out, "Data\\Sons");
    EXPECT_EQ(isFolder, 1);
    EXPECT_EQ(ParseInstallLogLine("Data\\Lisez moi.txt\r", out, sizeof out, &isFolder), 1);
    EXPECT_STREQ(out, "Data\\Lisez moi.txt");

    const char *unsafe[] = { "", "\r\n", "\\", "\\Windows\\win.ini", "C:\\autoexec.bat", "..\\x", "a\\..\\..\\x",
                             ".\\x", "a\\\\b", "a/../b", "a?", "\\\\serveur\\x" };
    for (const char *line : unsafe) {
        EXPECT_EQ(ParseInstallLogLine(line, out, sizeof out, &isFolder), 0) << line;
        EXPECT_STREQ(out, "") << line;
    }
    EXPECT_EQ(ParseInstallLogLine("KVL.EXE", out, 7, &isFolder), 0);
}

TEST(Level, PlainCountOfCompletedLevels)
{
    EXPECT_EQ(DecodeLevel(0), 0u);
    EXPECT_EQ(DecodeLevel(7), 7u);
    EXPECT_EQ(DecodeLevel(8), 0u);
    EXPECT_EQ(DecodeLevel(0xFFFFFFFFul), 0u);
    EXPECT_EQ(NextLevel(0), 1ul);
    EXPECT_EQ(NextLevel(6), 7ul);
    EXPECT_EQ(NextLevel(7), 7ul);
    EXPECT_EQ(NextLevel(123), 1ul);
}
