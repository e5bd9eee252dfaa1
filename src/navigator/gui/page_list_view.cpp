#include "navigator/gui/page_list_view.h"

#include "navigator/gui/nav_images.h"
#include "qtsupport/qt_text.h"

#include <QFocusEvent>
#include <QMouseEvent>
#include <QHash>
#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>

#include <algorithm>

namespace tavrel::gui {

namespace {

constexpr int kTextInset = 4;  // the text stands 4 pixels in from both sides of its cell
constexpr int kRowHeight = 18;
const QColor kGridColor(208, 208, 208);

// The picture of an overlay index (1: image 0, 4: image 3), or -1.
int overlayImage(int overlay) {
    switch (overlay) {
        case 1:
            return 0;
        case 4:
            return 3;
        default:
            return -1;
    }
}

// The picture blended 25 % with a colour where it is drawn, made once per
// picture, colour and pixel ratio.
QPixmap blendedImage(int image, const QColor& color, qreal dpr) {
    static QHash<QString, QPixmap> cache;
    if (image < 0) return {};
    const QString key = QString::number(image) + QLatin1Char(':') + QString::number(color.rgba()) + QLatin1Char(':') +
                        QString::number(dpr);
    if (const auto it = cache.constFind(key); it != cache.constEnd()) return *it;
    QPixmap out = listPixmap(image, dpr);
    if (!out.isNull()) {
        QPainter p(&out);
        p.setCompositionMode(QPainter::CompositionMode_SourceAtop);
        QColor c = color;
        c.setAlphaF(0.25f);
        p.fillRect(QRectF(QPointF(0, 0), QSizeF(out.deviceIndependentSize())), c);
    }
    cache.insert(key, out);
    return out;
}

// Draws every cell of a row as the list shows it: the row's background (the
// selected colours on the selected row), the picture with its overlay, and
// the text cut to the cell with "..." on a character boundary.
class RowDelegate : public QStyledItemDelegate {
  public:
    explicit RowDelegate(PageListView* list) : QStyledItemDelegate(list), list_(list) {}

    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const int row = index.row();
        const int column = index.column();
        if (row < 0 || row >= list_->rows().size()) return;
        const nav::ListRow& record = list_->rows().rows()[static_cast<size_t>(row)];
        const bool selected = option.state & QStyle::State_Selected;

        p->save();
        const QRect cell = option.rect;
        p->fillRect(cell, selected ? PageListView::selectedBackground() : option.palette.color(QPalette::Base));
        p->setPen(kGridColor);
        p->drawLine(cell.topRight(), cell.bottomRight());
        p->drawLine(cell.bottomLeft(), cell.bottomRight());

        int left = cell.left();
        const QColor blendColor = selected ? PageListView::selectedText() : option.palette.color(QPalette::Base);
        if (list_->hasImages() && column == 0 && record.image >= 0) {
            const qreal dpr = p->device() ? p->device()->devicePixelRatioF() : 1.0;
            const QPoint at(left + 1, cell.top() + (cell.height() - kNavImageSize.height()) / 2);
            p->drawPixmap(at, blendedImage(record.image, blendColor, dpr));
            if (record.overlay != 0) p->drawPixmap(at, blendedImage(overlayImage(record.overlay), blendColor, dpr));
            left += kNavImageSize.width();
        }

        const int field = list_->recordColumn(column);
        const std::string& text = field >= 0 ? record.columns[static_cast<size_t>(field)] : std::string();
        const QFontMetrics fm(option.font);
        const std::string shown = nav::fitCellText(text, cell.right() + 1 - left, [&fm](std::string_view s) {
            return fm.horizontalAdvance(toQString(std::string(s)));
        });
        if (!shown.empty()) {
            p->setFont(option.font);
            p->setPen(selected ? PageListView::selectedText() : option.palette.color(QPalette::Text));
            const QRect textRect(left + kTextInset, cell.top(), cell.right() + 1 - left - 2 * kTextInset,
                                 cell.height());
            const Qt::Alignment h =
                Qt::Alignment(list_->headerItem()->textAlignment(column)) & Qt::AlignHorizontal_Mask;
            p->drawText(textRect, int(h ? h : Qt::AlignLeft) | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextDontClip,
                        toQString(shown));
        }
        p->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize s = QStyledItemDelegate::sizeHint(option, index);
        s.setHeight(std::max(kRowHeight, option.fontMetrics.height() + 4));
        return s;
    }

  private:
    PageListView* list_;
};

}  // namespace

