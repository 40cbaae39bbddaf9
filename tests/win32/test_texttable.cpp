#include <windows.h>
#include <gtest/gtest.h>

#include <string.h>

#include "common/texttable.h"
#include "common/texttable_win.h"
#include "resources/texts.h"

/* The test program carries the launcher's resources; its main has loaded
 * the table with LoadTextTable. */

TEST(TextTableResource, PlainEntries)
{
    EXPECT_STREQ(GetText(TEXT_BACK_TO_GAME), "Retour au jeu");
    EXPECT_STREQ(GetText(TEXT_CONFIRM_QUIT), "Confirmer quitter KVL");
    EXPECT_STREQ(GetText(TEXT_MENU_CAPTION), "K.V.L");
    EXPECT_STREQ(GetText(TEXT_SYSINFO_KEYBOARD), "[Clavier]");
    EXPECT_STREQ(GetMessageText(TEXT_ERROR_CAPTION), "KVL - Erreur");
}

TEST(TextTableResource, MultiLineEntriesInWindows1252)
{
    EXPECT_STREQ(GetText(TEXT_DIRECTDRAW_MISSING), "Direct draw (ddraw.dll) n'est pas install\xe9 correctement.\r\n"
                              "Essayez de r\xe9installer DirectX 5.");
    EXPECT_STREQ(GetText(TEXT_WAIT_SCANNING), "Scan\r\ndes\r\np\xe9riph\xe9riques\r\ngraphiques\r\net des\r\nmodes\r\nd'affichage...");
    /* Trailing blank kept: these are appended into one report. */
    const char *cpu = GetText(TEXT_MINSPEC_SLOW_CPU);
    size_t n = strlen(cpu);
    ASSERT_GT(n, 2u);
    EXPECT_EQ(cpu[n - 1], ' ');
    EXPECT_EQ(cpu[n - 2], '.');
}

TEST(TextTableResource, LastEntryInOemCodePage)
{
    EXPECT_STREQ(GetText(TEXT_MESSAGE_COUNT - 1), "%s ramass\x82 !");
    EXPECT_STREQ(GetMessageText(TEXT_MESSAGE_COUNT - 1), "%s ramass\x82 !");
    /* The launcher's later texts are in the table but no message. */
    EXPECT_STRNE(GetText(TEXT_MESSAGE_COUNT), "Text index error !");
    EXPECT_STREQ(GetMessageText(TEXT_MESSAGE_COUNT), "Unknown message");
    EXPECT_STRNE(GetText(TEXT_TABLE_SHIPPED_COUNT - 1), "Text index error !");
    EXPECT_STREQ(GetText(TEXT_TABLE_SHIPPED_COUNT), "Text index error !");
}

TEST(TextTableResource, ReloadAfterFreeGivesTheSameTable)
{
    FreeTextTable();
    EXPECT_STREQ(GetText(TEXT_CONFIRM_QUIT), "Text index error !");
    FreeTextTable();
    LoadTextTable();
    EXPECT_STREQ(GetText(TEXT_CONFIRM_QUIT), "Confirmer quitter KVL");
    /* Loading again replaces the table instead of leaking it. */
    LoadTextTable();
    EXPECT_STREQ(GetText(TEXT_MESSAGE_COUNT - 1), "%s ramass\x82 !");
}
