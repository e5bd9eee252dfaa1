#include "citations/citation_index.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <unordered_map>
#include <unordered_set>

namespace tavrel::citations {

namespace {

constexpr size_t kIdFNLength = 15;
constexpr size_t kIdBNLength = 35;
constexpr size_t kPrefixLength = 12;

// One prepared statement, finalised on every path.
class Statement {
  public:
    Statement(sqlite3* db, const char* sql) : db_(db) {
        if (sqlite3_prepare_v2(db, sql, -1, &st_, nullptr) != SQLITE_OK) fail();
    }
    ~Statement() { sqlite3_finalize(st_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool step() {
        const int rc = sqlite3_step(st_);
        if (rc == SQLITE_ROW) return true;
        if (rc != SQLITE_DONE) fail();
        return false;
    }
    std::string_view text(int column) const {
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st_, column));
        return p ? std::string_view(p, static_cast<size_t>(sqlite3_column_bytes(st_, column))) : std::string_view();
    }
    int64_t integer(int column) const { return sqlite3_column_int64(st_, column); }
    // The text is bound where it is: it must outlive the next step().
    void bind(int k, std::string_view s) {
        if (sqlite3_bind_text(st_, k, s.data(), static_cast<int>(s.size()), SQLITE_STATIC) != SQLITE_OK) fail();
    }
    void bind(int k, int64_t v) {
        if (sqlite3_bind_int64(st_, k, v) != SQLITE_OK) fail();
    }
    void reset() {
        sqlite3_reset(st_);
        sqlite3_clear_bindings(st_);
    }

  private:
    [[noreturn]] void fail() const { throw std::runtime_error(std::string("database: ") + sqlite3_errmsg(db_)); }
    sqlite3* db_;
    sqlite3_stmt* st_ = nullptr;
};

void exec(sqlite3* db, const char* sql) {
    char* message = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        const std::string m = message ? message : sqlite3_errmsg(db);
        sqlite3_free(message);
        throw std::runtime_error("database: " + m);
    }
}

// The first n characters of a UTF-8 text, "…" appended when it was longer.
std::string head(std::string_view s, size_t n) {
    size_t i = 0;
    for (size_t k = 0; k < n && i < s.size(); ++k) {
        ++i;
        while (i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) ++i;
    }
    return std::string(s.substr(0, i)) + (i < s.size() ? "…" : "");
}

// The last n characters, "…" put before when it was longer.
std::string tail(std::string_view s, size_t n) {
    size_t i = s.size();
    for (size_t k = 0; k < n && i > 0; ++k) {
        --i;
        while (i > 0 && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) --i;
    }
    return (i > 0 ? "…" : "") + std::string(s.substr(i));
}

// The raw text an excerpt side is made from: enough bytes before (or after)
// pos for kExcerptReach characters of plain text with their markup, cut at a
// character boundary, so that a long sentence is not read whole for each of
// its references.
std::string_view window(std::string_view text, size_t pos, bool before) {
    constexpr size_t kBytes = 8 * kExcerptReach;
    if (!before) return text.substr(pos, kBytes);
    size_t from = pos > kBytes ? pos - kBytes : 0;
    while (from < pos && (static_cast<unsigned char>(text[from]) & 0xC0) == 0x80) ++from;
    return text.substr(from, pos - from);
}

// Where a row found in the pass points, until its page is known.
struct Pending {
    std::string target;  // 12 characters (text citations) or the page itself (reference rows)
    int paragraph = 0, paragraphBranch = 0;
};

struct ReferenceRow {
    std::string target, keyword;
};

// What the pass over the sentences needs of the pages.
struct Pages {
    std::unordered_set<std::string> all;         // every page identifier
    std::unordered_set<std::string> shown;       // pages that may cite
    std::unordered_map<std::string, std::string> firstPage;  // article prefix -> its first page
    std::unordered_set<std::string> split;       // prefixes of split articles
    std::unordered_map<std::string, std::string> paragraphPage;  // prefix + paragraph group -> page
};

Pages readPages(sqlite3* db) {
    Pages p;
    Statement st(db,
                 "SELECT t.ID_FN, t.表示 = -1 AND h.表示 = -1, t.分割 FROM T_条 AS t LEFT JOIN T_法 AS h "
                 "ON h.ID_HN = substr(t.ID_FN, 1, 3) ORDER BY t.ID_FN");
    while (st.step()) {
        const std::string id(st.text(0));
        if (id.size() != kIdFNLength) continue;
        p.all.insert(id);
        if (st.integer(1) != 0) p.shown.insert(id);
        const std::string prefix = id.substr(0, kPrefixLength);
        p.firstPage.emplace(prefix, id);
        if (st.integer(2) > 1) p.split.insert(prefix);
    }
    return p;
}

std::unordered_map<std::string, std::vector<ReferenceRow>> readReferenceRows(sqlite3* db) {
    std::unordered_map<std::string, std::vector<ReferenceRow>> rows;
    Statement st(db, "SELECT ID_BN, ID_FN, キーワード FROM T_参 WHERE 表示 = -1 ORDER BY ID_BN, 順序");
    while (st.step()) rows[std::string(st.text(0))].push_back({std::string(st.text(1)), std::string(st.text(2))});
    return rows;
}

// 0: the citing sentence is of the cited page's law, 1: of its family (the
// same first two characters: its order, ordinance, notifications), 2: other.
int lawGroup(std::string_view cited, std::string_view citing) {
    if (citing.substr(0, 3) == cited.substr(0, 3)) return 0;
    if (citing.substr(0, 2) == cited.substr(0, 2)) return 1;
    return 2;
}

// Quick test: a text without "[" and without 前, 同 or 次 cites nothing.
bool mayCite(std::string_view t) {
    return t.find('[') != std::string_view::npos || t.find("同") != std::string_view::npos ||
           t.find("前") != std::string_view::npos || t.find("次") != std::string_view::npos;
}

}  // namespace

