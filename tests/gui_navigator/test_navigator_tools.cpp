// The search and bookmark tabs of the navigator pane as the user drives them:
// a fixture collection, words typed into the search box and 実行 clicked,
// bookmarks added and deleted with the buttons; the text view is a fake that
// records what the pane asks of it.
#include "document/document.h"
#include "document/navigation.h"
#include "document/options.h"
#include "document/settings_store.h"
#include "navigator/gui/navigator_pane.h"
#include "navigator/gui/search_progress.h"
#include "navigator/gui/page_list_view.h"
#include "navigator/search_index.h"
#include "text/sjis.h"

#include "support/fake_message_sink.h"
#include "support/fixture_db.h"
#include "support/temp_dir.h"
#include <QApplication>
#include <QBuffer>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QMovie>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>

#include <atomic>
#include <filesystem>
#include <future>
#include <thread>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

using namespace tavrel;
using namespace tavrel::gui;

namespace {

QString q(const char* utf8) { return QString::fromUtf8(utf8); }

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The text view as the pane sees it: the page shown, and a record of the
// marking and anchor-colouring calls.
class RecordingView : public PageViewPartner {
  public:
    std::string shown;
    std::string marks;
    std::vector<std::pair<std::string, int>> markCalls;
    int colorAnchorCalls = 0;
    std::string currentPageId() const override { return shown; }
    void setRestorePosition(int, int) override {}
    bool showPage(const std::string&) override { return false; }
    void colorAnchors() override { ++colorAnchorCalls; }
    void setReshow() override {}
    void clearPageCache() override {}
    void printPage(int) override {}
    std::string currentMarks() const override { return marks; }
    int markWords(const std::string& words, int flag) override {
        markCalls.emplace_back(text::toUtf8(words), flag);
        marks = flag ? std::string() : words;
        return flag ? 0 : 1;
    }
    std::string runSearchDialog(const std::string& text) override { return text; }
};

}  // namespace

class TestNavigatorTools : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();

    void progressAnimationLoopsWithoutEnd();
    void searchFillsTheResultsRemembersTheTextAndMarksTheWords();
    void searchBeforeTheIndexIsReadWaitsWithTheWindowAlive();
    void rejectedTextsKeepTheResultsAndTheHiddenCodeAsksForItsPage();
    void searchButtonDoesNothingOffTheSearchTab();
    void recentSearchesKeepTenAndOneEntryPerText();
    void searchBoxKeysOpenTheListAndStartTheSearch();
    void bookmarksAreAddedOnceAndWrittenAtOnce();
    void deletingABookmarkSelectsTheRowThatTakesItsPlace();
    void bookmarkFileIsReadWhenThePaneIsFirstShown();

  private:
    void fill();
    NavigatorPane* makePane(int tab);
    std::string bookmarkFile() const { return pane_->bookmarkStore().filePath(); }

    std::unique_ptr<testing::TempDir> dir_;
    std::string data_, user_;
    std::unique_ptr<testing::FixtureDb> db_;
    std::unique_ptr<MemorySettingsStore> settings_;
    std::unique_ptr<testing::FakeMessageSink> sink_;
    std::unique_ptr<Document> doc_;
    RecordingView view_;
    std::unique_ptr<NavigatorPane> pane_;
};

void TestNavigatorTools::init() {
    dir_ = std::make_unique<testing::TempDir>();
    data_ = dir_->folder() + "data/";
    user_ = dir_->folder() + "user/";
    std::filesystem::create_directories(data_);
    std::filesystem::create_directories(user_);
    db_ = std::make_unique<testing::FixtureDb>(data_ + "TL2008.orl");
    settings_ = std::make_unique<MemorySettingsStore>();
    sink_ = std::make_unique<testing::FakeMessageSink>();
    view_ = RecordingView{};
}

void TestNavigatorTools::cleanup() {
    pane_.reset();
    doc_.reset();
    db_.reset();
    dir_.reset();
}

