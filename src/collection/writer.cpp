#include "collection/writer.h"

#include "citations/citation_index.h"
#include "database/schema.h"

#include "collection/build_error.h"
#include "collection/checks.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <initializer_list>
#include <map>
#include <sqlite3.h>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace tavrel::collection {

namespace fs = std::filesystem;

namespace {

class Db {
  public:
    explicit Db(const fs::path& file) {
        if (sqlite3_open_v2(file.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
            throw BuildError(file.string(), 0, std::string("cannot open: ") + sqlite3_errmsg(db_));
    }
    ~Db() {
        for (const auto& [sql, st] : prepared_) sqlite3_finalize(st);
        sqlite3_close(db_);
    }
    Db(const Db&) = delete;
    Db& operator=(const Db&) = delete;
    sqlite3* handle() const { return db_; }

    void exec(const char* sql) {
        char* message = nullptr;
        if (sqlite3_exec(db_, sql, nullptr, nullptr, &message) != SQLITE_OK) {
            const std::string m = message ? message : "";
            sqlite3_free(message);
            throw BuildError(std::string("database: ") + m);
        }
    }

    // A statement with a value per placeholder: text, integer or NULL. A
    // text is bound where it is (it outlives the insert), not copied.
    struct Value {
        enum Kind { Null, Text, Int } kind = Null;
        std::string_view text;
        long long number = 0;
        Value() = default;
        Value(const std::string& t) : kind(Text), text(t) {}
        Value(const char* t) : kind(Text), text(t) {}
        Value(int n) : kind(Int), number(n) {}
        Value(long long n) : kind(Int), number(n) {}
    };

    // Each statement text is prepared once and run again for every row.
    void insert(const char* sql, std::initializer_list<Value> values) {
        sqlite3_stmt*& st = prepared_[sql];
        if (!st && sqlite3_prepare_v2(db_, sql, -1, &st, nullptr) != SQLITE_OK)
            throw BuildError(std::string("database: ") + sqlite3_errmsg(db_) + " in " + sql);
        sqlite3_reset(st);
        sqlite3_clear_bindings(st);
        int k = 0;
        for (const Value& v : values) {
            ++k;
            if (v.kind == Value::Text)
                sqlite3_bind_text(st, k, v.text.data(), static_cast<int>(v.text.size()), SQLITE_STATIC);
            else if (v.kind == Value::Int)
                sqlite3_bind_int64(st, k, v.number);
            else
                sqlite3_bind_null(st, k);
        }
        const int rc = sqlite3_step(st);
        if (rc != SQLITE_DONE) throw BuildError(std::string("database: ") + sqlite3_errmsg(db_) + " in " + sql);
    }

  private:
    sqlite3* db_ = nullptr;
    std::map<const char*, sqlite3_stmt*> prepared_;  // by the address of the statement text
};

int yes(bool b) { return b ? -1 : 0; }

Db::Value textOrNull(const std::string& s) { return s.empty() ? Db::Value() : Db::Value(s); }

fs::path temporaryName(const fs::path& file) {
    return file.parent_path() / (file.filename().string() + ".tmp-" + std::to_string(getpid()));
}

// What a writer killed before its rename left beside the file: its
// temporary <file>.tmp-<pid> and that file's rollback journal, which SQLite
// would otherwise play back into a new file of the same name. Files of a
// writer still running (another process writing at the same time) stay.
void removeLeftTemporaries(const fs::path& file) {
    const std::string prefix = file.filename().string() + ".tmp-";
    const fs::path folder = file.parent_path().empty() ? fs::path(".") : file.parent_path();
    std::error_code ec;
    std::vector<fs::path> left;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.compare(0, prefix.size(), prefix) != 0) continue;
        const char* digits = name.c_str() + prefix.size();
        char* rest = nullptr;
        const long pid = std::strtol(digits, &rest, 10);
        if (rest == digits || pid <= 0 || (*rest != '\0' && std::strcmp(rest, "-journal") != 0)) continue;
        if (pid == getpid() || (kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)) left.push_back(it->path());
    }
    for (const fs::path& p : left) fs::remove(p, ec);
}

}  // namespace

