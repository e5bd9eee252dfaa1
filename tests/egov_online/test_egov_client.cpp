// The e-Gov client: answers of another shape than the published schema, the
// comparison of an imported law with e-Gov's current revision, and every way
// a request fails, against the stand-in server on the loopback address. (The
// whole add and check run in test_cli_egov, the dialogs in test_egov_online.)
#include "egov_online/operations.h"
#include "fake_egov_server.h"

#include <QSignalSpy>
#include <QTest>

using namespace tavrel;
using namespace tavrel::egov_online;
using tavrel::testing::FakeEgovServer;

namespace {

const QString kBarrierFree = QStringLiteral("418AC0000000091");

ClientSettings settingsFor(const QUrl& base, int timeoutMs) {
    ClientSettings s;
    s.base = base;
    s.timeoutMs = timeoutMs;
    return s;
}

}  // namespace

class TestEgovClient : public QObject {
    Q_OBJECT

  private slots:
    void answersOfAnotherShapeAreRefused_data();
    void answersOfAnotherShapeAreRefused();
    void amendingLawNumbersCompareAcrossTheirForms_data();
    void amendingLawNumbersCompareAcrossTheirForms();
    void aChangeIsFoundFromARevisionIdOrAnAmendingLaw();
    void baseAddressMustBeHttpsUnlessLoopback_data();
    void baseAddressMustBeHttpsUnlessLoopback();
    void searchTextChoosesTheQuery_data();
    void searchTextChoosesTheQuery();

    void everyFailureEndsInItsMessage_data();
    void everyFailureEndsInItsMessage();
    void aLawWithoutAnEgovIdIsLeftOutOfTheCheck();
};

void TestEgovClient::answersOfAnotherShapeAreRefused_data() {
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<bool>("lawList");
    QTest::newRow("not JSON") << QByteArray("<html>maintenance</html>") << true;
    QTest::newRow("an array") << QByteArray("[]") << true;
    QTest::newRow("no laws") << QByteArray(R"({"count":0})") << true;
    QTest::newRow("law_id missing")
        << QByteArray(R"({"laws":[{"law_info":{"law_num":"x","law_type":"Act"},"revision_info":{}}]})") << true;
    QTest::newRow("no revision") << QByteArray(R"({"laws":[{"law_info":{"law_id":"1","law_num":"x","law_type":"Act"}}]})")
                                 << true;
    QTest::newRow("no law_info") << QByteArray(R"({"revisions":[]})") << false;
    QTest::newRow("revision id a number")
        << QByteArray(R"({"law_info":{},"revisions":[{"law_revision_id":5,"law_title":"t"}]})") << false;
}

void TestEgovClient::answersOfAnotherShapeAreRefused() {
    QFETCH(QByteArray, json);
    QFETCH(bool, lawList);
    QString error;
    QList<LawEntry> laws;
    QList<Revision> revisions;
    QVERIFY(!(lawList ? readLawList(json, laws, error) : readRevisions(json, revisions, error)));
    QVERIFY(!error.isEmpty());
}

void TestEgovClient::amendingLawNumbersCompareAcrossTheirForms_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("egov");
    QTest::addColumn<bool>("same");
    QTest::newRow("positional") << QStringLiteral("令和六年六月一九日法律第五三号") << QStringLiteral("令和六年法律第五十三号") << true;
    QTest::newRow("hundreds") << QStringLiteral("昭和二五年五月二四日法律第二〇一号") << QStringLiteral("昭和二十五年法律第二百一号")
                              << true;
    QTest::newRow("first year") << QStringLiteral("令和元年六月七日政令第一号") << QStringLiteral("令和元年政令第一号") << true;
    QTest::newRow("ordinance") << QStringLiteral("平成一二年一月三一日建設省令第一〇号")
                               << QStringLiteral("平成十二年建設省令第十号") << true;
    QTest::newRow("other number") << QStringLiteral("令和六年六月一九日法律第五三号") << QStringLiteral("令和六年法律第五十四号")
                                  << false;
    QTest::newRow("other year") << QStringLiteral("令和五年六月一六日法律第五八号") << QStringLiteral("令和六年法律第五十八号")
                                << false;
}

