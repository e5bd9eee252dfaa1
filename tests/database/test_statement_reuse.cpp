// The connection keeps the statements it ran prepared and runs them again
// with other prefixes bound: the rows must stay those of each text, and a
// kept statement must neither hold the file nor outlive a close.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "database/connection.h"
#include "database/jet_dialect.h"
#include "support/fixture_db.h"
#include "support/temp_dir.h"
#include "text/sjis.h"

using namespace tavrel;
using tavrel::db::Connection;
using tavrel::db::DbError;
using tavrel::db::Recordset;
using tavrel::testing::FixtureDb;
using tavrel::testing::TempDir;

namespace {

class StatementReuse : public ::testing::Test {
protected:
    void SetUp() override {
        db_.emplace(dir_.file("TL2008.orl"));
        db_->exec("INSERT INTO T_法 VALUES ('01A', '建築基準法', '法', NULL, -1), ('01B', '施行令', '令', NULL, -1), "
                  "('123', '数字', '数', NULL, -1), ('1D0', '一D', 'D', NULL, -1), ('1E5', '一E', 'E', NULL, 0)");
        db_->exec("INSERT INTO T_文 (ID_BN) VALUES ('01A-1'), ('01A-2'), ('01a-1'), ('01B-1'), ('01B'), ('01C-1'), "
                  "('01@-1'), ('123-1'), ('1230'), ('12'), ('1D-1'), ('1E-1'), ('1E5'), ('02Z-1'), ('02[-1'), "
                  "('02Y-1'), ('-1'), ('-A'), ('建築'), (NULL)");
        open();
    }

    void open() {
        c_.open("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + text::fromUtf8(dir_.file("TL2008.orl")) +
                    ";Jet OLEDB:Database Password=mqe-5071;",
                "admin", "", -1);
    }

    // Runs a UTF-8 statement; the values of one field, in order.
    std::vector<std::string> ids(const std::string& utf8Sql, const char* field = "ID_BN") {
        std::vector<std::string> v;
        for (Recordset rs = c_.execute(text::fromUtf8(utf8Sql)); !rs.isEOF(); rs.moveNext()) v.push_back(rs.text(field));
        return v;
    }

    TempDir dir_;
    std::optional<FixtureDb> db_;
    Connection c_;
};

}  // namespace

TEST_F(StatementReuse, EachPrefixGivesItsOwnRowsAsTheCharacterFunctionDoes) {
    // Run twice, so that the second round reads the kept statements.
    for (int round = 0; round < 2; ++round) {
        for (const std::string prefix : {"01A", "01B", "01C", "02Z", "02Y", "123", "12", "1D", "1E", "1E5", "-", "0",
                                         "01A-1", "9ZZ"}) {
            SCOPED_TRACE(prefix);
            const std::string n = std::to_string(prefix.size());
            // "|| ''" keeps the comparison a call of the character function.
            const auto expected = ids("SELECT * FROM T_文 WHERE LEFT([ID_BN], " + n + ") = '" + prefix +
                                      "' || '' ORDER BY [ID_BN]");
            EXPECT_EQ(ids("SELECT * FROM T_文 WHERE LEFT([ID_BN], " + n + ") = '" + prefix + "' ORDER BY [ID_BN]"),
                      expected);
            EXPECT_EQ(ids("SELECT * FROM T_文 WHERE LEFT([ID_BN], " + n + ") = '" + prefix + "' AND [ID_BN] <> '" +
                          prefix + "' ORDER BY [ID_BN]")
                          .size(),
                      expected.size() - std::count(expected.begin(), expected.end(), prefix));
        }
    }
    EXPECT_EQ(ids("SELECT * FROM T_文 WHERE LEFT([ID_BN], 3) = '01B' ORDER BY [ID_BN]"),
              (std::vector<std::string>{"01B", "01B-1"}));
    EXPECT_EQ(ids("SELECT * FROM T_文 WHERE LEFT([ID_BN], 3) = '02Z' ORDER BY [ID_BN]"),
              (std::vector<std::string>{"02Z-1"}));
    EXPECT_EQ(ids("SELECT * FROM T_文 WHERE LEFT([ID_BN], 2) = '12' ORDER BY [ID_BN]"),
              (std::vector<std::string>{"12", "123-1", "1230"}));
}

