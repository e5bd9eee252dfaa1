// Every statement the program sends runs on a small database and returns the
// rows the program relies on. The statements are written out here a second
// time, exactly as the program sends them, so that a changed character in
// database/sql_texts.h shows up as well.
#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "database/connection.h"
#include "database/schema.h"
#include "database/sql_texts.h"
#include "support/fixture_db.h"
#include "support/temp_dir.h"
#include "text/sjis.h"

using namespace tavrel;
using tavrel::db::Connection;
using tavrel::db::Recordset;
using tavrel::testing::FixtureDb;
using tavrel::testing::TempDir;

namespace {

// clang-format off
const char* const kLaws = "SELECT * FROM T_法 WHERE [表示] = YES ORDER BY [ID_HN]";
const char* const kPagesWithLaws = "SELECT * FROM T_条, T_法 WHERE LEFT(T_条.[ID_FN], 3) = T_法.[ID_HN] AND  T_条.[表示] = YES AND  T_法.[表示] = YES ORDER BY [ID_FN]";
const char* const kPages = "SELECT * FROM T_条 WHERE [表示] = YES ORDER BY [ID_FN]";
const char* const kPagesOfLaw = "SELECT * FROM T_条 WHERE LEFT([ID_FN], 3) = '%s' AND [表示] = YES ORDER BY [ID_FN]";
const char* const kChapters = "SELECT * FROM T_章 WHERE LEFT([ID_SN], 3) = '%s' AND MID([ID_SN], 5, 4) <> '0000' AND RIGHT([ID_SN], 14) = '0000-0000-0000' ORDER BY [ID_SN]";
const char* const kSections = "SELECT * FROM T_章 WHERE LEFT([ID_SN], 3) = '%s' AND MID([ID_SN],  5, 4) <> '0000' AND MID([ID_SN], 10, 4) <> '0000' AND RIGHT([ID_SN], 9) = '0000-0000' ORDER BY [ID_SN]";
const char* const kSubsections = "SELECT * FROM T_章 WHERE LEFT([ID_SN], 3) = '%s' AND MID([ID_SN],  5, 4) <> '0000' AND MID([ID_SN], 10, 4) <> '0000' AND MID([ID_SN], 15, 4) <> '0000' AND RIGHT([ID_SN], 4) = '0000' ORDER BY [ID_SN]";
const char* const kDivisions = "SELECT * FROM T_章 WHERE LEFT([ID_SN], 3) = '%s' AND MID([ID_SN],  5, 4) <> '0000' AND MID([ID_SN], 10, 4) <> '0000' AND MID([ID_SN], 15, 4) <> '0000' AND MID([ID_SN], 20, 4) <> '0000' ORDER BY [ID_SN]";
const char* const kSearchTitles = "SELECT [ID_FN] FROM T_条, T_法 WHERE ([T_条].[条名]) Like '%%%s%%' AND LEFT(T_条.[ID_FN],%d) = T_法.[ID_HN] AND T_条.[表示] = YES AND T_法.[表示] = YES ORDER BY [T_条].[ID_FN] ";
const char* const kSearchSentences = "SELECT T_条.[ID_FN] FROM T_条, T_法 WHERE T_条.[ID_FN] in (SELECT Left([ID_BN],%d) AS ID_FN FROM T_文 WHERE (T_文.[検索用データ]) Like '%%%s%%' GROUP BY Left([ID_BN],%d) ) AND LEFT(T_条.[ID_FN],%d) = T_法.[ID_HN] AND T_条.[表示] = YES AND T_法.[表示] = YES ORDER BY [T_条].[ID_FN] ";
const char* const kSearchTables = "SELECT T_条.[ID_FN] FROM T_条, T_法 WHERE T_条.[ID_FN] in (SELECT Left([ID_BN],%d) AS ID_FN FROM T_表 WHERE (T_表.[検索用データ]) Like '%%%s%%' GROUP BY Left([ID_BN],%d) ) AND LEFT(T_条.[ID_FN],%d) = T_法.[ID_HN] AND T_条.[表示] = YES AND T_法.[表示] = YES ORDER BY [T_条].[ID_FN] ";
const char* const kPageTitle = "SELECT * FROM T_条 LEFT JOIN T_章 ON T_条.ID_SN = T_章.ID_SN WHERE ID_FN = '%s' ";
const char* const kSentences = "SELECT * FROM T_文 WHERE LEFT([ID_BN], %d) = '%s' ORDER BY [ID_BN]";
const char* const kTable = "SELECT * FROM T_表 WHERE ID_BN = '%s' ORDER BY 順序";
const char* const kOthers = "SELECT * FROM T_他 WHERE ID_FN = '%s' ORDER BY 順序";
const char* const kRefs = "SELECT * FROM T_参 LEFT JOIN T_条 ON T_参.ID_FN = T_条.ID_FN WHERE T_参.ID_BN = '%s' AND T_参.表示 = YES ORDER BY T_参.順序";
const char* const kHistory = "SELECT * FROM T_告 WHERE ID_FN = '%s' ";
// clang-format on

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wformat-nonliteral"
#pragma GCC diagnostic ignored "-Wformat-security"
template <class... A>
std::string fmt(const char* utf8, A... args) {
    return text::format(text::fromUtf8(utf8).c_str(), args...);
}
#pragma GCC diagnostic pop

class SqlTexts : public ::testing::Test {
protected:
    void SetUp() override {
        FixtureDb db(dir_.file("TL2008.orl"));
        db.exec(R"SQL(
INSERT INTO T_法 VALUES ('00A', '特別ページ', NULL, NULL, -1);
INSERT INTO T_法 VALUES ('01A', '建築基準法', '法', '建築基準法（昭和二十五年法律第二百一号）', -1);
INSERT INTO T_法 VALUES ('01B', '建築基準法施行令', '令', '建築基準法施行令', -1);
INSERT INTO T_法 VALUES ('01C', '廃止された規則', '規', NULL, 0);

INSERT INTO T_条 VALUES ('00A-Z0010000-00', '00A-0000-0000-0000-0000', '表紙', NULL, 1, 0, -1);
INSERT INTO T_条 VALUES ('01A-00010000-00', '01A-0100-0000-0000-0000', '目的', NULL, 1, 0, -1);
INSERT INTO T_条 VALUES ('01A-00020000-00', '01A-0100-0000-0000-0000', '用語の定義', '補足です', 1, 0, -1);
INSERT INTO T_条 VALUES ('01A-00030000-00', '01A-0100-0000-0000-0000', '敷地の衛生', NULL, 1, 0, 0);
INSERT INTO T_条 VALUES ('01A-00120000-00', '01A-0200-0100-0000-0000', '報告、検査等', NULL, 2, -1, -1);
INSERT INTO T_条 VALUES ('01A-00120000-01', '01A-0200-0100-0000-0000', NULL, NULL, 2, -1, -1);
INSERT INTO T_条 VALUES ('01A-KC031234-00', '01A-0000-0000-0000-0000', '告示の定義', NULL, 1, 0, -1);
INSERT INTO T_条 VALUES ('01B-00010000-00', '01B-0100-0000-0000-0000', '目的', NULL, 1, 0, -1);
INSERT INTO T_条 VALUES ('01C-00010000-00', '01C-0100-0000-0000-0000', '目的', NULL, 1, 0, -1);

INSERT INTO T_章 VALUES ('01A-0100-0000-0000-0000', '総則', NULL, NULL, NULL, 0);
INSERT INTO T_章 VALUES ('01A-0200-0000-0000-0000', '建築物の敷地', NULL, NULL, NULL, 0);
INSERT INTO T_章 VALUES ('01A-0200-0100-0000-0000', NULL, '通則', NULL, NULL, 0);
INSERT INTO T_章 VALUES ('01A-0200-0100-0100-0000', NULL, NULL, '款の名', NULL, 0);
INSERT INTO T_章 VALUES ('01A-0200-0100-0100-0100', NULL, NULL, NULL, '目の名', -1);
INSERT INTO T_章 VALUES ('01B-0100-0000-0000-0000', '総則', NULL, NULL, NULL, 0);

INSERT INTO T_文 VALUES ('01A-00010000-00-0200-0000-0000-0000', '第二項', '0', 0, 0, 0, 0, '建築物の敷地は衛生上');
INSERT INTO T_文 VALUES ('01A-00010000-00-0100-0000-0000-0000', 'この法律は、建築物の敷地、構造', '0', 0, 0, -1, 0, 'この法律は、建築物の敷地、構造');
INSERT INTO T_文 VALUES ('01A-00020000-00-0100-0000-0000-0000', '表のある文', '0', -1, 0, 0, 0, '用語');
INSERT INTO T_文 VALUES ('01A-00030000-00-0100-0000-0000-0000', '見えない条', '0', 0, 0, 0, 0, '敷地');
INSERT INTO T_文 VALUES ('01A-00120000-01-0100-0000-0000-0000', '後のページ', '0', 0, 0, 0, 0, '検査');
INSERT INTO T_文 VALUES ('01A-00120000-00-0100-0000-0000-0000', '前のページ', '0', 0, 0, 0, 0, '報告');
INSERT INTO T_文 VALUES ('01C-00010000-00-0100-0000-0000-0000', '廃止', '0', 0, 0, 0, 0, '敷地');

INSERT INTO T_表 VALUES ('01A-00020000-00-0100-0000-0000-0000', 2, '</table>', '延べ面積の合計');
INSERT INTO T_表 VALUES ('01A-00020000-00-0100-0000-0000-0000', 1, '<table>', NULL);
INSERT INTO T_表 VALUES ('01A-00030000-00-0100-0000-0000-0000', 1, '<table>', '延べ面積');

INSERT INTO T_他 VALUES ('00A-Z0010000-00', 2, '</html>');
INSERT INTO T_他 VALUES ('00A-Z0010000-00', 1, '<html>');

INSERT INTO T_参 VALUES ('01A-00010000-00-0100-0000-0000-0000', '01A-00020000-00', 2, -1, '第二条', '建築物', 0, 0, -1, -1, -1, NULL, NULL);
INSERT INTO T_参 VALUES ('01A-00010000-00-0100-0000-0000-0000', '01B-00010000-00', 1, -1, NULL, '敷地', 0, 2, 0, 0, -1, '政令', '第一号');
INSERT INTO T_参 VALUES ('01A-00010000-00-0100-0000-0000-0000', '01A-00120000-00', 3, 0, NULL, '構造', 0, 0, 0, 0, -1, NULL, NULL);
INSERT INTO T_参 VALUES ('01A-00020000-00-0100-0000-0000-0000', '09Z-00010000-00', 1, -1, NULL, '不明', 0, 0, 0, 0, 0, NULL, NULL);

INSERT INTO T_告 VALUES ('01A-KC031234-00', '1928-04-01', '建設省', '2007-06-20', '国土交通省', 1234);
)SQL");
        db.close();
        c_.open(text::format(db::kConnectionTextFormat, text::fromUtf8(dir_.file("TL2008.orl")).c_str()), "admin", "",
                0);
    }

