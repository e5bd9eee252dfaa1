#include "database/connection.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "database/jet_dialect.h"
#include "database/schema.h"
#include "text/sjis.h"

namespace tavrel::db {

// ---------------------------------------------------------------------------
// Error objects. Failures of the engine name the engine (SQLite and its
// version) as their source and carry an HRESULT-style code; misuse of a
// connection or record set names the object that was misused.

namespace {

constexpr uint32_t kEFail = 0x80004005;               // engine failure (file, format, lock)
constexpr uint32_t kAuthFailed = 0x80040E4D;          // wrong password or account
constexpr uint32_t kErrorsInCommand = 0x80040E14;     // the SQL text is not valid
constexpr uint32_t kAdoEofOrBof = 0x800A0BCD;         // no current record
constexpr uint32_t kAdoItemNotFound = 0x800A0CC1;     // unknown field name
constexpr uint32_t kAdoObjectClosed = 0x800A0E78;     // operation on a closed object
constexpr uint32_t kAdoObjectOpen = 0x800A0E79;       // open of an open object
constexpr uint32_t kAdoProviderNotFound = 0x800A0E7A; // unknown provider

ErrorObject makeError(uint32_t code, const std::string& source, const std::string& description) {
    ErrorObject e;
    e.code = code;
    e.hasSource = true;
    e.source = source;
    e.hasDescription = true;
    e.description = description;
    return e;
}

[[noreturn]] void raise(uint32_t code, const std::string& source, const std::string& description) {
    throw DbError(makeError(code, source, description));
}

[[noreturn]] void raiseEngine(uint32_t code, const std::string& description) { raise(code, engineName(), description); }

// Descriptions with the file's path (CP932) in them.
std::string withPath(const std::string& fmtCp932, const std::string& pathCp932) {
    return text::format(fmtCp932.c_str(), pathCp932.c_str());
}

[[noreturn]] void raiseNotFound(const std::string& path) {
    raiseEngine(kEFail, withPath(SJ("ファイル '%s' が見つかりません。"), path));
}

[[noreturn]] void raiseNotValidPath(const std::string& path) {
    raiseEngine(kEFail, withPath(SJ("'%s' は有効なパスではありません。パス名が正しいかどうかを確認してください。"), path));
}

[[noreturn]] void raiseUnrecognized(const std::string& path) {
    raiseEngine(kEFail, withPath(SJ("データベース形式 '%s' を認識できません。"), path));
}

[[noreturn]] void raiseCannotOpen(const std::string& path) {
    raiseEngine(kEFail, withPath(SJ("ファイル '%s' を開けません。ほかのユーザーが排他的に開いているか、"
                                 "データを表示する権限がありません。"),
                              path));
}

[[noreturn]] void raiseBadPassword() { raiseEngine(kAuthFailed, SJ("パスワードが無効です。")); }

[[noreturn]] void raiseClosed(const char* source) {
    raise(kAdoObjectClosed, source, SJ("オブジェクトが閉じている場合は、操作は許可されません。"));
}

[[noreturn]] void raiseNoCurrentRecord(const char* source) {
    raise(kAdoEofOrBof, source,
          SJ("BOF と EOF のいずれかが True になっているか、または現在のレコードが削除されています。"
             "要求された操作には、現在のレコードが必要です。"));
}

// An engine failure while a statement runs.
[[noreturn]] void raiseFromSqlite(sqlite3* db, int rc) {
    const int primary = rc & 0xFF;
    const std::string message = text::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
    if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED) {
        raiseEngine(kEFail, SJ("ファイルは既に使用されています。") + " (" + message + ")");
    }
    raiseEngine(kEFail, message);
}

bool iequalsAscii(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
        if (x != y) return false;
    }
    return true;
}

struct ConnectionText {
    bool hasProvider = false;
    std::string provider;
    bool hasDataSource = false;
    std::string dataSource;  // CP932, unchanged
    std::string password;    // CP932
};

// "key=value;key=value;…": a value runs to the next ";" (a path with blanks
// or double-byte characters passes unchanged). Keys ignore ASCII case and
// surrounding blanks.
ConnectionText parseConnectionText(const std::string& s) {
    ConnectionText result;
    size_t pos = 0;
    while (pos < s.size()) {
        size_t end = s.find(';', pos);
        if (end == std::string::npos) end = s.size();
        const std::string_view part(s.data() + pos, end - pos);
        pos = end + 1;
        const size_t eq = part.find('=');
        if (eq == std::string_view::npos) continue;
        const std::string key = text::trimAscii(part.substr(0, eq));
        const std::string_view value = part.substr(eq + 1);
        if (iequalsAscii(key, "Provider")) {
            result.hasProvider = true;
            result.provider = text::trimAscii(value);
        } else if (iequalsAscii(key, "Data Source")) {
            result.hasDataSource = true;
            result.dataSource = std::string(value);
        } else if (iequalsAscii(key, "Jet OLEDB:Database Password")) {
            result.password = std::string(value);
        }
    }
    return result;
}

}  // namespace

