// The navigator pane (NavigatorPane): a tab widget with the four tabs 目次, リスト,
// 全文検索 and しおり and the controls of each, placed by the pane's own
// layout rule. The pane turns control events into page requests (signals the
// main window connects to the text view), keeps the tree or the article list
// in step with the article shown, sets each tab up the first time it is shown
// and remembers the tab and the emphasis switch in the settings.
#pragma once

#include "document/document.h"
#include "document/navigation.h"
#include "navigator/bookmark_store.h"
#include "navigator/gui/key_repeat.h"
#include "navigator/search.h"

#include <QWidget>

#include <array>
#include <memory>
#include <string>

class QCheckBox;
class QKeyEvent;
class QComboBox;
class QPushButton;
class QTabWidget;

namespace tavrel::gui {

class QtSearchProgress;
class LawSelector;
class PageListView;
class ArticleListView;
class ContentsTreeView;

class NavigatorPane : public QWidget, public NavigatorPartner {
    Q_OBJECT
  public:
    enum Tab { TabContents = 0, TabList = 1, TabSearch = 2, TabBookmarks = 3, TabCount = 4 };

    // Reads TabPage and SearchEmph from the document's settings.
    explicit NavigatorPane(Document& doc, QWidget* parent = nullptr);
    // Writes TabPage and SearchEmph back.
    ~NavigatorPane() override;

    // Partners for synchronisation on a tab change: the document's commands
    // (is synchronisation allowed) and the text view (the page shown).
    void setNavigation(const DocumentNavigation* navigation) { navigation_ = navigation; }
    void setTextView(const TextViewPartner* view) { textView_ = view; }
    // The text view as the search tab needs it too (marking the search words
    // in the page shown, colouring its anchors); null: none.
    void setPageView(PageViewPartner* view) {
        pageView_ = view;
        textView_ = view;
    }

    // After the document's start-up: sets up and shows the current tab (the
    // first call with an open database builds the contents tree).
    void initialUpdate();
    // The document's collection was reloaded: the contents tree, the law
    // selector (and its article list), the search results and the search
    // index are made again from it.
    void reloadCollection();

    // Sets up and shows one tab.
    void showTab(int index);
    // Selects a tab as the user would, then synchronises tabs 0 and 1 with the
    // page shown when synchronisation is allowed.
    void selectTab(int index);
    // Ctrl+Page Down / Ctrl+Page Up: the next / previous tab, wrapping round.
    void selectNextTab();
    void selectPreviousTab();
    void focusCurrentTab();

    // NavigatorPartner
    void syncToArticle(const std::string& idFN) override;
    void refreshAfterMove() override { update(); }
    int currentTab() const override { return current_; }

    // Button 実行: checks the typed text and runs the full-text search (only
    // on the search tab); after a search that filled the list the typed text
    // goes on top of the recent searches and the words are marked in the
    // page shown.
    void startSearch();
    // Starts reading the full-text search's index in the background (the
    // program calls it once the first page is shown). A search asked for
    // before the index is ready waits for it with the window alive, showing
    // the progress window when the wait is noticeable.
    void startIndexRead(nav::SearchResults::IndexReader reader = {});
    // True while a search waits for the index.
    bool searchWaiting() const { return searchWaiting_; }
    // Command 32773 (on the search tab): the old marks of the page shown come
    // off, then the words of the last search are marked when the emphasis
    // switch is on.
    void emphasiseSearchWords();
    // Buttons 追加 and 削除 of the bookmark tab; the file is written at once.
    void addBookmark();
    void deleteBookmark();

    const nav::SearchTab& searchTab() const { return *search_; }
    const nav::BookmarkStore& bookmarkStore() const { return *bookmarkStore_; }
    const QtSearchProgress& searchProgress() const { return *progress_; }

    // True when w is the tree or the search-word box (arrow keys stay there).
    bool keepsArrowKeys(const QWidget* w) const;
    bool emphasise() const { return emphasise_; }
    bool tabIsSetUp(int index) const { return index >= 0 && index < TabCount && setUp_[static_cast<size_t>(index)]; }

    QTabWidget* tabs() const { return tabs_; }
    ContentsTreeView* tree() const { return tree_; }
    LawSelector* lawSelector() const { return combo_; }
    ArticleListView* articleList() const { return list_; }
    PageListView* resultList() const { return results_; }
    QComboBox* searchWords() const { return searchWords_; }
    QPushButton* searchButton() const { return searchButton_; }
    QCheckBox* emphasisBox() const { return emphasisBox_; }
    PageListView* bookmarkList() const { return bookmarks_; }
    QPushButton* addBookmarkButton() const { return addButton_; }
    QPushButton* deleteBookmarkButton() const { return deleteButton_; }

  signals:
    // A page of the tree, the article list or the bookmark list is to be
    // shown (an ID_FN, or the identifier of a law or chapter node, which the
    // text view does not open).
    void pageRequested(const QString& idFN);
    // A search result is to be shown; highlight: emphasise the search words
    // once it has loaded.
    void searchResultRequested(const QString& idFN, bool highlight);
    // The emphasis switch changed: redisplay the selected result.
    void searchResultReshowRequested(const QString& idFN, bool highlight);
    void searchRequested(const QString& text);
    void bookmarkAddRequested();
    void bookmarkDeleteRequested();
    void tabChanged(int index);
    // The search text asked for the hidden page (command 32792).
    void hiddenPageRequested();

  protected:
    void resizeEvent(QResizeEvent* e) override;

  private:
    void createControls();
    void onTabCurrentChanged(int index);
    void syncAfterTabChange();
    void setUpList();
    void showLaw(const std::string& idHN);
    void onTreeNotify();
    void onArticleNotify();
    void onResultNotify();
    void onBookmarkNotify();
    void onLawCommand();
    void onEmphasisClicked(bool checked);
    void requestPage(const std::string& id);
    QWidget* mainControl(int index) const;
    void setUpSearchTab();
    // Down opens the closed list of recent searches; Enter starts the search.
    void watchSearchBoxKeys();
    bool searchBoxKey(QKeyEvent* e);
    void setUpBookmarkTab();
    void fillSearchWords();
    void fillResultList();
    void fillBookmarkList();
    void onIndexReadDone();

    Document& doc_;
    const DocumentNavigation* navigation_ = nullptr;
    const TextViewPartner* textView_ = nullptr;
    PageViewPartner* pageView_ = nullptr;
    KeyRepeat repeat_;
    std::unique_ptr<QtSearchProgress> progress_;
    std::unique_ptr<nav::SearchTab> search_;
    std::unique_ptr<nav::BookmarkStore> bookmarkStore_;

    int current_ = 0;
    bool emphasise_ = true;
    std::string remembered_;
    bool rememberedRead_ = false;
    bool firstSetupDone_ = false;
    bool treeBuilt_ = false;
    std::array<bool, TabCount> setUp_{};
    bool searchWaiting_ = false;

    QTabWidget* tabs_ = nullptr;
    ContentsTreeView* tree_ = nullptr;
    LawSelector* combo_ = nullptr;
    ArticleListView* list_ = nullptr;
    PageListView* results_ = nullptr;
    QComboBox* searchWords_ = nullptr;
    QPushButton* searchButton_ = nullptr;
    QCheckBox* emphasisBox_ = nullptr;
    PageListView* bookmarks_ = nullptr;
    QPushButton* addButton_ = nullptr;
    QPushButton* deleteButton_ = nullptr;
};

}  // namespace tavrel::gui
