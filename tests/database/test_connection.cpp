#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <optional>

#include "database/connection.h"
#include "database/jet_dialect.h"
#include "database/schema.h"
#include "support/fixture_db.h"
#include "support/temp_dir.h"
#include "text/sjis.h"

using namespace tavrel;
using tavrel::db::Connection;
using tavrel::db::DbError;
using tavrel::db::ErrorObject;
using tavrel::db::Recordset;
using tavrel::testing::FixtureDb;
using tavrel::testing::TempDir;

namespace {

std::string connectionText(const std::string& pathUtf8, const std::string& password = "mqe-5071") {
    return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + text::fromUtf8(pathUtf8) +
           ";Jet OLEDB:Database Password=" + password + ";";
}

// The error object an open raises, or nothing when the open succeeds.
std::optional<ErrorObject> openError(Connection& c, const std::string& text, const std::string& user = "admin",
                                     const std::string& password = "") {
    try {
        c.open(text, user, password, 0);
    } catch (const DbError& e) {
        return e.error();
    }
    return std::nullopt;
}

template <class F>
std::optional<ErrorObject> errorOf(F&& f) {
    try {
        f();
    } catch (const DbError& e) {
        return e.error();
    }
    return std::nullopt;
}

void addLaw(FixtureDb& db) {
    db.exec("INSERT INTO T_法 VALUES ('01A', '建築基準法', '法', '建築基準法（昭和二十五年法律第二百一号）', -1);"
            "INSERT INTO T_法 VALUES ('01B', '建築基準法施行令', '令', NULL, 0);");
}

// Engine failures name SQLite and its version.
const std::string kEngine = std::string("SQLite ") + sqlite3_libversion();

}  // namespace

// ---- Opening ---------------------------------------------------------------

TEST(ConnectionOpen, OpensAPathWithBlanksAndJapaneseCharactersUnchanged) {
    TempDir dir;
    const std::filesystem::path folder = dir.path() / "法令 データ (2008)";
    std::filesystem::create_directories(folder);
    const std::string path = (folder / "TL2008.orl").string();
    {
        FixtureDb db(path);
        addLaw(db);
    }
    Connection c;
    EXPECT_FALSE(c.isOpen());
    ASSERT_EQ(openError(c, connectionText(path)), std::nullopt);
    EXPECT_TRUE(c.isOpen());
    Recordset rs = c.execute(SJ("SELECT 法名一般 FROM T_法 WHERE ID_HN = '01A'"));
    ASSERT_FALSE(rs.isEOF());
    EXPECT_EQ(rs.text(SJ("法名一般")), SJ("建築基準法"));
    rs.close();
    c.close();
    EXPECT_FALSE(c.isOpen());
}

TEST(ConnectionOpen, KeysOfTheConnectionTextIgnoreCaseAndOrder) {
    TempDir dir;
    FixtureDb db(dir.file("a.orl"));
    Connection c;
    const std::string text = " jet oledb:database password=mqe-5071; data source=" + dir.file("a.orl") +
                             ";PROVIDER=microsoft.jet.oledb.4.0";
    EXPECT_EQ(openError(c, text, "Admin"), std::nullopt);
}

