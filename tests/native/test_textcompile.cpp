#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>

#include "common/texttable.h"
#include "tools/textcompile.h"
#include "shippedtexts.h"
#include "resources/texts.h"

/* Latin-1 subset of UTF-8 to Windows-1252 bytes (the same code points), so
 * the launcher's texts below can be written readably. */
static std::string Ansi(const char *utf8)
{
    std::string out;
    for (const unsigned char *s = (const unsigned char *)utf8; *s; s++) {
        if ((*s & 0xE0) == 0xC0 && (s[1] & 0xC0) == 0x80) {
            out.push_back((char)(((s[0] & 0x1F) << 6) | (s[1] & 0x3F)));
            s++;
        } else {
            out.push_back((char)*s);
        }
    }
    return out;
}

class ShippedTable : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        Bytes = new std::string;
        Compiled = CompileShippedTextTable(Bytes);
        if (Compiled)
            Compiled = TextTableBuild(&Table, Bytes->data(), Bytes->size());
    }
    static void TearDownTestSuite()
    {
        TextTableFree(&Table);
        delete Bytes;
        Bytes = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(Compiled); }
    static std::string At(int n) { return TextTableGet(&Table, n); }

    static std::string *Bytes;
    static TextTable Table;
    static int Compiled;
};
std::string *ShippedTable::Bytes = nullptr;
TextTable ShippedTable::Table;
int ShippedTable::Compiled = 0;

TEST_F(ShippedTable, LayoutOfTheBytes)
{
    const std::string &b = *Bytes;
    for (size_t i = 0; i < b.size(); i++) {
        if (b[i] == '\r') {
            ASSERT_TRUE(i + 1 < b.size() && b[i + 1] == '\n') << "lone CR at " << i;
        }
        if (b[i] == '\n') {
            ASSERT_TRUE(i > 0 && b[i - 1] == '\r') << "lone LF at " << i;
        }
        /* UTF-8 left unconverted would show as lead bytes of Latin letters. */
        ASSERT_NE((unsigned char)b[i], 0xC3) << "UTF-8 at " << i;
    }
    ASSERT_EQ(b.compare(0, 3, "[.]"), 0);
    const std::string end = "\r\n[] // THIS IS THE END !\r\n";
    ASSERT_GE(b.size(), end.size());
    EXPECT_EQ(b.compare(b.size() - end.size(), end.size(), end), 0);
    EXPECT_EQ(b.find("[]"), b.size() - end.size() + 2);
    size_t markers = 0;
    for (size_t at = b.find("[.]"); at != std::string::npos; at = b.find("[.]", at + 1))
        markers++;
    EXPECT_EQ(markers, (size_t)TEXT_TABLE_SHIPPED_COUNT);
    EXPECT_EQ(Table.count, TEXT_TABLE_SHIPPED_COUNT);
}

TEST_F(ShippedTable, ExactBytesOfMultiLineAnsiEntries)
{
    EXPECT_NE(Bytes->find("[.]Direct draw (ddraw.dll) n'est pas install\xe9 correctement.\r\n"
                          "Essayez de r\xe9installer DirectX 5.\r\n[.]Direct input"),
              std::string::npos);
    EXPECT_EQ(At(84), "Direct draw (ddraw.dll) n'est pas install\xe9 correctement.\r\n"
                      "Essayez de r\xe9installer DirectX 5.");
    EXPECT_EQ(At(125), "Scan\r\ndes\r\np\xe9riph\xe9riques\r\ngraphiques\r\net des\r\nmodes\r\nd'affichage...");
}

TEST_F(ShippedTable, GameScreensAreInOemCodePage850)
{
    EXPECT_EQ(At(0), "Retour au jeu");
    EXPECT_EQ(At(10), "Confirmer quitter KVL");
    EXPECT_EQ(At(8), "Cr\x82" "dits");
    EXPECT_EQ(At(33), "Tourner \x85 gauche");
    EXPECT_EQ(At(162), "%s ramass\x82 !");
    EXPECT_NE(Bytes->find("[.]%s ramass\x82 !\r\n[.]"), std::string::npos); /* the launcher's texts follow */
    int pressKey = 0, page = 0;
    for (int n = 0; n < 74; n++) {
        pressKey += At(n) == "Appuyer sur %s pour continuer";
        page += At(n) == "Page %d/%d";
    }
    EXPECT_EQ(pressKey, 1);
    EXPECT_EQ(page, 1);
}

