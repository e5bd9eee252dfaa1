#include "textview/gui/page_scheme.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrlQuery>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>

namespace tavrel::gui {

namespace {
const QString kPageHost = QStringLiteral("page");

QByteArray mimeFor(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("gif")) return "image/gif";
    if (suffix == QLatin1String("png")) return "image/png";
    if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg")) return "image/jpeg";
    if (suffix == QLatin1String("svg")) return "image/svg+xml";
    if (suffix == QLatin1String("bmp")) return "image/bmp";
    if (suffix == QLatin1String("css")) return "text/css";
    return "application/octet-stream";
}
}  // namespace

void PageSchemeHandler::registerScheme() {
    QWebEngineUrlScheme scheme(kScheme);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
    scheme.setDefaultPort(QWebEngineUrlScheme::PortUnspecified);
    scheme.setFlags(QWebEngineUrlScheme::SecureScheme | QWebEngineUrlScheme::LocalScheme |
                    QWebEngineUrlScheme::LocalAccessAllowed);
    QWebEngineUrlScheme::registerScheme(scheme);
}

PageSchemeHandler::PageSchemeHandler(QObject* parent) : QWebEngineUrlSchemeHandler(parent) {}

void PageSchemeHandler::setImageFolder(const QString& folder) {
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    imageFolder_ = canonical.isEmpty() ? QString() : canonical + QLatin1Char('/');
}

QUrl PageSchemeHandler::publish(const QString& idFN, const QByteArray& html) {
    pageId_ = idFN;
    pageHtml_ = html;
    QUrl url;
    url.setScheme(QString::fromLatin1(kScheme));
    url.setHost(kPageHost);
    url.setPath(QLatin1Char('/') + idFN);
    url.setQuery(QStringLiteral("v=%1").arg(++version_));
    return url;
}

QString PageSchemeHandler::servableFile(const QString& urlPath) const {
    const QFileInfo info(urlPath);
    const QString canonical = info.canonicalFilePath();
    if (imageFolder_.isEmpty() || canonical.isEmpty() || !info.isFile() || !canonical.startsWith(imageFolder_))
        return {};
    return canonical;
}

void PageSchemeHandler::requestStarted(QWebEngineUrlRequestJob* job) {
    const QUrl url = job->requestUrl();
    if (url.host() != kPageHost) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    const QString path = url.path();
    if (servesPage(path)) {
        auto* buffer = new QBuffer(job);
        buffer->setData(pageHtml_);
        job->reply("text/html;charset=Shift_JIS", buffer);
        return;
    }
    // An image of the page: only files inside the image folder are served.
    const QString canonical = servableFile(path);
    if (canonical.isEmpty()) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    QFile file(canonical);
    if (!file.open(QIODevice::ReadOnly)) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    auto* buffer = new QBuffer(job);
    buffer->setData(file.readAll());
    job->reply(mimeFor(canonical), buffer);
}

}  // namespace tavrel::gui
