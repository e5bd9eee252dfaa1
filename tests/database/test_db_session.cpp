#include <gtest/gtest.h>

#include <sqlite3.h>

#include <filesystem>

#include "database/db_session.h"
#include "database/report.h"
#include "support/fake_message_sink.h"
#include "support/fixture_db.h"
#include "support/temp_dir.h"
#include "text/sjis.h"

using namespace tavrel;
using tavrel::db::DbSession;
using tavrel::testing::FakeMessageSink;
using tavrel::testing::FixtureDb;
using tavrel::testing::TempDir;

namespace {

// Engine failures name SQLite and its version.
const std::string kEngine = std::string("SQLite ") + sqlite3_libversion();
const std::string kHead = "#importによって生成されたクラスに対し例外が生成されました。\n\n";

std::string sjisPath(const std::string& utf8) { return text::fromUtf8(utf8); }

// The whole open report for an engine failure of code / meaning / description.
std::string openReport(const std::string& code, const std::string& meaning, const std::string& description) {
    return kHead + "\tコード = " + code + "\n\t意味 = " + meaning +
           "\n\tソース = " + kEngine + "\n\t説明 = " + description + "\n\t関数 = CTavrelDoc::_db_open()";
}

}  // namespace

TEST(DbSessionTest, OpenAndCloseShowNothingAndTrackTheConnectedFlag) {
    TempDir dir;
    // "%" in the path must not be taken as a format of the connection text.
    const std::filesystem::path folder = dir.path() / "Program Files" / "ソラテ %s%d 2008";
    std::filesystem::create_directories(folder);
    const std::string path = (folder / "TL2008.orl").string();
    {
        FixtureDb db(path);
        db.exec("INSERT INTO T_法 VALUES ('01A', '建築基準法', NULL, NULL, -1)");
    }
    FakeMessageSink sink;
    DbSession s;
    EXPECT_FALSE(s.connected());
    ASSERT_TRUE(s.open(sjisPath(path), sink));
    EXPECT_TRUE(s.connected());
    db::Recordset rs = s.connection().execute(SJ("SELECT * FROM T_法"));
    EXPECT_EQ(rs.text(SJ("法名一般")), SJ("建築基準法"));
    rs.close();
    EXPECT_TRUE(s.close(sink));
    EXPECT_FALSE(s.connected());
    EXPECT_TRUE(s.close(sink));  // twice
    EXPECT_TRUE(sink.empty());
}

TEST(DbSessionTest, CloseWithoutOpenReturnsTrueAndTheConnectionIsClosed) {
    FakeMessageSink sink;
    DbSession s;
    EXPECT_TRUE(s.close(sink));
    EXPECT_TRUE(sink.empty());
    EXPECT_FALSE(s.connection().isOpen());
    EXPECT_THROW(s.connection().execute("SELECT 1"), db::DbError);
}

TEST(DbSessionTest, ANewOpenReleasesTheOldConnection) {
    TempDir dir;
    FixtureDb a(dir.file("a.orl"));
    FakeMessageSink sink;
    DbSession s;
    ASSERT_TRUE(s.open(dir.file("a.orl"), sink));
    ASSERT_TRUE(s.open(dir.file("a.orl"), sink));  // no "already open" failure
    EXPECT_TRUE(s.connected());
    EXPECT_TRUE(sink.empty());
    // A failing reopen leaves no connection behind and says so.
    EXPECT_FALSE(s.open(dir.file("missing.orl"), sink));
    EXPECT_FALSE(s.connected());
    EXPECT_FALSE(s.connection().isOpen());
    EXPECT_TRUE(s.close(sink));
    EXPECT_EQ(sink.shown().size(), 1u);
}

