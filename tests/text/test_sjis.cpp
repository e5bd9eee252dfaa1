#include "text/sjis.h"

#include <gtest/gtest.h>

using namespace tavrel::text;

namespace {
// "（" is 0x81 0x69 in CP932, "）" is 0x81 0x6A.
const std::string kOpenParen = "\x81\x69";
}  // namespace

TEST(LeadByte, RangesAreExact) {
    EXPECT_FALSE(isLeadByte(static_cast<unsigned char>(0x80)));
    EXPECT_TRUE(isLeadByte(static_cast<unsigned char>(0x81)));
    EXPECT_TRUE(isLeadByte(static_cast<unsigned char>(0x9F)));
    EXPECT_FALSE(isLeadByte(static_cast<unsigned char>(0xA0)));  // half-width katakana
    EXPECT_FALSE(isLeadByte(static_cast<unsigned char>(0xDF)));
    EXPECT_TRUE(isLeadByte(static_cast<unsigned char>(0xE0)));
    EXPECT_TRUE(isLeadByte(static_cast<unsigned char>(0xFC)));
    EXPECT_FALSE(isLeadByte(static_cast<unsigned char>(0xFD)));
    EXPECT_FALSE(isLeadByte('A'));
}

TEST(SafeCut, NeverSplitsADoubleByteCharacter) {
    const std::string s = SJ("第3条の2");  // 2 + 1 + 2 + 2 + 1 bytes
    ASSERT_EQ(s.size(), 8u);
    EXPECT_EQ(safeCut(s, 0), "");
    EXPECT_EQ(safeCut(s, 1), "");            // inside 第
    EXPECT_EQ(safeCut(s, 2), SJ("第"));
    EXPECT_EQ(safeCut(s, 3), SJ("第3"));
    EXPECT_EQ(safeCut(s, 4), SJ("第3"));     // inside 条
    EXPECT_EQ(safeCut(s, 100), s);
    // A trail byte in the ASCII range (0x5C, 0x40 ...) must not be taken for a character start.
    const std::string so = SJ("ソ表");  // ソ = 0x83 0x5C, 表 = 0x95 0x5C
    EXPECT_EQ(safeCut(so, 3), SJ("ソ"));
}

TEST(SafeCut, LoneLeadByteAtEndCountsAsOneCharacter) {
    const std::string s = std::string("ab") + '\x88';
    EXPECT_EQ(charLength(s, 2), 1u);
    EXPECT_EQ(safeCut(s, 3), s);
    EXPECT_EQ(singleByteCount(s), 3u);
}

TEST(SingleByteCount, SkipsDoubleByteCharacters) {
    EXPECT_EQ(singleByteCount(SJ("第12条abc")), 5u);
    EXPECT_EQ(singleByteCount(""), 0u);
    EXPECT_EQ(singleByteCount(SJ("ソソ")), 0u);
}

TEST(FindText, OnlyMatchesOnCharacterBoundaries) {
    // 0x81 0x69 appears across the characters 0x88 0x81 and 0x69 ('i') ... build such a text:
    // "亜" is 0x88 0x9F; use a character ending in 0x81 followed by 'i' (0x69).
    const std::string straddle = std::string("\x88\x81") + "i";  // 0x8881 is a kanji, then ASCII 'i'
    EXPECT_EQ(straddle.find(kOpenParen), 1u);                     // a byte search would match here
    EXPECT_EQ(findText(straddle, kOpenParen), std::string::npos);
    const std::string real = straddle + kOpenParen;
    EXPECT_EQ(findText(real, kOpenParen), 3u);
    EXPECT_EQ(findText(real, kOpenParen, 4), std::string::npos);
}

// Against a walk over every character boundary, on texts mixing bytes that
// may be lead bytes, trail bytes or both, so that runs of lead-range bytes of
// every length and parity occur before candidates.
TEST(FindText, AgreesWithAWalkOverEveryCharacterBoundaryOnMixedBytes) {
    const auto walk = [](std::string_view hay, std::string_view needle, size_t from) {
        if (needle.empty()) return from <= hay.size() ? from : std::string::npos;
        size_t i = 0;
        while (i < from && i < hay.size()) i += charLength(hay, i);
        for (; i + needle.size() <= hay.size(); i += charLength(hay, i))
            if (hay.compare(i, needle.size(), needle) == 0) return i;
        return std::string::npos;
    };
    const unsigned char alphabet[] = {'a', 'i', 0x40, 0x5C, 0x69, 0x81, 0x88, 0x95, 0x9F, 0xA0, 0xE0, 0xFC};
    unsigned seed = 7;
    const auto next = [&] { return seed = seed * 1103515245u + 12345u, (seed >> 16) & 0x7FFF; };
    size_t found = 0;
    for (int round = 0; round < 20000; ++round) {
        std::string hay, needle;
        for (unsigned n = next() % 24; n > 0; --n) hay += static_cast<char>(alphabet[next() % sizeof alphabet]);
        for (unsigned n = 1 + next() % 3; n > 0; --n) needle += static_cast<char>(alphabet[next() % sizeof alphabet]);
        const size_t from = next() % (hay.size() + 2);
        const size_t expected = walk(hay, needle, from);
        ASSERT_EQ(findText(hay, needle, from), expected) << "round " << round;
        found += expected != std::string::npos;
        // Replacing walks the same boundaries: the hits left to right, each
        // search going on at the first boundary after the previous hit.
        std::string replaced;
        size_t pos = 0;
        for (size_t at = walk(hay, needle, 0); at != std::string::npos; at = walk(hay, needle, pos)) {
            replaced += hay.substr(pos, at - pos) + "<>";
            pos = at + needle.size();
        }
        replaced += hay.substr(pos);
        ASSERT_EQ(replaceAll(hay, needle, "<>"), replaced) << "round " << round;
    }
    EXPECT_GT(found, 1000u) << "the texts hold matches";
}