PageListView::PageListView(KeyRepeat& repeat, QWidget* parent) : NavigatorTreeWidget(repeat, parent) {
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setAllColumnsShowFocus(true);
    setDragDropMode(QAbstractItemView::NoDragDrop);
    setItemDelegate(new RowDelegate(this));
    header()->setSectionsMovable(false);
    header()->setSectionsClickable(false);
    header()->setStretchLastSection(true);
}

void PageListView::configure(Document& doc, bool images, unsigned columnSet) {
    doc_ = &doc;
    images_ = images;
    columnSet_ = columnSet;
    clearRows();
    recordColumns_.clear();
    QStringList headers;
    const std::vector<std::string> texts = nav::columnHeaders(columnSet);
    for (int field = 0; field < 4; ++field) {
        if (columnSet & (1u << field)) recordColumns_.push_back(field);
    }
    for (const std::string& t : texts) headers.push_back(toQString(t));
    setColumnCount(static_cast<int>(headers.size()));
    setHeaderLabels(headers);
    // The user cannot resize the columns: dragging or double-clicking a
    // divider does nothing.
    header()->setSectionResizeMode(QHeaderView::Fixed);
    if (images) setIconSize(kNavImageSize);
    fitColumns();
}

int PageListView::recordColumn(int column) const {
    if (column < 0 || column >= static_cast<int>(recordColumns_.size())) return -1;
    return recordColumns_[static_cast<size_t>(column)];
}

void PageListView::clearRows() {
    rows_->clearRows();
    clear();
}

void PageListView::addItemFor(const nav::ListRow& row) {
    auto* item = new QTreeWidgetItem(this);
    for (int c = 0; c < columnCount(); ++c)
        item->setText(c, toQString(row.columns[static_cast<size_t>(recordColumn(c))]));
}

int PageListView::addRow(const nav::ListRow& row) {
    const int index = rows_->addRow(row);
    addItemFor(row);
    return index;
}

void PageListView::mirrorRows() {
    clear();
    for (const nav::ListRow& row : rows_->rows()) addItemFor(row);
}

int PageListView::selectedRow() const {
    const QList<QTreeWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? -1 : indexOfTopLevelItem(selected.constLast());
}

std::string PageListView::selectedId() const { return rows_->idAt(selectedRow()); }

int PageListView::findRow(const std::string& id) const { return rows_->findRow(id); }

void PageListView::selectRow(int row) {
    QTreeWidgetItem* item = topLevelItem(row);
    if (!item) return;
    setCurrentItem(item);
    item->setSelected(true);
    scrollToItem(item);
}

void PageListView::select(const std::string& id) {
    const int row = findRow(id);
    if (row >= 0) selectRow(row);
}

void PageListView::fitColumns() {
    const QFontMetrics fm(font());
    const int last = columnCount() - 1;
    for (int c = 0; c < last; ++c) {
        int width = fm.horizontalAdvance(headerItem()->text(c)) + 2 * kTextInset + 8;
        const int field = recordColumn(c);
        const int extra = (images_ && c == 0) ? kNavImageSize.width() : 0;
        for (const nav::ListRow& row : rows_->rows()) {
            const int w = fm.horizontalAdvance(toQString(row.columns[static_cast<size_t>(field)])) + 2 * kTextInset;
            width = std::max(width, w + extra + 2);
        }
        header()->resizeSection(c, width);
    }
    // The last column takes the rest of the width.
}

void PageListView::focusInEvent(QFocusEvent* e) {
    QTreeWidget::focusInEvent(e);
    if (topLevelItemCount() == 0) return;
    // Gaining the focus selects the selected row again (the first when none)
    // without opening it.
    const int row = std::max(selectedRow(), 0);
    const bool was = repeat_.active;
    repeat_.active = true;
    selectRow(row);
    repeat_.active = was;
    focusSelectedRow_ = e->reason() == Qt::MouseFocusReason ? row : -1;
}

void PageListView::mousePressEvent(QMouseEvent* e) {
    const int silent = focusSelectedRow_;
    focusSelectedRow_ = -1;
    QTreeWidget::mousePressEvent(e);
    // The focus arrives before the press: when it selected the very row the
    // user clicked, the click changes no selection and would open nothing.
    // Open it, so that a click on the first row of a list does what it says.
    if (silent < 0 || e->button() != Qt::LeftButton) return;
    const QTreeWidgetItem* hit = itemAt(e->position().toPoint());
    if (hit && indexOfTopLevelItem(const_cast<QTreeWidgetItem*>(hit)) == silent && selectedRow() == silent)
        emit selectionNotify();
}

}  // namespace tavrel::gui
