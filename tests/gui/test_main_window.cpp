// The main window as the user sees it: started on a copy of the sample
// collection, it shows the cover page, follows page links, keeps its
// placement and divider, and obeys the keyboard rules.
#include "app/application.h"
#include "app/main_window.h"
#include "app/command_registry.h"
#include "app/qt_message_sink.h"
#include "document/navigation.h"
#include "document/options.h"
#include "document/settings_store.h"
#include "navigator/gui/navigator_pane.h"
#include "navigator/gui/contents_tree_view.h"
#include "textview/gui/law_text_view.h"
#include "gui_test_support.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QProcess>
#include <QSettings>
#include <QSignalSpy>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QWebEnginePage>

#include <cmath>
#include <memory>

using namespace tavrel;
using namespace tavrel::gui;

using tavrel::testing::bodyText;
using tavrel::testing::evaluate;
using tavrel::testing::waitForText;

namespace {

// Runs a script in the page and waits for its result.

// Waits until the page on screen contains the text.

}  // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();

    void startsOnTheCoverWithTheFixedCaptionAndDefaultLayout();
    void clickingAPageLinkShowsTheTargetAndRecordsTheCover();
    void fixedPageCommandsAndArrowKeys();
    void ctrlPageDownWrapsRoundTheTabs();
    void closingStoresPageWindowAndDivider();
    void storedDividerAndMaximisedWindowAreRestored();
    void malformedDividerIsIgnored();
    void windowCannotShrinkBelowTheMinimum();
    void rightDragShowsArrowAndGoesBack();
    void splittingTheRightSideRemembersItsDivider();
    void largePageIsShownInFullOnItsLinkWithoutHistory();
    void secondStartLeavesOneCopy();
    void splashClosesOnItsOwnAndSwallowsTheFirstKey();
    void missingHelpFileIsReportedAndAlwaysOnTopToggles();
    void navigatorRequestsOpenPagesInTheView();
    void rightClickOpensTheMenuHoverDescribesTheLink();
    void openMenusKeepTheirArrowsAndTheMenuKeyOpensThePageMenu();
    void pageTextIsSetInTheGothicFaceAndNumbersInTheCenturyLikeOne();

  private:
    LawTextView* view() const { return program_.view(); }
    MainWindow* frame() const { return program_.frame(); }

    testing::SampleProgram program_;
};

void TestMainWindow::init() { program_.prepare(); }

void TestMainWindow::cleanup() { program_.finish(); }

void TestMainWindow::startsOnTheCoverWithTheFixedCaptionAndDefaultLayout() {
    program_.start();
    QCOMPARE(frame()->windowTitle(), QStringLiteral("Tavrel ソラテ 平成20年度版"));
    QCOMPARE(frame()->size(), QSize(800, 600));
    QCOMPARE(frame()->mainSplitter()->sizes().value(0), 300);
    QCOMPARE(view()->currentPageId(), std::string("00A-Z0010000-00"));
    // The page arrived through the page scheme as Shift-JIS and reads right.
    QVERIFY(waitForText(view(), QStringLiteral("建築基準法")));
    QCOMPARE(evaluate(view()->page(), QStringLiteral("document.characterSet")).toString(), QStringLiteral("Shift_JIS"));
    // Its images are served from the image folder.
    QTRY_VERIFY_WITH_TIMEOUT(
        evaluate(view()->page(),
                 QStringLiteral("Array.from(document.images).length > 0 && "
                                "Array.from(document.images).every(i => i.complete && i.naturalWidth > 0)"))
            .toBool(),
        15000);
    // Nothing to go back to yet, and the message sink stayed silent.
    QVERIFY(!frame()->commands().byName(QStringLiteral("back"))->isEnabled());
    QVERIFY(program_.app()->messages().shown().empty());
    const QStringList buttons = [this] {
        QStringList names;
        for (const char* n : {"previous", "next", "back", "forward", "synchro", "refer", "brachet", "alwaysOnTop",
                              "pinPoint", "citedBy", "designData", "print"})
            names << frame()->commands().byName(QLatin1String(n))->iconText();
        return names;
    }();
    QCOMPARE(buttons, (QStringList{QStringLiteral("前へ"), QStringLiteral("次へ"), QStringLiteral("戻る"),
                                   QStringLiteral("進む"), QStringLiteral("同期"), QStringLiteral("参照"),
                                   QStringLiteral("括弧"), QStringLiteral("手前"), QStringLiteral("狙撃"),
                                   QStringLiteral("被引用"), QStringLiteral("資料"), QStringLiteral("印刷")}));
}

