// The navigator pane inside the main window, as the user drives it: the
// contents tree and the article list open pages in the text view, the
// history and article moves run from the toolbar and the keyboard and keep
// the navigator in step, the display toggles rebuild the page in place, the
// full-text search marks its words in an opened result and bookmarks reach
// their file at once. Pages are read through the web view.
#include "app/application.h"
#include "app/main_window.h"
#include "app/command_registry.h"
#include "app/qt_message_sink.h"
#include "document/navigation.h"
#include "navigator/gui/navigator_pane.h"
#include "navigator/gui/search_progress.h"
#include "navigator/gui/law_selector.h"
#include "navigator/gui/article_list_view.h"
#include "navigator/gui/page_list_view.h"
#include "navigator/gui/contents_tree_view.h"
#include "text/sjis.h"
#include "textview/gui/law_text_view.h"
#include "gui_test_support.h"
#include "textview/gui/page_search_window.h"
#include "qtsupport/qt_text.h"
#include "textview/gui/quick_copy_action.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QWebEnginePage>

#include <fstream>
#include <memory>
#include <sstream>

using namespace tavrel;
using namespace tavrel::gui;

using tavrel::testing::bodyText;
using tavrel::testing::evaluate;
using tavrel::testing::waitForText;

namespace {

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Runs fn on the modal dialog of type T as soon as it is open (modal
// dialogs run their own event loop); a dialog left open is closed after a
// while so that a failing test cannot hang.
template <typename T, typename Fn>
void whenModal(QObject* context, Fn fn) {
    auto* timer = new QTimer(context);
    auto* clock = new QElapsedTimer;
    clock->start();
    QObject::connect(timer, &QTimer::timeout, context, [timer, clock, fn]() {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            delete clock;
            fn(dialog);
            if (dialog->isVisible()) dialog->reject();
        } else if (clock->elapsed() > 20000) {
            timer->stop();
            timer->deleteLater();
            delete clock;
        }
    });
    timer->start(50);
}

constexpr const char* kFirst = "01A-00010000-00";
constexpr const char* kSecond = "01A-00020000-00";
// An article with many bracketed phrases (shown in full at once).
constexpr const char* kBrackets = "01A-00270000-00";

}  // namespace

class TestNavigationWindow : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();

    void expandingALawAndPickingAnArticleShowsIt();
    void movesFromTheToolbarAndTheKeysKeepTheTreeInStep();
    void bracketToggleRebuildsThePageWithoutAHistoryEntry();
    void listTabStartsOnTheRememberedArticlesLaw();
    void searchResultOpensWithItsWordsMarked();
    void bookmarksAreAddedAndDeletedWithTheFileWrittenAtOnce();
    void inPageSearchMarksTheWordsAndRemembersTheText();
    void quickCopyCutsALongSelectionAndTellsOnce();

  private:
    void startApp();
    LawTextView* view() const { return program_.view(); }
    MainWindow* frame() const { return program_.frame(); }
    NavigatorPane* nav() const { return frame()->navigator(); }
    QAction* command(const char* name) const { return frame()->commands().byName(QLatin1String(name)); }
    void clickToolButton(const char* name) {
        auto* bar = frame()->findChild<QToolBar*>(QStringLiteral("toolBar"));
        QWidget* button = bar ? bar->widgetForAction(command(name)) : nullptr;
        QVERIFY(button);
        QTest::mouseClick(button, Qt::LeftButton);
    }
    // Waits until the view shows the page and it has loaded.
    bool waitForPage(const char* id);
    void openFromTree(const char* id);

    testing::SampleProgram program_;
};

void TestNavigationWindow::init() { program_.prepare(); }

void TestNavigationWindow::cleanup() { program_.finish(); }

void TestNavigationWindow::startApp() {
    program_.start();
    program_.activate();
}

bool TestNavigationWindow::waitForPage(const char* id) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 20000 && view()->currentPageId() != id) QTest::qWait(50);
    if (view()->currentPageId() != id) return false;
    // The page on screen is the one asked for: its anchors name it.
    const QString probe = QStringLiteral("location.href");
    while (t.elapsed() < 20000) {
        if (evaluate(view()->page(), probe).toString().contains(QLatin1String(id), Qt::CaseInsensitive) &&
            evaluate(view()->page(), QStringLiteral("document.readyState")).toString() == QLatin1String("complete"))
            return true;
        QTest::qWait(100);
    }
    return false;
}

