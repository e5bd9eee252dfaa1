// Pinpoint markers in the running program: a link with a default marker
// shows its target scrolled to the marked sentence with the marker image,
// a click or a resize takes the image away, marked anchors are coloured,
// and the selective jump list of a right-clicked link records the user's
// pick (and its removal) in the user marker file at once.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QMenu>
#include <QTest>
#include <QWebEnginePage>

#include <memory>
#include <sqlite3.h>

#include "app/application.h"
#include "citations/citation_index.h"
#include "app/main_window.h"
#include "app/command_registry.h"
#include "document/document.h"
#include "document/options.h"
#include "textview/gui/law_text_view.h"
#include "gui_test_support.h"
#include "textview/gui/jump_list.h"
#include "textview/gui/pinpoint_view.h"

using namespace tavrel;
using namespace tavrel::gui;

using tavrel::testing::bodyText;
using tavrel::testing::evaluate;
using tavrel::testing::waitForText;

namespace {

// The sample collection's 令第107条 links to 法第2条 with a default marker on
// item 7 of its first paragraph.
const char* const kSourcePage = "01B-01070000-00";
const char* const kTargetPage = "01A-00020000-00";
const char* const kLinkTail = "-to-01A-00020000-r01";

// The id of the first anchor whose id ends with tail.
QString anchorIdEndingWith(LawTextView* view, const QString& tail) {
    return evaluate(view->page(), QStringLiteral("(function(){var a=[...document.getElementsByTagName('a')].find("
                                                 "x=>x.id&&x.id.endsWith('%1'));return a?a.id:'';})()")
                                      .arg(tail))
        .toString();
}

// Brings the anchor into view and gives its centre in client coordinates
// once the scrolled page is on the screen.
QPoint anchorCentre(LawTextView* view, const QString& id) {
    evaluate(view->page(), QStringLiteral("(function(){var a=document.getElementById('%1');"
                                          "if(a)a.scrollIntoView({block:'center'});})()")
                               .arg(id));
    QTest::qWait(250);
    const QVariantList r =
        evaluate(view->page(), QStringLiteral("(function(){var a=document.getElementById('%1');if(!a)return [];"
                                              "var r=a.getClientRects()[0];"
                                              "return [r.left+r.width/2, r.top+r.height/2];})()")
                                   .arg(id))
            .toList();
    return r.size() == 2 ? QPoint(r[0].toInt(), r[1].toInt()) : QPoint(-1, -1);
}

bool markerShown(LawTextView* view) {
    return evaluate(view->page(), QStringLiteral("!!document.getElementById('pin-point-image')")).toBool();
}

// Where the sentence stands and where the marker image is, against the
// window: [sentence top in the window, window height, image top - sentence
// top, image left - sentence left, image loaded, scrolled to the end].
QVariantList markerGeometry(LawTextView* view, const std::string& idBN) {
    return evaluate(view->page(),
                    QStringLiteral("(function(){var id='%1';var e=document.getElementsByName(id)[0]||"
                                   "document.getElementById(id);var m=document.getElementById('pin-point-image');"
                                   "if(!e||!m)return [];var r=e.getBoundingClientRect(),q=m.getBoundingClientRect();"
                                   "var end=window.scrollY>=document.documentElement.scrollHeight-window.innerHeight-1;"
                                   "return [r.top, window.innerHeight, Math.round(q.top-r.top),"
                                   "Math.round(q.left-r.left), m.complete&&m.naturalWidth==11, end];})()")
                        .arg(QString::fromStdString(idBN)))
        .toList();
}

// The page a sentence stands on: its article and page number.
std::string pageOf(const std::string& idBN) { return idBN.substr(0, 12) + "-" + idBN.substr(13, 2); }

bool waitForPage(LawTextView* view, const std::string& id) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 20000) {
        if (view->currentPageId() == id && !view->pinPoint()->loadPending() &&
            evaluate(view->page(), QStringLiteral("document.readyState")).toString() == QLatin1String("complete"))
            return true;
        QTest::qWait(50);
    }
    return false;
}

}  // namespace

