// The 被引用 block under a page: what it lists and in which order, where it
// goes, the switch, split and large pages, and the same block from the index
// the program builds for a collection without the table.
#include "citations/citation_index.h"
#include "render/cited_by_block.h"
#include "render/page_builder.h"

#include "render_fixture.h"

#include <memory>

namespace tavrel::testing {
namespace {

class CitedByTest : public RenderFixture {
  protected:
    CitedByTest() {
        addLaw("01A", "建築基準法", "建築基準法");
        addLaw("01B", "建築基準法施行令", "建築基準法施行令");
        addLaw("05A", "バリアフリー法", "高齢者、障害者等の移動等の円滑化の促進に関する法律");
        const std::string sn = "01A-0000-0000-0000-0000";
        addPage("01A-00020000-00", sn, "用語の定義");
        addSentence("01A-00020000-00-0100-0000-0000-0000", "この法律において次の各号に掲げる用語の意義は、次のとおり。");
        addSentence("01A-00020000-00-0100-0300-0000-0000", "特殊建築物　学校その他これらに類する用途に供する建築物をいう。");
        addPage("01A-00050000-00", sn, "（サンプル）");
        addSentence("01A-00050000-00-0100-0000-0000-0000", "[第2条]第三号に規定する特殊建築物（サンプル）");
        addPage("01A-00520000-00", sn, "容積率", 2);
        addSentence("01A-00520000-00-0100-0000-0000-0000", "第一項の文（サンプル）");
        addPage("01A-00520000-01", sn, "", 2);
        addSentence("01A-00520000-01-0200-0000-0000-0000", "第二項の文（サンプル）");
        addPage("01A-00600000-00", sn, "大きな条（サンプル）", 0, -1);
        addSentence("01A-00600000-00-0100-0000-0000-0000", "大きな条の文（サンプル）");
        addPage("01B-00010000-00", "01B-0000-0000-0000-0000", "（サンプル）");
        addSentence("01B-00010000-00-0100-0000-0000-0000",
                    "法[第2条/01A]第三号、法[第52条/01A]第2項及び法[第60条/01A]の規定（サンプル）");
        addSentence("01B-00010000-00-0200-0000-0000-0000", "法[第52条/01A]の規定（サンプル）");
        addPage("05A-00010000-00", "05A-0000-0000-0000-0000", "（サンプル）");
        addSentence("05A-00010000-00-0100-0000-0000-0000", "建築基準法[第2条/01A]に規定する建築物（サンプル）");
    }

    void writeIndex() { citations::addCitationTable(db_.path()); }