// ---------------------------------------------------------------------------

// A prepared statement with its field names. The connection keeps the
// statements it ran in a small cache, keyed by their rewritten text, and
// hands an idle one to the next run of the same text: the statements of a
// law (the same text but for the law's prefix, which is bound) are prepared
// once instead of once per law.
struct PreparedStatement {
    sqlite3_stmt* stmt = nullptr;
    bool busy = false;                             // a record set reads it
    int columns = 0;
    std::vector<std::string> names;                // CP932, as the field is named
    std::unordered_map<std::string, int> byName;   // exact names and "Table.Column"

    PreparedStatement() = default;
    PreparedStatement(const PreparedStatement&) = delete;
    PreparedStatement& operator=(const PreparedStatement&) = delete;
    ~PreparedStatement() {
        if (stmt) sqlite3_finalize(stmt);
    }

    // The name -> column map, built once per statement. An unqualified name
    // that occurs twice maps to its first column; every column of a table is
    // also reachable as "Table.Column".
    void buildNames() {
        columns = sqlite3_column_count(stmt);
        names.reserve(static_cast<size_t>(columns));
        for (int i = 0; i < columns; ++i) {
            const char* n = sqlite3_column_name(stmt, i);
            names.push_back(text::fromUtf8(n ? n : ""));
            byName.emplace(names.back(), i);
        }
        for (int i = 0; i < columns; ++i) {
            const char* table = sqlite3_column_table_name(stmt, i);
            if (table) byName.emplace(text::fromUtf8(table) + "." + names[static_cast<size_t>(i)], i);
        }
    }
};

namespace {
constexpr size_t kStatementCacheLimit = 32;
}  // namespace

struct Connection::State {
    sqlite3* db = nullptr;
    bool open = false;
    std::unordered_map<std::string, std::shared_ptr<PreparedStatement>> statements;
};

struct Recordset::Impl {
    std::shared_ptr<Connection::State> state;
    std::shared_ptr<PreparedStatement> prepared;
    sqlite3_stmt* stmt = nullptr;
    bool eof = true;

    ~Impl() {
        // A kept statement is reset (ending its read at once) and left for
        // the next run; one the connection no longer keeps is finalised.
        if (!prepared) return;
        if (state && state->open && prepared.use_count() > 1) {
            sqlite3_reset(stmt);
            sqlite3_clear_bindings(stmt);
            prepared->busy = false;
        }
    }

    int index(const std::string& field) const {
        const auto& byName = prepared->byName;
        const auto it = byName.find(field);
        if (it != byName.end()) return it->second;
        // Field names ignore ASCII case, as the provider's do.
        int found = -1;
        for (const auto& [name, i] : byName) {
            if (iequalsAscii(name, field) && (found < 0 || i < found)) found = i;
        }
        if (found >= 0) return found;
        raise(kAdoItemNotFound, "ADODB.Recordset",
              SJ("要求された名前、または序数に対応する項目がコレクション内に見つかりません。") + " (" + field + ")");
    }

    // The column of a field of the current record.
    int current(const std::string& field) const {
        if (!stmt || !state || !state->open) raiseClosed("ADODB.Recordset");
        const int i = index(field);
        if (eof) raiseNoCurrentRecord("ADODB.Field");
        return i;
    }
};

Recordset::Recordset() = default;
Recordset::~Recordset() = default;
Recordset::Recordset(Recordset&&) noexcept = default;
Recordset& Recordset::operator=(Recordset&&) noexcept = default;

bool Recordset::isEOF() const noexcept { return !impl_ || impl_->eof; }

void Recordset::moveNext() {
    if (!impl_ || !impl_->stmt || !impl_->state || !impl_->state->open) raiseClosed("ADODB.Recordset");
    if (impl_->eof) raiseNoCurrentRecord("ADODB.Recordset");
    const int rc = sqlite3_step(impl_->stmt);
    if (rc == SQLITE_ROW) return;
    impl_->eof = true;
    if (rc != SQLITE_DONE) raiseFromSqlite(impl_->state->db, rc);
    sqlite3_reset(impl_->stmt);  // ends the read at once
}

void Recordset::close() noexcept { impl_.reset(); }

