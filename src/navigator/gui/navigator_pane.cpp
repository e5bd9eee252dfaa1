#include "navigator/gui/navigator_pane.h"

#include "document/options.h"
#include "navigator/gui/search_progress.h"
#include "navigator/gui/law_selector.h"
#include "navigator/gui/article_list_view.h"
#include "navigator/gui/page_list_view.h"
#include "navigator/gui/contents_tree_view.h"
#include "navigator/list_rows.h"
#include "qtsupport/qt_text.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFont>
#include <QLineEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>

#include <functional>

namespace tavrel::gui {

namespace {

// Height of the band above the lists that holds the selector or the buttons,
// and the distance of the emphasis check box from the page's bottom.
constexpr int kBand = 29;
constexpr int kButtonWidth = 55;
constexpr int kButtonHeight = 24;

// One page of the tab widget: it places its controls itself at every resize,
// inside the page rectangle (2 pixels in at the sides, 4 at top and bottom).
class NavPage : public QWidget {
  public:
    using Placer = std::function<void(int L, int T, int R, int B)>;
    explicit NavPage(QWidget* parent) : QWidget(parent) {}
    void setPlacer(Placer placer) { placer_ = std::move(placer); }

  protected:
    void resizeEvent(QResizeEvent* e) override {
        QWidget::resizeEvent(e);
        if (placer_) placer_(2, 4, width() - 2, height() - 4);
    }