// Two laws; the words 防火 and 構造 both occur in article 1 of each law, 防火
// alone in article 2 of the first.
void TestNavigatorTools::fill() {
    db_->exec(
        "INSERT INTO T_法 VALUES ('01A', '建築基準法', 'x', 'x', -1);"
        "INSERT INTO T_法 VALUES ('01B', '建築基準法施行令', 'x', 'x', -1);"
        "INSERT INTO T_条 (ID_FN, ID_SN, 条名, 分割, 表示) VALUES "
        "('01A-00010000-00', '01A-0000-0000-0000-0000', '目的', 0, -1),"
        "('01A-00020000-00', '01A-0000-0000-0000-0000', '用語', 0, -1),"
        "('01A-00030000-00', '01A-0000-0000-0000-0000', '適用', 0, -1),"
        "('01B-00010000-00', '01B-0000-0000-0000-0000', '趣旨', 0, -1);");
    const struct {
        const char* id;
        const char* text;
    } sentences[] = {{"01A-00010000-00-00000000-01-00000000", "防火構造の基準を定める"},
                     {"01A-00020000-00-00000000-01-00000000", "防火壁の定義"},
                     {"01B-00010000-00-00000000-01-00000000", "構造と防火について"}};
    for (const auto& s : sentences) {
        db_->exec(std::string("INSERT INTO T_文 VALUES ('") + s.id + "', '" + s.text +
                  "', '0000000000000000', 0, 0, 0, 0, '" + s.text + "')");
    }
}

NavigatorPane* TestNavigatorTools::makePane(int tab) {
    settings_->writeInt(kSettingsSection, keys::TabPage, tab);
    doc_ = std::make_unique<Document>(*settings_, *sink_, DocumentFolders{data_, user_});
    doc_->startUp();
    sink_->clear();
    pane_ = std::make_unique<NavigatorPane>(*doc_);
    pane_->setPageView(&view_);
    pane_->resize(320, 520);
    pane_->initialUpdate();
    pane_->show();
    if (!QTest::qWaitForWindowExposed(pane_.get())) return nullptr;
    return pane_.get();
}

// ---- Progress window ----

void TestNavigatorTools::progressAnimationLoopsWithoutEnd() {
    QByteArray gif = searchAnimationGif(8);
    QBuffer buffer(&gif);
    buffer.open(QIODevice::ReadOnly);
    QMovie movie(&buffer);
    QVERIFY(movie.isValid());
    QCOMPARE(movie.frameCount(), 8);
    QCOMPARE(movie.loopCount(), -1);  // repeats without end
    QVERIFY(movie.jumpToFrame(0));
    const QImage first = movie.currentImage().convertToFormat(QImage::Format_ARGB32);
    QVERIFY(movie.jumpToFrame(1));
    const QImage second = movie.currentImage().convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(first.size(), QSize(36, 36));
    // The background is transparent, and the bright dot moves on.
    QCOMPARE(qAlpha(first.pixel(0, 0)), 0);
    QVERIFY(first != second);

    QWidget owner;
    QtSearchProgress progress(&owner);
    progress.open();
    progress.open();  // one window at a time
    QCOMPARE(progress.timesOpened(), 1);
    SearchProgressWindow* window = progress.window();
    QVERIFY(window);
    QCOMPARE(window->windowTitle(), q("検索中です．．．"));
    QCOMPARE(window->movie()->state(), QMovie::Running);
    QVERIFY(window->bar()->isHidden());
    progress.start(6);
    QVERIFY(!window->bar()->isHidden());
    QCOMPARE(window->bar()->maximum(), 6);
    QCOMPARE(window->bar()->value(), 0);
    progress.step();
    progress.step();
    QCOMPARE(window->bar()->value(), 2);
    progress.hide();
    QVERIFY(window->bar()->isHidden());
    progress.close();
    QVERIFY(!progress.window());
}

// ---- Full-text search ----

