// Quick copy ("ぷちコピー") on screen: the page's selection goes to the
// clipboard as plain text of at most 512 bytes, and the notice about the
// limit is shown when a longer selection was cut, until the user ticks
// "今後、このメッセージは表示しない".
#pragma once

#include <QDialog>

#include <string>

class QCheckBox;

namespace tavrel {
class SettingsStore;
}

namespace tavrel::gui {

// The notice dialog: each click on the check box writes ClipChk at once.
class QuickCopyNotice : public QDialog {
    Q_OBJECT
  public:
    QuickCopyNotice(SettingsStore& settings, QWidget* parent);
    QCheckBox* doNotShowAgain() const { return check_; }

  private:
    QCheckBox* check_;
};

// Puts the bounded selection (CP932 text) on the clipboard; shows the notice
// (modal) when the text was cut and ClipChk is 0. Nothing happens for an
// empty selection. Returns the text put on the clipboard (CP932).
std::string runQuickCopy(const std::string& selectionCp932, SettingsStore& settings, QWidget* parent);

}  // namespace tavrel::gui
