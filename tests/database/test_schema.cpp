#include <gtest/gtest.h>
#include <sqlite3.h>

#include <map>
#include <vector>

#include "database/identifiers.h"
#include "database/schema.h"
#include "support/fixture_db.h"
#include "support/temp_dir.h"

using namespace tavrel;
using tavrel::testing::FixtureDb;
using tavrel::testing::TempDir;

namespace {

std::vector<std::string> columnsOf(FixtureDb& db, const std::string& table) {
    std::vector<std::string> names;
    sqlite3_stmt* stmt = nullptr;
    const std::string sql = "PRAGMA table_info(" + FixtureDb::quote(table) + ")";
    if (sqlite3_prepare_v2(db.handle(), sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) return names;
    while (sqlite3_step(stmt) == SQLITE_ROW) names.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 1)));
    sqlite3_finalize(stmt);
    return names;
}

}  // namespace

TEST(Schema, NewFileHasTheEightTablesWithTheColumnsTheProgramReads) {
    TempDir dir;
    FixtureDb db(dir.file("TL2008.orl"));
    const std::map<std::string, std::vector<std::string>> expected = {
        {"T_法", {"ID_HN", "法名一般", "法名略式", "法名正式", "表示"}},
        {"T_条", {"ID_FN", "ID_SN", "条名", "補足", "分割", "大型", "表示"}},
        {"T_章", {"ID_SN", "章名", "節名", "款名", "目名", "告示"}},
        {"T_文", {"ID_BN", "法文", "書式コード", "表式", "札抜", "参照", "図入", "検索用データ"}},
        {"T_表", {"ID_BN", "順序", "表式データ", "検索用データ"}},
        {"T_他", {"ID_FN", "順序", "HTMLデータ"}},
        {"T_参", {"ID_BN", "ID_FN", "順序", "表示", "場所", "キーワード", "表中", "選定", "自動", "強調", "有効", "備考",
                  "補助"}},
        {"T_告", {"ID_FN", "公布年月日", "公布省名", "改正年月日", "改正省名", "改正告示番号"}},
    };
    ASSERT_EQ(expected.size(), static_cast<size_t>(db::kTableCount));
    for (const char* table : db::kTableNames) {
        ASSERT_TRUE(expected.count(table)) << table;
        EXPECT_EQ(columnsOf(db, table), expected.at(table)) << table;
    }
    EXPECT_EQ(db.scalar("SELECT count(*) FROM sqlite_master WHERE type = 'table'"), "9");
    EXPECT_EQ(db.scalar("SELECT password FROM DB_PASSWORD"), "mqe-5071");
    EXPECT_EQ(db.scalar("SELECT count(*) FROM DB_PASSWORD"), "1");
}

TEST(Schema, CreateDatabaseFileRecordsTheGivenPasswordAndRefusesAnExistingFile) {
    TempDir dir;
    const std::string path = dir.file("other.orl");
    std::string error;
    ASSERT_TRUE(db::createDatabaseFile(path, "秘密 pass", &error)) << error;
    {
        FixtureDb db(path);  // existing file: opened as it is
        EXPECT_EQ(db.scalar("SELECT password FROM DB_PASSWORD"), "秘密 pass");
        db.exec("INSERT INTO T_法 VALUES ('01A', 'x', 'y', 'z', -1)");
    }
    EXPECT_FALSE(db::createDatabaseFile(path, "mqe-5071", &error));
    EXPECT_FALSE(error.empty());
    FixtureDb again(path);
    EXPECT_EQ(again.scalar("SELECT count(*) FROM T_法"), "1");  // untouched
}

