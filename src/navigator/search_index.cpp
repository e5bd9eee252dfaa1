#include "navigator/search_index.h"

#include "text/sjis.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

namespace tavrel::nav {

namespace {

// The displayed pages of displayed laws with their captions.
const char* const kPagesSql =
    "SELECT T_条.[ID_FN], T_条.[条名] FROM T_条, T_法 WHERE LEFT(T_条.[ID_FN],3) = T_法.[ID_HN] "
    "AND T_条.[表示] = YES AND T_法.[表示] = YES";
const char* const kSentencesSql = "SELECT [ID_BN], [検索用データ] FROM T_文";
const char* const kTablesSql = "SELECT [ID_BN], [検索用データ] FROM T_表";

// True when pos starts a character of the field that holds it. Fields are
// separated by NUL, which is never part of a double-byte character, so the
// bytes that could be lead bytes right before pos decide: an even run of them
// ends on a character boundary.
bool startsCharacter(const std::string& buffer, size_t pos) {
    size_t run = 0;
    while (run < pos && text::isLeadByte(buffer[pos - run - 1])) ++run;
    return run % 2 == 0;
}

}  // namespace

std::unique_ptr<SearchIndex> SearchIndex::build(db::Connection& connection) {
    std::unique_ptr<SearchIndex> index(new SearchIndex);

    struct Page {
        std::string id;
        std::vector<std::string> fields;
    };
    std::vector<Page> pages;
    {
        db::Recordset rows = connection.execute(SJ(kPagesSql));
        const std::string idField = "ID_FN", captionField = SJ("条名");
        for (; !rows.isEOF(); rows.moveNext()) {
            Page p{rows.text(idField), {}};
            p.fields.push_back(rows.text(captionField));
            pages.push_back(std::move(p));
        }
        rows.close();
    }
    std::sort(pages.begin(), pages.end(), [](const Page& a, const Page& b) { return a.id < b.id; });
    // A page listed twice (one law row matched twice) keeps one entry.
    pages.erase(std::unique(pages.begin(), pages.end(), [](const Page& a, const Page& b) { return a.id == b.id; }),
                pages.end());

    std::unordered_map<std::string, size_t> byId;
    byId.reserve(pages.size() * 2);
    for (size_t i = 0; i < pages.size(); ++i) byId.emplace(pages[i].id, i);

    // A sentence or table belongs to the page its first 15 characters name.
    const auto readFields = [&](const std::string& sql) {
        db::Recordset rows = connection.execute(sql);
        const std::string idField = "ID_BN", dataField = SJ("検索用データ");
        for (; !rows.isEOF(); rows.moveNext()) {
            const std::string id = rows.text(idField);
            const auto it = byId.find(id.substr(0, 15));
            if (it == byId.end()) continue;
            std::string data = rows.text(dataField);
            if (!data.empty()) pages[it->second].fields.push_back(std::move(data));
        }
        rows.close();
    };
    readFields(SJ(kSentencesSql));
    readFields(SJ(kTablesSql));

    size_t total = 0;
    for (const Page& p : pages)
        for (const std::string& f : p.fields) total += f.size() + 1;
    index->text_.reserve(total);
    index->ids_.reserve(pages.size());
    index->begin_.reserve(pages.size() + 1);
    for (Page& p : pages) {
        index->ids_.push_back(std::move(p.id));
        index->begin_.push_back(index->text_.size());
        for (const std::string& f : p.fields) {
            index->text_ += text::upperAscii(f);
            index->text_ += '\0';
        }
        p.fields.clear();
        p.fields.shrink_to_fit();
    }
    index->begin_.push_back(index->text_.size());
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
    for (const uint32_t p : pages) out.push_back(ids_[p]);
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
