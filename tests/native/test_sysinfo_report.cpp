#include <gtest/gtest.h>

#include <string.h>
#include <string>

#include "sysinfo/cpuinf32/measure.h"
#include "sysinfo/facts.h"
#include "sysinfo/report.h"

namespace {

const MinimumSpecTexts kTexts = {
    "CPU(%dMHz). ", "MIN(%dM). ", "REC(%dM). ", "END."
};

std::string Warning(int speed, float memory, int *failed)
{
    char warning[MIN_SPEC_WARNING_SIZE];
    *failed = ComposeMinimumSpecWarning(speed, memory, &kTexts, warning, sizeof warning);
    return warning;
}

CdDriveList Drives(const char *letters)
{
    CdDriveList list;
    for (const char *p = letters; *p; p++) {
        CdDrive &d = list.drives[list.count++];
        d.letter = *p;
        snprintf(d.description, sizeof d.description, "Drive %c", *p);
    }
    return list;
}

}

TEST(MemoryRounding, WithinSixHundredFortyKilobytesCountsAsTheMegabyte)
{
    EXPECT_EQ(MemoryBytesToMb(16121856u), 16.0);
    EXPECT_EQ(MemoryBytesToMb(16121855u), 15.0);
    EXPECT_EQ(MemoryBytesToMb(67108864u), 64.0);
    EXPECT_EQ(MemoryBytesToMb(0u), 0.0);
    /* The top of the unsigned range does not wrap. */
    EXPECT_EQ(MemoryBytesToMb(0xFFFFFFFFu), 4096.0);
    /* The 64-bit count: 24 GB as Wine reports it, and beyond 4 GB. */
    EXPECT_EQ(MemoryBytesToMb(25276178432ull), 24105.0);
    EXPECT_EQ(MemoryBytesToMb(0x100000000ull), 4096.0);
}

TEST(ProcessorType, KnownCodesAndUnknown)
{
    EXPECT_STREQ(ProcessorTypeName(386), "386");
    EXPECT_STREQ(ProcessorTypeName(486), "486");
    EXPECT_STREQ(ProcessorTypeName(586), "PENTIUM");
    EXPECT_STREQ(ProcessorTypeName(4000), "MIPS R4000");
    EXPECT_STREQ(ProcessorTypeName(21064), "ALPHA 21064");
    EXPECT_STREQ(ProcessorTypeName(8664), "Unknown");
    EXPECT_STREQ(ProcessorTypeName(0), "Unknown");
}

TEST(MinimumSpecWarning, TableOfOutcomes)
{
    int failed;
    EXPECT_EQ(Warning(119, 64, &failed), "CPU(119MHz). END.");
    EXPECT_EQ(failed, 1);
    Warning(120, 16, &failed);
    EXPECT_EQ(failed, 0);
    /* The recommended memory part is composed but not shown without a slow
     * processor. */
    EXPECT_EQ(Warning(200, 24, &failed), "REC(24M). ");
    EXPECT_EQ(failed, 0);
    EXPECT_EQ(Warning(100, 24, &failed), "CPU(100MHz). REC(24M). END.");
    EXPECT_EQ(failed, 1);
    EXPECT_EQ(Warning(100, 8, &failed), "CPU(100MHz). MIN(8M). END.");
    EXPECT_EQ(failed, 1);
    EXPECT_EQ(Warning(300, 8, &failed), "MIN(8M). END.");
    EXPECT_EQ(failed, 1);
    EXPECT_EQ(Warning(0, 32, &failed), "CPU(0MHz). END.");
    EXPECT_EQ(failed, 1);
    Warning(300, 32, &failed);
    EXPECT_EQ(failed, 0);
}

TEST(MinimumSpecWarning, UnmeasuredSpeedNeverCountsAsSlow)
{
    int failed;
    EXPECT_EQ(Warning(-1, 64, &failed), "");
    EXPECT_EQ(failed, 0);
    EXPECT_EQ(Warning(-2, 8, &failed), "MIN(8M). END.");
    EXPECT_EQ(failed, 1);
    /* Below 16 by a fraction still is below: the memory is compared as read. */
    EXPECT_EQ(Warning(500, 15.5f, &failed), "MIN(15M). END.");
}

TEST(MinimumSpecWarning, StaysWithinItsBuffer)
{
    const std::string longPart(400, 'x');
    const MinimumSpecTexts texts = { "%d", longPart.c_str(), "", longPart.c_str() };
    char small[64];
    memset(small, '#', sizeof small);
    EXPECT_EQ(ComposeMinimumSpecWarning(1, 1, &texts, small, sizeof small), 1);
    EXPECT_EQ(strlen(small), sizeof small - 1);
    /* Each part is cut to 199 characters before it is appended. */
    char big[MIN_SPEC_WARNING_SIZE];
    ComposeMinimumSpecWarning(1, 1, &texts, big, sizeof big);
    EXPECT_EQ(std::string(big), "1" + std::string(199, 'x') + longPart);
}

