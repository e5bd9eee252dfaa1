#include "navigator/list_rows.h"

#include <gtest/gtest.h>

#include "navigator/navigator_fixture.h"

namespace {

using namespace tavrel;
using namespace tavrel::nav;
using tavrel::testing::NavigatorDb;
using tavrel::testing::wideText;

bool endsWith(const std::string& s, const std::string& end) {
    return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}

// ---- Law selector ----

TEST(LawSelector, LawsEndingInAStandFlushLeftAndTheOthersAreIndented) {
    NavigatorDb f;
    f.law("05A", "'建築基準法'");
    f.law("05B", "'施行令'");
    f.law("05C", "'施行規則'");
    f.law("06A", "'消防法'");
    f.law("06K", "NULL");
    f.law("07A", "'廃止法'", 0);
    LawSelectorModel combo;
    ASSERT_TRUE(combo.fill(f.connection(), f.sink));
    EXPECT_TRUE(f.sink.empty());
    std::vector<std::string> texts;
    for (const auto& e : combo.entries()) texts.push_back(text::toUtf8(e.text) + "|" + e.idHN);
    EXPECT_EQ(texts, (std::vector<std::string>{"建築基準法|05A", "　　施行令|05B", "　　施行規則|05C", "消防法|06A",
                                               "　　|06K"}));
    EXPECT_EQ(combo.findIndex("05C"), 2);
    EXPECT_EQ(combo.findIndex("07A"), -1);
    EXPECT_EQ(combo.idAt(3), "06A");
    EXPECT_EQ(combo.idAt(5), "");
    EXPECT_EQ(combo.idAt(-1), "");

    // Filling again starts over.
    ASSERT_TRUE(combo.fill(f.connection(), f.sink));
    EXPECT_EQ(combo.entries().size(), 5u);
}

TEST(LawSelector, ADatabaseErrorIsReportedIndented) {
    NavigatorDb f;
    f.law("05A", "'建築基準法'");
    f.connection();
    f.db.exec("DROP TABLE T_法");
    LawSelectorModel combo;
    EXPECT_FALSE(combo.fill(f.connection(), f.sink));
    EXPECT_TRUE(combo.entries().empty());
    ASSERT_EQ(f.sink.shown().size(), 1u);
    EXPECT_EQ(f.sink.shown()[0].captionUtf8(), "コンボボックスの初期化");
    EXPECT_TRUE(endsWith(f.sink.shown()[0].textUtf8(), "\n\t関数 = TComboLst::_init()"));
}

// ---- Article list ----

class ArticleListTest : public ::testing::Test {
protected:
    ArticleListTest() { f.law("01A", "'建築基準法'"); }

    // Rows as "条|タイトル|image|id" (UTF-8).
    std::vector<std::string> rows() {
        std::vector<std::string> out;
        for (const auto& r : list.rows()) {
            out.push_back(text::toUtf8(r.columns[1]) + "|" + text::toUtf8(r.columns[2]) + "|" +
                          std::to_string(r.image) + "|" + r.id);
            EXPECT_EQ(r.overlay, 0);
            EXPECT_TRUE(r.columns[0].empty());
            EXPECT_TRUE(r.columns[3].empty());
        }
        return out;
    }
    bool show(const std::string& law) { return list.fill(f.connection(), f.sink, law); }