void TestMainWindow::clickingAPageLinkShowsTheTargetAndRecordsTheCover() {
    program_.start();
    QVERIFY(waitForText(view(), QStringLiteral("建築基準法")));
    // Where the first law's link sits on the screen.
    const QVariantList rect =
        evaluate(view()->page(),
                 QStringLiteral("(function(){var a=[...document.links].find(l=>"
                                "l.getAttribute('href').toUpperCase().indexOf('01A-00010000_TAVREL')>=0);"
                                "a.scrollIntoView();var r=a.getBoundingClientRect();"
                                "return [r.left+r.width/2, r.top+r.height/2];})()"))
            .toList();
    QCOMPARE(rect.size(), 2);
    const QPoint at(rect[0].toInt(), rect[1].toInt());
    QWidget* surface = view()->focusProxy();
    QVERIFY(surface);
    QTest::mouseClick(surface, Qt::LeftButton, {}, at);
    QTRY_COMPARE_WITH_TIMEOUT(view()->currentPageId(), std::string("01A-00010000-00"), 15000);
    QVERIFY(waitForText(view(), QStringLiteral("【目的】")));
    // The cover was recorded: back is possible, and the caption names the page.
    QTRY_VERIFY(frame()->commands().byName(QStringLiteral("back"))->isEnabled());
    QVERIFY(frame()->pageCaptionText().contains(QStringLiteral("建築基準法")));
    // The text view decided; the browser made no navigation of its own.
    QVERIFY(evaluate(view()->page(), QStringLiteral("location.href")).toString().startsWith(QStringLiteral("tavrel:")));

    frame()->commands().byName(QStringLiteral("back"))->trigger();
    QTRY_COMPARE(view()->currentPageId(), std::string("00A-Z0010000-00"));
    QVERIFY(frame()->commands().byName(QStringLiteral("forward"))->isEnabled());
}

void TestMainWindow::fixedPageCommandsAndArrowKeys() {
    program_.start();
    QVERIFY(waitForText(view(), QStringLiteral("建築基準法")));
    frame()->commands().byName(QStringLiteral("designData"))->trigger();
    QCOMPARE(view()->currentPageId(), std::string("00A-Z0090000-00"));
    frame()->commands().byName(QStringLiteral("cover"))->trigger();
    QCOMPARE(view()->currentPageId(), std::string("00A-Z0010000-00"));

    // Left arrow goes back, unless the focus is in the contents tree.
    program_.activate();
    QTest::keyClick(frame()->navigator()->tree(), Qt::Key_Left);
    QCOMPARE(view()->currentPageId(), std::string("00A-Z0010000-00"));
    frame()->navigator()->selectTab(1);
    QTest::keyClick(frame()->navigator()->tabs()->currentWidget(), Qt::Key_Left);
    QCOMPARE(view()->currentPageId(), std::string("00A-Z0090000-00"));
    QTest::keyClick(frame()->navigator()->tabs()->currentWidget(), Qt::Key_Right);
    QCOMPARE(view()->currentPageId(), std::string("00A-Z0010000-00"));
    // Ctrl with the arrows, as the prompts say, also from the tree.
    QTest::keyClick(frame()->navigator()->tree(), Qt::Key_Left, Qt::ControlModifier);
    QCOMPARE(view()->currentPageId(), std::string("00A-Z0090000-00"));
    QTest::keyClick(frame()->navigator()->tree(), Qt::Key_Right, Qt::ControlModifier);
    QCOMPARE(view()->currentPageId(), std::string("00A-Z0010000-00"));
}

