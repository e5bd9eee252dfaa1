// A statute database in a temporary folder with a connection of the program
// opened on it, for the navigator's builders.
#pragma once

#include <memory>
#include <string>

#include "database/connection.h"
#include "database/schema.h"
#include "support/fake_message_sink.h"
#include "support/fixture_db.h"
#include "support/temp_dir.h"
#include "text/sjis.h"

namespace tavrel::testing {

class NavigatorDb {
public:
    NavigatorDb() : db(dir.file("TL2008.orl")) {}

    // SQL values are UTF-8 SQL expressions ("NULL" allowed).
    void law(const std::string& id, const std::string& nameExpr, int shown = -1) {
        db.exec("INSERT INTO T_法 VALUES ('" + id + "', " + nameExpr + ", NULL, NULL, " + std::to_string(shown) + ")");
    }
    void division(const std::string& idSN, const std::string& column, const std::string& nameExpr,
                  const std::string& notification = "NULL") {
        db.exec("INSERT INTO T_章 (ID_SN, " + column + ", 告示) VALUES ('" + idSN + "', " + nameExpr + ", " +
                notification + ")");
    }
    void page(const std::string& idFN, const std::string& idSN, const std::string& captionExpr,
              const std::string& splitExpr = "NULL", const std::string& supplementExpr = "NULL", int shown = -1) {
        db.exec("INSERT INTO T_条 (ID_FN, ID_SN, 条名, 補足, 分割, 表示) VALUES ('" + idFN + "', '" + idSN + "', " +
                captionExpr + ", " + supplementExpr + ", " + splitExpr + ", " + std::to_string(shown) + ")");
    }

    db::Connection& connection() {
        if (!connection_) {
            connection_ = std::make_unique<db::Connection>();
            connection_->open(text::format(db::kConnectionTextFormat, text::fromUtf8(db.path()).c_str()),
                              db::kConnectionUser, db::kConnectionUserPassword, -1);
        }
        return *connection_;
    }

    TempDir dir;
    FixtureDb db;
    FakeMessageSink sink;

private:
    std::unique_ptr<db::Connection> connection_;
};

// A caption of n double-byte characters (2n bytes in CP932), UTF-8.
inline std::string wideText(int n, const char* ch = "あ") {
    std::string s;
    for (int i = 0; i < n; ++i) s += ch;
    return s;
}

}  // namespace tavrel::testing
