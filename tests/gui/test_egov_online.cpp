// 「法令を追加（e-Gov）…」 and 「法令の更新を確認」 in the real window, with the
// stand-in e-Gov server as the base address: a law found by typing its
// title is added and read; the revised バリアフリー法 is reported and
// updated; a failed download says so and leaves the user's collection as
// it was; the weekly check at start-up tells of the revision in the status
// bar.
#include "app/application.h"
#include "app/command_registry.h"
#include "app/egov_dialogs.h"
#include "app/main_window.h"
#include "app/qt_message_sink.h"
#include "fake_egov_server.h"
#include "gui_test_support.h"
#include "textview/gui/law_text_view.h"

#include <QAction>
#include <QFile>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

using namespace tavrel;
using namespace tavrel::gui;
using tavrel::testing::FakeEgovServer;
using tavrel::testing::waitForText;

namespace {

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The window and its dialog as a picture, when TAVREL_EGOV_SCREENSHOT names
// a file (docs/egov_add.png is made so, under xvfb-run).
void screenshot(QWidget* dialog) {
    const QString out = qEnvironmentVariable("TAVREL_EGOV_SCREENSHOT");
    if (out.isEmpty()) return;
    QTest::qWait(300);  // let the window manager settle the frames
    const QRect r = dialog->parentWidget()->window()->frameGeometry();
    QProcess::execute(QStringLiteral("sh"),
                      {QStringLiteral("-c"), QStringLiteral("import -window root -crop %1x%2+%3+%4 +repage -colors 256 '%5'")
                                                 .arg(r.width()).arg(r.height()).arg(r.x()).arg(r.y()).arg(out)});
}

}  // namespace

class TestEgovOnline : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();

    void addALawByItsTitleThenUpdateARevisedOne();
    void aFailedUpdateChangesNothingAndTheWeeklyCheckTells();

  private:
    MainWindow* frame() const { return program_.frame(); }
    QString userCollection() const { return program_.path(QStringLiteral("user/TL2008.orl")); }
    QString firstMessage() const {
        const auto& shown = program_.app()->messages().shown();
        return shown.empty() ? QString() : shown[0].text;
    }
    // Opens the command's dialog and waits for its status text to hold what.
    template <typename Dialog>
    Dialog* openDialog(const char* command);

    testing::SampleProgram program_;
    std::unique_ptr<FakeEgovServer> server_;
};

void TestEgovOnline::init() {
    program_.prepare();
    server_ = std::make_unique<FakeEgovServer>();
    QVERIFY(server_->listen());
    server_->serveTestLaws();
    program_.writeSetting(QStringLiteral("EGov/BaseUrl"), server_->base().toString());
}

void TestEgovOnline::cleanup() {
    program_.finish();
    server_.reset();
}

template <typename Dialog>
Dialog* TestEgovOnline::openDialog(const char* command) {
    QAction* a = frame()->commands().byName(QLatin1String(command));
    if (!a || !a->isEnabled()) return nullptr;
    // A dialog closed before may still wait for its deletion.
    const QList<Dialog*> before = frame()->findChildren<Dialog*>();
    a->trigger();
    for (Dialog* d : frame()->findChildren<Dialog*>())
        if (!before.contains(d)) return d;
    return nullptr;
}