void TestMainWindow::ctrlPageDownWrapsRoundTheTabs() {
    program_.start();
    program_.activate();
    NavigatorPane* nav = frame()->navigator();
    nav->selectTab(3);
    QTest::keyClick(nav->tabs()->currentWidget(), Qt::Key_PageDown, Qt::ControlModifier);
    QCOMPARE(nav->currentTab(), 0);
    QTest::keyClick(nav->tabs()->currentWidget(), Qt::Key_PageUp, Qt::ControlModifier);
    QCOMPARE(nav->currentTab(), 3);
}

void TestMainWindow::closingStoresPageWindowAndDivider() {
    program_.start();
    frame()->commands().byName(QStringLiteral("legend"))->trigger();
    QCOMPARE(view()->currentPageId(), std::string("00A-Z0020000-00"));
    frame()->mainSplitter()->setSizes({260, 540});
    const QRect normal = frame()->normalGeometry();
    frame()->close();
    program_.stop();

    QCOMPARE(program_.readSetting(QStringLiteral("Settings-2008/CurIDFN")).toString(),
             QStringLiteral("00A-Z0020000-00"));
    QCOMPARE(program_.readSetting(QStringLiteral("Settings-2008/SplitterPos1")).toString(), QStringLiteral("0:260:0"));
    const auto wp =
        parseWindowPos(program_.readSetting(QStringLiteral("Settings-2008/WindowPos")).toString().toStdString());
    QVERIFY(wp.has_value());
    QCOMPARE(normalRect(*wp), normal);
    QVERIFY(!placementMaximised(*wp));
    // The option block is written when the document goes away.
    QVERIFY(program_.readSetting(QStringLiteral("Settings-2008/ReviveLastPage")).isValid());
}

void TestMainWindow::storedDividerAndMaximisedWindowAreRestored() {
    program_.writeSetting(QStringLiteral("Settings-2008/SplitterPos1"), QStringLiteral("0:250:40"));
    const QRect normal(40, 30, 700, 520);
    program_.writeSetting(QStringLiteral("Settings-2008/WindowPos"),
                 QString::fromStdString(formatWindowPos(placementRecord(normal, true))));
    // The last page comes back when the settings know its form.
    program_.writeSetting(QStringLiteral("Settings-2008/CurIDFN"), QStringLiteral("00A-Z0020000-00"));
    program_.writeSetting(QStringLiteral("Records/Version"), 808);
    program_.start();
    QTRY_VERIFY(frame()->isMaximized());
    QCOMPARE(frame()->navigator()->minimumWidth(), 40);
    QCOMPARE(frame()->mainSplitter()->sizes().value(0), 250);
    QCOMPARE(view()->currentPageId(), std::string("00A-Z0020000-00"));
    frame()->close();
    program_.stop();
    const auto wp =
        parseWindowPos(program_.readSetting(QStringLiteral("Settings-2008/WindowPos")).toString().toStdString());
    QVERIFY(wp.has_value());
    QVERIFY(placementMaximised(*wp));
    QCOMPARE(normalRect(*wp), normal);
}

void TestMainWindow::malformedDividerIsIgnored() {
    program_.writeSetting(QStringLiteral("Settings-2008/SplitterPos1"), QStringLiteral("0:250"));
    program_.start();
    QCOMPARE(frame()->mainSplitter()->sizes().value(0), 300);
}

void TestMainWindow::windowCannotShrinkBelowTheMinimum() {
    program_.start();
    frame()->resize(300, 200);
    QCOMPARE(frame()->size(), QSize(600, 450));
}