class TestPinPointGui : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void markedLinkJumpsToTheSentenceWithTheMarkerImage();
    void resizeTakesTheMarkerImageAway();
    void jumpListPickBecomesTheUsersMarkerAndPageTopRemovesIt();
    void pinPointOffMeansNoJumpNoColourAndTheOrdinaryMenu();
    void middleClickOnTheNextPageKeepsTheMarkers();
    void citedByLineOpensTheCitingSentenceAndTheToggleHidesTheBlock();
    void aCollectionWithoutTheIndexGetsItsBlockFromTheBackground();

private:
    LawTextView* view() const { return program_.view(); }
    Document& doc() const { return program_.doc(); }
    QWidget* surface() const { return view()->focusProxy(); }
    void showSource();
    QString userMarkerFile() const { return QString::fromStdString(doc().userMarkerFilePath()); }
    QByteArray userMarkers() const {
        QFile f(userMarkerFile());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    JumpList* rightClickAnchor(const QString& id);
    void leftClick(const QPoint& at) {
        QTest::mouseMove(surface(), at);
        QTest::qWait(100);
        QTest::mouseClick(surface(), Qt::LeftButton, {}, at);
    }

    testing::SampleProgram program_;
};

void TestPinPointGui::init() { program_.prepare(); }

void TestPinPointGui::cleanup() { program_.finish(); }

void TestPinPointGui::showSource() {
    QVERIFY(view()->showPage(kSourcePage));
    QVERIFY(waitForPage(view(), kSourcePage));
    QTest::qWait(500);
}

JumpList* TestPinPointGui::rightClickAnchor(const QString& id) {
    const QPoint at = anchorCentre(view(), id);
    if (at.x() < 0) return nullptr;
    QTest::qWait(100);
    QTest::mouseMove(surface(), at);
    QTest::mouseClick(surface(), Qt::RightButton, {}, at);
    JumpList* list = view()->pinPoint()->jumpList();
    QElapsedTimer t;
    t.start();
    while (!list->isVisible() && t.elapsed() < 10000) QTest::qWait(50);
    return list->isVisible() ? list : nullptr;
}

void TestPinPointGui::markedLinkJumpsToTheSentenceWithTheMarkerImage() {
    program_.start();
    showSource();
    const QString anchor = anchorIdEndingWith(view(), QLatin1String(kLinkTail));
    QCOMPARE(anchor.size(), 55);
    const std::string sentence = doc().findMarker(true, anchor.toStdString());
    QCOMPARE(sentence.size(), size_t(35));

    // The marked link's anchor carries the pinpoint colour.
    const QString hex = QString::fromStdString(colorToHtml(doc().options()[FontColorPinPoint]));
    QTRY_VERIFY_WITH_TIMEOUT(evaluate(view()->page(), QStringLiteral("document.getElementById('%1').style.cssText")
                                                          .arg(anchor))
                                 .toString()
                                 .contains(QStringLiteral("background")),
                             10000);
    const QString background =
        evaluate(view()->page(),
                 QStringLiteral("getComputedStyle(document.getElementById('%1')).backgroundColor").arg(anchor))
            .toString();
    const QColor expected(QLatin1Char('#') + hex);
    QCOMPARE(background, QStringLiteral("rgb(%1, %2, %3)").arg(expected.red()).arg(expected.green()).arg(expected.blue()));

    leftClick(anchorCentre(view(), anchor));
    QVERIFY2(waitForPage(view(), pageOf(sentence)), view()->currentPageId().c_str());
    QTRY_VERIFY_WITH_TIMEOUT(markerShown(view()), 10000);
    QTRY_VERIFY_WITH_TIMEOUT(markerGeometry(view(), sentence).value(4).toBool(), 10000);
    const QVariantList g = markerGeometry(view(), sentence);
    QCOMPARE(g.size(), 6);
    // About 30 % below the top of the pane (unless the page ends first).
    const double top = g[0].toDouble(), height = g[1].toDouble();
    QVERIFY2(std::abs(top - 0.3 * height) <= 2 || (g[5].toBool() && top > 0.3 * height),
             qPrintable(QStringLiteral("sentence at %1 of %2").arg(top).arg(height)));
    QCOMPARE(g[2].toInt(), -10);
    QVERIFY(std::abs(g[3].toInt()) <= 1);

    // A click anywhere in the page takes the image away.
    leftClick(QPoint(view()->width() - 30, view()->height() - 30));
    QTRY_VERIFY_WITH_TIMEOUT(!markerShown(view()), 10000);
    QVERIFY(!view()->pinPoint()->tools().pinImageShown());
}

