#include "navigator/gui/c1stview.h"

#include "document/options.h"
#include "navigator/gui/search_progress.h"
#include "navigator/gui/tcombolst.h"
#include "navigator/gui/tlistbase.h"
#include "navigator/gui/ttreectrl.h"
#include "navigator/list_rows.h"
#include "textview/gui/qt_text.h"

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

C1stView::C1stView(CTavrelDoc& doc, QWidget* parent) : QWidget(parent), doc_(doc) {
    setObjectName(QStringLiteral("C1stView"));
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
    bookmarkStore_ = std::make_unique<nav::TListBmk>(doc_);
    createControls();
    watchSearchBoxKeys();
    {
        const QSignalBlocker quiet(tabs_);
        tabs_->setCurrentIndex(current_);
    }
    emphasisBox_->setChecked(emphasise_);
}

C1stView::~C1stView() {
    SettingsStore& settings = doc_.settings();
    settings.writeInt(kSettingsSection, keys::TabPage, current_);
    settings.writeInt(kSettingsSection, keys::SearchEmph, emphasise_ ? 1 : 0);
}

void C1stView::createControls() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName(QStringLiteral("navigatorTabs"));
    tabs_->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(tabs_);

    // 目次
    auto* contents = new NavPage(tabs_);
    tree_ = new TTreeCtrl(repeat_, contents);
    contents->setPlacer([this](int L, int T, int R, int B) { tree_->setGeometry(L, T, R - L, B - T); });

    // リスト
    auto* listPage = new NavPage(tabs_);
    combo_ = new TComboLst(listPage);
    list_ = new TListLst(repeat_, listPage);
    listPage->setPlacer([this](int L, int T, int R, int B) {
        combo_->setGeometry(L, T, R - L, combo_->sizeHint().height());
        list_->setGeometry(L, T + kBand, R - L, B - T - kBand);
    });

    // 全文検索
    auto* searchPage = new NavPage(tabs_);
    results_ = new TListBase(repeat_, searchPage);
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
    bookmarks_ = new TListBase(repeat_, bookmarkPage);
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

    connect(tabs_, &QTabWidget::currentChanged, this, &C1stView::onTabCurrentChanged);

    connect(tree_, &QTreeWidget::itemSelectionChanged, this, &C1stView::onTreeNotify);
    connect(tree_, &QTreeWidget::itemDoubleClicked, this, &C1stView::onTreeNotify);
    connect(tree_, &TTreeCtrl::selectionNotify, this, &C1stView::onTreeNotify);
    connect(tree_, &TTreeCtrl::itemExpanded, this, [this]() { update(); });

    connect(list_, &QTreeWidget::itemSelectionChanged, this, &C1stView::onArticleNotify);
    connect(list_, &QTreeWidget::itemDoubleClicked, this, &C1stView::onArticleNotify);
    connect(list_, &TListBase::selectionNotify, this, &C1stView::onArticleNotify);
    connect(combo_, &TComboLst::selectionCommand, this, &C1stView::onLawCommand);

    connect(results_, &QTreeWidget::itemSelectionChanged, this, &C1stView::onResultNotify);
    connect(results_, &QTreeWidget::itemDoubleClicked, this, &C1stView::onResultNotify);
    connect(results_, &TListBase::selectionNotify, this, &C1stView::onResultNotify);
    connect(searchButton_, &QPushButton::clicked, this,
            [this]() { emit searchRequested(searchWords_->currentText()); });
    connect(searchButton_, &QPushButton::clicked, this, &C1stView::startSearch);
    connect(emphasisBox_, &QCheckBox::clicked, this, &C1stView::onEmphasisClicked);

    connect(bookmarks_, &QTreeWidget::itemSelectionChanged, this, &C1stView::onBookmarkNotify);
    connect(bookmarks_, &QTreeWidget::itemDoubleClicked, this, &C1stView::onBookmarkNotify);
    connect(bookmarks_, &TListBase::selectionNotify, this, &C1stView::onBookmarkNotify);
    connect(addButton_, &QPushButton::clicked, this, &C1stView::bookmarkAddRequested);
    connect(deleteButton_, &QPushButton::clicked, this, &C1stView::bookmarkDeleteRequested);
    connect(addButton_, &QPushButton::clicked, this, &C1stView::addBookmark);
    connect(deleteButton_, &QPushButton::clicked, this, &C1stView::deleteBookmark);

    for (TListBase* l : {static_cast<TListBase*>(list_), results_, bookmarks_}) {
        connect(l, &TListBase::tabStepRequested, this,
                [this](int step) { SelectTab((current_ + step + TabCount) % TabCount); });
    }
    connect(tree_, &TTreeCtrl::tabStepRequested, this,
            [this](int step) { SelectTab((current_ + step + TabCount) % TabCount); });
}

