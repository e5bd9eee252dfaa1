#include "textview/gui/law_web_page.h"

#include "textview/gui/page_bridge.h"
#include "textview/gui/page_scheme.h"
#include "qtsupport/qt_text.h"
#include "textview/link_target.h"

#include <QWebChannel>
#include <QWebEngineProfile>
#include <QWebEngineScript>

namespace tavrel::gui {

namespace {
// A page opened for a link with a target window: its first navigation goes
// to the user's browser (or back to the law page for a page link), then it
// goes away.
class LinkCatcherPage : public QWebEnginePage {
  public:
    LinkCatcherPage(QWebEngineProfile* profile, LawWebPage* owner) : QWebEnginePage(profile, owner), owner_(owner) {}

  protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType, bool) override {
        if (textview::isPageLink(toCp932(url.toString())))
            emit owner_->pageLinkRequested(url.toString());
        else
            emit owner_->externalLinkRequested(url);
        deleteLater();
        return false;
    }

  private:
    LawWebPage* owner_;
};
}  // namespace

LawWebPage::LawWebPage(QWebEngineProfile* profile, QObject* parent)
    : QWebEnginePage(profile, parent), bridge_(new PageBridge(this)), channel_(new QWebChannel(this)) {
    channel_->registerObject(QStringLiteral("bridge"), bridge_);
    setWebChannel(channel_, QWebEngineScript::ApplicationWorld);
}

bool LawWebPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) {
    const QString address = url.toString();
    if (textview::isPageLink(toCp932(address))) {
        emit pageLinkRequested(address);
        return false;
    }
    const QString scheme = url.scheme();
    if (scheme == QLatin1String(PageSchemeHandler::kScheme) || scheme == QLatin1String("about") ||
        scheme == QLatin1String("data"))
        return true;
    if (type == NavigationTypeLinkClicked || isMainFrame) {
        emit externalLinkRequested(url);
        return false;
    }
    return true;
}

QWebEnginePage* LawWebPage::createWindow(WebWindowType) { return new LinkCatcherPage(profile(), this); }

}  // namespace tavrel::gui
