// The search and bookmark tabs of the navigator pane: the full-text search
// started by 実行 with its progress window, result list, recent searches and
// word marking, and the bookmark list with its add and delete buttons.
#include "navigator/gui/navigator_pane.h"
#include "navigator/gui/contents_tree_view.h"
#include "navigator/gui/search_progress.h"
#include "navigator/gui/page_list_view.h"
#include "qtsupport/qt_text.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QTimer>

#include <functional>

namespace tavrel::gui {

namespace {

// A wait for the search index shorter than this shows no progress window.
constexpr int kProgressDelayMs = 200;

// Refills a list from a row model with its drawing suspended; the rows are
// added without opening anything (the selection is left empty).
void mirrorInto(PageListView* list, const nav::ListRows& rows) {
    list->setUpdatesEnabled(false);
    {
        const QSignalBlocker quiet(list);
        list->clearRows();
        for (const nav::ListRow& row : rows.rows()) list->addRow(row);
    }
    list->fitColumns();
    list->setUpdatesEnabled(true);
}

// Hands the key presses of the search box's edit field to the pane.
class SearchBoxKeys : public QObject {
  public:
    SearchBoxKeys(QObject* parent, std::function<bool(QKeyEvent*)> handler)
        : QObject(parent), handler_(std::move(handler)) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() == QEvent::KeyPress && handler_(static_cast<QKeyEvent*>(e))) return true;
        return QObject::eventFilter(watched, e);
    }

  private:
    std::function<bool(QKeyEvent*)> handler_;
};

}  // namespace

void NavigatorPane::watchSearchBoxKeys() {
    auto* keys = new SearchBoxKeys(searchWords_, [this](QKeyEvent* e) { return searchBoxKey(e); });
    searchWords_->installEventFilter(keys);
    if (searchWords_->lineEdit()) searchWords_->lineEdit()->installEventFilter(keys);
}

bool NavigatorPane::searchBoxKey(QKeyEvent* e) {
    const Qt::KeyboardModifiers m = e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier);
    if (e->key() == Qt::Key_Down && m == Qt::NoModifier) {
        if (searchWords_->count() == 0) return false;
        searchWords_->showPopup();
        return true;
    }
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && m == Qt::NoModifier) {
        startSearch();
        return true;
    }
    return false;
}

void NavigatorPane::setUpSearchTab() {
    results_->configure(doc_, false, nav::SearchResults::kColumns);
    search_->fillRecent();
    fillSearchWords();
    searchWords_->setCurrentIndex(-1);
    searchWords_->clearEditText();
}

// The recent searches, newest first, as the combo box's entries.
void NavigatorPane::fillSearchWords() {
    const QSignalBlocker quiet(searchWords_);
    searchWords_->clear();
    for (const std::string& s : search_->recentEntries()) searchWords_->addItem(toQString(s));
}

void NavigatorPane::fillResultList() {
    mirrorInto(results_, search_->results());
    update();
}

void NavigatorPane::reloadCollection() {
    search_->results().forgetCollection();
    fillResultList();
    tree_->prepare(doc_);
    tree_->fill();
    treeBuilt_ = true;
    // The list tab is set up again the next time it is shown (now, when it is
    // the current one).
    setUp_[TabList] = false;
    if (current_ == TabList) setUpList();
    // The bookmarks are named from the new collection: a page it lacks is
    // hidden (and kept), one it has again shows again.
    bookmarkStore_->fill();
    if (tabIsSetUp(TabBookmarks)) fillBookmarkList();
    update();
    startIndexRead();
}

void NavigatorPane::startIndexRead(nav::SearchResults::IndexReader reader) {
    // The worker thread only posts the news to this pane's thread.
    search_->results().startIndexRead(
        [this]() { QMetaObject::invokeMethod(this, &NavigatorPane::onIndexReadDone, Qt::QueuedConnection); },
        std::move(reader));
}

void NavigatorPane::onIndexReadDone() {
    if (!searchWaiting_) return;
    searchWaiting_ = false;
    // The search itself opens the window again when it runs.
    progress_->close();
    startSearch();
}

void NavigatorPane::startSearch() {
    if (current_ != TabSearch || !tabIsSetUp(TabSearch)) return;
    if (search_->results().indexReadRunning()) {
        // The index is still being read: the search runs when it is ready
        // (with the text the box holds then), the window stays alive.
        if (!searchWaiting_) {
            searchWaiting_ = true;
            QTimer::singleShot(kProgressDelayMs, this, [this]() {
                if (searchWaiting_) progress_->open();
            });
        }
        return;
    }
    // The text as typed goes into the recent list; the search itself trims
    // and normalises it.
    const std::string typed = toCp932(searchWords_->currentText());
    switch (search_->start(typed)) {
        case nav::SearchOutcome::Rejected:
            searchWords_->setFocus(Qt::OtherFocusReason);
            return;
        case nav::SearchOutcome::HiddenPage:
            emit hiddenPageRequested();
            return;
        case nav::SearchOutcome::Failed:
            return;
        case nav::SearchOutcome::Searched:
            break;
    }
    // The result list was filled before the count message (rowsReplaced).
    // 32797: the typed text on top of the recent searches, selected.
    search_->recordRecent(typed);
    fillSearchWords();
    if (!search_->recentEntries().empty()) searchWords_->setCurrentIndex(0);
    // 32773, then 32810.
    emphasiseSearchWords();
    if (pageView_) pageView_->colorAnchors();
}

void NavigatorPane::emphasiseSearchWords() {
    if (current_ != TabSearch || !pageView_) return;
    search_->emphasise(*pageView_, emphasise_);
}

void NavigatorPane::setUpBookmarkTab() {
    bookmarks_->configure(doc_, false, nav::BookmarkStore::kColumns);
    bookmarkStore_->load();
    bookmarkStore_->fill();
    fillBookmarkList();
}

void NavigatorPane::fillBookmarkList() {
    mirrorInto(bookmarks_, *bookmarkStore_);
    update();
}

void NavigatorPane::addBookmark() {
    if (!textView_ || !tabIsSetUp(TabBookmarks)) return;
    const std::string id = textView_->currentPageId();
    if (id.size() != 15) return;  // other pages are not bookmarked, without a message
    const int row = bookmarkStore_->addPage(id);
    fillBookmarkList();
    if (row >= 0) bookmarks_->selectRow(row);
    bookmarks_->setFocus(Qt::OtherFocusReason);
    update();
}

void NavigatorPane::deleteBookmark() {
    if (current_ != TabBookmarks || !tabIsSetUp(TabBookmarks)) return;
    const int row = bookmarks_->selectedRow();
    if (bookmarks_->rows().idAt(row).size() != 15) return;
    const int select = bookmarkStore_->deleteRow(row);
    fillBookmarkList();
    if (select >= 0) bookmarks_->selectRow(select);
    bookmarks_->setFocus(Qt::OtherFocusReason);
    update();
}

}  // namespace tavrel::gui
