#include "fake_egov_server.h"

#include <QFile>
#include <QTcpSocket>

namespace tavrel::testing {

FakeEgovServer::FakeEgovServer(QObject* parent) : QObject(parent) {
    connect(&server_, &QTcpServer::newConnection, this, [this]() {
        while (QTcpSocket* s = server_.nextPendingConnection()) {
            connect(s, &QTcpSocket::readyRead, this, [this, s]() { serve(s); });
            connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
        }
    });
}

bool FakeEgovServer::listen() { return server_.listen(QHostAddress::LocalHost, 0); }

QUrl FakeEgovServer::base() const {
    return QUrl(QStringLiteral("http://127.0.0.1:%1/api/2").arg(server_.serverPort()));
}

QByteArray FakeEgovServer::testData(const QString& name) {
    QFile f(QStringLiteral(TAVREL_SOURCE_DIR "/tests/egov_online/data/") + name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray FakeEgovServer::revisedBarrierFreeAct() {
    // Test data, not law: the bundled file's <Law> as API Version 2 serves a
    // law file, with 第一条 visibly marked and the 附則 of an invented
    // amending law (令和九十九年法律第九百九十八号) added.
    QFile f(QStringLiteral(TAVREL_SOURCE_DIR "/data/egov/418AC0000000091.xml"));
    if (!f.open(QIODevice::ReadOnly)) return {};
    QString xml = QString::fromUtf8(f.readAll());
    const qsizetype begin = xml.indexOf(QStringLiteral("<Law ")), end = xml.indexOf(QStringLiteral("</Law>"));
    if (begin < 0 || end < 0) return {};
    QString law = xml.mid(begin, end + 6 - begin);
    const QString firstSentence = QStringLiteral("この法律は、高齢者、障害者等の自立した日常生活");
    law.replace(law.indexOf(firstSentence), 0, QStringLiteral("【試験データ：改正後の条文】"));
    law.replace(law.lastIndexOf(QStringLiteral("</LawBody>")), 0,
                QStringLiteral("<SupplProvision AmendLawNum=\"令和九十九年四月一日法律第九百九十八号\">"
                               "<SupplProvisionLabel>附　則</SupplProvisionLabel><Paragraph Num=\"1\"><ParagraphNum/>"
                               "<ParagraphSentence><Sentence>この法律は、試験の日から施行する。（試験データ）</Sentence>"
                               "</ParagraphSentence></Paragraph></SupplProvision>\n"));
    return QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n") + law.toUtf8();
}

void FakeEgovServer::serveTestLaws() {
    answer(QStringLiteral("laws"), testData(QStringLiteral("laws_search.json")));
    for (const char* id : {"325AC0000000201", "325CO0000000338", "418AC0000000091", "599AC0000000999"})
        answer(QStringLiteral("law_revisions/") + QLatin1String(id),
               testData(QStringLiteral("revisions_%1.json").arg(QLatin1String(id))));
    answer(QStringLiteral("law_file/xml/599AC0000000999"), testData(QStringLiteral("test_law.xml")), 200,
           "application/xml");
    answer(QStringLiteral("law_file/xml/418AC0000000091"), revisedBarrierFreeAct(), 200, "application/xml");
}

void FakeEgovServer::serve(QTcpSocket* socket) {
    // GET requests only: the head is all there is.
    QByteArray head = socket->property("head").toByteArray() + socket->readAll();
    socket->setProperty("head", head);
    if (!head.contains("\r\n\r\n") || socket->property("served").toBool()) return;
    socket->setProperty("served", true);
    const QList<QByteArray> line = head.left(head.indexOf("\r\n")).split(' ');
    const QString target = line.size() > 1 ? QUrl::fromPercentEncoding(line[1]) : QString();
    requests_.push_back(target);
    QString path = QUrl(QString::fromLatin1(line.value(1))).path();
    const QString prefix = QStringLiteral("/api/2/");
    if (path.startsWith(prefix)) path = path.mid(prefix.size());

    const auto found = routes_.constFind(path);
    const Route r = found != routes_.constEnd()
                        ? *found
                        : Route{404, QByteArray(R"({"code":"404001","message":"該当する法令データがありません。"})"),
                                "application/json", Behaviour::Answer};
    if (r.behaviour == Behaviour::Silent) return;
    QByteArray answer = "HTTP/1.1 " + QByteArray::number(r.status) + (r.status < 400 ? " OK" : " Error") +
                        "\r\nContent-Type: " + r.contentType + "; charset=utf-8\r\nContent-Length: " +
                        QByteArray::number(r.body.size()) + "\r\nConnection: close\r\n\r\n";
    if (r.behaviour == Behaviour::Drop) {
        socket->write(answer + r.body.left(r.body.size() / 2));
        socket->flush();
        socket->abort();
        return;
    }
    socket->write(answer + r.body);
    socket->disconnectFromHost();
}

}  // namespace tavrel::testing