citations::IndexStats writeDatabase(const Collection& c, const fs::path& file) {
    const fs::path tmp = temporaryName(file);
    std::error_code ec;
    removeLeftTemporaries(file);
    std::string error;
    citations::IndexStats cited;
    if (!db::createDatabaseFile(tmp.string(), db::kDatabasePassword, &error))
        throw BuildError(tmp.string(), 0, "cannot create the database: " + error);
    try {
        Db d(tmp);
        d.exec("BEGIN");
        for (const Law& l : c.laws)
            d.insert("INSERT INTO T_法 (ID_HN, 法名一般, 法名略式, 法名正式, 表示) VALUES (?,?,?,?,?)",
                     {l.id, l.common, l.shortName, l.formal, yes(l.shown)});
        for (const auto& [id, v] : c.divisions)
            d.insert("INSERT INTO T_章 (ID_SN, 章名, 節名, 款名, 目名, 告示) VALUES (?,?,?,?,?,?)",
                     {id, textOrNull(v.names[0]), textOrNull(v.names[1]), textOrNull(v.names[2]),
                      textOrNull(v.names[3]), v.notice ? -1 : 0});
        for (const auto& [id, p] : c.pages) {
            d.insert(
                "INSERT INTO T_条 (ID_FN, ID_SN, 条名, 補足, 分割, 大型, 表示) VALUES (?,?,?,?,?,?,?)",
                {id, p.idSN, textOrNull(p.caption), textOrNull(p.supplement), p.split, p.large ? -1 : 0, yes(p.shown)});
            for (const Sentence& s : p.sentences)
                d.insert(
                    "INSERT INTO T_文 (ID_BN, 法文, 書式コード, 表式, 札抜, 参照, 図入, 検索用データ) "
                    "VALUES (?,?,?,?,?,?,?,?)",
                    {s.idBN, s.markup, s.formatCode, s.table ? -1 : 0, s.hideLabel ? -1 : 0, s.reference ? -1 : 0,
                     s.images ? -1 : 0, s.search});
        }
        for (const TablePiece& t : c.tables)
            d.insert("INSERT INTO T_表 (ID_BN, 順序, 表式データ, 検索用データ) VALUES (?,?,?,?)",
                     {t.idBN, t.order, t.html, t.search});
        for (const SpecialPiece& s : c.specials)
            d.insert("INSERT INTO T_他 (ID_FN, 順序, HTMLデータ) VALUES (?,?,?)", {s.idFN, s.order, s.html});
        for (const Reference& r : c.references)
            d.insert(
                "INSERT INTO T_参 (ID_BN, ID_FN, 順序, 表示, 場所, キーワード, 表中, 選定, 自動, 強調, 有効, 備考, "
                "補助) "
                "VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?)",
                {r.idBN, r.targetFN, r.order, yes(r.shown), textOrNull(r.place), textOrNull(r.keyword), r.inTable,
                 r.choose, r.automatic, r.emphasis, r.active, textOrNull(r.note), textOrNull(r.extra)});
        for (const History& h : c.histories)
            d.insert(
                "INSERT INTO T_告 (ID_FN, 公布年月日, 公布省名, 改正年月日, 改正省名, 改正告示番号) VALUES "
                "(?,?,?,?,?,?)",
                {h.idFN, textOrNull(h.promulgated), textOrNull(h.promulgatedBy), textOrNull(h.revised),
                 textOrNull(h.revisedBy), h.revisionNumber ? Db::Value(*h.revisionNumber) : Db::Value()});
        if (!c.lawSources.empty()) {
            d.exec("CREATE TABLE T_法令XML (ID_HN TEXT PRIMARY KEY, LawId TEXT, LawNum TEXT, 改正法令番号 TEXT, "
                   "取込日時 TEXT)");
            for (const LawSource& s : c.lawSources)
                d.insert("INSERT INTO T_法令XML (ID_HN, LawId, LawNum, 改正法令番号, 取込日時) VALUES (?,?,?,?,?)",
                         {s.idHN, s.lawId, s.lawNum, textOrNull(s.revision), s.importedAt});
            // Which table pieces the imports wrote: the page text does not
            // tell them from pieces added by hand.
            d.exec("CREATE TABLE T_法令XML表 (ID_BN TEXT, 順序 INTEGER)");
            for (const TablePiece& t : c.tables)
                if (t.fromLawXml) d.insert("INSERT INTO T_法令XML表 (ID_BN, 順序) VALUES (?,?)", {t.idBN, t.order});
        }
        // The reverse-reference index (被引用) is made from the tables just
        // written, on the same connection and in the same transaction.
        const citations::CitationIndex index = citations::buildCitationIndex(d.handle());
        citations::writeCitationTable(d.handle(), index);
        cited = index.stats();
        d.exec("COMMIT");
    } catch (...) {
        fs::remove(tmp, ec);
        throw;
    }
    fs::rename(tmp, file);
    return cited;
}

std::string markerFileText(const Collection& c) {
    std::string text = "VERSION 8.08\r\n";
    for (const Marker& m : c.markers) text += m.key + ", " + m.value + "\r\n";
    return text;
}

}  // namespace tavrel::collection