void TestNavigatorTools::searchFillsTheResultsRemembersTheTextAndMarksTheWords() {
    fill();
    NavigatorPane* pane = makePane(NavigatorPane::TabSearch);
    QVERIFY(pane);
    view_.shown = "01A-00030000-00";
    view_.marks = "old";  // marks of the page shown come off first
    pane->searchWords()->lineEdit()->insert(q("防火 構造"));
    QTest::mouseClick(pane->searchButton(), Qt::LeftButton);

    PageListView* results = pane->resultList();
    QCOMPARE(results->topLevelItemCount(), 2);
    QCOMPARE(results->topLevelItem(0)->text(0), q("建築基準法"));
    QCOMPARE(results->topLevelItem(0)->text(1), q("1条"));
    QCOMPARE(results->topLevelItem(1)->text(0), q("建築基準法施行令"));
    QCOMPARE(results->rows().idAt(1), std::string("01B-00010000-00"));
    QCOMPARE(sink_->shown().size(), size_t(1));
    QCOMPARE(QString::fromStdString(sink_->shown()[0].textUtf8()), q("2件見つかりました。"));

    // The progress window came and went; the bar ran six steps per word.
    QCOMPARE(pane->searchProgress().timesOpened(), 1);
    QVERIFY(!pane->searchProgress().window());
    QCOMPARE(pane->searchProgress().lastRange(), 12);
    QCOMPARE(pane->searchProgress().lastSteps(), 12);

    // The typed text tops the recent searches and is stored.
    QCOMPARE(pane->searchWords()->count(), 1);
    QCOMPARE(pane->searchWords()->itemText(0), q("防火 構造"));
    QCOMPARE(pane->searchWords()->currentIndex(), 0);
    QCOMPARE(settings_->readText(kSettingsSection, searchTargetKey(1), ""), SJ("防火 構造"));

    // The old marks came off, the words were marked, the anchors coloured.
    QCOMPARE(view_.markCalls.size(), size_t(2));
    QCOMPARE(view_.markCalls[0], (std::pair<std::string, int>{"old", 1}));
    QCOMPARE(view_.markCalls[1], (std::pair<std::string, int>{"防火 構造", 0}));
    QCOMPARE(view_.colorAnchorCalls, 1);

    // Opening a result asks for it with the emphasis; command 32773 marks
    // the words again after the old marks come off.
    QSignalSpy opened(pane, &NavigatorPane::searchResultRequested);
    QTest::mouseClick(results->viewport(), Qt::LeftButton, {},
                      results->visualItemRect(results->topLevelItem(1)).center());
    QCOMPARE(opened.count(), 1);
    QCOMPARE(opened.at(0).at(0).toString(), q("01B-00010000-00"));
    QCOMPARE(opened.at(0).at(1).toBool(), true);
    view_.markCalls.clear();
    pane->emphasiseSearchWords();
    QCOMPARE(view_.markCalls.size(), size_t(2));
    QCOMPARE(view_.markCalls[1].second, 0);
    // Off the search tab the command does nothing.
    pane->selectTab(NavigatorPane::TabContents);
    view_.markCalls.clear();
    pane->emphasiseSearchWords();
    QVERIFY(view_.markCalls.empty());
}

// The index is read on a worker thread (held back here until released): a
// search asked for meanwhile waits with the event loop running, shows the
// progress window once the wait is noticeable, and runs when the index is in.
void TestNavigatorTools::searchBeforeTheIndexIsReadWaitsWithTheWindowAlive() {
    fill();
    NavigatorPane* pane = makePane(NavigatorPane::TabSearch);
    QVERIFY(pane);
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::atomic<bool> readOnWorker{false};
    const auto mainThread = std::this_thread::get_id();
    pane->startIndexRead([released, &readOnWorker, mainThread](const std::string& file, const std::atomic<bool>* stop) {
        released.wait();
        readOnWorker = std::this_thread::get_id() != mainThread;
        return nav::SearchIndex::readFile(file, stop);
    });
    pane->searchWords()->lineEdit()->insert(q("防火 構造"));
    QTest::mouseClick(pane->searchButton(), Qt::LeftButton);
    QVERIFY(pane->searchWaiting());
    QCOMPARE(pane->resultList()->topLevelItemCount(), 0);
    QVERIFY(sink_->shown().empty());
    // The event loop runs on: the progress window comes up while waiting.
    QTRY_VERIFY(pane->searchProgress().window() && pane->searchProgress().window()->isVisible());
    QTest::mouseClick(pane->searchButton(), Qt::LeftButton);  // asked again: still one search

    release.set_value();
    QTRY_VERIFY(!pane->searchWaiting());
    QVERIFY(readOnWorker);
    QCOMPARE(pane->resultList()->topLevelItemCount(), 2);
    QCOMPARE(sink_->shown().size(), size_t(1));
    QCOMPARE(QString::fromStdString(sink_->shown()[0].textUtf8()), q("2件見つかりました。"));
    QVERIFY(!pane->searchProgress().window());
    QVERIFY(pane->searchTab().results().index());
}

