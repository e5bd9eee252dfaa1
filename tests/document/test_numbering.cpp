#include "document/numbering.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "text/sjis.h"

using namespace tavrel;
using namespace tavrel::numbering;

namespace {

// Sentence identifier: page identifier and the four groups.
std::string bn(const std::string& fn, const char* g1, const char* g2 = "0000", const char* g3 = "0000",
               const char* g4 = "0000") {
    return fn + "-" + g1 + "-" + g2 + "-" + g3 + "-" + g4;
}

// Format code of 13 neutral characters with one style character set.
std::string code(size_t pos = 0, char c = '0') {
    std::string s(13, '0');
    s[pos] = c;
    return s;
}

std::optional<std::string> utf8(const std::optional<std::string>& cp932) {
    if (!cp932) return std::nullopt;
    return text::toUtf8(*cp932);
}

const std::string kArticle = "01A-00030000-00";
const std::string kNotice = "02B-KD150123-00";

}  // namespace

// ---------------------------------------------------------------- numerals

TEST(Numerals, KanjiTensAndLimits) {
    EXPECT_EQ(kanji(0), "");
    EXPECT_EQ(text::toUtf8(kanji(1)), "一");
    EXPECT_EQ(text::toUtf8(kanji(9)), "九");
    EXPECT_EQ(text::toUtf8(kanji(10)), "十");
    EXPECT_EQ(text::toUtf8(kanji(11)), "十一");
    EXPECT_EQ(text::toUtf8(kanji(19)), "十九");
    EXPECT_EQ(text::toUtf8(kanji(20)), "二十");
    EXPECT_EQ(text::toUtf8(kanji(21)), "二十一");
    EXPECT_EQ(text::toUtf8(kanji(50)), "五十");
    EXPECT_EQ(text::toUtf8(kanji(99)), "九十九");
    EXPECT_EQ(text::toUtf8(kanji(100)), "不明");
    EXPECT_EQ(text::toUtf8(kanji(-1)), "不明");
    for (int n = 1; n < 100; ++n) {
        const std::string u = text::toUtf8(kanji(n));
        EXPECT_NE(u.rfind("一十", 0), 0u) << n;  // never 一十
        EXPECT_EQ(u.find("不明"), std::string::npos) << n;
    }
}

TEST(Numerals, IrohaTables) {
    EXPECT_EQ(katakanaIroha(0), "");
    EXPECT_EQ(text::toUtf8(katakanaIroha(1)), "イ");
    EXPECT_EQ(text::toUtf8(katakanaIroha(6)), "ヘ");
    EXPECT_EQ(text::toUtf8(katakanaIroha(25)), "ヰ");
    EXPECT_EQ(text::toUtf8(katakanaIroha(39)), "ユ");
    EXPECT_EQ(text::toUtf8(katakanaIroha(40)), "不明");
    EXPECT_EQ(hiraganaIroha(0), "");
    EXPECT_EQ(text::toUtf8(hiraganaIroha(1)), "い");
    EXPECT_EQ(text::toUtf8(hiraganaIroha(6)), "へ");
    EXPECT_EQ(text::toUtf8(hiraganaIroha(25)), "ゐ");
    EXPECT_EQ(text::toUtf8(hiraganaIroha(39)), "ゆ");
    EXPECT_EQ(text::toUtf8(hiraganaIroha(40)), "不明");
    for (int n = 1; n < 40; ++n) {
        EXPECT_EQ(katakanaIroha(n).size(), 2u) << n;  // one double-byte character each
        EXPECT_EQ(hiraganaIroha(n).size(), 2u) << n;
    }
}

TEST(Numerals, SmallRomanIsLosslessCp932) {
    bool ok = false;
    const std::string one = text::fromUtf8("ⅰ", &ok);
    EXPECT_TRUE(ok);
    ASSERT_EQ(one.size(), 2u);
    EXPECT_EQ(text::toUtf8(one), "ⅰ");
    EXPECT_EQ(smallRoman(0), "");
    EXPECT_EQ(text::toUtf8(smallRoman(1)), "ⅰ");
    EXPECT_EQ(text::toUtf8(smallRoman(4)), "ⅳ");
    EXPECT_EQ(text::toUtf8(smallRoman(10)), "ⅹ");
    EXPECT_EQ(smallRoman(11), smallRoman(10) + smallRoman(1));
    EXPECT_EQ(text::toUtf8(smallRoman(14)), "ⅹⅳ");
    EXPECT_EQ(text::toUtf8(smallRoman(15)), "不明");
}

