// Whole law text pages, byte for byte, built from small fixture databases.
#include "render/brackets.h"
#include "render/links.h"
#include "render/page_builder.h"
#include "render/sentence_block.h"
#include "text/sjis.h"

#include "render_fixture.h"
#include "support/temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <random>
#include <string>

namespace tavrel::testing {
namespace {

class PageBuilderTest : public RenderFixture {
  protected:
    // Builds a page that must succeed; the result as UTF-8.
    std::string page(const std::string& idFN, bool fullPage = false) {
        render::PageBuilder builder(doc());
        builder.setFullPageRequest(fullPage);
        std::string html;
        EXPECT_TRUE(builder.buildPage(text::fromUtf8(idFN), html)) << firstMessage();
        return text::toUtf8(html);
    }
    // Builds a page that must fail; the message text shown (UTF-8).
    std::string failure(const std::string& idFN) {
        render::PageBuilder builder(doc());
        std::string html = "stale";
        EXPECT_FALSE(builder.buildPage(text::fromUtf8(idFN), html));
        EXPECT_TRUE(html.empty());
        EXPECT_EQ(sink_.shown().size(), 1u);
        if (!sink_.empty()) {
            EXPECT_EQ(firstCaption(), "HTML形式の法文を作成");
            EXPECT_EQ(sink_.shown().front().icon, MsgIcon::Error);
        }
        return firstMessage();
    }

    bool colourBracketsForTest(std::string& text) { return render::colourBrackets(text, doc().options()); }

