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
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QMenu>
#include <QPointer>
#include <QProcess>
#include <QSettings>
#include <QSignalSpy>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEnginePage>

#include <memory>

using namespace tavrel;
using namespace tavrel::gui;

using tavrel::testing::bodyText;
using tavrel::testing::copyFolder;
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

  private:
    void startApp(bool splash = false, int splashMilliseconds = 750);
    LawTextView* view() const { return app_->mainWindow()->textView(); }
    MainWindow* frame() const { return app_->mainWindow(); }
    void writeSetting(const QString& key, const QVariant& value) {
        QSettings s(settingsFile_, QSettings::IniFormat);
        s.setValue(key, value);
    }
    QVariant readSetting(const QString& key) const {
        QSettings s(settingsFile_, QSettings::IniFormat);
        return s.value(key);
    }

    std::unique_ptr<QTemporaryDir> dir_;
    QString dataFolder_;
    QString settingsFile_;
    std::unique_ptr<TavrelApplication> app_;
};

void TestMainWindow::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    dataFolder_ = dir_->filePath(QStringLiteral("bin"));
    const QString built = QStringLiteral(TAVREL_BINARY_DIR) + QStringLiteral("/bin");
    QVERIFY2(QFile::exists(built + QStringLiteral("/TL2008.orl")), "the sample collection has not been built");
    QDir().mkpath(dataFolder_);
    for (const char* name : {"TL2008.orl", "default.ppj", "help08.html"})
        QVERIFY(QFile::copy(built + QLatin1Char('/') + QLatin1String(name),
                            dataFolder_ + QLatin1Char('/') + QLatin1String(name)));
    QVERIFY(copyFolder(built + QStringLiteral("/images08"), dataFolder_ + QStringLiteral("/images08")));
    settingsFile_ = dir_->filePath(QStringLiteral("settings.ini"));
}

void TestMainWindow::cleanup() {
    app_.reset();
    dir_.reset();
}

void TestMainWindow::startApp(bool splash, int splashMilliseconds) {
    StartOptions o;
    o.executableFolder = dataFolder_;
    o.userDataFolder = dir_->filePath(QStringLiteral("user"));
    o.splash = splash;
    o.splashMilliseconds = splashMilliseconds;
    o.answerMessagesInAdvance = true;
    o.settingsFile = settingsFile_;
    app_ = std::make_unique<TavrelApplication>(o);
    QVERIFY(app_->start());
    QVERIFY(QTest::qWaitForWindowExposed(frame()));
}

void TestMainWindow::startsOnTheCoverWithTheFixedCaptionAndDefaultLayout() {
    startApp();
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
    QVERIFY(app_->messages().shown().empty());
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
    startApp();
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
    startApp();
    QVERIFY(waitForText(view(), QStringLiteral("建築基準法")));
    frame()->commands().byName(QStringLiteral("designData"))->trigger();
    QCOMPARE(view()->currentPageId(), std::string("00A-Z0090000-00"));
    frame()->commands().byName(QStringLiteral("cover"))->trigger();
    QCOMPARE(view()->currentPageId(), std::string("00A-Z0010000-00"));

    // Left arrow goes back, unless the focus is in the contents tree.
    frame()->activateWindow();
    QTRY_VERIFY(QApplication::activeWindow() == frame());
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
    startApp();
    frame()->activateWindow();
    QTRY_VERIFY(QApplication::activeWindow() == frame());
    NavigatorPane* nav = frame()->navigator();
    nav->selectTab(3);
    QTest::keyClick(nav->tabs()->currentWidget(), Qt::Key_PageDown, Qt::ControlModifier);
    QCOMPARE(nav->currentTab(), 0);
    QTest::keyClick(nav->tabs()->currentWidget(), Qt::Key_PageUp, Qt::ControlModifier);
    QCOMPARE(nav->currentTab(), 3);
}

void TestMainWindow::closingStoresPageWindowAndDivider() {
    startApp();
    frame()->commands().byName(QStringLiteral("legend"))->trigger();
    QCOMPARE(view()->currentPageId(), std::string("00A-Z0020000-00"));
    frame()->mainSplitter()->setSizes({260, 540});
    const QRect normal = frame()->normalGeometry();
    frame()->close();
    app_.reset();

    QCOMPARE(readSetting(QStringLiteral("Settings-2008/CurIDFN")).toString(), QStringLiteral("00A-Z0020000-00"));
    QCOMPARE(readSetting(QStringLiteral("Settings-2008/SplitterPos1")).toString(), QStringLiteral("0:260:0"));
    const auto wp = parseWindowPos(readSetting(QStringLiteral("Settings-2008/WindowPos")).toString().toStdString());
    QVERIFY(wp.has_value());
    QCOMPARE(normalRect(*wp), normal);
    QVERIFY(!placementMaximised(*wp));
    // The option block is written when the document goes away.
    QVERIFY(readSetting(QStringLiteral("Settings-2008/ReviveLastPage")).isValid());
}

