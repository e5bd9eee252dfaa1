// The navigator pane as the user drives it: a fixture collection, the pane
// on screen, clicks and keys through QTest; what the pane asks the text view
// to show is read from its pageRequested signal.
#include "document/document.h"
#include "document/navigation.h"
#include "document/options.h"
#include "document/settings_store.h"
#include "navigator/gui/navigator_pane.h"
#include "navigator/gui/law_selector.h"
#include "navigator/gui/article_list_view.h"
#include "navigator/gui/page_list_view.h"
#include "navigator/gui/contents_tree_view.h"
#include "text/sjis.h"

#include "support/fake_message_sink.h"
#include "support/fixture_db.h"
#include "support/temp_dir.h"
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QImage>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>

#include <filesystem>
#include <memory>
#include <string>

using namespace tavrel;
using namespace tavrel::gui;

namespace {

QString q(const char* utf8) { return QString::fromUtf8(utf8); }

QStringList requested(const QSignalSpy& spy) {
    QStringList out;
    for (const QList<QVariant>& args : spy) out << args.at(0).toString();
    return out;
}

// A click on the check box's indicator, where the user clicks.
void clickBox(QCheckBox* box) { QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2)); }

void sendKey(QWidget* w, QEvent::Type type, int key, bool autoRepeat, Qt::KeyboardModifiers m = Qt::NoModifier) {
    QKeyEvent e(type, key, m, QString(), autoRepeat);
    QApplication::sendEvent(w, &e);
}

// The article pages of law 01A: articles 1 to 12 in chapter 1, then an
// article split into three pages.
const char* const kArticles[] = {"01A-00010000-00", "01A-00020000-00", "01A-00030000-00", "01A-00040000-00",
                                 "01A-00050000-00", "01A-00060000-00", "01A-00070000-00", "01A-00080000-00",
                                 "01A-00090000-00", "01A-00100000-00", "01A-00110000-00", "01A-00120000-00"};

// The text view as the pane's synchronisation sees it: only the page shown.
class FakeView : public PageViewPartner {
  public:
    std::string shown;
    std::string currentPageId() const override { return shown; }
    void setRestorePosition(int, int) override {}
    bool showPage(const std::string&) override { return false; }
    void colorAnchors() override {}
    void setReshow() override {}
    void clearPageCache() override {}
    void printPage(int) override {}
    std::string currentMarks() const override { return {}; }
    int markWords(const std::string&, int) override { return 0; }
    std::string runSearchDialog(const std::string& text) override { return text; }
};

}  // namespace

class TestNavigatorPane : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();

    void treeShowsLawsAndOpensTheSelectedArticle();
    void expandingALawSwitchesItsBook();
    void holdingTheDownArrowOpensOnlyTheRowReachedOnRelease();
    void enterReopensTheSelectedRow();
    void clickOnTheFirstRowOfAnUnfocusedListOpensIt();
    void ctrlPageKeysStepThroughTheTabsAndWrap();
    void tabsAreSetUpTheFirstTimeTheyAreShown();
    void tabAndEmphasisAreReadAndStored();
    void listStartsOnTheRememberedArticlesLaw();
    void lawSelectorIndentsAndSwitchesTheHeader();
    void syncToArticleFollowsTheCurrentTab();
    void changingTheTabSynchronisesWhenAllowed();
    void layoutKeepsTheBandAndTheCheckBox_data();
    void layoutKeepsTheBandAndTheCheckBox();
    void selectedRowIsDrawnInTheSelectedColours();
    void emptyLawTableIsReportedThroughTheDocument();

  private:
    void fill();
    Document& start();
    NavigatorPane* makePane(int width = 320, int height = 520);

    std::unique_ptr<testing::TempDir> dir_;
    std::string data_, user_;
    std::unique_ptr<testing::FixtureDb> db_;
    std::unique_ptr<MemorySettingsStore> settings_;
    std::unique_ptr<testing::FakeMessageSink> sink_;
    std::unique_ptr<Document> doc_;
    std::unique_ptr<NavigatorPane> pane_;
};