TEST(ConnectionOpen, FailuresRaiseTheEngineErrorObjectAndLeaveTheConnectionClosed) {
    TempDir dir;
    const std::string good = dir.file("good.orl");
    {
        FixtureDb db(good);
        addLaw(db);
        // Enough rows for a file of many pages, so that a cut-off copy lacks pages.
        std::string sql = "BEGIN;";
        for (int i = 1; i <= 300; ++i) {
            sql += text::format("INSERT INTO T_文 (ID_BN, 法文) VALUES ('01A-%08d-00-0100-0000-0000-0000', '%0200d');",
                                i, i);
        }
        db.exec(sql + "COMMIT;");
    }
    const std::string bytes = tavrel::testing::readFile(good);
    ASSERT_GT(bytes.size(), 20000u);

    struct Case {
        const char* name;
        std::string file;
    };
    std::vector<Case> cases;
    cases.push_back({"missing", dir.file("missing.orl")});
    tavrel::testing::writeFile(dir.file("empty.orl"), "");
    cases.push_back({"empty", dir.file("empty.orl")});
    tavrel::testing::writeFile(dir.file("cut.orl"), bytes.substr(0, bytes.size() / 2));
    cases.push_back({"truncated", dir.file("cut.orl")});
    tavrel::testing::writeFile(dir.file("cut-header.orl"), bytes.substr(0, 60));
    cases.push_back({"truncated inside the header", dir.file("cut-header.orl")});
    std::string noise;
    for (int i = 0; i < 8192; ++i) noise += static_cast<char>((i * 7919 + 13) & 0xFF);
    tavrel::testing::writeFile(dir.file("noise.orl"), noise);
    cases.push_back({"random bytes", dir.file("noise.orl")});
    tavrel::testing::writeFile(dir.file("text.orl"), "Provider=x\r\nこれはデータベースではありません。\r\n");
    cases.push_back({"text file", dir.file("text.orl")});
    std::filesystem::create_directory(dir.file("folder.orl"));
    cases.push_back({"folder", dir.file("folder.orl")});
    {
        sqlite3* other = nullptr;
        sqlite3_open(dir.file("foreign.orl").c_str(), &other);
        sqlite3_exec(other, "CREATE TABLE x (a); INSERT INTO x VALUES (1);", nullptr, nullptr, nullptr);
        sqlite3_close(other);
    }
    cases.push_back({"foreign database", dir.file("foreign.orl")});
    {
        FixtureDb db(dir.file("nopw.orl"));
        db.exec("DROP TABLE DB_PASSWORD");
    }
    cases.push_back({"no password table", dir.file("nopw.orl")});
    {
        FixtureDb db(dir.file("emptypw.orl"));
        db.exec("DELETE FROM DB_PASSWORD");
    }
    cases.push_back({"no password row", dir.file("emptypw.orl")});
    {
        FixtureDb db(dir.file("notable.orl"));
        db.exec("DROP TABLE T_告");
    }
    cases.push_back({"a statute table missing", dir.file("notable.orl")});

    for (const Case& k : cases) {
        Connection c;
        const auto e = openError(c, connectionText(k.file));
        ASSERT_TRUE(e.has_value()) << k.name;
        EXPECT_EQ(e->code, 0x80004005u) << k.name;
        EXPECT_TRUE(e->hasSource && e->source == kEngine) << k.name;
        ASSERT_TRUE(e->hasDescription) << k.name;
        // The description names the file, as the engine's messages do.
        EXPECT_NE(text::toUtf8(e->description).find(k.file), std::string::npos) << k.name << ": "
                                                                                  << text::toUtf8(e->description);
        EXPECT_FALSE(c.isOpen()) << k.name;
        EXPECT_TRUE(errorOf([&] { c.execute("SELECT 1"); }).has_value()) << k.name;
    }
    // Nothing was created where the file was missing.
    EXPECT_FALSE(std::filesystem::exists(dir.file("missing.orl")));
    EXPECT_EQ(text::toUtf8(openError(*std::make_unique<Connection>(), connectionText(dir.file("missing.orl")))
                               ->description),
              "ファイル '" + dir.file("missing.orl") + "' が見つかりません。");
}

