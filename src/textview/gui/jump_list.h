// The selective jump list (JumpList): a borderless pop-up with one list
// of the sentences of a link's target article. The item under the mouse is
// selected as the mouse moves; a click picks it. The link's current marker
// (or "頁トップ") carries the marker image. The pop-up hides itself when
// it loses the focus or after a pick.
#pragma once

#include <QFrame>
#include <QString>

#include "textview/pinpoint_list.h"

class QListWidget;
class QListWidgetItem;

namespace tavrel::gui {

class JumpList : public QFrame {
    Q_OBJECT
public:
    // pinImagePath: the marker image that marks the current choice (a
    // painted mark stands in when it cannot be read).
    explicit JumpList(const QString& pinImagePath, QWidget* parent = nullptr);

    // Fills the list with the items, sizes the window to them (capped at the
    // maximum height, with a scroll bar then), places it at the screen point
    // (x, y + 10), brings the current choice into view and shows it.
    void showItems(const std::vector<textview::PinPointItem>& items, int currentIndex, const QPoint& globalPos);

    QListWidget* list() const { return list_; }
    // The window's largest height: a longer list scrolls.
    static constexpr int kMaximumHeight = 380;

signals:
    // A pick: the item's data (the page for "頁トップ", else the ID_BN).
    void picked(const QString& data);

protected:
    void hideEvent(QHideEvent* e) override;

private:
    void pick(QListWidgetItem* item);

    QListWidget* list_;
    QPixmap currentMark_;
    QPixmap noMark_;
    bool picking_ = false;
};

}  // namespace tavrel::gui