TEST(Numerals, Base36Digits) {
    EXPECT_EQ(base36("1"), 1);
    EXPECT_EQ(base36("9"), 9);
    EXPECT_EQ(base36("A"), 10);
    EXPECT_EQ(base36("Z"), 35);
    EXPECT_EQ(base36("0"), 0);
    EXPECT_EQ(base36("a"), 0);  // compared as stored: lower case is not a digit
    EXPECT_EQ(base36("-"), 0);
    EXPECT_EQ(base36(""), 0);
    EXPECT_EQ(base36("12"), 0);
    EXPECT_EQ(base36('C'), 12);
}

TEST(Numerals, EraBoundaries) {
    struct Case {
        int year;
        const char* era;
        int eraYear;
    } cases[] = {{2020, "令和", 2},  {2019, "令和", 1},  {2018, "平成", 30}, {1989, "平成", 1},
                 {2008, "平成", 20}, {1988, "昭和", 63}, {1926, "昭和", 1},
                 {1925, "大正", 14}, {1912, "大正", 1},  {1911, "明治", 44}, {1868, "明治", 1}};
    for (const auto& c : cases) {
        const auto e = toEra(c.year);
        ASSERT_TRUE(e) << c.year;
        EXPECT_EQ(text::toUtf8(e->era), c.era) << c.year;
        EXPECT_EQ(e->year, c.eraYear) << c.year;
    }
    EXPECT_FALSE(toEra(1867));
    EXPECT_FALSE(toEra(0));
}

// The by-year rule misdates the days of a year before its new era begins
// (2019-04-30 printed as 令和1): a full date decides by the day.
TEST(Numerals, EraBoundariesByDate) {
    struct Case {
        int year, month, day;
        const char* era;
        int eraYear;
    } cases[] = {{2019, 4, 30, "平成", 31}, {2019, 5, 1, "令和", 1},   {2020, 1, 1, "令和", 2},
                 {1989, 1, 7, "昭和", 64},  {1989, 1, 8, "平成", 1},   {1926, 12, 24, "大正", 15},
                 {1926, 12, 25, "昭和", 1}, {1912, 7, 29, "明治", 45}, {1912, 7, 30, "大正", 1},
                 {2019, 13, 1, "令和", 1}};  // no such month: the year alone decides
    for (const auto& c : cases) {
        const auto e = toEra(c.year, c.month, c.day);
        ASSERT_TRUE(e) << c.year << "-" << c.month << "-" << c.day;
        EXPECT_EQ(text::toUtf8(e->era), c.era) << c.year << "-" << c.month << "-" << c.day;
        EXPECT_EQ(e->year, c.eraYear) << c.year << "-" << c.month << "-" << c.day;
    }
    EXPECT_FALSE(toEra(1867, 12, 31));
}

// ---------------------------------------------------------------- page identifiers

TEST(PageIdentifiers, PageKind) {
    EXPECT_EQ(pageKind("01A-00030000-00"), Article);
    EXPECT_EQ(pageKind("02B-KD150123-00"), Notification);
    EXPECT_EQ(pageKind("01A-T0010000-00"), AppendedTable);
    EXPECT_EQ(pageKind("00A-Z0010000-00"), SpecialPage);
    EXPECT_EQ(pageKind("01A-F0000000-00"), Supplementary);
    EXPECT_FALSE(pageKind("01A-00000000-00"));   // article number 0
    EXPECT_FALSE(pageKind("01A-X0010000-00"));   // unknown letter
    EXPECT_FALSE(pageKind("01A-k0010000-00"));   // letters are not upper-cased here
    EXPECT_FALSE(pageKind("01A-00030000-0"));    // 14 characters
    EXPECT_FALSE(pageKind("01A-00030000-000"));  // 16 characters
    EXPECT_FALSE(pageKind(""));
}

TEST(PageIdentifiers, ArticleNumberRecord) {
    const auto a = articleNumber("01A-01230203-01");
    ASSERT_TRUE(a);
    EXPECT_EQ(a->number, 123);
    EXPECT_EQ(a->branch1, 2);
    EXPECT_EQ(a->branch2, 3);
    EXPECT_FALSE(articleNumber("01A-0123020-01"));
    const auto junk = articleNumber("01A-ABCDEFGH-01");  // non-numeric fields read as 0
    ASSERT_TRUE(junk);
    EXPECT_EQ(junk->number, 0);
    EXPECT_EQ(junk->branch1, 0);
}