void TestNavigationWindow::openFromTree(const char* id) {
    nav()->selectTab(NavigatorPane::TabContents);
    ContentsTreeView* tree = nav()->tree();
    QTreeWidgetItem* item = tree->findItem(id);
    QVERIFY(item);
    for (QTreeWidgetItem* p = item->parent(); p; p = p->parent()) tree->expandItem(p);
    tree->scrollToItem(item);
    // On its text: the column is as wide as the longest division name, wider
    // than the pane, so the middle of the row may lie outside the view.
    const QRect row = tree->visualItemRect(item);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, QPoint(row.left() + 24, row.center().y()));
}

void TestNavigationWindow::expandingALawAndPickingAnArticleShowsIt() {
    startApp();
    ContentsTreeView* tree = nav()->tree();
    QVERIFY(tree->topLevelItemCount() > 0);
    QTreeWidgetItem* law = tree->findItem("01A");
    QVERIFY(law);
    // A law node opens nothing; the text view stays on the cover.
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(law).center());
    QCOMPARE(view()->currentPageId(), std::string("00A-Z0010000-00"));
    QVERIFY(program_.app()->messages().shown().empty());

    tree->expandItem(law);
    QVERIFY(law->isExpanded());
    openFromTree(kFirst);
    QVERIFY(waitForPage(kFirst));
    QVERIFY(waitForText(view(), QStringLiteral("【目的】")));
    QVERIFY(frame()->pageCaptionText().contains(QStringLiteral("建築基準法")));
    // The cover was left for it: back is possible now.
    QVERIFY(command("back")->isEnabled());
    QVERIFY(!command("previous")->isEnabled());  // the first article of the collection
    QVERIFY(command("next")->isEnabled());
}

void TestNavigationWindow::movesFromTheToolbarAndTheKeysKeepTheTreeInStep() {
    program_.writeSetting(QStringLiteral("Settings-2008/Synchro"), 1);
    startApp();
    openFromTree(kFirst);
    QVERIFY(waitForPage(kFirst));

    clickToolButton("next");
    QVERIFY(waitForPage(kSecond));
    QCOMPARE(nav()->tree()->selectedId(), std::string(kSecond));  // synchronised
    QVERIFY(command("previous")->isEnabled());
    clickToolButton("previous");
    QVERIFY(waitForPage(kFirst));
    QCOMPARE(nav()->tree()->selectedId(), std::string(kFirst));

    // cover -> first -> second -> first: back goes to the second page, and
    // forward returns.
    clickToolButton("back");
    QVERIFY(waitForPage(kSecond));
    QVERIFY(command("forward")->isEnabled());
    clickToolButton("forward");
    QVERIFY(waitForPage(kFirst));
    QVERIFY(!command("forward")->isEnabled());

    // The keys: Left and Right move through the history while the focus is
    // not in the tree; Down in the article list opens the next article.
    nav()->selectTab(NavigatorPane::TabList);
    ArticleListView* list = nav()->articleList();
    QCOMPARE(list->selectedId(), std::string(kFirst));  // the list follows the page shown
    QTest::keyClick(list, Qt::Key_Left);
    QVERIFY(waitForPage(kSecond));
    QTest::keyClick(list, Qt::Key_Right);
    QVERIFY(waitForPage(kFirst));
    QTest::keyClick(list, Qt::Key_Down);
    QVERIFY(waitForPage(kSecond));
    QVERIFY(waitForText(view(), QStringLiteral("【用語の定義】")));
    // In the tree Left stays in the tree.
    nav()->selectTab(NavigatorPane::TabContents);
    QTest::keyClick(nav()->tree(), Qt::Key_Left);
    QCOMPARE(view()->currentPageId(), std::string(kSecond));
}