    // The values of one field over all rows, UTF-8.
    std::vector<std::string> column(const std::string& sqlCp932, const std::string& fieldUtf8) {
        std::vector<std::string> values;
        Recordset rs = c_.execute(sqlCp932, nullptr, -1);
        for (; !rs.isEOF(); rs.moveNext()) values.push_back(text::toUtf8(rs.text(text::fromUtf8(fieldUtf8))));
        rs.close();
        return values;
    }

    TempDir dir_;
    Connection c_;
};

using Rows = std::vector<std::string>;

}  // namespace

TEST_F(SqlTexts, TheProgramsStatementsAreExactlyTheseTexts) {
    EXPECT_EQ(db::sql::lawsShown(), text::fromUtf8(kLaws));
    EXPECT_EQ(db::sql::pagesWithLaws(), text::fromUtf8(kPagesWithLaws));
    EXPECT_EQ(db::sql::pagesShown(), text::fromUtf8(kPages));
    EXPECT_EQ(db::sql::pagesOfLaw("01A"), fmt(kPagesOfLaw, "01A"));
    EXPECT_EQ(db::sql::chapters("01A"), fmt(kChapters, "01A"));
    EXPECT_EQ(db::sql::sections("01A"), fmt(kSections, "01A"));
    EXPECT_EQ(db::sql::subsections("01A"), fmt(kSubsections, "01A"));
    EXPECT_EQ(db::sql::divisions("01A"), fmt(kDivisions, "01A"));
    const std::string word = text::fromUtf8("敷地");
    EXPECT_EQ(db::sql::searchTitles(word), fmt(kSearchTitles, word.c_str(), 3));
    EXPECT_EQ(db::sql::searchSentences(word), fmt(kSearchSentences, 15, word.c_str(), 15, 3));
    EXPECT_EQ(db::sql::searchTables(word), fmt(kSearchTables, 15, word.c_str(), 15, 3));
    EXPECT_EQ(db::sql::pageTitle("01A-00010000-00"), fmt(kPageTitle, "01A-00010000-00"));
    EXPECT_EQ(db::sql::sentencesByPrefix("01A-00010000-00"), fmt(kSentences, 15, "01A-00010000-00"));
    EXPECT_EQ(db::sql::sentencesByPrefix("01A-00120000"), fmt(kSentences, 12, "01A-00120000"));
    const std::string bn = "01A-00010000-00-0100-0000-0000-0000";
    EXPECT_EQ(db::sql::tablePieces(bn), fmt(kTable, bn.c_str()));
    EXPECT_EQ(db::sql::otherPieces("00A-Z0010000-00"), fmt(kOthers, "00A-Z0010000-00"));
    EXPECT_EQ(db::sql::references(bn), fmt(kRefs, bn.c_str()));
    EXPECT_EQ(db::sql::history("01A-KC031234-00"), fmt(kHistory, "01A-KC031234-00"));
    // The full-text statements read "Like '%word%'" once formatted.
    EXPECT_NE(db::sql::searchTitles(word)->find("Like '%" + word + "%'"), std::string::npos);
}