    NavigatorDb f;
    ArticleListModel list;
    const std::string sn = "01A-0000-0000-0000-0000";
};

TEST_F(ArticleListTest, RowsCarryDesignationsCaptionsAndImagesByKind) {
    f.page("01A-00010000-00", sn, "'目的'");
    f.page("01A-00030200-00", sn, "'なし'");
    f.page("01A-00040000-00", sn, "'隠れ'", "NULL", "NULL", 0);
    f.page("01A-F0010000-00", sn, "'附則'");
    f.page("01A-F0020000-00", sn, "'附則（平成三〇年六月二七日法律第六七号）'");
    f.page("01A-T0010000-00", sn, "'別表の題'");
    f.page("01A-T-010000-00", sn, "NULL");
    f.page("01A-Z0010000-00", sn, "'特別'");
    f.page("02A-00010000-00", sn, "'他の法'");
    ASSERT_TRUE(show("01A"));
    EXPECT_TRUE(f.sink.empty());
    EXPECT_EQ(text::toUtf8(list.firstHeader()), "条");
    EXPECT_EQ(rows(), (std::vector<std::string>{
                          "1条|目的|7|01A-00010000-00",
                          "3条の2||7|01A-00030200-00",
                          "附則||7|01A-F0010000-00",
                          "附則（平成三〇年六月二七日法律第六七号）||7|01A-F0020000-00",
                          "不明||18|01A-T-010000-00",
                          "別表第1|別表の題|18|01A-T0010000-00",
                          "不明|特別|7|01A-Z0010000-00",
                      }));
    EXPECT_EQ(list.findRow("01A-T0010000-00"), 5);
    EXPECT_EQ(list.findRow("01A-00040000-00"), -1);
    EXPECT_EQ(list.idAt(1), "01A-00030200-00");
    EXPECT_EQ(list.idAt(7), "");
}

TEST_F(ArticleListTest, NotificationLawsGetTheNotificationHeaderAndYearImages) {
    f.law("02K", "'告示'");
    const std::string ksn = "02K-0000-0000-0000-0000";
    f.page("02K-KA440001-00", ksn, "'明治'");
    f.page("02K-KC450012-00", ksn, "'昭和'");
    f.page("02K-KD110001-00", ksn, "'平成11'");
    f.page("02K-KD120001-00", ksn, "'平成12'");
    f.page("02K-KD150001-00", ksn, "'平成15'");
    f.page("02K-KD190001-00", ksn, "'平成19'");
    f.page("02K-KD200001-00", ksn, "'平成20'");
    f.page("02K-KD210001-00", ksn, "'平成21'");
    f.page("02K-KX010001-00", ksn, "'他'");
    ASSERT_TRUE(show("02K"));
    EXPECT_EQ(text::toUtf8(list.firstHeader()), "告示番号");
    EXPECT_EQ(rows(), (std::vector<std::string>{
                          "明44年 0001号|明治|7|02K-KA440001-00",
                          "昭45年 0012号|昭和|8|02K-KC450012-00",
                          "平11年 0001号|平成11|9|02K-KD110001-00",
                          "平12年 0001号|平成12|10|02K-KD120001-00",
                          "平15年 0001号|平成15|20|02K-KD150001-00",
                          "平19年 0001号|平成19|28|02K-KD190001-00",
                          "平20年 0001号|平成20|30|02K-KD200001-00",
                          "平21年 0001号|平成21|9|02K-KD210001-00",
                          "不明01年 0001号|他|7|02K-KX010001-00",
                      }));
    // Switching back to another law restores the ordinary header.
    ASSERT_TRUE(show("01A"));
    EXPECT_EQ(text::toUtf8(list.firstHeader()), "条");
    EXPECT_EQ(list.size(), 0);
}

TEST_F(ArticleListTest, SplitPagesAreNumberedWithFirstLaterAndLastImages) {
    f.law("02K", "'告示'");
    f.page("01A-00200000-00", sn, "'長い条'", "3", "'前段'");
    f.page("01A-00200000-01", sn, "NULL", "3", "'中段'");
    f.page("01A-00200000-02", sn, "NULL", "3", "'後段'");
    f.page("01A-00210000-00", sn, "'なし'", "2", "'前'");
    f.page("01A-00210000-01", sn, "NULL", "2", "NULL");
    f.page("02K-KD190123-00", sn, "'告示の題'", "2", "'その一'");
    f.page("02K-KD190123-01", sn, "NULL", "2", "'その二'");
    f.page("02K-KC450012-00", sn, "'昭和の題'", "2", "NULL");
    ASSERT_TRUE(show("01A"));
    EXPECT_EQ(rows(), (std::vector<std::string>{
                          "20条　01|長い条|7|01A-00200000-00",
                          "20条　02| ・ 中段|16|01A-00200000-01",
                          "20条　03| ・ 後段|17|01A-00200000-02",
                          "21条　01||7|01A-00210000-00",
                          "21条　02| ・ |17|01A-00210000-01",
                      }));
    ASSERT_TRUE(show("02K"));
    EXPECT_EQ(rows(), (std::vector<std::string>{
                          "昭45年 0012号　01|昭和の題|8|02K-KC450012-00",
                          "平19年 0123号　01|告示の題|29|02K-KD190123-00",
                          "平19年 0123号　02| ・ その二|17|02K-KD190123-01",
                      }));
}

TEST_F(ArticleListTest, ALawWithoutPagesGivesAnEmptyListWithoutAMessage) {
    f.page("01A-00010000-00", sn, "'隠れ'", "NULL", "NULL", 0);
    EXPECT_TRUE(show("01A"));
    EXPECT_EQ(list.size(), 0);
    EXPECT_TRUE(f.sink.empty());
}

TEST_F(ArticleListTest, ATextThatIsNotALawIdentifierReachesNoSql) {
    f.page("01A-00010000-00", sn, "'目的'");
    ASSERT_TRUE(show("01A"));
    EXPECT_FALSE(show("01A' OR '1'='1"));
    EXPECT_EQ(list.size(), 0);
    EXPECT_FALSE(show(""));
    EXPECT_TRUE(f.sink.empty());
}

TEST_F(ArticleListTest, ADatabaseErrorIsReportedIndented) {
    f.page("01A-00010000-00", sn, "'目的'");
    f.connection();
    f.db.exec("DROP TABLE T_条");
    EXPECT_FALSE(show("01A"));
    ASSERT_EQ(f.sink.shown().size(), 1u);
    EXPECT_EQ(f.sink.shown()[0].captionUtf8(), "リストの生成");
    EXPECT_TRUE(endsWith(f.sink.shown()[0].textUtf8(), "\n\t関数 = TListLst::_show()"));
}

// ---- Rows and columns ----

TEST(ListRows, RowsAndIdentifiersMapBothWays) {
    ListRows rows;
    ListRow r;
    r.id = "A";
    EXPECT_EQ(rows.addRow(r), 0);
    r.id = "B";
    EXPECT_EQ(rows.addRow(r), 1);
    r.id = "A";  // the same page twice finds its first row
    EXPECT_EQ(rows.addRow(r), 2);
    EXPECT_EQ(rows.findRow("A"), 0);
    EXPECT_EQ(rows.findRow("B"), 1);
    EXPECT_EQ(rows.findRow("C"), -1);
    EXPECT_EQ(rows.idAt(2), "A");
    rows.clearRows();
    EXPECT_EQ(rows.size(), 0);
    EXPECT_EQ(rows.findRow("A"), -1);
    EXPECT_EQ(rows.idAt(0), "");
}

TEST(ListRows, ColumnsFollowTheBitOrderOfTheSet) {
    auto headers = [](unsigned set) {
        std::string out;
        for (const auto& h : columnHeaders(set)) out += "[" + text::toUtf8(h) + "]";
        return out;
    };
    EXPECT_EQ(headers(ColumnArticle | ColumnTitle), "[条][タイトル]");
    EXPECT_EQ(headers(15), "[法名][条][タイトル][]");
    EXPECT_EQ(headers(ColumnLaw | ColumnUntitled), "[法名][]");
    EXPECT_EQ(columnIndex(ColumnArticle | ColumnTitle, ColumnTitle), 1);
    EXPECT_EQ(columnIndex(ColumnArticle | ColumnTitle, ColumnLaw), -1);
    EXPECT_EQ(columnIndex(15, ColumnUntitled), 3);
    EXPECT_EQ(heiseiListImage(13), 12);
    EXPECT_EQ(heiseiListImage(16), 22);
}

// ---- Cell text fitting ----

// Every byte is 7 pixels wide, so a double-byte character takes 14.
int byteWidth(std::string_view s) { return static_cast<int>(s.size()) * 7; }

TEST(FitCellText, TextThatFitsIsKeptWhole) {
    const std::string s = SJ("建築基準法");  // 10 bytes, 70 px
    EXPECT_EQ(fitCellText(s, 74, byteWidth), s);
    EXPECT_EQ(fitCellText("", 0, byteWidth), "");
}

TEST(FitCellText, LongTextEndsInDotsWithoutABrokenCharacter) {
    const std::string s = SJ("建築基準法");
    // 73 px: "..." is 21 px, the margin 4, leaving 48 px: three whole
    // characters (42 px) fit, a fourth half would fit but is never drawn.
    EXPECT_EQ(fitCellText(s, 73, byteWidth), SJ("建築基") + "...");
    EXPECT_EQ(fitCellText(s, 4 + 21 + 14, byteWidth), SJ("建") + "...");
    const std::string mixed = "ab" + SJ("建築基準");
    EXPECT_EQ(fitCellText(mixed, 4 + 21 + 21, byteWidth), "ab...");  // 3 bytes would split 建
    EXPECT_EQ(fitCellText(mixed, 4 + 21 + 7, byteWidth), "a...");
}

TEST(FitCellText, NothingIsDrawnWhenNotEvenOneCharacterFitsWithTheDots) {
    EXPECT_EQ(fitCellText(SJ("建築基準法"), 4 + 21 + 13, byteWidth), "");
    EXPECT_EQ(fitCellText("abc", 10, byteWidth), "");
}

}  // namespace