void TestNavigationWindow::bracketToggleRebuildsThePageWithoutAHistoryEntry() {
    program_.writeSetting(QStringLiteral("Settings-2008/Brachet"), 1);
    startApp();
    openFromTree(kBrackets);
    QVERIFY(waitForPage(kBrackets));
    QVERIFY(command("brachet")->isChecked());
    const QString coloured = QStringLiteral("document.querySelectorAll('span[style*=\"background-color\"]').length");
    QTRY_VERIFY_WITH_TIMEOUT(evaluate(view()->page(), coloured).toInt() > 0, 15000);
    const size_t back = program_.app()->navigation()->backList().size();
    const int loads = view()->loadsFinished();

    clickToolButton("brachet");
    QVERIFY(!command("brachet")->isChecked());
    QTRY_VERIFY_WITH_TIMEOUT(view()->loadsFinished() > loads, 15000);
    QCOMPARE(view()->currentPageId(), std::string(kBrackets));
    QTRY_COMPARE_WITH_TIMEOUT(evaluate(view()->page(), coloured).toInt(), 0, 15000);
    QCOMPARE(program_.app()->navigation()->backList().size(), back);

    clickToolButton("brachet");
    QVERIFY(command("brachet")->isChecked());
    QTRY_VERIFY_WITH_TIMEOUT(evaluate(view()->page(), coloured).toInt() > 0, 15000);
    QCOMPARE(program_.app()->navigation()->backList().size(), back);
}

void TestNavigationWindow::listTabStartsOnTheRememberedArticlesLaw() {
    // Starting on the list with the cover shown: the remembered article's law.
    program_.writeSetting(QStringLiteral("Settings-2008/CurIDFN"), QStringLiteral("01B-00010000-00"));
    program_.writeSetting(QStringLiteral("Settings-2008/TabPage"), 1);
    startApp();
    QCOMPARE(view()->currentPageId(), std::string("00A-Z0010000-00"));
    QCOMPARE(nav()->currentTab(), int(NavigatorPane::TabList));
    QCOMPARE(nav()->lawSelector()->selectedId(), std::string("01B"));
    QCOMPARE(nav()->articleList()->shownLaw(), std::string("01B"));
    QVERIFY(nav()->articleList()->topLevelItemCount() > 0);
    frame()->close();
    program_.stop();

    // Starting on the tree with that article shown again: switching to the
    // list brings the list to the article's law and row.
    program_.writeSetting(QStringLiteral("Settings-2008/TabPage"), 0);
    program_.writeSetting(QStringLiteral("Settings-2008/Synchro"), 1);
    program_.writeSetting(QStringLiteral("Settings-2008/CurIDFN"), QStringLiteral("01B-00010000-00"));
    program_.writeSetting(QStringLiteral("Records/Version"), 808);
    startApp();
    QVERIFY(waitForPage("01B-00010000-00"));
    QCOMPARE(nav()->tree()->selectedId(), std::string("01B-00010000-00"));
    QVERIFY(!nav()->tabIsSetUp(NavigatorPane::TabList));
    QTest::keyClick(nav()->tree(), Qt::Key_PageDown, Qt::ControlModifier);
    QCOMPARE(nav()->currentTab(), int(NavigatorPane::TabList));
    QCOMPARE(nav()->lawSelector()->selectedId(), std::string("01B"));
    QCOMPARE(nav()->articleList()->selectedId(), std::string("01B-00010000-00"));
    // 同期 is off while the search and bookmark tabs are shown.
    QVERIFY(command("synchro")->isEnabled());
    nav()->selectTab(NavigatorPane::TabSearch);
    QVERIFY(!command("synchro")->isEnabled());
}

