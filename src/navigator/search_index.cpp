#include "navigator/search_index.h"

#include "text/sjis.h"

#include <algorithm>
#include <cstring>
#include <sqlite3.h>
#include <stdexcept>
#include <unordered_map>

namespace tavrel::nav {

namespace {

// The displayed pages of displayed laws with their captions, then every
// sentence's and table's search data. The texts are read as the file holds
// them (UTF-8), exactly the text the statements' Like compares.
const char* const kPagesSql =
    "SELECT T_条.ID_FN, T_条.条名 FROM T_条, T_法 WHERE substr(T_条.ID_FN, 1, 3) = T_法.ID_HN "
    "AND T_条.表示 = -1 AND T_法.表示 = -1";
const char* const kSentencesSql = "SELECT ID_BN, 検索用データ FROM T_文";
const char* const kTablesSql = "SELECT ID_BN, 検索用データ FROM T_表";

// True when pos starts a character of the field that holds it. Fields are
// separated by NUL, which is never part of a double-byte character, so the
// bytes that could be lead bytes right before pos decide: an even run of them
// ends on a character boundary.
bool startsCharacter(const std::string& buffer, size_t pos) {
    size_t run = 0;
    while (run < pos && text::isLeadByte(buffer[pos - run - 1])) ++run;
    return run % 2 == 0;
}

// UTF-8 to CP932 with ASCII small letters made capitals, through a table of
// every character of the Basic Multilingual Plane, made once with the
// program's own conversion. A text with anything the table does not hold (a
// character without a CP932 form, a NUL, a character beyond the plane,
// invalid UTF-8) takes the program's conversion as a whole, so the result is
// always upperAscii(fromUtf8(text)).
class FoldedCp932 {
  public:
    FoldedCp932() : table_(0x10000, 0) {
        // The characters CP932 has, row by row (a row has few unknown codes,
        // which keeps the conversion quick) ...
        std::vector<uint32_t> points;
        const auto collect = [&](const std::string& row) {
            const std::string utf8 = text::toUtf8(row);
            for (size_t pos = 0; pos < utf8.size();) {
                size_t end = utf8.find('\n', pos);
                if (end == std::string::npos) end = utf8.size();
                if (const uint32_t cp = singleCodePoint(std::string_view(utf8).substr(pos, end - pos)))
                    points.push_back(cp);
                pos = end + 1;
            }
        };
        std::string row;
        for (int b = 1; b <= 0xDF; ++b)
            if (b != '\n' && (b < 0x80 || b >= 0xA1)) row += {static_cast<char>(b), '\n'};
        collect(row);
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            if (!text::isLeadByte(static_cast<unsigned char>(lead))) continue;
            row.clear();
            for (int trail = 0x40; trail <= 0xFC; ++trail)
                if (trail != 0x7F) row += {static_cast<char>(lead), static_cast<char>(trail), '\n'};
            collect(row);
        }
        std::sort(points.begin(), points.end());
        points.erase(std::unique(points.begin(), points.end()), points.end());
        // ... and the form the program's conversion gives each of them.
        std::string all;
        for (const uint32_t cp : points) {
            appendUtf8(all, cp);
            all += '\n';
        }
        const std::string converted = text::fromUtf8(all);
        size_t pos = 0;
        for (const uint32_t cp : points) {
            const size_t end = converted.find('\n', pos);
            if (end == std::string::npos) break;
            const std::string_view c(converted.data() + pos, end - pos);
            pos = end + 1;
            if (c == "?" && cp != '?') continue;  // no CP932 form
            if (c.size() == 1) table_[cp] = static_cast<unsigned char>(c[0]);
            if (c.size() == 2)
                table_[cp] =
                    static_cast<uint16_t>(static_cast<unsigned char>(c[0]) << 8 | static_cast<unsigned char>(c[1]));
        }
    }

    void append(std::string& out, const char* utf8, size_t n) const {
        const size_t mark = out.size();
        const auto* p = reinterpret_cast<const unsigned char*>(utf8);
        for (size_t i = 0; i < n;) {
            uint32_t cp;
            const unsigned char b = p[i];
            if (b < 0x80) {
                if (b == 0) return slow(out, mark, utf8, n);
                out += static_cast<char>(b >= 'a' && b <= 'z' ? b - 'a' + 'A' : b);
                ++i;
                continue;
            }
            if ((b & 0xE0) == 0xC0 && i + 1 < n && (p[i + 1] & 0xC0) == 0x80) {
                cp = (b & 0x1Fu) << 6 | (p[i + 1] & 0x3Fu);
                if (cp < 0x80) return slow(out, mark, utf8, n);
                i += 2;
            } else if ((b & 0xF0) == 0xE0 && i + 2 < n && (p[i + 1] & 0xC0) == 0x80 && (p[i + 2] & 0xC0) == 0x80) {
                cp = (b & 0x0Fu) << 12 | (p[i + 1] & 0x3Fu) << 6 | (p[i + 2] & 0x3Fu);
                if (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF)) return slow(out, mark, utf8, n);
                i += 3;
            } else {
                return slow(out, mark, utf8, n);
            }
            const uint16_t c = table_[cp];
            if (c == 0) return slow(out, mark, utf8, n);
            if (c > 0xFF) out += static_cast<char>(c >> 8);
            out += static_cast<char>(c & 0xFF);
        }
    }

