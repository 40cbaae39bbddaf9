#include <gtest/gtest.h>

#include <limits.h>
#include <string.h>
#include <string>
#include <vector>

#include "common/texttable.h"

static const char IndexError[] = "Text index error !";

/* A table built from exactly the given bytes, held in a heap block of that
 * exact size so that any read past the end is caught by ASan. */
struct Built {
    TextTable table;
    int ok;
    explicit Built(const std::string &bytes)
    {
        std::vector<char> exact(bytes.begin(), bytes.end());
        ok = TextTableBuild(&table, exact.empty() ? nullptr : exact.data(), exact.size());
    }
    ~Built() { TextTableFree(&table); }
    std::string at(int n) const { return TextTableGet(&table, n); }
};

TEST(TextTableParse, EntriesRunBetweenMarkersAndLoseTheirLastLineBreak)
{
    Built t("[.]Premier\r\n[.]Deux\r\nlignes\r\n[] // THIS IS THE END !\r\n");
    ASSERT_EQ(t.ok, 1);
    ASSERT_EQ(t.table.count, 2);
    EXPECT_EQ(t.at(0), "Premier");
    EXPECT_EQ(t.at(1), "Deux\r\nlignes");
    EXPECT_EQ(t.at(2), IndexError);
}

TEST(TextTableParse, BracketNotFollowedByMarkerIsText)
{
    Built t("[.][Clavier]\r\n[.]a[b]c[\r\n[.][[.]\r\n[.]]\r\n[]");
    ASSERT_EQ(t.table.count, 5);
    EXPECT_EQ(t.at(0), "[Clavier]");
    EXPECT_EQ(t.at(1), "a[b]c[");
    /* "[" then "[.]": the second bracket starts the next entry, so the
     * lone "[" has no line break before the marker and reads on. */
    EXPECT_EQ(t.at(2), "[[.]");
    EXPECT_EQ(t.at(3), "");
    EXPECT_EQ(t.at(4), "]");
}

TEST(TextTableParse, EmptyEntryIsAValidEmptyText)
{
    Built t("[.]\r\n[.]b\r\n[]\r\n");
    ASSERT_EQ(t.table.count, 2);
    const char *empty = TextTableGet(&t.table, 0);
    EXPECT_STREQ(empty, "");
    EXPECT_NE(empty, TextTableGet(&t.table, 5));
    EXPECT_EQ(t.at(1), "b");
}

TEST(TextTableParse, EntryWithoutLineBreakRunsIntoTheNext)
{
    /* Only a line break can end a text, so "[.]" directly followed by a
     * marker reads on through the following entry. */
    Built t("[.][.]x\r\n[]");
    ASSERT_EQ(t.table.count, 2);
    EXPECT_EQ(t.at(0), "[.]x");
    EXPECT_EQ(t.at(1), "x");
}

TEST(TextTableParse, BlankLineBeforeMarkerKeepsOneLineBreak)
{
    Built t("[.]a\r\n\r\n[.]b\r\n\r\n\r\n[]");
    EXPECT_EQ(t.at(0), "a\r\n");
    EXPECT_EQ(t.at(1), "b\r\n\r\n");
}

TEST(TextTableParse, OnlyCrOrLfAmongTheTwoCharactersBeforeAMarkerIsCleared)
{
    Built t("[.]a\r\nb[.]c\nd\r[.]e\n\r[.]f\r\r\n[.]gh[.]i\n[]");
    ASSERT_EQ(t.table.count, 6);
    EXPECT_EQ(t.at(0), "a\r");    /* LF then "b": only the LF goes */
    EXPECT_EQ(t.at(1), "c\nd");   /* "d" then CR */
    EXPECT_EQ(t.at(2), "e");      /* LF CR: both go */
    EXPECT_EQ(t.at(3), "f\r");    /* CR CR LF: the first CR stays */
    EXPECT_EQ(t.at(4), "gh[.]i"); /* no line break: runs on to the next ending */
    EXPECT_EQ(t.at(5), "i");
}

TEST(TextTableParse, EndMarkerStopsTheTable)
{
    Built t("[.]a\r\n[] // THIS IS THE END ! [.]x\r\n[.]b\r\n[]\r\n");
    ASSERT_EQ(t.table.count, 1);
    EXPECT_EQ(t.at(0), "a");
    EXPECT_EQ(t.at(1), IndexError);

    Built first("[][.]a\r\n");
    EXPECT_EQ(first.ok, 1);
    EXPECT_EQ(first.table.count, 0);
    EXPECT_EQ(first.at(0), IndexError);
}

TEST(TextTableParse, TextBeforeTheFirstEntryIsIgnored)
{
    Built t("notes [x]\r\n[[.]a\r\n[]");
    ASSERT_EQ(t.table.count, 1);
    EXPECT_EQ(t.at(0), "a");
}

TEST(TextTableParse, MissingEndMarkerEndsAtTheEndOfTheData)
{
    Built t("[.]a\r\n[.]b\r\n");
    ASSERT_EQ(t.table.count, 2);
    EXPECT_EQ(t.at(0), "a");
    /* No marker after it, so its line break is not cleared. */
    EXPECT_EQ(t.at(1), "b\r\n");
}

