/* The rules of the demo disc's Setup, uninstaller and game stand-in. */
#include <gtest/gtest.h>

#include <string.h>
#include <string>
#include <vector>

#include "common/levels.h"
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

TEST(Switches, SilentAloneOtherWordsIgnored)
{
    StandinArgs args;
    EXPECT_EQ(ParseStandinArgs("Setup.exe", &args), 1);
    EXPECT_EQ(args.silent, 0);
    EXPECT_EQ(ParseStandinArgs("\"D:\\Setup /S.exe\"", &args), 1);
    EXPECT_EQ(args.silent, 0) << "the program path is not a switch";
    EXPECT_EQ(ParseStandinArgs("D:\\Setup.exe /s", &args), 1);
    EXPECT_EQ(args.silent, 1);
    EXPECT_EQ(ParseStandinArgs("u.exe /Silent other", &args), 1);
    EXPECT_EQ(args.silent, 0);
    /* The uninstaller works on nothing but its own folder: the folder and
     * process switches of its former second stage are words like others. */
    EXPECT_EQ(ParseStandinArgs("\"C:\\Temp\\Uninst.exe\" /D=\"C:\\Program Files\\KVL\" /W=4711 /S", &args), 1);
    EXPECT_EQ(args.silent, 1);
    std::string tooLong = "u.exe /D=C:\\" + std::string(STANDIN_PATH_MAX, 'a') + " /S";
    EXPECT_EQ(ParseStandinArgs(tooLong.c_str(), &args), 1);
    EXPECT_EQ(args.silent, 1);
}

static int Parse(const char *line, InstallLogEntry *entry) { return ParseInstallLogLine(line, entry); }

TEST(InstallLog, OnlyPathsBelowTheInstallFolderAreRemoved)
{
    InstallLogEntry e;
    EXPECT_EQ(Parse("KVL.EXE\r\n", &e), 1);
    EXPECT_STREQ(e.path, "KVL.EXE");
    EXPECT_EQ(e.isFolder, 0);
    EXPECT_EQ(Parse("Data\\Sons\\", &e), 1);
    EXPECT_STREQ(e.path, "Data\\Sons");
    EXPECT_EQ(e.isFolder, 1);
    EXPECT_EQ(Parse("Data\\Lisez moi.txt\r", &e), 1);
    EXPECT_STREQ(e.path, "Data\\Lisez moi.txt");

    const char *unsafe[] = { "", "\r\n", "\\", "\\Windows\\win.ini", "C:\\autoexec.bat", "..\\x", "a\\..\\..\\x",
                             ".\\x", "a\\\\b", "a/../b", "a?", "\\\\serveur\\x", "..\\x|1|00000000" };
    for (const char *line : unsafe) {
        EXPECT_EQ(Parse(line, &e), 0) << line;
        EXPECT_STREQ(e.path, "") << line;
    }
    std::string tooLong = std::string(STANDIN_PATH_MAX, 'k');
    EXPECT_EQ(Parse(tooLong.c_str(), &e), 0);
}

TEST(InstallLog, DeviceNamesAreRefused)
{
    /* Opened by name, each would reach a device, not a file of the folder. */
    InstallLogEntry e;
    const char *devices[] = { "COM1", "Data\\NUL.txt", "con", "CON .txt", "Data\\aux.dat|1|00000000",
                              "prn\\", "lpt9.log", "CONIN$", "conout$.x", "COM\xB9", "Data\\lpt\xB2.txt",
                              "COM\xB3" };
    for (const char *line : devices)
        EXPECT_EQ(Parse(line, &e), 0) << line;
    const char *files[] = { "COM0", "COM10", "LPT", "Console.txt", "NULL", "Data\\CON1.txt", "aux_x.dat",
                            "COM\xB4", "Data.CON" };
    for (const char *line : files)
        EXPECT_EQ(Parse(line, &e), 1) << line;
}

TEST(InstallLog, FilesCarrySizeAndChecksumAndOldLinesProveNothing)
{
    EXPECT_EQ(Fnv1a(FNV1A_START, "", 0), 0x811C9DC5u);
    EXPECT_EQ(Fnv1a(FNV1A_START, "a", 1), 0xE40C292Cu);
    EXPECT_EQ(Fnv1a(Fnv1a(FNV1A_START, "foo", 3), "bar", 3), 0xBF9CF968u);

    char line[STANDIN_PATH_MAX + 40];
    FileRecord record = { 18446744073709551615ull, 0x0BADF00Du };
    EXPECT_EQ(FormatInstallLogLine(line, sizeof line, "Data\\Niveau1.dat", &record), 48u);
    EXPECT_STREQ(line, "Data\\Niveau1.dat|18446744073709551615|0badf00d\r\n");
    InstallLogEntry e;
    ASSERT_EQ(Parse(line, &e), 1);
    EXPECT_STREQ(e.path, "Data\\Niveau1.dat");
    EXPECT_EQ(e.hasRecord, 1);
    EXPECT_EQ(e.record.size, record.size);
    EXPECT_EQ(e.record.sum, record.sum);
    EXPECT_EQ(FormatInstallLogLine(line, sizeof line, "Data", NULL), 7u);
    EXPECT_STREQ(line, "Data\\\r\n");
    EXPECT_EQ(FormatInstallLogLine(line, 7, "Data", NULL), 0u) << "no room for the end";
    EXPECT_EQ(FormatInstallLogLine(line, sizeof line, "..\\x", &record), 0u);

    /* A line from before the checksums is a file that cannot be proved ours. */
    ASSERT_EQ(Parse("KVL.EXE\r\n", &e), 1);
    EXPECT_EQ(e.hasRecord, 0);
    const char *malformed[] = { "a|1|1234567", "a|1|123456789", "a|x|12345678", "a||12345678", "a|1|1234567g",
                                "a|18446744073709551616|12345678", "a\\|1|12345678", "a|1", "|1|12345678" };
    for (const char *bad : malformed)
        EXPECT_EQ(Parse(bad, &e), 0) << bad;
}

