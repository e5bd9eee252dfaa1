// Printing from the text view: the preview window opens on the shown page
// with its selection cleared first; a view that shows no page answers both
// commands with their messages and prints nothing.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QTest>
#include <QTimer>
#include <QWebEnginePage>

#include <memory>

#include "app/application.h"
#include "app/main_window.h"
#include "app/command_registry.h"
#include "app/qt_message_sink.h"
#include "document/document.h"
#include "textview/gui/law_text_view.h"
#include "gui_test_support.h"
#include "textview/gui/web_environment.h"
#include "textview/show_page.h"

using namespace tavrel;
using namespace tavrel::gui;

using tavrel::testing::bodyText;
using tavrel::testing::evaluate;
using tavrel::testing::waitForText;

class TestPrintGui : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void previewOpensOnTheShownPageWithTheSelectionCleared();
    void aViewWithoutAPageSaysSoForPrintAndPreview();

private:
    LawTextView* view() const { return program_.view(); }

    testing::SampleProgram program_;
};

void TestPrintGui::init() { program_.prepare(); }

void TestPrintGui::cleanup() { program_.finish(); }

void TestPrintGui::previewOpensOnTheShownPageWithTheSelectionCleared() {
    program_.start();
    QVERIFY(view()->showPage("01A-00010000-00"));
    QTRY_VERIFY_WITH_TIMEOUT(evaluate(view()->page(), QStringLiteral("document.body ? document.body.innerText : ''"))
                                 .toString()
                                 .contains(QStringLiteral("【目的】")),
                             20000);
    evaluate(view()->page(), QStringLiteral("window.getSelection().selectAllChildren(document.body)"));
    QTRY_VERIFY(view()->page()->hasSelection());
    QAction* preview = program_.frame()->commands().byName(QStringLiteral("printPreview"));
    QVERIFY(preview->isEnabled());
    QVERIFY(program_.frame()->commands().byName(QStringLiteral("print"))->isEnabled());

    int pages = -1;
    QString selectionDuringPreview = QStringLiteral("unread");
    // Polled without blocking: the preview paints its pages in its own
    // event loops, which must be free to finish.
    QTimer poll;
    QElapsedTimer t;
    t.start();
    connect(&poll, &QTimer::timeout, this, [&]() {
        QPrintPreviewDialog* dlg = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<QPrintPreviewDialog*>(w); d && d->isVisible()) dlg = d;
        if (!dlg) {
            if (t.elapsed() > 30000) poll.stop();
            return;
        }
        auto* widget = dlg->findChild<QPrintPreviewWidget*>();
        if (widget && widget->pageCount() == 0 && t.elapsed() < 30000) return;
        poll.stop();
        pages = widget ? widget->pageCount() : -1;
        selectionDuringPreview = evaluate(view()->page(), QStringLiteral("window.getSelection().toString()")).toString();
        dlg->reject();
    });
    poll.start(100);
    preview->trigger();
    QVERIFY2(pages > 0, qPrintable(QString::number(pages)));
    QCOMPARE(selectionDuringPreview, QString());
    QVERIFY(program_.app()->messages().shown().empty());
}

void TestPrintGui::aViewWithoutAPageSaysSoForPrintAndPreview() {
    program_.start();
    // A second view that has shown nothing yet.
    WebEnvironment web(program_.dataFolder() + QStringLiteral("/images08"));
    textview::ShowPageState state;
    LawTextView empty(*program_.app()->document(), *program_.app()->navigation(), web, state);
    empty.printPage(0);
    empty.printPage(1);
    const auto& shown = program_.app()->messages().shown();
    QCOMPARE(shown.size(), size_t(2));
    QCOMPARE(shown[0].caption, QStringLiteral("印刷処理に関するメッセージ"));
    QCOMPARE(shown[0].text, QStringLiteral("印刷を行う前に法文を表示させて下さい。"));
    QCOMPARE(shown[1].caption, QStringLiteral("プレビュー処理に関するメッセージ"));
    QCOMPARE(shown[1].text, QStringLiteral("プレビューを行う前に法文を表示させて下さい。"));
}

int main(int argc, char** argv) {
    prepareWebEngine();
    QApplication app(argc, argv);
    TestPrintGui test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_print_gui.moc"