void TestNavigatorTools::rejectedTextsKeepTheResultsAndTheHiddenCodeAsksForItsPage() {
    fill();
    NavigatorPane* pane = makePane(NavigatorPane::TabSearch);
    QVERIFY(pane);
    QLineEdit* edit = pane->searchWords()->lineEdit();
    edit->insert(q("防火"));
    QTest::mouseClick(pane->searchButton(), Qt::LeftButton);
    QCOMPARE(pane->resultList()->topLevelItemCount(), 3);
    sink_->clear();

    const struct {
        const char* typed;
        const char* message;
    } rejected[] = {{"   ", "検索する語句を入力して下さい。"},
                    {"防火?", nullptr},
                    {"防火 構造 基準 定義", "検索できる単語は３個までです。"}};
    for (const auto& r : rejected) {
        edit->clear();
        edit->insert(q(r.typed));
        pane->searchButton()->setFocus();
        QTest::mouseClick(pane->searchButton(), Qt::LeftButton);
        QCOMPARE(sink_->shown().size(), size_t(1));
        QCOMPARE(sink_->shown()[0].captionUtf8(), std::string("検索結果"));
        if (r.message) QCOMPARE(QString::fromStdString(sink_->shown()[0].textUtf8()), q(r.message));
        sink_->clear();
        // The previous results stay, and nothing new is remembered.
        QCOMPARE(pane->resultList()->topLevelItemCount(), 3);
        QCOMPARE(pane->searchWords()->count(), 1);
    }
    // The empty and the forbidden text send the focus back to the box.
    edit->clear();
    pane->searchButton()->setFocus();
    QTest::mouseClick(pane->searchButton(), Qt::LeftButton);
    QVERIFY(pane->searchWords()->hasFocus() || !pane->isActiveWindow());
    sink_->clear();

    QSignalSpy hidden(pane, &NavigatorPane::hiddenPageRequested);
    edit->insert(q("7310582946"));
    QTest::mouseClick(pane->searchButton(), Qt::LeftButton);
    QCOMPARE(hidden.count(), 1);
    QVERIFY(sink_->shown().empty());
    // The first search and the four-word text opened it; the window is gone.
    QCOMPARE(pane->searchProgress().timesOpened(), 2);
    QVERIFY(!pane->searchProgress().window());
}

void TestNavigatorTools::searchButtonDoesNothingOffTheSearchTab() {
    fill();
    NavigatorPane* pane = makePane(NavigatorPane::TabSearch);
    QVERIFY(pane);
    pane->searchWords()->setEditText(q("防火"));
    pane->selectTab(NavigatorPane::TabContents);
    pane->startSearch();
    QVERIFY(sink_->shown().empty());
    QCOMPARE(pane->resultList()->topLevelItemCount(), 0);
}

void TestNavigatorTools::recentSearchesKeepTenAndOneEntryPerText() {
    fill();
    for (int n = 1; n <= 10; ++n) settings_->writeText(kSettingsSection, searchTargetKey(n), "W" + std::to_string(n));
    NavigatorPane* pane = makePane(NavigatorPane::TabSearch);
    QVERIFY(pane);
    QCOMPARE(pane->searchWords()->count(), 10);
    QCOMPARE(pane->searchWords()->currentText(), QString());  // nothing chosen yet
    QLineEdit* edit = pane->searchWords()->lineEdit();
    edit->insert(q("w3"));  // W3 in another case: one entry, on top, as typed
    QTest::mouseClick(pane->searchButton(), Qt::LeftButton);
    QCOMPARE(pane->searchWords()->count(), 10);
    QCOMPARE(pane->searchWords()->itemText(0), q("w3"));
    QCOMPARE(pane->searchWords()->itemText(1), q("W1"));
    QCOMPARE(pane->searchWords()->itemText(3), q("W4"));
    edit->clear();
    edit->insert(q("防火"));
    QTest::mouseClick(pane->searchButton(), Qt::LeftButton);
    QCOMPARE(pane->searchWords()->count(), 10);
    QCOMPARE(pane->searchWords()->itemText(0), q("防火"));
    QCOMPARE(pane->searchWords()->itemText(9), q("W9"));  // W10 dropped
    QCOMPARE(settings_->readText(kSettingsSection, searchTargetKey(10), ""), std::string("W9"));
}

void TestNavigatorTools::searchBoxKeysOpenTheListAndStartTheSearch() {
    fill();
    settings_->writeText(kSettingsSection, searchTargetKey(1), SJ("構造"));
    NavigatorPane* pane = makePane(NavigatorPane::TabSearch);
    QVERIFY(pane);
    QLineEdit* edit = pane->searchWords()->lineEdit();
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Down);
    QTRY_VERIFY(pane->searchWords()->view()->isVisible());
    pane->searchWords()->hidePopup();
    QTRY_VERIFY(!pane->searchWords()->view()->isVisible());
    QCOMPARE(pane->resultList()->topLevelItemCount(), 0);

    edit->setText(q("防火"));
    QTest::keyClick(edit, Qt::Key_Return);
    QCOMPARE(pane->resultList()->topLevelItemCount(), 3);
    QCOMPARE(pane->searchWords()->itemText(0), q("防火"));
}

// ---- Bookmarks ----

