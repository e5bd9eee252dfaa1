#include <gtest/gtest.h>

#include "database/report.h"
#include "support/fake_message_sink.h"
#include "text/sjis.h"

using namespace tavrel;
using tavrel::db::ErrorObject;
using tavrel::db::ReportIndent;
using tavrel::testing::FakeMessageSink;

namespace {

ErrorObject jetError() {
    ErrorObject e;
    e.code = 0x80004005;
    e.hasSource = true;
    e.source = "SQLite 3.40.1";
    e.hasDescription = true;
    e.description = SJ("ファイル '/opt/データ/TL2008.orl' が見つかりません。");
    return e;
}

std::optional<std::string> noSystemTexts(uint32_t) { return std::nullopt; }

}  // namespace

TEST(ReportMeaning, SystemTextWithoutItsLineEndElseTheTwoFallbacks) {
    auto lookup = [](uint32_t code) -> std::optional<std::string> {
        if (code == 0x80070005) return std::string("Access is denied.\r\n");
        if (code == 0x80070057) return std::string("no line end");
        if (code == 0x80040210) return std::string("two\r\n\r\n");
        return std::nullopt;
    };
    EXPECT_EQ(db::errorMeaning(0x80070005, lookup), "Access is denied.");
    EXPECT_EQ(db::errorMeaning(0x80070057, lookup), "no line end");
    EXPECT_EQ(db::errorMeaning(0x80040210, lookup), "two\r\n");  // only one trailing CR LF goes
    EXPECT_EQ(db::errorMeaning(0x80040205, lookup), "IDispatch error #5");
    EXPECT_EQ(db::errorMeaning(0x80040200, lookup), "IDispatch error #0");
    EXPECT_EQ(db::errorMeaning(0x8004FFFF, lookup), "IDispatch error #65023");
    EXPECT_EQ(db::errorMeaning(0x80040E4D, lookup), "IDispatch error #3149");
    EXPECT_EQ(db::errorMeaning(0x800401FF, lookup), "Unknown error 0x800401FF");
    EXPECT_EQ(db::errorMeaning(0x80050000, lookup), "Unknown error 0x80050000");
    EXPECT_EQ(db::errorMeaning(0x80004005, lookup), "Unknown error 0x80004005");
    EXPECT_EQ(db::errorMeaning(0x800a0cc1, lookup), "Unknown error 0x800A0CC1");
    EXPECT_EQ(db::errorMeaning(0x5, lookup), "Unknown error 0x5");
    EXPECT_EQ(db::errorMeaning(0x80004005, nullptr), "Unknown error 0x80004005");
}

TEST(ReportMeaning, TheProgramsOwnSystemTextsAreShownWithoutCrLf) {
    const auto t = db::systemMessageText(0x80004005);
    ASSERT_TRUE(t.has_value());
    ASSERT_GE(t->size(), 2u);
    EXPECT_EQ(t->substr(t->size() - 2), "\r\n");
    EXPECT_EQ(db::errorMeaning(0x80004005), t->substr(0, t->size() - 2));
    EXPECT_EQ(db::errorMeaning(0x80040205), "IDispatch error #5");
    EXPECT_EQ(db::errorMeaning(0x800A0E78), "Unknown error 0x800A0E78");
}

TEST(ReportBody, ErrorObjectFormPlainAndIndented) {
    const ErrorObject e = jetError();
    const std::string head = "#importによって生成されたクラスに対し例外が生成されました。\n\n";
    EXPECT_EQ(text::toUtf8(db::errorObjectBody(e, ReportIndent::Plain, noSystemTexts)),
              head +
                  "コード = 80004005\n"
                  "意味 = Unknown error 0x80004005\n"
                  "ソース = SQLite 3.40.1\n"
                  "説明 = ファイル '/opt/データ/TL2008.orl' が見つかりません。\n");
    EXPECT_EQ(text::toUtf8(db::errorObjectBody(e, ReportIndent::Indented, noSystemTexts)),
              head +
                  "\tコード = 80004005\n"
                  "\t意味 = Unknown error 0x80004005\n"
                  "\tソース = SQLite 3.40.1\n"
                  "\t説明 = ファイル '/opt/データ/TL2008.orl' が見つかりません。\n");
}

TEST(ReportBody, AbsentTextsPrintAsNullAndEmptyOnesStayEmpty) {
    ErrorObject e;
    e.code = 0x0000000A;
    const std::string body = text::toUtf8(db::errorObjectBody(e, ReportIndent::Plain, noSystemTexts));
    EXPECT_NE(body.find("コード = 0000000a\n意味 = Unknown error 0xA\nソース = (null)\n説明 = (null)\n"),
              std::string::npos)
        << body;
    e.hasSource = true;  // present but empty
    e.hasDescription = true;
    const std::string body2 = text::toUtf8(db::errorObjectBody(e, ReportIndent::Plain, noSystemTexts));
    EXPECT_NE(body2.find("ソース = \n説明 = \n"), std::string::npos) << body2;
    EXPECT_EQ(text::toUtf8(db::unexpectedExceptionBody()), "処理されない例外が発生しました。\n\n");
}

TEST(ReportBox, CaptionIsThePurposeAndTheLastLineNamesTheOperation) {
    FakeMessageSink sink;
    const std::string notFound = SJ("テーブル(T_法)にレコードセットを見つけることが\nできませんでした。\n\n");
    db::report(sink, SJ("ドキュメント初期化プロセス"), "CTavrelDoc::OnNewDocument()", notFound, ReportIndent::Plain);
    db::report(sink, SJ("全文検索"), "TListSch::_search_in_all_pages_sub()", db::unexpectedExceptionBody(),
               ReportIndent::Indented);
    ASSERT_EQ(sink.shown().size(), 2u);
    const auto& a = sink.shown()[0];
    EXPECT_EQ(a.captionUtf8(), "ドキュメント初期化プロセス");
    EXPECT_EQ(a.textUtf8(),
              "テーブル(T_法)にレコードセットを見つけることが\nできませんでした。\n\n関数 = CTavrelDoc::OnNewDocument()");
    EXPECT_EQ(a.buttons, MsgButtons::Ok);
    EXPECT_EQ(a.icon, MsgIcon::Error);
    EXPECT_TRUE(a.ownerless);
    const auto& b = sink.shown()[1];
    EXPECT_EQ(b.captionUtf8(), "全文検索");
    EXPECT_EQ(b.textUtf8(), "処理されない例外が発生しました。\n\n\t関数 = TListSch::_search_in_all_pages_sub()");
}