void TestPinPointGui::resizeTakesTheMarkerImageAway() {
    program_.start();
    showSource();
    const QString anchor = anchorIdEndingWith(view(), QLatin1String(kLinkTail));
    QVERIFY(!anchor.isEmpty());
    leftClick(anchorCentre(view(), anchor));
    QVERIFY2(waitForPage(view(), pageOf(doc().findMarker(true, anchor.toStdString()))), view()->currentPageId().c_str());
    QTRY_VERIFY_WITH_TIMEOUT(markerShown(view()), 10000);
    program_.frame()->resize(program_.frame()->width() + 60, program_.frame()->height() + 20);
    QTRY_VERIFY_WITH_TIMEOUT(!markerShown(view()), 10000);
}

void TestPinPointGui::jumpListPickBecomesTheUsersMarkerAndPageTopRemovesIt() {
    program_.start();
    showSource();
    const QString anchor = anchorIdEndingWith(view(), QLatin1String(kLinkTail));
    QVERIFY(!anchor.isEmpty());
    const std::string defaultMarker = doc().findMarker(true, anchor.toStdString());

    JumpList* dlg = rightClickAnchor(anchor);
    QVERIFY(dlg);
    QListWidget* list = dlg->list();
    QVERIFY(list->count() > 2);
    QCOMPARE(list->item(0)->text(), QStringLiteral("頁トップ"));
    QCOMPARE(list->item(0)->data(Qt::UserRole).toString(), QLatin1String(kTargetPage));
    // The default marker is the current choice, and the deeper items are
    // indented with ideographic spaces.
    QCOMPARE(list->currentItem()->data(Qt::UserRole).toString().toStdString(), defaultMarker);
    bool indented = false;
    for (int i = 1; i < list->count(); ++i) indented |= list->item(i)->text().startsWith(QStringLiteral("　"));
    QVERIFY(indented);
    // Sized to its content, below the mouse.
    QVERIFY(dlg->height() <= JumpList::kMaximumHeight);
    QVERIFY(dlg->width() >= list->fontMetrics().horizontalAdvance(list->item(1)->text()));

    // Hovering selects; a click picks. The last item stands far down an
    // article that a plain display shows shortened: the pick shows it in
    // full, so that the jump finds the sentence.
    const int pickRow = list->count() - 1;
    const QString picked = list->item(pickRow)->data(Qt::UserRole).toString();
    QVERIFY(picked.toStdString() != defaultMarker);
    list->scrollToItem(list->item(pickRow));
    const QPoint itemAt = list->visualItemRect(list->item(pickRow)).center();
    QTest::mouseMove(list->viewport(), itemAt);
    QTRY_COMPARE(list->currentRow(), pickRow);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, itemAt);
    QTRY_VERIFY(!dlg->isVisible());
    QVERIFY(waitForPage(view(), picked.left(15).toStdString()));
    QTRY_VERIFY_WITH_TIMEOUT(markerShown(view()), 10000);
    QCOMPARE(markerGeometry(view(), picked.toStdString()).size(), 6);
    // Kept in the user's table and written at once.
    QCOMPARE(doc().findMarker(false, anchor.toStdString()), picked.toStdString());
    QVERIFY(userMarkers().contains((anchor + QStringLiteral(", ") + picked + QStringLiteral("\r\n")).toLatin1()));

    // With the user's table preferred, the pick is the current choice; the
    // page item takes the user's marker away again.
    doc().options()[PinPointPriority] = 0;
    showSource();
    dlg = rightClickAnchor(anchor);
    QVERIFY(dlg);
    list = dlg->list();
    QCOMPARE(list->currentItem()->data(Qt::UserRole).toString(), picked);
    const QPoint top = list->visualItemRect(list->item(0)).center();
    list->scrollToTop();
    QTest::mouseMove(list->viewport(), top);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
    QTRY_VERIFY(!dlg->isVisible());
    QVERIFY(waitForPage(view(), kTargetPage));
    QVERIFY(doc().findMarker(false, anchor.toStdString()).empty());
    QVERIFY(!userMarkers().contains(anchor.toLatin1()));
    // The default marker still applies to the link.
    QVERIFY(!markerShown(view()));
    showSource();
    leftClick(anchorCentre(view(), anchor));
    QVERIFY(waitForPage(view(), pageOf(defaultMarker)));
    QTRY_VERIFY_WITH_TIMEOUT(markerGeometry(view(), defaultMarker).size() == 6, 10000);
}

