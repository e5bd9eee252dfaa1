#include "textview/gui/page_search_window.h"

#include "qtsupport/qt_text.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>

namespace tavrel::gui {

namespace {
textview::ScreenRect rectOf(const QRect& r) { return {r.left(), r.top(), r.width(), r.height()}; }
}  // namespace

PageSearchWindow::PageSearchWindow(SettingsStore& settings, QWidget* mainWindow, const std::string& lastSearchText,
                                   textview::PageSearchDialog::MarksReader getMarks,
                                   textview::PageSearchDialog::WordMarker markWords, HitStepper stepHit)
    : QDialog(mainWindow),
      settings_(settings),
      mainWindow_(mainWindow),
      model_(lastSearchText, std::move(getMarks), std::move(markWords)),
      stepHit_(std::move(stepHit)),
      edit_(new QLineEdit(this)),
      find_(new QPushButton(QStringLiteral("検索(&F)"), this)),
      previous_(new QPushButton(QStringLiteral("前へ(&B)"), this)),
      next_(new QPushButton(QStringLiteral("次へ(&N)"), this)),
      close_(new QPushButton(QStringLiteral("中止(&X)"), this)),
      result_(new QLabel(this)) {
    setObjectName(QStringLiteral("pageSearchDialog"));
    setWindowTitle(QStringLiteral("このページ内の検索"));
    edit_->setObjectName(QStringLiteral("pageSearchWords"));
    find_->setObjectName(QStringLiteral("pageSearchFind"));
    close_->setObjectName(QStringLiteral("pageSearchClose"));
    previous_->setObjectName(QStringLiteral("pageSearchPrevious"));
    next_->setObjectName(QStringLiteral("pageSearchNext"));
    previous_->setToolTip(QStringLiteral("前のマークへ（Shift+F3）"));
    next_->setToolTip(QStringLiteral("次のマークへ（F3）"));
    previous_->setAutoDefault(false);
    next_->setAutoDefault(false);
    result_->setObjectName(QStringLiteral("pageSearchResult"));
    auto* grid = new QGridLayout(this);
    grid->addWidget(edit_, 0, 0, 1, 4);
    grid->addWidget(result_, 1, 0, 1, 4);
    grid->addWidget(find_, 2, 0);
    grid->addWidget(previous_, 2, 1);
    grid->addWidget(next_, 2, 2);
    grid->addWidget(close_, 2, 3);
    edit_->setMinimumWidth(240);

    edit_->setText(toQString(lastSearchText));
    model_.textChanged(lastSearchText);
    find_->setEnabled(model_.searchEnabled());
    find_->setDefault(true);
    result_->hide();

    connect(edit_, &QLineEdit::textChanged, this, [this](const QString& text) {
        model_.textChanged(toCp932(text));
        find_->setEnabled(model_.searchEnabled());
    });
    connect(find_, &QPushButton::clicked, this, &PageSearchWindow::search);
    connect(close_, &QPushButton::clicked, this, &QDialog::reject);
    connect(next_, &QPushButton::clicked, this, [this]() { step(textview::HitDirection::Next); });
    connect(previous_, &QPushButton::clicked, this, [this]() { step(textview::HitDirection::Previous); });
    auto* nextKey = new QShortcut(QKeySequence(Qt::Key_F3), this);
    auto* previousKey = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3), this);
    connect(nextKey, &QShortcut::activated, next_, &QPushButton::click);
    connect(previousKey, &QShortcut::activated, previous_, &QPushButton::click);
    previous_->setEnabled(static_cast<bool>(stepHit_));
    next_->setEnabled(static_cast<bool>(stepHit_));
}

void PageSearchWindow::step(textview::HitDirection direction) {
    if (!stepHit_) return;
    const QString message = stepHit_(direction);
    result_->setText(message.isEmpty() ? toQString(textview::searchResultMessage(0)) : message);
    result_->show();
}

void PageSearchWindow::search() {
    result_->hide();
    if (!model_.searchEnabled()) return;
    model_.search();
    result_->setText(toQString(model_.resultMessage()));
    result_->setVisible(model_.resultShown());
}

void PageSearchWindow::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (placed_ || !mainWindow_) return;
    placed_ = true;
    const QScreen* screen = mainWindow_->screen() ? mainWindow_->screen() : QGuiApplication::primaryScreen();
    const QRect work = screen->availableGeometry();
    const QRect frame = frameGeometry();
    const auto [x, y] =
        textview::openingSearchDialogPosition(settings_, rectOf(mainWindow_->frameGeometry()), frame.width(),
                                              frame.height(), work.right() + 1, work.bottom() + 1);
    move(x, y);
}

void PageSearchWindow::done(int r) {
    if (mainWindow_)
        textview::storeSearchDialogPosition(settings_, rectOf(mainWindow_->frameGeometry()), rectOf(frameGeometry()));
    QDialog::done(r);
}

}  // namespace tavrel::gui