TEST(TextTableParse, UnterminatedLastTextStaysInsideTheData)
{
    Built t("[.]a\r\n[.]bc");
    EXPECT_EQ(t.at(1), "bc");
    Built marker("[.]a\r\n[.]");
    ASSERT_EQ(marker.table.count, 2);
    EXPECT_EQ(marker.at(1), "");
    /* Marker halves at the very end are text, not markers. */
    Built halves("[.]a\r\n[.");
    ASSERT_EQ(halves.table.count, 1);
    EXPECT_EQ(halves.at(0), "a\r\n[.");
    Built bracket("[.]x[");
    EXPECT_EQ(bracket.at(0), "x[");
}

TEST(TextTableParse, NoEntriesOrNoDataGiveAnEmptyTable)
{
    Built none("just text\r\n");
    EXPECT_EQ(none.table.count, 0);
    EXPECT_EQ(none.at(0), IndexError);
    Built empty("");
    EXPECT_EQ(empty.ok, 0);
    EXPECT_EQ(empty.table.count, 0);
    EXPECT_EQ(empty.table.copy, nullptr);
    EXPECT_EQ(empty.at(0), IndexError);
}

TEST(TextTableParse, EmbeddedNulEndsATextButNotTheScan)
{
    static const char raw[] = "[.]a\0b\r\n[.]c\r\n[]";
    Built t(std::string(raw, sizeof raw - 1));
    ASSERT_EQ(t.table.count, 2);
    EXPECT_EQ(t.at(0), "a");
    EXPECT_EQ(t.at(1), "c");
}

TEST(TextTableParse, TextsPointIntoThePrivateCopy)
{
    std::string bytes = "[.]a\r\n[]";
    TextTable table;
    ASSERT_EQ(TextTableBuild(&table, bytes.data(), bytes.size()), 1);
    const char *text = TextTableGet(&table, 0);
    EXPECT_GE(text, table.copy);
    EXPECT_LT(text, table.copy + bytes.size());
    EXPECT_EQ(bytes, "[.]a\r\n[]"); /* the caller's bytes are left alone */
    TextTableFree(&table);
    EXPECT_EQ(table.copy, nullptr);
    EXPECT_EQ(table.entries, nullptr);
    EXPECT_EQ(table.count, 0);
    TextTableFree(&table);
    EXPECT_EQ(TextTableGet(&table, 0), std::string(IndexError));
}

/* The process-wide table. Each test leaves it empty. */

static std::string NumberedTable(int count)
{
    std::string s;
    for (int i = 0; i < count; i++)
        s += "[.]t" + std::to_string(i) + "\r\n";
    return s + "[] // THIS IS THE END !\r\n";
}

TEST(TextTableGlobal, GetTextBounds)
{
    const int count = 3;
    std::string bytes = NumberedTable(count);
    LoadTextTableFromBytes(bytes.data(), bytes.size());
    for (int n = 0; n < count; n++)
        EXPECT_EQ(GetText(n), "t" + std::to_string(n));
    EXPECT_STREQ(GetText(count), IndexError);
    EXPECT_STREQ(GetText(TEXT_TABLE_SHIPPED_COUNT), IndexError);
    EXPECT_STREQ(GetText(-1), IndexError);
    EXPECT_STREQ(GetText(INT_MIN), IndexError);
    EXPECT_STREQ(GetText(INT_MAX), IndexError);
    FreeTextTable();
}

TEST(TextTableGlobal, GetMessageTextBoundIsTheShippedCountNotTheLoadedOne)
{
    const int last = TEXT_MESSAGE_COUNT - 1;
    const int past = TEXT_MESSAGE_COUNT;
    const int smallCount = 3;
    std::string small = NumberedTable(smallCount);
    LoadTextTableFromBytes(small.data(), small.size());
    EXPECT_EQ(GetMessageText(smallCount - 1), "t" + std::to_string(smallCount - 1));
    EXPECT_STREQ(GetMessageText(smallCount), IndexError); /* within the shipped count, past the loaded one */
    EXPECT_STREQ(GetMessageText(last), IndexError);
    EXPECT_STREQ(GetMessageText(past), "Unknown message");
    EXPECT_STREQ(GetMessageText(-1), "Unknown message");
    EXPECT_STREQ(GetMessageText(INT_MIN), "Unknown message");

    std::string large = NumberedTable(TEXT_TABLE_SHIPPED_COUNT + 7);
    LoadTextTableFromBytes(large.data(), large.size());
    EXPECT_EQ(GetText(past), "t" + std::to_string(past));
    EXPECT_EQ(GetMessageText(last), "t" + std::to_string(last));
    EXPECT_STREQ(GetMessageText(past), "Unknown message");
    FreeTextTable();
}

TEST(TextTableGlobal, EmptyTableAndRepeatedFree)
{
    FreeTextTable();
    FreeTextTable();
    const int first = 0;
    EXPECT_STREQ(GetText(first), IndexError);
    EXPECT_STREQ(GetMessageText(first), IndexError);
    EXPECT_STREQ(GetMessageText(TEXT_MESSAGE_COUNT + 37), "Unknown message");

    std::string bytes = NumberedTable(2);
    LoadTextTableFromBytes(bytes.data(), bytes.size());
    EXPECT_STREQ(GetText(first + 1), "t1");
    /* Loading nothing replaces the table with an empty one. */
    LoadTextTableFromBytes(bytes.data(), 0);
    EXPECT_STREQ(GetText(first + 1), IndexError);
    FreeTextTable();
    FreeTextTable();
    EXPECT_STREQ(GetText(first), IndexError);
}
