#include "egov_online/client.h"

#include <QLoggingCategory>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRegularExpression>
#include <QTimer>

Q_LOGGING_CATEGORY(lcEgovClient, "tavrel.egov.client", QtWarningMsg)

namespace tavrel::egov_online {

namespace {

// Why a reply ended early, set on the reply by the client itself.
const char* const kEndReason = "tavrelEndReason";
enum class EndReason { None, Timeout, TooLarge, Cancelled };

void endReply(QNetworkReply* reply, EndReason why) {
    if (reply->property(kEndReason).toInt() != int(EndReason::None)) return;
    reply->setProperty(kEndReason, int(why));
    reply->abort();
}

QString networkMessage(const QNetworkReply* reply) {
    const QString detail = reply->errorString();
    switch (reply->error()) {
        case QNetworkReply::ConnectionRefusedError:
        case QNetworkReply::HostNotFoundError:
        case QNetworkReply::TimeoutError:
        case QNetworkReply::TemporaryNetworkFailureError:
        case QNetworkReply::NetworkSessionFailedError:
        case QNetworkReply::UnknownNetworkError:
        case QNetworkReply::ProxyConnectionRefusedError:
        case QNetworkReply::ProxyNotFoundError:
            return QStringLiteral("e-Govに接続できません。ネットワークの接続を確認してください。\n（%1）").arg(detail);
        case QNetworkReply::RemoteHostClosedError:
        case QNetworkReply::ProxyConnectionClosedError:
            return QStringLiteral("e-Govとの接続が途中で切れました。\n（%1）").arg(detail);
        case QNetworkReply::SslHandshakeFailedError:
        case QNetworkReply::InsecureRedirectError:
            return QStringLiteral("e-Govと安全に（https で）通信できませんでした。\n（%1）").arg(detail);
        default: return QStringLiteral("e-Govとの通信に失敗しました。\n（%1）").arg(detail);
    }
}

QString malformed(const QString& why) {
    return QStringLiteral("e-Govの応答が法令APIの形式ではありません（%1）。").arg(why);
}

}  // namespace

QString cancelledMessage() { return QStringLiteral("取り消しました。"); }

bool isLawId(const QString& text) {
    static const QRegularExpression id(QStringLiteral("^[0-9]{3}[0-9A-Z]{12}$"));
    return id.match(text).hasMatch();
}

Client::Client(const ClientSettings& settings, QObject* parent)
    : QObject(parent), settings_(settings), network_(new QNetworkAccessManager(this)) {
    network_->setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
}

Client::~Client() {
    // Replies die with the manager; their callbacks are not called then.
    for (QNetworkReply* r : network_->findChildren<QNetworkReply*>()) r->disconnect(this);
}

int Client::pending() const {
    int n = 0;
    for (const QNetworkReply* r : network_->findChildren<QNetworkReply*>())
        if (r->isRunning()) ++n;
    return n;
}

void Client::cancelAll() {
    for (QNetworkReply* r : network_->findChildren<QNetworkReply*>())
        if (r->isRunning()) endReply(r, EndReason::Cancelled);
}

void Client::get(const QString& path, const QUrlQuery& query, bool json, const Done& done) {
    const QString problem = baseAddressProblem(settings_.base);
    if (!problem.isEmpty()) {
        QTimer::singleShot(0, this, [done, problem]() { done({}, problem); });
        return;
    }
    QUrl url = settings_.base;
    QString basePath = url.path();
    while (basePath.endsWith(QLatin1Char('/'))) basePath.chop(1);
    url.setPath(basePath + QLatin1Char('/') + path);
    url.setQuery(query);
    QNetworkRequest request(url);
    request.setRawHeader("Accept", json ? "application/json" : "application/xml, */*");
    request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("Tavrel"));
    QNetworkReply* reply = network_->get(request);
    reply->setProperty(kEndReason, int(EndReason::None));
    qCDebug(lcEgovClient) << "GET" << url.toString();

