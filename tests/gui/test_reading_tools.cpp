// The reading tools in the real window: F3 / Shift+F3 step through the
// marked words of the page with "n/N件" in the status bar, 「引用付きでコピー」
// puts the selection with its citation on the clipboard, and the manual
// names every command of the window and every option of the options dialog.
#include "app/application.h"
#include "app/command_registry.h"
#include "app/main_window.h"
#include "app/options_dialog.h"
#include "document/options.h"
#include "document/settings_store.h"
#include "gui_test_support.h"
#include "qtsupport/qt_text.h"
#include "textview/gui/law_text_view.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace tavrel;
using namespace tavrel::gui;

using tavrel::testing::SampleProgram;
using tavrel::testing::evaluate;
using tavrel::testing::waitForText;

namespace {

// Selects the text of the page from the first occurrence of `from` to the end
// of the first occurrence of `to` after it (each inside one text node).
bool selectBetween(LawTextView* view, const QString& from, const QString& to) {
    const QString script = QStringLiteral(
        "(function(f,t){function find(s,after){var w=document.createTreeWalker(document.body,NodeFilter.SHOW_TEXT);"
        "var n,seen=!after;while((n=w.nextNode())){if(!seen){if(n===after){seen=true;}else{continue;}}"
        "var i=n.data.indexOf(s);if(i>=0){return {node:n,at:i};}}return null;}"
        "var a=find(f,null);if(!a){return false;}var b=find(t,a.node);if(!b){return false;}"
        "var r=document.createRange();r.setStart(a.node,a.at);r.setEnd(b.node,b.at+t.length);"
        "var s=window.getSelection();s.removeAllRanges();s.addRange(r);return true;})('%1','%2')")
                               .arg(from, to);
    return evaluate(view->page(), script).toBool();
}

// The outlined (current) hit: its text and whether it lies inside the view.
QString currentHit(LawTextView* view) {
    return evaluate(view->page(),
                    QStringLiteral("(function(){var s=document.querySelector('span[data-tavrel-current]');if(!s){return '';}"
                                   "var r=s.getBoundingClientRect();"
                                   "return (r.top>=0&&r.bottom<=window.innerHeight?'in:':'out:')+s.getAttribute("
                                   "'data-tavrel-mark');})()"))
        .toString();
}

// The manual as the user reads it: the help page and every page of manual/,
// without their markup.
QString manualText(const QString& dataFolder, QStringList& pages) {
    QString all;
    QFile help(dataFolder + QStringLiteral("/help08.html"));
    if (help.open(QIODevice::ReadOnly)) {
        const QByteArray bytes = help.readAll();
        all += toQString(std::string(bytes.constData(), static_cast<size_t>(bytes.size())));
        pages << QStringLiteral("help08.html");
    }
    const QDir manual(dataFolder + QStringLiteral("/manual"));
    for (const QString& name : manual.entryList({QStringLiteral("*.html")}, QDir::Files, QDir::Name)) {
        QFile f(manual.filePath(name));
        if (f.open(QIODevice::ReadOnly)) all += QString::fromUtf8(f.readAll());
        pages << QStringLiteral("manual/") + name;
    }
    all.remove(QRegularExpression(QStringLiteral("<[^>]*>")));
    all.replace(QStringLiteral("&lt;"), QStringLiteral("<")).replace(QStringLiteral("&gt;"), QStringLiteral(">"));
    return all.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
}

// A command or control text as the manual writes it: without the mnemonic
// "(&X)" or "&", the trailing "..." and a key named in brackets at the end
// ("（Ctrl+F）"), which the manual lists with the keys.
QString plainText(QString text) {
    text.remove(QRegularExpression(QStringLiteral("\\(&.\\)")));
    text.remove(QLatin1Char('&'));
    text.remove(QRegularExpression(QStringLiteral("(\\.\\.\\.|（[^（）]*\\+?[A-Za-z0-9]+[^（）]*）)$")));
    return text.trimmed();
}

}  // namespace

class TestReadingTools : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();

    void f3StepsThroughTheHitsInPageOrder();
    void copyWithCitationNamesTheFirstAndLastSentence();
    void manualNamesEveryCommandAndOption();

  private:
    void showArticle6();
    LawTextView* view() const { return program_.view(); }
    MainWindow* frame() const { return program_.frame(); }

    SampleProgram program_;
};

void TestReadingTools::init() { program_.prepare(); }

void TestReadingTools::cleanup() { program_.finish(); }

void TestReadingTools::showArticle6() {
    const int loads = view()->loadsFinished();
    QVERIFY(view()->showPage("01A-00060000-00"));
    QTRY_VERIFY_WITH_TIMEOUT(view()->loadsFinished() > loads, 15000);
    QVERIFY(waitForText(view(), QStringLiteral("確認済証")));
}

