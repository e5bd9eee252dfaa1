#include "navigator/gui/key_repeat.h"

namespace tavrel::gui {

void NavigatorTreeWidget::keyPressEvent(QKeyEvent* e) {
    if (const int step = tabStepOf(e)) {
        emit tabStepRequested(step);
        e->accept();
        return;
    }
    if (isEnterKey(e->key())) emit selectionNotify();
    if (e->isAutoRepeat() && isRepeatKey(e->key())) repeat_.active = true;
    QTreeWidget::keyPressEvent(e);
}

void NavigatorTreeWidget::keyReleaseEvent(QKeyEvent* e) {
    // A repeating key sends a release with every repeat: only the real one counts.
    if (!e->isAutoRepeat() && repeat_.active) {
        repeat_.active = false;
        emit selectionNotify();
    }
    QTreeWidget::keyReleaseEvent(e);
}

}  // namespace tavrel::gui
