// The requests to e-Gov 法令API Version 2, fully asynchronous on the thread
// that owns the client (the window's, or the command line's event loop):
// a base address that must be https (plain http only on the loopback
// address), a timeout that runs while no byte arrives, a limit on the size
// of an answer, and one message for the user for every way a request can
// fail. Nothing here writes a file.
#pragma once

#include "egov/law_xml.h"
#include "egov_online/answers.h"

#include <QObject>
#include <QPointer>
#include <QUrl>
#include <QUrlQuery>

#include <functional>

class QNetworkAccessManager;
class QNetworkReply;

namespace tavrel::egov_online {

struct ClientSettings {
    QUrl base = QUrl(kDefaultBaseAddress);
    int timeoutMs = kDefaultTimeoutSeconds * 1000;  // while no byte of the answer arrives
    qint64 maxAnswerBytes = qint64(egov::kMaxFileBytes);  // as for a law file read from disk
};

// The error text a request ends with when it was cancelled.
QString cancelledMessage();

class Client : public QObject {
    Q_OBJECT
  public:
    explicit Client(const ClientSettings& settings, QObject* parent = nullptr);
    ~Client() override;

    const ClientSettings& settings() const { return settings_; }

    // Every callback is called exactly once, later, on this object's thread:
    // with the result and an empty error, or with the message for the user.
    using Done = std::function<void(const QByteArray& body, const QString& error)>;

    // GET base/path?query.
    void get(const QString& path, const QUrlQuery& query, bool json, const Done& done);

    // GET /laws: the laws whose title (or law id, law number) matches text.
    void searchLaws(const QString& text, const std::function<void(const QList<LawEntry>&, const QString&)>& done);
    // GET /law_revisions/{law_id}: the law's revisions, newest first.
    void lawRevisions(const QString& lawId, const std::function<void(const QList<Revision>&, const QString&)>& done);
    // GET /law_file/xml/{law_id}: the current text of the law as a law XML file.
    void lawFile(const QString& lawId, const Done& done);

    // Ends every request under way; their callbacks get cancelledMessage().
    void cancelAll();
    int pending() const;

  private:
    void finish(QNetworkReply* reply, const Done& done);

    ClientSettings settings_;
    QNetworkAccessManager* network_;
};

// A law id as e-Gov writes them (418AC0000000091): nothing else becomes
// part of a request's path.
bool isLawId(const QString& text);

}  // namespace tavrel::egov_online