    static constexpr const char* kArticleHeading32 =
        "<div>\n"
        "<font style=\"font-size: 9pt; font-weight: bold; color: #696969\">\n"
        "第\n"
        "<font style=\"font-size: 18pt; font-family: 'Century','ＭＳ Ｐ明朝' ; color: #696969\">\n"
        "3\n"
        "</font>\n"
        "条の\n"
        "<font style=\"font-size: 18pt; font-family: 'Century','ＭＳ Ｐ明朝' ; color: #696969\">\n"
        "2\n"
        "</font>\n"
        "　〔建築基準法〕\n"
        "</font>\n"
        "</div>\n";
};

// An article inside a chapter and a section, with rows of every level.
TEST_F(PageBuilderTest, ArticleWithDivisionCaptionsAndAllLevels) {
    addLaw("01A", "建基法", "建築基準法");
    exec(
        "INSERT INTO T_章 (ID_SN, 章名, 節名, 款名, 目名, 告示) VALUES "
        "('01A-0200-0100-0000-0000', '建築物の敷地', '総則', NULL, NULL, 0)");
    addPage("01A-00030200-00", "01A-0200-0100-0000-0000", "適用の除外");
    const std::string p = "01A-00030200-00-";
    addSentence(p + "0100-0000-0000-0000", "この法律の規定は、次の各号に掲げる建築物には、適用しない。");
    addSentence(p + "0100-0100-0000-0000", "文化財の建築物");
    addSentence(p + "0100-0100-0100-0000", "重要文化財");
    addSentence(p + "0100-0100-0110-0000", "国宝");
    addSentence(p + "0100-0100-0111-0000", "旧国宝");
    addSentence(p + "0200-0000-0000-0000", "床面積10㎝2及び容積5m3のものを除く。");

    const std::string expected =
        expectedPageStart() + kArticleHeading32 +
        "<font style=\"font-size: 10pt; font-weight: bold; color: #696969\">\n"
        "<div align=\"right\">第2章 建築物の敷地</div>\n"
        "<div align=\"right\">第1節 総則</div>\n"
        "</font>\n"
        "<hr>\n<br>\n"
        "【適用の除外】<br>\n"
        "<br>\n"
        "<br>\n<br>\n"
        "<div style='margin-bottom:0.0mm; margin-top:2.0mm; margin-left:5.3mm; text-indent:-5.3mm'>\n"
        "<font color=\"#0066CC\"><b><a id=\"01A-00030200-00-0100-0000-0000-0000\">\n"
        "第3条の2　\n</a></b></font>\n"
        "この法律の規定は、次の各号に掲げる建築物には、適用しない。\n</div>\n"
        "<div style='margin-bottom:0.0mm; margin-top:2.0mm; margin-left:8.8mm; text-indent:-5.3mm'>\n"
        "<font color=\"#0066CC\"><b><a id=\"01A-00030200-00-0100-0100-0000-0000\">\n"
        "一　\n</a></b></font>\n"
        "文化財の建築物\n</div>\n"
        "<div style='margin-bottom:0.0mm; margin-top:2.0mm; margin-left:12.3mm; text-indent:-5.3mm'>\n"
        "<font color=\"#0066CC\"><b><a id=\"01A-00030200-00-0100-0100-0100-0000\">\n"
        "イ　\n</a></b></font>\n"
        "重要文化財\n</div>\n"
        "<div style='margin-bottom:0.0mm; margin-top:2.0mm; margin-left:15.9mm; text-indent:-5.3mm'>\n"
        "<font color=\"#0066CC\"><b><a id=\"01A-00030200-00-0100-0100-0110-0000\">\n"
        "(1)　\n</a></b></font>\n"
        "国宝\n</div>\n"
        "<div style='margin-bottom:0.0mm; margin-top:2.0mm; margin-left:19.4mm; text-indent:-5.3mm'>\n"
        "<font color=\"#0066CC\"><b><a id=\"01A-00030200-00-0100-0100-0111-0000\">\n"
        "（ⅰ）　\n</a></b></font>\n"
        "旧国宝\n</div>\n"
        "<div style='margin-bottom:0.0mm; margin-top:2.0mm; margin-left:5.3mm; text-indent:-5.3mm'>\n"
        "<font color=\"#0066CC\"><b><a id=\"01A-00030200-00-0200-0000-0000-0000\">\n"
        "2　\n</a></b></font>\n"
        "床面積10㎝<SUP>2</SUP>及び容積5m<SUP>3</SUP>のものを除く。\n</div>\n" +
        expectedPageEnd();
    EXPECT_EQ(page("01A-00030200-00"), expected);
    EXPECT_TRUE(sink_.empty()) << firstMessage();
    EXPECT_FALSE(doc().isLargePage(text::fromUtf8("01A-00030200-00")));
}

// The second of three pages: caption with （2/3）, the indicator above and
// below the sentences, red on the current page, supplements as titles.
TEST_F(PageBuilderTest, SecondPageOfArticleSplitInThree) {
    addLaw("01A", "建基法", "建築基準法");
    const std::string sn = "01A-0000-0000-0000-0000";
    addPage("01A-00120000-00", sn, "面積", 3, 0, "前段");
    addPage("01A-00120000-01", sn, "", 3, 0, "中段　その二");
    addPage("01A-00120000-02", sn, "", 3, 0, "後段");
    addSentence("01A-00120000-01-0300-0000-0000-0000", "第三項の規定");

    const std::string img = images() + "system/";
    const std::string indicator =
        "\n<!---------------------------------------->\n"
        "<!--↓タヴレルが挿入した分割インジケータ-->\n"
        "<br>\n"
        "<div align='right'>\n"
        "<a href='http://01A-00120000-00_TAVREL'><img border='0' title='前段　(P.1/3)' src='" +
        img +
        "indicator_blue.gif' width='10' height='10'></a>"
        "<a href='http://01A-00120000-01_TAVREL'><img border='0' title='中段 その二　(現在位置 P.2/3)' src='" +
        img +
        "indicator_red.gif' width='10' height='10'></a>"
        "<a href='http://01A-00120000-02_TAVREL'><img border='0' title='後段　(P.3/3)' src='" +
        img +
        "indicator_blue.gif' width='10' height='10'></a>"
        "\n</div>\n"
        "<!--↑タヴレルが挿入した分割インジケータ-->\n"
        "<!---------------------------------------->\n";
    const std::string expected =
        expectedPageStart() +
        "<div>\n"
        "<font style=\"font-size: 9pt; font-weight: bold; color: #696969\">\n"
        "第\n"
        "<font style=\"font-size: 18pt; font-family: 'Century','ＭＳ Ｐ明朝' ; color: #696969\">\n"
        "12\n"
        "</font>\n"
        "条　〔建築基準法〕\n"
        "</font>\n"
        "</div>\n"
        "<hr>\n<br>\n"
        "【面積 （2/3）】<br>\n"
        "<br>\n" +
        indicator +
        "<div style='margin-bottom:0.0mm; margin-top:2.0mm; margin-left:5.3mm; text-indent:-5.3mm'>\n"
        "<font color=\"#0066CC\"><b><a id=\"01A-00120000-01-0300-0000-0000-0000\">\n"
        "3　\n</a></b></font>\n"
        "第三項の規定\n</div>\n" +
        indicator + expectedPageEnd();
    EXPECT_EQ(page("01A-00120000-01"), expected);
}

TEST_F(PageBuilderTest, LargePageIsALinkUntilTheFullPageIsRequested) {
    addLaw("01A", "建基法", "建築基準法");
    addPage("01A-00200000-00", "01A-0000-0000-0000-0000", "なし", 0, -1);
    addSentence("01A-00200000-00-0100-0000-0000-0000", "長い条文");

    const std::string top = expectedPageStart() +
                            "<div>\n"
                            "<font style=\"font-size: 9pt; font-weight: bold; color: #696969\">\n"
                            "第\n"
                            "<font style=\"font-size: 18pt; font-family: 'Century','ＭＳ Ｐ明朝' ; color: #696969\">\n"
                            "20\n"
                            "</font>\n"
                            "条　〔建築基準法〕\n"
                            "</font>\n"
                            "</div>\n"
                            "<hr>\n<br>\n"
                            "<br>\n"
                            "<br>\n<br>\n";
    EXPECT_FALSE(doc().isLargePage(text::fromUtf8("01A-00200000-00")));
    EXPECT_EQ(page("01A-00200000-00"),
              top +
                  "<a href='http://01A-00200000_TAVREL'>　⇒　ココをクリックすると全文が表示されます。"
                  "（内容量が多いため表示に時間がかかる場合があります。）</a></body>\n</html>\n");
    EXPECT_TRUE(doc().isLargePage(text::fromUtf8("01A-00200000-00")));

    EXPECT_EQ(page("01A-00200000-00", true),
              top +
                  "<div style='margin-bottom:0.0mm; margin-top:2.0mm; margin-left:5.3mm; text-indent:-5.3mm'>\n"
                  "<font color=\"#0066CC\"><b><a id=\"01A-00200000-00-0100-0000-0000-0000\">\n"
                  "第20条　\n</a></b></font>\n"
                  "長い条文\n</div>\n" +
                  expectedPageEnd());
    EXPECT_TRUE(sink_.empty()) << firstMessage();
}

TEST_F(PageBuilderTest, LargePageLinkNeedsNoSentences) {
    addLaw("01A", "建基法", "建築基準法");
    addPage("01A-00210000-00", "01A-0000-0000-0000-0000", "なし", 0, 1);
    const std::string html = page("01A-00210000-00");
    EXPECT_NE(html.find("<a href='http://01A-00210000_TAVREL'>"), std::string::npos);
    EXPECT_TRUE(sink_.empty()) << firstMessage();
}

// A notification page: heading with era, history block, labels of several
// levels; a "-" label is painted in the background colour; 札抜 hides a
// first-level label.
TEST_F(PageBuilderTest, NotificationWithHistoryAndHiddenLabels) {
    addLaw("51A", "建設省告示", "建設省告示（正式）");
    addPage("51A-KD121234-00", "51A-0000-0000-0000-0000", "構造耐力上主要な部分");
    exec(
        "INSERT INTO T_告 (ID_FN, 公布年月日, 公布省名, 改正年月日, 改正省名, 改正告示番号) VALUES "
        "('51A-KD121234-00', '2000-05-31', '建設省', '2007-05-18', '国土交通省', 621)");
    const std::string p = "51A-KD121234-00-";
    addSentence(p + "0000-0000-0000-0000", "前文");
    addSentence(p + "0100-0000-0000-0000", "第一の規定");
    addSentence(p + "0200-0000-0000-0000", "隠す見出し", "0000000000000000", {0, -1, 0, 0});
    addSentence(p + "0200-0100-0000-0000", "ハイフンの見出し", "0000D00000000000");
    addSentence(p + "0200-0100-0100-0000", "括弧の見出し", "0000D000B0000000");
    addSentence(p + "0200-0100-0200-0000", "見出しなし", "0000D000E0000000");
    addSentence(p + "R000-0000-0000-0000", "別表の行");

    auto div = [](const std::string& left, const std::string& indent, const std::string& color, const std::string& id,
                  const std::string& label, const std::string& text) {
        return "<div style='margin-bottom:0.0mm; margin-top:2.0mm; margin-left:" + left + "mm; text-indent:" + indent +
               "mm'>\n<font color=\"" + color + "\"><b><a id=\"" + id + "\">\n" + label + "\n</a></b></font>\n" + text +
               "\n</div>\n";
    };
    const std::string expected = expectedPageStart() +
                                 "<div>\n"
                                 "<font style=\"font-size: 9pt; font-weight: bold; color: #696969\">\n"
                                 "平成\n"
                                 "<font style=\"font-size: 18pt; font-family: 'Century'; color: #696969\">\n"
                                 "12\n"
                                 "</font>\n"
                                 "年\n"
                                 "<font style=\"font-size: 18pt; font-family: 'Century'; color: #696969\">\n"
                                 "1234\n"
                                 "</font>\n"
                                 "号　〔建設省告示〕\n"
                                 "</font>\n"
                                 "</div>\n"
                                 "<hr>\n<br>\n"
                                 "構造耐力上主要な部分<br>\n"
                                 "<br>\n"
                                 "<br>\n"
                                 "<font style=\"font-size: 9pt; font-weight: normal; color: #696969\">\n"
                                 "<div align=\"right\">平成12年5月31日　建設省告示第1234号</div>\n"
                                 "<div align=\"right\">最終改正　平成19年5月18日　国土交通省告示第621号</div>\n"
                                 "</font>\n"
                                 "<br>\n<br>\n" +
                                 div("0.0", "0.0", "#0066CC", p + "0000-0000-0000-0000", "", "前文") +
                                 div("5.3", "-5.3", "#0066CC", p + "0100-0000-0000-0000", "第1　", "第一の規定") +
                                 div("0.0", "0.0", "#0066CC", p + "0200-0000-0000-0000", "", "隠す見出し") +
                                 div("8.8", "-5.3", "#FFFFFF", p + "0200-0100-0000-0000", "-　", "ハイフンの見出し") +
                                 div("15.9", "-8.8", "#0066CC", p + "0200-0100-0100-0000", "（1）　", "括弧の見出し") +
                                 div("7.1", "0.0", "#0066CC", p + "0200-0100-0200-0000", "", "見出しなし") +
                                 div("10.6", "-10.6", "#0066CC", p + "R000-0000-0000-0000", "別表", "別表の行") +
                                 expectedPageEnd();
    EXPECT_EQ(page("51A-KD121234-00"), expected);
    EXPECT_TRUE(sink_.empty()) << firstMessage();
}

// Supplementary provisions: the formal law name, no caption line, the
// "<br><br>" before every row of a new paragraph, unlabelled paragraphs.
TEST_F(PageBuilderTest, SupplementaryProvisionsPage) {
    addLaw("01A", "建基法", "建築基準法");
    addPage("01A-F0010000-00", "01A-0000-0000-0000-0000", "附則");
    const std::string p = "01A-F0010000-00-";
    addSentence(p + "0100-0000-0000-0000", "この法律は、公布の日から施行する。");
    addSentence(p + "0200-0000-0000-0000", "次に掲げる規定");
    addSentence(p + "0200-0100-0000-0000", "第一の規定");
    addSentence(p + "0200-0200-0000-0000", "番号のない号", "0000C00000000000");

    const std::string expected =
        expectedPageStart() +
        "<div>\n"
        "<font style=\"font-size: 9pt; font-weight: bold; color: #696969\">\n"
        "<font style=\"font-size: 18pt; font-family: 'Century','ＭＳ Ｐ明朝' ; color: #696969\">\n"
        "附則\n"
        "</font>\n"
        "　〔建築基準法〕\n"
        "</font>\n"
        "</div>\n"
        "<hr>\n<br>\n"
        "<br><br>\n"
        "<div style='margin-bottom:0.0mm; margin-top:2.0mm; margin-left:5.3mm; text-indent:-5.3mm'>\n"
        "<font color=\"#0066CC\"><b><a id=\"01A-F0010000-00-0100-0000-0000-0000\">\n"
        "　\n</a></b></font>\n"
        "この法律は、公布の日から施行する。\n</div>\n"
        "<br><br>\n"
        "<div style='margin-bottom:0.0mm; margin-top:2.0mm; margin-left:0.0mm; text-indent:0.0mm'>\n"
        "<font color=\"#0066CC\"><b><a id=\"01A-F0010000-00-0200-0000-0000-0000\">\n"
        "\n</a></b></font>\n"
        "次に掲げる規定\n</div>\n"
        "<div style='margin-bottom:0.0mm; margin-top:2.0mm; margin-left:5.3mm; text-indent:-5.3mm'>\n"
        "<font color=\"#0066CC\"><b><a id=\"01A-F0010000-00-0200-0100-0000-0000\">\n"
        "一　\n</a></b></font>\n"
        "第一の規定\n</div>\n"
        "<div style='margin-bottom:0.0mm; margin-top:2.0mm; margin-left:0.0mm; text-indent:0.0mm'>\n"
        "<font color=\"#0066CC\"><b><a id=\"01A-F0010000-00-0200-0200-0000-0000\">\n"
        "\n</a></b></font>\n"
        "番号のない号\n</div>\n" +
        expectedPageEnd();
    EXPECT_EQ(page("01A-F0010000-00"), expected);
}

// An appended table split over two pages is its own page: the pieces of
// T_表 with style block, image anchor and indicator at top and bottom.
TEST_F(PageBuilderTest, AppendedTablePage) {
    addLaw("01A", "建基法", "建築基準法");
    addPage("01A-T0010000-00", "01A-0000-0000-0000-0000", "別表第一", 2, 0, "表の前半");
    addPage("01A-T0010000-01", "01A-0000-0000-0000-0000", "", 2, 0, "表の後半");
    addTablePiece("01A-T0010000-00-0000-0000-0000-0000", 1,
                  "<html><head></head>\n<body>\n<table><tr><td x:str=\"'用途\" class=x>用途\n</td></tr></table>"
                  "\n</body></html>");

    const std::string img = images() + "system/";
    // The line feed before the indicator's <br> goes with the others.
    const std::string indicator =
        "\n<!---------------------------------------->\n"
        "<!--↓タヴレルが挿入した分割インジケータ--><br>\n"
        "<div align='right'>\n"
        "<a href='http://01A-T0010000-00_TAVREL'><img border='0' title='表の前半　(現在位置 P.1/2)' src='" +
        img +
        "indicator_red.gif' width='10' height='10'></a>"
        "<a href='http://01A-T0010000-01_TAVREL'><img border='0' title='表の後半　(P.2/2)' src='" +
        img +
        "indicator_blue.gif' width='10' height='10'></a>"
        "\n</div>\n"
        "<!--↑タヴレルが挿入した分割インジケータ-->\n"
        "<!---------------------------------------->\n";
    const std::string expected =
        "<html><head>"
        "<style type=\"text/css\">\n<!--\n"
        "A { text-decoration: none; }\n"
        "A:link { color: #007733}\n"
        "A:active { color: #FF0000}\n"
        "A:hover { color: #FF0000}\n"
        "-->\n</style>\n\n"
        "</head>\n<body>"
        "\n\n<!--↓イメージ等の動的挿入用アンカー-------->\n<a name=\"insert_point\"></a>\n\n" +
        indicator + "\n<table><tr><td  class=x>用途</td></tr></table>\n" + indicator + "</body></html>";
    EXPECT_EQ(page("01A-T0010000-00"), expected);
    EXPECT_TRUE(sink_.empty()) << firstMessage();
}

TEST_F(PageBuilderTest, SpecialPageKeepsItsPiecesInOrder) {
    exec(
        "INSERT INTO T_他 (ID_FN, 順序, HTMLデータ) VALUES ('00A-Z0020000-00', 2, '<p x:str=\"a\">後</p>'), "
        "('00A-Z0020000-00', 1, '<p>前 <img src=\"images/basic/a.gif\"></p>'), ('00A-Z0020000-00', 3, NULL)");
    EXPECT_EQ(page("00A-Z0020000-00"), "<p>前 <img src=\"images/basic/a.gif\"></p><p >後</p>");
}

TEST_F(PageBuilderTest, DesignDataPageImagesPointIntoTheImageFolder) {
    exec(
        "INSERT INTO T_他 (ID_FN, 順序, HTMLデータ) VALUES ('00A-Z0090003-00', 1, "
        "'<img src=\"images/basic/h.gif\"><img src=\"images/design/s.gif\">')");
    EXPECT_EQ(page("00A-Z0090003-00"),
              "<img src=\"" + images() + "basic/h.gif\"><img src=\"" + images() + "design/s.gif\">");
}

// The cover and the page in preparation point their two images into the
// image folder and link their explicit link markup (no id: no source row).
TEST_F(PageBuilderTest, CoverAndPageInPreparation) {
    const std::string stored =
        "<img src=\"tavrel_title.bmp\"><img src=\"season.gif\"><p>[L建築基準法/01A-00010000L]</p>";
    for (const char* id : {"00A-Z0010000-00", "00A-Z0050000-00", "00A-Z0020000-00"})
        exec(std::string("INSERT INTO T_他 (ID_FN, 順序, HTMLデータ) VALUES ('") + id + "', 1, " +
             FixtureDb::quote(stored) + ")");
    const std::string expected = "<img src=\"" + images() + "tavrel_title.bmp\"><img src=\"" + images() +
                                 "season.gif\"><p><a href='http://01A-00010000_TAVREL'>建築基準法</a></p>";
    EXPECT_EQ(page("00A-Z0010000-00"), expected);
    EXPECT_EQ(page("00A-Z0050000-00"), expected);
    EXPECT_EQ(page("00A-Z0020000-00"), stored);
    EXPECT_TRUE(sink_.empty()) << firstMessage();
}

TEST_F(PageBuilderTest, AbolishedCabinetOrderCarriesItsNotice) {
    addLaw("10B", "旧令", "旧施行令");
    addPage("10B-00010000-00", "10B-0000-0000-0000-0000", "なし");
    addSentence("10B-00010000-00-0100-0000-0000-0000", "本文");
    const std::string html = page("10B-00010000-00");
    const std::string notice =
        "<hr>\n<br>\n"
        "<p style=\"color:#FF0000\">この政令は、平成18年政令第379号（バリアフリー法施行令）附則第2条第一号の規定により"
        "平成18年12月20日に廃止されました。本来ならば削除するところですが、参考用に収録しております。尚、すでに失効"
        "している政令ですので、ハイパーリンクの参照関係が適切でない場合があります。ご了承下さい。</p>"
        "<br>\n<br>\n<br>\n<div";
    EXPECT_NE(html.find(notice), std::string::npos) << html;
    EXPECT_EQ(html.find("この法律は"), std::string::npos);
}

TEST_F(PageBuilderTest, OtherAbolishedLawsAndOrdinaryLaws) {
    for (const char* law : {"10A", "10C", "11A"}) {
        addLaw(law, "法", "法");
        addPage(std::string(law) + "-00010000-00", std::string(law) + "-0000-0000-0000-0000", "なし");
        addSentence(std::string(law) + "-00010000-00-0100-0000-0000-0000", "本文");
    }
    EXPECT_NE(page("10A-00010000-00").find("<br>\n<p style=\"color:#FF0000\">この法律は、平成18年法律第91号"),
              std::string::npos);
    EXPECT_NE(page("10C-00010000-00").find("<br>\n<p style=\"color:#FF0000\">この省令は、平成18年国土交通省令第110号"),
              std::string::npos);
    EXPECT_EQ(page("11A-00010000-00").find("color:#FF0000"), std::string::npos);
}

// Caption rules: なし gives only the line break that follows a caption; an
// empty caption on an unsplit page gives neither.
TEST_F(PageBuilderTest, CaptionLineRules) {
    addLaw("01A", "建基法", "建築基準法");
    addPage("01A-00010000-00", "01A-0000-0000-0000-0000", "なし");
    addPage("01A-00020000-00", "01A-0000-0000-0000-0000", "");
    addPage("01A-00030000-00", "01A-0000-0000-0000-0000", "NULL");
    for (const char* id : {"01A-00010000-00", "01A-00020000-00", "01A-00030000-00"})
        addSentence(std::string(id) + "-0100-0000-0000-0000", "本文");
    auto afterRule = [](const std::string& html) {
        const size_t hr = html.find("<hr>\n<br>\n");
        const size_t div = html.find("<div style=");
        return hr == std::string::npos || div == std::string::npos ? std::string("?")
                                                                   : html.substr(hr + 10, div - hr - 10);
    };
    EXPECT_EQ(afterRule(page("01A-00010000-00")), "<br>\n<br>\n<br>\n");
    EXPECT_EQ(afterRule(page("01A-00020000-00")), "<br>\n<br>\n");
    EXPECT_EQ(afterRule(page("01A-00030000-00")), "<br>\n<br>\n");
}

// A row without label and text gives no div, but its table still follows;
// a missing table leaves the red line; 図入 tables get the image folder.
TEST_F(PageBuilderTest, TablesOfSentences) {
    addLaw("01A", "建基法", "建築基準法");
    addPage("01A-F0020000-00", "01A-0000-0000-0000-0000", "附則");
    const std::string p = "01A-F0020000-00-";
    addSentence(p + "0200-0000-0000-0000", "", "0000000000000000", {-1, 0, 0, -1});
    addTablePiece(p + "0200-0000-0000-0000", 1,
                  "<html><head></head><body><img src=\"./images/fig.gif\" x:str=\"1\">"
                  "「容積」という。</body></html>");
    addSentence(p + "0300-0000-0000-0000", "表のない行", "0000000000000000", {1, 0, 0, 0});

    const std::string html = page("01A-F0020000-00");
    const std::string expectedRows =
        "\n<!-- start : tabel inserted -->\n"
        "<html><head><style type=\"text/css\">\n<!--\n"
        "A { text-decoration: none; }\n"
        "A:link { color: #007733}\n"
        "A:active { color: #FF0000}\n"
        "A:hover { color: #FF0000}\n"
        "-->\n</style>\n\n"
        "</head><body><img src=\"" +
        images() +
        "kokuji/fig.gif\" ><B STYLE=\"color: #996633\">「容積」</B>という。</body></html>"
        "\n<!-- end : tabel inserted -->\n\n"
        "<br>\n\n"
        "<br><br>\n"
        "<div style='margin-bottom:0.0mm; margin-top:2.0mm; margin-left:0.0mm; text-indent:0.0mm'>\n"
        "<font color=\"#0066CC\"><b><a id=\"01A-F0020000-00-0300-0000-0000-0000\">\n"
        "\n</a></b></font>\n"
        "表のない行\n</div>\n"
        "<br><font color=#EE0000><B>\n"
        "　　表式データ（01A-F0020000-00-0300-0000-0000-0000）が見つかりませんでした。<br>\n"
        "</b></font>\n"
        "<br>\n" +
        expectedPageEnd();
    const std::string head = "<hr>\n<br>\n";
    ASSERT_NE(html.find(head), std::string::npos) << html;
    EXPECT_EQ(html.substr(html.find(head) + head.size()), expectedRows);
    // The missing table is reported by the table builder, not by the page.
    ASSERT_EQ(sink_.shown().size(), 1u);
    EXPECT_EQ(firstCaption(), "HTML形式の表式データを抽出する");
}

// A row whose level cannot be determined shows no label, keeps the previous
// row's indentation, and the rows after it are still shown.
TEST_F(PageBuilderTest, RowWithUnknownLevelKeepsIndentationAndIsFollowed) {
    addLaw("01A", "建基法", "建築基準法");
    addPage("01A-00040000-00", "01A-0000-0000-0000-0000", "なし");
    const std::string p = "01A-00040000-00-";
    addSentence(p + "0100-0100-0000-0000", "号の行");
    addSentence(p + "0100-0100-0000-00001", "壊れた行");
    addSentence(p + "0100-0200-0000-0000", "次の号");
    const std::string html = page("01A-00040000-00");
    EXPECT_NE(html.find("margin-left:8.8mm; text-indent:-5.3mm'>\n<font color=\"#0066CC\"><b><a "
                        "id=\"01A-00040000-00-0100-0100-0000-00001\">\n\n</a></b></font>\n壊れた行\n</div>\n"),
              std::string::npos)
        << html;
    EXPECT_NE(html.find("二　\n</a></b></font>\n次の号\n</div>\n"), std::string::npos) << html;
}

TEST_F(PageBuilderTest, ItemRowIndentationFollowsTheBasicFontSize) {
    addLaw("01A", "建基法", "建築基準法");
    addPage("01A-00050000-00", "01A-0000-0000-0000-0000", "なし");
    addSentence("01A-00050000-00-0100-0300-0000-0000", "号");
    EXPECT_NE(page("01A-00050000-00")
                  .find("<div style='margin-bottom:0.0mm; margin-top:2.0mm; margin-left:8.8mm; text-indent:-5.3mm'>"),
              std::string::npos);
    doc().options()[FontSizeBasic] = 9;
    const std::string html9 = page("01A-00050000-00");
    EXPECT_NE(html9.find("margin-left:7.9mm; text-indent:-4.8mm'>"), std::string::npos);
    EXPECT_NE(html9.find("font-size: 9pt\" bgcolor"), std::string::npos);
}

// The Brachet toggle decides the bracket colouring, the Refer toggle the
// reference-link block, which follows the sentence's div with a line break.
TEST_F(PageBuilderTest, TogglesDecideBracketsAndReferenceLinks) {
    addLaw("01A", "建基法", "建築基準法");
    addPage("01A-00010000-00", "01A-0000-0000-0000-0000", "目的");
    addPage("01A-00020000-00", "01A-0000-0000-0000-0000", "なし");
    const std::string id = "01A-00010000-00-0100-0000-0000-0000";
    const std::string sentence = "建築物の敷地（この法律の規定の適用を受けるものに限る。）について定める。";
    addSentence(id, sentence, "0000000000000000", {0, 0, -1, 0});
    exec(
        "INSERT INTO T_参 (ID_BN, ID_FN, 順序, 表示, 場所, キーワード, 表中, 選定, 自動, 強調, 有効, 備考, 補助) "
        "VALUES ('" +
        id + "', '01A-00020000-00', 1, -1, '', '敷地', 0, 0, -1, -1, -1, '用語', '')");
    const std::string divEnd = "\n</div>\n";

    // Both on: the block as the reference builder makes it, after the div.
    std::string block;
    std::string coloured = text::fromUtf8(sentence);
    doc();
    ASSERT_TRUE(colourBracketsForTest(coloured));
    std::string table;
    ASSERT_TRUE(render::buildReferenceBlock(doc(), id, 9, block, coloured, table));
    const std::string on = page("01A-00010000-00");
    EXPECT_NE(on.find(text::toUtf8(coloured) + divEnd + text::toUtf8(block) + "<br>\n" + expectedPageEnd()),
              std::string::npos)
        << on;

    // Both off: the sentence as stored, and no block.
    doc().toggles().brachet = false;
    doc().toggles().refer = false;
    const std::string off = page("01A-00010000-00");
    EXPECT_NE(off.find("\n" + sentence + divEnd + expectedPageEnd()), std::string::npos) << off;
    EXPECT_EQ(off.find("01A-00020000_TAVREL"), std::string::npos);
    EXPECT_TRUE(sink_.empty()) << firstMessage();
}

TEST_F(PageBuilderTest, ColoursComeFromTheOptions) {
    addLaw("01A", "建基法", "建築基準法");
    addPage("01A-00060000-00", "01A-0000-0000-0000-0000", "なし");
    addSentence("01A-00060000-00-0100-0000-0000-0000", "本文");
    doc().options()[BackColor] = 0x123456;  // blue 12, green 34, red 56
    doc().options()[FontColorBasic] = 0x0000FF;
    doc().options()[FontColorLink] = 0xABCDEF;
    doc().options()[FontColorTag] = 0x010203;
    const std::string html = page("01A-00060000-00");
    EXPECT_NE(html.find("bgcolor=\"#563412\" text=\"#FF0000\" >"), std::string::npos);
    EXPECT_NE(html.find("A:link { color: #EFCDAB}\n"), std::string::npos);
    EXPECT_NE(html.find("<font color=\"#030201\"><b>"), std::string::npos);
}

TEST_F(PageBuilderTest, FailuresShowOneReportAndGiveNoPage) {
    addLaw("01A", "建基法", "建築基準法");
    addPage("01A-00070000-00", "01A-0000-0000-0000-0000", "なし");  // no sentences
    addPage("01A-00080000-00", "01A-0100", "なし");                 // broken division
    addSentence("01A-00080000-00-0100-0000-0000-0000", "本文");

    EXPECT_EQ(failure("01A-X0010000-00"), "法文のタイプの識別ができませんでした。\n\n関数 = CTavrelDoc::_html_build()");
    sink_.clear();
    EXPECT_EQ(failure("01A-0001000-00"), "法文のタイプの識別ができませんでした。\n\n関数 = CTavrelDoc::_html_build()");
    sink_.clear();
    EXPECT_EQ(failure("01A-0003'000-00"), "法文のタイプの識別ができませんでした。\n\n関数 = CTavrelDoc::_html_build()");
    sink_.clear();
    EXPECT_EQ(failure("01A-00070000-00"),
              "データベースのテーブル(T_文)内に法文データを\n見つけることができませんでした。\n\n"
              "関数 = CTavrelDoc::_html_build()");
    sink_.clear();
    EXPECT_EQ(failure("01A-00080000-00"), "章番号の抽出に失敗しました。\n\n関数 = CTavrelDoc::_html_build()");
    sink_.clear();
}

TEST_F(PageBuilderTest, MissingAppendedTableReportsTwice) {
    render::PageBuilder builder(doc());
    std::string html;
    EXPECT_FALSE(builder.buildPage(text::fromUtf8("01A-T0090000-00"), html));
    ASSERT_EQ(sink_.shown().size(), 2u);
    EXPECT_EQ(sink_.shown()[0].captionUtf8(), "HTML形式の表式データを抽出する");
    EXPECT_EQ(sink_.shown()[1].captionUtf8(), "HTML形式の法文を作成");
    EXPECT_EQ(sink_.shown()[1].textUtf8(), "別表の抽出に失敗しました。\n\n関数 = CTavrelDoc::_html_build()");
}

// The report asks the user to tell the author; the address line follows
// only when the installation has a mail address.
TEST_F(PageBuilderTest, MissingTitleRowNamesThePageAndTheAuthor) {
    const std::string report =
        "データベースに法文タイトルを見つけることが\nできませんでした。\n\n"
        "関数 = CTavrelDoc::_html_build()\n条ID = 01A-00990000-00\n\n"
        "お手数ですが、表示しようとした条文とジャンプ元の条文を作者まで電子メールでお知らせください。";
    render::PageBuilder builder(doc());
    std::string html;
    EXPECT_FALSE(builder.buildPage(text::fromUtf8("01A-00990000-00"), html));
    ASSERT_EQ(sink_.shown().size(), 1u);
    EXPECT_EQ(firstCaption(), "HTML形式の法文を作成");
    EXPECT_EQ(firstMessage(), report);

    settings_.writeText(kSupportSection, keys::SupportMail, " mailto:author@support.test ");
    doc_.reset();
    sink_.clear();
    render::PageBuilder again(doc());
    EXPECT_FALSE(again.buildPage(text::fromUtf8("01A-00990000-00"), html));
    ASSERT_EQ(sink_.shown().size(), 1u);
    EXPECT_EQ(firstMessage(), report + "\nauthor@support.test");
}

TEST_F(PageBuilderTest, SpecialPageWithoutPiecesFailsTwice) {
    render::PageBuilder builder(doc());
    std::string html;
    EXPECT_FALSE(builder.buildPage(text::fromUtf8("00A-Z0030000-00"), html));
    ASSERT_EQ(sink_.shown().size(), 2u);
    EXPECT_EQ(sink_.shown()[0].captionUtf8(), "テーブル「T_他」からHTMLデータを抽出する");
    EXPECT_EQ(sink_.shown()[0].textUtf8(),
              "データベース中のテーブル「T_他」にHTMLデータを\n見つけることができませんでした。\n\n"
              "関数 = CTavrelDoc::_html_others()");
    EXPECT_EQ(sink_.shown()[1].textUtf8(),
              "テーブル「T_他」からのHTMLデータの抽出に失敗しました。\n\n関数 = CTavrelDoc::_html_build()");
}

TEST_F(PageBuilderTest, DatabaseErrorIsReportedInTheErrorObjectForm) {
    addLaw("01A", "建基法", "建築基準法");
    addPage("01A-00010000-00", "01A-0000-0000-0000-0000", "なし");
    doc();
    exec("DROP TABLE T_文");
    const std::string text = failure("01A-00010000-00");
    EXPECT_EQ(text.rfind("#importによって生成されたクラスに対し例外が生成されました。\n\n", 0), 0u) << text;
    EXPECT_NE(text.find("\n関数 = CTavrelDoc::_html_build()"), std::string::npos);
}

TEST_F(PageBuilderTest, PageFileIsWrittenWithCrLf) {
    render::PageBuilder builder(doc());
    ASSERT_TRUE(std::filesystem::exists(doc().tempFolder()));
    EXPECT_TRUE(builder.writePageFile("01A-00030000-00", "<html>\n<body>\nx\n</body>\n"));
    EXPECT_EQ(readFile(doc().tempFolder() + "01A-00030000-00.tmp"), "<html>\r\n<body>\r\nx\r\n</body>\r\n");
    EXPECT_TRUE(builder.writePageFile("01A-00030000-00", "y"));
    EXPECT_EQ(readFile(doc().tempFolder() + "01A-00030000-00.tmp"), "y");
    // Only a page identifier names a file, and nothing is written beside it.
    EXPECT_FALSE(builder.writePageFile("01A-0003", "z"));
    EXPECT_FALSE(builder.writePageFile("../../x/0000-00", "z"));
    std::filesystem::remove_all(doc().tempFolder());
    EXPECT_FALSE(builder.writePageFile("01A-00030000-00", "z"));
}

TEST(UnitExponents, EveryUnitGetsItsExponentRaised) {
    auto raise = [](const std::string& utf8) { return text::toUtf8(render::raiseUnitExponents(text::fromUtf8(utf8))); };
    EXPECT_EQ(raise("1㎝2 2㎝3 3㎜2 4㎜3 5m3 6s2 7秒2"),
              "1㎝<SUP>2</SUP> 2㎝<SUP>3</SUP> 3㎜<SUP>2</SUP> 4㎜<SUP>3</SUP> 5m<SUP>3</SUP> 6s<SUP>2</SUP> "
              "7秒<SUP>2</SUP>");
    EXPECT_EQ(raise("㎝2㎝2"), "㎝<SUP>2</SUP>㎝<SUP>2</SUP>");
    EXPECT_EQ(raise("m2 ㎝4 秒3 s3 kg"), "m2 ㎝4 秒3 s3 kg");
}

// Arbitrary bytes with markup fragments as sentence text never crash or hang
// the builder; the page always ends properly.
TEST_F(PageBuilderTest, RandomSentenceTextsAlwaysGiveAPage) {
    addLaw("01A", "建基法", "建築基準法");
    addPage("01A-00090000-00", "01A-0000-0000-0000-0000", "なし");
    addSentence("01A-00090000-00-0100-0000-0000-0000", "x");
    exec("PRAGMA synchronous = OFF");  // hundreds of updates of a throwaway file
    doc();
    const char* fragments[] = {"（",  "）",  "「",  "」という。", "[",         "]",        "[L", "/",
                               "L]",  "[第", "条",  "<",          ">",         "x:str=\"", "\"", "\n",
                               "㎝2", "m3",  "秒2", "　",         "./images/", "%s",       "%d", "\\"};
    std::mt19937 rng(20261207);
    render::PageBuilder builder(doc());
    for (int round = 0; round < 300; ++round) {
        std::string sentence;
        const int pieces = static_cast<int>(rng() % 40);
        for (int i = 0; i < pieces; ++i) {
            if (rng() % 2) {
                sentence += text::fromUtf8(fragments[rng() % (sizeof fragments / sizeof *fragments)]);
            } else {
                char c = static_cast<char>(rng() % 255 + 1);
                sentence += c;
            }
        }
        // Stored as UTF-8 by the database: what survives the round trip.
        exec("UPDATE T_文 SET 法文 = " + FixtureDb::quote(text::toUtf8(sentence)));
        std::string html;
        ASSERT_TRUE(builder.buildPage(text::fromUtf8("01A-00090000-00"), html)) << firstMessage();
        ASSERT_GE(html.size(), expectedPageEnd().size());
        EXPECT_EQ(html.substr(html.size() - expectedPageEnd().size()), expectedPageEnd());
    }
}

// Raw bytes (lone lead bytes at the end included), odd identifiers and
// format codes straight into the sentence renderer of every page kind.
TEST_F(PageBuilderTest, RandomRowsNeverBreakTheSentenceRenderer) {
    doc();
    std::mt19937 rng(7);
    const char* fragments[] = {"（", "）", "「", "」という。", "[第", "条]", "[L",
                               "/",  "L]", "[K", "K]",         "-",   "0",   "A"};
    auto randomText = [&](int maxPieces) {
        std::string t;
        const int pieces = static_cast<int>(rng() % maxPieces);
        for (int i = 0; i < pieces; ++i) {
            if (rng() % 3 == 0)
                t += text::fromUtf8(fragments[rng() % (sizeof fragments / sizeof *fragments)]);
            else
                t += static_cast<char>(rng() % 256);
        }
        return t;
    };
    const numbering::PageKind kinds[] = {numbering::Article, numbering::Notification, numbering::Supplementary};
    for (int round = 0; round < 500; ++round) {
        render::SentenceRenderer renderer(doc(), kinds[round % 3]);
        render::SentenceRow row;
        row.idBN = round % 2 ? "01A-00010000-00-" + randomText(12) : randomText(40);
        row.text = randomText(60);
        row.formatCode = randomText(20);
        row.labelHidden = rng() % 2;
        const std::string block = renderer.render(row);
        // Without references and tables a block is nothing or one whole div.
        if (!block.empty()) {
            EXPECT_EQ(block.rfind("<div style='margin-bottom:0.0mm; margin-top:2.0mm; margin-left:", 0), 0u);
            ASSERT_GE(block.size(), 8u);
            EXPECT_EQ(block.substr(block.size() - 8), "\n</div>\n");
        }
    }
    EXPECT_TRUE(sink_.empty()) << firstMessage();
}

}  // namespace
}  // namespace tavrel::testing
