// The full-text search of the navigator (全文検索) without a window: the
// checks of the typed text, the three statements per word, the merges of the
// identifier lists, the result rows of SearchResults and the recent searches of
// the search combo box. The pane turns the outcomes into focus changes and
// its follow-up commands; the progress window is reached through
// SearchProgress.
#pragma once

#include "database/connection.h"
#include "database/message_sink.h"
#include "document/document.h"
#include "document/navigation.h"
#include "document/settings_store.h"
#include "navigator/list_rows.h"

#include <atomic>
#include <functional>
#include <future>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tavrel::nav {

class SearchIndex;

// ---- The typed text ----

// The characters a search text may not hold, in the order of the message.
inline constexpr std::string_view kForbiddenSearchChars = "[]<>\"'!?|:;\\#$&^~";

// The text that opens the hidden page instead of searching.
inline constexpr std::string_view kHiddenPageCode = "7310582946";

// Words one search may hold.
inline constexpr size_t kMaxSearchWords = 3;

// The typed text made ready for searching: blanks at both ends removed, then
// full-width digits and letters and ASCII small letters turned into ASCII
// digits and capitals.
std::string prepareSearchText(std::string_view typed);

// True when text holds a forbidden character as a whole character (the
// second byte of a double-byte character such as "表" is not a backslash).
bool hasForbiddenSearchChar(std::string_view text);

// "次の文字が含まれる語句は検索できません。\n\n" and every forbidden character
// followed by two blanks (CP932).
std::string forbiddenSearchMessage();

// ---- Identifier lists ----

// Both lists ascending by bytes, each identifier once.
std::vector<std::string> unionSorted(const std::vector<std::string>& a, const std::vector<std::string>& b);
std::vector<std::string> intersectSorted(const std::vector<std::string>& a, const std::vector<std::string>& b);
// Sorts a list ascending by bytes and drops repeated identifiers.
void makeSortedUnique(std::vector<std::string>& ids);

// ---- Progress window ----

// The progress window as the search sees it. Each call stands for one
// command of the pane: open creates the window when there is none, close
// destroys it (32796), start shows the bar with the range 0..range (32798),
// step advances it (32799), hide hides it (32800).
class SearchProgress {
  public:
    virtual ~SearchProgress() = default;
    virtual void open() {}
    virtual void start(int range) { (void)range; }
    virtual void step() {}
    virtual void hide() {}
    virtual void close() {}
    // The result rows were replaced, before the count message is shown: a
    // list on screen shows them now.
    virtual void rowsReplaced() {}
};

// ---- Result list (SearchResults) ----

struct SearchRecord {
    std::string idFN;
    std::string lawName;       // 法名一般 of the law, CP932
    std::string designation;   // article designation, CP932
    std::string text1, text2;  // kept empty
    int value1 = 0, value2 = 0;
};

// The designation a search result or a bookmark shows: the article number
// without leading "第", the 附則 page's name (its caption, see
// pageDesignation), the unpadded notification number "%s%d年 %d号", the
// appended-table label, or "不明".
std::string resultDesignation(const std::string& idFN, const std::string& caption = {});

// The record of one matching page: law name, designation, and for a page of
// a split article " (P.%02d/%02d)" with its page number and page count.
SearchRecord searchRecord(const Document& doc, const std::string& idFN);

class SearchResults : public ListRows {
  public:
    // Columns "法名" and "条", no images.
    static constexpr unsigned kColumns = ColumnLaw | ColumnArticle;

    // progress may be null (no window).
    explicit SearchResults(Document& doc, SearchProgress* progress = nullptr) : doc_(doc), progress_(progress) {}
    // Stops a read of the index still running and waits for its thread.
    ~SearchResults();
    SearchResults(const SearchResults&) = delete;
    SearchResults& operator=(const SearchResults&) = delete;
    void setProgress(SearchProgress* progress) { progress_ = progress; }