    std::string page(Document& d, const std::string& id, bool full = false) {
        render::PageBuilder builder(d);
        builder.setFullPageRequest(full);
        std::string html;
        EXPECT_TRUE(builder.buildPage(id, html)) << firstMessage();
        return text::toUtf8(html);
    }
};

TEST_F(CitedByTest, TheBlockFollowsTheTextListingThisLawThenItsFamilyThenOthers) {
    writeIndex();
    Document& d = doc();
    d.setCitedByShown(true);
    const std::string html = page(d, "01A-00020000-00");
    const size_t block = html.find("<div id=\"cited-by\"");
    ASSERT_NE(block, std::string::npos);
    EXPECT_GT(block, html.find("特殊建築物　学校"));
    EXPECT_EQ(html.substr(html.size() - 16), "</body>\n</html>\n");
    EXPECT_NE(html.find("被引用（3件）"), std::string::npos);
    const size_t own = html.find("建築基準法 第5条第1項</a>　→ 第三号<br>");
    const size_t order = html.find("建築基準法施行令 第1条第1項</a>　→ 第三号<br>");
    const size_t other = html.find("バリアフリー法 第1条第1項</a><br>");
    ASSERT_NE(own, std::string::npos);
    ASSERT_NE(order, std::string::npos);
    ASSERT_NE(other, std::string::npos);
    EXPECT_LT(own, order);
    EXPECT_LT(order, other);
    // The link opens the citing page; its id names the citing sentence.
    EXPECT_NE(html.find("<a id=\"cited-by-01B-00010000-00-0100-0000-0000-0000-02\" "
                        "href='http://01B-00010000-00_TAVREL'>"),
              std::string::npos);
    EXPECT_EQ(render::citedBySentence("cited-by-01B-00010000-00-0100-0000-0000-0000-02"),
              "01B-00010000-00-0100-0000-0000-0000");
    // The excerpt with the reference emphasised.
    // (cut after 24 characters on either side)
    EXPECT_NE(html.find(">法<b>第2条第三号</b>、法第52条第2項及び法第60条の規定（サンプル…</span>"), std::string::npos);
    // A page nobody cites has no block.
    EXPECT_EQ(page(d, "01A-00050000-00").find("cited-by"), std::string::npos);
}

TEST_F(CitedByTest, SwitchedOffThePageIsTheSameAsWithoutTheIndex) {
    const std::string before = page(doc(), "01A-00020000-00");
    writeIndex();
    Document& d = doc();
    d.setCitedByShown(false);
    EXPECT_EQ(page(d, "01A-00020000-00"), before);
}

TEST_F(CitedByTest, SplitArticlesListTheirOwnParagraphsAndLargePagesOnlyInFull) {
    writeIndex();
    Document& d = doc();
    d.setCitedByShown(true);
    // The whole article on its first page, paragraph 2 on the page that holds it.
    const std::string first = page(d, "01A-00520000-00");
    const std::string second = page(d, "01A-00520000-01");
    EXPECT_NE(first.find("建築基準法施行令 第1条第2項</a><br>"), std::string::npos);
    EXPECT_EQ(first.find("→ 第2項"), std::string::npos);
    EXPECT_NE(second.find("建築基準法施行令 第1条第1項</a>　→ 第2項<br>"), std::string::npos);
    EXPECT_EQ(second.find("第1条第2項"), std::string::npos);
    // The block comes before the split indicator at the bottom.
    EXPECT_LT(second.find("cited-by"), second.rfind("<table"));
    // A large page: only its full display.
    EXPECT_EQ(page(d, "01A-00600000-00").find("cited-by"), std::string::npos);
    EXPECT_NE(page(d, "01A-00600000-00", true).find("cited-by"), std::string::npos);
}

TEST_F(CitedByTest, APageCitedFromEverywhereListsTwoHundredAndCountsTheRest) {
    std::string rows;
    for (int p = 1; p <= 99; ++p)
        for (int i = 1; i <= 3; ++i) {
            char id[40];
            std::snprintf(id, sizeof id, "05A-00010000-00-%02d00-%02d00-0000-0000", p, i);
            rows += std::string(rows.empty() ? "" : ", ") + "('" + id + "', '[第2条/01A]の規定', '0000000000000000', 0, 0, 0, 0)";
        }
    exec("INSERT INTO T_文 (ID_BN, 法文, 書式コード, 表式, 札抜, 参照, 図入) VALUES " + rows);
    writeIndex();
    Document& d = doc();
    d.setCitedByShown(true);
    const std::string html = page(d, "01A-00020000-00");
    // The fixture's three citing sentences and 297 items of バリアフリー法第1条.
    EXPECT_NE(html.find("被引用（300件）"), std::string::npos);
    size_t lines = 0;
    for (size_t p = html.find("<a id=\"cited-by-"); p != std::string::npos; p = html.find("<a id=\"cited-by-", p + 1))
        ++lines;
    EXPECT_EQ(lines, render::kMaxBlockLines);
    EXPECT_NE(html.find("ほか100件</div>"), std::string::npos);
    // This law and its family come first, whatever is left out.
    EXPECT_NE(html.find("建築基準法 第5条第1項</a>"), std::string::npos);
    EXPECT_NE(html.find("建築基準法施行令 第1条第1項</a>"), std::string::npos);
}

TEST_F(CitedByTest, AnIndexTheProgramBuiltGivesTheSameBlockAsTheTable) {
    Document& d = doc();
    d.setCitedByShown(true);
    ASSERT_FALSE(d.hasCitationTable());
    EXPECT_EQ(page(d, "01A-00020000-00").find("cited-by"), std::string::npos);  // nothing until the index is there
    d.setCitationIndex(
        std::make_shared<const citations::CitationIndex>(citations::buildCitationIndex(d.connection().handle())));
    const std::string fromIndex = page(d, "01A-00020000-00");
    EXPECT_NE(fromIndex.find("cited-by"), std::string::npos);

    writeIndex();
    MemorySettingsStore settings;
    FakeMessageSink sink;
    Document withTable(settings, sink, DocumentFolders{dir_.folder(), dir_.folder()});
    ASSERT_TRUE(withTable.startUp());
    ASSERT_TRUE(withTable.hasCitationTable());
    withTable.options()[FontSizeBasic] = 10;
    EXPECT_EQ(page(withTable, "01A-00020000-00"), fromIndex);
}

}  // namespace
}  // namespace tavrel::testing
