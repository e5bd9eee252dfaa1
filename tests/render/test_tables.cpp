// Table HTML of a sentence: pieces in order, each with the style block, line
// feeds before cells and breaks removed, the table font size adapted.
#include "render/tables.h"
#include "text/sjis.h"

#include "render_fixture.h"

#include <gtest/gtest.h>
#include <string>

namespace tavrel::testing {
namespace {

const char* const kStyleBlock =
    "<style type=\"text/css\">\n<!--\n"
    "A { text-decoration: none; }\n"
    "A:link { color: #007733}\n"
    "A:active { color: #FF0000}\n"
    "A:hover { color: #FF0000}\n"
    "-->\n</style>\n\n";

const char* const kId = "01A-00030000-00-0100-0000-0000-0000";

class TableTest : public RenderFixture {
  protected:
    bool table(const std::string& idBN, std::string& utf8) {
        std::string html = "stale";
        const bool ok = render::buildTablePage(doc(), text::fromUtf8(idBN), html);
        utf8 = text::toUtf8(html);
        return ok;
    }
};

TEST_F(TableTest, ThreePiecesGetThreeStyleBlocksInOrder) {
    addTablePiece(kId, 3, "<html><head></head><body>C</body></html>");
    addTablePiece(kId, 1, "<html><head></head><body>A</body></html>");
    addTablePiece(kId, 2, "<html><head></head><body>B</body></html>");
    std::string html;
    ASSERT_TRUE(table(kId, html));
    const std::string s = kStyleBlock;
    EXPECT_EQ(html, "<html><head>" + s + "</head><body>A</body></html>" + "<html><head>" + s +
                        "</head><body>B</body></html>" + "<html><head>" + s + "</head><body>C</body></html>");
    EXPECT_TRUE(sink_.empty());
}

TEST_F(TableTest, SentenceTableGetsNoAnchorAndOnlyTheFirstHeadIsDressed) {
    addTablePiece(kId, 1, "<head></head><head></head><body><body></body>");
    std::string html;
    ASSERT_TRUE(table(kId, html));
    EXPECT_EQ(html, std::string("<head>") + kStyleBlock + "</head><head></head><body><body></body>");
}

TEST_F(TableTest, LineFeedsBeforeCellEndsAndBreaksDisappear) {
    addTablePiece(kId, 1, "<head></head><body><td>a\n</td><td>b\n\n<br>c\n</TD>\n</body>");
    std::string html;
    ASSERT_TRUE(table(kId, html));
    EXPECT_EQ(html, std::string("<head>") + kStyleBlock + "</head><body><td>a</td><td>b\n<br>c\n</TD>\n</body>");
}

TEST_F(TableTest, TableFontSizeReplacesTheStoredNinePoints) {
    addTablePiece(kId, 1,
                  "<head></head><body><td style='font-size:9.0pt;'>a</td><td style='font-size:9.0pt;'>b</td>"
                  "<td style='font-size:10.0pt;'>c</td></body>");
    std::string html;
    doc().options()[FontSizeTable] = 9;
    ASSERT_TRUE(table(kId, html));
    EXPECT_EQ(html.find("font-size:11pt;"), std::string::npos);
    EXPECT_NE(html.find("<td style='font-size:9.0pt;'>a</td><td style='font-size:9.0pt;'>b</td>"), std::string::npos);

    doc().options()[FontSizeTable] = 11;
    ASSERT_TRUE(table(kId, html));
    EXPECT_NE(html.find("<td style='font-size:11pt;'>a</td><td style='font-size:11pt;'>b</td>"
                        "<td style='font-size:10.0pt;'>c</td>"),
              std::string::npos)
        << html;
    EXPECT_EQ(html.find("9.0pt"), std::string::npos);
}

TEST_F(TableTest, LinkColoursComeFromTheOptions) {
    addTablePiece(kId, 1, "<head></head>");
    doc().options()[FontColorLink] = 0x0000FF;
    doc().options()[FontColorLinkActive] = 0x00FF00;
    std::string html;
    ASSERT_TRUE(table(kId, html));
    EXPECT_NE(html.find("A:link { color: #FF0000}\nA:active { color: #00FF00}\nA:hover { color: #00FF00}\n"),
              std::string::npos);
}

TEST_F(TableTest, NullPiecesAreSkippedButStillCountAsFound) {
    exec(std::string("INSERT INTO T_表 (ID_BN, 順序, 表式データ) VALUES ('") + kId + "', 1, NULL)");
    std::string html;
    EXPECT_TRUE(table(kId, html));
    EXPECT_EQ(html, "");
    EXPECT_TRUE(sink_.empty());
}

TEST_F(TableTest, MissingTableIsReported) {
    std::string html;
    EXPECT_FALSE(table(kId, html));
    ASSERT_EQ(sink_.shown().size(), 1u);
    EXPECT_EQ(firstCaption(), "HTML形式の表式データを抽出する");
    EXPECT_EQ(firstMessage(),
              "データベース中のテーブル「T_表」から表式データを\n見つけることができませんでした。\n\n"
              "関数 = CTavrelDoc::_html_tbl()");
    EXPECT_EQ(sink_.shown().front().icon, MsgIcon::Error);
}

TEST_F(TableTest, MalformedIdentifierNeverReachesTheDatabase) {
    addTablePiece("01A-00030000-00-0100-0000-0000-000'", 1, "<head></head>");
    std::string html;
    EXPECT_FALSE(table("01A-00030000-00-0100-0000-0000-000'", html));
    EXPECT_EQ(sink_.shown().size(), 1u);
}

TEST_F(TableTest, DatabaseErrorIsReported) {
    doc();
    exec("DROP TABLE T_表");
    std::string html;
    EXPECT_FALSE(table(kId, html));
    ASSERT_EQ(sink_.shown().size(), 1u);
    EXPECT_EQ(firstMessage().rfind("#importによって生成されたクラスに対し例外が生成されました。\n\n", 0), 0u);
}

// An appended-table page that is not split gets the anchor after <body> and
// no indicator.
TEST_F(TableTest, UnsplitAppendedTableGetsTheAnchorOnly) {
    const std::string id = "01A-T0000000-00-0000-0000-0000-0000";
    addPage("01A-T0000000-00", "01A-0000-0000-0000-0000", "別表");
    addTablePiece(id, 1, "<head></head><body>X</body>");
    std::string html;
    ASSERT_TRUE(table(id, html));
    EXPECT_EQ(html, std::string("<head>") + kStyleBlock +
                        "</head><body>\n\n<!--↓イメージ等の動的挿入用アンカー-------->\n<a name=\"insert_point\"></a>"
                        "\n\nX</body>");
}

}  // namespace
}  // namespace tavrel::testing