TEST(ReportLines, ProcessorMemoryAndDrives)
{
    char line[300];
    FormatProcessorLine("PENTIUM", 166, line, sizeof line);
    EXPECT_STREQ(line, "PENTIUM 166 MHz");
    FormatProcessorLine("PENTIUM", -1, line, sizeof line);
    EXPECT_STREQ(line, "PENTIUM -1 MHz");
    FormatMemoryLine(64.0, line, sizeof line);
    EXPECT_STREQ(line, "64 Mb");

    char lines[CDROM_LINES_SIZE];
    CdDriveList eg = Drives("EG");
    FormatCdRomLines(&eg, lines, sizeof lines);
    EXPECT_STREQ(lines, "#1 [E:] Drive E\r\n#2 [G:] Drive G\r\n");
    CdDriveList none;
    FormatCdRomLines(&none, lines, sizeof lines);
    EXPECT_STREQ(lines, "");
}

TEST(ReportLines, LongestDescriptionsStayWithinTheLines)
{
    CdDriveList list = Drives("DEF");
    for (CdDrive &d : list.drives) {
        memset(d.description, 'd', sizeof d.description - 1);
        d.description[sizeof d.description - 1] = '\0';
    }
    char lines[CDROM_LINES_SIZE];
    FormatCdRomLines(&list, lines, sizeof lines);
    EXPECT_EQ(strlen(lines), 3 * (8 + 259 + 2u));
}

namespace {

std::string Report(const char *cdromLines)
{
    SystemReportFields f = {
        { "[Microprocesseur]", "[M\xe9moire physique]", "[Clavier]", "[Souris]",
          "[Lecteur(s) CD-ROM]", "[Carte(s) graphique(s)]", "[Carte(s) son]" },
        "PENTIUM 166 MHz", "64 Mb", "Keyboard", "Mouse", cdromLines, "Display", "Sound"
    };
    char report[SYSTEM_REPORT_SIZE];
    FormatSystemReport(&f, report, sizeof report);
    return report;
}

}

TEST(Report, EverySectionEndsWithOneBlankLine)
{
    EXPECT_EQ(Report("#1 [E:] Drive E\r\n#2 [G:] Drive G\r\n"),
              "[Microprocesseur]\r\nPENTIUM 166 MHz\r\n\r\n"
              "[M\xe9moire physique]\r\n64 Mb\r\n\r\n"
              "[Clavier]\r\nKeyboard\r\n\r\n"
              "[Souris]\r\nMouse\r\n\r\n"
              "[Lecteur(s) CD-ROM]\r\n#1 [E:] Drive E\r\n#2 [G:] Drive G\r\n\r\n"
              "[Carte(s) graphique(s)]\r\nDisplay\r\n\r\n"
              "[Carte(s) son]\r\nSound\r\n");
}

TEST(Report, WithoutDrivesTheHeadingIsFollowedByOneEmptyLine)
{
    const std::string r = Report("");
    EXPECT_NE(r.find("[Lecteur(s) CD-ROM]\r\n\r\n[Carte(s) graphique(s)]\r\n"), std::string::npos);
    const std::string tail = "[Carte(s) son]\r\nSound\r\n";
    EXPECT_EQ(r.substr(r.size() - tail.size()), tail);
}

TEST(Report, CutToItsBuffer)
{
    const std::string huge(5000, 'z');
    SystemReportFields f = { { "1", "2", "3", "4", "5", "6", "7" },
                             huge.c_str(), "", "", "", "", "", "" };
    char report[SYSTEM_REPORT_SIZE];
    FormatSystemReport(&f, report, sizeof report);
    EXPECT_EQ(strlen(report), sizeof report - 1);
}

TEST(RegistryWalk, ChildPathsAreLimitedTo255Characters)
{
    char child[512];
    ASSERT_TRUE(FormChildKeyPath("Enum", "Root", child, sizeof child));
    EXPECT_STREQ(child, "Enum\\Root");
    const std::string parent(200, 'p');
    const std::string fits(54, 'n'), over(55, 'n');
    ASSERT_TRUE(FormChildKeyPath(parent.c_str(), fits.c_str(), child, sizeof child));
    EXPECT_EQ(strlen(child), 255u);
    strcpy(child, "untouched");
    EXPECT_FALSE(FormChildKeyPath(parent.c_str(), over.c_str(), child, sizeof child));
    EXPECT_STREQ(child, "untouched");
    /* The buffer bounds it as well. */
    EXPECT_FALSE(FormChildKeyPath("Enum", "Root", child, 9));
}

namespace {

/* A source of the fact tests: its text, or absent (nullptr); counts the
 * times it was asked. */
struct FakeSource {
    const char *text;
    int asked;
};

int GiveFake(char *text, size_t size, void *context)
{
    FakeSource *source = static_cast<FakeSource *>(context);
    source->asked++;
    if (!source->text)
        return 0;
    snprintf(text, size, "%s", source->text);
    return 1;
}

std::string Fact(FakeSource *first, int firstTrimmed, FakeSource *second, int *used)
{
    const FactSource sources[] = { { GiveFake, first, firstTrimmed }, { GiveFake, second, 1 } };
    char text[16];
    *used = ChooseFactText(sources, 2, "Not available", text, sizeof text);
    return text;
}

}

