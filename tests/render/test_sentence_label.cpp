// Labels and indentation of sentence rows, in units of the basic font size.
#include "render/sentence_label.h"
#include "text/sjis.h"

#include <gtest/gtest.h>
#include <string>

namespace tavrel::testing {
namespace {

using numbering::PageKind;

struct LayoutCase {
    PageKind kind;
    const char* idBN;
    const char* format;
    bool hidden;
    const char* label;  // UTF-8
    double left, indent;
};

class SentenceLayoutTest : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(SentenceLayoutTest, LabelAndIndentation) {
    const LayoutCase& c = GetParam();
    const auto layout = render::sentenceLayout(c.kind, c.idBN, c.format, c.hidden, 1.0);
    ASSERT_TRUE(layout.has_value());
    EXPECT_EQ(text::toUtf8(layout->label), c.label);
    EXPECT_DOUBLE_EQ(layout->marginLeft, c.left);
    EXPECT_DOUBLE_EQ(layout->textIndent, c.indent);
}

constexpr PageKind N = numbering::Notification;
constexpr PageKind A = numbering::Article;
constexpr PageKind F = numbering::Supplementary;
const char* const kPlain = "0000000000000000";

INSTANTIATE_TEST_SUITE_P(
    Rows, SentenceLayoutTest,
    ::testing::Values(
        // Article pages.
        LayoutCase{A, "01A-00030000-00-0100-0000-0000-0000", kPlain, false, "第3条　", 1.5, -1.5},
        LayoutCase{A, "01A-00030000-00-0300-0000-0000-0000", kPlain, false, "3　", 1.5, -1.5},
        LayoutCase{A, "01A-00030000-00-0100-0320-0000-0000", kPlain, false, "三の二　", 2.5, -1.5},
        LayoutCase{A, "01A-00030000-00-0100-0100-0200-0000", kPlain, false, "ロ　", 3.5, -1.5},
        LayoutCase{A, "01A-00030000-00-0100-0100-0100-0000", kPlain, true, "イ　", 3.5, -1.5},
        LayoutCase{A, "01A-00030000-00-0100-0100-0190-0000", kPlain, false, "(9)　", 4.5, -1.5},
        LayoutCase{A, "01A-00030000-00-0100-0100-0112-0000", kPlain, false, "（ⅱ）　", 5.5, -1.5},
        // An empty item label still keeps the article layout.
        LayoutCase{A, "01A-00030000-00-0100-0100-0000-0000", "0000C00000000000", false, "　", 2.5, -1.5},
        // Supplementary provisions.
        LayoutCase{F, "01A-F0010000-00-0200-0000-0000-0000", kPlain, false, "", 0, 0},
        LayoutCase{F, "01A-F0010000-00-0200-0100-0000-0000", kPlain, false, "一　", 1.5, -1.5},
        LayoutCase{F, "01A-F0010000-00-0200-0100-0000-0000", "0000C00000000000", false, "", 0, 0},
        LayoutCase{F, "01A-F0010000-00-0200-0100-0100-0000", kPlain, false, "イ　", 3.5, -1.5},
        // Notification pages.
        LayoutCase{N, "51A-KD121234-00-0000-0000-0000-0000", kPlain, false, "", 0, 0},
        LayoutCase{N, "51A-KD121234-00-0100-0000-0000-0000", kPlain, false, "第1　", 1.5, -1.5},
        LayoutCase{N, "51A-KD121234-00-0100-0000-0000-0000", "B000000000000000", false, "", 0, 0},
        LayoutCase{N, "51A-KD121234-00-0100-0000-0000-0000", kPlain, true, "", 0, 0},
        LayoutCase{N, "51A-KD121234-00-0100-0200-0000-0000", kPlain, false, "二　", 2.5, -1.5},
        LayoutCase{N, "51A-KD121234-00-0100-0200-0000-0000", "0000C00000000000", false, "", 1, 0},
        LayoutCase{N, "51A-KD121234-00-0100-0200-0300-0000", kPlain, false, "ハ　", 3.5, -1.5},
        LayoutCase{N, "51A-KD121234-00-0100-0200-0300-0000", "00000000C0000000", false, "（ハ）　", 4.5, -2.5},
        LayoutCase{N, "51A-KD121234-00-0100-0200-0300-0000", "00000000E0000000", false, "", 2, 0},
        LayoutCase{N, "51A-KD121234-00-0100-0200-0310-0000", kPlain, false, "(1)　", 4.5, -1.5},
        LayoutCase{N, "51A-KD121234-00-0100-0200-0310-0000", "000000000C000000", false, "（イ）　", 5.5, -2.5},
        LayoutCase{N, "51A-KD121234-00-0100-0200-0302-0000", kPlain, false, "（ⅱ）　", 6.5, -2.5},
        LayoutCase{N, "51A-KD121234-00-0100-0200-0302-0000", "0000000000B00000", false, "(2)　", 5.5, -1.5},
        LayoutCase{N, "51A-KD121234-00-0100-0200-0300-0300", kPlain, false, "（ハ）　", 7.5, -2.5},
        LayoutCase{N, "51A-KD121234-00-F000-0000-0000-0000", kPlain, false, "附則", 0, 0},
        LayoutCase{N, "51A-KD121234-00-S000-0000-0000-0000", kPlain, false, "別記", 3, -3},
        LayoutCase{N, "51A-KD121234-00-T000-0000-0000-0000", kPlain, false, "", 0, 0},
        LayoutCase{N, "51A-KD121234-00-R000-0000-0000-0000", kPlain, false, "別表", 3, -3}));

TEST(SentenceLayout, UnknownLevelGivesNothing) {
    EXPECT_FALSE(render::sentenceLayout(numbering::Article, "01A-00030000-00-0100-0000-0000-000", kPlain, false, 1.0));
    EXPECT_FALSE(render::sentenceLayout(numbering::Notification, "51A-KD121234-00-0100-0000-0000", kPlain, false, 1.0));
    EXPECT_FALSE(
        render::sentenceLayout(numbering::AppendedTable, "01A-T0010000-00-0000-0000-0000-0000", kPlain, false, 1.0));
}

TEST(SentenceLayout, LengthsScaleWithTheUnit) {
    const double d = 10 * render::kMillimetresPerPoint;
    const auto layout =
        render::sentenceLayout(numbering::Article, "01A-00030000-00-0100-0100-0000-0000", kPlain, false, d);
    ASSERT_TRUE(layout);
    EXPECT_EQ(text::format("%0.1f %0.1f", layout->marginLeft, layout->textIndent), "8.8 -5.3");
}

}  // namespace
}  // namespace tavrel::testing
