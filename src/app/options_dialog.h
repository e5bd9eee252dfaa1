// The options dialog ("オプション設定"): font sizes, the nineteen colours,
// the pinpoint-mark settings and the start-up page rule. The values live in
// an OptionsModel; this window shows them, turns clicks into model calls
// and opens the colour chooser with the dialog's sixteen custom colours.
#pragma once

#include <QDialog>

#include <memory>

#include "document/navigation.h"
#include "document/options_model.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QSpinBox;
class QRadioButton;

namespace tavrel {
class Document;
}

namespace tavrel::gui {

class ColorSwatchButton;

class OptionsDialog : public QDialog {
    Q_OBJECT
public:
    OptionsDialog(const OptionBlock& current, const OptionBlock& defaults, SettingsStore& store,
               OptionsModel::ApplyToDocument apply, QWidget* parent = nullptr);
    ~OptionsDialog() override;

    const OptionsModel& model() const { return model_; }

    // The control of a dialog identifier (1050 ...), or nullptr.
    QWidget* control(int id) const;

    // Colour value (red in the low byte) <-> QColor.
    static QColor toQColor(int32_t value);
    static uint32_t fromQColor(const QColor& c);

public slots:
    void accept() override;
    void reject() override;

private:
    void build();
    // Control states from the working block (after opening and the reset).
    void initialiseControls();
    void chooseColor(int controlId);
    void onResetAll();
    void onApply();
    std::string sizeText(int listId) const;
    // The e-Gov settings (section EGov) are written at once by OK and 適用;
    // false (and a message) for a base address the program would refuse.
    void showEgovSettings(const EgovSettings& settings);
    bool saveEgovSettings();

    OptionsModel model_;
    QComboBox* basicSize_ = nullptr;
    QComboBox* tableSize_ = nullptr;
    QCheckBox* pinPointOff_ = nullptr;
    QRadioButton* preferDefault_ = nullptr;
    QRadioButton* preferUser_ = nullptr;
    QCheckBox* revive_ = nullptr;
    SettingsStore& store_;
    QLineEdit* egovBase_ = nullptr;
    QSpinBox* egovTimeout_ = nullptr;
    QCheckBox* egovWeekly_ = nullptr;
    QWidget* pinPointSwatch_ = nullptr;
    QWidget* blankSwatch_ = nullptr;
    bool initialising_ = false;
};

// The runner the document's options command calls: the dialog over parent;
// "適用" sets the document's options and redisplays the shown page.
DocumentNavigation::OptionsDialogRunner optionsDialogRunner(Document& doc, DocumentNavigation& navigation,
                                                            QWidget* parent);

}  // namespace tavrel::gui