CitationIndex::CitationIndex(std::vector<CitationRow> rows, IndexStats stats)
    : rows_(std::move(rows)), stats_(stats) {}

std::pair<const CitationRow*, const CitationRow*> CitationIndex::citing(std::string_view idFN) const {
    const auto lo = std::lower_bound(rows_.begin(), rows_.end(), idFN,
                                     [](const CitationRow& r, std::string_view id) { return r.citedPage < id; });
    auto hi = lo;
    while (hi != rows_.end() && hi->citedPage == idFN) ++hi;
    const CitationRow* base = rows_.data();
    return {base + (lo - rows_.begin()), base + (hi - rows_.begin())};
}

CitationIndex buildCitationIndex(sqlite3* db) {
    if (!db) throw std::runtime_error("database: not open");
    Pages pages = readPages(db);
    const auto references = readReferenceRows(db);
    const ArticleLookup exists = [&](std::string_view prefix) {
        return pages.firstPage.count(std::string(prefix)) != 0;
    };

    IndexStats stats;
    // The rows found and, beside them, where each points.
    std::vector<CitationRow> rows;
    std::vector<Pending> pending;
    std::string lastPage;
    bool lastShown = false, lastSplit = false;
    // The rows as the file holds them (no ORDER BY, which would read the
    // table through its key in random order): nothing below needs an order.
    Statement st(db, "SELECT ID_BN, 法文, 参照 FROM T_文");
    while (st.step()) {
        const std::string_view idBN = st.text(0);
        if (idBN.size() != kIdBNLength) continue;
        ++stats.sentences;
        if (idBN.compare(0, kIdFNLength, lastPage) != 0) {
            lastPage = std::string(idBN.substr(0, kIdFNLength));
            lastShown = pages.shown.count(lastPage) != 0;
            lastSplit = pages.split.count(lastPage.substr(0, kPrefixLength)) != 0;
        }
        if (lastSplit) {
            std::string key(idBN.substr(0, kPrefixLength));
            key += idBN.substr(16, 3);
            pages.paragraphPage.emplace(std::move(key), lastPage);
        }
        if (!lastShown) continue;
        const std::string_view text = st.text(1);
        std::string plain;  // made once, when a row of T_参 needs it

        if (mayCite(text)) {
            SentenceScan scan = scanSentence(idBN, text, exists);
            stats.unresolved += static_cast<size_t>(scan.unresolved);
            stats.sameArticle += static_cast<size_t>(scan.sameArticle);
            for (SentenceCitation& c : scan.citations) {
                pending.push_back({std::move(c.target), c.paragraph, c.paragraphBranch});
                CitationRow& row = rows.emplace_back();
                row.citingSentence = std::string(idBN);
                row.part = std::move(c.part);
                row.kind = c.kind;
                row.before = tail(plainText(window(text, c.start, true)), kExcerptReach);
                row.words = plainText(text.substr(c.start, c.end - c.start));
                row.after = head(plainText(window(text, c.end, false)), kExcerptReach);
            }
        }

        if (st.integer(2) == 0) continue;  // no reference-link rows
        const auto refs = references.find(std::string(idBN));
        if (refs == references.end()) continue;
        for (const ReferenceRow& r : refs->second) {
            if (r.target.size() != kIdFNLength || !pages.all.count(r.target)) {
                ++stats.outside;
                continue;
            }
            if (r.target.compare(0, kPrefixLength, idBN.substr(0, kPrefixLength)) == 0) {
                ++stats.sameArticle;
                continue;
            }
            if (plain.empty()) plain = plainText(text);
            pending.push_back({r.target, 0, 0});
            CitationRow& row = rows.emplace_back();
            row.citingSentence = std::string(idBN);
            row.kind = CitationKind::ReferenceRow;
            const size_t k = r.keyword.empty() ? std::string::npos : plain.find(r.keyword);
            if (k == std::string::npos) {
                row.after = head(plain, 2 * kExcerptReach);
            } else {
                row.before = tail(std::string_view(plain).substr(0, k), kExcerptReach);
                row.words = r.keyword;
                row.after = head(std::string_view(plain).substr(k + r.keyword.size()), kExcerptReach);
            }
        }
    }

    // Each row gets its page; rows pointing outside the collection go.
    size_t kept = 0;
    char group[8];
    for (size_t i = 0; i < rows.size(); ++i) {
        Pending& p = pending[i];
        CitationRow& row = rows[i];
        if (p.target.size() == kPrefixLength) {
            std::string page;
            if (p.paragraph > 0 && pages.split.count(p.target)) {
                std::snprintf(group, sizeof group, "%02d%d", p.paragraph % 100, p.paragraphBranch % 10);
                const auto it = pages.paragraphPage.find(p.target + group);
                if (it != pages.paragraphPage.end()) page = it->second;
            }
            if (page.empty()) {
                const auto it = pages.firstPage.find(p.target);
                if (it == pages.firstPage.end()) {
                    ++stats.outside;
                    continue;
                }
                page = it->second;
            }
            row.citedPage = std::move(page);
        } else {
            row.citedPage = std::move(p.target);
        }
        if (kept != i) rows[kept] = std::move(row);
        ++kept;
    }
    rows.resize(kept);
    // Sorted through their positions: a row (seven texts) is moved once.
    std::vector<uint32_t> order(rows.size());
    for (uint32_t i = 0; i < order.size(); ++i) order[i] = i;
    std::vector<int> groups(rows.size());
    for (size_t i = 0; i < rows.size(); ++i) groups[i] = lawGroup(rows[i].citedPage, rows[i].citingSentence);
    std::stable_sort(order.begin(), order.end(), [&](uint32_t x, uint32_t y) {
        const CitationRow& a = rows[x];
        const CitationRow& b = rows[y];
        if (const int c = a.citedPage.compare(b.citedPage); c != 0) return c < 0;
        if (groups[x] != groups[y]) return groups[x] < groups[y];
        return a.citingSentence < b.citingSentence;
    });
    // One row per cited page, citing sentence and part: the first occurrence.
    // A row for the page as a whole adds nothing when the sentence also cites
    // a part of it (a reference-link row beside the text's own reference).
    std::vector<CitationRow> unique;
    unique.reserve(rows.size());
    for (size_t first = 0; first < order.size();) {
        const CitationRow& lead = rows[order[first]];
        size_t last = first;
        bool anyPart = false;
        while (last < order.size() && rows[order[last]].citedPage == lead.citedPage &&
               rows[order[last]].citingSentence == lead.citingSentence)
            anyPart |= !rows[order[last++]].part.empty();
        const size_t groupStart = unique.size();
        for (size_t k = first; k < last; ++k) {
            CitationRow& r = rows[order[k]];
            if (anyPart && r.part.empty()) continue;
            bool seen = false;
            for (size_t i = groupStart; i < unique.size() && !seen; ++i) seen = unique[i].part == r.part;
            if (!seen) unique.push_back(std::move(r));
        }
        first = last;
    }
    stats.citations = unique.size();
    return CitationIndex(std::move(unique), stats);
}