void TestEgovClient::amendingLawNumbersCompareAcrossTheirForms() {
    QFETCH(QString, file);
    QFETCH(QString, egov);
    QFETCH(bool, same);
    QCOMPARE(comparableLawNum(file) == comparableLawNum(egov), same);
}

void TestEgovClient::aChangeIsFoundFromARevisionIdOrAnAmendingLaw() {
    QList<Revision> revisions;
    QString error;
    QVERIFY(readRevisions(FakeEgovServer::testData(QStringLiteral("revisions_418AC0000000091.json")), revisions, error));
    ImportedLaw law{QStringLiteral("05A"), kBarrierFree, {}, {}, {}};
    // A file from elsewhere: its latest AmendLawNum is the revision before the current one.
    law.revision = QStringLiteral("令和六年六月一九日法律第五三号");
    std::optional<LawChange> change = changeSinceImport(law, revisions);
    QVERIFY(change);
    QCOMPARE(change->oldDate, QStringLiteral("2025-06-01"));
    QCOMPARE(change->current.enforcementDate, QStringLiteral("2117-04-01"));
    law.revision = QStringLiteral("令和九十九年四月一日法律第九百九十八号");  // already the current text
    QVERIFY(!changeSinceImport(law, revisions));
    // A download: the revision id.
    law.revision = QStringLiteral("418AC0000000091_21170401_599AC0000000998");
    QVERIFY(!changeSinceImport(law, revisions));
    law.revision = QStringLiteral("418AC0000000091_20240401_505AC0000000058");
    change = changeSinceImport(law, revisions);
    QVERIFY(change);
    QCOMPARE(change->oldDate, QStringLiteral("2024-04-01"));
    law.revision = QStringLiteral("418AC0000000091_20100101_000000000000000");  // no longer listed: its date
    QCOMPARE(changeSinceImport(law, revisions)->oldDate, QStringLiteral("2010-01-01"));
    revisions[0].status = QStringLiteral("UnEnforced");  // a revision not yet in force is nobody's current text
    QVERIFY(!changeSinceImport(law, revisions));
}

void TestEgovClient::baseAddressMustBeHttpsUnlessLoopback_data() {
    QTest::addColumn<QString>("base");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("official") << kDefaultBaseAddress << true;
    QTest::newRow("http loopback v4") << QStringLiteral("http://127.0.0.1:8080/api/2") << true;
    QTest::newRow("http localhost") << QStringLiteral("http://localhost/api/2") << true;
    QTest::newRow("http loopback v6") << QStringLiteral("http://[::1]:8080/api/2") << true;
    QTest::newRow("http elsewhere") << QStringLiteral("http://laws.e-gov.go.jp/api/2") << false;
    QTest::newRow("http local network") << QStringLiteral("http://192.168.1.2/api/2") << false;
    QTest::newRow("ftp") << QStringLiteral("ftp://127.0.0.1/api/2") << false;
    QTest::newRow("no host") << QStringLiteral("laws.e-gov.go.jp") << false;
}

void TestEgovClient::baseAddressMustBeHttpsUnlessLoopback() {
    QFETCH(QString, base);
    QFETCH(bool, accepted);
    QCOMPARE(baseAddressProblem(QUrl(base)).isEmpty(), accepted);
}

void TestEgovClient::searchTextChoosesTheQuery_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("field");
    QTest::newRow("title") << QStringLiteral("建築基準法") << QStringLiteral("law_title");
    QTest::newRow("law id") << QStringLiteral(" 325AC0000000201 ") << QStringLiteral("law_id");
    QTest::newRow("law number") << QStringLiteral("昭和二十五年法律第二百一号") << QStringLiteral("law_num");
    QTest::newRow("title with a number") << QStringLiteral("第二種特定建築物") << QStringLiteral("law_title");
}

void TestEgovClient::searchTextChoosesTheQuery() {
    QFETCH(QString, text);
    QFETCH(QString, field);
    QCOMPARE(searchQueryFor(text).field, field);
    QCOMPARE(searchQueryFor(text).value, text.trimmed());
}