void TestNavigationWindow::searchResultOpensWithItsWordsMarked() {
    startApp();
    nav()->selectTab(NavigatorPane::TabSearch);
    QLineEdit* edit = nav()->searchWords()->lineEdit();
    QVERIFY(edit);
    edit->insert(QStringLiteral("建築物　敷地"));
    QTest::mouseClick(nav()->searchButton(), Qt::LeftButton);
    // The index may still be read in the background: the search then runs
    // once it is ready.
    QTRY_VERIFY(!nav()->searchWaiting());

    PageListView* results = nav()->resultList();
    const int rows = results->topLevelItemCount();
    QVERIFY(rows > 0);
    QCOMPARE(program_.app()->messages().shown().size(), size_t(1));
    QCOMPARE(program_.app()->messages().shown()[0].caption, QStringLiteral("検索結果"));
    QCOMPARE(program_.app()->messages().shown()[0].text, QStringLiteral("%1件見つかりました。").arg(rows));
    QCOMPARE(nav()->searchWords()->itemText(0), QStringLiteral("建築物　敷地"));
    QVERIFY(!nav()->searchProgress().window());

    // The list takes the focus on its first row; Enter opens it.
    const std::string id = results->rows().idAt(0);
    results->setFocus();
    QTRY_COMPARE(results->selectedRow(), 0);
    QTest::keyClick(results, Qt::Key_Return);
    QVERIFY(waitForPage(id.c_str()));
    // Both words are marked in the page, each hit in its own colour span.
    const QString marked = QStringLiteral(
        "Array.from(document.querySelectorAll('span[data-tavrel-mark]')).map(s => s.textContent).join('|')");
    QTRY_VERIFY2_WITH_TIMEOUT(
        evaluate(view()->page(), marked).toString().contains(QStringLiteral("建築物")),
        qPrintable(QStringLiteral("page %1, marks '%2', loads %3, tab %4")
                       .arg(QString::fromStdString(view()->currentPageId()), QString::fromStdString(view()->currentMarks()))
                       .arg(view()->loadsFinished())
                       .arg(nav()->currentTab())),
        30000);
    const QString texts = evaluate(view()->page(), marked).toString();
    QVERIFY2(texts.contains(QStringLiteral("敷地")), qPrintable(texts));
    QCOMPARE(view()->currentMarks(), SJ("建築物　敷地"));

    // With the emphasis switched off the result is shown again unmarked.
    QTest::mouseClick(nav()->emphasisBox(), Qt::LeftButton, {}, QPoint(6, nav()->emphasisBox()->height() / 2));
    QVERIFY(!nav()->emphasise());
    QTRY_COMPARE_WITH_TIMEOUT(
        evaluate(view()->page(), QStringLiteral("document.querySelectorAll('span[data-tavrel-mark]').length")).toInt(),
        0, 15000);
    QCOMPARE(view()->currentPageId(), id);

    // The hidden code opens the hidden page instead of searching.
    edit->clear();
    edit->insert(QStringLiteral("7310582946"));
    QTest::mouseClick(nav()->searchButton(), Qt::LeftButton);
    QVERIFY(waitForPage("00A-Z0000000-00"));
    QCOMPARE(results->topLevelItemCount(), rows);
}

void TestNavigationWindow::bookmarksAreAddedAndDeletedWithTheFileWrittenAtOnce() {
    startApp();
    openFromTree(kSecond);
    QVERIFY(waitForPage(kSecond));
    nav()->selectTab(NavigatorPane::TabBookmarks);
    PageListView* list = nav()->bookmarkList();
    QCOMPARE(list->topLevelItemCount(), 0);
    QTest::mouseClick(nav()->addBookmarkButton(), Qt::LeftButton);
    QCOMPARE(list->topLevelItemCount(), 1);
    QCOMPARE(list->topLevelItem(0)->text(0), QStringLiteral("建築基準法"));
    QCOMPARE(list->selectedRow(), 0);
    const std::string file = nav()->bookmarkStore().filePath();
    QCOMPARE(readAll(file), std::string("VERSION 8.08\r\n") + kSecond + ", book_mark_root\r\n\r\n");

    // A fixed page is not bookmarked.
    command("cover")->trigger();
    QVERIFY(waitForPage("00A-Z0010000-00"));
    QTest::mouseClick(nav()->addBookmarkButton(), Qt::LeftButton);
    QCOMPARE(list->topLevelItemCount(), 1);

    // Selecting the bookmark opens its page; 削除 empties the list and the file.
    QCOMPARE(list->selectedRow(), 0);
    QTest::keyClick(list, Qt::Key_Return);
    QVERIFY(waitForPage(kSecond));
    QTest::mouseClick(nav()->deleteBookmarkButton(), Qt::LeftButton);
    QCOMPARE(list->topLevelItemCount(), 0);
    QCOMPARE(readAll(file), std::string("VERSION 8.08\r\n\r\n"));
}