void TestEgovOnline::addALawByItsTitleThenUpdateARevisedOne() {
    program_.start();
    auto* add = openDialog<AddLawsDialog>("addFromEgov");
    QVERIFY(add);
    auto* title = add->findChild<QLineEdit*>(QStringLiteral("egovTitle"));
    auto* results = add->findChild<QTreeWidget*>(QStringLiteral("egovResults"));
    // Typed through the input method, as Japanese is.
    QInputMethodEvent typed;
    typed.setCommitString(QStringLiteral("テスト用"));
    QApplication::sendEvent(title, &typed);
    QTRY_COMPARE_WITH_TIMEOUT(results->topLevelItemCount(), 1, 10000);
    QCOMPARE(server_->requests().size(), 1);  // one search for the whole word
    QVERIFY(server_->requests()[0].contains(QStringLiteral("law_title=テスト用")));
    QCOMPARE(results->topLevelItem(0)->text(0), QStringLiteral("テスト用法令（試験データ）"));
    QCOMPARE(results->topLevelItem(0)->text(1), QStringLiteral("令和九十九年法律第九百九十九号"));
    QCOMPARE(results->topLevelItem(0)->text(2), QStringLiteral("法律"));
    QCOMPARE(results->topLevelItem(0)->text(3), QStringLiteral("2117-04-01"));
    results->topLevelItem(0)->setSelected(true);
    screenshot(add);
    add->findChild<QPushButton*>(QStringLiteral("egovAdd"))->click();
    QVERIFY2(program_.app()->messages().shown().empty(), qPrintable(firstMessage()));
    QCOMPARE(QString::fromStdString(program_.doc().databasePath()), userCollection());
    QVERIFY(waitForText(program_.view(), QStringLiteral("試験のために作られた架空の法令")));

    // バリアフリー法 from the bundled file, then e-Gov has a newer revision.
    QVERIFY(frame()->importLawFiles({QStringLiteral(TAVREL_SOURCE_DIR "/data/egov/418AC0000000091.xml")}));
    auto* check = openDialog<LawUpdatesDialog>("checkLawUpdates");
    QVERIFY(check);
    auto* status = check->findChild<QLabel*>(QStringLiteral("egovStatus"));
    QTRY_VERIFY_WITH_TIMEOUT(status->text().contains(QStringLiteral("4件の法令のうち1件")), 10000);
    auto* changes = check->findChild<QTreeWidget*>(QStringLiteral("egovChanges"));
    QCOMPARE(changes->topLevelItemCount(), 1);
    QCOMPARE(changes->topLevelItem(0)->text(1), QStringLiteral("2025-06-01"));
    QCOMPARE(changes->topLevelItem(0)->text(2), QStringLiteral("2117-04-01"));
    check->findChild<QPushButton*>(QStringLiteral("egovUpdate"))->click();
    QVERIFY2(program_.app()->messages().shown().empty(), qPrintable(firstMessage()));
    QVERIFY(program_.view()->showPage("05A-00010000-00"));
    QVERIFY(waitForText(program_.view(), QStringLiteral("【試験データ：改正後の条文】")));

    check = openDialog<LawUpdatesDialog>("checkLawUpdates");
    QVERIFY(check);
    status = check->findChild<QLabel*>(QStringLiteral("egovStatus"));
    QTRY_VERIFY_WITH_TIMEOUT(status->text().contains(QStringLiteral("すべてe-Govの現在の版と同じです")), 10000);
    QVERIFY(!check->findChild<QPushButton*>(QStringLiteral("egovUpdate"))->isEnabled());
    check->reject();
}

void TestEgovOnline::aFailedUpdateChangesNothingAndTheWeeklyCheckTells() {
    server_->answer(QStringLiteral("law_file/xml/418AC0000000091"),
                    R"({"code":"500001","message":"サーバ内処理で異常が発生しました。"})", 500);
    program_.start();
    QVERIFY(frame()->importLawFiles({QStringLiteral(TAVREL_SOURCE_DIR "/data/egov/418AC0000000091.xml")}));
    const QByteArray before = fileBytes(userCollection());
    auto* check = openDialog<LawUpdatesDialog>("checkLawUpdates");
    QVERIFY(check);
    auto* update = check->findChild<QPushButton*>(QStringLiteral("egovUpdate"));
    QTRY_VERIFY_WITH_TIMEOUT(update->isEnabled(), 10000);
    update->click();
    QCOMPARE(program_.app()->messages().shown().size(), size_t(1));
    QVERIFY(program_.app()->messages().shown()[0].text.contains(
        QStringLiteral("e-Govがエラーを返しました（HTTP 500）：サーバ内処理で異常が発生しました。")));
    QCOMPARE(fileBytes(userCollection()), before);

    // The weekly check is off by default; on, it tells of the revision once.
    program_.stop();
    program_.writeSetting(QStringLiteral("EGov/WeeklyCheck"), 1);
    program_.writeSetting(QStringLiteral("EGov/LastCheck"), QStringLiteral("2026-01-01"));
    program_.start();
    QLabel* notice = nullptr;
    QTRY_VERIFY_WITH_TIMEOUT((notice = frame()->findChild<QLabel*>(QStringLiteral("egovNotice"))) != nullptr, 10000);
    QVERIFY(notice->text().startsWith(QStringLiteral("e-Govで改正された法令が1件あります")));
    QCOMPARE(program_.readSetting(QStringLiteral("EGov/LastCheck")).toString(),
             QDate::currentDate().toString(Qt::ISODate));
}

int main(int argc, char** argv) {
    prepareWebEngine();
    QApplication app(argc, argv);
    TestEgovOnline test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_egov_online.moc"