void C1stView::initialUpdate() {
    // The bookmark file is read now; when that fails it is tried again when
    // the bookmark tab is first set up.
    if (doc_.isConnected()) bookmarkStore_->_load();
    ShowTab(current_);
}

void C1stView::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    // The first layout with an open database sets the current tab up.
    if (!tabIsSetUp(current_)) ShowTab(current_);
}

QWidget* C1stView::mainControl(int index) const {
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

void C1stView::ShowTab(int index) {
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
            tree_->_prepare(doc_);
            tree_->_show();
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
    FocusCurrentTab();
    update();
}

void C1stView::setUpList() {
    list_->_setup(doc_);
    if (!combo_->_init(doc_)) return;  // not set up: tried again at the next visit
    std::string law = combo_->idAt(0);
    if (!firstSetupDone_) {
        const std::string remembered = remembered_.substr(0, 3);
        if (combo_->_find_index(remembered) >= 0) law = remembered;
        firstSetupDone_ = true;
    }
    combo_->_select(law);
    if (!law.empty()) showLaw(law);
    setUp_[TabList] = true;
}

void C1stView::showLaw(const std::string& idHN) {
    const bool was = repeat_.active;
    repeat_.active = true;  // emptying and filling the list opens nothing
    list_->_show(idHN);
    repeat_.active = was;
    update();
}

void C1stView::onTabCurrentChanged(int index) {
    ShowTab(index);
    syncAfterTabChange();
    emit tabChanged(current_);
}

void C1stView::SelectTab(int index) {
    if (index < 0 || index >= TabCount) return;
    {
        const QSignalBlocker quiet(tabs_);
        tabs_->setCurrentIndex(index);
    }
    onTabCurrentChanged(index);
}

void C1stView::selectNextTab() { SelectTab((current_ + 1) % TabCount); }

void C1stView::selectPreviousTab() { SelectTab((current_ + TabCount - 1) % TabCount); }

void C1stView::syncAfterTabChange() {
    if (!navigation_ || !textView_ || !navigation_->synchroAllowed()) return;
    if (current_ != TabContents && current_ != TabList) return;
    SyncToArticle(textView_->currentPageId());
}

void C1stView::FocusCurrentTab() {
    if (QWidget* w = mainControl(current_)) w->setFocus(Qt::OtherFocusReason);
}

void C1stView::SyncToArticle(const std::string& idFN) {
    switch (current_) {
        case TabContents:
            tree_->_select(idFN);
            break;
        case TabList: {
            if (!setUp_[TabList]) break;
            const std::string law = idFN.substr(0, 3);
            if (law != combo_->_get_selected_id()) {
                // A page of a law the selector does not hold leaves the list as it is.
                if (combo_->_find_index(law) < 0) break;
                combo_->_select(law);
                showLaw(law);
            }
            const int row = list_->_find_row(idFN);
            if (row >= 0 && row == list_->selectedRow()) requestPage(idFN);
            list_->_select(idFN);
            break;
        }
        default:
            break;
    }
}

bool C1stView::keepsArrowKeys(const QWidget* w) const {
    for (; w; w = w->parentWidget()) {
        if (w == tree_ || w == searchWords_) return true;
        if (w == this) return false;
    }
    return false;
}

void C1stView::requestPage(const std::string& id) {
    if (id.empty()) return;
    emit pageRequested(toQString(id));
    FocusCurrentTab();
}

void C1stView::onTreeNotify() {
    if (repeat_.active) return;
    requestPage(tree_->_get_selected_id());
}

void C1stView::onArticleNotify() {
    if (repeat_.active) return;
    requestPage(list_->_get_selected_id());
}

void C1stView::onBookmarkNotify() {
    if (repeat_.active) return;
    requestPage(bookmarks_->_get_selected_id());
}

void C1stView::onResultNotify() {
    if (repeat_.active) return;
    const std::string id = results_->_get_selected_id();
    if (id.empty()) return;
    emit searchResultRequested(toQString(id), emphasise_);
    FocusCurrentTab();
}

void C1stView::onLawCommand() {
    const std::string law = combo_->_get_selected_id();
    if (law.empty() || combo_->dropDownOpen()) return;
    // Closing the drop-down list or releasing a key on the law already shown
    // does not fill the list again.
    if (law == list_->shownLaw()) return;
    showLaw(law);
}

void C1stView::onEmphasisClicked(bool checked) {
    emphasise_ = checked;
    const std::string id = results_->_get_selected_id();
    if (!id.empty()) emit searchResultReshowRequested(toQString(id), emphasise_);
}

}  // namespace tavrel::gui