bool hasCitationTable(sqlite3* db) {
    if (!db) return false;
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?1", -1, &st, nullptr) !=
        SQLITE_OK)
        return false;
    sqlite3_bind_text(st, 1, kCitationTable, -1, SQLITE_STATIC);
    const bool found = sqlite3_step(st) == SQLITE_ROW;
    sqlite3_finalize(st);
    return found;
}

void writeCitationTable(sqlite3* db, const CitationIndex& index) {
    const bool own = sqlite3_get_autocommit(db) != 0;
    if (own) exec(db, "BEGIN");
    try {
        exec(db,
             "DROP TABLE IF EXISTS T_被引用;"
             "CREATE TABLE T_被引用 ("
             "  ID_FN TEXT NOT NULL,"
             "  順序 INTEGER NOT NULL,"
             "  ID_BN TEXT NOT NULL,"
             "  部分 TEXT,"
             "  種別 TEXT,"
             "  抜粋前 TEXT,"
             "  参照語 TEXT,"
             "  抜粋後 TEXT"
             ");"
             "CREATE INDEX T_被引用_ID_FN ON T_被引用 (ID_FN, 順序);");
        Statement insert(db,
                         "INSERT INTO T_被引用 (ID_FN, 順序, ID_BN, 部分, 種別, 抜粋前, 参照語, 抜粋後) "
                         "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)");
        int64_t order = 0;
        for (const CitationRow& r : index.rows()) {
            insert.bind(1, r.citedPage);
            insert.bind(2, ++order);
            insert.bind(3, r.citingSentence);
            insert.bind(4, r.part);
            const char kind = static_cast<char>(r.kind);
            insert.bind(5, std::string_view(&kind, 1));
            insert.bind(6, r.before);
            insert.bind(7, r.words);
            insert.bind(8, r.after);
            insert.step();
            insert.reset();
        }
        if (own) exec(db, "COMMIT");
    } catch (...) {
        if (own) sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        throw;
    }
}

CitationIndex loadCitationIndex(const std::string& databaseFile) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(databaseFile.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        const std::string m = db ? sqlite3_errmsg(db) : "out of memory";
        sqlite3_close(db);
        throw std::runtime_error("cannot open " + databaseFile + ": " + m);
    }
    sqlite3_busy_timeout(db, 250);
    // The file read through the memory map rather than a copy per page.
    sqlite3_exec(db, "PRAGMA mmap_size = 1073741824", nullptr, nullptr, nullptr);
    try {
        CitationIndex index = buildCitationIndex(db);
        sqlite3_close(db);
        return index;
    } catch (...) {
        sqlite3_close(db);
        throw;
    }
}

IndexStats addCitationTable(const std::string& databaseFile) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(databaseFile.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        const std::string m = db ? sqlite3_errmsg(db) : "out of memory";
        sqlite3_close(db);
        throw std::runtime_error("cannot open " + databaseFile + ": " + m);
    }
    try {
        const CitationIndex index = buildCitationIndex(db);
        writeCitationTable(db, index);
        sqlite3_close(db);
        return index.stats();
    } catch (...) {
        sqlite3_close(db);
        throw;
    }
}

}  // namespace tavrel::citations