TEST_F(ShippedTable, EveryTextTheLauncherShows)
{
    static const struct { int n; const char *text; } shown[] = {
        { TEXT_ERROR_CAPTION, "KVL - Erreur" },
        { TEXT_WARNING_CAPTION, "KVL - Avertissement" },
        { TEXT_CANCEL, "Annuler" },
        { TEXT_CONTINUE, "Continuer" },
        { TEXT_QUIT, "Quitter" },
        { TEXT_SETUP_FAILED, "Impossible de lancer Setup.exe." },
        { TEXT_UNINSTALL_FAILED, "Impossible de lancer uninstaller." },
        { TEXT_NOTEPAD_FAILED, "Impossible de lancer Notepad.exe." },
        { TEXT_GAME_FAILED, "Impossible de lancer KVL." },
        { TEXT_DIRECTINPUT_MISSING, "Direct input (dinput.dll) n'est pas installé correctement.\r\nEssayez de réinstaller DirectX 5." },
        { TEXT_DIRECTX_MEDIA_MISSING, "DirectX Media n'est pas installé correctement.\r\nEssayez de réinstaller DirectX Media." },
        { TEXT_COLOUR_DEPTH_ADVICE, "Il est conseillé d'exécuter le programme KVL\r\navec un écran en résolution couleur 16bits.\r\n"
              "Il se peut que vous ayez une mauvaise image !" },
        { TEXT_DONT_SHOW_AGAIN, "Ne plus afficher cet avertissement" },
        { TEXT_NO_DEVICE, "Aucun périphérique disponible !\r\nVotre carte vidéo doit supporter un mode\r\n"
              "avec une résolution en couleur de 16 bits" },
        { TEXT_MINSPEC_SLOW_CPU, "La fréquence de votre cpu (%dMHz) est inférieure à la spécification minimum (120MHz). " },
        { TEXT_MINSPEC_LOW_MEMORY, "La mémoire de l'ordinateur (%dM) est inférieure à la spécification minimum (16M). " },
        { TEXT_MINSPEC_LOW_RECOMMENDED_MEMORY, "La mémoire de l'ordinateur (%dM) est inférieure à la spécification recommandée (32M). " },
        { TEXT_MINSPEC_CONCLUSION, "L'une des charactéristique de votre machine est en-dessous de la spécification minimum, "
              "vous ne pourrez pas jouer dans des conditions idéales." },
        { TEXT_HARDWARE_SUFFIX, "Hardware" },
        { TEXT_SOFTWARE_RENDERER, "Brixolan renderer - Logiciel" },
        { TEXT_MENU_CAPTION, "K.V.L" },
        { TEXT_MENU_INSTALLATION, "Installation" },
        { TEXT_MENU_INSTALL, "&Installer" },
        { TEXT_MENU_UNINSTALL, "&Désinstaller" },
        { TEXT_MENU_REINSTALL, "&Réinstaller" },
        { TEXT_MENU_PLAY, "&Jouer" },
        { TEXT_MENU_SETUP, "Ré&glage" },
        { TEXT_MENU_CHECK, "&Vérifier" },
        { TEXT_MENU_README, "Lisez-&moi" },
        { TEXT_MENU_EXIT, "&Quitter" },
        { TEXT_MENU_ARTBOOK, "&Livre d'images" },
        { TEXT_SETUP_CAPTION, "KVL - Réglage du gestionnaire graphique" },
        { TEXT_SETUP_PLAY, "&Jouer" },
        { TEXT_BACK, "&Retour" },
        { TEXT_SETUP_DEVICE_LABEL, "Afficher Périphérique" },
        { TEXT_SETUP_MODE_LABEL, "Afficher Mode" },
        { TEXT_SETUP_TRANSPARENCY_NOTE, "Certaines cartes 3D ne supportent pas le mode transparent utilisé dans le jeu. Si cela se "
               "produit, cocher 'Forcer la transparence' la prochaine fois que vous lancez le jeu." },
        { TEXT_SETUP_TRANSPARENCY, "Forcer la transparence" },
        { TEXT_WAIT_CAPTION, "KVL - Veuillez patienter..." },
        { TEXT_SYSINFO_CAPTION, "KVL - Informations du système" },
        { TEXT_SYSINFO_PROCESSOR, "[Microprocesseur]" },
        { TEXT_SYSINFO_MEMORY, "[Mémoire physique]" },
        { TEXT_SYSINFO_KEYBOARD, "[Clavier]" },
        { TEXT_SYSINFO_MOUSE, "[Souris]" },
        { TEXT_SYSINFO_CDROM, "[Lecteur(s) CD-ROM]" },
        { TEXT_SYSINFO_GRAPHICS, "[Carte(s) graphique(s)]" },
        { TEXT_SYSINFO_SOUND, "[Carte(s) son]" },
        { TEXT_ARTBOOK_CAPTION, "KVL - Livre d'images" },
        { TEXT_ARTBOOK_LEVEL, "Niveau" },
        { TEXT_LEVEL_1_NAME, "Le toit" },
        { TEXT_LEVEL_2_NAME, "La raffinerie" },
        { TEXT_LEVEL_3_NAME, "La végétation" },
        { TEXT_LEVEL_4_NAME, "Les prisons" },
        { TEXT_LEVEL_5_NAME, "Les cuisines" },
        { TEXT_LEVEL_6_NAME, "Les piscines" },
        { TEXT_LEVEL_7_NAME, "Le temple" },
        { TEXT_ARTBOOK_LOCKED, "Compléter chaque niveau pour accéder au livre d'images." },
        { TEXT_NAME_EMBLEM, "Emblème K.V.L" },
        { TEXT_NAME_ART_PREVIOUS, "Image précédente" },
        { TEXT_NAME_ART_NEXT, "Image suivante" },
        { TEXT_NAME_ART_LEVELS, "Choix du niveau" },
        { TEXT_NAME_SYSINFO_REPORT, "Rapport sur la machine" },
    };
    for (const auto &e : shown)
        EXPECT_EQ(At(e.n), Ansi(e.text)) << "entry " << e.n;
    for (int n = 0; n < TEXT_TABLE_SHIPPED_COUNT; n++)
        EXPECT_NE(At(n), "") << "entry " << n;
}