TEST(ReplaceAll, ReplacesAlignedOccurrencesOnly) {
    EXPECT_EQ(replaceAll(SJ("甲　乙　丙"), SJ("　"), " "), SJ("甲 乙 丙"));
    const std::string straddle = std::string("\x88\x81") + "i";
    EXPECT_EQ(replaceAll(straddle, kOpenParen, "X"), straddle);
    EXPECT_EQ(replaceAll("aaa", "", "b"), "aaa");
    EXPECT_EQ(replaceAll("./images/a ./images/b", "./images/", "/x/"), "/x/a /x/b");
    EXPECT_EQ(replaceAll("aaaa", "aa", "b"), "bb");
    EXPECT_EQ(replaceAll("\n\n<br>", "\n<br>", "<br>"), "\n<br>");
    // A needle ending in a lead byte takes the whole character with it; the
    // search goes on at the next character boundary.
    const std::string kanji = SJ("亜亜");
    EXPECT_EQ(replaceAll("a" + kanji, std::string("a") + kanji[0], "-"), "-" + kanji.substr(1));
    // Many hits in a long text.
    std::string many;
    for (int i = 0; i < 20000; ++i) many += SJ("表") + "\n</td>";
    std::string expected;
    for (int i = 0; i < 20000; ++i) expected += SJ("表") + "</td>";
    EXPECT_EQ(replaceAll(many, "\n</td>", "</td>"), expected);
}

TEST(Trim, AsciiAndFullWidthSpaces) {
    EXPECT_EQ(trimAscii(" \t a b \r\n"), "a b");
    EXPECT_EQ(trimWide(SJ("　 第一　")), SJ("第一"));
    // 0x81 0x40 as the trail of a lead byte: "＠" is 0x81 0x97; a kanji with trail byte 0x40 is "ァ"
    // (0x83 0x40); trimming must not cut its trail byte.
    EXPECT_EQ(trimWide(SJ("ァ")), SJ("ァ"));
    EXPECT_EQ(trimWide(SJ("　　")), "");
}

TEST(UpperAscii, LeavesDoubleByteTrailBytesAlone) {
    // "ア" is 0x83 0x41 ('A'); "ヂ" is 0x83 0x61 ('a'): its trail byte must not be upper-cased.
    EXPECT_EQ(upperAscii(SJ("bヂc")), SJ("BヂC"));
}

TEST(ToLong, CStyleConversion) {
    EXPECT_EQ(toLong("0012"), 12);
    EXPECT_EQ(toLong("12ab"), 12);
    EXPECT_EQ(toLong("ab"), 0);
    EXPECT_EQ(toLong(""), 0);
    EXPECT_EQ(toLong("-3"), -3);
    EXPECT_GT(toLong("99999999999999999999999"), 0);  // saturates, never overflows
}

TEST(Format, PrintfStyle) {
    EXPECT_EQ(format("%02X%02X%02X", 0x69, 0x69, 0x69), "696969");
    EXPECT_EQ(format("(P.%02d/%02d)", 2, 3), "(P.02/03)");
    EXPECT_EQ(format("%s", std::string(5000, 'x').c_str()).size(), 5000u);
}

TEST(Conversion, RoundTripsJapanese) {
    const std::string utf8 = "建築基準法施行令　第１２０条（直通階段の設置）～①ⅰ㎝";
    bool ok = false;
    const std::string sj = fromUtf8(utf8, &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(toUtf8(sj), utf8);
    EXPECT_EQ(sj.substr(0, 2), "\x8C\x9A");  // 建
}

TEST(Conversion, BackslashAndTildeStaySingleByte) {
    EXPECT_EQ(fromUtf8("a\\b~c"), "a\\b~c");
    EXPECT_EQ(toUtf8("a\\b~c"), "a\\b~c");
}

TEST(Conversion, BadInputNeverFails) {
    bool ok = true;
    EXPECT_EQ(fromUtf8("a\xFF" "b", &ok), "a?b");
    EXPECT_FALSE(ok);
    EXPECT_EQ(fromUtf8("\xF0\x9F\x98\x80", &ok), "?");  // emoji: no CP932 form
    EXPECT_FALSE(ok);
    // A lone lead byte at the end and an undefined byte become U+FFFD.
    EXPECT_EQ(toUtf8(std::string("a") + '\x88'), "a\xEF\xBF\xBD");
    EXPECT_EQ(toUtf8(std::string("\xFD") + "b"), "\xEF\xBF\xBD" "b");
    EXPECT_EQ(toUtf8(""), "");
}

TEST(SjLiteral, ConvertsOnceAndIsStable) {
    const std::string& a = SJ("関数 = ");
    EXPECT_EQ(a, fromUtf8("関数 = "));
    // One SJ() expression yields the same object every time it runs.
    const std::string* first = nullptr;
    for (int i = 0; i < 2; ++i) {
        const std::string& v = SJ("附則");
        if (!first) first = &v;
        EXPECT_EQ(first, &v);
    }
}
