// The pinpoint side of the law text view: it feeds the page's events to the
// pinpoint tools and runs the scripts they return in the page, resolves a
// clicked link's marker before the page is shown, jumps to the marked
// sentence with the marker image once the page has loaded, takes the image
// away on a click or a resize, colours the anchors that have a marker once
// per page, and opens the selective jump list on a right-clicked page link.
#pragma once

#include <QObject>
#include <QPoint>

#include <functional>
#include <string>

#include "textview/pinpoint_tools.h"

class QWebEnginePage;
class QWidget;

namespace tavrel {
class Document;
}

namespace tavrel::gui {

class JumpList;

class PinPointView : public QObject {
    Q_OBJECT
public:
    // Shows a page for the tools and, when shown and allowed, synchronises
    // the navigator with it; true when the page was shown.
    using ShowAndSync = std::function<bool(const std::string& idFN)>;
    using CurrentPage = std::function<std::string()>;

    // view: the text view's widget (its resizes take the marker image away);
    // page: the page the scripts run in.
    PinPointView(Document& doc, QWidget* view, QWebEnginePage* page, ShowAndSync showAndSync,
                 CurrentPage currentPage);
    ~PinPointView() override;

    // A click anywhere in the page: anchorId of the clicked anchor, "" else.
    void pageClicked(const std::string& anchorId);
    // The anchor under the mouse at a right-button release.
    void setContextAnchor(const std::string& anchorId) { contextAnchorId_ = anchorId; }
    // A page link to target was clicked: the page to show instead and
    // whether to jump; afterLinkShown when showPage has returned.
    textview::PinPointTarget beforeLinkShown(const std::string& target);
    void afterLinkShown(bool shown, const textview::PinPointTarget& resolved);
    // A page (or a redisplay) goes into the browser now.
    void pageReplaced();
    // The document's request to colour the anchors: done at once unless a
    // page is still loading (its load colours it).
    void colorAnchors();
    // The right-clicked page link: opens the selective jump list at the
    // screen point, or shows the article directly when the list would hold
    // only the page item. False when there is nothing to show (the ordinary
    // context menu opens instead).
    bool showJumpList(const QPoint& globalPos, const std::string& target);

    JumpList* jumpList() const { return dialog_; }
    const textview::PinPointTools& tools() const { return tools_; }
    bool loadPending() const { return loadPending_; }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void onLoadFinished(bool ok);
    void onPicked(const QString& data);
    void run(const std::string& script);

    Document& doc_;
    QWidget* view_;
    QWebEnginePage* page_;
    ShowAndSync showAndSync_;
    CurrentPage currentPage_;
    textview::PinPointTools tools_;
    JumpList* dialog_;  // a child window of the view
    std::string contextAnchorId_;
    bool loadPending_ = false;
};

}  // namespace tavrel::gui
