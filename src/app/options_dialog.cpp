#include "app/options_dialog.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "document/document.h"
#include "egov_online/answers.h"
#include "qtsupport/qt_text.h"

namespace tavrel::gui {

namespace {
QString controlName(int id) { return QStringLiteral("ctl%1").arg(id); }

constexpr int kSwatchHeight = 18;
constexpr int kSwatchWidth = 44;
constexpr int kNarrowSwatchWidth = 22;
}  // namespace

// A colour swatch: a button filled with the colour it is bound to.
class ColorSwatchButton : public QAbstractButton {
public:
    ColorSwatchButton(const OptionsModel& model, int controlId, int width, QWidget* parent)
        : QAbstractButton(parent), model_(model), controlId_(controlId) {
        setObjectName(controlName(controlId));
        setFixedSize(width, kSwatchHeight);
        setCursor(Qt::PointingHandCursor);
        setFocusPolicy(Qt::TabFocus);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter g(this);
        const QRect r = rect().adjusted(0, 0, -1, -1);
        g.setPen(QColor(0x80, 0x80, 0x80));
        if (const auto c = model_.swatchColor(controlId_))
            g.setBrush(OptionsDialog::toQColor(*c));
        else
            g.setBrush(Qt::NoBrush);
        g.drawRect(r);
        if (hasFocus()) {
            g.setBrush(Qt::NoBrush);
            g.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
            g.drawRect(r.adjusted(2, 2, -2, -2));
        }
    }

private:
    const OptionsModel& model_;
    int controlId_;
};

OptionsDialog::OptionsDialog(const OptionBlock& current, const OptionBlock& defaults, SettingsStore& store,
                       OptionsModel::ApplyToDocument apply, QWidget* parent)
    : QDialog(parent), model_(current, defaults, store, std::move(apply)), store_(store) {
    setObjectName(QStringLiteral("OptionsDialog"));
    setWindowTitle(QStringLiteral("オプション設定"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    // The dialog's own background is white.
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setAutoFillBackground(true);
    build();
    initialiseControls();
    setFixedSize(sizeHint());
}

OptionsDialog::~OptionsDialog() = default;

QColor OptionsDialog::toQColor(int32_t value) {
    const auto v = static_cast<uint32_t>(value);
    return QColor(static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF), static_cast<int>((v >> 16) & 0xFF));
}

uint32_t OptionsDialog::fromQColor(const QColor& c) {
    return static_cast<uint32_t>(c.red()) | (static_cast<uint32_t>(c.green()) << 8) |
           (static_cast<uint32_t>(c.blue()) << 16);
}

QWidget* OptionsDialog::control(int id) const { return findChild<QWidget*>(controlName(id)); }

void OptionsDialog::build() {
    auto* top = new QVBoxLayout(this);

    // Font sizes.
    auto* sizes = new QGroupBox(QStringLiteral("文字サイズ"), this);
    auto* sizeGrid = new QGridLayout(sizes);
    auto makeList = [&](int id) {
        auto* box = new QComboBox(sizes);
        box->setObjectName(controlName(id));
        for (const auto& e : OptionsModel::fontSizeEntries()) box->addItem(toQString(e));
        return box;
    };
    basicSize_ = makeList(options_dlg::FontSizeBasicList);
    tableSize_ = makeList(options_dlg::FontSizeTableList);
    sizeGrid->addWidget(new QLabel(QStringLiteral("本文及びタイトル"), sizes), 0, 0);
    sizeGrid->addWidget(basicSize_, 0, 1);
    sizeGrid->addWidget(new QLabel(QStringLiteral("表式"), sizes), 1, 0);
    sizeGrid->addWidget(tableSize_, 1, 1);
    sizeGrid->setColumnStretch(2, 1);
    auto* note = new QLabel(toQString(OptionsModel::fontSizeNote()), sizes);
    note->setObjectName(QStringLiteral("fontSizeNote"));
    note->setWordWrap(true);
    sizeGrid->addWidget(note, 2, 0, 1, 3);
    top->addWidget(sizes);

    // Colours: one row per label, the brackets with a narrow and a wide
    // swatch.
    auto* colors = new QGroupBox(this);
    colors->setObjectName(QStringLiteral("colorGroup"));
    auto* grid = new QGridLayout(colors);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(4);
    auto swatch = [&](int id, int width) {
        auto* b = new ColorSwatchButton(model_, id, width, colors);
        connect(b, &QAbstractButton::clicked, this, [this, id]() { chooseColor(id); });
        return b;
    };
    auto label = [&](int id) {
        const ColorSwatch* s = OptionsModel::findSwatch(id);
        return new QLabel(s ? toQString(OptionsModel::swatchLabel(*s)) : QString(), colors);
    };
    const int left[] = {1052, 1054, 1055, 1053, 1072, 1056, 1057, 1058, 1059};
    int row = 0;
    for (int id : left) {
        grid->addWidget(label(id), row, 0);
        grid->addWidget(swatch(id, kSwatchWidth), row, 1, 1, 2, Qt::AlignLeft);
        ++row;
    }
    row = 0;
    for (const auto& [a, b] : {std::pair{1061, 1064}, std::pair{1062, 1065}, std::pair{1063, 1066}}) {
        grid->addWidget(label(a), row, 4);
        grid->addWidget(swatch(a, kNarrowSwatchWidth), row, 5);
        grid->addWidget(swatch(b, kSwatchWidth), row, 6, Qt::AlignLeft);
        ++row;
    }
    for (int id : {1069, 1070, 1071}) {
        grid->addWidget(label(id), row, 4);
        grid->addWidget(swatch(id, kSwatchWidth), row, 5, 1, 2, Qt::AlignLeft);
        ++row;
    }
    // The pinpoint swatch and, in its place while marks are not coloured,
    // the blank one.
    ++row;
    grid->addWidget(label(options_dlg::PinPointSwatch), row, 4);
    pinPointSwatch_ = swatch(options_dlg::PinPointSwatch, kSwatchWidth);
    grid->addWidget(pinPointSwatch_, row, 5, 1, 2, Qt::AlignLeft);
    auto* blank = new QFrame(colors);
    blank->setObjectName(controlName(options_dlg::BlankSwatch));
    blank->setFrameStyle(QFrame::Box | QFrame::Plain);
    blank->setStyleSheet(QStringLiteral("QFrame { color: #c0c0c0; background: white; }"));
    blank->setFixedSize(kSwatchWidth, kSwatchHeight);
    blankSwatch_ = blank;
    grid->addWidget(blankSwatch_, row, 5, 1, 2, Qt::AlignLeft);
    grid->setColumnMinimumWidth(3, 16);
    grid->setColumnStretch(7, 1);
    top->addWidget(colors);

    // Pinpoint marks.
    auto* pin = new QGroupBox(this);
    pin->setObjectName(QStringLiteral("pinPointGroup"));
    auto* pinLayout = new QVBoxLayout(pin);
    pinPointOff_ = new QCheckBox(QStringLiteral("ピンポイントマークに色をつけない"), pin);
    pinPointOff_->setObjectName(controlName(options_dlg::PinPointColorOff));
    preferDefault_ = new QRadioButton(QStringLiteral("デフォルト設定を優先する"), pin);
    preferDefault_->setObjectName(controlName(options_dlg::PreferDefault));
    preferUser_ = new QRadioButton(QStringLiteral("ユーザ設定を優先する"), pin);
    preferUser_->setObjectName(controlName(options_dlg::PreferUser));
    auto* group = new QButtonGroup(pin);
    group->addButton(preferDefault_);
    group->addButton(preferUser_);
    pinLayout->addWidget(pinPointOff_);
    auto* radios = new QHBoxLayout;
    radios->addWidget(preferDefault_);
    radios->addWidget(preferUser_);
    radios->addStretch(1);
    pinLayout->addLayout(radios);
    top->addWidget(pin);

    revive_ = new QCheckBox(QStringLiteral("最後に開いたページを起動時に表示する"), this);
    revive_->setObjectName(controlName(options_dlg::ReviveLastPageCheck));
    top->addWidget(revive_);

    // Laws from e-Gov: where the program asks, how long it waits, the weekly check.
    auto* egov = new QGroupBox(QStringLiteral("e-Gov 法令API"), this);
    egov->setObjectName(QStringLiteral("egovGroup"));
    auto* egovGrid = new QGridLayout(egov);
    egovBase_ = new QLineEdit(egov);
    egovBase_->setObjectName(QStringLiteral("egovBaseUrl"));
    egovTimeout_ = new QSpinBox(egov);
    egovTimeout_->setObjectName(QStringLiteral("egovTimeout"));
    egovTimeout_->setRange(1, 600);
    egovWeekly_ = new QCheckBox(QStringLiteral("取り込んだ法令の更新を週に一度、起動時に確認する"), egov);
    egovWeekly_->setObjectName(QStringLiteral("egovWeeklyCheck"));
    egovGrid->addWidget(new QLabel(QStringLiteral("アドレス"), egov), 0, 0);
    egovGrid->addWidget(egovBase_, 0, 1);
    egovGrid->addWidget(new QLabel(QStringLiteral("応答の待ち時間（秒）"), egov), 1, 0);
    egovGrid->addWidget(egovTimeout_, 1, 1, Qt::AlignLeft);
    egovGrid->addWidget(egovWeekly_, 2, 0, 1, 2);
    top->addWidget(egov);
    showEgovSettings(readEgovSettings(store_));

    connect(pinPointOff_, &QCheckBox::toggled, this, [this](bool on) {
        if (initialising_) return;
        model_.setPinPointColorOff(on);
        pinPointSwatch_->setVisible(!on);
        blankSwatch_->setVisible(on);
    });
    connect(preferDefault_, &QRadioButton::toggled, this, [this](bool on) {
        if (!initialising_ && on) model_.setPreferDefault(true);
    });
    connect(preferUser_, &QRadioButton::toggled, this, [this](bool on) {
        if (!initialising_ && on) model_.setPreferDefault(false);
    });
    connect(revive_, &QCheckBox::toggled, this, [this](bool on) {
        if (!initialising_) model_.setReviveLastPage(on);
    });

    // Buttons.
    auto* buttons = new QHBoxLayout;
    auto button = [&](int id, const QString& text) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(controlName(id));
        b->setAutoDefault(false);
        return b;
    };
    QPushButton* reset = button(options_dlg::ResetAll, QStringLiteral("全てデフォルトに戻す"));
    QPushButton* ok = button(options_dlg::Ok, QStringLiteral("OK"));
    QPushButton* apply = button(options_dlg::Apply, QStringLiteral("適用"));
    QPushButton* cancel = button(options_dlg::Cancel, QStringLiteral("取消"));
    ok->setDefault(true);
    buttons->addWidget(reset);
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(apply);
    buttons->addWidget(cancel);
    top->addLayout(buttons);
    connect(reset, &QPushButton::clicked, this, &OptionsDialog::onResetAll);
    connect(ok, &QPushButton::clicked, this, &OptionsDialog::accept);
    connect(apply, &QPushButton::clicked, this, &OptionsDialog::onApply);
    connect(cancel, &QPushButton::clicked, this, &OptionsDialog::reject);
}

void OptionsDialog::initialiseControls() {
    initialising_ = true;
    basicSize_->setCurrentIndex(model_.fontSizeSelection(FontSizeBasic));
    tableSize_->setCurrentIndex(model_.fontSizeSelection(FontSizeTable));
    const bool off = model_.pinPointColorOff();
    pinPointOff_->setChecked(off);
    pinPointSwatch_->setVisible(!off);
    blankSwatch_->setVisible(off);
    (model_.preferDefault() ? preferDefault_ : preferUser_)->setChecked(true);
    revive_->setChecked(model_.reviveLastPage());
    initialising_ = false;
    update();
    for (QWidget* w : findChildren<ColorSwatchButton*>()) w->update();
}

void OptionsDialog::chooseColor(int controlId) {
    const auto current = model_.swatchColor(controlId);
    if (!current) return;
    const CustomColors& mine = model_.customColors();
    for (int i = 0; i < 16; ++i) QColorDialog::setCustomColor(i, toQColor(static_cast<int32_t>(mine[i])));
    QColorDialog chooser(this);
    chooser.setObjectName(QStringLiteral("colorChooser"));
    chooser.setOption(QColorDialog::DontUseNativeDialog);
    chooser.setCurrentColor(toQColor(*current));
    if (chooser.exec() != QDialog::Accepted) return;
    CustomColors chosen{};
    for (int i = 0; i < 16; ++i) chosen[i] = fromQColor(QColorDialog::customColor(i));
    model_.colorChosen(controlId, fromQColor(chooser.selectedColor()), chosen);
    for (QWidget* w : findChildren<ColorSwatchButton*>()) w->update();
}

void OptionsDialog::onResetAll() {
    model_.resetToDefaults();
    initialiseControls();
    showEgovSettings(readEgovSettings(MemorySettingsStore()));
}

void OptionsDialog::showEgovSettings(const EgovSettings& settings) {
    egovBase_->setText(toQString(settings.baseUrl));
    egovTimeout_->setValue(settings.timeoutSeconds);
    egovWeekly_->setChecked(settings.weeklyCheck);
}

bool OptionsDialog::saveEgovSettings() {
    const QString base = egovBase_->text().trimmed();
    const QString problem = egov_online::baseAddressProblem(QUrl(base));
    if (!problem.isEmpty()) {
        QMessageBox::warning(this, QStringLiteral("オプション設定"), problem);
        return false;
    }
    EgovSettings settings = readEgovSettings(store_);
    settings.baseUrl = toCp932(base);
    settings.timeoutSeconds = egovTimeout_->value();
    settings.weeklyCheck = egovWeekly_->isChecked();
    writeEgovSettings(store_, settings);
    return true;
}

std::string OptionsDialog::sizeText(int listId) const {
    const QComboBox* box = listId == options_dlg::FontSizeBasicList ? basicSize_ : tableSize_;
    return toCp932(box->currentText());
}

void OptionsDialog::onApply() {
    if (!saveEgovSettings()) return;
    model_.apply(sizeText(options_dlg::FontSizeBasicList), sizeText(options_dlg::FontSizeTableList));
}

void OptionsDialog::accept() {
    if (!saveEgovSettings()) return;
    model_.ok(sizeText(options_dlg::FontSizeBasicList), sizeText(options_dlg::FontSizeTableList));
    QDialog::accept();
}

void OptionsDialog::reject() {
    // "取消", Esc and the window's close button alike.
    model_.cancel();
    QDialog::reject();
}

DocumentNavigation::OptionsDialogRunner optionsDialogRunner(Document& doc, DocumentNavigation& navigation,
                                                            QWidget* parent) {
    QPointer<QWidget> owner(parent);
    return [&doc, &navigation, owner](OptionBlock& block, const OptionBlock& defaults) {
        OptionsDialog dialog(block, defaults, doc.settings(), [&doc, &navigation](const OptionBlock& b) {
            doc.options() = b;
            navigation.redisplay();
        }, owner.data());
        dialog.exec();
        block = dialog.model().working();
    };
}

}  // namespace tavrel::gui