TEST(PageIdentifiers, NotificationNumberRecord) {
    const char* letters = "ABCDE";
    for (int i = 0; i < 5; ++i) {
        std::string fn = "02B-KA150123-00";
        fn[5] = letters[i];
        const auto n = notificationNumber(fn);
        ASSERT_TRUE(n) << fn;
        EXPECT_EQ(n->era, i < 4 ? i + 1 : 0) << fn;
        EXPECT_EQ(n->year, 15);
        EXPECT_EQ(n->number, 123);
    }
    EXPECT_FALSE(notificationNumber("02B-T0150123-00"));
    EXPECT_FALSE(notificationNumber("02B-kD150123-00"));
    EXPECT_FALSE(notificationNumber("02B-KD150123-0"));
}

TEST(PageIdentifiers, NotificationNumberText) {
    EXPECT_EQ(utf8(notificationNumberText("02B-KD150123-00")), "平15年 123号");
    EXPECT_EQ(utf8(notificationNumberText("02B-KD050023-00", true)), "平05年 0023号");
    EXPECT_EQ(utf8(notificationNumberText("02B-KD050023-00")), "平5年 23号");
    EXPECT_EQ(utf8(notificationNumberText("02B-KA450001-00")), "明45年 1号");
    EXPECT_EQ(utf8(notificationNumberText("02B-KB010001-00")), "大1年 1号");
    EXPECT_EQ(utf8(notificationNumberText("02B-KC630001-00")), "昭63年 1号");
    EXPECT_EQ(utf8(notificationNumberText("02B-KX010001-00")), "不明1年 1号");
    EXPECT_FALSE(notificationNumberText("01A-00030000-00"));
}

TEST(PageIdentifiers, ArticleLabel) {
    EXPECT_EQ(utf8(articleLabel("01A-00030000-00")), "第3条");
    EXPECT_EQ(utf8(articleLabel("01A-00030100-00")), "第3条");       // branch 1 is not shown
    EXPECT_EQ(utf8(articleLabel("01A-00030002-00")), "第3条");       // second branch needs a first
    EXPECT_EQ(utf8(articleLabel("01A-00030102-00")), "第3条");
    EXPECT_EQ(utf8(articleLabel("01A-00030200-00")), "第3条の2");
    EXPECT_EQ(utf8(articleLabel("01A-00030203-00")), "第3条の2の3");
    EXPECT_EQ(utf8(articleLabel("01A-00030201-00")), "第3条の2");
    EXPECT_EQ(utf8(articleLabel("01A-01231112-03")), "第123条の11の12");
    EXPECT_FALSE(articleLabel("01A-00000200-00"));
    EXPECT_FALSE(articleLabel("01A-F0000000-00"));
    EXPECT_FALSE(articleLabel("01A-0003000-00"));
}

TEST(PageIdentifiers, AppendedTableLabel) {
    EXPECT_EQ(utf8(appendedTableLabel("01A-T0010000-00")), "別表第1");
    EXPECT_EQ(utf8(appendedTableLabel("01A-T0120000-00")), "別表第12");
    EXPECT_EQ(utf8(appendedTableLabel("01A-T0000000-00")), "別表");
    EXPECT_EQ(utf8(appendedTableLabel("01A-T-010000-00")), "不明");
    EXPECT_FALSE(appendedTableLabel("01A-00010000-00"));
    EXPECT_FALSE(appendedTableLabel("01A-t0010000-00"));
    EXPECT_FALSE(appendedTableLabel("01A-T001000-00"));
}

// ---------------------------------------------------------------- divisions

TEST(Divisions, RecordReadsBase36Branches) {
    const auto d = divisionNumber("01A-0300-12A0-0500-0012");
    ASSERT_TRUE(d);
    EXPECT_EQ(d->chapter.number, 3);
    EXPECT_EQ(d->chapter.branch1, 0);
    EXPECT_EQ(d->section.number, 12);
    EXPECT_EQ(d->section.branch1, 10);
    EXPECT_EQ(d->section.branch2, 0);
    EXPECT_EQ(d->subsection.number, 5);
    EXPECT_EQ(d->division.number, 0);
    EXPECT_EQ(d->division.branch1, 1);
    EXPECT_EQ(d->division.branch2, 2);
    EXPECT_FALSE(divisionNumber("01A-0300-0000-0000-000"));
}