void TestNavigatorPane::init() {
    dir_ = std::make_unique<testing::TempDir>();
    data_ = dir_->folder() + "data/";
    user_ = dir_->folder() + "user/";
    std::filesystem::create_directories(data_);
    std::filesystem::create_directories(user_);
    db_ = std::make_unique<testing::FixtureDb>(data_ + "TL2008.orl");
    settings_ = std::make_unique<MemorySettingsStore>();
    sink_ = std::make_unique<testing::FakeMessageSink>();
}

void TestNavigatorPane::cleanup() {
    pane_.reset();
    doc_.reset();
    db_.reset();
    dir_.reset();
}

void TestNavigatorPane::fill() {
    db_->exec(
        "INSERT INTO T_法 VALUES ('01A', '建築基準法', 'x', 'x', -1);"
        "INSERT INTO T_法 VALUES ('01B', '建築基準法施行令', 'x', 'x', -1);"
        "INSERT INTO T_法 VALUES ('02K', '告示集', 'x', 'x', -1);"
        "INSERT INTO T_章 (ID_SN, 章名) VALUES ('01A-0100-0000-0000-0000', '総則');");
    int n = 0;
    for (const char* id : kArticles) {
        db_->exec(std::string("INSERT INTO T_条 (ID_FN, ID_SN, 条名, 分割, 表示) VALUES ('") + id +
                  "', '01A-0100-0000-0000-0000', '条" + std::to_string(++n) + "', 0, -1)");
    }
    db_->exec(
        "INSERT INTO T_条 (ID_FN, ID_SN, 条名, 補足, 分割, 表示) VALUES "
        "('01A-00200000-00', '01A-0000-0000-0000-0000', '長い条', '前段', 3, -1),"
        "('01A-00200000-01', '01A-0000-0000-0000-0000', NULL, '中段', 3, -1),"
        "('01A-00200000-02', '01A-0000-0000-0000-0000', NULL, '後段', 3, -1),"
        "('01B-00010000-00', '01B-0000-0000-0000-0000', '趣旨', NULL, 0, -1),"
        "('02K-KD190001-00', '02K-0000-0000-0000-0000', '平成十九年の告示', NULL, 0, -1);");
}

Document& TestNavigatorPane::start() {
    doc_ = std::make_unique<Document>(*settings_, *sink_, DocumentFolders{data_, user_});
    doc_->startUp();
    sink_->clear();
    return *doc_;
}

NavigatorPane* TestNavigatorPane::makePane(int width, int height) {
    pane_ = std::make_unique<NavigatorPane>(*doc_);
    pane_->resize(width, height);
    pane_->show();
    if (!QTest::qWaitForWindowExposed(pane_.get())) return nullptr;
    return pane_.get();
}

// ---- Contents tree ----

void TestNavigatorPane::treeShowsLawsAndOpensTheSelectedArticle() {
    fill();
    start();
    NavigatorPane* pane = makePane();
    QVERIFY(pane);
    ContentsTreeView* tree = pane->tree();
    QCOMPARE(tree->topLevelItemCount(), 3);
    QCOMPARE(tree->topLevelItem(0)->text(0), q("建築基準法"));
    QCOMPARE(tree->topLevelItem(1)->text(0), q("建築基準法施行令"));

    QTreeWidgetItem* law = tree->findItem("01A");
    QVERIFY(law);
    // The chapter comes first, then the split article's grouping node.
    QCOMPARE(law->childCount(), 2);
    QCOMPARE(law->child(0)->text(0), q("1章　総則"));
    QCOMPARE(law->child(0)->childCount(), 12);
    QTreeWidgetItem* group = law->child(1);
    QCOMPARE(group->text(0), q("20条　長い条"));
    QCOMPARE(group->childCount(), 3);
    QCOMPARE(group->child(1)->text(0), q("20条 (02)　中段"));

    QSignalSpy spy(pane, &NavigatorPane::pageRequested);
    tree->expandItem(law);
    tree->expandItem(law->child(0));
    QTreeWidgetItem* third = law->child(0)->child(2);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(third).center());
    QCOMPARE(requested(spy), QStringList{q("01A-00030000-00")});

    // The grouping node of a split article opens nothing; a piece opens itself.
    spy.clear();
    tree->expandItem(group);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(group).center());
    QVERIFY(spy.isEmpty());
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(group->child(2)).center());
    QCOMPARE(requested(spy), QStringList{q("01A-00200000-02")});
    QCOMPARE(tree->selectedId(), std::string("01A-00200000-02"));
}

