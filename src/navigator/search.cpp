#include "navigator/search.h"

#include "database/report.h"
#include "database/sql_texts.h"
#include "document/numbering.h"
#include "document/options.h"
#include "navigator/designation.h"
#include "navigator/search_index.h"
#include "text/sjis.h"
#include "textview/search_words.h"

#include <algorithm>
#include <chrono>
#include <iterator>
#include <optional>

namespace tavrel::nav {

namespace {

const char* const kSearchOperation = "TListSch::_search_in_all_pages_sub()";

void showResult(Document& doc, const std::string& text, MsgIcon icon) {
    doc.messages().show(SJ("検索結果"), text, MsgButtons::Ok, icon, false);
}

// One statement's ID_FN column, row by row.
std::vector<std::string> readIds(db::Connection& connection, const std::string& sql) {
    std::vector<std::string> ids;
    db::Recordset rows = connection.execute(sql);
    while (!rows.isEOF()) {
        ids.push_back(rows.text("ID_FN"));
        rows.moveNext();
    }
    rows.close();
    makeSortedUnique(ids);
    return ids;
}

// Like treats "%" and "_" of the word as wildcards, so for such a word the
// statements return every page that matches the pattern; the pages are then
// kept only when a caption, sentence or table really holds the word as it
// was typed (ASCII letters compared without case, as Like does).
bool holdsLiterally(const std::string& field, const std::string& upperWord) {
    return text::findText(text::upperAscii(field), upperWord) != std::string::npos;
}

bool pageHoldsWord(db::Connection& connection, const std::string& idFN, const std::string& upperWord) {
    if (const auto sql = db::sql::pageTitle(idFN)) {
        db::Recordset rows = connection.execute(*sql);
        const bool found = !rows.isEOF() && holdsLiterally(rows.text(SJ("条名")), upperWord);
        rows.close();
        if (found) return true;
    }
    std::vector<std::string> sentences;
    if (const auto sql = db::sql::sentencesByPrefix(idFN)) {
        db::Recordset rows = connection.execute(*sql);
        for (; !rows.isEOF(); rows.moveNext()) {
            if (holdsLiterally(rows.text(SJ("検索用データ")), upperWord)) return true;
            sentences.push_back(rows.text("ID_BN"));
        }
        rows.close();
    }
    for (const std::string& idBN : sentences) {
        const auto sql = db::sql::tablePieces(idBN);
        if (!sql) continue;
        db::Recordset rows = connection.execute(*sql);
        for (; !rows.isEOF(); rows.moveNext())
            if (holdsLiterally(rows.text(SJ("検索用データ")), upperWord)) return true;
        rows.close();
    }
    return false;
}

}  // namespace

// ---- The typed text ----

std::string prepareSearchText(std::string_view typed) {
    std::string s = text::trimAscii(typed);
    textview::normaliseSearchText(s);
    return s;
}

bool hasForbiddenSearchChar(std::string_view s) {
    for (size_t i = 0; i < s.size();) {
        const size_t n = text::charLength(s, i);
        if (n == 1 && kForbiddenSearchChars.find(s[i]) != std::string_view::npos) return true;
        i += n;
    }
    return false;
}

std::string forbiddenSearchMessage() {
    std::string list;
    for (const char c : kForbiddenSearchChars) {
        list += c;
        list += "  ";
    }
    return SJ("次の文字が含まれる語句は検索できません。\n\n") + list;
}

// ---- Identifier lists ----

std::vector<std::string> unionSorted(const std::vector<std::string>& a, const std::vector<std::string>& b) {
    std::vector<std::string> out;
    out.reserve(a.size() + b.size());
    std::set_union(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(out));
    return out;
}

std::vector<std::string> intersectSorted(const std::vector<std::string>& a, const std::vector<std::string>& b) {
    std::vector<std::string> out;
    std::set_intersection(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(out));
    return out;
}

void makeSortedUnique(std::vector<std::string>& ids) {
    // The statements already return their rows in order; only a list out of
    // order pays for the sort.
    if (std::adjacent_find(ids.begin(), ids.end(), std::greater_equal<>()) == ids.end()) return;
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
}

// ---- Result rows ----

std::string resultDesignation(const std::string& idFN, const std::string& caption) {
    const Designation d = pageDesignation(idFN, caption);
    if (d.kind != DesignationKind::Notification) return d.text;
    const auto unpadded = numbering::notificationNumberText(idFN, false);
    return unpadded ? *unpadded : SJ("不明");
}

SearchRecord searchRecord(const Document& doc, const std::string& idFN) {
    SearchRecord r;
    r.idFN = idFN;
    r.lawName = doc.lawName(idFN.substr(0, 3), 1);
    ArticleInfo info;
    r.designation = resultDesignation(idFN, doc.articleInfo(idFN, info) ? info.caption : std::string());
    int count = 0, number = 0;
    if (doc.splitPage(idFN, count, number) && count > 0)
        r.designation += " " + text::format("(P.%02d/%02d)", number, count);
    return r;
}

// ---- SearchResults ----

void SearchResults::step(int times) {
    if (!progress_) return;
    for (int i = 0; i < times; ++i) progress_->step();
}

void SearchResults::setIndexEnabled(bool enabled) {
    if (!enabled) stopIndexRead();
    indexEnabled_ = enabled;
}

bool SearchResults::prepareIndex() { return usableIndex() != nullptr; }

SearchResults::~SearchResults() { stopIndexRead(); }

void SearchResults::forgetCollection() {
    stopIndexRead();
    index_.reset();
    indexUnreadable_ = false;
    records_.clear();
}

void SearchResults::stopIndexRead() {
    if (!indexRead_.valid()) return;
    stopRead_->store(true);
    indexRead_.wait();
    indexRead_ = {};
}

void SearchResults::startIndexRead(std::function<void()> whenDone, IndexReader reader) {
    if (!indexEnabled_ || index_ || indexUnreadable_ || indexRead_.valid()) return;
    if (!doc_.isConnected() || !doc_.connection().isOpen()) return;
    const std::string fileName = doc_.connection().fileName();
    if (fileName.empty()) return;
    stopRead_ = std::make_shared<std::atomic<bool>>(false);
    // The worker gets its own copies of everything it touches.
    if (!reader) reader = &SearchIndex::readFile;
    indexRead_ = std::async(std::launch::async, [fileName, stop = stopRead_, whenDone = std::move(whenDone),
                                                 reader = std::move(reader)]() {
        std::shared_ptr<const SearchIndex> index;
        try {
            index = reader(fileName, stop.get());
        } catch (...) {
        }
        if (whenDone) whenDone();
        return index;
    });
}

bool SearchResults::indexReadRunning() const {
    return indexRead_.valid() && indexRead_.wait_for(std::chrono::seconds(0)) != std::future_status::ready;
}

const SearchIndex* SearchResults::usableIndex() {
    if (!indexEnabled_) return nullptr;
    if (!index_ && indexRead_.valid()) {
        // The read started in the background: wait for it (the window waits
        // before it searches, so this rarely blocks).
        index_ = indexRead_.get();
        indexRead_ = {};
    }
    if (!index_ && !indexUnreadable_) {
        // A database that cannot be read here is left to the statements,
        // which report the failure as a search failure.
        try {
            if (doc_.connection().isOpen()) index_ = SearchIndex::build(doc_.connection());
        } catch (...) {
        }
        if (!index_) indexUnreadable_ = true;
    }
    return index_.get();
}

bool SearchResults::searchOneWord(const std::string& word, std::vector<std::string>& ids) {
    ids.clear();
    if (word.empty() || hasForbiddenSearchChar(word)) return false;
    if (SearchIndex::serves(word)) {
        if (const SearchIndex* index = usableIndex()) {
            step(6);
            ids = index->find(word);
            return true;
        }
    }
    try {
        db::Connection& connection = doc_.connection();
        const auto titles = db::sql::searchTitles(word);
        const auto sentences = db::sql::searchSentences(word);
        const auto tables = db::sql::searchTables(word);
        if (!titles || !sentences || !tables) return false;

        step(1);
        std::vector<std::string> found = readIds(connection, *titles);
        step(1);
        found = unionSorted(found, readIds(connection, *sentences));
        step(4);
        found = unionSorted(found, readIds(connection, *tables));

        if (word.find_first_of("%_") != std::string::npos) {
            // The index holds the same captions, sentences and tables, so it
            // tells the pages holding the word as typed without a statement
            // per page; without it each page is read again.
            if (const SearchIndex* index = usableIndex()) {
                found = intersectSorted(found, index->find(word));
            } else {
                const std::string upperWord = text::upperAscii(word);
                std::erase_if(found, [&](const std::string& id) { return !pageHoldsWord(connection, id, upperWord); });
            }
        }
        ids = std::move(found);
        return true;
    } catch (const db::DbError& e) {
        db::report(doc_.messages(), SJ("全文検索"), kSearchOperation,
                   db::errorObjectBody(e.error(), db::ReportIndent::Indented), db::ReportIndent::Indented);
    } catch (...) {
        db::report(doc_.messages(), SJ("全文検索"), kSearchOperation, db::unexpectedExceptionBody(),
                   db::ReportIndent::Indented);
    }
    ids.clear();
    return false;
}

bool SearchResults::searchAllPages(const std::string& text) {
    std::vector<std::string> words;
    if (!textview::splitSearchWords(text, words) || words.empty()) {
        if (progress_) progress_->close();
        return false;
    }
    if (words.size() > kMaxSearchWords) {
        if (progress_) progress_->close();
        showResult(doc_, SJ("検索できる単語は３個までです。"), MsgIcon::Exclamation);
        return false;
    }
    if (progress_) progress_->start(6 * static_cast<int>(words.size()));

    std::vector<std::string> result;
    const bool indexed = std::all_of(words.begin(), words.end(), [](const std::string& w) {
        return SearchIndex::serves(w) && !hasForbiddenSearchChar(w);
    });
    const SearchIndex* index = indexed ? usableIndex() : nullptr;
    if (index) {
        // The index looks for the later words only on the pages the first
        // ones left: the same pages as the intersection of every word's set.
        step(6 * static_cast<int>(words.size()));
        result = index->findAll(words);
        if (progress_) {
            progress_->hide();
            progress_->close();
        }
    } else {
        std::vector<std::vector<std::string>> perWord(words.size());
        bool ok = true;
        for (size_t i = 0; i < words.size() && ok; ++i) ok = searchOneWord(words[i], perWord[i]);
        if (progress_) {
            progress_->hide();
            progress_->close();
        }
        if (!ok) return false;

        result = std::move(perWord[0]);
        for (size_t i = 1; i < perWord.size(); ++i) result = intersectSorted(result, perWord[i]);
    }

    std::vector<SearchRecord> records;
    records.reserve(result.size());
    for (const std::string& id : result) records.push_back(searchRecord(doc_, id));
    records_ = std::move(records);

    clearRows();
    for (const SearchRecord& r : records_) addRow(ListRow{r.idFN, {r.lawName, r.designation, "", ""}});
    if (progress_) progress_->rowsReplaced();

    if (size() == 0)
        showResult(doc_, SJ("見つかりませんでした。"), MsgIcon::Information);
    else
        showResult(doc_, text::format(SJ("%d件見つかりました。").c_str(), size()), MsgIcon::Information);
    return true;
}

// ---- The search tab ----

SearchOutcome SearchTab::start(const std::string& comboText) {
    lastSearchText_.clear();
    const std::string text = prepareSearchText(comboText);
    if (text.empty()) {
        showResult(doc_, SJ("検索する語句を入力して下さい。"), MsgIcon::Exclamation);
        return SearchOutcome::Rejected;
    }
    if (hasForbiddenSearchChar(text)) {
        showResult(doc_, forbiddenSearchMessage(), MsgIcon::Exclamation);
        return SearchOutcome::Rejected;
    }
    if (text == kHiddenPageCode) return SearchOutcome::HiddenPage;

    lastSearchText_ = text;
    if (progress_) progress_->open();
    return list_.searchAllPages(text) ? SearchOutcome::Searched : SearchOutcome::Failed;
}

int SearchTab::emphasise(PageViewPartner& view, bool emphasiseFlag) const {
    if (const std::string marks = view.currentMarks(); !marks.empty()) view.markWords(marks, 1);
    if (!emphasiseFlag || lastSearchText_.empty()) return 0;
    return view.markWords(lastSearchText_, 0);
}

void SearchTab::fillRecent() {
    if (recentFilled_) return;
    recentFilled_ = true;
    recent_ = readSearchEntries(doc_.settings());
}

void SearchTab::recordRecent(const std::string& comboText) {
    if (comboText.empty()) return;
    addRecentSearch(recent_, comboText);
    writeSearchEntries(doc_.settings(), recent_);
}

}  // namespace tavrel::nav
