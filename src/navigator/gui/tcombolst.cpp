#include "navigator/gui/tcombolst.h"

#include "textview/gui/qt_text.h"

#include <QKeyEvent>
#include <QSignalBlocker>

namespace tavrel::gui {

TComboLst::TComboLst(QWidget* parent) : QComboBox(parent) {
    setObjectName(QStringLiteral("lawSelector"));
    setEditable(false);
    setInsertPolicy(QComboBox::NoInsert);
    setMaxVisibleItems(27);  // about 500 pixels of drop-down list
    connect(this, &QComboBox::currentIndexChanged, this, [this]() { emit selectionCommand(); });
}

bool TComboLst::_init(CTavrelDoc& doc) {
    const QSignalBlocker quiet(this);
    clear();
    const bool ok = model_._init(doc.connection(), doc.messages());
    for (const nav::LawEntry& e : model_.entries()) addItem(toQString(e.text));
    setCurrentIndex(-1);
    return ok;
}

std::string TComboLst::_get_selected_id() const { return model_.idAt(currentIndex()); }

int TComboLst::_find_index(const std::string& idHN) const { return model_._find_index(idHN); }

void TComboLst::_select(const std::string& idHN) {
    const int index = _find_index(idHN);
    if (index < 0) return;
    const QSignalBlocker quiet(this);
    setCurrentIndex(index);
}

void TComboLst::showPopup() {
    open_ = true;
    QComboBox::showPopup();
}

void TComboLst::hidePopup() {
    QComboBox::hidePopup();
    open_ = false;
    emit selectionCommand();
}

void TComboLst::keyPressEvent(QKeyEvent* e) {
    // The down arrow opens the closed drop-down list.
    if (e->key() == Qt::Key_Down && !(e->modifiers() & Qt::AltModifier) && !open_ && count() > 0) {
        showPopup();
        e->accept();
        return;
    }
    QComboBox::keyPressEvent(e);
}

void TComboLst::keyReleaseEvent(QKeyEvent* e) {
    QComboBox::keyReleaseEvent(e);
    if (!e->isAutoRepeat()) emit selectionCommand();
}

}  // namespace tavrel::gui
