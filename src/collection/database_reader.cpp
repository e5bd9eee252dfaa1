#include "collection/database_reader.h"

#include "collection/build_error.h"

#include <functional>
#include <set>
#include <utility>
#include <sqlite3.h>

namespace tavrel::collection {

namespace {

class Reader {
  public:
    explicit Reader(const std::filesystem::path& file) : file_(file.string()) {
        if (sqlite3_open_v2(file_.c_str(), &db_, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
            const std::string message = db_ ? sqlite3_errmsg(db_) : "out of memory";
            sqlite3_close(db_);
            db_ = nullptr;
            throw BuildError(file_, 0, "cannot open the database: " + message);
        }
    }
    ~Reader() { sqlite3_close(db_); }
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;

    bool hasTable(const char* name) {
        bool found = false;
        each(std::string("SELECT name FROM sqlite_master WHERE type = 'table' AND name = '") + name + "'",
             [&](sqlite3_stmt*) { found = true; });
        return found;
    }

    void each(const std::string& sql, const std::function<void(sqlite3_stmt*)>& row) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr) != SQLITE_OK)
            throw BuildError(file_, 0, std::string("cannot read the database: ") + sqlite3_errmsg(db_));
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) row(st);
        sqlite3_finalize(st);
        if (rc != SQLITE_DONE) throw BuildError(file_, 0, std::string("cannot read the database: ") + sqlite3_errmsg(db_));
    }

  private:
    std::string file_;
    sqlite3* db_ = nullptr;
};

std::string text(sqlite3_stmt* st, int i) {
    const unsigned char* t = sqlite3_column_text(st, i);
    return t ? std::string(reinterpret_cast<const char*>(t), static_cast<size_t>(sqlite3_column_bytes(st, i)))
             : std::string();
}
int integer(sqlite3_stmt* st, int i) { return sqlite3_column_int(st, i); }
bool yes(sqlite3_stmt* st, int i) { return sqlite3_column_int(st, i) != 0; }

void readLawSources(Reader& r, std::vector<LawSource>& sources) {
    if (r.hasTable("T_法令XML"))
        r.each("SELECT ID_HN, LawId, LawNum, 改正法令番号, 取込日時 FROM T_法令XML ORDER BY rowid", [&](sqlite3_stmt* st) {
            sources.push_back({text(st, 0), text(st, 1), text(st, 2), text(st, 3), text(st, 4)});
        });
}

}  // namespace

Collection readDatabase(const std::filesystem::path& file) {
    Reader r(file);
    Collection c;
    const Origin origin{file.string(), 0};
    r.each("SELECT ID_HN, 法名一般, 法名略式, 法名正式, 表示 FROM T_法 ORDER BY rowid", [&](sqlite3_stmt* st) {
        Law l;
        l.id = text(st, 0), l.common = text(st, 1), l.shortName = text(st, 2), l.formal = text(st, 3);
        l.shown = yes(st, 4);
        l.origin = origin;
        c.laws.push_back(l);
    });
    r.each("SELECT ID_SN, 章名, 節名, 款名, 目名, 告示 FROM T_章 ORDER BY rowid", [&](sqlite3_stmt* st) {
        Division d;
        d.idSN = text(st, 0);
        for (int k = 0; k < 4; ++k) d.names[k] = text(st, 1 + k);
        d.notice = yes(st, 5);
        c.divisions[d.idSN] = d;
    });
    r.each("SELECT ID_FN, ID_SN, 条名, 補足, 分割, 大型, 表示 FROM T_条 ORDER BY rowid", [&](sqlite3_stmt* st) {
        Page p;
        p.idFN = text(st, 0), p.idSN = text(st, 1), p.caption = text(st, 2), p.supplement = text(st, 3);
        p.split = integer(st, 4);
        p.large = yes(st, 5), p.shown = yes(st, 6);
        p.origin = origin;
        c.pages[p.idFN] = p;
    });
    r.each("SELECT ID_BN, 法文, 書式コード, 表式, 札抜, 参照, 図入, 検索用データ FROM T_文 ORDER BY rowid",
           [&](sqlite3_stmt* st) {
               Sentence s;
               s.idBN = text(st, 0);
               s.text = s.markup = text(st, 1);
               s.formatCode = text(st, 2);
               s.table = yes(st, 3), s.hideLabel = yes(st, 4), s.reference = yes(st, 5), s.images = yes(st, 6);
               s.search = text(st, 7);
               s.convert = false;
               s.origin = origin;
               auto page = c.pages.find(s.idBN.substr(0, 15));
               if (page == c.pages.end()) throw BuildError(origin.file, 0, "sentence " + s.idBN + " of no page");
               page->second.sentences.push_back(std::move(s));
           });
    r.each("SELECT ID_BN, 順序, 表式データ, 検索用データ FROM T_表 ORDER BY rowid", [&](sqlite3_stmt* st) {
        c.tables.push_back({text(st, 0), integer(st, 1), text(st, 2), text(st, 3), origin, false});
    });
    r.each("SELECT ID_FN, 順序, HTMLデータ FROM T_他 ORDER BY rowid",
           [&](sqlite3_stmt* st) { c.specials.push_back({text(st, 0), integer(st, 1), text(st, 2), origin}); });
    r.each("SELECT ID_BN, ID_FN, 順序, 表示, 場所, キーワード, 表中, 選定, 自動, 強調, 有効, 備考, 補助 FROM T_参 "
           "ORDER BY rowid",
           [&](sqlite3_stmt* st) {
               Reference ref;
               ref.idBN = text(st, 0), ref.targetFN = text(st, 1);
               ref.order = integer(st, 2);
               ref.shown = yes(st, 3);
               ref.place = text(st, 4), ref.keyword = text(st, 5);
               ref.inTable = integer(st, 6), ref.choose = integer(st, 7), ref.automatic = integer(st, 8);
               ref.emphasis = integer(st, 9), ref.active = integer(st, 10);
               ref.note = text(st, 11), ref.extra = text(st, 12);
               ref.origin = origin;
               c.references.push_back(ref);
           });
    r.each("SELECT ID_FN, 公布年月日, 公布省名, 改正年月日, 改正省名, 改正告示番号 FROM T_告 ORDER BY rowid",
           [&](sqlite3_stmt* st) {
               History h;
               h.idFN = text(st, 0), h.promulgated = text(st, 1), h.promulgatedBy = text(st, 2);
               h.revised = text(st, 3), h.revisedBy = text(st, 4);
               if (sqlite3_column_type(st, 5) != SQLITE_NULL) h.revisionNumber = integer(st, 5);
               h.origin = origin;
               c.histories.push_back(h);
           });
    readLawSources(r, c.lawSources);
    if (r.hasTable("T_法令XML表")) {
        std::set<std::pair<std::string, int>> fromXml;
        r.each("SELECT ID_BN, 順序 FROM T_法令XML表",
               [&](sqlite3_stmt* st) { fromXml.emplace(text(st, 0), integer(st, 1)); });
        for (TablePiece& t : c.tables) t.fromLawXml = fromXml.count({t.idBN, t.order}) != 0;
    }
    return c;
}

std::vector<LawSource> readLawSources(const std::filesystem::path& file) {
    Reader r(file);
    std::vector<LawSource> sources;
    readLawSources(r, sources);
    return sources;
}

}  // namespace tavrel::collection