TEST(ConnectionOpen, AWrongOrMissingPasswordFailsAsNotAValidPassword) {
    TempDir dir;
    FixtureDb db(dir.file("a.orl"));
    for (const std::string& pw : {std::string("mqe-5072"), std::string("MQE-5071"), std::string(""),
                                  std::string("mqe-5071 ")}) {
        Connection c;
        const auto e = openError(c, connectionText(dir.file("a.orl"), pw));
        ASSERT_TRUE(e.has_value()) << pw;
        EXPECT_EQ(e->code, 0x80040E4Du);
        EXPECT_EQ(e->source, kEngine);
        EXPECT_EQ(text::toUtf8(e->description), "パスワードが無効です。");
        EXPECT_FALSE(c.isOpen());
    }
    Connection c;
    const std::string noPassword = "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + dir.file("a.orl") + ";";
    EXPECT_EQ(openError(c, noPassword)->code, 0x80040E4Du);
}

TEST(ConnectionOpen, AFileLockedByAnotherWriterFailsInsteadOfHanging) {
    TempDir dir;
    FixtureDb db(dir.file("a.orl"));
    db.exec("PRAGMA locking_mode = EXCLUSIVE; BEGIN EXCLUSIVE; INSERT INTO T_法 (ID_HN) VALUES ('01A');");
    Connection c;
    const auto e = openError(c, connectionText(dir.file("a.orl")));
    ASSERT_TRUE(e.has_value());
    EXPECT_EQ(e->code, 0x80004005u);
    EXPECT_EQ(e->source, kEngine);
    EXPECT_FALSE(c.isOpen());
    db.exec("COMMIT; PRAGMA locking_mode = NORMAL; SELECT count(*) FROM T_法;");
    EXPECT_EQ(openError(c, connectionText(dir.file("a.orl"))), std::nullopt);
}

TEST(ConnectionOpen, ProviderUserAndSecondOpenAreChecked) {
    TempDir dir;
    FixtureDb db(dir.file("a.orl"));
    const std::string path = dir.file("a.orl");
    Connection c;
    auto e = openError(c, "Provider=SQLOLEDB;Data Source=" + path + ";Jet OLEDB:Database Password=mqe-5071;");
    ASSERT_TRUE(e);
    EXPECT_EQ(e->code, 0x800A0E7Au);
    EXPECT_EQ(e->source, "ADODB.Connection");
    e = openError(c, "Data Source=" + path + ";Jet OLEDB:Database Password=mqe-5071;");
    ASSERT_TRUE(e);
    EXPECT_EQ(e->code, 0x800A0E7Au);
    e = openError(c, connectionText(path), "guest");
    ASSERT_TRUE(e);
    EXPECT_EQ(e->code, 0x80040E4Du);
    e = openError(c, connectionText(path), "admin", "secret");
    ASSERT_TRUE(e);
    EXPECT_EQ(e->code, 0x80040E4Du);
    e = openError(c, "Provider=Microsoft.Jet.OLEDB.4.0;Jet OLEDB:Database Password=mqe-5071;");
    ASSERT_TRUE(e);
    EXPECT_EQ(e->code, 0x80004005u);
    EXPECT_FALSE(c.isOpen());

    ASSERT_EQ(openError(c, connectionText(path)), std::nullopt);
    e = openError(c, connectionText(path));
    ASSERT_TRUE(e);
    EXPECT_EQ(e->code, 0x800A0E79u);
    EXPECT_TRUE(c.isOpen());  // the first open stands
}

TEST(ConnectionOpen, TheDatabaseIsOnlyRead) {
    TempDir dir;
    {
        FixtureDb db(dir.file("a.orl"));
        addLaw(db);
    }
    const std::string before = tavrel::testing::readFile(dir.file("a.orl"));
    Connection c;
    ASSERT_EQ(openError(c, connectionText(dir.file("a.orl"))), std::nullopt);
    EXPECT_TRUE(errorOf([&] { c.execute(SJ("DELETE FROM T_法")); }).has_value());
    EXPECT_TRUE(errorOf([&] { c.execute(SJ("INSERT INTO T_法 (ID_HN) VALUES ('02A')")); }).has_value());
    c.close();
    EXPECT_EQ(tavrel::testing::readFile(dir.file("a.orl")), before);
}

// ---- Statements and record sets ------------------------------------------