void TestNavigatorPane::expandingALawSwitchesItsBook() {
    fill();
    start();
    NavigatorPane* pane = makePane();
    QVERIFY(pane);
    ContentsTreeView* tree = pane->tree();
    QTreeWidgetItem* law = tree->findItem("01A");
    QTreeWidgetItem* chapter = tree->findItem("01A-0100-0000-0000-0000");
    QTreeWidgetItem* article = tree->findItem("01A-00010000-00");
    QVERIFY(law && chapter && article);
    QCOMPARE(tree->stateImage(law), int(nav::TreeImageClosedBook));
    const QImage closed = law->icon(0).pixmap(24, 16).toImage();

    tree->expandItem(law);
    tree->expandItem(chapter);
    QCOMPARE(tree->stateImage(law), int(nav::TreeImageOpenBook));
    QCOMPARE(tree->stateImage(chapter), int(nav::TreeImageOpenBook));
    QVERIFY(law->icon(0).pixmap(24, 16).toImage() != closed);
    QCOMPARE(tree->stateImage(article), int(nav::TreeImagePage));

    tree->collapseItem(law);
    QCOMPARE(tree->stateImage(law), int(nav::TreeImageClosedBook));
    QCOMPARE(law->icon(0).pixmap(24, 16).toImage(), closed);
    QCOMPARE(tree->stateImage(chapter), int(nav::TreeImageOpenBook));
}

// ---- Key repeat, Enter ----

