#include "textview/gui/quick_copy_action.h"

#include "qtsupport/qt_text.h"
#include "textview/quick_copy.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace tavrel::gui {

QuickCopyNotice::QuickCopyNotice(SettingsStore& settings, QWidget* parent)
    : QDialog(parent), check_(new QCheckBox(toQString(textview::quickCopyNoticeCheckBox()), this)) {
    setObjectName(QStringLiteral("quickCopyNotice"));
    setWindowTitle(toQString(textview::quickCopyNoticeCaption()));
    auto* layout = new QVBoxLayout(this);
    auto* message = new QLabel(toQString(textview::quickCopyNoticeMessage()), this);
    message->setObjectName(QStringLiteral("quickCopyMessage"));
    message->setWordWrap(true);
    layout->addWidget(message);
    check_->setObjectName(QStringLiteral("quickCopyDoNotShow"));
    check_->setChecked(textview::readClipChk(settings) != 0);
    layout->addWidget(check_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(check_, &QCheckBox::clicked, this,
            [&settings](bool checked) { textview::writeClipChk(settings, checked); });
}

std::string runQuickCopy(const std::string& selectionCp932, SettingsStore& settings, QWidget* parent) {
    if (selectionCp932.empty()) return {};
    const textview::QuickCopyText bounded =
        textview::boundQuickCopyText(selectionCp932, textview::readClipChk(settings));
    // Only the plain text stays on the clipboard.
    QApplication::clipboard()->setText(toQString(bounded.text));
    if (bounded.showNotice) {
        QuickCopyNotice notice(settings, parent);
        notice.exec();
    }
    return bounded.text;
}

}  // namespace tavrel::gui
