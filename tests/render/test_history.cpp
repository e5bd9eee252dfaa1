// The history block of notification pages and the era dates it shows.
#include "render/history.h"
#include "render/page_builder.h"
#include "text/sjis.h"

#include "render_fixture.h"

#include <gtest/gtest.h>
#include <string>

namespace tavrel::testing {
namespace {

class HistoryTest : public RenderFixture {
  protected:
    void addHistory(const std::string& idFN, const std::string& promulgated, const std::string& revised,
                    const std::string& revisionNumber) {
        auto value = [](const std::string& v) { return v == "NULL" ? v : FixtureDb::quote(v); };
        exec("INSERT INTO T_告 (ID_FN, 公布年月日, 公布省名, 改正年月日, 改正省名, 改正告示番号) VALUES ('" + idFN +
             "', " + value(promulgated) + ", '建設省', " + value(revised) + ", '国土交通省', " + revisionNumber + ")");
    }
    std::string history(const std::string& idFN, int number) {
        return text::toUtf8(render::buildHistoryBlock(doc(), text::fromUtf8(idFN), 4, 12, number, 10));
    }
};

TEST_F(HistoryTest, EraDates) {
    // The era changes on its first day, not on the first of January.
    EXPECT_EQ(text::toUtf8(render::eraDate("1989-01-07")), "昭和64年1月7日");
    EXPECT_EQ(text::toUtf8(render::eraDate("1989-01-08")), "平成1年1月8日");
    EXPECT_EQ(text::toUtf8(render::eraDate("1989-12-31")), "平成1年12月31日");
    EXPECT_EQ(text::toUtf8(render::eraDate("2019-04-30")), "平成31年4月30日");
    EXPECT_EQ(text::toUtf8(render::eraDate("2019-05-01")), "令和1年5月1日");
    EXPECT_EQ(text::toUtf8(render::eraDate("2020-06-10")), "令和2年6月10日");
    EXPECT_EQ(text::toUtf8(render::eraDate("1926-01-01")), "大正15年1月1日");
    EXPECT_EQ(text::toUtf8(render::eraDate("1926-12-31")), "昭和1年12月31日");
    EXPECT_EQ(text::toUtf8(render::eraDate("1988-05-09")), "昭和63年5月9日");
    EXPECT_EQ(text::toUtf8(render::eraDate("1912-07-30")), "大正1年7月30日");
    EXPECT_EQ(text::toUtf8(render::eraDate("1868-10-23")), "明治1年10月23日");
    EXPECT_EQ(text::toUtf8(render::eraDate("2007-05-18 00:00:00")), "平成19年5月18日");
    // Before the first era the plain year is shown.
    EXPECT_EQ(text::toUtf8(render::eraDate("1850-03-01")), "1850年3月1日");
    EXPECT_EQ(render::eraDate(""), "");
    EXPECT_EQ(render::eraDate("1989/01/07"), "");
    EXPECT_EQ(render::eraDate("19890107"), "");
}

TEST_F(HistoryTest, PromulgationAndRevision) {
    addHistory("51A-KD121234-00", "2000-05-31", "2007-05-18", "621");
    EXPECT_EQ(history("51A-KD121234-00", 1234),
              "<br>\n"
              "<font style=\"font-size: 9pt; font-weight: normal; color: #696969\">\n"
              "<div align=\"right\">平成12年5月31日　建設省告示第1234号</div>\n"
              "<div align=\"right\">最終改正　平成19年5月18日　国土交通省告示第621号</div>\n"
              "</font>\n");
    EXPECT_TRUE(sink_.empty());
}

TEST_F(HistoryTest, DateColourAndSizeFollowTheOptions) {
    addHistory("51A-KD121234-00", "2000-05-31", "NULL", "NULL");
    doc().options()[FontColorKkjDate] = 0x0000AA;
    EXPECT_EQ(text::toUtf8(render::buildHistoryBlock(doc(), "51A-KD121234-00", 4, 12, 7, 14)),
              "<br>\n"
              "<font style=\"font-size: 13pt; font-weight: normal; color: #AA0000\">\n"
              "<div align=\"right\">平成12年5月31日　建設省告示第7号</div>\n"
              "</font>\n");
}

TEST_F(HistoryTest, RevisionNeedsDateAndNumber) {
    addHistory("51A-KD120001-00", "1989-01-07", "2007-05-18", "NULL");
    addHistory("51A-KD120002-00", "1926-12-25", "NULL", "5");
    EXPECT_EQ(history("51A-KD120001-00", 1),
              "<br>\n<font style=\"font-size: 9pt; font-weight: normal; color: #696969\">\n"
              "<div align=\"right\">昭和64年1月7日　建設省告示第1号</div>\n</font>\n");
    EXPECT_EQ(history("51A-KD120002-00", 2),
              "<br>\n<font style=\"font-size: 9pt; font-weight: normal; color: #696969\">\n"
              "<div align=\"right\">昭和1年12月25日　建設省告示第2号</div>\n</font>\n");
}

TEST_F(HistoryTest, NoPromulgationDateNoBlock) {
    addHistory("51A-KD120003-00", "NULL", "2007-05-18", "621");
    EXPECT_EQ(history("51A-KD120003-00", 3), "");
    EXPECT_TRUE(sink_.empty());
}

TEST_F(HistoryTest, EmptyMinistryIsLeftOut) {
    exec(
        "INSERT INTO T_告 (ID_FN, 公布年月日, 公布省名, 改正年月日, 改正省名, 改正告示番号) VALUES "
        "('51A-KD120004-00', '2001-02-03', NULL, '2002-03-04', '', 9)");
    EXPECT_EQ(history("51A-KD120004-00", 4),
              "<br>\n<font style=\"font-size: 9pt; font-weight: normal; color: #696969\">\n"
              "<div align=\"right\">平成13年2月3日　告示第4号</div>\n"
              "<div align=\"right\">最終改正　平成14年3月4日　告示第9号</div>\n</font>\n");
}

TEST_F(HistoryTest, LaterPagesShowTheHistoryOfTheFirstPage) {
    addHistory("51A-KD121234-00", "2000-05-31", "NULL", "NULL");
    EXPECT_EQ(history("51A-KD121234-02", 1234), history("51A-KD121234-00", 1234));
    EXPECT_NE(history("51A-KD121234-02", 1234), "");
}

TEST_F(HistoryTest, MissingHistoryIsReportedAndEmpty) {
    EXPECT_EQ(history("51A-KD129999-00", 9999), "");
    ASSERT_EQ(sink_.shown().size(), 1u);
    EXPECT_EQ(firstCaption(), "告示の履歴(html形式)を生成する");
    EXPECT_EQ(firstMessage(),
              "データベースのテーブル(T_告)内に告示履歴データを\n見つけることができませんでした。\n\n"
              "関数 = CTavrelDoc::_html_history()");
}

// The page is still built without its history.
TEST_F(HistoryTest, NotificationPageWithoutHistoryStillBuilds) {
    addLaw("51A", "告示", "告示");
    addPage("51A-KD129999-00", "51A-0000-0000-0000-0000", "なし");
    addSentence("51A-KD129999-00-0100-0000-0000-0000", "本文");
    render::PageBuilder builder(doc());
    std::string html;
    EXPECT_TRUE(builder.buildPage("51A-KD129999-00", html));
    EXPECT_NE(text::toUtf8(html).find("<hr>\n<br>\n<br>\n<br>\n<br>\n<div style="), std::string::npos);
    EXPECT_EQ(sink_.shown().size(), 1u);
}

}  // namespace
}  // namespace tavrel::testing