void TestNavigatorPane::holdingTheDownArrowOpensOnlyTheRowReachedOnRelease() {
    fill();
    settings_->writeInt(kSettingsSection, keys::TabPage, 1);
    start();
    NavigatorPane* pane = makePane();
    QVERIFY(pane);
    ArticleListView* list = pane->articleList();
    QCOMPARE(list->topLevelItemCount(), 15);
    list->clearSelection();

    QSignalSpy spy(pane, &NavigatorPane::pageRequested);
    // Gaining the focus without a selected row selects the first, opening nothing.
    QFocusEvent focusIn(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(list, &focusIn);
    QCOMPARE(list->selectedId(), std::string(kArticles[0]));
    QVERIFY(spy.isEmpty());

    // The first press moves and opens; the repeats move without opening,
    // and so do the releases the repeats send.
    sendKey(list, QEvent::KeyPress, Qt::Key_Down, false);
    for (int i = 0; i < 5; ++i) {
        sendKey(list, QEvent::KeyRelease, Qt::Key_Down, true);
        sendKey(list, QEvent::KeyPress, Qt::Key_Down, true);
    }
    QCOMPARE(list->selectedId(), std::string(kArticles[6]));
    QCOMPARE(requested(spy), QStringList{q(kArticles[1])});

    sendKey(list, QEvent::KeyRelease, Qt::Key_Down, false);
    QCOMPARE(requested(spy), (QStringList{q(kArticles[1]), q(kArticles[6])}));

    // A later move by a single press opens at once, as before.
    spy.clear();
    sendKey(list, QEvent::KeyPress, Qt::Key_Down, false);
    sendKey(list, QEvent::KeyRelease, Qt::Key_Down, false);
    QCOMPARE(requested(spy), QStringList{q(kArticles[7])});

    // The same rule in the tree.
    pane->selectTab(0);
    ContentsTreeView* tree = pane->tree();
    tree->expandAll();
    tree->select(kArticles[0]);
    spy.clear();
    sendKey(tree, QEvent::KeyPress, Qt::Key_Down, true);
    sendKey(tree, QEvent::KeyPress, Qt::Key_Down, true);
    QVERIFY(spy.isEmpty());
    sendKey(tree, QEvent::KeyRelease, Qt::Key_Down, false);
    QCOMPARE(requested(spy), QStringList{q(kArticles[2])});
}

void TestNavigatorPane::enterReopensTheSelectedRow() {
    fill();
    settings_->writeInt(kSettingsSection, keys::TabPage, 1);
    start();
    NavigatorPane* pane = makePane();
    QVERIFY(pane);
    pane->articleList()->select(kArticles[3]);
    QSignalSpy spy(pane, &NavigatorPane::pageRequested);
    QTest::keyClick(pane->articleList(), Qt::Key_Return);
    QCOMPARE(requested(spy), QStringList{q(kArticles[3])});

    pane->selectTab(0);
    pane->tree()->select(kArticles[4]);
    spy.clear();
    QTest::keyClick(pane->tree(), Qt::Key_Enter);
    QCOMPARE(requested(spy), QStringList{q(kArticles[4])});
}

// ---- Tabs ----

// Regression: the focus that a click brings selected the first row silently,
// so the click itself changed nothing and the first row never opened.
void TestNavigatorPane::clickOnTheFirstRowOfAnUnfocusedListOpensIt() {
    fill();
    settings_->writeInt(kSettingsSection, keys::TabPage, 1);
    start();
    NavigatorPane* pane = makePane();
    QVERIFY(pane);
    pane->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(pane));
    ArticleListView* list = pane->articleList();
    QVERIFY(list->topLevelItemCount() > 2);

    for (const int row : {0, 2}) {
        pane->lawSelector()->setFocus();
        QTRY_VERIFY(!list->hasFocus());
        list->clearSelection();
        QSignalSpy spy(pane, &NavigatorPane::pageRequested);
        const QRect r = list->visualItemRect(list->topLevelItem(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
        QVERIFY(list->hasFocus());
        // Opened exactly once, whichever row was clicked.
        QCOMPARE(requested(spy), QStringList{q(kArticles[row])});
        // A second click on the same, already open row opens nothing new.
        spy.clear();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
        QVERIFY(spy.isEmpty());
    }
}

void TestNavigatorPane::ctrlPageKeysStepThroughTheTabsAndWrap() {
    fill();
    start();
    NavigatorPane* pane = makePane();
    QVERIFY(pane);
    QCOMPARE(pane->tabs()->tabText(0), q("目次"));
    QCOMPARE(pane->tabs()->tabText(1), q("リスト"));
    QCOMPARE(pane->tabs()->tabText(2), q("全文検索"));
    QCOMPARE(pane->tabs()->tabText(3), q("しおり"));

    QSignalSpy changed(pane, &NavigatorPane::tabChanged);
    QTest::keyClick(pane->tree(), Qt::Key_PageUp, Qt::ControlModifier);
    QCOMPARE(pane->currentTab(), 3);
    QCOMPARE(pane->tabs()->currentIndex(), 3);
    QCOMPARE(QApplication::focusWidget() == pane->bookmarkList() || !pane->isActiveWindow(), true);

    QTest::keyClick(pane->bookmarkList(), Qt::Key_PageDown, Qt::ControlModifier);
    QCOMPARE(pane->currentTab(), 0);
    QTest::keyClick(pane->tree(), Qt::Key_PageDown, Qt::ControlModifier);
    QCOMPARE(pane->currentTab(), 1);
    QTest::keyClick(pane->articleList(), Qt::Key_PageDown, Qt::ControlModifier);
    QCOMPARE(pane->currentTab(), 2);
    pane->selectNextTab();
    QCOMPARE(pane->currentTab(), 3);
    pane->selectNextTab();
    QCOMPARE(pane->currentTab(), 0);
    pane->selectPreviousTab();
    QCOMPARE(pane->tabs()->currentIndex(), 3);
    QCOMPARE(changed.count(), 7);
    QCOMPARE(changed.last().at(0).toInt(), 3);

    // A click on a tab goes the same way.
    pane->tabs()->setCurrentIndex(1);
    QCOMPARE(pane->currentTab(), 1);
    QCOMPARE(changed.last().at(0).toInt(), 1);
}

void TestNavigatorPane::tabsAreSetUpTheFirstTimeTheyAreShown() {
    fill();
    db_->exec("INSERT INTO T_法 VALUES ('03A', NULL, 'x', 'x', -1)");  // a law without a name
    settings_->writeText(kSettingsSection, searchTargetKey(1), SJ("採光"));
    settings_->writeText(kSettingsSection, searchTargetKey(2), SJ("換気"));

    // Without a database nothing is built.
    Document closed(*settings_, *sink_, DocumentFolders{data_ + "none/", user_});
    {
        NavigatorPane pane(closed);
        pane.resize(300, 400);
        pane.show();
        QVERIFY(QTest::qWaitForWindowExposed(&pane));
        QCOMPARE(pane.tree()->topLevelItemCount(), 0);
        QVERIFY(!pane.tabIsSetUp(0));
    }

    start();
    NavigatorPane* pane = makePane();
    QVERIFY(pane);
    QVERIFY(pane->tabIsSetUp(0));
    QVERIFY(!pane->tabIsSetUp(1));
    QCOMPARE(pane->lawSelector()->count(), 0);
    QCOMPARE(pane->searchWords()->count(), 0);

    pane->selectTab(1);
    QVERIFY(pane->tabIsSetUp(1));
    QCOMPARE(pane->lawSelector()->count(), 4);
    QCOMPARE(pane->lawSelector()->itemText(3), QString());
    QCOMPARE(pane->articleList()->headerItem()->text(1), q("タイトル"));

    pane->selectTab(2);
    QCOMPARE(pane->searchWords()->count(), 2);
    QCOMPARE(pane->searchWords()->itemText(0), q("採光"));
    QCOMPARE(pane->resultList()->columnCount(), 2);
    QCOMPARE(pane->resultList()->headerItem()->text(0), q("法名"));
    QCOMPARE(pane->searchButton()->text(), q("実行"));
    QCOMPARE(pane->emphasisBox()->text(), q("強調表示"));

    pane->selectTab(3);
    QCOMPARE(pane->bookmarkList()->columnCount(), 4);
    QCOMPARE(pane->bookmarkList()->headerItem()->text(2), q("タイトル"));
    QCOMPARE(pane->bookmarkList()->headerItem()->text(3), QString());
    QCOMPARE(pane->addBookmarkButton()->text(), q("追加"));
    QCOMPARE(pane->deleteBookmarkButton()->text(), q("削除"));

    QSignalSpy add(pane, &NavigatorPane::bookmarkAddRequested);
    QSignalSpy del(pane, &NavigatorPane::bookmarkDeleteRequested);
    QTest::mouseClick(pane->addBookmarkButton(), Qt::LeftButton);
    QTest::mouseClick(pane->deleteBookmarkButton(), Qt::LeftButton);
    QCOMPARE(add.count(), 1);
    QCOMPARE(del.count(), 1);
}

void TestNavigatorPane::tabAndEmphasisAreReadAndStored() {
    fill();
    settings_->writeInt(kSettingsSection, keys::TabPage, 2);
    settings_->writeInt(kSettingsSection, keys::SearchEmph, 0);
    start();
    NavigatorPane* pane = makePane();
    QVERIFY(pane);
    QCOMPARE(pane->currentTab(), 2);
    QCOMPARE(pane->tabs()->currentIndex(), 2);
    QVERIFY(!pane->emphasisBox()->isChecked());
    QVERIFY(!pane->emphasise());

    QSignalSpy reshow(pane, &NavigatorPane::searchResultReshowRequested);
    clickBox(pane->emphasisBox());
    QVERIFY(pane->emphasise());
    QVERIFY(reshow.isEmpty());  // no result selected: nothing to redisplay

    pane->resultList()->addRow({"01A-00010000-00", {SJ("建築基準法"), SJ("1条"), "", ""}, -1, 0});
    QSignalSpy result(pane, &NavigatorPane::searchResultRequested);
    pane->resultList()->selectRow(0);
    QCOMPARE(result.count(), 1);
    QCOMPARE(result.at(0).at(0).toString(), q("01A-00010000-00"));
    QCOMPARE(result.at(0).at(1).toBool(), true);
    clickBox(pane->emphasisBox());
    QCOMPARE(reshow.count(), 1);
    QCOMPARE(reshow.at(0).at(1).toBool(), false);

    pane->selectTab(3);
    pane_.reset();
    QCOMPARE(settings_->readInt(kSettingsSection, keys::TabPage, -1), 3);
    QCOMPARE(settings_->readInt(kSettingsSection, keys::SearchEmph, -1), 0);

    // A stored tab outside 0-3 starts on the contents.
    settings_->writeInt(kSettingsSection, keys::TabPage, 7);
    pane = makePane();
    QVERIFY(pane);
    QCOMPARE(pane->currentTab(), 0);
}

// ---- Law selector and article list ----

void TestNavigatorPane::listStartsOnTheRememberedArticlesLaw() {
    fill();
    settings_->writeInt(kSettingsSection, keys::TabPage, 1);
    settings_->writeText(kSettingsSection, keys::CurIDFN, "01B-00010000-00");
    start();
    NavigatorPane* pane = makePane();
    QVERIFY(pane);
    QCOMPARE(pane->lawSelector()->selectedId(), std::string("01B"));
    QCOMPARE(pane->articleList()->topLevelItemCount(), 1);
    QCOMPARE(pane->articleList()->topLevelItem(0)->text(1), q("趣旨"));
    QCOMPARE(pane->tree()->topLevelItemCount(), 3);  // the tree is built as well
}

void TestNavigatorPane::lawSelectorIndentsAndSwitchesTheHeader() {
    fill();
    settings_->writeInt(kSettingsSection, keys::TabPage, 1);
    start();
    NavigatorPane* pane = makePane();
    QVERIFY(pane);
    LawSelector* combo = pane->lawSelector();
    ArticleListView* list = pane->articleList();
    QCOMPARE(combo->itemText(0), q("建築基準法"));
    QCOMPARE(combo->itemText(1), q("　　建築基準法施行令"));
    QCOMPARE(combo->itemText(2), q("　　告示集"));
    // No remembered article: the first law.
    QCOMPARE(combo->selectedId(), std::string("01A"));
    QCOMPARE(list->headerItem()->text(0), q("条"));
    QCOMPARE(list->topLevelItem(12)->text(0), q("20条　01"));
    QCOMPARE(list->topLevelItem(13)->text(1), q(" ・ 中段"));
    QCOMPARE(list->rows().rows()[14].image, int(nav::ListImageSplitLast));

    QSignalSpy spy(pane, &NavigatorPane::pageRequested);
    combo->setCurrentIndex(2);
    QCOMPARE(list->headerItem()->text(0), q("告示番号"));
    QCOMPARE(list->topLevelItemCount(), 1);
    QCOMPARE(list->topLevelItem(0)->text(0), q("平19年 0001号"));
    QCOMPARE(list->rows().rows()[0].image, 28);
    QVERIFY(spy.isEmpty());  // a new list opens nothing by itself

    combo->setCurrentIndex(0);
    QCOMPARE(list->headerItem()->text(0), q("条"));
    QCOMPARE(list->topLevelItemCount(), 15);

    // While the drop-down list is open a change shows nothing; closing it does.
    combo->showPopup();
    QVERIFY(combo->dropDownOpen());
    combo->setCurrentIndex(1);
    QCOMPARE(list->shownLaw(), std::string("01A"));
    combo->hidePopup();
    QCOMPARE(list->shownLaw(), std::string("01B"));
    QCOMPARE(list->topLevelItemCount(), 1);

    // The down arrow opens the closed drop-down list instead of moving on.
    QTest::keyClick(combo, Qt::Key_Down);
    QVERIFY(combo->dropDownOpen());
    QCOMPARE(combo->selectedId(), std::string("01B"));
    combo->hidePopup();
    QCOMPARE(list->shownLaw(), std::string("01B"));
}

void TestNavigatorPane::syncToArticleFollowsTheCurrentTab() {
    fill();
    start();
    NavigatorPane* pane = makePane();
    QVERIFY(pane);
    QSignalSpy spy(pane, &NavigatorPane::pageRequested);

    pane->syncToArticle(kArticles[5]);
    QCOMPARE(pane->tree()->selectedId(), std::string(kArticles[5]));
    QCOMPARE(requested(spy), QStringList{q(kArticles[5])});
    pane->syncToArticle("01A-00990000-00");  // no node: the selection is cleared
    QCOMPARE(pane->tree()->selectedId(), std::string());

    pane->selectTab(1);
    spy.clear();
    pane->syncToArticle("01B-00010000-00");
    QCOMPARE(pane->lawSelector()->selectedId(), std::string("01B"));
    QCOMPARE(pane->articleList()->selectedId(), std::string("01B-00010000-00"));
    QCOMPARE(requested(spy), QStringList{q("01B-00010000-00")});
    // The row is already selected: it is handed over directly once more.
    pane->syncToArticle("01B-00010000-00");
    QCOMPARE(spy.count(), 2);
    // A page of a law the selector does not hold changes nothing.
    pane->syncToArticle("09A-00010000-00");
    QCOMPARE(pane->lawSelector()->selectedId(), std::string("01B"));
    QCOMPARE(pane->articleList()->topLevelItemCount(), 1);
    QCOMPARE(spy.count(), 2);

    // Tabs 2 and 3 do not follow.
    pane->selectTab(2);
    pane->syncToArticle(kArticles[0]);
    QCOMPARE(spy.count(), 2);
}

void TestNavigatorPane::changingTheTabSynchronisesWhenAllowed() {
    fill();
    start();
    NavigatorPane* pane = makePane();
    QVERIFY(pane);
    DocumentNavigation navigation(*doc_);
    FakeView view;
    navigation.setTextView(&view);
    pane->setNavigation(&navigation);
    pane->setTextView(&view);
    doc_->toggles().synchro = true;
    QSignalSpy spy(pane, &NavigatorPane::pageRequested);

    view.shown = kArticles[3];
    pane->selectTab(1);
    QCOMPARE(pane->articleList()->selectedId(), std::string(kArticles[3]));
    QCOMPARE(requested(spy), QStringList{q(kArticles[3])});

    view.shown = "01B-00010000-00";
    pane->tabs()->setCurrentIndex(0);  // as a click on the tab
    QCOMPARE(pane->tree()->selectedId(), std::string("01B-00010000-00"));

    // Synchronisation off, or a special page shown: the tab is only shown.
    doc_->toggles().synchro = false;
    view.shown = kArticles[0];
    pane->selectTab(1);
    QCOMPARE(pane->articleList()->selectedId(), std::string(kArticles[3]));
    doc_->toggles().synchro = true;
    view.shown = "00A-Z0010000-00";
    pane->selectTab(0);
    QCOMPARE(pane->tree()->selectedId(), std::string("01B-00010000-00"));
    QCOMPARE(spy.count(), 2);
}

// ---- Layout and drawing ----

void TestNavigatorPane::layoutKeepsTheBandAndTheCheckBox_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::newRow("narrow") << 220 << 400;
    QTest::newRow("wide") << 480 << 700;
}

void TestNavigatorPane::layoutKeepsTheBandAndTheCheckBox() {
    QFETCH(int, width);
    QFETCH(int, height);
    fill();
    start();
    NavigatorPane* pane = makePane(300, 500);
    QVERIFY(pane);
    pane->resize(width, height);
    for (int tab = 0; tab < 4; ++tab) pane->selectTab(tab);
    QTest::qWait(10);

    const QWidget* page = pane->tabs()->widget(1);
    const int L = 2, T = 4, R = page->width() - 2, B = page->height() - 4;
    QCOMPARE(pane->tree()->geometry(), QRect(L, T, R - L, B - T));
    QCOMPARE(pane->lawSelector()->geometry().topLeft(), QPoint(L, T));
    QCOMPARE(pane->articleList()->geometry(), QRect(L, T + 29, R - L, B - T - 29));

    QCOMPARE(pane->resultList()->geometry(), QRect(L, T + 29, R - L, B - T - 87));
    QCOMPARE(pane->searchWords()->geometry().width(), R - L - 60);
    QCOMPARE(pane->searchButton()->geometry(), QRect(R - 55, T, 55, 24));
    const QRect check = pane->emphasisBox()->geometry();
    QCOMPARE(check.top() + check.height(), B - 29);
    QCOMPARE(check.width(), R - L);

    QCOMPARE(pane->bookmarkList()->geometry(), QRect(L, T + 29, R - L, B - T - 29));
    QCOMPARE(pane->addBookmarkButton()->geometry(), QRect(R - 55, T, 55, 24));
    QCOMPARE(pane->deleteBookmarkButton()->geometry(), QRect(R - 120, T, 55, 24));
}

void TestNavigatorPane::selectedRowIsDrawnInTheSelectedColours() {
    fill();
    // A caption far too wide for the column.
    db_->exec("UPDATE T_条 SET 条名 = '" + std::string(40, 'x') +
              "あいうえおかきくけこさしすせそ' WHERE ID_FN = '01A-00020000-00'");
    settings_->writeInt(kSettingsSection, keys::TabPage, 1);
    start();
    NavigatorPane* pane = makePane(260, 420);
    QVERIFY(pane);
    ArticleListView* list = pane->articleList();
    list->selectRow(1);
    QTest::qWait(20);

    const QImage shot = list->viewport()->grab().toImage();
    const QRect selected = list->visualItemRect(list->topLevelItem(1));
    const QRect other = list->visualItemRect(list->topLevelItem(2));
    const qreal dpr = shot.devicePixelRatio();
    auto at = [&](QPoint p) { return QColor(shot.pixel(QPoint(int(p.x() * dpr), int(p.y() * dpr)))); };
    // Right end of the title cell, past the cut text: the row's background.
    const int x = list->header()->sectionPosition(1) + list->header()->sectionSize(1) - 3;
    QCOMPARE(at(QPoint(x, selected.center().y())), PageListView::selectedBackground());
    QCOMPARE(at(QPoint(x, other.center().y())), list->palette().color(QPalette::Base));

    if (const QByteArray folder = qgetenv("TAVREL_SHOT_DIR"); !folder.isEmpty()) {
        const QString dirName = QString::fromLocal8Bit(folder);
        pane->grab().save(dirName + QStringLiteral("/navigator-list.png"));
        pane->selectTab(0);
        pane->tree()->expandItem(pane->tree()->findItem("01A"));
        pane->tree()->expandItem(pane->tree()->findItem("01A-0100-0000-0000-0000"));
        pane->tree()->select(kArticles[1]);
        QTest::qWait(20);
        pane->grab().save(dirName + QStringLiteral("/navigator-tree.png"));
        pane->selectTab(2);
        QTest::qWait(20);
        pane->grab().save(dirName + QStringLiteral("/navigator-search.png"));
    }
}

void TestNavigatorPane::emptyLawTableIsReportedThroughTheDocument() {
    // Laws exist but none is displayed.
    db_->exec("INSERT INTO T_法 VALUES ('01A', '建築基準法', 'x', 'x', 0)");
    start();
    NavigatorPane* pane = makePane();
    QVERIFY(pane);
    QCOMPARE(pane->tree()->topLevelItemCount(), 0);
    QCOMPARE(sink_->shown().size(), size_t(1));
    QCOMPARE(QString::fromStdString(sink_->shown()[0].captionUtf8()), q("ツリーの生成"));
    QVERIFY(QString::fromStdString(sink_->shown()[0].textUtf8()).endsWith(q("関数 = TTreeCtrl::_show()")));
    // The tree is not built again at the next tab.
    pane->selectTab(1);
    pane->selectTab(0);
    QCOMPARE(sink_->shown().size(), size_t(1));
}

QTEST_MAIN(TestNavigatorPane)
#include "test_navigator_pane.moc"