class ConnectionQuery : public ::testing::Test {
protected:
    void SetUp() override {
        db_.emplace(dir_.file("TL2008.orl"));
        addLaw(*db_);
        db_->exec(
            "INSERT INTO T_条 VALUES ('01A-00010000-00', '01A-0100-0000-0000-0000', '目的', NULL, 1, 0, -1);"
            "INSERT INTO T_条 VALUES ('01A-00020000-00', '01A-0100-0000-0000-0000', '用語の定義', '補足', 70000, -1, -1);"
            "INSERT INTO T_条 VALUES ('01B-00010000-00', '01B-0100-0000-0000-0000', 'なし', NULL, 32768, 1.6, -1);"
            "INSERT INTO T_章 VALUES ('01A-0100-0000-0000-0000', '総則', NULL, NULL, NULL, 0);"
            "INSERT INTO T_告 VALUES ('01A-KC031234-00', '1950-05-24', '建設省', '2007/06/20 00:00:00', NULL, 1234);"
            "INSERT INTO T_他 VALUES ('00A-Z0010000-00', 2.5, '<p>');");
        ASSERT_EQ(openError(c_, connectionText(dir_.file("TL2008.orl"))), std::nullopt);
    }

    TempDir dir_;
    std::optional<FixtureDb> db_;
    Connection c_;
};

