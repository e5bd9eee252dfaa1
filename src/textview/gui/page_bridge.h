// The object the page's script talks to over the web channel: it reports the
// page events the view reacts to.
#pragma once

#include <QObject>
#include <QString>

namespace tavrel::gui {

class PageBridge : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // A click on a page link: the anchor's id and its href as written.
    Q_INVOKABLE void linkClicked(const QString& anchorId, const QString& href) { emit pageLinkClicked(anchorId, href); }
    // A click on any anchor (the pinpoint tools remember its id).
    Q_INVOKABLE void anchorClicked(const QString& anchorId) { emit anchorIdClicked(anchorId); }
    // The context menu was asked for at (x, y) in page coordinates; href is
    // the anchor's href under the mouse, or empty.
    Q_INVOKABLE void contextMenu(int x, int y, const QString& anchorId, const QString& href) {
        emit contextMenuRequested(x, y, anchorId, href);
    }

signals:
    void pageLinkClicked(const QString& anchorId, const QString& href);
    void anchorIdClicked(const QString& anchorId);
    void contextMenuRequested(int x, int y, const QString& anchorId, const QString& href);
};

}  // namespace tavrel::gui