void TestPinPointGui::pinPointOffMeansNoJumpNoColourAndTheOrdinaryMenu() {
    program_.start();
    program_.frame()->commands().byName(QStringLiteral("pinPoint"))->trigger();
    QVERIFY(!doc().toggles().pinPoint);
    showSource();
    const QString anchor = anchorIdEndingWith(view(), QLatin1String(kLinkTail));
    QVERIFY(!anchor.isEmpty());
    QTest::qWait(300);
    QCOMPARE(evaluate(view()->page(), QStringLiteral("document.getElementById('%1').style.cssText").arg(anchor))
                 .toString(),
             QString());

    const QPoint at = anchorCentre(view(), anchor);
    QTest::mouseMove(surface(), at);
    QTest::mouseClick(surface(), Qt::RightButton, {}, at);
    QMenu* menu = nullptr;
    QTRY_VERIFY_WITH_TIMEOUT(
        (menu = program_.frame()->findChild<QMenu*>(QStringLiteral("pageContextMenu"))) && menu->isVisible(), 10000);
    QVERIFY(!view()->pinPoint()->jumpList()->isVisible());
    menu->close();

    leftClick(anchorCentre(view(), anchor));
    QVERIFY(waitForPage(view(), kTargetPage));
    QTest::qWait(300);
    QVERIFY(!markerShown(view()));
    QVERIFY(!view()->pinPoint()->tools().pinImageShown());
}

// A marked link clicked, then a link of the new page middle-clicked before
// any click on it: the old anchor's markers must not be taken for stale
// (the user's one used to go, with its file rewritten).
void TestPinPointGui::middleClickOnTheNextPageKeepsTheMarkers() {
    program_.start();
    showSource();
    const QString anchor = anchorIdEndingWith(view(), QLatin1String(kLinkTail));
    QVERIFY(!anchor.isEmpty());
    const std::string sentence = doc().findMarker(true, anchor.toStdString());
    QVERIFY(!sentence.empty());
    QVERIFY(doc().addMarker(false, anchor.toStdString(), sentence));
    QVERIFY(doc().saveUserMarkers());
    const QByteArray userFile = userMarkers();
    QVERIFY(userFile.contains(anchor.toLatin1()));

    leftClick(anchorCentre(view(), anchor));
    QVERIFY2(waitForPage(view(), pageOf(sentence)), view()->currentPageId().c_str());
    QTRY_VERIFY_WITH_TIMEOUT(markerShown(view()), 10000);
    // A page link of this page into another article.
    const QString other =
        evaluate(view()->page(), QStringLiteral("(function(){var a=[...document.links].find(l=>{"
                                                "var h=(l.getAttribute('href')||'').toUpperCase();"
                                                "return h.indexOf('_TAVREL')>=0&&h.indexOf('%1')<0;});"
                                                "if(!a)return '';if(!a.id)a.id='middle-click-probe';return a.id;})()")
                                     .arg(QString::fromStdString(sentence.substr(0, 12))))
            .toString();
    QVERIFY(!other.isEmpty());
    const QPoint at = anchorCentre(view(), other);
    QTest::mouseMove(surface(), at);
    QTest::qWait(100);
    QTest::mouseClick(surface(), Qt::MiddleButton, {}, at);
    QTRY_VERIFY_WITH_TIMEOUT(view()->currentPageId().compare(0, 12, sentence, 0, 12) != 0, 15000);

    QCOMPARE(doc().findMarker(false, anchor.toStdString()), sentence);
    QCOMPARE(doc().findMarker(true, anchor.toStdString()), sentence);
    QCOMPARE(userMarkers(), userFile);
}