namespace {
// Centre of the first link whose href contains part, in view coordinates.
QPoint linkCentre(LawTextView* view, const QString& part) {
    const QVariantList r =
        evaluate(view->page(), QStringLiteral("(function(){var a=[...document.links].find(l=>"
                                              "l.getAttribute('href').toUpperCase().indexOf('%1')>=0);"
                                              "if (!a) return [];a.scrollIntoView();var r=a.getClientRects()[0];"
                                              "return [r.left+r.width/2, r.top+r.height/2];})()")
                                   .arg(part))
            .toList();
    return r.size() == 2 ? QPoint(r[0].toInt(), r[1].toInt()) : QPoint(-1, -1);
}
bool arrowShown(LawTextView* view, const QString& image) {
    return evaluate(view->page(), QStringLiteral("(function(){var e=document.getElementById('move-direction-image');"
                                                 "return !!e && e.src.indexOf('%1')>=0 && e.complete && "
                                                 "e.naturalWidth==20;})()")
                                      .arg(image))
        .toBool();
}
}  // namespace

void TestMainWindow::rightDragShowsArrowAndGoesBack() {
    program_.start();
    QVERIFY(waitForText(view(), QStringLiteral("建築基準法")));
    frame()->commands().byName(QStringLiteral("legend"))->trigger();
    QVERIFY(waitForText(view(), QStringLiteral("凡例")));
    QTest::qWait(300);  // the page's script connects its channel
    QWidget* surface = view()->focusProxy();
    const QPoint start(view()->width() - 60, view()->height() - 40);
    QTest::mousePress(surface, Qt::RightButton, {}, start);
    QTest::mouseMove(surface, start + QPoint(-8, 0));
    QTest::mouseMove(surface, start + QPoint(-40, 2));
    // Back is available (the cover was left): the back arrow, served from the image folder.
    QTRY_VERIFY_WITH_TIMEOUT(arrowShown(view(), QStringLiteral("move_back.gif")), 10000);
    QTest::mouseRelease(surface, Qt::RightButton, {}, start + QPoint(-40, 2));
    QTRY_COMPARE_WITH_TIMEOUT(view()->currentPageId(), std::string("00A-Z0010000-00"), 10000);
    QVERIFY(!frame()->findChild<QMenu*>(QStringLiteral("pageContextMenu")) ||
            !frame()->findChild<QMenu*>(QStringLiteral("pageContextMenu"))->isVisible());

    // Forward is possible now, previous article is not: dragging up shows stop.
    QVERIFY(waitForText(view(), QStringLiteral("建築基準法")));
    QTest::qWait(300);
    QTest::mousePress(surface, Qt::RightButton, {}, start);
    QTest::mouseMove(surface, start + QPoint(0, -10));
    QTest::mouseMove(surface, start + QPoint(0, -40));
    QTRY_VERIFY_WITH_TIMEOUT(arrowShown(view(), QStringLiteral("move_stop.gif")), 10000);
    QTest::mouseRelease(surface, Qt::RightButton, {}, start + QPoint(0, -40));
    // Nothing is sent, the arrow goes away.
    QTRY_VERIFY_WITH_TIMEOUT(
        evaluate(view()->page(), QStringLiteral("!document.getElementById('move-direction-image')")).toBool(), 10000);
    QCOMPARE(view()->currentPageId(), std::string("00A-Z0010000-00"));
}

