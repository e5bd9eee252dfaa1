#include "textview/gui/jump_list.h"

#include <QApplication>
#include <QFile>
#include <QGuiApplication>
#include <QListWidget>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>

#include "qtsupport/qt_text.h"

namespace tavrel::gui {

namespace {
constexpr int kMarkSize = 12;
constexpr int kDataRole = Qt::UserRole;

QPixmap blankMark() {
    QPixmap p(kMarkSize, kMarkSize);
    p.fill(Qt::transparent);
    return p;
}

// The marker image on a transparent square, or a small red mark.
QPixmap currentMark(const QString& path) {
    QPixmap p = blankMark();
    QPainter g(&p);
    QPixmap image;
    if (QFile::exists(path) && image.load(path) && !image.isNull()) {
        const QPixmap scaled = image.scaled(kMarkSize, kMarkSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        g.drawPixmap((kMarkSize - scaled.width()) / 2, (kMarkSize - scaled.height()) / 2, scaled);
    } else {
        g.setRenderHint(QPainter::Antialiasing);
        g.setPen(Qt::NoPen);
        g.setBrush(QColor(0xD0, 0x20, 0x20));
        g.drawEllipse(2, 2, kMarkSize - 4, kMarkSize - 4);
    }
    return p;
}
}  // namespace

JumpList::JumpList(const QString& pinImagePath, QWidget* parent)
    : QFrame(parent, Qt::Popup | Qt::FramelessWindowHint),
      list_(new QListWidget(this)),
      currentMark_(currentMark(pinImagePath)),
      noMark_(blankMark()) {
    setObjectName(QStringLiteral("JumpList"));
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(list_);
    list_->setObjectName(QStringLiteral("pinPointList"));
    list_->setFrameShape(QFrame::NoFrame);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    list_->setUniformItemSizes(true);
    list_->setIconSize(QSize(kMarkSize, kMarkSize));
    list_->setTextElideMode(Qt::ElideNone);
    // The item under the mouse is the selected one.
    list_->setMouseTracking(true);
    connect(list_, &QListWidget::itemEntered, this, [this](QListWidgetItem* item) { list_->setCurrentItem(item); });
    connect(list_, &QListWidget::itemClicked, this, &JumpList::pick);
    connect(list_, &QListWidget::itemActivated, this, &JumpList::pick);
    hide();
}

void JumpList::showItems(const std::vector<textview::PinPointItem>& items, int currentIndex,
                             const QPoint& globalPos) {
    picking_ = false;
    list_->clear();
    const QFontMetrics fm(list_->font());
    int widest = 0;
    for (const auto& it : items) {
        const QString label = toQString(it.label);
        auto* item = new QListWidgetItem(QIcon(it.current ? currentMark_ : noMark_), label, list_);
        item->setData(kDataRole, QString::fromLatin1(it.data.data(), static_cast<qsizetype>(it.data.size())));
        widest = std::max(widest, fm.horizontalAdvance(label));
    }
    const int itemHeight = list_->sizeHintForRow(0);
    const int scrollBarWidth = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list_);
    const auto g = textview::pinPointListGeometry(globalPos.x(), globalPos.y(), widest, itemHeight,
                                                  static_cast<int>(items.size()), kMaximumHeight, frameWidth(),
                                                  scrollBarWidth);
    QRect r(g.x, g.y, g.width, g.height);
    // Keep the window on the screen it opens on.
    if (QScreen* screen = QGuiApplication::screenAt(globalPos)) {
        const QRect avail = screen->availableGeometry();
        if (r.right() > avail.right()) r.moveRight(avail.right());
        if (r.bottom() > avail.bottom()) r.moveBottom(std::max(avail.top(), globalPos.y() - 10));
        if (r.left() < avail.left()) r.moveLeft(avail.left());
        if (r.top() < avail.top()) r.moveTop(avail.top());
    }
    setGeometry(r);
    show();
    raise();
    activateWindow();
    list_->setFocus();
    if (currentIndex >= 0 && currentIndex < list_->count()) {
        list_->setCurrentRow(currentIndex);
        list_->scrollToItem(list_->item(currentIndex), QAbstractItemView::PositionAtCenter);
    }
}

void JumpList::pick(QListWidgetItem* item) {
    if (!item || picking_ || !isVisible()) return;
    picking_ = true;
    const QString data = item->data(kDataRole).toString();
    hide();
    emit picked(data);
}

void JumpList::hideEvent(QHideEvent* e) {
    QFrame::hideEvent(e);
    list_->clearSelection();
}

}  // namespace tavrel::gui