void TestEgovClient::everyFailureEndsInItsMessage_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("message");
    QTest::newRow("error answer") << 0 << QStringLiteral("e-Govがエラーを返しました（HTTP 400）：日付（asof等）が誤っています。");
    QTest::newRow("error without JSON") << 1 << QStringLiteral("e-Govがエラーを返しました（HTTP 503）。");
    QTest::newRow("malformed") << 2 << QStringLiteral("e-Govの応答が法令APIの形式ではありません（revisions がありません）。");
    QTest::newRow("no answer") << 3 << QStringLiteral("e-Govから応答がありません（0.2秒待ちました）。");
    QTest::newRow("dropped") << 4 << QStringLiteral("e-Govとの接続が途中で切れました。");
    QTest::newRow("too large") << 5 << QStringLiteral("e-Govの応答が大きすぎます（上限 0 MB）。");
    QTest::newRow("offline") << 6 << QStringLiteral("e-Govに接続できません。ネットワークの接続を確認してください。");
    QTest::newRow("plain http") << 7 << QStringLiteral("e-Govのアドレスは https で始まる必要があります");
}

void TestEgovClient::everyFailureEndsInItsMessage() {
    QFETCH(int, kind);
    QFETCH(QString, message);
    FakeEgovServer server;
    QVERIFY(server.listen());
    const QString path = QStringLiteral("law_revisions/") + kBarrierFree;
    // Only the silent server waits for the timeout; the others answer at once.
    ClientSettings settings = settingsFor(server.base(), kind == 3 ? 200 : 10000);
    switch (kind) {
        case 0:
            server.answer(path, R"({"code":"400004","message":"日付（asof等）が誤っています。"})", 400);
            break;
        case 1: server.answer(path, "Service Unavailable", 503, "text/plain"); break;
        case 2: server.answer(path, R"({"law_info":{}})"); break;
        case 3: server.fail(path, FakeEgovServer::Behaviour::Silent); break;
        case 4: server.fail(path, FakeEgovServer::Behaviour::Drop); break;
        case 5:
            server.answer(path, FakeEgovServer::testData(QStringLiteral("revisions_418AC0000000091.json")));
            settings.maxAnswerBytes = 1000;
            break;
        case 6: {
            QTcpServer closed;  // a port nobody listens on once this is gone
            QVERIFY(closed.listen(QHostAddress::LocalHost));
            settings.base = QUrl(QStringLiteral("http://127.0.0.1:%1/api/2").arg(closed.serverPort()));
            break;
        }
        case 7: settings.base = QUrl(QStringLiteral("http://laws.e-gov.go.jp/api/2")); break;
    }
    Client client(settings);
    QString error;
    bool called = false;
    client.lawRevisions(kBarrierFree, [&](const QList<Revision>& revisions, const QString& e) {
        QVERIFY(revisions.isEmpty());
        error = e, called = true;
    });
    QTRY_VERIFY(called);
    QVERIFY2(error.startsWith(message), qPrintable(error));
    if (kind == 7) QVERIFY(server.requests().isEmpty());
}

void TestEgovClient::aLawWithoutAnEgovIdIsLeftOutOfTheCheck() {
    FakeEgovServer server;
    QVERIFY(server.listen());
    server.serveTestLaws();
    Client client(settingsFor(server.base(), 5000));
    // A bare <Law> imported from a file records the id composed from its attributes.
    UpdateCheck check(client, {{QStringLiteral("05A"), QStringLiteral("418AC091"), {}, QStringLiteral("x"), {}},
                               {QStringLiteral("06A"), kBarrierFree, {}, QStringLiteral("令和六年六月一九日法律第五三号"), {}}});
    QSignalSpy checked(&check, &UpdateCheck::finished);
    check.start();
    QTRY_COMPARE(checked.size(), 1);
    QCOMPARE(checked[0][1].toString(), QString());
    QCOMPARE(checked[0][0].value<QList<LawChange>>().size(), 1);
    QCOMPARE(check.skipped(), 1);
    QCOMPARE(server.requests().size(), 1);
}

QTEST_GUILESS_MAIN(TestEgovClient)
#include "test_egov_client.moc"
