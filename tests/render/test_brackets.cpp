// Bracket colouring and definition emphasis of sentence texts.
#include "render/brackets.h"
#include "text/sjis.h"

#include <gtest/gtest.h>
#include <random>
#include <string>

namespace tavrel::render {
namespace {

// Distinct colours per slot, so every span tells which slot it came from.
OptionBlock bracketColours() {
    OptionBlock o;
    o[FontColorBrachet1A] = 0x0000A1;  // "A10000"
    o[FontColorBrachet1B] = 0x0000B1;  // "B10000"
    o[FontColorBrachet2A] = 0x0000A2;
    o[FontColorBrachet2B] = 0x0000B2;
    o[FontColorBrachet3A] = 0x0000A3;
    o[FontColorBrachet3B] = 0x0000B3;
    return o;
}

std::string span(const char* rgb) { return std::string("<span style=\"background-color: #") + rgb + "\">"; }

// The coloured form of one pair of depth d (0-2) around inner.
std::string coloured(int d, const std::string& inner) {
    static const char* a[] = {"A10000", "A20000", "A30000"};
    static const char* b[] = {"B10000", "B20000", "B30000"};
    return span(b[d]) + span(a[d]) + SJ("（") + "</span>" + inner + span(a[d]) + SJ("）") + "</span></span>";
}

std::string plain(const std::string& inner) { return SJ("（") + inner + SJ("）"); }

// Eight double-byte characters: 16 bytes, the shortest inner text coloured.
const std::string& sixteen() { return SJ("建築物の敷地面積"); }

TEST(BracketColouring, ColoursALongPairWithTheOutermostColoursByteForByte) {
    std::string text = SJ("前") + plain(sixteen()) + SJ("後");
    ASSERT_TRUE(colourBrackets(text, bracketColours()));
    EXPECT_EQ(text, SJ("前") + coloured(0, sixteen()) + SJ("後"));
}

TEST(BracketColouring, InnerTextOfFifteenBytesOrFewerStaysPlain) {
    const std::string fifteen = SJ("建築物の敷地") + "abc";  // 12 + 3 bytes
    ASSERT_EQ(fifteen.size(), 15u);
    std::string text = plain(fifteen);
    ASSERT_TRUE(colourBrackets(text, bracketColours()));
    EXPECT_EQ(text, plain(fifteen));

    const std::string sixteenMixed = fifteen + "d";
    text = plain(sixteenMixed);
    ASSERT_TRUE(colourBrackets(text, bracketColours()));
    EXPECT_EQ(text, coloured(0, sixteenMixed));
}

TEST(BracketColouring, ShortPairsCountForTheDepthOfTheirNeighbours) {
    // Outer pair (depth 0) holding a short pair and a long pair, both depth 1;
    // the long one holds a long pair of depth 2.
    const std::string shortPair = plain(SJ("同じ"));
    const std::string deepest = plain(sixteen());
    const std::string middle = plain(sixteen() + deepest);
    std::string text = plain(shortPair + middle);
    ASSERT_TRUE(colourBrackets(text, bracketColours()));
    EXPECT_EQ(text, coloured(0, shortPair + coloured(1, sixteen() + coloured(2, sixteen()))));
}

TEST(BracketColouring, AFourthLevelStaysPlainWhileTheThreeOuterLevelsAreColoured) {
    const std::string level3 = plain(sixteen());
    const std::string level2 = plain(sixteen() + level3);
    const std::string level1 = plain(sixteen() + level2);
    std::string text = plain(sixteen() + level1);
    ASSERT_TRUE(colourBrackets(text, bracketColours()));
    EXPECT_EQ(text, coloured(0, sixteen() + coloured(1, sixteen() + coloured(2, sixteen() + level3))));
}

TEST(BracketColouring, UnbalancedTexts) {
    // One "）" too many: nothing is coloured, the text is unchanged.
    const std::string extraClose = plain(sixteen()) + SJ("）") + plain(sixteen());
    std::string text = extraClose;
    EXPECT_FALSE(colourBrackets(text, bracketColours()));
    EXPECT_EQ(text, extraClose);

    // A "）" before any "（".
    text = SJ("）") + plain(sixteen());
    EXPECT_FALSE(colourBrackets(text, bracketColours()));
    EXPECT_EQ(text, SJ("）") + plain(sixteen()));

    // One "（" too many: the pairs that match are coloured, by their own depth
    // (the unmatched "（" stays open around them and makes them depth 1).
    text = SJ("（") + sixteen() + plain(sixteen());
    EXPECT_TRUE(colourBrackets(text, bracketColours()));
    EXPECT_EQ(text, SJ("（") + sixteen() + coloured(1, sixteen()));

    // A text without brackets is fine and unchanged.
    text = SJ("建築物");
    EXPECT_TRUE(colourBrackets(text, bracketColours()));
    EXPECT_EQ(text, SJ("建築物"));
}

TEST(BracketColouring, OnlyRealBracketCharactersCount) {
    // "＝" is 0x81 0x81; followed by "j" (0x6A) its trail byte and the "j"
    // spell the bytes of "）", and followed by "i" those of "（".
    ASSERT_EQ(SJ("＝"), std::string("\x81\x81"));
    ASSERT_EQ(SJ("）"), std::string("\x81\x6A"));
    ASSERT_EQ(SJ("（"), std::string("\x81\x69"));
    const std::string fakeClose = SJ("＝") + "j";
    const std::string fakeOpen = SJ("＝") + "i";

    // A byte-wise scan would see an unmatched "）" and give up.
    std::string text = fakeClose + plain(sixteen());
    ASSERT_TRUE(colourBrackets(text, bracketColours()));
    EXPECT_EQ(text, fakeClose + coloured(0, sixteen()));

    // A byte-wise scan would pair the real "）" with the fake "（" inside.
    const std::string inner = sixteen() + fakeOpen;
    text = plain(inner);
    ASSERT_TRUE(colourBrackets(text, bracketColours()));
    EXPECT_EQ(text, coloured(0, inner));
}

const std::string kBold = "<B STYLE=\"color: #996633\">";

std::string bold(const std::string& term) { return kBold + term + "</B>"; }

TEST(DefinitionEmphasis, EveryOccurrenceOfTheDefinedTermIsBold) {
    const std::string term = SJ("「建築物」");
    const std::string text = SJ("土地に定着する工作物（以下") + term + SJ("という。）で、") + term + SJ("の敷地");
    EXPECT_EQ(emphasiseDefinitions(text),
              SJ("土地に定着する工作物（以下") + bold(term) + SJ("という。）で、") + bold(term) + SJ("の敷地"));
}

TEST(DefinitionEmphasis, AnOccurrenceBeforeTheDefinitionIsBoldToo) {
    const std::string term = SJ("「用途」");
    const std::string text = SJ("前の") + term + SJ("、次の") + term + SJ("という。");
    // The first 「 opens 「用途」 whose 」 closes an ordinary quotation: the scan
    // goes on and finds the definition; the replacement covers both.
    EXPECT_EQ(emphasiseDefinitions(text), SJ("前の") + bold(term) + SJ("、次の") + bold(term) + SJ("という。"));
}

TEST(DefinitionEmphasis, AnOrdinaryQuotationIsLeftAloneAndTheScanGoesOn) {
    const std::string text = SJ("「特定」の語を含む「居室」という。");
    EXPECT_EQ(emphasiseDefinitions(text), SJ("「特定」の語を含む") + bold(SJ("「居室」")) + SJ("という。"));

    const std::string none = SJ("「特定」の語と「居室」の語");
    EXPECT_EQ(emphasiseDefinitions(none), none);
}

TEST(DefinitionEmphasis, SeveralDefinitionsInOneSentence) {
    const std::string text = SJ("「甲」という。「乙」という。甲乙「甲」「乙」");
    EXPECT_EQ(emphasiseDefinitions(text), bold(SJ("「甲」")) + SJ("という。") + bold(SJ("「乙」")) +
                                              SJ("という。甲乙") + bold(SJ("「甲」")) + bold(SJ("「乙」")));
}

TEST(DefinitionEmphasis, DistanceLimitOf82Bytes) {
    // From 「 to the 」 of 」という。: 2 + filler bytes.
    const std::string reach81 = SJ("「") + std::string(79, 'a') + SJ("」という。");
    EXPECT_EQ(emphasiseDefinitions(reach81), bold(SJ("「") + std::string(79, 'a') + SJ("」")) + SJ("という。"));

    const std::string reach82 = SJ("「") + std::string(80, 'a') + SJ("」という。") + SJ("「短」という。");
    // The first definition is too long: the scan stops, later ones included.
    EXPECT_EQ(emphasiseDefinitions(reach82), reach82);
}

TEST(DefinitionEmphasis, TextsWithoutADefinitionStayUnchanged) {
    for (const std::string& t :
         {std::string(), SJ("「"), SJ("」という。"), SJ("」という。「後"), SJ("「」"), std::string("abc")}) {
        EXPECT_EQ(emphasiseDefinitions(t), t);
    }
    // The empty term 「」 is a term like any other.
    EXPECT_EQ(emphasiseDefinitions(SJ("「」という。")), bold(SJ("「」")) + SJ("という。"));
}

// Random texts built from markup fragments and random bytes: the transforms
// must end, stay in bounds, and only ever insert their own markup.
std::string randomText(std::mt19937& rng) {
    static const std::vector<std::string> pieces = {
        SJ("（"), SJ("）"), SJ("「"), SJ("」"), SJ("」という。"), SJ("建築物"), SJ("＝"), "i",  "j", "a",
        "[",      "]",      SJ("ー"), SJ("第"), SJ("条"),         "[K",         "K]",     "[L", "L]"};
    std::uniform_int_distribution<int> count(0, 40);
    std::uniform_int_distribution<size_t> pick(0, pieces.size() * 2);
    std::uniform_int_distribution<int> byte(0, 255);
    std::string s;
    const int n = count(rng);
    for (int i = 0; i < n; ++i) {
        const size_t k = pick(rng);
        if (k < pieces.size()) {
            s += pieces[k];
        } else {
            char c = static_cast<char>(byte(rng));
            if (c == '<') c = '>';  // only the transforms write "<"
            s += c;
        }
    }
    return s;
}

std::string removeAll(std::string s, const std::vector<std::string>& inserted) {
    for (const std::string& piece : inserted) s = text::replaceAll(s, piece, "");
    return s;
}

TEST(TransformRobustness, RandomTextsEndAndOnlyGainTheirOwnMarkup) {
    std::mt19937 rng(20081207u);
    const OptionBlock colours = bracketColours();
    const std::vector<std::string> spans = {span("A10000"), span("B10000"), span("A20000"), span("B20000"),
                                            span("A30000"), span("B30000"), "</span>"};
    for (int i = 0; i < 20000; ++i) {
        const std::string input = randomText(rng);

        std::string b = input;
        if (colourBrackets(b, colours)) {
            // At most two brackets per pair, five spans per pair.
            EXPECT_LE(b.size(), input.size() + input.size() / 2 * 200);
            EXPECT_EQ(removeAll(b, spans), input);
        } else {
            EXPECT_EQ(b, input);
        }

        const std::string e = emphasiseDefinitions(input);
        EXPECT_LE(e.size(), input.size() * (1 + input.size()));
        EXPECT_EQ(removeAll(e, {kBold, "</B>"}), input);
        if (::testing::Test::HasFailure()) {
            ADD_FAILURE() << "input (UTF-8): " << text::toUtf8(input);
            break;
        }
    }
}

}  // namespace
}  // namespace tavrel::render