TEST(Divisions, Labels) {
    const std::string sn = "01A-0300-0220-0113-1223";
    EXPECT_EQ(utf8(divisionLabel(sn, ChapterLevel)), "3章");
    EXPECT_EQ(utf8(divisionLabel(sn, SectionLevel)), "2節の2");
    EXPECT_EQ(utf8(divisionLabel(sn, SubsectionLevel)), "1款");  // branch 1 hides the second
    EXPECT_EQ(utf8(divisionLabel(sn, DivisionOnlyLevel)), "12目の2の3");
    EXPECT_EQ(utf8(divisionLabel("01A-01B0-0000-0000-0000", ChapterLevel)), "1章の11");
    EXPECT_FALSE(divisionLabel("01A-0300-0000-0000-0000", SectionLevel));  // level absent
    EXPECT_FALSE(divisionLabel(sn, 3));                                    // not one level
    EXPECT_FALSE(divisionLabel(sn, 0));
    EXPECT_FALSE(divisionLabel("01A-0300-0000-0000", ChapterLevel));
}

// ---------------------------------------------------------------- element records

TEST(ElementRecords, ArticleElementFields) {
    const auto e = articleElement(bn("01A-01230203-00", "0240", "1150", "07BC", "9999"));
    ASSERT_TRUE(e);
    EXPECT_EQ(e->article, 123);
    EXPECT_EQ(e->articleBranch1, 2);
    EXPECT_EQ(e->articleBranch2, 3);
    EXPECT_EQ(e->paragraph, 2);
    EXPECT_EQ(e->paragraphBranch, 4);
    EXPECT_EQ(e->item, 11);
    EXPECT_EQ(e->itemBranch, 5);
    EXPECT_EQ(e->subItem, 7);
    EXPECT_EQ(e->bracketed, 11);
    EXPECT_EQ(e->smallRoman, 12);
}

TEST(ElementRecords, ArticleElementAcceptance) {
    EXPECT_TRUE(articleElement(bn("01A-F0000000-00", "0100")));  // supplementary provisions
    EXPECT_FALSE(articleElement(bn("01A-00000000-00", "0100")));  // article number 0
    EXPECT_FALSE(articleElement(bn(kNotice, "0100")));
    EXPECT_FALSE(articleElement(bn("01A-T0010000-00", "0100")));
    EXPECT_FALSE(articleElement(bn(kArticle, "0100").substr(0, 34)));
    EXPECT_FALSE(articleElement(bn(kArticle, "0100") + "0"));
}

TEST(ElementRecords, NotificationElementFields) {
    const auto e = notificationElement(bn("02B-kC450123-00", "1230", "0560", "07AZ", "12XY"));
    ASSERT_TRUE(e);  // position 4 is upper-cased before the check
    EXPECT_EQ(e->era, 3);
    EXPECT_EQ(e->year, 45);
    EXPECT_EQ(e->number, 123);
    EXPECT_EQ(e->level1, 12);
    EXPECT_EQ(e->level1Branch, 3);
    EXPECT_EQ(e->value17, 230);
    EXPECT_EQ(e->level2, 5);
    EXPECT_EQ(e->level2Branch, 6);
    EXPECT_EQ(e->level3, 7);
    EXPECT_EQ(e->level4, 10);
    EXPECT_EQ(e->level5, 35);
    EXPECT_EQ(e->level6, 12);
    EXPECT_EQ(e->extra33, 33);
    EXPECT_EQ(e->extra34, 34);
    EXPECT_FALSE(notificationElement(bn(kArticle, "0100")));
    EXPECT_FALSE(notificationElement(bn(kNotice, "0100").substr(0, 34)));
}

// ---------------------------------------------------------------- element levels

struct LevelCase {
    const char* g1;
    const char* g2;
    const char* g3;
    const char* g4;
    int level;
};

void PrintTo(const LevelCase& c, std::ostream* os) { *os << c.g1 << "-" << c.g2 << "-" << c.g3 << "-" << c.g4; }

class ArticleLevel : public ::testing::TestWithParam<LevelCase> {};

TEST_P(ArticleLevel, FromDeepestGroup) {
    const auto& c = GetParam();
    EXPECT_EQ(articleElementLevel(bn(kArticle, c.g1, c.g2, c.g3, c.g4)), c.level)
        << c.g1 << "-" << c.g2 << "-" << c.g3 << "-" << c.g4;
}

