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
    // Mouse buttons on the page: (x, y) in page coordinates (client position
    // plus scroll offsets); the release also carries the client position and
    // the anchor under the mouse (hasAnchor false: none).
    Q_INVOKABLE void mouseDown(int button, int x, int y, bool onImageOrAnchor) {
        emit mouseDownAt(button, x, y, onImageOrAnchor);
    }
    Q_INVOKABLE void mouseMove(int x, int y) { emit mouseMovedTo(x, y); }
    // The anchor under the mouse as the right button is released ("" for
    // none), reported just before mouseUp.
    Q_INVOKABLE void contextAnchor(const QString& anchorId) { emit contextAnchorAt(anchorId); }
    Q_INVOKABLE void mouseUp(int button, int x, int y, int clientX, int clientY, bool hasAnchor,
                             const QString& href) {
        emit mouseUpAt(button, x, y, clientX, clientY, hasAnchor, href);
    }

signals:
    void pageLinkClicked(const QString& anchorId, const QString& href);
    void anchorIdClicked(const QString& anchorId);
    void mouseDownAt(int button, int x, int y, bool onImageOrAnchor);
    void mouseMovedTo(int x, int y);
    void contextAnchorAt(const QString& anchorId);
    void mouseUpAt(int button, int x, int y, int clientX, int clientY, bool hasAnchor, const QString& href);
};

}  // namespace tavrel::gui