std::string Recordset::text(const std::string& field) const {
    const int i = impl_ ? impl_->current(field) : (raiseClosed("ADODB.Recordset"), 0);
    sqlite3_stmt* st = impl_->stmt;
    switch (sqlite3_column_type(st, i)) {
        case SQLITE_NULL:
            return std::string();
        case SQLITE_INTEGER:
            return text::format("%lld", static_cast<long long>(sqlite3_column_int64(st, i)));
        case SQLITE_FLOAT:
            return text::formatGeneral(sqlite3_column_double(st, i), 15);
        case SQLITE_BLOB: {
            const void* b = sqlite3_column_blob(st, i);
            return b ? std::string(static_cast<const char*>(b), static_cast<size_t>(sqlite3_column_bytes(st, i)))
                     : std::string();
        }
        default: {
            const unsigned char* t = sqlite3_column_text(st, i);
            if (!t) return std::string();
            const std::string_view utf8(reinterpret_cast<const char*>(t), static_cast<size_t>(sqlite3_column_bytes(st, i)));
            // ASCII reads the same in CP932 (identifiers, numbers).
            bool ascii = true;
            for (const char c : utf8) {
                if (static_cast<unsigned char>(c) >= 0x80) {
                    ascii = false;
                    break;
                }
            }
            return ascii ? std::string(utf8) : text::fromUtf8(utf8);
        }
    }
}

int64_t Recordset::int64(const std::string& field) const {
    const int i = impl_ ? impl_->current(field) : (raiseClosed("ADODB.Recordset"), 0);
    sqlite3_stmt* st = impl_->stmt;
    if (sqlite3_column_type(st, i) == SQLITE_FLOAT) {
        const double v = std::nearbyint(sqlite3_column_double(st, i));
        if (!(v >= -9.2e18 && v <= 9.2e18)) return 0;
        return static_cast<int64_t>(v);
    }
    return sqlite3_column_int64(st, i);  // NULL reads 0; a text reads its leading number
}

int16_t Recordset::int16(const std::string& field) const {
    // Truncated to the low 16 bits, as a short conversion of the value does.
    return static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint64_t>(int64(field)) & 0xFFFFu));
}

double Recordset::number(const std::string& field) const {
    const int i = impl_ ? impl_->current(field) : (raiseClosed("ADODB.Recordset"), 0);
    return sqlite3_column_double(impl_->stmt, i);
}

bool Recordset::isNull(const std::string& field) const {
    const int i = impl_ ? impl_->current(field) : (raiseClosed("ADODB.Recordset"), 0);
    return sqlite3_column_type(impl_->stmt, i) == SQLITE_NULL;
}

namespace {

// Civil date of a day count from 1970-01-01 (H. Hinnant's algorithm).
void civilFromDays(int64_t z, int& y, int& m, int& d) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yoe + era * 400 + (m <= 2 ? 1 : 0));
}

}  // namespace

bool Recordset::date(const std::string& field, int& year, int& month, int& day) const {
    const int i = impl_ ? impl_->current(field) : (raiseClosed("ADODB.Recordset"), 0);
    sqlite3_stmt* st = impl_->stmt;
    const int type = sqlite3_column_type(st, i);
    if (type == SQLITE_NULL) return false;
    int y = 0, m = 0, d = 0;
    if (type == SQLITE_INTEGER || type == SQLITE_FLOAT) {
        // A Jet date number: days since 1899-12-30 (25569 days before 1970-01-01).
        const double v = sqlite3_column_double(st, i);
        if (!(v > -657435.0 && v < 2958466.0)) return false;
        civilFromDays(static_cast<int64_t>(std::floor(v)) - 25569, y, m, d);
    } else {
        const unsigned char* t = sqlite3_column_text(st, i);
        if (!t) return false;
        char sep1 = 0, sep2 = 0;
        int used = 0;
        if (std::sscanf(reinterpret_cast<const char*>(t), "%d%c%d%c%d%n", &y, &sep1, &m, &sep2, &d, &used) != 5)
            return false;
        if (sep1 != sep2 || (sep1 != '-' && sep1 != '/')) return false;
        const char after = reinterpret_cast<const char*>(t)[used];
        if (after != '\0' && after != ' ' && after != 'T') return false;
    }
    if (m < 1 || m > 12 || d < 1 || d > 31 || y < 1 || y > 9999) return false;
    year = y;
    month = m;
    day = d;
    return true;
}

// ---------------------------------------------------------------------------

Connection::Connection() = default;

Connection::~Connection() {
    if (state_ && state_->open) {
        state_->open = false;
        state_->statements.clear();
        sqlite3_close_v2(state_->db);
        state_->db = nullptr;
    }
}