/* The compiler on small sources. */

/* A complete source whose entry n is the given lines, with the given rest
 * of its header line ("NAME %d"); the others are unnamed and read "x". */
static std::string SourceWith(int n, const std::string &lines, const std::string &header = "")
{
    std::string s = "# test\n";
    for (int i = 0; i < TEXT_TABLE_SHIPPED_COUNT; i++) {
        std::string head = "@" + std::to_string(i) + (i == n && !header.empty() ? " " + header : "");
        s += head + "\n" + (i == n ? lines : std::string("x\n")) + "\n";
    }
    return s;
}

static int Compile(const std::string &source, std::string *out, std::string *error)
{
    char message[300];
    int ok = CompileTextTable(source.data(), source.size(), out, message, sizeof message);
    *error = message;
    return ok;
}

/* The compiled text of entry n, raw, up to its CR LF before the next marker. */
static std::string Entry(const std::string &table, int n)
{
    size_t at = 0;
    for (int i = 0; i <= n; i++)
        at = table.find("[.]", i ? at + 1 : 0);
    size_t end = table.find("\r\n[", at);
    return table.substr(at + 3, end - at - 3);
}

TEST(TextCompile, FormatOfTheSource)
{
    std::string out, error;
    ASSERT_EQ(Compile(SourceWith(5, "# a comment\nfirst\n\nthird\\s\n\\#4 \\@ \\\\\n\n\n"), &out, &error), 1) << error;
    EXPECT_EQ(Entry(out, 5), "first\r\n\r\nthird \r\n#4 @ \\");
    ASSERT_EQ(Compile(SourceWith(6, ""), &out, &error), 1) << error;
    EXPECT_NE(out.find("[.]x\r\n[.]\r\n[.]x\r\n"), std::string::npos);
    /* CR LF sources and a byte order mark give the same table. */
    std::string crlf = "\xEF\xBB\xBF";
    for (char ch : SourceWith(5, "a\nb\n")) {
        if (ch == '\n')
            crlf += '\r';
        crlf += ch;
    }
    std::string unix;
    ASSERT_EQ(Compile(SourceWith(5, "a\nb\n"), &unix, &error), 1);
    ASSERT_EQ(Compile(crlf, &out, &error), 1) << error;
    EXPECT_EQ(out, unix);
}