TEST(DbSessionTest, FailedOpensShowTheIndentedErrorObjectReport) {
    TempDir dir;
    const std::string meaningEFail = text::toUtf8(db::errorMeaning(0x80004005));
    {
        FixtureDb db(dir.file("good.orl"));
    }
    {
        FixtureDb db(dir.file("nopw.orl"));
        db.exec("DROP TABLE DB_PASSWORD");
    }
    tavrel::testing::writeFile(dir.file("empty.orl"), "");
    tavrel::testing::writeFile(dir.file("text.orl"), "plain text, not a database\n");
    const std::string good = tavrel::testing::readFile(dir.file("good.orl"));
    tavrel::testing::writeFile(dir.file("cut.orl"), good.substr(0, good.size() - 4096));

    struct Case {
        const char* name;
        std::string file;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"missing", dir.file("missing.orl"),
         openReport("80004005", meaningEFail, "ファイル '" + dir.file("missing.orl") + "' が見つかりません。")},
        {"empty", dir.file("empty.orl"),
         openReport("80004005", meaningEFail, "データベース形式 '" + dir.file("empty.orl") + "' を認識できません。")},
        {"text", dir.file("text.orl"),
         openReport("80004005", meaningEFail, "データベース形式 '" + dir.file("text.orl") + "' を認識できません。")},
        {"truncated", dir.file("cut.orl"),
         openReport("80004005", meaningEFail, "データベース形式 '" + dir.file("cut.orl") + "' を認識できません。")},
        {"no password table", dir.file("nopw.orl"),
         openReport("80004005", meaningEFail, "データベース形式 '" + dir.file("nopw.orl") + "' を認識できません。")},
    };
    for (const Case& k : cases) {
        FakeMessageSink sink;
        DbSession s;
        EXPECT_FALSE(s.open(sjisPath(k.file), sink)) << k.name;
        EXPECT_FALSE(s.connected()) << k.name;
        ASSERT_EQ(sink.shown().size(), 1u) << k.name;
        const auto& m = sink.shown()[0];
        EXPECT_EQ(m.captionUtf8(), "データベースの接続") << k.name;
        EXPECT_EQ(m.textUtf8(), k.expected) << k.name;
        EXPECT_EQ(m.buttons, MsgButtons::Ok);
        EXPECT_EQ(m.icon, MsgIcon::Error);
        EXPECT_TRUE(m.ownerless);
        // Closing after a failed open has nothing to do.
        EXPECT_TRUE(s.close(sink));
        EXPECT_EQ(sink.shown().size(), 1u);
    }
}

TEST(DbSessionTest, AnotherPasswordOrALockedFileFailsTheOpen) {
    TempDir dir;
    FixtureDb other(dir.file("other.orl"), "another");
    FakeMessageSink sink;
    DbSession s;
    EXPECT_FALSE(s.open(dir.file("other.orl"), sink));
    ASSERT_EQ(sink.shown().size(), 1u);
    EXPECT_EQ(sink.shown()[0].textUtf8(), openReport("80040e4d", "IDispatch error #3149", "パスワードが無効です。"));

    FixtureDb locked(dir.file("locked.orl"));
    locked.exec("PRAGMA locking_mode = EXCLUSIVE; BEGIN EXCLUSIVE; DELETE FROM T_法;");
    EXPECT_FALSE(s.open(dir.file("locked.orl"), sink));
    ASSERT_EQ(sink.shown().size(), 2u);
    const std::string text = sink.shown()[1].textUtf8();
    EXPECT_EQ(text.rfind(kHead + "\tコード = 80004005\n\t意味 = ", 0), 0u) << text;
    EXPECT_NE(text.find("\n\tソース = " + kEngine + "\n\t説明 = ファイル '" + dir.file("locked.orl") +
                        "' を開けません。"),
              std::string::npos)
        << text;
    const std::string tail = "\n\t関数 = CTavrelDoc::_db_open()";
    ASSERT_GT(text.size(), tail.size());
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
    EXPECT_FALSE(s.connected());
}

TEST(DbSessionTest, AConnectionObjectThatCannotBeCreatedGivesTheFixedReport) {
    TempDir dir;
    FixtureDb db(dir.file("a.orl"));
    const std::string expected = "ADO CONNECTIONオブジェクトの生成に失敗しました。\n\n\t関数 = CTavrelDoc::_db_open()";
    FakeMessageSink sink;
    DbSession s;
    s.setConnectionFactory([] { return std::unique_ptr<db::Connection>(); });
    EXPECT_FALSE(s.open(dir.file("a.orl"), sink));
    s.setConnectionFactory([]() -> std::unique_ptr<db::Connection> { throw std::bad_alloc(); });
    EXPECT_FALSE(s.open(dir.file("a.orl"), sink));
    ASSERT_EQ(sink.shown().size(), 2u);
    for (const auto& m : sink.shown()) {
        EXPECT_EQ(m.captionUtf8(), "データベースの接続");
        EXPECT_EQ(m.textUtf8(), expected);
    }
    EXPECT_FALSE(s.connected());
    EXPECT_FALSE(s.connection().isOpen());
    s.setConnectionFactory(nullptr);
    EXPECT_TRUE(s.open(dir.file("a.orl"), sink));
    EXPECT_EQ(sink.shown().size(), 2u);
}
