// The citation of 「引用付きでコピー」: the parts named for article, paragraph,
// item and sub-item sentences, 附則, notification and appended-table pages,
// a selection over several sentences, and the text put on the clipboard.
#include "text/sjis.h"
#include "textview/citation.h"

#include <gtest/gtest.h>

namespace tavrel::textview {
namespace {

std::string sj(const char* utf8) { return text::fromUtf8(utf8); }

const std::string kPlain = "0000000000000000";

// 建築基準法第6条: paragraph 1 with items 一 to 三 (item 二 with sub-items),
// paragraphs 2 and 3.
CitationPage article6() {
    CitationPage p;
    p.idFN = "01A-00060000-00";
    p.lawName = sj("建築基準法");
    for (const char* groups : {"0100-0000-0000-0000", "0100-0100-0000-0000", "0100-0200-0000-0000",
                               "0100-0200-0100-0000", "0100-0200-0110-0000", "0100-0200-0111-0000",
                               "0100-0300-0000-0000", "0100-0720-0000-0000", "0200-0000-0000-0000",
                               "0300-0000-0000-0000"})
        p.sentences.push_back({"01A-00060000-00-" + std::string(groups), kPlain});
    return p;
}

std::string id6(const char* groups) { return "01A-00060000-00-" + std::string(groups); }

TEST(Citation, ArticleParagraphItemAndSubItem) {
    const CitationPage p = article6();
    EXPECT_EQ(citationText(p, id6("0100-0000-0000-0000"), id6("0100-0000-0000-0000")),
              sj("（建築基準法第6条第1項）"));
    EXPECT_EQ(citationText(p, id6("0100-0200-0000-0000"), id6("0100-0200-0000-0000")),
              sj("（建築基準法第6条第1項第二号）"));
    EXPECT_EQ(citationText(p, id6("0100-0200-0100-0000"), {}), sj("（建築基準法第6条第1項第二号イ）"));
    EXPECT_EQ(citationText(p, id6("0100-0200-0111-0000"), {}), sj("（建築基準法第6条第1項第二号イ(1)（ⅰ））"));
    // A branch item.
    EXPECT_EQ(citationText(p, id6("0100-0720-0000-0000"), {}), sj("（建築基準法第6条第1項第七号の二）"));
    EXPECT_EQ(citationText(p, id6("0300-0000-0000-0000"), {}), sj("（建築基準法第6条第3項）"));
    // A selection before the first sentence (the caption) names the article.
    EXPECT_EQ(citationText(p, "", ""), sj("（建築基準法第6条）"));

    // An article of one paragraph names no paragraph; an item under it follows the article.
    CitationPage single;
    single.idFN = "01A-00010000-00";
    single.lawName = sj("建築基準法");
    single.sentences = {{"01A-00010000-00-0100-0000-0000-0000", kPlain}, {"01A-00010000-00-0100-0100-0000-0000", kPlain}};
    EXPECT_EQ(citationText(single, "01A-00010000-00-0100-0000-0000-0000", {}), sj("（建築基準法第1条）"));
    EXPECT_EQ(citationText(single, "01A-00010000-00-0100-0100-0000-0000", {}), sj("（建築基準法第1条第一号）"));
    // Article branches; the sentence's own format code decides the item's label.
    CitationPage branch;
    branch.idFN = "01B-00060200-00";
    branch.lawName = sj("建築基準法施行令");
    branch.sentences = {{"01B-00060200-00-0100-0300-0000-0000", kPlain},
                        {"01B-00060200-00-0100-0400-0000-0000", "0000D00000000000"}};
    EXPECT_EQ(citationText(branch, "01B-00060200-00-0100-0300-0000-0000", {}), sj("（建築基準法施行令第6条の2第三号）"));
    EXPECT_EQ(citationText(branch, "01B-00060200-00-0100-0400-0000-0000", {}), sj("（建築基準法施行令第6条の2第4条）"));
}

TEST(Citation, SelectionOverSeveralSentences) {
    const CitationPage p = article6();
    EXPECT_EQ(citationText(p, id6("0100-0000-0000-0000"), id6("0300-0000-0000-0000")),
              sj("（建築基準法第6条第1項～第3項）"));
    EXPECT_EQ(citationText(p, id6("0100-0100-0000-0000"), id6("0100-0300-0000-0000")),
              sj("（建築基準法第6条第1項第一号～第三号）"));
    EXPECT_EQ(citationText(p, id6("0100-0200-0100-0000"), id6("0200-0000-0000-0000")),
              sj("（建築基準法第6条第1項第二号イ～第2項）"));
    // Ending inside the element the selection starts in adds nothing.
    EXPECT_EQ(citationText(p, id6("0100-0000-0000-0000"), id6("0100-0300-0000-0000")),
              sj("（建築基準法第6条第1項）"));
    EXPECT_EQ(citationText(p, "", id6("0300-0000-0000-0000")), sj("（建築基準法第6条）"));
}

TEST(Citation, SupplementaryNotificationAndAppendedTablePages) {
    // 附則 whose items are its articles (format style D), and a paragraph without a label.
    CitationPage f;
    f.idFN = "01A-F0000000-00";
    f.lawName = sj("建築基準法");
    const std::string d = "0000D00000000000";
    f.sentences = {{"01A-F0000000-00-0100-0000-0000-0000", d},
                   {"01A-F0000000-00-0100-0100-0000-0000", d},
                   {"01A-F0000000-00-0100-0200-0000-0000", d},
                   {"01A-F0000000-00-0200-0000-0000-0000", d}};
    EXPECT_EQ(citationText(f, "01A-F0000000-00-0100-0200-0000-0000", {}), sj("（建築基準法附則第2条）"));
    EXPECT_EQ(citationText(f, "01A-F0000000-00-0200-0000-0000-0000", {}), sj("（建築基準法附則第2項）"));
    EXPECT_EQ(citationText(f, "01A-F0000000-00-0100-0100-0000-0000", "01A-F0000000-00-0100-0200-0000-0000"),
              sj("（建築基準法附則第1条～第2条）"));

    // A notification: its number, then its levels; 附則 and 別表 of a notification.
    CitationPage k;
    k.idFN = "01K-KD121399-00";
    k.lawName = sj("建築基準法関係告示");
    k.sentences = {{"01K-KD121399-00-0100-0100-0100-0000", kPlain}};
    EXPECT_EQ(citationText(k, "01K-KD121399-00-0000-0000-0000-0000", {}), sj("（平成12年告示第1399号）"));
    EXPECT_EQ(citationText(k, "01K-KD121399-00-0100-0100-0100-0000", {}), sj("（平成12年告示第1399号第1第一号イ）"));
    EXPECT_EQ(citationText(k, "01K-KD121399-00-0100-0100-0000-0000", "01K-KD121399-00-0200-0000-0000-0000"),
              sj("（平成12年告示第1399号第1第一号～第2）"));
    EXPECT_EQ(citationText(k, "01K-KD121399-00-F000-0000-0000-0000", {}), sj("（平成12年告示第1399号附則）"));
    EXPECT_EQ(citationText(k, "01K-KD121399-00-R000-0000-0000-0000", {}), sj("（平成12年告示第1399号別表）"));

    // An appended table has no sentences: the table is named.
    CitationPage t;
    t.idFN = "01A-T0010000-00";
    t.lawName = sj("建築基準法");
    EXPECT_EQ(citationText(t, "", ""), sj("（建築基準法別表第1）"));
    // Special pages are not cited.
    CitationPage z;
    z.idFN = "00A-Z0010000-00";
    EXPECT_EQ(citationText(z, "", ""), "");
}

TEST(Citation, TextWithCitation) {
    const std::string c = sj("（建築基準法第6条第3項）");
    EXPECT_EQ(textWithCitation(sj("適用しない。\n"), c), sj("適用しない。（建築基準法第6条第3項）"));
    EXPECT_EQ(textWithCitation(sj("適用しない。"), ""), sj("適用しない。"));
}

}  // namespace
}  // namespace tavrel::textview