TEST_F(SqlTexts, BuildersRefuseWhatMustNotReachSql) {
    EXPECT_FALSE(db::sql::pagesOfLaw("01a"));
    EXPECT_FALSE(db::sql::pagesOfLaw("01A' OR '1'='1"));
    EXPECT_FALSE(db::sql::chapters("01AB"));
    EXPECT_FALSE(db::sql::pageTitle("01A-00010000-0"));
    EXPECT_FALSE(db::sql::history("01A-00010000-00 "));
    EXPECT_FALSE(db::sql::tablePieces("01A-00010000-00"));
    EXPECT_FALSE(db::sql::references("01A-00010000-00-0100-0000-0000-000'"));
    EXPECT_FALSE(db::sql::sentencesByPrefix(""));
    EXPECT_FALSE(db::sql::sentencesByPrefix("01A-00010000-00-0100-0000-0000-0000-"));
    EXPECT_FALSE(db::sql::sentencesByPrefix("01A-0001000x"));
    EXPECT_FALSE(db::sql::searchTitles("it's"));
    EXPECT_FALSE(db::sql::searchTables(std::string("a\0b", 3)));
}

TEST_F(SqlTexts, LawsAndPagesOfTheDocumentStartUp) {
    EXPECT_EQ(column(fmt(kLaws), "ID_HN"), (Rows{"00A", "01A", "01B"}));
    EXPECT_EQ(column(db::sql::lawsShown(), "法名一般"), (Rows{"特別ページ", "建築基準法", "建築基準法施行令"}));

    Recordset rs = c_.execute(fmt(kPagesWithLaws), nullptr, -1);
    Rows ids;
    for (; !rs.isEOF(); rs.moveNext()) {
        ids.push_back(text::toUtf8(rs.text("ID_FN")));
        EXPECT_EQ(rs.int16(SJ("T_条.表示")), -1);
        EXPECT_EQ(rs.int16(SJ("T_法.表示")), -1);
        EXPECT_EQ(rs.text("ID_HN"), rs.text("ID_FN").substr(0, 3));
        if (rs.text("ID_FN") == "01A-00120000-01") {
            EXPECT_EQ(rs.int16(SJ("分割")), 2);
            EXPECT_NE(rs.int16(SJ("大型")), 0);
            EXPECT_EQ(rs.text(SJ("条名")), "");
            EXPECT_EQ(text::toUtf8(rs.text(SJ("法名正式"))), "建築基準法（昭和二十五年法律第二百一号）");
        }
    }
    EXPECT_EQ(ids, (Rows{"00A-Z0010000-00", "01A-00010000-00", "01A-00020000-00", "01A-00120000-00",
                         "01A-00120000-01", "01A-KC031234-00", "01B-00010000-00"}));
}