void TestNavigatorTools::bookmarksAreAddedOnceAndWrittenAtOnce() {
    fill();
    NavigatorPane* pane = makePane(NavigatorPane::TabBookmarks);
    QVERIFY(pane);
    PageListView* list = pane->bookmarkList();
    QCOMPARE(list->topLevelItemCount(), 0);

    view_.shown = "01A-00020000-00";
    QTest::mouseClick(pane->addBookmarkButton(), Qt::LeftButton);
    view_.shown = "01A-00010000-00";
    QTest::mouseClick(pane->addBookmarkButton(), Qt::LeftButton);
    QTest::mouseClick(pane->addBookmarkButton(), Qt::LeftButton);  // the same page again
    view_.shown = "00A-Z001";                                      // not a page that can be bookmarked
    QTest::mouseClick(pane->addBookmarkButton(), Qt::LeftButton);

    QCOMPARE(list->topLevelItemCount(), 2);
    QCOMPARE(list->topLevelItem(0)->text(0), q("建築基準法"));
    QCOMPARE(list->topLevelItem(0)->text(1), q("1条"));
    QCOMPARE(list->topLevelItem(0)->text(2), q("目的"));
    QCOMPARE(list->selectedRow(), 0);  // the row of the page added last
    QVERIFY(sink_->shown().empty());
    // Written at once, sorted, in the file's own form.
    QCOMPARE(readAll(bookmarkFile()), std::string("VERSION 8.08\r\n"
                                                  "01A-00010000-00, book_mark_root\r\n"
                                                  "01A-00020000-00, book_mark_root\r\n"
                                                  "\r\n"));
}

void TestNavigatorTools::deletingABookmarkSelectsTheRowThatTakesItsPlace() {
    fill();
    NavigatorPane* pane = makePane(NavigatorPane::TabBookmarks);
    QVERIFY(pane);
    for (const char* id : {"01A-00010000-00", "01A-00020000-00", "01A-00030000-00", "01B-00010000-00"}) {
        view_.shown = id;
        pane->addBookmark();
    }
    PageListView* list = pane->bookmarkList();
    QCOMPARE(list->topLevelItemCount(), 4);

    QSignalSpy opened(pane, &NavigatorPane::pageRequested);
    list->selectRow(1);
    QTest::mouseClick(pane->deleteBookmarkButton(), Qt::LeftButton);
    QCOMPARE(list->topLevelItemCount(), 3);
    QCOMPARE(list->selectedRow(), 1);
    QCOMPARE(list->rows().idAt(1), std::string("01A-00030000-00"));
    // The row that moved into place is opened, as a selection does.
    QCOMPARE(opened.last().at(0).toString(), q("01A-00030000-00"));

    list->selectRow(2);  // the last row: the new last row is selected
    QTest::mouseClick(pane->deleteBookmarkButton(), Qt::LeftButton);
    QCOMPARE(list->topLevelItemCount(), 2);
    QCOMPARE(list->selectedRow(), 1);
    QCOMPARE(readAll(bookmarkFile()), std::string("VERSION 8.08\r\n"
                                                  "01A-00010000-00, book_mark_root\r\n"
                                                  "01A-00030000-00, book_mark_root\r\n"
                                                  "\r\n"));

    // Off the bookmark tab the button does nothing.
    pane->selectTab(NavigatorPane::TabContents);
    pane->deleteBookmark();
    QCOMPARE(list->topLevelItemCount(), 2);
}

void TestNavigatorTools::bookmarkFileIsReadWhenThePaneIsFirstShown() {
    fill();
    // A hand-edited file: blanks around the identifier, a page no longer in
    // the collection, a line without a comma.
    doc_ = std::make_unique<Document>(*settings_, *sink_, DocumentFolders{data_, user_});
    doc_->startUp();
    {
        nav::BookmarkStore probe(*doc_);
        std::ofstream out(probe.filePath(), std::ios::binary);
        out << "VERSION 8.08\r\n  01A-00030000-00 , x\r\n01A-00990000-00, book_mark_root\r\njunk\r\n"
               "01B-00010000-00, book_mark_root\r\n\r\n";
    }
    doc_.reset();
    NavigatorPane* pane = makePane(NavigatorPane::TabContents);
    QVERIFY(pane);
    QVERIFY(pane->bookmarkStore().loaded());
    QVERIFY(!pane->tabIsSetUp(NavigatorPane::TabBookmarks));
    pane->selectTab(NavigatorPane::TabBookmarks);
    PageListView* list = pane->bookmarkList();
    QCOMPARE(list->topLevelItemCount(), 2);
    QCOMPARE(list->rows().idAt(0), std::string("01A-00030000-00"));
    QCOMPARE(list->topLevelItem(1)->text(0), q("建築基準法施行令"));
}

QTEST_MAIN(TestNavigatorTools)
#include "test_navigator_tools.moc"
