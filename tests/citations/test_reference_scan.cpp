// What one sentence cites: links with their paragraph and item words, parts
// joined to them, and the relative references resolved only where the text
// makes the target certain.
#include "citations/reference_scan.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

using namespace tavrel::citations;

// target + " " + part + " " + kind, one per citation.
std::vector<std::string> cited(const SentenceScan& s) {
    std::vector<std::string> out;
    for (const SentenceCitation& c : s.citations)
        out.push_back(c.target + " " + c.part + " " + static_cast<char>(c.kind));
    return out;
}

using V = std::vector<std::string>;

// The collection of these cases holds 第6条, 第6条の2 and 第20条 of 01A.
const ArticleLookup kHolds = [](std::string_view prefix) {
    static const std::set<std::string> held = {"01A-00060000", "01A-00060200", "01A-00200000"};
    return held.count(std::string(prefix)) != 0;
};

constexpr const char* kOrder107 = "01B-01070000-00-0100-0000-0000-0000";
constexpr const char* kAct6_2 = "01A-00060200-00-0100-0000-0000-0000";
constexpr const char* kAct6 = "01A-00060000-00-0500-0000-0000-0000";
constexpr const char* kAct23 = "01A-00230000-00-0100-0000-0000-0000";

TEST(ReferenceScan, LinksWithTheirParagraphAndItemWords) {
    // Another law's article with paragraph and item; the reference words span the part.
    SentenceScan s = scanSentence(kOrder107, "法[第20条/01A]第1項第二号の政令", kHolds);
    ASSERT_EQ(cited(s), (V{"01A-00200000 第1項第二号 p"}));
    EXPECT_EQ(s.citations[0].paragraph, 1);
    EXPECT_EQ(std::string("法[第20条/01A]第1項第二号の政令").substr(s.citations[0].start,
                                                              s.citations[0].end - s.citations[0].start),
              "[第20条/01A]第1項第二号");
    // Same law, branches; an item without a paragraph belongs to paragraph 1.
    s = scanSentence(kOrder107, "[第6条の2]第6項及び[第2条]第九号の二ロ", kHolds);
    EXPECT_EQ(cited(s), (V{"01B-00060200 第6項 p", "01B-00020000 第九号の二 p"}));
    EXPECT_EQ(s.citations[1].paragraph, 1);
    // Parts joined by 、 又は 若しくは 及び から: each is cited; an item after
    // a paragraph belongs to it.
    EXPECT_EQ(cited(scanSentence(kOrder107, "法[第42条/01A]第2項、第3項又は第5項の規定", kHolds)),
              (V{"01A-00420000 第2項 p", "01A-00420000 第3項 p", "01A-00420000 第5項 p"}));
    EXPECT_EQ(cited(scanSentence(kOrder107, "[第6条/01A]第1項第一号又は第二号に掲げる", kHolds)),
              (V{"01A-00060000 第1項第一号 p", "01A-00060000 第1項第二号 p"}));
    EXPECT_EQ(cited(scanSentence(kOrder107, "[第6条/01A]第1項各号に掲げる", kHolds)),
              (V{"01A-00060000 第1項各号 p"}));
    // Explicit link markup: its 12-character target, no part.
    EXPECT_EQ(cited(scanSentence(kOrder107, "法[L別表第一/01A-T0010000L]（い）欄", kHolds)),
              (V{"01A-T0010000  m"}));
}

TEST(ReferenceScan, MarkupThePageBuilderDoesNotLinkCitesNothing) {
    // No 条 within reach, article 0, a law part that is no law identifier,
    // a target that is no page prefix.
    for (const char* text : {"[第一号]", "[第0条]", "[第3条/x]", "[L別表/01A-T001L]"})
        EXPECT_TRUE(scanSentence(kOrder107, text, kHolds).citations.empty()) << text;
    // A "[第" whose "]" lies 22 CP932 bytes or more away stops the scan: the
    // later references are not links either.
    EXPECT_TRUE(
        scanSentence(kOrder107, "[第一から第十までに掲げるもの] [第20条]", kHolds).citations.empty());
    // Citations of the sentence's own article are counted, not listed.
    const SentenceScan own = scanSentence("01A-00200000-00-0200-0000-0000-0000", "[第20条]第1項の規定", kHolds);
    EXPECT_TRUE(own.citations.empty());
    EXPECT_EQ(own.sameArticle, 1);
}