    // Searches the pages that hold every word of text (the prepared text of
    // a search that passed the checks) and fills the rows. True when the
    // rows were replaced; false on a text that cannot be split (no
    // message), more than three words ("検索できる単語は３個までです。"), or a
    // reported database error: then the rows and records stay as they were.
    bool searchAllPages(const std::string& text);

    // The pages one word matches in captions, sentences or tables, ascending.
    // True on success; a database error is reported ("全文検索") and gives
    // false. A word with a forbidden character gives false without a query.
    bool searchOneWord(const std::string& word, std::vector<std::string>& ids);

    const std::vector<SearchRecord>& records() const { return records_; }

    // The in-memory index of the searchable texts (navigator/search_index.h)
    // answers the words it serves with the same pages as the statements. It
    // is read at the first search, or earlier by prepareIndex (true when it
    // is ready). When it is switched off, cannot be read or cannot serve a
    // word, the statements run.
    void setIndexEnabled(bool enabled);
    bool prepareIndex();
    // The collection was replaced: the index (or its read) and the rows,
    // which may name pages that are gone, are dropped; the next read or
    // search reads the new collection's index.
    void forgetCollection();
    const SearchIndex* index() const { return index_.get(); }

    // Starts reading the index on a worker thread, through a read-only
    // connection of its own to the open collection's file, so that the
    // first search does not stall the window. whenDone (may be empty) is
    // called on that thread when the read has ended, well or not. A search
    // before then waits for it; a failed read leaves the index to be read
    // at the first search as before. Does nothing when the index is off,
    // already read or being read, or the collection is not open.
    // reader stands in for SearchIndex::readFile (tests hold the read back).
    using IndexReader =
        std::function<std::unique_ptr<SearchIndex>(const std::string& fileName, const std::atomic<bool>* stop)>;
    void startIndexRead(std::function<void()> whenDone = {}, IndexReader reader = {});
    // True from startIndexRead until the read has ended.
    bool indexReadRunning() const;

  private:
    void step(int times);
    const SearchIndex* usableIndex();
    void stopIndexRead();

    Document& doc_;
    SearchProgress* progress_;
    std::vector<SearchRecord> records_;
    std::shared_ptr<const SearchIndex> index_;
    bool indexEnabled_ = true;
    bool indexUnreadable_ = false;
    // The read started by startIndexRead, until a search takes its result.
    std::future<std::shared_ptr<const SearchIndex>> indexRead_;
    std::shared_ptr<std::atomic<bool>> stopRead_;
};

// ---- The search tab ----

enum class SearchOutcome {
    Searched,    // the rows were replaced: record the text, emphasise, colour anchors
    Failed,      // nothing changed (a message may have been shown)
    Rejected,    // a message was shown: the focus goes back to the combo box
    HiddenPage,  // the hidden page is asked for instead
};

class SearchTab {
  public:
    explicit SearchTab(Document& doc, SearchProgress* progress = nullptr)
        : doc_(doc), progress_(progress), list_(doc, progress) {}

    // Button 実行 with the combo box's current text.
    SearchOutcome start(const std::string& comboText);

    // The prepared text of the last search started; empty before the first
    // and after a rejected text.
    const std::string& lastSearchText() const { return lastSearchText_; }

    // Command 32773 on the search tab: the marks of the shown page are
    // cleared, then, when emphasise is on, the words of the last search are
    // marked. Returns what the marking returned (0 when nothing was marked).
    int emphasise(PageViewPartner& view, bool emphasiseFlag) const;

    // Recent searches: read once per process from SearchTarget-01.. (newest
    // first) ...
    void fillRecent();
    // ... and, after a search that filled the list, the typed text put on
    // top (a repeated text in another letter case replaces the old entry)
    // and the entries written back.
    void recordRecent(const std::string& comboText);
    const std::vector<std::string>& recentEntries() const { return recent_; }

    SearchResults& results() { return list_; }
    const SearchResults& results() const { return list_; }

  private:
    Document& doc_;
    SearchProgress* progress_;
    SearchResults list_;
    std::string lastSearchText_;
    std::vector<std::string> recent_;
    bool recentFilled_ = false;
};

}  // namespace tavrel::nav