TEST(MachineFacts, FirstSourceThatGivesATextWins)
{
    int used;
    /* The Windows 95 family's source, when it is there, as read: an empty
     * key still is the key. The NT source is not asked. */
    FakeSource legacy = { "  Old  ", 0 }, modern = { "New", 0 };
    EXPECT_EQ(Fact(&legacy, 0, &modern, &used), "  Old  ");
    EXPECT_EQ(used, 0);
    EXPECT_EQ(modern.asked, 0);
    FakeSource emptyKey = { "", 0 };
    EXPECT_EQ(Fact(&emptyKey, 0, &modern, &used), "");

    /* Absent: the NT source, trimmed. */
    FakeSource absent = { nullptr, 0 }, padded = { " \tAMD EPYC  ", 0 };
    EXPECT_EQ(Fact(&absent, 0, &padded, &used), "AMD EPYC");
    EXPECT_EQ(used, 1);

    /* A trimmed source left empty counts as absent; the fallback is cut
     * to the buffer like any text. */
    FakeSource blanks = { "   ", 0 }, none = { nullptr, 0 };
    EXPECT_EQ(Fact(&blanks, 1, &none, &used), "Not available");
    EXPECT_EQ(used, 2);
    FakeSource longText = { "0123456789abcdefghij", 0 };
    EXPECT_EQ(Fact(&longText, 1, &none, &used), "0123456789abcde");
}

/* The speed library's readings, as a script: each read hands out the next
 * set, and a set with a zero frequency stands for counters that cannot be
 * read at all. */
struct ReadingScript {
    CounterReadings sets[3];
    int next;
};

static int NextReadings(CounterReadings *readings, void *context)
{
    ReadingScript *script = static_cast<ReadingScript *>(context);
    if (script->next >= 3 || script->sets[script->next].frequency == 0)
        return 0;
    *readings = script->sets[script->next++];
    return 1;
}

TEST(CpuClock, CounterGoingBackwardsIsMeasuredOnceMoreThenGivesNoSpeed)
{
    /* 10 ms of a 1 MHz performance counter, 2,000,000 cycles: 200 MHz. */
    const CounterReadings good = { 1000, 2001000, 50, 10050, 1000000 };
    const CounterReadings backwards = { 2001000, 1000, 50, 10050, 1000000 };
    ReadingScript once = { { backwards, good, good }, 0 };
    CpuSpeedRecord r = MeasureCpuClock(NextReadings, &once);
    EXPECT_EQ(once.next, 2);
    EXPECT_EQ(r.megahertz, 200u);
    EXPECT_EQ(r.kilohertz, 200000u);
    EXPECT_EQ(r.microseconds, 10000u);
    EXPECT_EQ(r.cycles, 2000000u);

    const CounterReadings qpcBackwards = { 1000, 2001000, 10050, 50, 1000000 };
    ReadingScript twice = { { backwards, qpcBackwards, good }, 0 };
    r = MeasureCpuClock(NextReadings, &twice);
    EXPECT_EQ(twice.next, 2);
    EXPECT_EQ(r.cycles | r.microseconds | r.kilohertz | r.megahertz, 0u);
}

TEST(CpuClock, NoDivisionByZeroAndNoFigureOutsideItsField)
{
    CpuSpeedRecord r;
    const CounterReadings nonsense[] = {
        { 1000, 2001000, 50, 10050, 0 },                 /* no frequency */
        { 1000, 2001000, 50, 10050, -1000000 },
        { 1000, 1000, 50, 10050, 1000000 },              /* counter stood still */
        { 1000, 2001000, 50, 50, 1000000 },
        { 0, UINT64_MAX, 0, 1, INT64_MAX },              /* beyond any field */
        { 0, 100, 0, INT64_MAX, 1 },                     /* interval beyond its field */
        { 0, 5000000000000ull, 0, 1000, 1000 },          /* 5 THz: beyond the kHz field */
        { 0, 100, 0, 1000000, 1000000 },                 /* below 1 MHz */
    };
    for (const CounterReadings &n : nonsense) {
        EXPECT_EQ(SpeedFromReadings(&n, &r), 0) << n.tscEnd << " " << n.qpcEnd << " " << n.frequency;
        EXPECT_EQ(r.cycles | r.microseconds | r.kilohertz | r.megahertz, 0u);
    }
    /* Counters far apart in the signed range still give their difference. */
    const CounterReadings wide = { 0, 3000000000ull, INT64_MIN + 5, INT64_MIN + 5 + 1000000000, 1000000000 };
    ASSERT_EQ(SpeedFromReadings(&wide, &r), 1);
    EXPECT_EQ(r.megahertz, 3000u);
    EXPECT_EQ(r.cycles, 3000000000u);
    /* Counters that cannot be read are not read again. */
    ReadingScript unreadable = {};
    r = MeasureCpuClock(NextReadings, &unreadable);
    EXPECT_EQ(r.cycles | r.microseconds | r.kilohertz | r.megahertz, 0u);
}