  private:
    // The code point of a text of exactly one character of up to three
    // UTF-8 bytes (not NUL, not a line feed), else 0.
    static uint32_t singleCodePoint(std::string_view u) {
        const auto* p = reinterpret_cast<const unsigned char*>(u.data());
        if (u.size() == 1 && p[0] < 0x80 && p[0] != 0) return p[0];
        if (u.size() == 2 && (p[0] & 0xE0) == 0xC0 && (p[1] & 0xC0) == 0x80)
            return (p[0] & 0x1Fu) << 6 | (p[1] & 0x3Fu);
        if (u.size() == 3 && (p[0] & 0xF0) == 0xE0 && (p[1] & 0xC0) == 0x80 && (p[2] & 0xC0) == 0x80)
            return (p[0] & 0x0Fu) << 12 | (p[1] & 0x3Fu) << 6 | (p[2] & 0x3Fu);
        return 0;
    }
    static void appendUtf8(std::string& s, uint32_t cp) {
        if (cp < 0x80) {
            s += static_cast<char>(cp);
        } else if (cp < 0x800) {
            s += static_cast<char>(0xC0 | cp >> 6);
            s += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            s += static_cast<char>(0xE0 | cp >> 12);
            s += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
            s += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    static void slow(std::string& out, size_t mark, const char* utf8, size_t n) {
        out.resize(mark);
        out += text::upperAscii(text::fromUtf8(std::string_view(utf8, n)));
    }

    std::vector<uint16_t> table_;
};

// The first n characters of a UTF-8 text, as Left gives them.
std::string_view utf8Prefix(std::string_view s, size_t n) {
    size_t i = 0;
    for (size_t chars = 0; i < s.size(); ++i) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) continue;
        if (chars++ == n) break;
    }
    return s.substr(0, i);
}

// The rows of one statement on the file's own handle: (first column, second
// column as UTF-8 bytes). A set stop flag ends the read.
template <class F>
void eachRow(sqlite3* db, const char* sql, const std::atomic<bool>* stop, F&& f) {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) != SQLITE_OK) throw std::runtime_error(sqlite3_errmsg(db));
    int rc;
    size_t rows = 0;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        if (stop && (++rows & 0x3FF) == 0 && stop->load(std::memory_order_relaxed)) {
            sqlite3_finalize(st);
            throw std::runtime_error("search index read stopped");
        }
        const auto* id = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
        const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(st, 1));
        f(std::string_view(id ? id : "", id ? static_cast<size_t>(sqlite3_column_bytes(st, 0)) : 0), t,
          t ? static_cast<size_t>(sqlite3_column_bytes(st, 1)) : 0);
    }
    sqlite3_finalize(st);
    if (rc != SQLITE_DONE) throw std::runtime_error(sqlite3_errmsg(db));
}

}  // namespace

std::unique_ptr<SearchIndex> SearchIndex::build(db::Connection& connection) {
    sqlite3* db = connection.handle();
    if (!connection.isOpen() || !db) throw std::runtime_error("no database");
    return read(db, nullptr);
}

