#include <windows.h>
#include <gtest/gtest.h>

#include <string.h>

#include "common/texttable.h"

/* The test program carries the launcher's resources; its main has loaded
 * the table with LoadTextTable. */

TEST(TextTableResource, PlainEntries)
{
    EXPECT_STREQ(GetText(0), "Retour au jeu");
    EXPECT_STREQ(GetText(10), "Confirmer quitter KVL");
    EXPECT_STREQ(GetText(105), "K.V.L");
    EXPECT_STREQ(GetText(130), "[Clavier]");
    EXPECT_STREQ(GetMessageText(74), "KVL - Erreur");
}

TEST(TextTableResource, MultiLineEntriesInWindows1252)
{
    EXPECT_STREQ(GetText(84), "Direct draw (ddraw.dll) n'est pas install\xe9 correctement.\r\n"
                              "Essayez de r\xe9installer DirectX 5.");
    EXPECT_STREQ(GetText(125), "Scan\r\ndes\r\np\xe9riph\xe9riques\r\ngraphiques\r\net des\r\nmodes\r\nd'affichage...");
    /* Trailing blank kept: these are appended into one report. */
    const char *cpu = GetText(91);
    size_t n = strlen(cpu);
    ASSERT_GT(n, 2u);
    EXPECT_EQ(cpu[n - 1], ' ');
    EXPECT_EQ(cpu[n - 2], '.');
}

TEST(TextTableResource, LastEntryInOemCodePage)
{
    EXPECT_STREQ(GetText(162), "%s ramass\x82 !");
    EXPECT_STREQ(GetMessageText(162), "%s ramass\x82 !");
    EXPECT_STREQ(GetText(163), "Text index error !");
    EXPECT_STREQ(GetMessageText(163), "Unknown message");
}

TEST(TextTableResource, ReloadAfterFreeGivesTheSameTable)
{
    FreeTextTable();
    EXPECT_STREQ(GetText(10), "Text index error !");
    FreeTextTable();
    LoadTextTable();
    EXPECT_STREQ(GetText(10), "Confirmer quitter KVL");
    /* Loading again replaces the table instead of leaking it. */
    LoadTextTable();
    EXPECT_STREQ(GetText(162), "%s ramass\x82 !");
}