TEST_F(StatementReuse, TheSameTextRunWhileItsFirstRecordSetIsReadGivesASecondIndependentRead) {
    const std::string laws = "SELECT * FROM T_法 WHERE [表示] = YES ORDER BY [ID_HN]";
    std::vector<std::string> outer, inner;
    Recordset rs = c_.execute(text::fromUtf8(laws));
    while (!rs.isEOF()) {
        outer.push_back(rs.text("ID_HN"));
        inner = ids(laws, "ID_HN");
        rs.moveNext();
    }
    const std::vector<std::string> all{"01A", "01B", "123", "1D0"};
    EXPECT_EQ(outer, all);
    EXPECT_EQ(inner, all);
    EXPECT_EQ(ids(laws, "ID_HN"), all);
    EXPECT_EQ(ids("SELECT * FROM T_法 WHERE [表示] = NO ORDER BY [ID_HN]", "ID_HN"),
              std::vector<std::string>{"1E5"});
}

TEST_F(StatementReuse, AKeptStatementHoldsNoLockAndEndsWithTheConnection) {
    const std::string sql = "SELECT * FROM T_文 WHERE LEFT([ID_BN], 3) = '01A' ORDER BY [ID_BN]";
    {
        Recordset rs = c_.execute(text::fromUtf8(sql));
        ASSERT_FALSE(rs.isEOF());  // left in the middle of its rows
    }
    // The statement read half-way has ended its read: another writer may write.
    EXPECT_NO_THROW(db_->exec("INSERT INTO T_文 (ID_BN) VALUES ('01A-3')"));
    EXPECT_EQ(ids(sql), (std::vector<std::string>{"01A-1", "01A-2", "01A-3"}));

    Recordset held = c_.execute(text::fromUtf8(sql));
    c_.close();
    EXPECT_THROW(held.text("ID_BN"), DbError);
    EXPECT_THROW(c_.execute(text::fromUtf8(sql)), DbError);
    held.close();
    // Nothing of the first open is left behind: the file opens and reads again.
    open();
    EXPECT_EQ(ids(sql), (std::vector<std::string>{"01A-1", "01A-2", "01A-3"}));
    EXPECT_EQ(ids("SELECT * FROM T_文 WHERE LEFT([ID_BN], 3) = '01B' ORDER BY [ID_BN]"),
              (std::vector<std::string>{"01B", "01B-1"}));
}

TEST(JetDialectBounds, PrefixesThatCannotReadAsNumbersBecomeBoundRanges) {
    std::vector<std::string> bounds;
    const std::string sql = "SELECT * FROM T WHERE LEFT([ID], 3) = '01Z' AND LEFT(T.[X], 2) = 'A-' ORDER BY [ID]";
    EXPECT_EQ(db::rewriteJetSql(sql, &bounds),
              "SELECT * FROM T WHERE ([ID] >= @jet_bound_1 COLLATE BINARY AND [ID] < @jet_bound_2 COLLATE BINARY) "
              "AND (T.[X] >= @jet_bound_3 COLLATE BINARY AND T.[X] < @jet_bound_4 COLLATE BINARY) ORDER BY [ID]");
    EXPECT_EQ(bounds, (std::vector<std::string>{"01Z", "01[", "A-", "A."}));
    // Without bounds, and for texts a number column could take as numbers,
    // the literal test stays.
    EXPECT_EQ(db::rewriteJetSql(sql), "SELECT * FROM T WHERE ([ID] GLOB '01Z*') AND (T.[X] GLOB 'A-*') ORDER BY [ID]");
    for (const std::string literal : {"123", "1E5", "1D", "-1", "9"}) {
        bounds.clear();
        EXPECT_EQ(db::rewriteJetSql("SELECT * FROM T WHERE LEFT([ID], " + std::to_string(literal.size()) + ") = '" +
                                        literal + "'",
                                    &bounds),
                  "SELECT * FROM T WHERE ([ID] GLOB '" + literal + "*')");
        EXPECT_TRUE(bounds.empty()) << literal;
    }
}