TEST(TextCompile, CodePageFollowsTheEntryNumber)
{
    std::string out, error;
    for (int n : { 0, 73, 162 }) {
        ASSERT_EQ(Compile(SourceWith(n, "é à ç ô Œ\n"), &out, &error), 0) << n;
        ASSERT_EQ(Compile(SourceWith(n, "é à ç ô É\n"), &out, &error), 1) << error;
        EXPECT_EQ(Entry(out, n), "\x82 \x85 \x87 \x93 \x90") << n;
    }
    for (int n : { 74, 144, 145, 161, 163, TEXT_TABLE_SHIPPED_COUNT - 1 }) {
        ASSERT_EQ(Compile(SourceWith(n, "é à ç ô É € « »\n"), &out, &error), 1) << error;
        EXPECT_EQ(Entry(out, n), "\xe9 \xe0 \xe7 \xf4 \xc9 \x80 \xab \xbb") << n;
    }
    ASSERT_EQ(Compile(SourceWith(100, "€\n"), &out, &error), 1);
    ASSERT_EQ(Compile(SourceWith(0, "€\n"), &out, &error), 0);
    EXPECT_NE(error.find("entry 0"), std::string::npos) << error;
    EXPECT_NE(error.find("U+20AC"), std::string::npos) << error;
    ASSERT_EQ(Compile(SourceWith(80, "ł\n"), &out, &error), 0);
    EXPECT_NE(error.find("entry 80"), std::string::npos) << error;
}

TEST(TextCompile, RefusesMarkersInsideTexts)
{
    std::string out, error;
    ASSERT_EQ(Compile(SourceWith(12, "voir [.] ici\n"), &out, &error), 0);
    EXPECT_NE(error.find("entry 12"), std::string::npos) << error;
    EXPECT_NE(error.find("\"[.]\""), std::string::npos) << error;
    EXPECT_NE(error.find("line 38"), std::string::npos) << error; /* its header */
    ASSERT_EQ(Compile(SourceWith(140, "fin []\n"), &out, &error), 0);
    EXPECT_NE(error.find("entry 140"), std::string::npos) << error;
    EXPECT_NE(error.find("\"[]\""), std::string::npos) << error;
    /* Brackets that are no marker are fine, also across a line break. */
    EXPECT_EQ(Compile(SourceWith(130, "[Clavier]\n[.\n]\n"), &out, &error), 1) << error;
}

TEST(TextCompile, RefusesBrokenNumberingAndBadLines)
{
    std::string out, error;
    ASSERT_EQ(Compile("@0\na\n@2\nb\n", &out, &error), 0);
    EXPECT_NE(error.find("entry 2"), std::string::npos) << error;
    EXPECT_NE(error.find("1 expected"), std::string::npos) << error;
    ASSERT_EQ(Compile("@0\na\n@0\nb\n", &out, &error), 0);
    ASSERT_EQ(Compile("@1\na\n", &out, &error), 0);
    ASSERT_EQ(Compile("@0\na\n", &out, &error), 0);
    EXPECT_NE(error.find("missing"), std::string::npos) << error;
    ASSERT_EQ(Compile(SourceWith(3, "x\n") + "@" + std::to_string(TEXT_TABLE_SHIPPED_COUNT) + "\ny\n", &out, &error), 0);
    ASSERT_EQ(Compile("", &out, &error), 0);
    ASSERT_EQ(Compile("stray\n@0\na\n", &out, &error), 0);
    EXPECT_NE(error.find("line 1"), std::string::npos) << error;
    ASSERT_EQ(Compile("@x\n", &out, &error), 0);

    const char *bad[] = { "trailing \n", "tab\t\n", "bell\a\n", "bad \\q escape\n", "end \\\n",
                          "\xC3(\n", "\xE9t\xE9\n", "\xC0\xAF\n", "\xED\xA0\x80\n" };
    for (const char *line : bad) {
        ASSERT_EQ(Compile(SourceWith(20, line), &out, &error), 0) << line;
        EXPECT_NE(error.find("entry 20"), std::string::npos) << error;
    }
}

