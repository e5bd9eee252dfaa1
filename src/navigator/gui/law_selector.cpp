#include "navigator/gui/law_selector.h"

#include "qtsupport/qt_text.h"

#include <QKeyEvent>
#include <QSignalBlocker>

namespace tavrel::gui {

LawSelector::LawSelector(QWidget* parent) : QComboBox(parent) {
    setObjectName(QStringLiteral("lawSelector"));
    setEditable(false);
    setInsertPolicy(QComboBox::NoInsert);
    setMaxVisibleItems(27);  // about 500 pixels of drop-down list
    connect(this, &QComboBox::currentIndexChanged, this, [this]() { emit selectionCommand(); });
}

bool LawSelector::fill(Document& doc) {
    const QSignalBlocker quiet(this);
    clear();
    const bool ok = model_.fill(doc.connection(), doc.messages());
    for (const nav::LawEntry& e : model_.entries()) addItem(toQString(e.text));
    setCurrentIndex(-1);
    return ok;
}

std::string LawSelector::selectedId() const { return model_.idAt(currentIndex()); }

int LawSelector::findIndex(const std::string& idHN) const { return model_.findIndex(idHN); }

void LawSelector::select(const std::string& idHN) {
    const int index = findIndex(idHN);
    if (index < 0) return;
    const QSignalBlocker quiet(this);
    setCurrentIndex(index);
}

void LawSelector::showPopup() {
    open_ = true;
    QComboBox::showPopup();
}

void LawSelector::hidePopup() {
    QComboBox::hidePopup();
    open_ = false;
    emit selectionCommand();
}

void LawSelector::keyPressEvent(QKeyEvent* e) {
    // The down arrow opens the closed drop-down list.
    if (e->key() == Qt::Key_Down && !(e->modifiers() & Qt::AltModifier) && !open_ && count() > 0) {
        showPopup();
        e->accept();
        return;
    }
    QComboBox::keyPressEvent(e);
}

void LawSelector::keyReleaseEvent(QKeyEvent* e) {
    QComboBox::keyReleaseEvent(e);
    if (!e->isAutoRepeat()) emit selectionCommand();
}

}  // namespace tavrel::gui
