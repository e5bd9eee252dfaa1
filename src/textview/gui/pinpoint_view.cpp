#include "textview/gui/pinpoint_view.h"

#include <QEvent>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWidget>

#include "document/document.h"
#include "textview/gui/jump_list.h"
#include "qtsupport/qt_text.h"

namespace tavrel::gui {

namespace {
// The page whose anchors were coloured last, for every view of the process.
std::string lastColoredPageId;
}  // namespace

PinPointView::PinPointView(Document& doc, QWidget* view, QWebEnginePage* page, ShowAndSync showAndSync,
                           CurrentPage currentPage)
    : QObject(view),
      doc_(doc),
      view_(view),
      page_(page),
      showAndSync_(std::move(showAndSync)),
      currentPage_(std::move(currentPage)),
      tools_(doc, lastColoredPageId),
      dialog_(new JumpList(toQString(textview::pinImageSource(doc)), view)) {
    connect(page_, &QWebEnginePage::loadFinished, this, &PinPointView::onLoadFinished);
    connect(dialog_, &JumpList::picked, this, &PinPointView::onPicked);
    view_->installEventFilter(this);
}

// The view drops the filter by itself when this object goes (with the view).
PinPointView::~PinPointView() = default;

void PinPointView::run(const std::string& script) {
    if (script.empty()) return;
    page_->runJavaScript(QString::fromLatin1(script.data(), static_cast<qsizetype>(script.size())),
                         QWebEngineScript::ApplicationWorld);
}

void PinPointView::pageClicked(const std::string& anchorId) { run(tools_.onPageClick(anchorId)); }

textview::PinPointTarget PinPointView::beforeLinkShown(const std::string& target) {
    return tools_.onLinkClick(target);
}

void PinPointView::afterLinkShown(bool shown, const textview::PinPointTarget& resolved) {
    tools_.afterLinkShown(shown, resolved);
}

void PinPointView::pageReplaced() {
    tools_.pageReplaced();
    loadPending_ = true;
}

void PinPointView::colorAnchors() {
    if (loadPending_) return;
    run(tools_.onFocus(currentPage_()));
}

void PinPointView::onLoadFinished(bool ok) {
    loadPending_ = false;
    if (!ok) return;
    run(tools_.onLoad(currentPage_()));
}

bool PinPointView::showJumpList(const QPoint& globalPos, const std::string& target) {
    const textview::PinPointList list = tools_.onContextMenu(contextAnchorId_, target);
    if (list.result == 2) return false;
    if (list.showList()) {
        dialog_->showItems(list.items, list.currentIndex, globalPos);
    } else if (!list.directPage.empty()) {
        showAndSync_(list.directPage);
    }
    return true;
}

void PinPointView::onPicked(const QString& data) {
    const std::string d = data.toStdString();
    const bool shown = showAndSync_(textview::PinPointTools::pickedPage(d));
    tools_.afterPickShown(shown, d);
}

bool PinPointView::eventFilter(QObject* watched, QEvent* e) {
    if (watched == view_ && e->type() == QEvent::Resize) run(tools_.onResize());
    return QObject::eventFilter(watched, e);
}

}  // namespace tavrel::gui
