// tavrel-cli egov search / add / check against the stand-in server: the
// found laws, an add that records e-Gov's law id and revision, the check
// before and after, and a failure at each stage of an add (revision list,
// law file, its content, a later law) ending in its message with the
// collection's bytes unchanged. How each kind of network failure reads is
// test_egov_client's.
#include "fake_egov_server.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using tavrel::testing::FakeEgovServer;

namespace {

struct Run {
    int exitCode = -1;
    QString out, err;
};

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

class TestCliEgov : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void searchPrintsTheLawsFound();
    void addRecordsTheRevisionAndCheckSeesIt();
    void aFailedAddChangesNothing_data();
    void aFailedAddChangesNothing();
    void badUsageIsRefused();

  private:
    // Runs tavrel-cli with the event loop alive, so that the server answers.
    Run cli(QStringList args, bool withData = true);
    QString collection() const { return dir_->filePath(QStringLiteral("TL2008.orl")); }

    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<FakeEgovServer> server_;
};

void TestCliEgov::init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(QFile::copy(QStringLiteral(TAVREL_BINARY_DIR "/bin/TL2008.orl"), collection()));
    server_ = std::make_unique<FakeEgovServer>();
    QVERIFY(server_->listen());
    server_->serveTestLaws();
}

Run TestCliEgov::cli(QStringList args, bool withData) {
    if (withData) args << QStringLiteral("--data") << dir_->path();
    if (args.value(0) == QStringLiteral("egov") && !args.contains(QStringLiteral("--base")))
        args << QStringLiteral("--base") << server_->base().toString();
    QProcess p;
    p.start(QStringLiteral(TAVREL_BINARY_DIR "/bin/tavrel-cli"), args);
    Run r;
    QEventLoop loop;
    connect(&p, &QProcess::finished, &loop, &QEventLoop::quit);
    connect(&p, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    if (!p.waitForStarted()) return r;
    if (p.state() != QProcess::NotRunning) loop.exec();
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

void TestCliEgov::searchPrintsTheLawsFound() {
    const Run r = cli({QStringLiteral("egov"), QStringLiteral("search"), QStringLiteral("テスト用")}, false);
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.out, QStringLiteral("599AC0000000999\tテスト用法令（試験データ）\t令和九十九年法律第九百九十九号\t法律\t2117-04-01\n"));
}

void TestCliEgov::addRecordsTheRevisionAndCheckSeesIt() {
    Run r = cli({QStringLiteral("import"), QStringLiteral(TAVREL_SOURCE_DIR "/data/egov/418AC0000000091.xml")});
    QCOMPARE(r.exitCode, 0);
    r = cli({QStringLiteral("egov"), QStringLiteral("check")});
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    QVERIFY2(r.out.startsWith(QStringLiteral("05A\t418AC0000000091\t高齢者、障害者等の移動等の円滑化の促進に関する法律\t"
                                             "2025-06-01 -> 2117-04-01\t令和九十九年法律第九百九十八号\n")),
             qPrintable(r.out));
    QVERIFY(r.out.endsWith(QStringLiteral("1 of 3 imported laws revised since their import\n")));

    r = cli({QStringLiteral("egov"), QStringLiteral("add"), QStringLiteral("418AC0000000091"),
             QStringLiteral("599AC0000000999")});
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    QVERIFY(r.out.contains(QStringLiteral("05A 高齢者、障害者等の移動等の円滑化の促進に関する法律 (418AC0000000091) replaced")));
    QVERIFY(r.out.contains(QStringLiteral("テスト用法令（試験データ） (599AC0000000999) added")));
    r = cli({QStringLiteral("page"), QStringLiteral("05A-00010000-00"), QStringLiteral("--utf8")});
    QVERIFY(r.out.contains(QStringLiteral("【試験データ：改正後の条文】")));
    r = cli({QStringLiteral("egov"), QStringLiteral("check")});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.out, QStringLiteral("tavrel-cli egov check: 0 of 4 imported laws revised since their import\n"));
}

void TestCliEgov::aFailedAddChangesNothing_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("message");
    QTest::newRow("error answer") << 0 << QStringLiteral("e-Govがエラーを返しました（HTTP 500）：サーバ内処理で異常が発生しました。");
    QTest::newRow("not a law") << 1 << QStringLiteral("e-Govの応答が法令XMLではありません");
    QTest::newRow("malformed revisions") << 4 << QStringLiteral("e-Govの応答が法令APIの形式ではありません");
    QTest::newRow("second law fails") << 6 << QStringLiteral("法令 599AC0000000999 をe-Govから取得できませんでした。");
}

void TestCliEgov::aFailedAddChangesNothing() {
    QFETCH(int, kind);
    QFETCH(QString, message);
    const QString file = QStringLiteral("law_file/xml/418AC0000000091");
    QStringList args{QStringLiteral("egov"), QStringLiteral("add"), QStringLiteral("418AC0000000091")};
    switch (kind) {
        case 0: server_->answer(file, R"({"code":"500001","message":"サーバ内処理で異常が発生しました。"})", 500); break;
        case 1: server_->answer(file, "<html><body>メンテナンス中</body></html>", 200, "text/html"); break;
        case 4: server_->answer(QStringLiteral("law_revisions/418AC0000000091"), R"({"law_info":{},"revisions":{}})"); break;
        case 6:
            server_->answer(QStringLiteral("law_file/xml/599AC0000000999"), "not found", 404, "text/plain");
            args << QStringLiteral("599AC0000000999");
            break;
    }
    const QByteArray before = fileBytes(collection());
    const Run r = cli(args);
    QCOMPARE(r.exitCode, 1);
    QVERIFY2(r.err.contains(message), qPrintable(r.err));
    QCOMPARE(fileBytes(collection()), before);
    QCOMPARE(QDir(dir_->path()).entryList(QDir::Files), QStringList{QStringLiteral("TL2008.orl")});
}

void TestCliEgov::badUsageIsRefused() {
    QCOMPARE(cli({QStringLiteral("egov"), QStringLiteral("add"), QStringLiteral("../etc/passwd")}).exitCode, 64);
    QCOMPARE(cli({QStringLiteral("egov"), QStringLiteral("search")}).exitCode, 64);
    QCOMPARE(cli({QStringLiteral("egov"), QStringLiteral("fetch")}).exitCode, 64);
    QVERIFY(server_->requests().isEmpty());
}

QTEST_GUILESS_MAIN(TestCliEgov)
#include "test_cli_egov.moc"