bool Connection::isOpen() const noexcept { return state_ && state_->open; }

namespace {

// Opens and checks the file; returns the open handle or raises.
sqlite3* openChecked(const std::string& pathCp932, const std::string& passwordCp932) {
    if (pathCp932.empty()) raiseNotFound(pathCp932);
    std::string path = text::toUtf8(pathCp932);
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) raiseNotFound(pathCp932);
        raiseCannotOpen(pathCp932);
    }
    if (!S_ISREG(st.st_mode)) raiseNotValidPath(pathCp932);
    // A relative path that starts like a URI is still a file name.
    if (path.rfind("file:", 0) == 0) path = "./" + path;

    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    struct Guard {
        sqlite3*& db;
        bool keep = false;
        ~Guard() {
            if (!keep && db) sqlite3_close_v2(db);
        }
    } guard{db};
    if (rc != SQLITE_OK) raiseCannotOpen(pathCp932);
    sqlite3_extended_result_codes(db, 1);
    // Another program writing the file holds it only briefly; a longer lock
    // fails the open instead of hanging it.
    sqlite3_busy_timeout(db, 250);
    if (!registerJetFunctions(db)) raiseCannotOpen(pathCp932);

    auto fail = [&](int code) {
        const int primary = code & 0xFF;
        if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED || primary == SQLITE_CANTOPEN ||
            primary == SQLITE_PERM || primary == SQLITE_READONLY || primary == SQLITE_IOERR)
            raiseCannotOpen(pathCp932);
        raiseUnrecognized(pathCp932);
    };

    // The file must be a database with all the statute tables and the
    // password record; anything else (an empty file, random bytes, another
    // database) is of an unrecognised format.
    std::string check = "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name IN ('";
    check += kPasswordTable;
    for (const char* table : kTableNames) check += std::string("', '") + table;
    check += "')";
    sqlite3_stmt* stmt = nullptr;
    int r = sqlite3_prepare_v2(db, check.c_str(), -1, &stmt, nullptr);
    if (r != SQLITE_OK) fail(r);
    r = sqlite3_step(stmt);
    const int64_t tables = r == SQLITE_ROW ? sqlite3_column_int64(stmt, 0) : -1;
    sqlite3_finalize(stmt);
    if (r != SQLITE_ROW) fail(r);
    if (tables != kTableCount + 1) raiseUnrecognized(pathCp932);

    // A file cut short: the header promises more pages than the file holds.
    auto pragmaValue = [&](const char* sql) -> int64_t {
        sqlite3_stmt* s = nullptr;
        int64_t v = -1;
        int x = sqlite3_prepare_v2(db, sql, -1, &s, nullptr);
        if (x == SQLITE_OK && (x = sqlite3_step(s)) == SQLITE_ROW) v = sqlite3_column_int64(s, 0);
        sqlite3_finalize(s);
        if (v < 0) fail(x);
        return v;
    };
    const int64_t pages = pragmaValue("PRAGMA page_count");
    const int64_t pageSize = pragmaValue("PRAGMA page_size");
    if (pages * pageSize > static_cast<int64_t>(st.st_size)) raiseUnrecognized(pathCp932);

    const std::string pwSql = std::string("SELECT password FROM ") + kPasswordTable + " LIMIT 1";
    r = sqlite3_prepare_v2(db, pwSql.c_str(), -1, &stmt, nullptr);
    if (r != SQLITE_OK) fail(r);
    r = sqlite3_step(stmt);
    bool matches = false;
    if (r == SQLITE_ROW) {
        const unsigned char* t = sqlite3_column_text(stmt, 0);
        const std::string recorded =
            t ? std::string(reinterpret_cast<const char*>(t), static_cast<size_t>(sqlite3_column_bytes(stmt, 0)))
              : std::string();
        matches = t && recorded == text::toUtf8(passwordCp932);
    }
    sqlite3_finalize(stmt);
    if (r == SQLITE_DONE) raiseUnrecognized(pathCp932);
    if (r != SQLITE_ROW) fail(r);
    if (!matches) raiseBadPassword();

    // The program only reads the statute database.
    sqlite3_exec(db, "PRAGMA query_only = 1", nullptr, nullptr, nullptr);
    guard.keep = true;
    return db;
}

}  // namespace

const std::string& engineName() {
    static const std::string name = std::string("SQLite ") + sqlite3_libversion();
    return name;
}