void TestMainWindow::storedDividerAndMaximisedWindowAreRestored() {
    writeSetting(QStringLiteral("Settings-2008/SplitterPos1"), QStringLiteral("0:250:40"));
    const QRect normal(40, 30, 700, 520);
    writeSetting(QStringLiteral("Settings-2008/WindowPos"),
                 QString::fromStdString(formatWindowPos(placementRecord(normal, true))));
    // The last page comes back when the settings know its form.
    writeSetting(QStringLiteral("Settings-2008/CurIDFN"), QStringLiteral("00A-Z0020000-00"));
    writeSetting(QStringLiteral("Records/Version"), 808);
    startApp();
    QTRY_VERIFY(frame()->isMaximized());
    QCOMPARE(frame()->navigator()->minimumWidth(), 40);
    QCOMPARE(frame()->mainSplitter()->sizes().value(0), 250);
    QCOMPARE(view()->currentPageId(), std::string("00A-Z0020000-00"));
    frame()->close();
    app_.reset();
    const auto wp = parseWindowPos(readSetting(QStringLiteral("Settings-2008/WindowPos")).toString().toStdString());
    QVERIFY(wp.has_value());
    QVERIFY(placementMaximised(*wp));
    QCOMPARE(normalRect(*wp), normal);
}

void TestMainWindow::malformedDividerIsIgnored() {
    writeSetting(QStringLiteral("Settings-2008/SplitterPos1"), QStringLiteral("0:250"));
    startApp();
    QCOMPARE(frame()->mainSplitter()->sizes().value(0), 300);
}

void TestMainWindow::windowCannotShrinkBelowTheMinimum() {
    startApp();
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
    startApp();
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
    startApp();
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
    QCOMPARE(readSetting(QStringLiteral("Settings-2008/SplitterPos2")).toString(), QStringLiteral("0:%1:0").arg(moved));
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
    writeSetting(QStringLiteral("Settings-2008/CurIDFN"), QStringLiteral("01A-00020000-00"));
    writeSetting(QStringLiteral("Records/Version"), 808);
    startApp();
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
    QVERIFY(app_->navigation()->backList().empty());
    QTRY_VERIFY(!frame()->findChild<QDialog*>(QStringLiteral("waitBox")));
    QVERIFY(app_->messages().shown().empty());
}

void TestMainWindow::secondStartLeavesOneCopy() {
    // A copy of the program under a name of its own, so that no other
    // running copy answers.
    const QString program = dataFolder_ + QStringLiteral("/tavrel-test-%1").arg(QCoreApplication::applicationPid());
    QVERIFY(QFile::copy(QStringLiteral(TAVREL_BINARY_DIR) + QStringLiteral("/bin/tavrel"), program));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), dir_->filePath(QStringLiteral("home")));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir_->filePath(QStringLiteral("home/.config")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), dir_->filePath(QStringLiteral("home/.local/share")));
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
    startApp(true, 600000);
    QPointer<QWidget> splash = frame()->findChild<QWidget*>(QStringLiteral("splash"));
    QVERIFY(splash);
    QVERIFY(splash->isVisible());
    frame()->activateWindow();
    QTRY_VERIFY(QApplication::activeWindow() == frame());
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
    startApp(true);
    splash = frame()->findChild<QWidget*>(QStringLiteral("splash"));
    QVERIFY(splash);
    QTRY_VERIFY_WITH_TIMEOUT(!splash, 10000);
}

void TestMainWindow::missingHelpFileIsReportedAndAlwaysOnTopToggles() {
    QVERIFY(QFile::remove(dataFolder_ + QStringLiteral("/help08.html")));
    startApp();
    frame()->commands().byName(QStringLiteral("help"))->trigger();
    QCOMPARE(app_->messages().shown().size(), size_t(1));
    QCOMPARE(app_->messages().shown()[0].text,
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
    startApp();
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
    const size_t back = app_->navigation()->backList().size();
    QSignalSpy shown(view(), &LawTextView::pageShown);
    emit nav->searchResultReshowRequested(QStringLiteral("01A-00010000-00"), false);
    QCOMPARE(shown.count(), 1);
    QCOMPARE(app_->navigation()->backList().size(), back);
    QVERIFY(!view()->highlightAfterLoad);
}

void TestMainWindow::rightClickOpensTheMenuHoverDescribesTheLink() {
    startApp();
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
                          QStringLiteral("反転マークのクリア"), QStringLiteral("ぷちコピー（Ctrl+C）")}));
    // Nothing to go back to, no marks, no selection.
    QVERIFY(!frame()->commands().byName(QStringLiteral("back"))->isEnabled());
    QVERIFY(!frame()->commands().byName(QStringLiteral("clearMarks"))->isEnabled());
    QVERIFY(!frame()->commands().byName(QStringLiteral("quickCopy"))->isEnabled());
    menu->close();
}

int main(int argc, char** argv) {
    prepareWebEngine();
    QApplication app(argc, argv);
    TestMainWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_main_window.moc"