INSTANTIATE_TEST_SUITE_P(
    Levels, ArticleLevel,
    ::testing::Values(LevelCase{"0100", "0000", "0000", "0000", 0},  // first paragraph
                      LevelCase{"0000", "0000", "0000", "0000", 0}, LevelCase{"0200", "0000", "0000", "0000", 1},
                      LevelCase{"0110", "0000", "0000", "0000", 0},  // a paragraph branch alone stays level 0
                      LevelCase{"0100", "0100", "0000", "0000", 2}, LevelCase{"0100", "0010", "0000", "0000", 0},
                      LevelCase{"0100", "0100", "0100", "0000", 3}, LevelCase{"0100", "0100", "0010", "0000", 4},
                      LevelCase{"0100", "0100", "00A0", "0000", 2},  // a letter at 28 is not a digit
                      LevelCase{"0100", "0100", "0001", "0000", 5}, LevelCase{"0100", "0100", "000A", "0000", 5},
                      LevelCase{"0100", "0100", "000E", "0000", 5}, LevelCase{"0100", "0100", "010F", "0000", 3},
                      LevelCase{"0100", "0100", "000a", "0000", 2},
                      LevelCase{"0100", "0000", "0000", "9999", 0}));  // last group is not interpreted

class NotificationLevel : public ::testing::TestWithParam<LevelCase> {};

TEST_P(NotificationLevel, FromDeepestGroup) {
    const auto& c = GetParam();
    EXPECT_EQ(notificationElementLevel(bn(kNotice, c.g1, c.g2, c.g3, c.g4)), c.level)
        << c.g1 << "-" << c.g2 << "-" << c.g3 << "-" << c.g4;
}

INSTANTIATE_TEST_SUITE_P(
    Levels, NotificationLevel,
    ::testing::Values(LevelCase{"0000", "0000", "0000", "0000", 0}, LevelCase{"0100", "0000", "0000", "0000", 1},
                      LevelCase{"0010", "0000", "0000", "0000", 0}, LevelCase{"0100", "0100", "0000", "0000", 2},
                      LevelCase{"0100", "0100", "0100", "0000", 3}, LevelCase{"0100", "0100", "0010", "0000", 4},
                      LevelCase{"0100", "0100", "00Z0", "0000", 4}, LevelCase{"0100", "0100", "00z0", "0000", 2},
                      LevelCase{"0100", "0100", "0001", "0000", 5}, LevelCase{"0100", "0100", "000Q", "0000", 5},
                      LevelCase{"0100", "0100", "0000", "0100", 6}, LevelCase{"0000", "0000", "0000", "0010", 0},
                      LevelCase{"F000", "0000", "0000", "0000", 9}, LevelCase{"s000", "0000", "0000", "0000", 10},
                      LevelCase{"T000", "0000", "0000", "0000", 11}, LevelCase{"r000", "0000", "0000", "0000", 12},
                      LevelCase{"F000", "0100", "0000", "0000", 2},  // deeper numbers win over the letter
                      LevelCase{"X000", "0000", "0000", "0000", 0}));

TEST(ElementLevels, RejectWrongLength) {
    EXPECT_FALSE(articleElementLevel(bn(kArticle, "0100").substr(0, 34)));
    EXPECT_FALSE(notificationElementLevel(bn(kNotice, "0100") + "0"));
    EXPECT_FALSE(articleElementLevel(""));
}

// ---------------------------------------------------------------- element labels

struct LabelCase {
    const char* name;
    std::string idBN;
    int flag;
    std::string formatCode;
    bool longForm;
    std::optional<std::string> expected;  // UTF-8
};

void PrintTo(const LabelCase& c, std::ostream* os) { *os << c.name; }

std::string supplementFor(const std::string& idFN) { return SJ("補足") + idFN; }

class ArticleLabelTable : public ::testing::TestWithParam<LabelCase> {};