void TestPinPointGui::citedByLineOpensTheCitingSentenceAndTheToggleHidesTheBlock() {
    program_.start();
    // 建築基準法第6条 is cited by 第7条第2項 (among others).
    QVERIFY(view()->showPage("01A-00060000-00"));
    QVERIFY(waitForPage(view(), "01A-00060000-00"));
    const std::string sentence = "01A-00070000-00-0200-0000-0000-0000";
    const QString anchor =
        evaluate(view()->page(), QStringLiteral("(function(){var a=document.querySelector('a[id^=\"cited-by-%1\"]');"
                                                "return a?a.id:'';})()")
                                     .arg(QString::fromStdString(sentence)))
            .toString();
    QVERIFY2(!anchor.isEmpty(), "no line for the citing sentence");
    leftClick(anchorCentre(view(), anchor));
    QVERIFY2(waitForPage(view(), "01A-00070000-00"), view()->currentPageId().c_str());
    QTRY_VERIFY_WITH_TIMEOUT(markerGeometry(view(), sentence).value(4).toBool(), 10000);
    const QVariantList g = markerGeometry(view(), sentence);
    const double top = g[0].toDouble(), height = g[1].toDouble();
    QVERIFY2(std::abs(top - 0.3 * height) <= 2 || (g[5].toBool() && top > 0.3 * height),
             qPrintable(QStringLiteral("sentence at %1 of %2").arg(top).arg(height)));

    // The toolbar toggle takes the block away on the same page.
    QVERIFY(bodyText(view()).contains(QStringLiteral("被引用（")));
    QAction* toggle = program_.frame()->commands().byName(QStringLiteral("citedBy"));
    QVERIFY(toggle->isChecked());
    toggle->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(!bodyText(view()).contains(QStringLiteral("被引用（")), 15000);
    QCOMPARE(view()->currentPageId(), std::string("01A-00070000-00"));
    QVERIFY(!doc().citedByShown());
}

void TestPinPointGui::aCollectionWithoutTheIndexGetsItsBlockFromTheBackground() {
    {
        sqlite3* db = nullptr;
        QCOMPARE(sqlite3_open((program_.dataFolder() + QStringLiteral("/TL2008.orl")).toUtf8().constData(), &db), SQLITE_OK);
        QCOMPARE(sqlite3_exec(db, "DROP TABLE T_被引用", nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
    }
    program_.start();
    QVERIFY(!doc().hasCitationTable());
    QVERIFY(view()->showPage("01A-00060000-00"));
    QVERIFY(waitForPage(view(), "01A-00060000-00"));
    // Once the index has come, the shown page is built again with its block.
    QTRY_VERIFY_WITH_TIMEOUT(doc().citationIndex() != nullptr, 20000);
    QTRY_VERIFY_WITH_TIMEOUT(bodyText(view()).contains(QStringLiteral("建築基準法 第7条第2項")), 20000);
    QCOMPARE(view()->currentPageId(), std::string("01A-00060000-00"));
}

int main(int argc, char** argv) {
    prepareWebEngine();
    QApplication app(argc, argv);
    TestPinPointGui test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_pinpoint_gui.moc"