    // The timeout runs while nothing arrives: a large law on a slow line is
    // not cut off, a server that stops answering is.
    auto* timer = new QTimer(reply);
    timer->setSingleShot(true);
    timer->setInterval(settings_.timeoutMs);
    connect(timer, &QTimer::timeout, reply, [reply]() { endReply(reply, EndReason::Timeout); });
    timer->start();
    const qint64 limit = settings_.maxAnswerBytes;
    connect(reply, &QNetworkReply::downloadProgress, reply, [reply, timer, limit](qint64 received, qint64 total) {
        timer->start();
        if (received > limit || total > limit) endReply(reply, EndReason::TooLarge);
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply, done]() { finish(reply, done); });
}

void Client::finish(QNetworkReply* reply, const Done& done) {
    reply->deleteLater();
    const auto why = EndReason(reply->property(kEndReason).toInt());
    if (why == EndReason::Cancelled) return done({}, cancelledMessage());
    if (why == EndReason::Timeout)
        return done({}, QStringLiteral("e-Govから応答がありません（%1秒待ちました）。時間をおいてやり直してください。")
                            .arg(settings_.timeoutMs / 1000.0));
    if (why == EndReason::TooLarge)
        return done({}, QStringLiteral("e-Govの応答が大きすぎます（上限 %1 MB）。")
                            .arg(settings_.maxAnswerBytes / (1024 * 1024)));
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    const QByteArray body = reply->readAll();
    if (status.isValid() && status.toInt() >= 400) {
        const QString message = errorInfoMessage(body);
        return done({}, message.isEmpty()
                            ? QStringLiteral("e-Govがエラーを返しました（HTTP %1）。").arg(status.toInt())
                            : QStringLiteral("e-Govがエラーを返しました（HTTP %1）：%2").arg(status.toInt()).arg(message));
    }
    if (reply->error() != QNetworkReply::NoError) return done({}, networkMessage(reply));
    if (!status.isValid() || status.toInt() != 200)
        return done({}, malformed(QStringLiteral("HTTP %1").arg(status.toInt())));
    done(body, {});
}

void Client::searchLaws(const QString& text,
                        const std::function<void(const QList<LawEntry>&, const QString&)>& done) {
    const SearchQuery q = searchQueryFor(text);
    QUrlQuery query;
    query.addQueryItem(q.field, q.value);
    query.addQueryItem(QStringLiteral("limit"), QStringLiteral("100"));
    query.addQueryItem(QStringLiteral("response_format"), QStringLiteral("json"));
    get(QStringLiteral("laws"), query, true, [done](const QByteArray& body, const QString& error) {
        QList<LawEntry> laws;
        QString why;
        if (!error.isEmpty()) return done({}, error);
        if (!readLawList(body, laws, why)) return done({}, malformed(why));
        done(laws, {});
    });
}

void Client::lawRevisions(const QString& lawId,
                          const std::function<void(const QList<Revision>&, const QString&)>& done) {
    if (!isLawId(lawId)) {
        QTimer::singleShot(0, this, [done, lawId]() { done({}, QStringLiteral("法令IDが正しくありません：%1").arg(lawId)); });
        return;
    }
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("response_format"), QStringLiteral("json"));
    get(QStringLiteral("law_revisions/") + lawId, query, true, [done](const QByteArray& body, const QString& error) {
        QList<Revision> revisions;
        QString why;
        if (!error.isEmpty()) return done({}, error);
        if (!readRevisions(body, revisions, why)) return done({}, malformed(why));
        done(revisions, {});
    });
}

void Client::lawFile(const QString& lawId, const Done& done) {
    if (!isLawId(lawId)) {
        QTimer::singleShot(0, this, [done, lawId]() { done({}, QStringLiteral("法令IDが正しくありません：%1").arg(lawId)); });
        return;
    }
    get(QStringLiteral("law_file/xml/") + lawId, {}, false, done);
}

}  // namespace tavrel::egov_online