TEST_P(ArticleLabelTable, Label) {
    const auto& c = GetParam();
    EXPECT_EQ(utf8(articleElementLabel(c.idBN, c.flag, c.formatCode, c.longForm, supplementFor)), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Styles, ArticleLabelTable,
    ::testing::Values(
        LabelCase{"article", bn("01A-00030203-00", "0100"), 1, code(), false, "第3条の2の3"},
        LabelCase{"article_supplementary_fails", bn("01A-F0000000-00", "0100"), 1, code(), false, std::nullopt},
        LabelCase{"paragraph", bn(kArticle, "0200"), 2, code(), false, "2"},
        LabelCase{"paragraph_long", bn(kArticle, "0200"), 2, code(), true, "第2項"},
        LabelCase{"paragraph_branch", bn(kArticle, "0230"), 2, code(), false, "2の3"},
        LabelCase{"paragraph_branch_long", bn(kArticle, "0230"), 2, code(), true, "第2項の3"},
        LabelCase{"paragraph_branch1_hidden", bn(kArticle, "0210"), 2, code(), false, "2"},
        LabelCase{"paragraph_zero_fails", bn(kArticle, "0030"), 2, code(), false, std::nullopt},
        LabelCase{"item_kanji", bn(kArticle, "0100", "0300"), 4, code(), false, "三"},
        LabelCase{"item_kanji_long", bn(kArticle, "0100", "0300"), 4, code(), true, "第三号"},
        LabelCase{"item_kanji_branch", bn(kArticle, "0100", "0320"), 4, code(), false, "三の二"},
        LabelCase{"item_kanji_branch_long", bn(kArticle, "0100", "0320"), 4, code(), true, "第三号の二"},
        LabelCase{"item_branch1_hidden", bn(kArticle, "0100", "0310"), 4, code(), false, "三"},
        LabelCase{"item_lowercase_style", bn(kArticle, "0100", "0300"), 4, code(4, 'b'), false, "3"},
        LabelCase{"item_B", bn(kArticle, "0100", "0320"), 4, code(4, 'B'), false, "3の二"},
        LabelCase{"item_C", bn(kArticle, "0100", "0300"), 4, code(4, 'C'), true, ""},
        LabelCase{"item_C_branch", bn(kArticle, "0100", "0320"), 4, code(4, 'C'), false, "の二"},
        LabelCase{"item_D", bn(kArticle, "0100", "0300"), 4, code(4, 'D'), false, "第3条"},
        LabelCase{"item_T_short", bn(kArticle, "0100", "0300"), 4, code(4, 'T'), false, ""},
        LabelCase{"item_T_long", bn(kArticle, "0100", "0300"), 4, code(4, 'T'), true, "補足01A-00030000-00"},
        LabelCase{"item_C5_D_branch", bn(kArticle, "0100", "0320"), 4, code(5, 'D'), false, "2"},
        LabelCase{"item_C5_D_branch1", bn(kArticle, "0100", "0310"), 4, code(5, 'D'), true, "1"},
        LabelCase{"item_C5_D_no_branch", bn(kArticle, "0100", "0300"), 4, code(5, 'D'), false, "三"},
        LabelCase{"item_zero_fails", bn(kArticle, "0100", "0020"), 4, code(), false, std::nullopt},
        LabelCase{"subitem_katakana", bn(kArticle, "0100", "0100", "0200"), 8, code(), false, "ロ"},
        LabelCase{"subitem_B", bn(kArticle, "0100", "0100", "0200"), 8, code(8, 'B'), false, "二"},
        LabelCase{"subitem_C", bn(kArticle, "0100", "0100", "0200"), 8, code(8, 'C'), false, ""},
        LabelCase{"subitem_T_short", bn(kArticle, "0100", "0100", "0200"), 8, code(8, 't'), false, ""},
        LabelCase{"subitem_T_long", bn(kArticle, "0100", "0100", "0200"), 8, code(8, 'T'), true,
                  "補足01A-00030000-00"},
        LabelCase{"subitem_zero_fails", bn(kArticle, "0100", "0100", "0010"), 8, code(), false, std::nullopt},
        LabelCase{"bracketed", bn(kArticle, "0100", "0100", "0130"), 16, code(), false, "(3)"},
        LabelCase{"bracketed_A", bn(kArticle, "0100", "0100", "01A0"), 16, code(), false, "(10)"},
        LabelCase{"bracketed_zero_fails", bn(kArticle, "0100", "0100", "0101"), 16, code(), false, std::nullopt},
        LabelCase{"roman", bn(kArticle, "0100", "0100", "0113"), 32, code(), false, "（ⅲ）"},
        LabelCase{"roman_B", bn(kArticle, "0100", "0100", "011B"), 32, code(), false, "（ⅹⅰ）"},
        LabelCase{"roman_beyond_table", bn(kArticle, "0100", "0100", "011Z"), 32, code(), false, "（不明）"},
        LabelCase{"roman_zero_fails", bn(kArticle, "0100", "0100", "0110"), 32, code(), false, std::nullopt},
        LabelCase{"not_one_bit", bn(kArticle, "0200"), 3, code(), false, std::nullopt},
        LabelCase{"notification_flag", bn(kArticle, "0200"), 64, code(), false, std::nullopt},
        LabelCase{"bad_id", bn(kNotice, "0200"), 2, code(), false, std::nullopt}),
    [](const ::testing::TestParamInfo<LabelCase>& info) { return std::string(info.param.name); });

class NotificationLabelTable : public ::testing::TestWithParam<LabelCase> {};

TEST_P(NotificationLabelTable, Label) {
    const auto& c = GetParam();
    EXPECT_EQ(utf8(notificationElementLabel(c.idBN, c.flag, c.formatCode, c.longForm, supplementFor)), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Styles, NotificationLabelTable,
    ::testing::Values(
        LabelCase{"l1_default", bn(kNotice, "0300"), 8, code(), false, "第3"},
        LabelCase{"l1_B_short", bn(kNotice, "0300"), 8, code(0, 'B'), false, ""},
        LabelCase{"l1_B_long", bn(kNotice, "0300"), 8, code(0, 'B'), true, "3"},
        LabelCase{"l1_C", bn(kNotice, "0300"), 8, code(0, 'C'), false, "3"},
        LabelCase{"l1_D", bn(kNotice, "0300"), 8, code(0, 'd'), false, "第3条"},
        LabelCase{"l1_E", bn(kNotice, "1300"), 8, code(0, 'E'), false, "十三"},
        LabelCase{"l1_C1_B_branch", bn(kNotice, "0310"), 8, code(1, 'B'), false, "1"},
        LabelCase{"l1_C1_B_no_branch", bn(kNotice, "0300"), 8, code(1, 'B'), false, "第3"},
        LabelCase{"l1_branch_long", bn(kNotice, "0320"), 8, code(), true, "第3、2"},
        LabelCase{"l1_branch_short", bn(kNotice, "0320"), 8, code(), false, "2"},
        LabelCase{"l1_branch1_hidden", bn(kNotice, "0310"), 8, code(), false, "第3"},
        LabelCase{"l1_zero_fails", bn(kNotice, "0030"), 8, code(), false, std::nullopt},
        LabelCase{"l2_default", bn(kNotice, "0100", "0400"), 16, code(), false, "四"},
        LabelCase{"l2_default_long", bn(kNotice, "0100", "0400"), 16, code(), true, "第四号"},
        LabelCase{"l2_branch", bn(kNotice, "0100", "0420"), 16, code(), false, "四の二"},
        LabelCase{"l2_branch_long", bn(kNotice, "0100", "0420"), 16, code(), true, "第四号の二"},
        LabelCase{"l2_B", bn(kNotice, "0100", "0420"), 16, code(4, 'B'), false, "4"},
        LabelCase{"l2_C", bn(kNotice, "0100", "0400"), 16, code(4, 'C'), false, ""},
        LabelCase{"l2_D", bn(kNotice, "0100", "0400"), 16, code(4, 'D'), false, "-"},
        LabelCase{"l2_T_short", bn(kNotice, "0100", "0400"), 16, code(4, 'T'), false, ""},
        LabelCase{"l2_T_long", bn(kNotice, "0100", "0400"), 16, code(4, 'T'), true, "補足02B-KD150123-00"},
        LabelCase{"l2_zero_fails", bn(kNotice, "0100", "0050"), 16, code(), false, std::nullopt},
        LabelCase{"l3_default", bn(kNotice, "0100", "0100", "0200"), 32, code(), false, "ロ"},
        LabelCase{"l3_B", bn(kNotice, "0100", "0100", "1200"), 32, code(8, 'B'), false, "（12）"},
        LabelCase{"l3_C", bn(kNotice, "0100", "0100", "0200"), 32, code(8, 'C'), false, "（ロ）"},
        LabelCase{"l3_D", bn(kNotice, "0100", "0100", "0200"), 32, code(8, 'D'), false, "（二）"},
        LabelCase{"l3_E", bn(kNotice, "0100", "0100", "0200"), 32, code(8, 'E'), true, ""},
        LabelCase{"l3_T_short", bn(kNotice, "0100", "0100", "0200"), 32, code(8, 'T'), false, ""},
        LabelCase{"l3_T_long", bn(kNotice, "0100", "0100", "0200"), 32, code(8, 'T'), true,
                  "補足02B-KD150123-00"},
        LabelCase{"l3_zero_fails", bn(kNotice, "0100", "0100", "0030"), 32, code(), false, std::nullopt},
        LabelCase{"l4_default", bn(kNotice, "0100", "0100", "0030"), 64, code(), false, "(3)"},
        LabelCase{"l4_default_letter", bn(kNotice, "0100", "0100", "00C0"), 64, code(), false, "(12)"},
        LabelCase{"l4_B", bn(kNotice, "0100", "0100", "0030"), 64, code(9, 'B'), false, "ハ"},
        LabelCase{"l4_C", bn(kNotice, "0100", "0100", "0030"), 64, code(9, 'C'), false, "（ハ）"},
        LabelCase{"l4_D", bn(kNotice, "0100", "0100", "0030"), 64, code(9, 'D'), false, "（三）"},
        LabelCase{"l4_E", bn(kNotice, "0100", "0100", "0030"), 64, code(9, 'E'), false, "（ⅲ）"},
        LabelCase{"l4_zero_fails", bn(kNotice, "0100", "0100", "0003"), 64, code(), false, std::nullopt},
        LabelCase{"l5_default", bn(kNotice, "0100", "0100", "0003"), 128, code(), false, "（ⅲ）"},
        LabelCase{"l5_B", bn(kNotice, "0100", "0100", "000D"), 128, code(10, 'B'), false, "(13)"},
        LabelCase{"l5_C", bn(kNotice, "0100", "0100", "0003"), 128, code(10, 'C'), false, "（ハ）"},
        LabelCase{"l5_D", bn(kNotice, "0100", "0100", "0003"), 128, code(10, 'D'), false, "（は）"},
        LabelCase{"l5_zero_fails", bn(kNotice, "0100", "0100", "0030"), 128, code(), false, std::nullopt},
        LabelCase{"l6_default", bn(kNotice, "0100", "0100", "0000", "0200"), 256, code(), false, "（ロ）"},
        LabelCase{"l6_B", bn(kNotice, "0100", "0100", "0000", "0200"), 256, code(12, 'B'), false, "（ⅱ）"},
        LabelCase{"l6_C", bn(kNotice, "0100", "0100", "0000", "1100"), 256, code(12, 'C'), false, "（十一）"},
        LabelCase{"l6_zero_fails", bn(kNotice, "0100", "0100", "0000", "0020"), 256, code(), false,
                  std::nullopt},
        LabelCase{"l9", bn(kNotice, "F000"), 2048, code(), false, "附則"},
        LabelCase{"l10", bn(kNotice, "S000"), 4096, code(), true, "別記"},
        LabelCase{"l11_short", bn(kNotice, "T000"), 8192, code(), false, ""},
        LabelCase{"l11_long", bn(kNotice, "T000"), 8192, code(), true, "補足02B-KD150123-00"},
        LabelCase{"l12", bn(kNotice, "R000"), 16384, code(), false, "別表"},
        LabelCase{"unknown_flag", bn(kNotice, "0100"), 512, code(), false, std::nullopt},
        LabelCase{"lowercase_k_accepted", bn("02B-kD150123-00", "0300"), 8, code(), false, "第3"},
        LabelCase{"article_page_fails", bn(kArticle, "0300"), 8, code(), false, std::nullopt},
        LabelCase{"article_page_fails_l9", bn(kArticle, "F000"), 2048, code(), false, std::nullopt}),
    [](const ::testing::TestParamInfo<LabelCase>& info) { return std::string(info.param.name); });

TEST(ElementLabels, ShortFormatCodeUsesTheDefaultStyles) {
    EXPECT_EQ(utf8(articleElementLabel(bn(kArticle, "0100", "0300"), 4, "", false)), "三");
    EXPECT_EQ(utf8(notificationElementLabel(bn(kNotice, "0100", "0100", "0003"), 128, "BB", false)), "（ⅲ）");
}

TEST(ElementLabels, LongSupplementWithoutLookupIsEmpty) {
    const auto label = articleElementLabel(bn(kArticle, "0100", "0300"), 4, code(4, 'T'), true);
    ASSERT_TRUE(label);
    EXPECT_EQ(*label, "");
}

TEST(ElementLabels, SupplementIsLookedUpByThePageOfTheSentence) {
    std::vector<std::string> asked;
    auto lookupFn = [&](const std::string& idFN) {
        asked.push_back(idFN);
        return SJ("その他");
    };
    EXPECT_EQ(utf8(notificationElementLabel(bn("02B-KD150123-02", "T000"), 8192, code(), true, lookupFn)), "その他");
    EXPECT_EQ(utf8(notificationElementLabel(bn("02B-KD150123-02", "T000"), 8192, code(), false, lookupFn)), "");
    ASSERT_EQ(asked.size(), 1u);  // the short form never asks
    EXPECT_EQ(asked[0], "02B-KD150123-02");
}