TEST_F(ConnectionQuery, FieldsReadAsTextNumbersAndFlagsWithNullDefaults) {
    long affected = 0;
    Recordset rs = c_.execute(SJ("SELECT * FROM T_条 ORDER BY ID_FN"), &affected, -1);
    EXPECT_EQ(affected, -1);
    ASSERT_FALSE(rs.isEOF());
    EXPECT_EQ(rs.text("ID_FN"), "01A-00010000-00");
    EXPECT_EQ(rs.text(SJ("条名")), SJ("目的"));
    EXPECT_EQ(rs.text(SJ("補足")), "");
    EXPECT_TRUE(rs.isNull(SJ("補足")));
    EXPECT_FALSE(rs.isNull(SJ("条名")));
    EXPECT_EQ(rs.int16(SJ("補足")), 0);  // NULL reads 0
    EXPECT_EQ(rs.text(SJ("分割")), "1");  // a number read as text
    EXPECT_EQ(rs.int16(SJ("表示")), -1);
    rs.moveNext();
    ASSERT_FALSE(rs.isEOF());
    EXPECT_EQ(rs.int64(SJ("分割")), 70000);
    EXPECT_EQ(rs.int16(SJ("分割")), 4464);  // 70000 cut to 16 bits
    EXPECT_EQ(rs.int16(SJ("大型")), -1);
    rs.moveNext();
    ASSERT_FALSE(rs.isEOF());
    EXPECT_EQ(rs.int16(SJ("分割")), -32768);
    EXPECT_EQ(rs.int16(SJ("大型")), 2);  // a fractional value rounds
    EXPECT_DOUBLE_EQ(rs.number(SJ("大型")), 1.6);
    EXPECT_EQ(rs.text(SJ("大型")), "1.6");
    rs.moveNext();
    EXPECT_TRUE(rs.isEOF());
    // No current record: reading or moving on raises the error object.
    auto e = errorOf([&] { rs.text("ID_FN"); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->code, 0x800A0BCDu);
    EXPECT_TRUE(errorOf([&] { rs.moveNext(); }).has_value());
    EXPECT_TRUE(rs.isEOF());

    Recordset other = c_.execute(SJ("SELECT * FROM T_他"));
    EXPECT_DOUBLE_EQ(other.number(SJ("順序")), 2.5);
    EXPECT_EQ(other.text(SJ("HTMLデータ")), "<p>");
}

TEST_F(ConnectionQuery, FieldNamesIgnoreAsciiCaseAndUnknownNamesRaise) {
    Recordset rs = c_.execute(SJ("SELECT * FROM T_法 WHERE ID_HN = '01A'"));
    EXPECT_EQ(rs.text("id_hn"), "01A");
    EXPECT_EQ(rs.text(SJ("T_法.ID_HN")), "01A");
    auto e = errorOf([&] { rs.text(SJ("法名")); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->code, 0x800A0CC1u);
    EXPECT_EQ(e->source, "ADODB.Recordset");
    EXPECT_TRUE(errorOf([&] { rs.int16("ID"); }).has_value());
    EXPECT_TRUE(errorOf([&] { rs.isNull(""); }).has_value());
    // A NULL text of the second law reads as empty.
    Recordset rs2 = c_.execute(SJ("SELECT * FROM T_法 WHERE ID_HN = '01B'"));
    EXPECT_EQ(rs2.text(SJ("法名正式")), "");
}

TEST_F(ConnectionQuery, DuplicateNamesOfAJoinAreReachableQualified) {
    db_->exec("INSERT INTO T_参 (ID_BN, ID_FN, 順序, 表示, キーワード) VALUES "
              "('01A-00010000-00-0100-0000-0000-0000', '01A-00020000-00', 1, -1, '定義');");
    Recordset rs = c_.execute(SJ("SELECT * FROM T_条, T_法 WHERE LEFT(T_条.[ID_FN], 3) = T_法.[ID_HN] AND T_法.ID_HN = "
                                 "'01B'"));
    ASSERT_FALSE(rs.isEOF());
    EXPECT_EQ(rs.int16(SJ("T_条.表示")), -1);
    EXPECT_EQ(rs.int16(SJ("T_法.表示")), 0);
    EXPECT_EQ(rs.int16(SJ("表示")), -1);  // unqualified: the first column of that name

    Recordset ref = c_.execute(SJ("SELECT * FROM T_参 LEFT JOIN T_条 ON T_参.ID_FN = T_条.ID_FN"));
    ASSERT_FALSE(ref.isEOF());
    EXPECT_EQ(ref.text(SJ("T_条.ID_FN")), "01A-00020000-00");
    EXPECT_EQ(ref.text(SJ("条名")), SJ("用語の定義"));

    // A reference whose target page is missing: the joined columns are NULL.
    // (A record set not yet at its end holds a read lock: close them first.)
    rs.close();
    ref.close();
    db_->exec("UPDATE T_参 SET ID_FN = '09Z-00010000-00'");
    Recordset dangling = c_.execute(SJ("SELECT * FROM T_参 LEFT JOIN T_条 ON T_参.ID_FN = T_条.ID_FN"));
    ASSERT_FALSE(dangling.isEOF());
    EXPECT_EQ(dangling.text(SJ("T_参.ID_FN")), "09Z-00010000-00");
    EXPECT_TRUE(dangling.isNull(SJ("T_条.ID_FN")));
    EXPECT_EQ(dangling.text(SJ("条名")), "");
}

TEST_F(ConnectionQuery, DatesReadAsYearMonthDay) {
    Recordset rs = c_.execute(SJ("SELECT * FROM T_告"));
    int y = 0, m = 0, d = 0;
    ASSERT_TRUE(rs.date(SJ("公布年月日"), y, m, d));
    EXPECT_EQ(y * 10000 + m * 100 + d, 19500524);
    ASSERT_TRUE(rs.date(SJ("改正年月日"), y, m, d));
    EXPECT_EQ(y * 10000 + m * 100 + d, 20070620);
    EXPECT_FALSE(rs.date(SJ("改正省名"), y, m, d));  // NULL
    EXPECT_FALSE(rs.date(SJ("公布省名"), y, m, d));  // not a date
    EXPECT_EQ(y * 10000 + m * 100 + d, 20070620);    // untouched on failure
    Recordset n = c_.execute("SELECT 39253 AS d1, 39253.75 AS d2, '2007-13-01' AS d3, '2007-06-20x' AS d4");
    ASSERT_TRUE(n.date("d1", y, m, d));  // a Jet day number
    EXPECT_EQ(y * 10000 + m * 100 + d, 20070620);
    ASSERT_TRUE(n.date("d2", y, m, d));
    EXPECT_EQ(y * 10000 + m * 100 + d, 20070620);
    EXPECT_FALSE(n.date("d3", y, m, d));
    EXPECT_FALSE(n.date("d4", y, m, d));
}

TEST_F(ConnectionQuery, BadStatementsRaiseTheErrorObject) {
    auto e = errorOf([&] { c_.execute(SJ("SELEC * FROM T_法")); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->code, 0x80040E14u);
    EXPECT_EQ(e->source, kEngine);
    EXPECT_TRUE(e->hasDescription && !e->description.empty());
    EXPECT_EQ(errorOf([&] { c_.execute(SJ("SELECT * FROM T_無い")); })->code, 0x80040E14u);
    EXPECT_EQ(errorOf([&] { c_.execute(SJ("SELECT 1; DROP TABLE T_法")); })->code, 0x80040E14u);
    EXPECT_EQ(errorOf([&] { c_.execute(""); })->code, 0x80040E14u);
    // A function error while rows are read.
    EXPECT_TRUE(errorOf([&] { c_.execute("SELECT LEFT(ID_HN, -1) FROM T_法"); }).has_value());
    // The connection is still usable afterwards.
    EXPECT_FALSE(c_.execute(SJ("SELECT * FROM T_法")).isEOF());
}

TEST_F(ConnectionQuery, RecordSetsOfAClosedConnectionAreClosedToo) {
    Recordset rs = c_.execute(SJ("SELECT * FROM T_条 ORDER BY ID_FN"));
    ASSERT_FALSE(rs.isEOF());
    c_.close();
    auto e = errorOf([&] { rs.moveNext(); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->code, 0x800A0E78u);
    EXPECT_TRUE(errorOf([&] { rs.text("ID_FN"); }).has_value());
    EXPECT_EQ(errorOf([&] { c_.execute("SELECT 1"); })->code, 0x800A0E78u);
    EXPECT_EQ(errorOf([&] { c_.close(); })->code, 0x800A0E78u);
    rs.close();
    EXPECT_TRUE(rs.isEOF());
    Recordset empty;
    EXPECT_TRUE(empty.isEOF());
    EXPECT_TRUE(errorOf([&] { empty.moveNext(); }).has_value());
    EXPECT_TRUE(errorOf([&] { empty.text("x"); }).has_value());
    // A record set moved away from is empty, not dangling.
    Connection again;
    ASSERT_EQ(openError(again, connectionText(dir_.file("TL2008.orl"))), std::nullopt);
    Recordset a = again.execute(SJ("SELECT * FROM T_法"));
    Recordset b = std::move(a);
    EXPECT_FALSE(b.isEOF());
    EXPECT_EQ(b.text("ID_HN"), "01A");
}

// ---- The Jet dialect -------------------------------------------------------

TEST(JetDialect, RewritesFunctionCallsAndYesNoOnlyAsWholeWordsOutsideLiterals) {
    struct Case {
        const char* in;
        const char* out;
    };
    const Case cases[] = {
        {"SELECT * FROM T_法 WHERE [表示] = YES ORDER BY [ID_HN]",
         "SELECT * FROM T_法 WHERE [表示] = (-1) ORDER BY [ID_HN]"},
        {"WHERE LEFT(T_条.[ID_FN], 3) = 'x'", "WHERE jet_left(T_条.[ID_FN], 3) = 'x'"},
        {"Left ([ID_BN],15) left( right(a,1) Mid([ID_SN],  5, 4)",
         "jet_left ([ID_BN],15) jet_left( jet_right(a,1) jet_mid([ID_SN],  5, 4)"},
        {"T_参 LEFT JOIN T_条 ON x RIGHT JOIN y", "T_参 LEFT JOIN T_条 ON x RIGHT JOIN y"},
        {"a = yes OR b = No OR c = TRUE OR d = false", "a = (-1) OR b = 0 OR c = (-1) OR d = 0"},
        {"'YES' \"NO\" 'LEFT(' 'it''s YES' [YES] [LEFT(]", "'YES' \"NO\" 'LEFT(' 'it''s YES' [YES] [LEFT(]"},
        {"YESNO NOTE T_YES NO_1 表示YES LEFTX(a) 1NO", "YESNO NOTE T_YES NO_1 表示YES LEFTX(a) 1NO"},
        {"T.YES = YES.x AND T . No", "T.YES = YES.x AND T . No"},
        {"x-YES", "x-(-1)"},  // never "x--1", which would start a comment
        {"'unclosed YES", "'unclosed YES"},
        // A prefix test of an identifier column reads the column's index.
        {"WHERE LEFT([ID_BN], 15) = '01A-00010000-00' ORDER BY [ID_BN]",
         "WHERE ([ID_BN] GLOB '01A-00010000-00*') ORDER BY [ID_BN]"},
        {"WHERE left(T_条.[ID_FN],3) = '01A' AND [表示] = YES", "WHERE (T_条.[ID_FN] GLOB '01A*') AND [表示] = (-1)"},
        {"WHERE (LEFT(a, 2)='0A')", "WHERE ((a GLOB '0A*'))"},
        // ... but only where it means exactly the same.
        {"WHERE LEFT(a, 3) = '01'", "WHERE jet_left(a, 3) = '01'"},            // length differs
        {"WHERE LEFT(a, 3) = '01a'", "WHERE jet_left(a, 3) = '01a'"},          // lower case
        {"WHERE LEFT(a, 3) = '0*1'", "WHERE jet_left(a, 3) = '0*1'"},          // a GLOB wildcard
        {"WHERE LEFT(a, 3) = 'A''B'", "WHERE jet_left(a, 3) = 'A''B'"},
        {"WHERE LEFT(a, 3) = '01A' || 'x'", "WHERE jet_left(a, 3) = '01A' || 'x'"},
        {"WHERE x = LEFT(a, 3) = '01A'", "WHERE x = jet_left(a, 3) = '01A'"},
        {"WHERE LEFT(a, 3) = b.c", "WHERE jet_left(a, 3) = b.c"},
        {"WHERE LEFT(a, 3) <> '01A'", "WHERE jet_left(a, 3) <> '01A'"},
        {"WHERE LEFT(a, 0) = ''", "WHERE jet_left(a, 0) = ''"},
        {"WHERE LEFT(LEFT(a, 5), 3) = '01A'", "WHERE jet_left(jet_left(a, 5), 3) = '01A'"},
    };
    for (const Case& k : cases) EXPECT_EQ(db::rewriteJetSql(k.in), k.out) << k.in;
}

TEST_F(ConnectionQuery, APrefixTestOfAnIdentifierGivesTheSameRowsAndUsesTheIndex) {
    db_->exec("INSERT INTO T_文 (ID_BN) VALUES ('01A-00010000-00-0100-0000-0000-0000'), "
              "('01A-00010000-01-0100-0000-0000-0000'), ('01A-00010000-0'), ('01A-00010001-00-0100-0000-0000-0000'), "
              "('01a-00010000-00-0100-0000-0000-0000')");
    auto ids = [&](const std::string& sql) {
        std::vector<std::string> v;
        for (Recordset rs = c_.execute(sql); !rs.isEOF(); rs.moveNext()) v.push_back(rs.text("ID_BN"));
        return v;
    };
    const std::string viaIndex = SJ("SELECT * FROM T_文 WHERE LEFT([ID_BN], 15) = '01A-00010000-00' ORDER BY [ID_BN]");
    const std::string viaFunction =
        SJ("SELECT * FROM T_文 WHERE LEFT([ID_BN], 15) = '01A-00010000-00' || '' ORDER BY [ID_BN]");
    EXPECT_EQ(ids(viaIndex), std::vector<std::string>{"01A-00010000-00-0100-0000-0000-0000"});
    EXPECT_EQ(ids(viaIndex), ids(viaFunction));
    EXPECT_EQ(ids(SJ("SELECT * FROM T_文 WHERE LEFT([ID_BN], 12) = '01A-00010000' ORDER BY [ID_BN]")),
              (std::vector<std::string>{"01A-00010000-0", "01A-00010000-00-0100-0000-0000-0000",
                                        "01A-00010000-01-0100-0000-0000-0000"}));
    std::string plan;
    for (Recordset rs = c_.execute("EXPLAIN QUERY PLAN " + viaIndex); !rs.isEOF(); rs.moveNext()) plan += rs.text("detail");
    EXPECT_NE(plan.find("INDEX"), std::string::npos) << plan;
}

TEST_F(ConnectionQuery, LeftMidAndRightCountCharactersOfJapaneseText) {
    Recordset rs = c_.execute(SJ("SELECT LEFT('建築基準法', 2) AS a, MID('建築基準法', 3, 2) AS b, "
                                 "RIGHT('建築基準法', 1) AS c, MID('建築基準法', 4) AS d, LEFT('ab', 5) AS e, "
                                 "RIGHT('ab', 9) AS f, MID('ab', 7, 1) AS g, LEFT(NULL, 1) AS h, LEFT('x', 0) AS i"));
    EXPECT_EQ(rs.text("a"), SJ("建築"));
    EXPECT_EQ(rs.text("b"), SJ("基準"));
    EXPECT_EQ(rs.text("c"), SJ("法"));
    EXPECT_EQ(rs.text("d"), SJ("準法"));
    EXPECT_EQ(rs.text("e"), "ab");
    EXPECT_EQ(rs.text("f"), "ab");
    EXPECT_EQ(rs.text("g"), "");
    EXPECT_TRUE(rs.isNull("h"));
    EXPECT_EQ(rs.text("i"), "");
    EXPECT_TRUE(errorOf([&] { c_.execute("SELECT MID('abc', 0, 1)"); }).has_value());
    EXPECT_TRUE(errorOf([&] { c_.execute("SELECT RIGHT('abc', -2)"); }).has_value());
}

TEST_F(ConnectionQuery, LikeMatchesJapaneseSubstringsAndIgnoresAsciiCaseOnly) {
    db_->exec("INSERT INTO T_文 (ID_BN, 検索用データ) VALUES "
              "('01A-00010000-00-0100-0000-0000-0000', 'この法律は、建築物の敷地、構造、設備及び用途'),"
              "('01A-00020000-00-0100-0000-0000-0000', 'ＪＩＳ規格 JIS Ａ'),"
              "('01A-00020000-00-0200-0000-0000-0000', NULL);");
    auto count = [&](const std::string& word) {
        Recordset rs = c_.execute(SJ("SELECT * FROM T_文 WHERE 検索用データ Like '%") + text::fromUtf8(word) + "%'");
        int n = 0;
        for (; !rs.isEOF(); rs.moveNext()) ++n;
        return n;
    };
    EXPECT_EQ(count("敷地"), 1);
    EXPECT_EQ(count("建築物の敷地、構造"), 1);
    EXPECT_EQ(count("敷地構造"), 0);
    EXPECT_EQ(count("jis"), 1);     // ASCII letters: either case
    EXPECT_EQ(count("ｊｉｓ"), 0);  // full-width letters: exact
    EXPECT_EQ(count("ＪＩＳ"), 1);
    EXPECT_EQ(count("ａ"), 0);
    EXPECT_EQ(count("規_"), 1);     // "_" stands for one character, not one byte
    EXPECT_EQ(count(""), 2);        // NULL never matches
}
