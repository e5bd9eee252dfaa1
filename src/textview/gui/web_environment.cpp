#include "textview/gui/web_environment.h"

#include <QFile>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>

#include "textview/gui/page_scheme.h"

namespace tavrel::gui {

namespace {
// Runs in the application's own script world: the page's scripts cannot see
// the bridge. Clicks on page links are reported with the anchor's id and
// cancelled; the navigation request check of the page catches anything the
// listener misses (for instance a click before the channel is up).
const char* const kPageScript = R"JS(
(function () {
  var bridge = null;
  new QWebChannel(qt.webChannelTransport, function (channel) { bridge = channel.objects.bridge; });
  function anchorOf(node) {
    while (node && node.nodeType === 1) {
      if (node.tagName === 'A') return node;
      node = node.parentNode;
    }
    return null;
  }
  document.addEventListener('click', function (e) {
    var a = anchorOf(e.target);
    if (!a || !bridge) return;
    bridge.anchorClicked(a.id || '');
    var href = a.getAttribute('href') || '';
    if (e.button !== 0 || href.toUpperCase().indexOf('_TAVREL') < 0) return;
    e.preventDefault();
    bridge.linkClicked(a.id || '', href);
  }, true);
  document.addEventListener('contextmenu', function (e) {
    if (!bridge) return;
    var a = anchorOf(e.target);
    e.preventDefault();
    bridge.contextMenu(e.clientX, e.clientY, a ? (a.id || '') : '', a ? (a.getAttribute('href') || '') : '');
  }, true);
})();
)JS";
}  // namespace

WebEnvironment::WebEnvironment(const QString& imageFolder, QObject* parent)
    : QObject(parent), profile_(new QWebEngineProfile(this)), handler_(new PageSchemeHandler(this)) {
    handler_->setImageFolder(imageFolder);
    profile_->installUrlSchemeHandler(PageSchemeHandler::kScheme, handler_);
    profile_->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
    profile_->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
    QWebEngineSettings* s = profile_->settings();
    s->setFontFamily(QWebEngineSettings::StandardFont, QStringLiteral("IPAPMincho"));
    s->setFontFamily(QWebEngineSettings::SerifFont, QStringLiteral("IPAPMincho"));
    s->setFontFamily(QWebEngineSettings::SansSerifFont, QStringLiteral("IPAPGothic"));
    s->setFontFamily(QWebEngineSettings::FixedFont, QStringLiteral("IPAGothic"));
    s->setDefaultTextEncoding(QStringLiteral("Shift_JIS"));
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
    installPageScript();
}

void WebEnvironment::installPageScript() {
    QFile channelJs(QStringLiteral(":/qtwebchannel/qwebchannel.js"));
    QByteArray source;
    if (channelJs.open(QIODevice::ReadOnly)) source = channelJs.readAll();
    source += kPageScript;
    QWebEngineScript script;
    script.setName(QStringLiteral("tavrel-page-events"));
    script.setSourceCode(QString::fromUtf8(source));
    script.setInjectionPoint(QWebEngineScript::DocumentReady);
    script.setWorldId(QWebEngineScript::ApplicationWorld);
    script.setRunsOnSubFrames(false);
    profile_->scripts()->insert(script);
}

}  // namespace tavrel::gui