TEST_F(SqlTexts, ContentsTreeAndArticleList) {
    EXPECT_EQ(column(fmt(kPages), "ID_FN"),
              (Rows{"00A-Z0010000-00", "01A-00010000-00", "01A-00020000-00", "01A-00120000-00", "01A-00120000-01",
                    "01A-KC031234-00", "01B-00010000-00", "01C-00010000-00"}));
    EXPECT_EQ(column(*db::sql::pagesOfLaw("01A"), "条名"),
              (Rows{"目的", "用語の定義", "報告、検査等", "", "告示の定義"}));
    EXPECT_EQ(column(*db::sql::pagesOfLaw("01B"), "補足"), (Rows{""}));
    EXPECT_EQ(column(*db::sql::pagesOfLaw("02A"), "ID_FN"), Rows{});

    EXPECT_EQ(column(*db::sql::chapters("01A"), "章名"), (Rows{"総則", "建築物の敷地"}));
    EXPECT_EQ(column(*db::sql::sections("01A"), "節名"), (Rows{"通則"}));
    EXPECT_EQ(column(*db::sql::subsections("01A"), "款名"), (Rows{"款の名"}));
    EXPECT_EQ(column(*db::sql::divisions("01A"), "目名"), (Rows{"目の名"}));
    EXPECT_EQ(column(*db::sql::divisions("01A"), "告示"), (Rows{"-1"}));
    EXPECT_EQ(column(*db::sql::chapters("01B"), "ID_SN"), (Rows{"01B-0100-0000-0000-0000"}));
    EXPECT_EQ(column(*db::sql::sections("01B"), "ID_SN"), Rows{});
}

