#include "app/qt_message_sink.h"

#include "qtsupport/qt_text.h"

#include <QMessageBox>

namespace tavrel::gui {

MsgAnswer QtMessageSink::show(const std::string& caption, const std::string& text, MsgButtons buttons, MsgIcon icon,
                              bool ownerless) {
    const QString qCaption = toQString(caption), qText = toQString(text);
    shown_.push_back({qCaption, qText});
    const MsgAnswer fallback = buttons == MsgButtons::YesNo ? MsgAnswer::Yes : MsgAnswer::Ok;
    if (inAdvance_) {
        if (answers_.empty()) return fallback;
        const MsgAnswer a = answers_.front();
        answers_.pop_front();
        return a;
    }
    QMessageBox::Icon qIcon = QMessageBox::NoIcon;
    switch (icon) {
        case MsgIcon::Error:
            qIcon = QMessageBox::Critical;
            break;
        case MsgIcon::Information:
            qIcon = QMessageBox::Information;
            break;
        case MsgIcon::Exclamation:
            qIcon = QMessageBox::Warning;
            break;
        case MsgIcon::Question:
            qIcon = QMessageBox::Question;
            break;
        case MsgIcon::None:
            break;
    }
    QMessageBox::StandardButtons qButtons = QMessageBox::Ok;
    if (buttons == MsgButtons::OkCancel) qButtons = QMessageBox::Ok | QMessageBox::Cancel;
    if (buttons == MsgButtons::YesNo) qButtons = QMessageBox::Yes | QMessageBox::No;
    QMessageBox box(qIcon, qCaption, qText, qButtons, ownerless ? nullptr : owner_);
    switch (box.exec()) {
        case QMessageBox::Cancel:
            return MsgAnswer::Cancel;
        case QMessageBox::Yes:
            return MsgAnswer::Yes;
        case QMessageBox::No:
            return MsgAnswer::No;
        default:
            return fallback;
    }
}

}  // namespace tavrel::gui
