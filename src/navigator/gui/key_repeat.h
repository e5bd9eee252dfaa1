// The navigator's key-repeat rule, shared by the tree and the three lists:
// while an arrow key or Page Up/Page Down auto-repeats in one of them the
// flag is set and selection changes open nothing; the key's release clears
// it and the control announces its selection once, so the item reached is
// opened.
#pragma once

#include <QKeyEvent>
#include <QTreeWidget>

namespace tavrel::gui {

struct KeyRepeat {
    bool active = false;
};

inline bool isRepeatKey(int key) {
    switch (key) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            return true;
        default:
            return false;
    }
}

inline bool isEnterKey(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter; }

// Ctrl+Page Down: +1, Ctrl+Page Up: -1, otherwise 0.
inline int tabStepOf(const QKeyEvent* e) {
    if (!(e->modifiers() & Qt::ControlModifier)) return 0;
    if (e->key() == Qt::Key_PageDown) return 1;
    if (e->key() == Qt::Key_PageUp) return -1;
    return 0;
}

// The tree widget the contents tree and the lists are made of: it applies
// the key-repeat rule (with the flag the navigator's controls share), opens
// the selection again on Enter and turns Ctrl+Page Up/Down into tab steps.
class NavigatorTreeWidget : public QTreeWidget {
    Q_OBJECT
  public:
    NavigatorTreeWidget(KeyRepeat& repeat, QWidget* parent) : QTreeWidget(parent), repeat_(repeat) {}

  signals:
    // The selected item should be opened (again): the key that ended an
    // auto-repeat was released, or Enter was pressed.
    void selectionNotify();
    // Ctrl+Page Down (+1) / Ctrl+Page Up (-1).
    void tabStepRequested(int step);

  protected:
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;

    KeyRepeat& repeat_;
};

}  // namespace tavrel::gui
