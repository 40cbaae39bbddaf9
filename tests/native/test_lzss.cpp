/* The LZSS decoder and encoder of the packed image files. */
#include <gtest/gtest.h>

#include <stdlib.h>
#include <string.h>
#include <string>
#include <vector>

#include "artbook/lzss.h"
#include "artbook/lzsspack.h"
#include "artbook/ppk.h"
#include "tests/native/lzss_reference.h"

using Bytes = std::vector<unsigned char>;

static Bytes B(std::initializer_list<int> v)
{
    Bytes b;
    for (int x : v)
        b.push_back((unsigned char)x);
    return b;
}

static std::string Decode(const Bytes &in, size_t capacity = 4096)
{
    Bytes out(capacity + 1, 0xCC);
    size_t n = LzssDecode(out.data(), capacity, in.data(), in.size());
    EXPECT_EQ(out[capacity], 0xCC) << "wrote past the capacity";
    return std::string(out.begin(), out.begin() + n);
}

TEST(LzssDecode, WorkedExamples)
{
    EXPECT_EQ(Decode(B({0x01, 'A', 0xEE, 0xF2})), "AAAAAA");
    EXPECT_EQ(Decode(B({0x00, 0x00, 0x00})), "   ");
    EXPECT_EQ(Decode(B({0xFF, 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 0x01, 'i'})), "abcdefghi");
}

TEST(LzssDecode, LengthCodesZeroAndFifteen)
{
    /* "abc", then a match at 4078 of code 0 (3 bytes) and one of code 15
     * (18 bytes, overlapping its own output). */
    std::string s = Decode(B({0x07, 'a', 'b', 'c', 0xEE, 0xF0, 0xEE, 0xFF}));
    EXPECT_EQ(s, "abc" "abc" "abcabcabcabcabcabc");
    EXPECT_EQ(Decode(B({0x00, 0x10, 0x0F})), std::string(18, ' '));
}

TEST(LzssDecode, MatchOverTheStartUpBlanksStaysInsideTheOutput)
{
    /* A whole file: one literal, then a match from position 4077 whose
     * first byte is a start-up blank and whose others are this decode's
     * own output. Run under UBSan, which stops at any pointer formed
     * outside the output buffer. */
    const unsigned char file[] = { 4, 0, 0, 0, 4, 0, 0, 0, 'P', 0, 0, 0, 0x01, 'A', 0xED, 0xF0 };
    unsigned char *out = UnpackPpkImage(file, sizeof file, NULL, 0);
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(std::string((const char *)out, 4), "A A ");
    free(out);
}

TEST(LzssDecode, StopsAtThePackedLengthAndAtTruncatedTokens)
{
    /* Flag byte says eight literals; only two follow. */
    EXPECT_EQ(Decode(B({0xFF, 'x', 'y'})), "xy");
    /* A flag byte as the last byte, and a match with one byte left. */
    EXPECT_EQ(Decode(B({0x03, 'x', 'y', 0x00})), "xy");
    EXPECT_EQ(Decode(B({0x02, 'x'})), "");
    EXPECT_EQ(Decode(B({0x01, 'x', 0xEE})), "x");
    EXPECT_EQ(Decode(Bytes()), "");
    EXPECT_EQ(LzssDecode(NULL, 0, NULL, 0), 0u);
}

TEST(LzssDecode, NeverWritesPastTheCapacity)
{
    EXPECT_EQ(Decode(B({0x00, 0x10, 0x0F}), 5), "     ");
    EXPECT_EQ(Decode(B({0x03, 'a', 'b', 0x00, 0x0F}), 1), "a");
    EXPECT_EQ(Decode(B({0x01, 'a'}), 0), "");
    /* A match cut to one or two bytes by the end of the output. */
    EXPECT_EQ(Decode(B({0x07, 'a', 'b', 'c', 0xEE, 0xF0}), 4), "abca");
    EXPECT_EQ(Decode(B({0x07, 'a', 'b', 'c', 0xEE, 0xF0}), 5), "abcab");
    EXPECT_EQ(Decode(B({0x01, 'a', 0xEE, 0xF0}), 2), "aa");
}

TEST(LzssDecode, LeavesNothingButZerosAfterTheProducedBytes)
{
    /* Three groups of literals, a group of eight 3-byte matches from far
     * back, then a tail of 12 literals and a cut match: the tail produces
     * fewer bytes than a whole-group decoder may have copied ahead. */
    Bytes in;
    for (int g = 0; g < 3; g++) {
        in.push_back(0xFF);
        for (int i = 0; i < 8; i++)
            in.push_back((unsigned char)('a' + g * 8 + i));
    }
    in.push_back(0x00);
    for (int j = 0; j < 8; j++) {
        in.push_back((unsigned char)(0xEE + j));
        in.push_back(0xF0);
    }
    Bytes tail = B({0xFF, '1', '2', '3', '4', '5', '6', '7', '8', 0x0F, '9', '0', '1', '2', 0x11});
    in.insert(in.end(), tail.begin(), tail.end());
    Bytes out(400, 0), ref(400, 0);
    size_t n = LzssDecode(out.data(), out.size(), in.data(), in.size());
    EXPECT_EQ(n, RefDecode(ref.data(), ref.size(), in.data(), in.size()));
    EXPECT_EQ(n, 24u + 24u + 12u);
    EXPECT_EQ(out, ref);
}

