// What every law text view shares: the browser profile (kept in memory, so
// nothing is written into the user's folders), the scheme handler that serves
// the pages, the script that reports page events over the web channel, and
// the faces that stand in for the Windows font names the pages ask for.
#pragma once

#include <QObject>
#include <QString>

class QWebEngineProfile;

namespace tavrel::gui {

class PageSchemeHandler;

class WebEnvironment : public QObject {
    Q_OBJECT
  public:
    // imageFolder: the only folder whose files the pages may load.
    WebEnvironment(const QString& imageFolder, QObject* parent = nullptr);

    QWebEngineProfile* profile() const { return profile_; }
    PageSchemeHandler* pages() const { return handler_; }

  private:
    void installPageScript();
    void installFontAliases();

    QWebEngineProfile* profile_;
    PageSchemeHandler* handler_;
};

}  // namespace tavrel::gui