void Connection::open(const std::string& connectionText, const std::string& user, const std::string& password,
                      long options) {
    (void)options;  // the open is always synchronous
    if (isOpen()) raise(kAdoObjectOpen, "ADODB.Connection", SJ("オブジェクトが開いている場合は、操作は許可されません。"));
    const ConnectionText ct = parseConnectionText(connectionText);
    if (!ct.hasProvider || !iequalsAscii(ct.provider, "Microsoft.Jet.OLEDB.4.0")) {
        raise(kAdoProviderNotFound, "ADODB.Connection",
              SJ("プロバイダが見つかりません。正しくインストールされていない可能性があります。"));
    }
    // Without a workgroup file the only account is "admin" with no password.
    if ((!user.empty() && !iequalsAscii(user, "admin")) || !password.empty()) {
        raiseEngine(kAuthFailed, SJ("アカウント名またはパスワードが正しくありません。"));
    }
    if (!ct.hasDataSource) raiseNotFound(std::string());
    sqlite3* db = openChecked(ct.dataSource, ct.password);
    state_ = std::make_shared<State>();
    state_->db = db;
    state_->open = true;
    db_ = db;
}

std::string Connection::fileName() const {
    const char* name = isOpen() ? sqlite3_db_filename(db_, "main") : nullptr;
    return name ? std::string(name) : std::string();
}

void Connection::close() {
    if (!isOpen()) raiseClosed("ADODB.Connection");
    // Record sets still held by callers become closed; the handle itself is
    // freed when the last of their statements is finalised.
    state_->open = false;
    state_->statements.clear();
    const int rc = sqlite3_close_v2(state_->db);
    state_->db = nullptr;
    db_ = nullptr;
    if (rc != SQLITE_OK) raiseEngine(kEFail, text::fromUtf8(sqlite3_errstr(rc)));
}

Recordset Connection::execute(const std::string& sql, long* affected, long options) {
    (void)options;
    if (!isOpen()) raiseClosed("ADODB.Connection");
    sqlite3* db = state_->db;
    std::vector<std::string> bounds;
    const std::string utf8 = rewriteJetSql(text::toUtf8(sql), &bounds);
    Recordset rs;
    rs.impl_ = std::make_unique<Recordset::Impl>();
    rs.impl_->state = state_;
    auto& kept = state_->statements;
    const auto found = kept.find(utf8);
    if (found != kept.end() && !found->second->busy) {
        rs.impl_->prepared = found->second;
    } else {
        auto prepared = std::make_shared<PreparedStatement>();
        const char* tail = nullptr;
        int rc = sqlite3_prepare_v2(db, utf8.c_str(), static_cast<int>(utf8.size()), &prepared->stmt, &tail);
        if (rc != SQLITE_OK) {
            const int primary = rc & 0xFF;
            if (primary == SQLITE_ERROR) raiseEngine(kErrorsInCommand, text::fromUtf8(sqlite3_errmsg(db)));
            raiseFromSqlite(db, rc);
        }
        if (!prepared->stmt) raiseEngine(kErrorsInCommand, SJ("SQL ステートメントが空です。"));
        // One statement per call, as the provider takes it.
        for (const char* p = tail; p && *p; ++p) {
            if (*p != ' ' && *p != '\t' && *p != '\r' && *p != '\n' && *p != ';') {
                raiseEngine(kErrorsInCommand, SJ("SQL ステートメントの後に文字が見つかりました。"));
            }
        }
        prepared->buildNames();
        // A statement that is read while the same text runs again gets a
        // statement of its own, not kept.
        if (found == kept.end()) {
            if (kept.size() >= kStatementCacheLimit) kept.clear();
            kept.emplace(utf8, prepared);
        }
        rs.impl_->prepared = std::move(prepared);
    }
    PreparedStatement& prepared = *rs.impl_->prepared;
    prepared.busy = true;
    sqlite3_stmt* stmt = prepared.stmt;
    rs.impl_->stmt = stmt;
    for (size_t k = 0; k < bounds.size(); ++k) {
        const std::string name = "@jet_bound_" + std::to_string(k + 1);
        const int index = sqlite3_bind_parameter_index(stmt, name.c_str());
        if (index == 0 || sqlite3_bind_text(stmt, index, bounds[k].data(), static_cast<int>(bounds[k].size()),
                                            SQLITE_TRANSIENT) != SQLITE_OK)
            raiseEngine(kErrorsInCommand, text::fromUtf8(sqlite3_errmsg(db)));
    }
    const int rc = sqlite3_step(stmt);
    if (rc == SQLITE_ROW) {
        rs.impl_->eof = false;
    } else if (rc == SQLITE_DONE) {
        sqlite3_reset(stmt);
    } else {
        raiseFromSqlite(db, rc);
    }
    if (affected) *affected = -1;  // a record-returning statement affects no records
    return rs;
}

}  // namespace tavrel::db
