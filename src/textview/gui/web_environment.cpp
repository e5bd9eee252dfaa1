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
    if (!bridge) return;
    var a = anchorOf(e.target);
    // Every click: the pinpoint tools forget the last anchor ("" off links).
    bridge.anchorClicked(a ? (a.id || '') : '');
    if (!a) return;
    var href = a.getAttribute('href') || '';
    if (e.button !== 0 || href.toUpperCase().indexOf('_TAVREL') < 0) return;
    e.preventDefault();
    bridge.linkClicked(a.id || '', href);
  }, true);
  function pageX(e) { return Math.round(e.clientX + window.scrollX); }
  function pageY(e) { return Math.round(e.clientY + window.scrollY); }
  document.addEventListener('mousedown', function (e) {
    if (!bridge) return;
    var t = e.target;
    var onImageOrAnchor = !!(t && t.nodeType === 1 && (t.tagName === 'IMG' || anchorOf(t)));
    bridge.mouseDown(e.button, pageX(e), pageY(e), onImageOrAnchor);
  }, true);
  document.addEventListener('mousemove', function (e) {
    if (bridge && (e.buttons & 2)) bridge.mouseMove(pageX(e), pageY(e));
  }, true);
  document.addEventListener('mouseup', function (e) {
    if (!bridge || e.button !== 2) return;
    var a = anchorOf(e.target);
    bridge.contextAnchor(a ? (a.id || '') : '');
    bridge.mouseUp(e.button, pageX(e), pageY(e), Math.round(e.clientX), Math.round(e.clientY), !!a,
                   a ? (a.getAttribute('href') || '') : '');
  }, true);
  // The menu opens on the release of the right button (after a gesture).
  document.addEventListener('contextmenu', function (e) { e.preventDefault(); }, true);
})();
)JS";

// The pages name the Windows faces ('ＭＳ Ｐゴシック' for the text,
// 'Century','ＭＳ Ｐ明朝' for article numbers), which no Linux machine has; the
// browser would fall through to the standard face. These faces give those
// names the installed IPA and TeX Gyre faces, per document and without
// touching the page's HTML. Each name lists the face's full name and its
// PostScript name, which is what local() matches here.
const char* const kFontAliasScript = R"JS(
(function () {
  if (typeof FontFace === 'undefined' || !document.fonts) return;
  var faces = [
    ['ＭＳ Ｐゴシック', 'local("IPAPGothic"), local("IPA Pゴシック")', {}],
    ['ＭＳ ゴシック', 'local("IPAGothic"), local("IPAゴシック")', {}],
    ['ＭＳ Ｐ明朝', 'local("IPAPMincho"), local("IPA P明朝")', {}],
    ['ＭＳ 明朝', 'local("IPAMincho"), local("IPA明朝")', {}],
    ['Century', 'local("TeXGyreSchola-Regular"), local("TeX Gyre Schola")', {}],
    ['Century', 'local("TeXGyreSchola-Bold"), local("TeX Gyre Schola Bold")', {weight: 'bold'}],
    ['Century', 'local("TeXGyreSchola-Italic"), local("TeX Gyre Schola Italic")', {style: 'italic'}],
    ['Century', 'local("TeXGyreSchola-BoldItalic"), local("TeX Gyre Schola Bold Italic")',
     {weight: 'bold', style: 'italic'}]
  ];
  for (var i = 0; i < faces.length; ++i) {
    try { document.fonts.add(new FontFace(faces[i][0], faces[i][1], faces[i][2])); } catch (e) {}
  }
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
    installFontAliases();
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

void WebEnvironment::installFontAliases() {
    QWebEngineScript script;
    script.setName(QStringLiteral("tavrel-font-aliases"));
    script.setSourceCode(QString::fromUtf8(kFontAliasScript));
    // Before the page's own style is read, in the page's world: the faces
    // belong to the document the page lays out with.
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(QWebEngineScript::MainWorld);
    script.setRunsOnSubFrames(true);
    profile_->scripts()->insert(script);
}

}  // namespace tavrel::gui
