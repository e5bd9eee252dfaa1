// The navigator's key-repeat rule, shared by the tree and the three lists:
// while an arrow key or Page Up/Page Down auto-repeats in one of them the
// flag is set and selection changes open nothing; the key's release clears
// it and the control announces its selection once, so the item reached is
// opened.
#pragma once

#include <QKeyEvent>

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

}  // namespace tavrel::gui