TEST(TextCompile, NamedEntriesHoldExactlyTheConversionsTheirCallerPasses)
{
    std::string out, error;
    for (const char *text : { "cpu (%sMHz)\n", "cpu (%d/%dMHz)\n", "cpu (120MHz)\n", "cpu (%5dMHz)\n",
                              "cpu (%ldMHz)\n", "cpu %d (%n)\n", "cpu (%dMHz) %\n" }) {
        ASSERT_EQ(Compile(SourceWith(91, text, "SLOW_CPU %d"), &out, &error), 0) << text;
        EXPECT_NE(error.find("entry 91"), std::string::npos) << error;
    }
    ASSERT_EQ(Compile(SourceWith(93, "%d\n%d\n", "LOW_MEMORY %d"), &out, &error), 0);
    EXPECT_NE(error.find("entry 93"), std::string::npos) << error;
    /* A named entry without conversions is shown as it stands: a "%" in it
     * would be read as one if the code ever formatted it. */
    ASSERT_EQ(Compile(SourceWith(105, "K.V.L %s\n", "MENU_CAPTION"), &out, &error), 0);
    EXPECT_NE(error.find("entry 105"), std::string::npos) << error;
    /* "%%" is a literal, and the game's own (unnamed) texts keep their "%"s. */
    EXPECT_EQ(Compile(SourceWith(92, "100%% : %dM\n", "LOW_MEMORY %d"), &out, &error), 1) << error;
    EXPECT_EQ(Compile(SourceWith(94, "Page %d/%d %s 100%\n"), &out, &error), 1) << error;
    /* A header declares conversions and nothing else, and a name once. */
    for (const char *header : { "SLOW_CPU d", "SLOW_CPU %%", "slow_cpu", "SLOW_CPU%d", "SLOW_CPU %d x" })
        EXPECT_EQ(Compile(SourceWith(91, "cpu (%dMHz)\n", header), &out, &error), 0) << header;
    std::string twice = SourceWith(90, "x\n", "SAME");
    twice.replace(twice.find("@91\n"), 4, "@91 SAME\n");
    ASSERT_EQ(Compile(twice, &out, &error), 0);
    EXPECT_NE(error.find("SAME already given to entry 90"), std::string::npos) << error;
}

TEST(TextCompile, NamesHeaderNumbersEachNamedEntry)
{
    std::string out, error;
    std::vector<TextName> names;
    char message[300];
    std::string source = SourceWith(91, "cpu (%dMHz)\n", "SLOW_CPU %d # comment");
    ASSERT_EQ(CompileTextTable(source.data(), source.size(), &out, message, sizeof message, &names), 1) << message;
    ASSERT_EQ(names.size(), 1u);
    std::string header = TextNamesHeader(names);
    EXPECT_NE(header.find("    TEXT_SLOW_CPU = 91, /* formatted with %d */\n"), std::string::npos) << header;
}

TEST(TextCompile, ToolExitsWithOneOnAnError)
{
    std::string dir = KVL_BINARY_DIR "/textcompile_test";
    std::string source = dir + "/bad.txt", table = dir + "/table.bin";
    ASSERT_EQ(system(("mkdir -p '" + dir + "'").c_str()), 0);
    FILE *f = fopen(source.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::string text = SourceWith(7, "a [] b\n");
    fwrite(text.data(), 1, text.size(), f);
    fclose(f);
    std::string command = KVL_BINARY_DIR "/bin/mktexttable '" + source + "' '" + table + "' 2>&1";
    FILE *p = popen(command.c_str(), "r");
    ASSERT_NE(p, nullptr);
    char line[400] = "";
    ASSERT_NE(fgets(line, sizeof line, p), nullptr);
    char more[8];
    EXPECT_EQ(fgets(more, sizeof more, p), nullptr); /* one line only */
    int status = pclose(p);
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_NE(strstr(line, "bad.txt"), nullptr) << line;
    EXPECT_NE(strstr(line, "entry 7"), nullptr) << line;
    EXPECT_NE(strstr(line, "[]"), nullptr) << line;
}
