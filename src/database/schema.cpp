#include "database/schema.h"

#include <sqlite3.h>

#include <filesystem>
#include <system_error>

namespace tavrel::db {

namespace {

// Yes/No columns hold -1/0, flags and counts integers, texts UTF-8, dates
// "YYYY-MM-DD". Identifiers are the keys of their tables where they are unique.
constexpr const char* kSchemaSql = R"SQL(
CREATE TABLE T_法 (
  ID_HN TEXT PRIMARY KEY,
  法名一般 TEXT,
  法名略式 TEXT,
  法名正式 TEXT,
  表示 INTEGER
);
CREATE TABLE T_条 (
  ID_FN TEXT PRIMARY KEY,
  ID_SN TEXT,
  条名 TEXT,
  補足 TEXT,
  分割 INTEGER,
  大型 INTEGER,
  表示 INTEGER
);
CREATE TABLE T_章 (
  ID_SN TEXT PRIMARY KEY,
  章名 TEXT,
  節名 TEXT,
  款名 TEXT,
  目名 TEXT,
  告示 INTEGER
);
CREATE TABLE T_文 (
  ID_BN TEXT PRIMARY KEY,
  法文 TEXT,
  書式コード TEXT,
  表式 INTEGER,
  札抜 INTEGER,
  参照 INTEGER,
  図入 INTEGER,
  検索用データ TEXT
);
CREATE TABLE T_表 (
  ID_BN TEXT,
  順序 INTEGER,
  表式データ TEXT,
  検索用データ TEXT
);
CREATE INDEX T_表_ID_BN ON T_表 (ID_BN, 順序);
CREATE TABLE T_他 (
  ID_FN TEXT,
  順序 INTEGER,
  HTMLデータ TEXT
);
CREATE INDEX T_他_ID_FN ON T_他 (ID_FN, 順序);
CREATE TABLE T_参 (
  ID_BN TEXT,
  ID_FN TEXT,
  順序 INTEGER,
  表示 INTEGER,
  場所 TEXT,
  キーワード TEXT,
  表中 INTEGER,
  選定 INTEGER,
  自動 INTEGER,
  強調 INTEGER,
  有効 INTEGER,
  備考 TEXT,
  補助 TEXT
);
CREATE INDEX T_参_ID_BN ON T_参 (ID_BN, 順序);
CREATE TABLE T_告 (
  ID_FN TEXT PRIMARY KEY,
  公布年月日 TEXT,
  公布省名 TEXT,
  改正年月日 TEXT,
  改正省名 TEXT,
  改正告示番号 INTEGER
);
CREATE TABLE DB_PASSWORD (
  password TEXT NOT NULL
);
)SQL";

void setError(std::string* error, const std::string& text) {
    if (error) *error = text;
}

}  // namespace

const char* schemaSql() { return kSchemaSql; }

bool createSchema(sqlite3* db, const std::string& passwordUtf8, std::string* error) {
    if (!db) {
        setError(error, "no database");
        return false;
    }
    char* message = nullptr;
    if (sqlite3_exec(db, "BEGIN", nullptr, nullptr, &message) != SQLITE_OK ||
        sqlite3_exec(db, kSchemaSql, nullptr, nullptr, &message) != SQLITE_OK) {
        setError(error, message ? message : sqlite3_errmsg(db));
        sqlite3_free(message);
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        return false;
    }
    sqlite3_stmt* stmt = nullptr;
    bool ok = sqlite3_prepare_v2(db, "INSERT INTO DB_PASSWORD (password) VALUES (?1)", -1, &stmt, nullptr) == SQLITE_OK &&
              sqlite3_bind_text(stmt, 1, passwordUtf8.data(), static_cast<int>(passwordUtf8.size()),
                                SQLITE_TRANSIENT) == SQLITE_OK &&
              sqlite3_step(stmt) == SQLITE_DONE;
    if (!ok) setError(error, sqlite3_errmsg(db));
    sqlite3_finalize(stmt);
    if (ok && sqlite3_exec(db, "COMMIT", nullptr, nullptr, &message) != SQLITE_OK) {
        setError(error, message ? message : sqlite3_errmsg(db));
        sqlite3_free(message);
        ok = false;
    }
    if (!ok) sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    return ok;
}

bool createDatabaseFile(const std::string& nativePath, const std::string& passwordUtf8, std::string* error) {
    std::error_code ec;
    if (std::filesystem::exists(nativePath, ec)) {
        setError(error, "file already exists: " + nativePath);
        return false;
    }
    sqlite3* db = nullptr;
    // SQLITE_OPEN_EXCLUSIVE is not honoured by every build; the check above
    // keeps an existing file from being touched.
    const int rc = sqlite3_open_v2(nativePath.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    bool ok = rc == SQLITE_OK;
    if (!ok) setError(error, db ? sqlite3_errmsg(db) : "cannot open " + nativePath);
    if (ok) ok = createSchema(db, passwordUtf8, error);
    if (db && sqlite3_close(db) != SQLITE_OK && ok) {
        setError(error, "cannot close " + nativePath);
        ok = false;
    }
    if (!ok) std::filesystem::remove(nativePath, ec);
    return ok;
}

}  // namespace tavrel::db
