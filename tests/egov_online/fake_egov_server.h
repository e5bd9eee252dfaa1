// A stand-in for e-Gov 法令API Version 2 on the loopback address, for the
// tests: answers by path, written from the published schema (tests/egov_online/data),
// and the ways a server fails — an error answer, an answer that never comes,
// a connection dropped in the middle.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QTcpServer>
#include <QUrl>

namespace tavrel::testing {

class FakeEgovServer : public QObject {
    Q_OBJECT
  public:
    enum class Behaviour {
        Answer,  // the status and body
        Silent,  // reads the request and never answers
        Drop,    // answers half of the body (with the full length announced), then closes
    };
    struct Route {
        int status = 200;
        QByteArray body;
        QByteArray contentType = "application/json";
        Behaviour behaviour = Behaviour::Answer;
    };

    explicit FakeEgovServer(QObject* parent = nullptr);
    bool listen();
    // http://127.0.0.1:<port>/api/2
    QUrl base() const;

    // path relative to the base ("laws", "law_revisions/418AC0000000091").
    void route(const QString& path, const Route& r) { routes_[path] = r; }
    void answer(const QString& path, const QByteArray& body, int status = 200,
                const QByteArray& type = "application/json") {
        route(path, {status, body, type, Behaviour::Answer});
    }
    void fail(const QString& path, Behaviour b) { route(path, {200, QByteArray(4096, 'x'), "application/json", b}); }

    // The answers of a working e-Gov for the test data: the search, the
    // revision lists and law files of バリアフリー法 (revised) and the test law,
    // and the revision lists of the bundled 建築基準法 and 施行令 (unchanged).
    void serveTestLaws();

    // Every request target seen ("/api/2/laws?law_title=…"), decoded.
    const QList<QString>& requests() const { return requests_; }

    // A visibly changed copy of the bundled バリアフリー法, marked as test data.
    static QByteArray revisedBarrierFreeAct();
    // A file of tests/egov_online/data.
    static QByteArray testData(const QString& name);

  private:
    void serve(QTcpSocket* socket);

    QTcpServer server_;
    QHash<QString, Route> routes_;
    QList<QString> requests_;
};

}  // namespace tavrel::testing