TEST_F(SqlTexts, FullTextSearchFindsShownPagesOfShownLawsOnly) {
    auto titles = [&](const char* w) { return column(*db::sql::searchTitles(text::fromUtf8(w)), "ID_FN"); };
    auto sentences = [&](const char* w) { return column(*db::sql::searchSentences(text::fromUtf8(w)), "ID_FN"); };
    auto tables = [&](const char* w) { return column(*db::sql::searchTables(text::fromUtf8(w)), "ID_FN"); };

    EXPECT_EQ(titles("定義"), (Rows{"01A-00020000-00", "01A-KC031234-00"}));
    EXPECT_EQ(titles("目的"), (Rows{"01A-00010000-00", "01B-00010000-00"}));  // not 01C: its law is hidden
    EXPECT_EQ(titles("衛生"), Rows{});                                         // its page is hidden
    // Two sentences of one page: the page once.
    EXPECT_EQ(sentences("敷地"), (Rows{"01A-00010000-00"}));
    EXPECT_EQ(sentences("検査"), (Rows{"01A-00120000-01"}));
    EXPECT_EQ(sentences("建築物の敷地、構"), (Rows{"01A-00010000-00"}));
    EXPECT_EQ(sentences("無い言葉"), Rows{});
    EXPECT_EQ(tables("延べ面積"), (Rows{"01A-00020000-00"}));
    EXPECT_EQ(tables("合計"), (Rows{"01A-00020000-00"}));
    // The field is read as the program reads it, by its qualified name too.
    Recordset rs = c_.execute(fmt(kSearchSentences, 15, text::fromUtf8("報告").c_str(), 15, 3), nullptr, -1);
    ASSERT_FALSE(rs.isEOF());
    EXPECT_EQ(rs.text(SJ("T_条.ID_FN")), "01A-00120000-00");
}

