// Serves the built law pages to the web view: every page is published under
// "tavrel://page/<ID_FN>?v=<n>" and answered as Shift-JIS HTML; the images
// the pages reference by their absolute paths in the image folder resolve to
// "tavrel://page/<path>" and are answered from that folder (and only from it).
#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <QWebEngineUrlSchemeHandler>

namespace tavrel::gui {

class PageSchemeHandler : public QWebEngineUrlSchemeHandler {
    Q_OBJECT
  public:
    static constexpr const char* kScheme = "tavrel";
    // Must run before the QApplication is created.
    static void registerScheme();

    explicit PageSchemeHandler(QObject* parent = nullptr);

    // Folder whose files may be served (native path).
    void setImageFolder(const QString& folder);
    // Publishes a page; the returned address serves it until the next one.
    QUrl publish(const QString& idFN, const QByteArray& html);

    void requestStarted(QWebEngineUrlRequestJob* job) override;

    // The file a page may load for the address path: the canonical path of
    // an existing file inside the image folder, else empty.
    QString servableFile(const QString& urlPath) const;
    // The page published last, when the address path names it.
    bool servesPage(const QString& urlPath) const {
        return !pageId_.isEmpty() && urlPath == QLatin1Char('/') + pageId_;
    }

  private:
    QString imageFolder_;
    QString pageId_;
    QByteArray pageHtml_;
    quint64 version_ = 0;
};

}  // namespace tavrel::gui