void TestMainWindow::splittingTheRightSideRemembersItsDivider() {
    program_.start();
    frame()->commands().byName(QStringLiteral("legend"))->trigger();
    QAction* split = frame()->commands().byName(QStringLiteral("dynamicSplit"));
    split->trigger();
    QVERIFY(frame()->isSplit());
    QSplitter* second = frame()->secondSplitter();
    QVERIFY(second);
    QCOMPARE(second->count(), 2);
    // The new upper view took over, showing the same page, and is the document's view.
    QCOMPARE(second->widget(0), static_cast<QWidget*>(view()));
    QCOMPARE(view()->currentPageId(), std::string("00A-Z0020000-00"));
    QVERIFY(waitForText(view(), QStringLiteral("凡例")));
    QTRY_COMPARE(second->sizes().value(0), 200);
    second->setSizes({150, second->height() - 150});
    const int moved = second->sizes().value(0);

    split->trigger();
    QVERIFY(!frame()->isSplit());
    QCOMPARE(program_.readSetting(QStringLiteral("Settings-2008/SplitterPos2")).toString(),
             QStringLiteral("0:%1:0").arg(moved));
    QCOMPARE(frame()->mainSplitter()->widget(1), static_cast<QWidget*>(view()));
    QCOMPARE(view()->currentPageId(), std::string("00A-Z0020000-00"));

    split->trigger();
    QTRY_COMPARE(frame()->secondSplitter()->sizes().value(0), moved);
    // The document's commands reach the view on screen.
    frame()->commands().byName(QStringLiteral("cover"))->trigger();
    QCOMPARE(view()->currentPageId(), std::string("00A-Z0010000-00"));
    frame()->commands().byName(QStringLiteral("back"))->trigger();
    QCOMPARE(view()->currentPageId(), std::string("00A-Z0020000-00"));
}

void TestMainWindow::largePageIsShownInFullOnItsLinkWithoutHistory() {
    program_.writeSetting(QStringLiteral("Settings-2008/CurIDFN"), QStringLiteral("01A-00020000-00"));
    program_.writeSetting(QStringLiteral("Records/Version"), 808);
    program_.start();
    const QString more = QStringLiteral("ココをクリックすると全文が表示されます");
    QVERIFY(waitForText(view(), more));
    QTest::qWait(300);
    const QPoint link = linkCentre(view(), QStringLiteral("01A-00020000_TAVREL"));
    QVERIFY(link.x() >= 0);
    QTest::mouseClick(view()->focusProxy(), Qt::LeftButton, {}, link);
    QElapsedTimer t;
    t.start();
    while (bodyText(view()).contains(more) && t.elapsed() < 20000) QTest::qWait(100);
    QVERIFY(!bodyText(view()).contains(more));
    QVERIFY(bodyText(view()).contains(QStringLiteral("用語の定義")));
    QCOMPARE(view()->currentPageId(), std::string("01A-00020000-00"));
    // A redisplay: nothing to go back to, and no wait box left behind.
    QVERIFY(program_.app()->navigation()->backList().empty());
    QTRY_VERIFY(!frame()->findChild<QDialog*>(QStringLiteral("waitBox")));
    QVERIFY(program_.app()->messages().shown().empty());
}