std::unique_ptr<SearchIndex> SearchIndex::readFile(const std::string& fileName, const std::atomic<bool>* stop) {
    if (fileName.empty()) throw std::runtime_error("no database file");
    sqlite3* db = nullptr;
    // A connection of this thread only: SQLite connections are not shared
    // between threads here.
    const int rc = sqlite3_open_v2(fileName.c_str(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
    struct Closer {
        sqlite3* db;
        ~Closer() { sqlite3_close_v2(db); }
    } closer{db};
    if (rc != SQLITE_OK) throw std::runtime_error(db ? sqlite3_errmsg(db) : "cannot open the database file");
    sqlite3_busy_timeout(db, 250);
    return read(db, stop);
}

std::unique_ptr<SearchIndex> SearchIndex::read(sqlite3* db, const std::atomic<bool>* stop) {
    // Made once, by whichever thread reads first (a thread-safe static).
    static const FoldedCp932 convert;
    std::unique_ptr<SearchIndex> index(new SearchIndex);

    // Each page's texts, converted and folded, each followed by a NUL.
    struct Page {
        std::string key;  // ID_FN as the file holds it (UTF-8)
        std::string id;   // ID_FN as the program reads it (CP932)
        std::string texts;
    };
    std::vector<Page> pages;
    eachRow(db, kPagesSql, stop, [&](std::string_view id, const char* t, size_t n) {
        const bool ascii =
            std::all_of(id.begin(), id.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
        Page p{std::string(id), ascii ? std::string(id) : text::fromUtf8(id), {}};
        if (t && n) {
            convert.append(p.texts, t, n);
            p.texts += '\0';
        }
        pages.push_back(std::move(p));
    });
    std::sort(pages.begin(), pages.end(),
              [](const Page& a, const Page& b) { return a.id != b.id ? a.id < b.id : a.key < b.key; });
    // A page listed twice (one law row matched twice) keeps one entry.
    pages.erase(std::unique(pages.begin(), pages.end(), [](const Page& a, const Page& b) { return a.key == b.key; }),
                pages.end());

    std::unordered_map<std::string_view, size_t> byId;
    byId.reserve(pages.size() * 2);
    for (size_t i = 0; i < pages.size(); ++i) byId.emplace(pages[i].key, i);

    // A sentence or table belongs to the page its first 15 characters name.
    const auto readFields = [&](const char* sql) {
        eachRow(db, sql, stop, [&](std::string_view id, const char* t, size_t n) {
            if (!t || !n) return;
            const auto it = byId.find(utf8Prefix(id, 15));
            if (it == byId.end()) return;
            std::string& texts = pages[it->second].texts;
            convert.append(texts, t, n);
            texts += '\0';
        });
    };
    readFields(kSentencesSql);
    readFields(kTablesSql);

    size_t total = 0;
    for (const Page& p : pages) total += p.texts.size();
    index->text_.reserve(total);
    index->ids_.reserve(pages.size());
    index->begin_.reserve(pages.size() + 1);
    for (Page& p : pages) {
        index->begin_.push_back(index->text_.size());
        index->text_ += p.texts;
        std::string().swap(p.texts);
    }
    index->begin_.push_back(index->text_.size());
    for (Page& p : pages) index->ids_.push_back(std::move(p.id));
    return index;
}

bool SearchIndex::serves(std::string_view word) {
    return !word.empty() && word.find_first_of(std::string_view("%_\0", 3)) == std::string_view::npos;
}

bool SearchIndex::pageHolds(uint32_t page, const std::string& folded) const {
    const char* const base = text_.data();
    size_t pos = begin_[page];
    const size_t end = begin_[page + 1];
    while (pos + folded.size() <= end) {
        const void* hit = memmem(base + pos, end - pos, folded.data(), folded.size());
        if (!hit) return false;
        const size_t at = static_cast<size_t>(static_cast<const char*>(hit) - base);
        if (startsCharacter(text_, at)) return true;
        pos = at + 1;
    }
    return false;
}

std::vector<uint32_t> SearchIndex::matches(const std::string& folded, const std::vector<uint32_t>* among) const {
    std::vector<uint32_t> found;
    if (folded.empty()) return found;
    if (among) {
        for (const uint32_t page : *among)
            if (pageHolds(page, folded)) found.push_back(page);
        return found;
    }
    // One pass over the whole buffer; once a page holds the word the scan
    // goes on at the next page.
    const char* const base = text_.data();
    size_t pos = 0;
    const size_t end = text_.size();
    while (pos + folded.size() <= end) {
        const void* hit = memmem(base + pos, end - pos, folded.data(), folded.size());
        if (!hit) break;
        const size_t at = static_cast<size_t>(static_cast<const char*>(hit) - base);
        if (!startsCharacter(text_, at)) {
            pos = at + 1;
            continue;
        }
        const auto next = std::upper_bound(begin_.begin(), begin_.end(), at);
        found.push_back(static_cast<uint32_t>(next - begin_.begin() - 1));
        pos = *next;
    }
    return found;
}

std::vector<std::string> SearchIndex::idsOf(const std::vector<uint32_t>& pages) const {
    std::vector<std::string> out;
    out.reserve(pages.size());
    // Two pages whose identifiers read the same in CP932 give one entry, as
    // the statements' lists do.
    for (const uint32_t p : pages)
        if (out.empty() || out.back() != ids_[p]) out.push_back(ids_[p]);
    return out;
}

std::vector<std::string> SearchIndex::find(std::string_view word) const {
    return idsOf(matches(text::upperAscii(word), nullptr));
}

std::vector<std::string> SearchIndex::findAll(const std::vector<std::string>& words) const {
    if (words.empty()) return {};
    // The longest word first: it usually leaves the fewest pages for the others.
    std::vector<std::string> folded;
    for (const std::string& w : words) folded.push_back(text::upperAscii(w));
    std::stable_sort(folded.begin(), folded.end(),
                     [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
    std::vector<uint32_t> pages = matches(folded[0], nullptr);
    for (size_t i = 1; i < folded.size() && !pages.empty(); ++i) pages = matches(folded[i], &pages);
    return idsOf(pages);
}

}  // namespace tavrel::nav
