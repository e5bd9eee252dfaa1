#include "support/fixture_db.h"

#include <sqlite3.h>

#include <filesystem>
#include <stdexcept>

#include "database/schema.h"

namespace tavrel::testing {

FixtureDb::FixtureDb(const std::string& path, const std::string& password) : path_(path) {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) {
        std::string error;
        if (!db::createDatabaseFile(path, password, &error)) {
            throw std::runtime_error("FixtureDb: cannot create " + path + ": " + error);
        }
    }
    if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        const std::string message = db_ ? sqlite3_errmsg(db_) : "out of memory";
        sqlite3_close(db_);
        db_ = nullptr;
        throw std::runtime_error("FixtureDb: cannot open " + path + ": " + message);
    }
}

FixtureDb::~FixtureDb() { close(); }

void FixtureDb::close() {
    if (db_) sqlite3_close_v2(db_);
    db_ = nullptr;
}

void FixtureDb::exec(const std::string& utf8Sql) {
    if (!db_) throw std::runtime_error("FixtureDb: closed");
    char* message = nullptr;
    if (sqlite3_exec(db_, utf8Sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
        const std::string text = message ? message : sqlite3_errmsg(db_);
        sqlite3_free(message);
        throw std::runtime_error("FixtureDb: " + text + " in: " + utf8Sql);
    }
}

std::string FixtureDb::scalar(const std::string& utf8Sql) {
    if (!db_) throw std::runtime_error("FixtureDb: closed");
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db_, utf8Sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
        throw std::runtime_error(std::string("FixtureDb: ") + sqlite3_errmsg(db_) + " in: " + utf8Sql);
    }
    std::string result;
    const int rc = sqlite3_step(stmt);
    if (rc == SQLITE_ROW) {
        const unsigned char* t = sqlite3_column_text(stmt, 0);
        if (t) result.assign(reinterpret_cast<const char*>(t), static_cast<size_t>(sqlite3_column_bytes(stmt, 0)));
    }
    sqlite3_finalize(stmt);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) {
        throw std::runtime_error(std::string("FixtureDb: ") + sqlite3_errmsg(db_) + " in: " + utf8Sql);
    }
    return result;
}

std::string FixtureDb::quote(std::string_view utf8) {
    std::string out = "'";
    for (const char c : utf8) {
        if (c == '\'') out += '\'';
        out += c;
    }
    out += '\'';
    return out;
}

}  // namespace tavrel::testing