TEST(LzssDecode, RingIsResetBetweenDecodesExceptItsLastEighteenBytes)
{
    /* 18 literals fill positions 4078-4095, then a 3-byte match there. */
    Bytes fill = B({0xFF, 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 0xFF, 'i', 'j', 'k', 'l', 'm', 'n', 'o',
                    'p', 0x03, 'q', 'r'});
    EXPECT_EQ(Decode(fill), "abcdefghijklmnopqr");
    const unsigned char *ring = LzssRing();
    EXPECT_EQ(std::string((const char *)ring + 4078, 18), "abcdefghijklmnopqr");

    /* A stream that reads 4078-4095 before writing them sees the leftovers
     * of the decode before; the spaces at 0-4077 are back. */
    EXPECT_EQ(Decode(B({0x00, 0xEE, 0xF2, 0x00, 0x00})), "abcde" "   ");
    /* That decode wrote "abcde" then 3 spaces at 4078-4085; 4086- stay. */
    EXPECT_EQ(std::string((const char *)ring + 4078, 18), "abcde   ijklmnopqr");

    /* A well-formed stream gives the same bytes twice in a row. */
    Bytes wf = B({0x01, 'A', 0xEE, 0xF2});
    EXPECT_EQ(Decode(wf), Decode(wf));
}

TEST(LzssDecode, MatchesTheRingDecoderOnRandomStreamsAndLeftovers)
{
    srand(7);
    Bytes out(9000), ref(9000);
    for (int round = 0; round < 300; round++) {
        Bytes in(rand() % 3000);
        for (auto &b : in)
            b = (unsigned char)(rand() % 4 ? rand() : (rand() % 2 ? 0xEE : 0xF0));
        size_t cap = round % 3 ? out.size() : (size_t)(rand() % 600);
        /* Both keep their ring from the previous round. */
        size_t n = LzssDecode(out.data(), cap, in.data(), in.size());
        size_t m = RefDecode(ref.data(), cap, in.data(), in.size());
        ASSERT_EQ(n, m) << round;
        ASSERT_EQ(memcmp(out.data(), ref.data(), n), 0) << round;
        ASSERT_EQ(memcmp(LzssRing(), RefRing, 4096), 0) << round;
    }
}

TEST(LzssInspect, ReportsTruncationAndLeftoverReads)
{
    LzssStreamInfo info;
    Bytes ok = B({0x01, 'A', 0xEE, 0xF2});
    LzssInspect(ok.data(), ok.size(), &info);
    EXPECT_EQ(info.produced, 6u);
    EXPECT_EQ(info.consumed, 4u);
    EXPECT_FALSE(info.truncated);
    EXPECT_FALSE(info.readsLeftover);
    Bytes cut = B({0x01, 'A', 0xEE});
    LzssInspect(cut.data(), cut.size(), &info);
    EXPECT_TRUE(info.truncated);
    Bytes leftover = B({0x00, 0xEE, 0xF2});
    LzssInspect(leftover.data(), leftover.size(), &info);
    EXPECT_TRUE(info.readsLeftover);
    /* From 4077: a space, then each byte the match itself just wrote. */
    Bytes run = B({0x00, 0xED, 0xF2});
    LzssInspect(run.data(), run.size(), &info);
    EXPECT_FALSE(info.readsLeftover);
    Bytes late = B({0x00, 0xFA, 0xF0});
    LzssInspect(late.data(), late.size(), &info);
    EXPECT_TRUE(info.readsLeftover);
}

static Bytes RoundTrip(const Bytes &data)
{
    Bytes packed(LzssEncodeBound(data.size()));
    size_t n = 0;
    EXPECT_TRUE(LzssEncode(data.data(), data.size(), packed.data(), packed.size(), &n));
    packed.resize(n);
    LzssStreamInfo info;
    LzssInspect(packed.data(), packed.size(), &info);
    EXPECT_FALSE(info.truncated);
    EXPECT_FALSE(info.readsLeftover);
    Bytes out(data.size() + 1);
    size_t got = LzssDecode(out.data(), out.size(), packed.data(), packed.size());
    out.resize(got);
    return out;
}

TEST(LzssEncode, RoundTripsAndPacks)
{
    Bytes empty;
    EXPECT_EQ(RoundTrip(empty), empty);
    Bytes spaces(10000, ' ');
    EXPECT_EQ(RoundTrip(spaces), spaces);
    Bytes text;
    const char *words[] = { "toit ", "raffinerie ", "temple ", "piscine ", "\r\n" };
    srand(3);
    for (int i = 0; i < 20000; i++)
        for (const char *c = words[rand() % 5]; *c; c++)
            text.push_back((unsigned char)*c);
    EXPECT_EQ(RoundTrip(text), text);
    Bytes noise(70000);
    for (auto &b : noise)
        b = (unsigned char)rand();
    EXPECT_EQ(RoundTrip(noise), noise);
    for (size_t n = 1; n < 40; n++) {
        Bytes small(noise.begin(), noise.begin() + n);
        EXPECT_EQ(RoundTrip(small), small) << n;
    }

    /* Repetitive data packs well; the ring's initial spaces are used. */
    size_t n = 0;
    Bytes packed(LzssEncodeBound(text.size()));
    ASSERT_TRUE(LzssEncode(text.data(), text.size(), packed.data(), packed.size(), &n));
    EXPECT_LT(n, text.size() / 3);
    ASSERT_TRUE(LzssEncode(spaces.data(), spaces.size(), packed.data(), packed.size(), &n));
    EXPECT_LT(n, 10000u / 18 * 17 / 8 + 4);
    /* An output buffer too small is refused, not overrun. */
    EXPECT_FALSE(LzssEncode(noise.data(), noise.size(), packed.data(), 100, &n));
}