TEST_F(SqlTexts, PageBuilderStatements) {
    Recordset title = c_.execute(*db::sql::pageTitle("01A-00120000-01"), nullptr, -1);
    ASSERT_FALSE(title.isEOF());
    EXPECT_EQ(title.text(SJ("節名")), SJ("通則"));
    EXPECT_EQ(title.text(SJ("T_条.ID_SN")), "01A-0200-0100-0000-0000");
    EXPECT_EQ(title.text(SJ("T_章.ID_SN")), "01A-0200-0100-0000-0000");
    title.moveNext();
    EXPECT_TRUE(title.isEOF());
    title.close();
    // A page whose division row is missing still has its row.
    Recordset notification = c_.execute(*db::sql::pageTitle("01A-KC031234-00"), nullptr, -1);
    ASSERT_FALSE(notification.isEOF());
    EXPECT_TRUE(notification.isNull(SJ("章名")));
    notification.close();
    EXPECT_TRUE(c_.execute(*db::sql::pageTitle("09Z-00010000-00"), nullptr, -1).isEOF());

    EXPECT_EQ(column(*db::sql::sentencesByPrefix("01A-00010000-00"), "法文"),
              (Rows{"この法律は、建築物の敷地、構造", "第二項"}));
    EXPECT_EQ(column(*db::sql::sentencesByPrefix("01A-00120000"), "ID_BN"),
              (Rows{"01A-00120000-00-0100-0000-0000-0000", "01A-00120000-01-0100-0000-0000-0000"}));
    EXPECT_EQ(column(*db::sql::sentencesByPrefix("01A-00010000-00"), "参照"), (Rows{"-1", "0"}));

    EXPECT_EQ(column(*db::sql::tablePieces("01A-00020000-00-0100-0000-0000-0000"), "表式データ"),
              (Rows{"<table>", "</table>"}));
    EXPECT_EQ(column(*db::sql::otherPieces("00A-Z0010000-00"), "HTMLデータ"), (Rows{"<html>", "</html>"}));
    EXPECT_EQ(column(*db::sql::otherPieces("00A-Z0050000-00"), "HTMLデータ"), Rows{});
}

TEST_F(SqlTexts, ReferenceLinksJoinTheirTargetPage) {
    Recordset rs = c_.execute(*db::sql::references("01A-00010000-00-0100-0000-0000-0000"), nullptr, -1);
    ASSERT_FALSE(rs.isEOF());
    EXPECT_EQ(rs.text(SJ("T_条.ID_FN")), "01B-00010000-00");
    EXPECT_EQ(rs.text(SJ("条名")), SJ("目的"));
    EXPECT_EQ(rs.text(SJ("キーワード")), SJ("敷地"));
    EXPECT_EQ(rs.int16(SJ("選定")), 2);
    EXPECT_EQ(rs.text(SJ("備考")), SJ("政令"));
    EXPECT_EQ(rs.text(SJ("補助")), SJ("第一号"));
    EXPECT_EQ(rs.int16(SJ("T_参.表示")), -1);
    rs.moveNext();
    ASSERT_FALSE(rs.isEOF());
    EXPECT_EQ(rs.text(SJ("T_条.ID_FN")), "01A-00020000-00");
    EXPECT_EQ(rs.text(SJ("場所")), SJ("第二条"));
    EXPECT_NE(rs.int16(SJ("自動")), 0);
    EXPECT_NE(rs.int16(SJ("強調")), 0);
    EXPECT_NE(rs.int16(SJ("有効")), 0);
    EXPECT_EQ(rs.text(SJ("備考")), "");
    rs.moveNext();
    EXPECT_TRUE(rs.isEOF());  // the hidden third link is not returned
    rs.close();

    // A link to a page that is not in the database: the joined fields are empty.
    Recordset dangling = c_.execute(*db::sql::references("01A-00020000-00-0100-0000-0000-0000"), nullptr, -1);
    ASSERT_FALSE(dangling.isEOF());
    EXPECT_EQ(dangling.text(SJ("T_参.ID_FN")), "09Z-00010000-00");
    EXPECT_EQ(dangling.text(SJ("T_条.ID_FN")), "");
    EXPECT_EQ(dangling.text(SJ("条名")), "");
}

TEST_F(SqlTexts, NotificationHistory) {
    Recordset rs = c_.execute(fmt(kHistory, "01A-KC031234-00"), nullptr, -1);
    ASSERT_FALSE(rs.isEOF());
    int y = 0, m = 0, d = 0;
    ASSERT_TRUE(rs.date(SJ("公布年月日"), y, m, d));
    EXPECT_EQ(y * 10000 + m * 100 + d, 19280401);
    ASSERT_TRUE(rs.date(SJ("改正年月日"), y, m, d));
    EXPECT_EQ(y * 10000 + m * 100 + d, 20070620);
    EXPECT_EQ(rs.text(SJ("公布省名")), SJ("建設省"));
    EXPECT_EQ(rs.text(SJ("改正省名")), SJ("国土交通省"));
    EXPECT_EQ(rs.int64(SJ("改正告示番号")), 1234);
    rs.close();
    EXPECT_TRUE(c_.execute(*db::sql::history("01A-KC031234-01"), nullptr, -1).isEOF());
}