static int Split(std::string text, std::vector<std::string> *out, int cap = INSTALL_LOG_LINES_MAX)
{
    std::vector<char *> lines((size_t)cap + 1);
    int n = SplitInstallLog(&text[0], text.size(), lines.data(), cap);
    out->clear();
    for (int i = 0; i < n; i++)
        out->push_back(lines[(size_t)i]);
    return n;
}

TEST(InstallLog, ReadWholeOrRefused)
{
    std::vector<std::string> lines;
    EXPECT_EQ(Split("Data\\\r\nData\\a.dat|1|00000000\r\n", &lines), 2);
    EXPECT_EQ(lines, (std::vector<std::string>{ "Data\\\r", "Data\\a.dat|1|00000000\r" }));
    EXPECT_EQ(Split("", &lines), -1);
    EXPECT_EQ(Split("Data\\Sons\\\r\nData\\", &lines), -1) << "a cut line names a shorter path";
    EXPECT_EQ(Split(std::string("a\r\nb\0c\r\n", 8), &lines), -1);
    EXPECT_EQ(Split("a\nb\nc\n", &lines, 2), -1);
    std::string most(INSTALL_LOG_MAX, '\n');
    EXPECT_EQ(Split(most, &lines, INSTALL_LOG_LINES_MAX), -1) << "more lines than allowed";
    std::string big(INSTALL_LOG_MAX - 1, 'k');
    EXPECT_EQ(Split(big + "\n", &lines), 1);
    EXPECT_EQ(Split(big + "k\n", &lines), -1);
}

TEST(InstallDir, SameFolderAfterTidyingWhateverTheCase)
{
    EXPECT_EQ(SameInstallDir(" c:/program files/kvl\\ ", "C:\\Program Files\\KVL"), 1);
    EXPECT_EQ(SameInstallDir("C:\\Program Files\\KVL", "C:\\Program Files\\KVL2"), 0);
    EXPECT_EQ(SameInstallDir("C:\\Jeux\\D\xC9MO", "C:\\Jeux\\d\xE9mo"), 0);
    EXPECT_EQ(SameInstallDir("C:\\", "C:\\"), 0) << "a root is never an install folder";
    EXPECT_EQ(SameInstallDir("", ""), 0);

    EXPECT_EQ(PathIsInside("\\\\?\\C:\\Jeux\\KVL", "\\\\?\\c:\\jeux\\kvl\\Data\\a.dat"), 1);
    EXPECT_EQ(PathIsInside("\\\\?\\C:\\", "\\\\?\\C:\\KVL"), 1);
    EXPECT_EQ(PathIsInside("\\\\?\\C:\\Jeux\\KVL", "\\\\?\\C:\\Jeux\\KVL"), 0);
    EXPECT_EQ(PathIsInside("\\\\?\\C:\\Jeux\\KVL", "\\\\?\\C:\\Jeux\\KVL\\"), 0);
    EXPECT_EQ(PathIsInside("\\\\?\\C:\\Jeux\\KVL", "\\\\?\\C:\\Jeux\\KVL2\\a.dat"), 0);
    EXPECT_EQ(PathIsInside("\\\\?\\C:\\Jeux\\KVL", "\\\\?\\C:\\Secret\\a.dat"), 0);
    EXPECT_EQ(PathIsInside("", "\\a"), 0);
}

TEST(Level, PlainCountOfCompletedLevels)
{
    for (unsigned i = 0; i <= LEVEL_COUNT; i++)
        EXPECT_EQ(CompletedLevels(i), i);
    EXPECT_EQ(CompletedLevels(8), 0u);
    EXPECT_EQ(CompletedLevels(0xFFFFFFFFul), 0u);
    EXPECT_EQ(CompletedLevels(0x80000003ul), 0u);
    EXPECT_EQ(NextLevel(0), 1ul);
    EXPECT_EQ(NextLevel(6), 7ul);
    EXPECT_EQ(NextLevel(7), 7ul);
    EXPECT_EQ(NextLevel(123), 1ul);
}
