#include <gtest/gtest.h>
#include <vector>

#include "common/warnflags.h"
#include "graphics/colourdepth.h"

/* The user's answers, in order: result of the dialog and the box's tick. */
struct Answer {
    int result;
    int ticked;
};
static std::vector<Answer> Answers;
static std::vector<unsigned int> Shown;
static int HighColourModes;
static int HighColourAsked;
static int Remembered;

static int Warn(unsigned int flags, int *dontShowAgain)
{
    Shown.push_back(flags);
    if (Shown.size() > Answers.size()) {
        ADD_FAILURE() << "one warning too many";
        return -1;
    }
    *dontShowAgain = Answers[Shown.size() - 1].ticked;
    return Answers[Shown.size() - 1].result;
}

static int CountModes(void)
{
    HighColourAsked++;
    return HighColourModes;
}

static void Remember(void) { Remembered++; }

static int Check(int bits, int highColour, int noWarning, std::vector<Answer> answers)
{
    Answers = answers;
    Shown.clear();
    HighColourModes = highColour;
    HighColourAsked = 0;
    Remembered = 0;
    return RunColourDepthCheck(bits, CountModes, noWarning, Warn, Remember);
}

static const unsigned int First = WARN_DONT_SHOW_AGAIN;
static const unsigned int Second = WARN_DONT_SHOW_AGAIN | WARN_CANCEL;

TEST(ColourDepthCheck, HighColourDesktopShowsNothing)
{
    for (int bits : { 15, 16, 24, 32 }) {
        EXPECT_EQ(Check(bits, 0, 0, {}), 1) << bits;
        EXPECT_TRUE(Shown.empty());
        EXPECT_EQ(HighColourAsked, 0);
    }
}

TEST(ColourDepthCheck, EightBitsWithHighColourSettings)
{
    EXPECT_EQ(Check(8, 4, 0, { { 1, 0 } }), 1);
    EXPECT_EQ(Shown, std::vector<unsigned int>{ Second });
    EXPECT_EQ(Check(8, 4, 0, { { 0, 0 } }), 0);
    EXPECT_EQ(Check(8, 4, 0, { { -1, 0 } }), 0);
    EXPECT_EQ(Remembered, 0);
}

TEST(ColourDepthCheck, EightBitsWithoutHighColourSettingsWarnsTwice)
{
    EXPECT_EQ(Check(8, 0, 0, { { 1, 0 }, { 1, 0 } }), 1);
    EXPECT_EQ(Shown, (std::vector<unsigned int>{ First, Second }));
    EXPECT_EQ(Check(8, 0, 0, { { 1, 0 }, { 0, 0 } }), 0);
    EXPECT_EQ(Shown.size(), 2u);
    /* Closing the first ends the check. */
    EXPECT_EQ(Check(8, 0, 0, { { 0, 0 } }), 0);
    EXPECT_EQ(Shown, std::vector<unsigned int>{ First });
}

TEST(ColourDepthCheck, DontShowAgainIsKeptWhicheverButton)
{
    EXPECT_EQ(Check(8, 4, 0, { { 0, 1 } }), 0);
    EXPECT_EQ(Remembered, 1);
    EXPECT_EQ(Check(8, 4, 0, { { 1, 1 } }), 1);
    EXPECT_EQ(Remembered, 1);
    /* On the first of the pair, a tick skips the second. */
    EXPECT_EQ(Check(8, 0, 0, { { 1, 1 } }), 1);
    EXPECT_EQ(Shown.size(), 1u);
    EXPECT_EQ(Remembered, 1);
    EXPECT_EQ(Check(8, 0, 0, { { 0, 1 } }), 0);
    EXPECT_EQ(Remembered, 1);
    /* A tick on the second only. */
    EXPECT_EQ(Check(8, 0, 0, { { 1, 0 }, { 0, 1 } }), 0);
    EXPECT_EQ(Remembered, 1);
}

TEST(ColourDepthCheck, StoredChoiceIsHonoured)
{
    EXPECT_EQ(Check(8, 0, 1, {}), 1);
    EXPECT_TRUE(Shown.empty());
    EXPECT_EQ(Check(4, 4, 1, {}), 1);
    EXPECT_TRUE(Shown.empty());
}