void TestReadingTools::f3StepsThroughTheHitsInPageOrder() {
    program_.start();
    showArticle6();
    const int count = view()->markWords(toCp932(QStringLiteral("確認済証")), 0);
    QVERIFY2(count >= 3, qPrintable(QString::number(count)));
    // The hits as they stand in the page (the marking numbers them from the end).
    const QStringList order =
        evaluate(view()->page(),
                 QStringLiteral("(function(){var o=[],s=document.querySelectorAll('span[data-tavrel-mark]');"
                                "for(var i=0;i<s.length;i++){var k=s[i].getAttribute('data-tavrel-mark');"
                                "if(o.indexOf(k)<0){o.push(k);}}return o.join(',');})()"))
            .toString()
            .split(QLatin1Char(','));
    QCOMPARE(order.size(), count);

    frame()->activateWindow();
    QTRY_VERIFY(QApplication::activeWindow() == frame());
    view()->focusPage();
    QWidget* surface = view()->focusProxy() ? view()->focusProxy() : view();
    const QString total = QString::number(count);
    QTest::keyClick(surface, Qt::Key_F3);
    QCOMPARE(frame()->statusBar()->currentMessage(), QStringLiteral("1/%1件").arg(total));
    QTRY_COMPARE(currentHit(view()), QStringLiteral("in:") + order.first());
    QTest::keyClick(surface, Qt::Key_F3);
    QCOMPARE(frame()->statusBar()->currentMessage(), QStringLiteral("2/%1件").arg(total));
    QTRY_COMPARE(currentHit(view()), QStringLiteral("in:") + order.at(1));
    // Back past the first goes round to the last, which is scrolled into view.
    QTest::keyClick(surface, Qt::Key_F3, Qt::ShiftModifier);
    QTest::keyClick(surface, Qt::Key_F3, Qt::ShiftModifier);
    QCOMPARE(frame()->statusBar()->currentMessage(), QStringLiteral("%1/%1件").arg(total));
    QTRY_COMPARE(currentHit(view()), QStringLiteral("in:") + order.last());

    // Without marks F3 says nothing and outlines nothing.
    view()->markWords(view()->currentMarks(), 1);
    frame()->statusBar()->clearMessage();
    QTest::keyClick(surface, Qt::Key_F3);
    QVERIFY(frame()->statusBar()->currentMessage().isEmpty());
    QCOMPARE(currentHit(view()), QString());
}

void TestReadingTools::copyWithCitationNamesTheFirstAndLastSentence() {
    program_.start();
    showArticle6();
    QAction* copy = frame()->commands().byName(QStringLiteral("copyWithCitation"));
    QVERIFY(copy);
    QCOMPARE(copy->text(), QStringLiteral("引用付きでコピー"));

    // Within item 二 of paragraph 1.
    const QString item2 = QStringLiteral("前号に掲げる建築物を除くほか");
    QVERIFY(selectBetween(view(), item2, item2));
    QTRY_VERIFY(view()->page()->hasSelection());
    QApplication::clipboard()->clear();
    copy->trigger();
    QTRY_COMPARE(QApplication::clipboard()->text(), item2 + QStringLiteral("（建築基準法第6条第1項第二号）"));

    // From paragraph 1 to paragraph 3: the first and the last sentence.
    QVERIFY(selectBetween(view(), QStringLiteral("建築主は、"), QStringLiteral("当該申請書を受理することができない。")));
    QApplication::clipboard()->clear();
    copy->trigger();
    const QString text = QApplication::clipboard()->text();
    QVERIFY2(text.startsWith(QStringLiteral("建築主は、")), qPrintable(text));
    QVERIFY2(text.endsWith(QStringLiteral("当該申請書を受理することができない。（建築基準法第6条第1項～第3項）")),
             qPrintable(text.right(60)));
}

void TestReadingTools::manualNamesEveryCommandAndOption() {
    program_.start();
    QStringList pages;
    const QString manual = manualText(program_.dataFolder(), pages);
    QVERIFY2(pages.size() >= 2, "the manual pages are missing from the data folder");

    QStringList missing;
    for (QAction* a : frame()->commands().all()) {
        const QString name = plainText(a->text());
        if (!manual.contains(name)) missing << a->objectName() + QLatin1Char('=') + name;
    }
    MemorySettingsStore store;
    OptionsDialog dialog(defaultOptionBlock(), defaultOptionBlock(), store, {});
    QStringList controls;
    for (QLabel* l : dialog.findChildren<QLabel*>()) controls << l->text();
    for (QAbstractButton* b : dialog.findChildren<QAbstractButton*>()) controls << b->text();
    for (QGroupBox* g : dialog.findChildren<QGroupBox*>()) controls << g->title();
    int options = 0;
    for (const QString& c : controls) {
        const QString name = plainText(c);
        if (name.isEmpty()) continue;
        ++options;
        if (!manual.contains(name)) missing << QStringLiteral("option=") + name;
    }
    QVERIFY2(options >= 25, qPrintable(QString::number(options)));
    QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QStringLiteral(", "))));

    // Every picture and page the manual points to is there.
    for (const QString& page : pages) {
        QFile f(program_.dataFolder() + QLatin1Char('/') + page);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QString html = page.endsWith(QStringLiteral("help08.html")) ? QString::fromLatin1(f.readAll())
                                                                          : QString::fromUtf8(f.readAll());
        const QString folder = QFileInfo(f.fileName()).absolutePath();
        auto refs = QRegularExpression(QStringLiteral("(?:src|href)=\"([^\"#:]+)")).globalMatch(html);
        while (refs.hasNext()) {
            const QString target = refs.next().captured(1);
            QVERIFY2(QFile::exists(folder + QLatin1Char('/') + target), qPrintable(page + QStringLiteral(" -> ") + target));
        }
    }
}

int main(int argc, char** argv) {
    prepareWebEngine();
    QApplication app(argc, argv);
    TestReadingTools test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_reading_tools.moc"