TEST(Schema, CreateDatabaseFileFailsCleanlyInAMissingFolder) {
    TempDir dir;
    const std::string path = dir.file("no/such/folder/TL2008.orl");
    std::string error;
    EXPECT_FALSE(db::createDatabaseFile(path, "mqe-5071", &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(Schema, CreateSchemaTwiceFailsAndLeavesTheFirstPasswordRow) {
    TempDir dir;
    FixtureDb db(dir.file("a.orl"), "first");
    std::string error;
    EXPECT_FALSE(db::createSchema(db.handle(), "second", &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(db.scalar("SELECT group_concat(password) FROM DB_PASSWORD"), "first");
    EXPECT_FALSE(db::createSchema(nullptr, "x", &error));
}

TEST(FixtureDbTest, ExecAndScalarReportErrorsAsExceptions) {
    TempDir dir;
    FixtureDb db(dir.file("f.orl"));
    EXPECT_THROW(db.exec("INSERT INTO T_無い VALUES (1)"), std::runtime_error);
    EXPECT_THROW(db.scalar("SELEC 1"), std::runtime_error);
    EXPECT_EQ(db.scalar("SELECT 条名 FROM T_条"), "");
    db.exec("INSERT INTO T_条 (ID_FN, 条名) VALUES ('01A-00010000-00', " + FixtureDb::quote("it's 条") + ")");
    EXPECT_EQ(db.scalar("SELECT 条名 FROM T_条"), "it's 条");
    db.close();
    EXPECT_THROW(db.exec("SELECT 1"), std::runtime_error);
}

TEST(Identifiers, ExactLengthAndOnlyDigitsUpperCaseLettersAndHyphen) {
    EXPECT_TRUE(db::isIdHN("01A"));
    EXPECT_TRUE(db::isIdFN("01A-00030200-00"));
    EXPECT_TRUE(db::isIdFNPrefix("01A-00030200"));
    EXPECT_TRUE(db::isIdSN("01A-0100-0000-0000-0000"));
    EXPECT_TRUE(db::isIdBN("01A-00030200-00-0100-0000-0000-0000"));
    EXPECT_TRUE(db::isIdentifier("", 0));

    EXPECT_FALSE(db::isIdHN("01a"));                         // lower case
    EXPECT_FALSE(db::isIdHN("01A "));                        // too long
    EXPECT_FALSE(db::isIdHN("01"));                          // too short
    EXPECT_FALSE(db::isIdFN("01A-00030200-00x"));
    EXPECT_FALSE(db::isIdFN("01A-0003020'-00"));             // quote: would break the SQL
    EXPECT_FALSE(db::isIdFN("01A-00030200_00"));
    EXPECT_FALSE(db::isIdFN(std::string("01A-0003\0" "200-00", 15)));
    EXPECT_FALSE(db::isIdHN("\x82\x60" "A"));                // a double-byte character
    EXPECT_FALSE(db::isIdFNPrefix("01A-00030200-00"));       // a whole ID_FN is not a prefix
    EXPECT_FALSE(db::isIdBN("01A-00030200-00"));
}

TEST(Identifiers, FormatSqlWithIdInsertsOnlyCheckedIdentifiers) {
    EXPECT_EQ(db::formatSqlWithId("SELECT * FROM T_告 WHERE ID_FN = '%s' ", "01A-KC031234-00", 15),
              "SELECT * FROM T_告 WHERE ID_FN = '01A-KC031234-00' ");
    EXPECT_EQ(db::formatSqlWithId("x Like '%%%s%%'", "01A", 3), "x Like '%01A%'");
    EXPECT_FALSE(db::formatSqlWithId("WHERE ID_FN = '%s'", "01A' OR 1=1 --", 15));
    EXPECT_FALSE(db::formatSqlWithId("WHERE ID_FN = '%s'", "01A", 15));
    // Any conversion but one %s is refused rather than reading a missing argument.
    EXPECT_FALSE(db::formatSqlWithId("LEFT(x, %d) = '%s'", "01A", 3));
    EXPECT_FALSE(db::formatSqlWithId("'%s' '%s'", "01A", 3));
    EXPECT_FALSE(db::formatSqlWithId("no conversion", "01A", 3));
    EXPECT_FALSE(db::formatSqlWithId("trailing %", "01A", 3));
    EXPECT_FALSE(db::formatSqlWithId(nullptr, "01A", 3));
}