  private:
    Placer placer_;
};

}  // namespace

NavigatorPane::NavigatorPane(Document& doc, QWidget* parent) : QWidget(parent), doc_(doc) {
    setObjectName(QStringLiteral("NavigatorPane"));
    QFont f = font();
    f.setFamilies({QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic"), f.family()});
    setFont(f);

    const SettingsStore& settings = doc_.settings();
    current_ = settings.readInt(kSettingsSection, keys::TabPage, 0);
    if (current_ < 0 || current_ >= TabCount) current_ = 0;
    emphasise_ = settings.readInt(kSettingsSection, keys::SearchEmph, 1) != 0;

    progress_ = std::make_unique<QtSearchProgress>(this);
    progress_->setRowsReplacedHandler([this]() { fillResultList(); });
    search_ = std::make_unique<nav::SearchTab>(doc_, progress_.get());
    bookmarkStore_ = std::make_unique<nav::BookmarkStore>(doc_);
    createControls();
    watchSearchBoxKeys();
    {
        const QSignalBlocker quiet(tabs_);
        tabs_->setCurrentIndex(current_);
    }
    emphasisBox_->setChecked(emphasise_);
}

NavigatorPane::~NavigatorPane() {
    SettingsStore& settings = doc_.settings();
    settings.writeInt(kSettingsSection, keys::TabPage, current_);
    settings.writeInt(kSettingsSection, keys::SearchEmph, emphasise_ ? 1 : 0);
}

void NavigatorPane::createControls() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("navigatorTabs"));
    tabs_->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(tabs_);

    // 目次
    auto* contents = new NavPage(tabs_);
    tree_ = new ContentsTreeView(repeat_, contents);
    contents->setPlacer([this](int L, int T, int R, int B) { tree_->setGeometry(L, T, R - L, B - T); });

    // リスト
    auto* listPage = new NavPage(tabs_);
    combo_ = new LawSelector(listPage);
    list_ = new ArticleListView(repeat_, listPage);
    listPage->setPlacer([this](int L, int T, int R, int B) {
        combo_->setGeometry(L, T, R - L, combo_->sizeHint().height());
        list_->setGeometry(L, T + kBand, R - L, B - T - kBand);
    });

    // 全文検索
    auto* searchPage = new NavPage(tabs_);
    results_ = new PageListView(repeat_, searchPage);
    results_->setObjectName(QStringLiteral("resultList"));
    searchWords_ = new QComboBox(searchPage);
    searchWords_->setObjectName(QStringLiteral("searchWords"));
    searchWords_->setEditable(true);
    searchWords_->setInsertPolicy(QComboBox::NoInsert);
    searchWords_->setMaxVisibleItems(22);  // about 400 pixels of drop-down list
    searchButton_ = new QPushButton(QStringLiteral("実行"), searchPage);
    searchButton_->setObjectName(QStringLiteral("searchButton"));
    emphasisBox_ = new QCheckBox(QStringLiteral("強調表示"), searchPage);
    emphasisBox_->setObjectName(QStringLiteral("emphasisBox"));
    searchPage->setPlacer([this](int L, int T, int R, int B) {
        results_->setGeometry(L, T + kBand, R - L, B - T - 3 * kBand);
        searchWords_->setGeometry(L, T, R - L - 60, searchWords_->sizeHint().height());
        searchButton_->setGeometry(R - kButtonWidth, T, kButtonWidth, kButtonHeight);
        const int h = emphasisBox_->sizeHint().height();
        emphasisBox_->setGeometry(L, B - kBand - h, R - L, h);
    });

    // しおり
    auto* bookmarkPage = new NavPage(tabs_);
    bookmarks_ = new PageListView(repeat_, bookmarkPage);
    bookmarks_->setObjectName(QStringLiteral("bookmarkList"));
    addButton_ = new QPushButton(QStringLiteral("追加"), bookmarkPage);
    addButton_->setObjectName(QStringLiteral("bookmarkAdd"));
    deleteButton_ = new QPushButton(QStringLiteral("削除"), bookmarkPage);
    deleteButton_->setObjectName(QStringLiteral("bookmarkDelete"));
    bookmarkPage->setPlacer([this](int L, int T, int R, int B) {
        bookmarks_->setGeometry(L, T + kBand, R - L, B - T - kBand);
        addButton_->setGeometry(R - kButtonWidth, T, kButtonWidth, kButtonHeight);
        deleteButton_->setGeometry(R - 120, T, kButtonWidth, kButtonHeight);
    });

    tabs_->addTab(contents, QStringLiteral("目次"));
    tabs_->addTab(listPage, QStringLiteral("リスト"));
    tabs_->addTab(searchPage, QStringLiteral("全文検索"));
    tabs_->addTab(bookmarkPage, QStringLiteral("しおり"));

    connect(tabs_, &QTabWidget::currentChanged, this, &NavigatorPane::onTabCurrentChanged);

    connect(tree_, &QTreeWidget::itemSelectionChanged, this, &NavigatorPane::onTreeNotify);
    connect(tree_, &QTreeWidget::itemDoubleClicked, this, &NavigatorPane::onTreeNotify);
    connect(tree_, &ContentsTreeView::selectionNotify, this, &NavigatorPane::onTreeNotify);
    connect(tree_, &ContentsTreeView::itemExpanded, this, [this]() { update(); });

    connect(list_, &QTreeWidget::itemSelectionChanged, this, &NavigatorPane::onArticleNotify);
    connect(list_, &QTreeWidget::itemDoubleClicked, this, &NavigatorPane::onArticleNotify);
    connect(list_, &PageListView::selectionNotify, this, &NavigatorPane::onArticleNotify);
    connect(combo_, &LawSelector::selectionCommand, this, &NavigatorPane::onLawCommand);

    connect(results_, &QTreeWidget::itemSelectionChanged, this, &NavigatorPane::onResultNotify);
    connect(results_, &QTreeWidget::itemDoubleClicked, this, &NavigatorPane::onResultNotify);
    connect(results_, &PageListView::selectionNotify, this, &NavigatorPane::onResultNotify);
    connect(searchButton_, &QPushButton::clicked, this,
            [this]() { emit searchRequested(searchWords_->currentText()); });
    connect(searchButton_, &QPushButton::clicked, this, &NavigatorPane::startSearch);
    connect(emphasisBox_, &QCheckBox::clicked, this, &NavigatorPane::onEmphasisClicked);

    connect(bookmarks_, &QTreeWidget::itemSelectionChanged, this, &NavigatorPane::onBookmarkNotify);
    connect(bookmarks_, &QTreeWidget::itemDoubleClicked, this, &NavigatorPane::onBookmarkNotify);
    connect(bookmarks_, &PageListView::selectionNotify, this, &NavigatorPane::onBookmarkNotify);
    connect(addButton_, &QPushButton::clicked, this, &NavigatorPane::bookmarkAddRequested);
    connect(deleteButton_, &QPushButton::clicked, this, &NavigatorPane::bookmarkDeleteRequested);
    connect(addButton_, &QPushButton::clicked, this, &NavigatorPane::addBookmark);
    connect(deleteButton_, &QPushButton::clicked, this, &NavigatorPane::deleteBookmark);

    for (PageListView* l : {static_cast<PageListView*>(list_), results_, bookmarks_}) {
        connect(l, &PageListView::tabStepRequested, this,
                [this](int step) { selectTab((current_ + step + TabCount) % TabCount); });
    }
    connect(tree_, &ContentsTreeView::tabStepRequested, this,
            [this](int step) { selectTab((current_ + step + TabCount) % TabCount); });
}

void NavigatorPane::initialUpdate() {
    // The bookmark file is read now; when that fails it is tried again when
    // the bookmark tab is first set up.
    if (doc_.isConnected()) bookmarkStore_->load();
    showTab(current_);
}

void NavigatorPane::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    // The first layout with an open database sets the current tab up.
    if (!tabIsSetUp(current_)) showTab(current_);
}

QWidget* NavigatorPane::mainControl(int index) const {
    switch (index) {
        case TabContents:
            return tree_;
        case TabList:
            return list_;
        case TabSearch:
            return results_;
        case TabBookmarks:
            return bookmarks_;
        default:
            return nullptr;
    }
}

