#include "navigator/contents_tree.h"

#include <gtest/gtest.h>

#include "navigator/navigator_fixture.h"

namespace {

using namespace tavrel;
using namespace tavrel::nav;
using tavrel::testing::NavigatorDb;
using tavrel::testing::wideText;

// The tree as indented lines "text [image] id" (UTF-8), children under their
// parent two spaces further in; "-" for a node outside the maps.
void dumpNode(const TreeModel& t, TreeItem item, int depth, std::vector<std::string>& out) {
    const TreeNode& n = t.node(item);
    const std::string id = t.itemId(item);
    out.push_back(std::string(static_cast<size_t>(depth) * 2, ' ') + text::toUtf8(n.text) + " [" +
                  std::to_string(n.image) + "] " + (id.empty() ? "-" : id));
    for (TreeItem c : n.children) dumpNode(t, c, depth + 1, out);
}
std::vector<std::string> dump(const TreeModel& t) {
    std::vector<std::string> out;
    for (TreeItem r : t.roots()) dumpNode(t, r, 0, out);
    return out;
}

using Lines = std::vector<std::string>;

class TreeTest : public ::testing::Test {
protected:
    bool build() { return tree.fill(f.connection(), f.sink); }
    NavigatorDb f;
    TreeModel tree;
};

// ---- Structure ----

TEST_F(TreeTest, ChaptersComeBeforeArticlesAndArticlesHangUnderTheDeepestDivision) {
    f.law("01A", "'建築基準法'");
    f.law("02A", "'施行令'");
    f.division("01A-0100-0000-0000-0000", "章名", "'総則'");
    f.division("01A-0100-0100-0000-0000", "節名", "'通則'");
    f.division("01A-0100-0100-0100-0000", "款名", "'款の名'");
    f.division("01A-0100-0100-0100-0100", "目名", "'目の名'");
    f.division("01A-0200-0000-0000-0000", "章名", "'建築物'");
    f.division("01A-0120-0000-0000-0000", "章名", "'枝の章'");
    // Pages in ID_FN order; their divisions decide where they hang.
    f.page("01A-00010000-00", "01A-0100-0000-0000-0000", "'目的'");
    f.page("01A-00020000-00", "01A-0100-0100-0100-0100", "'用語'");
    f.page("01A-00030000-00", "01A-0300-0000-0000-0000", "'章のない条'");  // no such chapter: under the law
    f.page("01A-00040000-00", "01A-0200-0000-0000-0000", "'敷地'");
    f.page("02A-00010000-00", "02A-0000-0000-0000-0000", "'趣旨'");
    ASSERT_TRUE(build());
    EXPECT_TRUE(f.sink.empty());
    EXPECT_EQ(dump(tree), (Lines{
                              "建築基準法 [1] 01A",
                              "  1章　総則 [1] 01A-0100-0000-0000-0000",
                              "    1節　通則 [1] 01A-0100-0100-0000-0000",
                              "      1款　款の名 [1] 01A-0100-0100-0100-0000",
                              "        1目　目の名 [1] 01A-0100-0100-0100-0100",
                              "          2条　用語 [5] 01A-00020000-00",
                              "    1条　目的 [5] 01A-00010000-00",
                              "  1章の2　枝の章 [1] 01A-0120-0000-0000-0000",
                              "  2章　建築物 [1] 01A-0200-0000-0000-0000",
                              "    4条　敷地 [5] 01A-00040000-00",
                              "  3条　章のない条 [5] 01A-00030000-00",
                              "施行令 [1] 02A",
                              "  1条　趣旨 [5] 02A-00010000-00",
                          }));
}

TEST_F(TreeTest, HiddenLawsAndHiddenPagesHaveNoNodes) {
    f.law("01A", "'建築基準法'");
    f.law("09A", "'廃止法'", 0);
    f.division("09A-0100-0000-0000-0000", "章名", "'旧章'");
    f.page("01A-00010000-00", "01A-0000-0000-0000-0000", "'目的'");
    f.page("01A-00020000-00", "01A-0000-0000-0000-0000", "'隠し'", "NULL", "NULL", 0);
    f.page("09A-00010000-00", "09A-0100-0000-0000-0000", "'旧条'");
    ASSERT_TRUE(build());
    EXPECT_EQ(dump(tree), (Lines{"建築基準法 [1] 01A", "  1条　目的 [5] 01A-00010000-00"}));
    EXPECT_EQ(tree.findItem("09A"), kNoNode);
    EXPECT_EQ(tree.findItem("09A-00010000-00"), kNoNode);
}

TEST_F(TreeTest, OrphanDivisionsStandAtTheRootAndOrphanArticlesAreLeftOut) {
    f.law("01A", "'建築基準法'");
    // A section and a division whose chapter and sub-section do not exist.
    f.division("01A-0500-0200-0000-0000", "節名", "'迷子の節'");
    f.division("01A-0600-0100-0100-0300", "目名", "'迷子の目'");
    f.page("01A-00010000-00", "01A-0500-0200-0000-0000", "'節の条'");
    f.page("03A-00010000-00", "03A-0000-0000-0000-0000", "'法のない条'");
    f.page("01A-00020000-00", "", "'区分のない条'");
    ASSERT_TRUE(build());
    EXPECT_EQ(dump(tree), (Lines{
                              "建築基準法 [1] 01A",
                              "2節　迷子の節 [1] 01A-0500-0200-0000-0000",
                              "  1条　節の条 [5] 01A-00010000-00",
                              "3目　迷子の目 [1] 01A-0600-0100-0100-0300",
                          }));
}

TEST_F(TreeTest, NotificationDivisionsAndUnnumberedDivisionsShowTheirNameAlone) {
    f.law("02K", "NULL");  // a law without a name gives an empty text
    f.division("02K-0100-0000-0000-0000", "章名", "'第一'", "-1");
    f.division("02K-0200-0000-0000-0000", "章名", "NULL", "0");
    f.division("02K-0200-0100-0000-0000", "節名", "'告示の節'", "-1");
    ASSERT_TRUE(build());
    EXPECT_EQ(dump(tree), (Lines{
                              " [1] 02K",
                              "  第一 [1] 02K-0100-0000-0000-0000",
                              "  2章　 [1] 02K-0200-0000-0000-0000",
                              "    告示の節 [1] 02K-0200-0100-0000-0000",
                          }));
}

// ---- Article texts and images ----

TEST_F(TreeTest, DesignationsAndImagesByPageKind) {
    f.law("01A", "'法'");
    const std::string sn = "01A-0000-0000-0000-0000";
    f.page("01A-00030200-00", sn, "'枝条'");
    // 附則 pages go by their captions, so that a law's many 附則 differ; one
    // without a caption is 附則.
    f.page("01A-F0010000-00", sn, "'附則'");
    f.page("01A-F0020000-00", sn, "'附則（平成三〇年六月二七日法律第六七号）'");
    f.page("01A-F0030000-00", sn, "'附則（令和〓年）'");  // 〓 as stored
    f.page("01A-F0040000-00", sn, "NULL");
    f.page("01A-KA440001-00", sn, "'明治の告示'");
    f.page("01A-KB010002-00", sn, "'大正の告示'");
    f.page("01A-KC450012-00", sn, "'昭和の告示'");
    f.page("01A-KD180003-00", sn, "'平成18'");
    f.page("01A-KD190004-00", sn, "'平成19'");
    f.page("01A-KD200005-00", sn, "'平成20'");
    f.page("01A-KX010006-00", sn, "'他の元号'");
    f.page("01A-T0000000-00", sn, "'別表'");
    f.page("01A-T0020000-00", sn, "'別表二'");
    f.page("01A-T-010000-00", sn, "'なし'");               // negative table number: 不明, caption kept
    f.page("01A-Z0010000-00", sn, "'なし'");               // special page: 不明, caption kept
    f.page("01A-00000000-00", sn, "'番号なし'");           // no article number: 不明, caption kept
    ASSERT_TRUE(build());
    EXPECT_EQ(dump(tree), (Lines{
                              "法 [1] 01A",
                              "  不明　番号なし [5] 01A-00000000-00",
                              "  3条の2　枝条 [5] 01A-00030200-00",
                              "  附則　 [5] 01A-F0010000-00",
                              "  附則（平成三〇年六月二七日法律第六七号）　 [5] 01A-F0020000-00",
                              "  附則（令和〓年）　 [5] 01A-F0030000-00",
                              "  附則　 [5] 01A-F0040000-00",
                              "  明44年 0001号　明治の告示 [5] 01A-KA440001-00",
                              "  大01年 0002号　大正の告示 [5] 01A-KB010002-00",
                              "  昭45年 0012号　昭和の告示 [6] 01A-KC450012-00",
                              "  平18年 0003号　平成18 [7] 01A-KD180003-00",
                              "  平19年 0004号　平成19 [8] 01A-KD190004-00",
                              "  平20年 0005号　平成20 [9] 01A-KD200005-00",
                              "  不明01年 0006号　他の元号 [5] 01A-KX010006-00",
                              "  不明　なし [4] 01A-T-010000-00",
                              "  別表　別表 [4] 01A-T0000000-00",
                              "  別表第2　別表二 [4] 01A-T0020000-00",
                              "  不明　なし [5] 01A-Z0010000-00",
                          }));
}

TEST_F(TreeTest, CaptionsAreEmptiedForNashiAndCutAt150BytesOnCharacterBoundaries) {
    f.law("01A", "'法'");
    const std::string sn = "01A-0000-0000-0000-0000";
    const std::string odd = "a" + wideText(75);   // 151 bytes; byte 150 starts a double-byte character
    const std::string even = "ab" + wideText(75); // 152 bytes; byte 150 ends one
    f.page("01A-00010000-00", sn, "'なし'");
    f.page("01A-00020000-00", sn, "'" + wideText(75) + "'");  // exactly 150 bytes: kept whole
    f.page("01A-00030000-00", sn, "'" + odd + "'");
    f.page("01A-00040000-00", sn, "'" + even + "'");
    f.page("01A-00050000-00", sn, "NULL");
    ASSERT_TRUE(build());
    const auto& root = tree.node(tree.roots().at(0));
    ASSERT_EQ(root.children.size(), 5u);
    auto textOf = [&](int i) { return text::toUtf8(tree.node(root.children[static_cast<size_t>(i)]).text); };
    EXPECT_EQ(textOf(0), "1条　");
    EXPECT_EQ(textOf(1), "2条　" + wideText(75));
    EXPECT_EQ(textOf(2), "3条　a" + wideText(74) + " ... ");
    EXPECT_EQ(textOf(3), "4条　ab" + wideText(74) + " ... ");
    EXPECT_EQ(textOf(4), "5条　");
}

// ---- Split articles ----

TEST_F(TreeTest, SplitArticlesGetAGroupingNodeWithNumberedPieces) {
    f.law("01A", "'法'");
    const std::string sn = "01A-0000-0000-0000-0000";
    f.page("01A-00200000-00", sn, "'長い条'", "3", "'前段'");
    f.page("01A-00200000-01", sn, "NULL", "3", "'中段'");
    f.page("01A-00200000-02", sn, "NULL", "3", "NULL");
    f.page("01A-00210000-00", sn, "'次の条'");
    f.page("01A-KD190123-00", sn, "'告示の題'", "2", "'その一'");
    f.page("01A-KD190123-01", sn, "NULL", "2", "'その二'");
    ASSERT_TRUE(build());
    EXPECT_EQ(dump(tree), (Lines{
                              "法 [1] 01A",
                              "  20条　長い条 [5] -",
                              "    20条 (01)　前段 [3] 01A-00200000-00",
                              "    20条 (02)　中段 [3] 01A-00200000-01",
                              "    20条 (03)　 [3] 01A-00200000-02",
                              "  21条　次の条 [5] 01A-00210000-00",
                              "  平19年 0123号　告示の題 [8] -",
                              "    平19年 0123号 (01)　その一 [3] 01A-KD190123-00",
                              "    平19年 0123号 (02)　その二 [3] 01A-KD190123-01",
                          }));
}

TEST_F(TreeTest, APieceWhoseFirstPieceIsHiddenStartsItsOwnGroup) {
    f.law("01A", "'法'");
    const std::string sn = "01A-0000-0000-0000-0000";
    f.page("01A-00200000-00", sn, "'長い条'", "2", "'前'");
    f.page("01A-00200000-01", sn, "NULL", "2", "'後'");
    f.page("01A-00300000-00", sn, "'隠れた頭'", "2", "'前'", 0);
    f.page("01A-00300000-01", sn, "NULL", "2", "'後'");
    ASSERT_TRUE(build());
    EXPECT_EQ(dump(tree), (Lines{
                              "法 [1] 01A",
                              "  20条　長い条 [5] -",
                              "    20条 (01)　前 [3] 01A-00200000-00",
                              "    20条 (02)　後 [3] 01A-00200000-01",
                              "  30条　 [5] -",
                              "    30条 (02)　後 [3] 01A-00300000-01",
                          }));
}

// ---- Maps and expansion ----

TEST_F(TreeTest, IdentifierMapsAreExactAndTheGroupingNodeIsInNeither) {
    f.law("01A", "'法'");
    f.division("01A-0100-0000-0000-0000", "章名", "'総則'");
    f.page("01A-00200000-00", "01A-0100-0000-0000-0000", "'長い条'", "2");
    f.page("01A-00200000-01", "01A-0100-0000-0000-0000", "NULL", "2");
    ASSERT_TRUE(build());
    EXPECT_EQ(tree.itemById().size(), 4u);
    EXPECT_EQ(tree.idByItem().size(), 4u);
    for (const auto& [id, item] : tree.itemById()) EXPECT_EQ(tree.itemId(item), id);
    const TreeItem chapter = tree.findItem("01A-0100-0000-0000-0000");
    ASSERT_NE(chapter, kNoNode);
    const TreeItem group = tree.node(chapter).children.at(0);
    EXPECT_EQ(tree.itemId(group), "");
    EXPECT_EQ(tree.findItem("01A-00200000"), kNoNode);  // no prefix matching
    EXPECT_EQ(tree.findItem(""), kNoNode);
    EXPECT_EQ(tree.itemId(kNoNode), "");
    EXPECT_EQ(tree.itemId(999), "");
}

TEST_F(TreeTest, ExpandingSwitchesTheBookPictureOfLawAndDivisionNodesOnly) {
    f.law("01A", "'法'");
    f.division("01A-0100-0000-0000-0000", "章名", "'総則'");
    f.page("01A-00010000-00", "01A-0100-0000-0000-0000", "'目的'");
    f.page("01A-00200000-00", "01A-0100-0000-0000-0000", "'長い条'", "2");
    ASSERT_TRUE(build());
    const TreeItem law = tree.findItem("01A");
    const TreeItem chapter = tree.findItem("01A-0100-0000-0000-0000");
    const TreeItem article = tree.findItem("01A-00010000-00");
    const TreeItem group = tree.node(tree.findItem("01A-00200000-00")).parent;
    EXPECT_EQ(tree.setExpanded(law, true), TreeImageOpenBook);
    EXPECT_EQ(tree.node(law).image, TreeImageOpenBook);
    EXPECT_EQ(tree.setExpanded(law, false), TreeImageClosedBook);
    EXPECT_EQ(tree.setExpanded(chapter, true), TreeImageOpenBook);
    EXPECT_EQ(tree.setExpanded(article, true), TreeImagePage);
    EXPECT_EQ(tree.setExpanded(group, true), TreeImagePage);
    EXPECT_EQ(tree.setExpanded(group, false), TreeImagePage);
}

TEST_F(TreeTest, ARebuildStartsFromAnEmptyTree) {
    f.law("01A", "'法'");
    f.page("01A-00010000-00", "01A-0000-0000-0000-0000", "'目的'");
    ASSERT_TRUE(build());
    ASSERT_TRUE(build());
    EXPECT_EQ(tree.size(), 2u);
    EXPECT_EQ(tree.roots().size(), 1u);
}

// ---- Failures ----

TEST_F(TreeTest, AnEmptyLawTableIsReportedAndLeavesTheTreeEmpty) {
    f.law("01A", "'法'", 0);
    f.page("01A-00010000-00", "01A-0000-0000-0000-0000", "'目的'");
    EXPECT_FALSE(build());
    EXPECT_EQ(tree.size(), 0u);
    ASSERT_EQ(f.sink.shown().size(), 1u);
    const auto& m = f.sink.shown()[0];
    EXPECT_EQ(m.captionUtf8(), "ツリーの生成");
    EXPECT_EQ(m.textUtf8(), "テーブル(T_法)にレコードセットを見つけることが\nできませんでした。\n\n関数 = TTreeCtrl::_show()");
    EXPECT_EQ(m.icon, MsgIcon::Error);
}

TEST_F(TreeTest, ADatabaseErrorIsReportedPlainAndKeepsTheNodesAdded) {
    f.law("01A", "'法'");
    f.page("01A-00010000-00", "01A-0000-0000-0000-0000", "'目的'");
    f.connection();
    f.db.exec("DROP TABLE T_条");
    EXPECT_FALSE(build());
    EXPECT_EQ(dump(tree), (Lines{"法 [1] 01A"}));
    ASSERT_EQ(f.sink.shown().size(), 1u);
    const std::string text = f.sink.shown()[0].textUtf8();
    EXPECT_EQ(f.sink.shown()[0].captionUtf8(), "ツリーの生成");
    const std::string tail = "\n関数 = TTreeCtrl::_show()";
    ASSERT_GE(text.size(), tail.size());
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);  // plain: no tab before 関数
}

}  // namespace
