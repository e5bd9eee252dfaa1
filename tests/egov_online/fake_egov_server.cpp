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

void FakeEgovServer::serveTestLaws() {
    answer(QStringLiteral("laws"), testData(QStringLiteral("laws_search.json")));
    for (const char* id : {"325AC0000000201", "325CO0000000338", "418AC0000000091", "599AC0000000999"})
        answer(QStringLiteral("law_revisions/") + QLatin1String(id),
               testData(QStringLiteral("revisions_%1.json").arg(QLatin1String(id))));
    answer(QStringLiteral("law_file/xml/599AC0000000999"), testData(QStringLiteral("test_law.xml")), 200,
           "application/xml");
    answer(QStringLiteral("law_file/xml/418AC0000000091"), testData(QStringLiteral("418AC0000000091_revised.xml")),
           200, "application/xml");
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