void NavigatorPane::showTab(int index) {
    if (index < 0 || index >= TabCount) return;
    if (!doc_.isConnected()) {
        current_ = index;  // nothing to set up, but the tab shown is the current one
        return;
    }
    if (!firstSetupDone_) {
        if (!rememberedRead_) {
            remembered_ = doc_.settings().readText(kSettingsSection, keys::CurIDFN, std::string());
            rememberedRead_ = true;
        }
        // The tree is built once; a failed list set-up does not build it again.
        if (!treeBuilt_) {
            tree_->prepare(doc_);
            tree_->fill();
            treeBuilt_ = true;
        }
    }
    current_ = index;
    auto& setUp = setUp_[static_cast<size_t>(index)];
    switch (index) {
        case TabContents:
            setUp = true;
            firstSetupDone_ = true;
            break;
        case TabList:
            if (!setUp) setUpList();
            break;
        case TabSearch:
            if (!setUp) {
                setUpSearchTab();
                setUp = true;
                firstSetupDone_ = true;
            }
            break;
        case TabBookmarks:
            if (!setUp) {
                setUpBookmarkTab();
                setUp = true;
                firstSetupDone_ = true;
            }
            break;
    }
    if (tabs_->currentIndex() != index) {
        const QSignalBlocker quiet(tabs_);
        tabs_->setCurrentIndex(index);
    }
    focusCurrentTab();
    update();
}

void NavigatorPane::setUpList() {
    list_->configure(doc_);
    if (!combo_->fill(doc_)) return;  // not set up: tried again at the next visit
    std::string law = combo_->idAt(0);
    if (!firstSetupDone_) {
        const std::string remembered = remembered_.substr(0, 3);
        if (combo_->findIndex(remembered) >= 0) law = remembered;
        firstSetupDone_ = true;
    }
    combo_->select(law);
    if (!law.empty()) showLaw(law);
    setUp_[TabList] = true;
}

void NavigatorPane::showLaw(const std::string& idHN) {
    const bool was = repeat_.active;
    repeat_.active = true;  // emptying and filling the list opens nothing
    list_->fill(idHN);
    repeat_.active = was;
    update();
}

void NavigatorPane::onTabCurrentChanged(int index) {
    showTab(index);
    syncAfterTabChange();
    emit tabChanged(current_);
}

void NavigatorPane::selectTab(int index) {
    if (index < 0 || index >= TabCount) return;
    {
        const QSignalBlocker quiet(tabs_);
        tabs_->setCurrentIndex(index);
    }
    onTabCurrentChanged(index);
}

void NavigatorPane::selectNextTab() { selectTab((current_ + 1) % TabCount); }

void NavigatorPane::selectPreviousTab() { selectTab((current_ + TabCount - 1) % TabCount); }

void NavigatorPane::syncAfterTabChange() {
    if (!navigation_ || !textView_ || !navigation_->synchroAllowed()) return;
    if (current_ != TabContents && current_ != TabList) return;
    syncToArticle(textView_->currentPageId());
}

void NavigatorPane::focusCurrentTab() {
    if (QWidget* w = mainControl(current_)) w->setFocus(Qt::OtherFocusReason);
}

void NavigatorPane::syncToArticle(const std::string& idFN) {
    switch (current_) {
        case TabContents:
            tree_->select(idFN);
            break;
        case TabList: {
            if (!setUp_[TabList]) break;
            const std::string law = idFN.substr(0, 3);
            if (law != combo_->selectedId()) {
                // A page of a law the selector does not hold leaves the list as it is.
                if (combo_->findIndex(law) < 0) break;
                combo_->select(law);
                showLaw(law);
            }
            const int row = list_->findRow(idFN);
            if (row >= 0 && row == list_->selectedRow()) requestPage(idFN);
            list_->select(idFN);
            break;
        }
        default:
            break;
    }
}

bool NavigatorPane::keepsArrowKeys(const QWidget* w) const {
    for (; w; w = w->parentWidget()) {
        if (w == tree_ || w == searchWords_) return true;
        if (w == this) return false;
    }
    return false;
}

void NavigatorPane::requestPage(const std::string& id) {
    if (id.empty()) return;
    emit pageRequested(toQString(id));
    focusCurrentTab();
}

void NavigatorPane::onTreeNotify() {
    if (repeat_.active) return;
    requestPage(tree_->selectedId());
}

void NavigatorPane::onArticleNotify() {
    if (repeat_.active) return;
    requestPage(list_->selectedId());
}

void NavigatorPane::onBookmarkNotify() {
    if (repeat_.active) return;
    requestPage(bookmarks_->selectedId());
}

void NavigatorPane::onResultNotify() {
    if (repeat_.active) return;
    const std::string id = results_->selectedId();
    if (id.empty()) return;
    emit searchResultRequested(toQString(id), emphasise_);
    focusCurrentTab();
}

void NavigatorPane::onLawCommand() {
    const std::string law = combo_->selectedId();
    if (law.empty() || combo_->dropDownOpen()) return;
    // Closing the drop-down list or releasing a key on the law already shown
    // does not fill the list again.
    if (law == list_->shownLaw()) return;
    showLaw(law);
}

void NavigatorPane::onEmphasisClicked(bool checked) {
    emphasise_ = checked;
    const std::string id = results_->selectedId();
    if (!id.empty()) emit searchResultReshowRequested(toQString(id), emphasise_);
}

}  // namespace tavrel::gui