struct RelativeCase {
    const char* name;
    const char* idBN;
    const char* text;
    V expected;
    int unresolved;
    int sameArticle;
};

TEST(ReferenceScan, RelativeReferencesOnlyWhereTheTargetIsCertain) {
    const RelativeCase cases[] = {
        {"前条 in a branch article is the article before it", kAct6_2, "前条第1項各号に掲げる建築物",
         {"01A-00060000 第1項各号 a"}, 0, 0},
        {"前条 in 第6条の3 is 第6条の2", "01A-00060300-00-0100-0000-0000-0000", "前条第2項の規定",
         {"01A-00060200 第2項 a"}, 0, 0},
        {"前条 in an article without a branch is not certain", kAct23, "前条第1項の市街地の区域内",
         {}, 1, 0},
        {"次条 is the branch article the collection holds", kAct6, "次条第1項の構造計算",
         {"01A-00060200 第1項 a"}, 0, 0},
        {"次条 without a held branch article is not certain", "01A-00200000-00-0100-0000-0000-0000", "次条の規定",
         {}, 1, 0},
        {"同項 after a link is its paragraph", kOrder107, "法[第20条/01A]第1項の規定により同項第二号の",
         {"01A-00200000 第1項 p", "01A-00200000 第1項第二号 a"}, 0, 0},
        {"同条 after a link is its article", kOrder107, "[第6条/01A]第1項及び同条第7項",
         {"01A-00060000 第1項 p", "01A-00060000 第7項 a"}, 0, 0},
        {"同号 after a link is its item", kOrder107, "[第6条/01A]第1項第一号（同号に掲げる",
         {"01A-00060000 第1項第一号 p", "01A-00060000 第1項第一号 a"}, 0, 0},
        {"同条 after another law's article cites that law", kOrder107, "都市計画法第8条第1項又は同条第2項",
         {}, 0, 0},
        {"同項 with nothing named before it in the sentence", kOrder107, "同項の規定による", {}, 1, 0},
        {"同項 after 前項 is the own article", kAct6, "[第20条]の規定にかかわらず、前項の場合において同項の",
         {"01A-00200000  p"}, 0, 1},
        {"同項 after a paragraph of the own article", kAct6_2, "第1項の規定による指定を受けた者は、同項の",
         {}, 0, 1},
        {"同条例 is no article", kOrder107, "[第6条/01A]第1項の規定及び同条例の規定", {"01A-00060000 第1項 p"}, 0,
         0},
        {"前条 left unresolved keeps its paragraph from the own article", kAct23, "前条第1項と同項の",
         {}, 2, 0},
    };
    for (const RelativeCase& c : cases) {
        const SentenceScan s = scanSentence(c.idBN, c.text, kHolds);
        EXPECT_EQ(cited(s), c.expected) << c.name;
        EXPECT_EQ(s.unresolved, c.unresolved) << c.name;
        EXPECT_EQ(s.sameArticle, c.sameArticle) << c.name;
    }
}

TEST(ReferenceScan, PlainTextAndNumerals) {
    EXPECT_EQ(plainText("法[第20条/01A]第1項の<ruby>跨<rt>こ</rt></ruby>線橋、[L別表第一/01A-T0010000L]、[K鉄骨K]"),
              "法第20条第1項の跨線橋、別表第一、鉄骨");
    EXPECT_EQ(kanjiNumber("一"), 1);
    EXPECT_EQ(kanjiNumber("十"), 10);
    EXPECT_EQ(kanjiNumber("十七"), 17);
    EXPECT_EQ(kanjiNumber("二十"), 20);
    EXPECT_EQ(kanjiNumber("九十九"), 99);
    EXPECT_EQ(kanjiNumber("十十"), 0);
    EXPECT_EQ(kanjiNumber("第"), 0);
    EXPECT_EQ(cp932Length("第20条ｱ"), 2u + 2u + 2u + 1u);
}

}  // namespace
