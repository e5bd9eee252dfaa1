// The web page of the law text view: decides which navigations the browser
// may make. Page links ("…_TAVREL") are refused and reported, so that the
// view shows the target itself; other links are handed to the user's browser.
#pragma once

#include <QUrl>
#include <QWebEnginePage>

class QWebChannel;
class QWebEngineProfile;

namespace tavrel::gui {

class PageBridge;

class LawWebPage : public QWebEnginePage {
    Q_OBJECT
  public:
    LawWebPage(QWebEngineProfile* profile, QObject* parent);

    PageBridge* bridge() const { return bridge_; }

  signals:
    // A page link reached the browser's navigation (the click listener did
    // not catch it).
    void pageLinkRequested(const QString& url);
    // A link to anything else than our pages.
    void externalLinkRequested(const QUrl& url);

  protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    QWebEnginePage* createWindow(WebWindowType type) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString&, int, const QString&) override {}

  private:
    PageBridge* bridge_;
    QWebChannel* channel_;
};

}  // namespace tavrel::gui