void TestMainWindow::secondStartLeavesOneCopy() {
    // A copy of the program under a name of its own, so that no other
    // running copy answers.
    const QString program =
        program_.dataFolder() + QStringLiteral("/tavrel-test-%1").arg(QCoreApplication::applicationPid());
    QVERIFY(QFile::copy(QStringLiteral(TAVREL_BINARY_DIR) + QStringLiteral("/bin/tavrel"), program));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), program_.path(QStringLiteral("home")));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), program_.path(QStringLiteral("home/.config")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), program_.path(QStringLiteral("home/.local/share")));
    QProcess first, second;
    first.setProcessEnvironment(env);
    second.setProcessEnvironment(env);
    first.start(program, {QStringLiteral("--no-splash")});
    QVERIFY(first.waitForStarted());
    // The first copy is up once it answers on its socket.
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty()) user = qEnvironmentVariable("USERNAME");
    const QString name = QFileInfo(program).completeBaseName() + QLatin1Char('-') + user;
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            QLocalSocket probe;
            probe.connectToServer(name);
            return probe.waitForConnected(200);
        }(),
        30000);
    second.start(program, {QStringLiteral("--no-splash")});
    QVERIFY(second.waitForFinished(30000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QCOMPARE(first.state(), QProcess::Running);
    first.kill();
    first.waitForFinished(10000);
}

void TestMainWindow::splashClosesOnItsOwnAndSwallowsTheFirstKey() {
    program_.start(true, 600000);
    QPointer<QWidget> splash = frame()->findChild<QWidget*>(QStringLiteral("splash"));
    QVERIFY(splash);
    QVERIFY(splash->isVisible());
    program_.activate();
    // The first key closes the splash and does nothing else.
    frame()->commands().byName(QStringLiteral("legend"))->trigger();
    QVERIFY(frame()->commands().byName(QStringLiteral("back"))->isEnabled());
    QWidget* list = frame()->navigator()->tabs()->widget(1);
    frame()->navigator()->selectTab(1);
    QVERIFY(splash && splash->isVisible());
    QTest::keyClick(list, Qt::Key_Left);
    QTRY_VERIFY(!splash || !splash->isVisible());
    QCOMPARE(view()->currentPageId(), std::string("00A-Z0020000-00"));
    QTest::keyClick(list, Qt::Key_Left);
    QCOMPARE(view()->currentPageId(), std::string("00A-Z0010000-00"));
    cleanup();
    init();

    // Left alone, it goes away by itself.
    program_.start(true);
    splash = frame()->findChild<QWidget*>(QStringLiteral("splash"));
    QVERIFY(splash);
    QTRY_VERIFY_WITH_TIMEOUT(!splash, 10000);
}

void TestMainWindow::missingHelpFileIsReportedAndAlwaysOnTopToggles() {
    QVERIFY(QFile::remove(program_.dataFolder() + QStringLiteral("/help08.html")));
    program_.start();
    frame()->commands().byName(QStringLiteral("help"))->trigger();
    QCOMPARE(program_.app()->messages().shown().size(), size_t(1));
    QCOMPARE(program_.app()->messages().shown()[0].text,
             QStringLiteral("ソラテのヘルプファイルを\n開くことができませんでした。"));

    QAction* onTop = frame()->commands().byName(QStringLiteral("alwaysOnTop"));
    QVERIFY(!onTop->isChecked());
    const QRect before = frame()->geometry();
    onTop->trigger();
    QVERIFY(frame()->alwaysOnTop());
    QVERIFY(onTop->isChecked());
    QVERIFY(frame()->windowFlags() & Qt::WindowStaysOnTopHint);
    QTRY_VERIFY(frame()->isVisible());
    QCOMPARE(frame()->geometry(), before);
    onTop->trigger();
    QVERIFY(!(frame()->windowFlags() & Qt::WindowStaysOnTopHint));
    QVERIFY(!onTop->isChecked());
}

void TestMainWindow::navigatorRequestsOpenPagesInTheView() {
    program_.start();
    NavigatorPane* nav = frame()->navigator();
    emit nav->pageRequested(QStringLiteral("01A-00030000-00"));
    QCOMPARE(view()->currentPageId(), std::string("01A-00030000-00"));
    QVERIFY(waitForText(view(), QStringLiteral("適用の除外")));
    // A law or chapter node is no page.
    emit nav->pageRequested(QStringLiteral("01A"));
    QCOMPARE(view()->currentPageId(), std::string("01A-00030000-00"));
    // The cover was left for the article: back is possible.
    QVERIFY(frame()->commands().byName(QStringLiteral("back"))->isEnabled());

    // A search result shown with emphasis asks for it once the page is in
    // (on the search tab).
    nav->selectTab(NavigatorPane::TabSearch);
    QSignalSpy marking(view(), &LawTextView::highlightSearchWordsRequested);
    emit nav->searchResultRequested(QStringLiteral("01A-00010000-00"), true);
    QCOMPARE(view()->currentPageId(), std::string("01A-00010000-00"));
    QTRY_COMPARE_WITH_TIMEOUT(marking.count(), 1, 15000);
    QVERIFY(!view()->highlightAfterLoad);
    // The same result again is a redisplay: no new history entry.
    const size_t back = program_.app()->navigation()->backList().size();
    QSignalSpy shown(view(), &LawTextView::pageShown);
    emit nav->searchResultReshowRequested(QStringLiteral("01A-00010000-00"), false);
    QCOMPARE(shown.count(), 1);
    QCOMPARE(program_.app()->navigation()->backList().size(), back);
    QVERIFY(!view()->highlightAfterLoad);
}

void TestMainWindow::rightClickOpensTheMenuHoverDescribesTheLink() {
    program_.start();
    QVERIFY(waitForText(view(), QStringLiteral("建築基準法")));
    QTest::qWait(300);
    QWidget* surface = view()->focusProxy();
    const QPoint link = linkCentre(view(), QStringLiteral("01A-00010000_TAVREL"));
    QVERIFY(link.x() >= 0);
    QTest::mouseMove(surface, link);
    QTRY_VERIFY_WITH_TIMEOUT(!frame()->statusBar()->currentMessage().isEmpty(), 10000);
    // Law name, article label and caption instead of the address.
    QVERIFY2(frame()->statusBar()->currentMessage().endsWith(QStringLiteral(" 第1条 「目的」")),
             qPrintable(frame()->statusBar()->currentMessage()));

    const QPoint blank(view()->width() - 30, view()->height() - 30);
    QTest::mouseMove(surface, blank);
    QTest::mouseClick(surface, Qt::RightButton, {}, blank);
    QMenu* menu = nullptr;
    QTRY_VERIFY_WITH_TIMEOUT(
        (menu = frame()->findChild<QMenu*>(QStringLiteral("pageContextMenu"))) && menu->isVisible(), 10000);
    QStringList items;
    for (QAction* a : menu->actions()) items << (a->isSeparator() ? QStringLiteral("-") : a->text());
    QCOMPARE(items,
             (QStringList{QStringLiteral("前へ"), QStringLiteral("次へ"), QStringLiteral("戻る"),
                          QStringLiteral("進む"), QStringLiteral("-"), QStringLiteral("このページ内の検索（Ctrl+F）"),
                          QStringLiteral("次のマークへ（F3）"), QStringLiteral("前のマークへ（Shift+F3）"),
                          QStringLiteral("反転マークのクリア"), QStringLiteral("-"), QStringLiteral("ぷちコピー（Ctrl+C）"),
                          QStringLiteral("引用付きでコピー")}));
    // Nothing to go back to, no marks, no selection.
    for (const char* name : {"back", "clearMarks", "nextHit", "previousHit", "quickCopy", "copyWithCitation"})
        QVERIFY2(!frame()->commands().byName(QLatin1String(name))->isEnabled(), name);
    menu->close();
}

void TestMainWindow::openMenusKeepTheirArrowsAndTheMenuKeyOpensThePageMenu() {
    program_.start();
    program_.activate();
    for (const char* id : {"01A-00010000-00", "01A-00020000-00"}) {
        QVERIFY(view()->showPage(id));
        QTRY_COMPARE_WITH_TIMEOUT(
            evaluate(view()->page(), QStringLiteral("location.href")).toString().contains(QLatin1String(id)), true,
            20000);
    }
    const std::string shown = view()->currentPageId();
    QVERIFY(frame()->commands().byName(QStringLiteral("back"))->isEnabled());

    // Left and Right in an open menu (opened while the page has the focus)
    // move between the menus of the bar.
    QWidget* surface = view()->focusProxy();
    view()->focusPage();
    QTRY_COMPARE(QApplication::focusWidget(), surface);
    const QList<QAction*> menus = frame()->menuBar()->actions();
    QVERIFY(menus.size() >= 2);
    frame()->menuBar()->setActiveAction(menus[0]);
    QTRY_COMPARE(QApplication::activePopupWidget(), static_cast<QWidget*>(menus[0]->menu()));
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Right);
    QTRY_COMPARE(QApplication::activePopupWidget(), static_cast<QWidget*>(menus[1]->menu()));
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Left);
    QTRY_COMPARE(QApplication::activePopupWidget(), static_cast<QWidget*>(menus[0]->menu()));
    QCOMPARE(view()->currentPageId(), shown);
    QApplication::activePopupWidget()->close();
    QTRY_VERIFY(!QApplication::activePopupWidget());

    // The context-menu key and Shift+F10 in the page open the page's menu,
    // whose arrows are its own too.
    for (const QKeyCombination key : {QKeyCombination(Qt::Key_Menu), QKeyCombination(Qt::ShiftModifier, Qt::Key_F10)}) {
        view()->focusPage();
        QTRY_COMPARE(QApplication::focusWidget(), surface);
        QTest::keyClick(surface, key.key(), key.keyboardModifiers());
        QMenu* menu = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT(
            (menu = frame()->findChild<QMenu*>(QStringLiteral("pageContextMenu"))) && menu->isVisible(), 10000);
        QVERIFY(QRect(view()->mapToGlobal(QPoint(0, 0)), view()->size()).contains(menu->pos()));
        QTest::keyClick(menu, Qt::Key_Down);
        QVERIFY(menu->activeAction());
        QTest::keyClick(menu, Qt::Key_Left);
        QTest::qWait(200);
        QCOMPARE(view()->currentPageId(), shown);
        QVERIFY(menu->isVisible());
        menu->close();
        QTRY_VERIFY(!QApplication::activePopupWidget());
    }

    // With everything closed the page's Left goes back again.
    view()->focusPage();
    QTRY_COMPARE(QApplication::focusWidget(), surface);
    QTest::keyClick(surface, Qt::Key_Left);
    QTRY_COMPARE(view()->currentPageId(), std::string("01A-00010000-00"));
}