void TestNavigationWindow::inPageSearchMarksTheWordsAndRemembersTheText() {
    startApp();
    openFromTree(kFirst);
    QVERIFY(waitForPage(kFirst));
    QWidget* surface = view()->focusProxy();
    QVERIFY(surface);
    surface->setFocus();

    // The dialog is modal: it is driven from inside its own event loop.
    QString opened, result, second;
    bool findEnabledEmpty = true;
    int marks = -1;
    whenModal<PageSearchWindow>(this, [&](PageSearchWindow* dialog) {
        opened = dialog->words()->text();
        findEnabledEmpty = dialog->findButton()->isEnabled();
        dialog->words()->setText(QStringLiteral("建築物　敷地"));
        QTest::mouseClick(dialog->findButton(), Qt::LeftButton);
        result = dialog->result()->isVisible() ? dialog->result()->text() : QString();
        marks = evaluate(view()->page(), QStringLiteral("document.querySelectorAll('span[data-tavrel-mark]').length"))
                    .toInt();
        dialog->reject();
    });
    QTest::keyClick(surface, Qt::Key_F, Qt::ControlModifier);
    QCOMPARE(opened, QString());
    QVERIFY(!findEnabledEmpty);  // nothing to search for yet
    QCOMPARE(result, QStringLiteral("%1個見つかりました。").arg(marks));
    QVERIFY(marks >= 2);
    QCOMPARE(view()->currentMarks(), SJ("建築物　敷地"));
    QCOMPARE(program_.app()->navigation()->lastSearchText(), SJ("建築物　敷地"));

    // Opening it again takes the marks off first and starts from the text.
    whenModal<PageSearchWindow>(this, [&](PageSearchWindow* dialog) {
        second = dialog->words()->text();
        marks = evaluate(view()->page(), QStringLiteral("document.querySelectorAll('span[data-tavrel-mark]').length"))
                    .toInt();
        dialog->reject();
    });
    command("search")->trigger();
    QCOMPARE(second, QStringLiteral("建築物　敷地"));
    QCOMPARE(marks, 0);
    QVERIFY(view()->currentMarks().empty());

    // The context menu's 反転マークのクリア takes marks off as well.
    whenModal<PageSearchWindow>(this, [&](PageSearchWindow* dialog) {
        QTest::mouseClick(dialog->findButton(), Qt::LeftButton);
        dialog->reject();
    });
    command("search")->trigger();
    const QString count = QStringLiteral("document.querySelectorAll('span[data-tavrel-mark]').length");
    QVERIFY(evaluate(view()->page(), count).toInt() >= 2);
    command("clearMarks")->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(evaluate(view()->page(), count).toInt(), 0, 15000);
    QVERIFY(view()->currentMarks().empty());
}

void TestNavigationWindow::quickCopyCutsALongSelectionAndTellsOnce() {
    startApp();
    openFromTree(kBrackets);
    QVERIFY(waitForPage(kBrackets));
    evaluate(view()->page(), QStringLiteral("window.getSelection().selectAllChildren(document.body); 1"));
    QTRY_VERIFY_WITH_TIMEOUT(view()->page()->selectedText().size() > 300, 15000);

    int notices = 0;
    auto answerNotice = [&](bool tick) {
        whenModal<QuickCopyNotice>(this, [&, tick](QuickCopyNotice* notice) {
            ++notices;
            if (tick) QTest::mouseClick(notice->doNotShowAgain(), Qt::LeftButton, {}, QPoint(6, 6));
            notice->accept();
        });
    };
    answerNotice(false);
    QWidget* surface = view()->focusProxy();
    surface->setFocus();
    QTest::keyClick(surface, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(notices, 1);
    const std::string copied = toCp932(QApplication::clipboard()->text());
    QVERIFY(copied.size() == 516 || copied.size() == 515);
    QVERIFY(copied.ends_with(" ..."));

    // Ticked once, the notice stays away.
    answerNotice(true);
    command("quickCopy")->trigger();
    QCOMPARE(notices, 2);
    QCOMPARE(program_.app()->settings().readInt("Settings-2008", "ClipChk", 0), 1);
    answerNotice(false);
    command("quickCopy")->trigger();
    QTest::qWait(50);
    QCOMPARE(notices, 2);
    QVERIFY(toCp932(QApplication::clipboard()->text()).ends_with(" ..."));
}

int main(int argc, char** argv) {
    prepareWebEngine();
    QApplication app(argc, argv);
    TestNavigationWindow test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_navigation_window.moc"