// The pages ask for the Windows faces by name; the text must come out in
// IPA P Gothic, and the article numbers in TeX Gyre Schola (with IPA P
// Mincho for their kanji), not in the browser's standard Mincho face. Each
// probe is laid out in the page, with the page's faces, and measured.
void TestMainWindow::pageTextIsSetInTheGothicFaceAndNumbersInTheCenturyLikeOne() {
    program_.start();
    QVERIFY(view()->showPage("01A-00010000-00"));
    QVERIFY(waitForText(view(), QStringLiteral("【目的】")));
    const QString measure = QStringLiteral(
        "(function(){var out=[];"
        "[['','あいうえお建築物ABCxyz0123'],['IPAPGothic','あいうえお建築物ABCxyz0123'],"
        "['IPAPMincho','あいうえお建築物ABCxyz0123'],"
        "[\"'Century','ＭＳ Ｐ明朝'\",'第1234条の56'],[\"'TeX Gyre Schola',IPAPMincho\",'第1234条の56'],"
        "['IPAPMincho','第1234条の56']].forEach(function(p){"
        "var s=document.createElement('span');s.style.whiteSpace='nowrap';"
        "if(p[0])s.style.fontFamily=p[0];s.textContent=p[1];document.body.appendChild(s);"
        "out.push(s.getBoundingClientRect().width);s.remove();});return out;})()");
    QVariantList w;
    const auto same = [](const QVariant& a, const QVariant& b) { return std::abs(a.toDouble() - b.toDouble()) < 0.01; };
    // Faces load on first use: give them a moment.
    QTRY_VERIFY_WITH_TIMEOUT((w = evaluate(view()->page(), measure).toList()).size() == 6 && same(w[0], w[1]) &&
                                 same(w[3], w[4]),
                             5000);
    // The probes tell the faces apart.
    QVERIFY(!same(w[1], w[2]));
    QVERIFY(!same(w[4], w[5]));
}

int main(int argc, char** argv) {
    prepareWebEngine();
    QApplication app(argc, argv);
    TestMainWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_main_window.moc"
