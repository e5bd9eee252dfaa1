#include "navigator/gui/contents_tree_view.h"

#include "navigator/gui/nav_images.h"
#include "qtsupport/qt_text.h"

#include <QHeaderView>
#include <QStyledItemDelegate>

#include <algorithm>

namespace tavrel::gui {

namespace {

constexpr int kItemHeight = 18;

// Rows of the tree are 18 pixels high, or as high as the font needs.
class TreeRowDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize s = QStyledItemDelegate::sizeHint(option, index);
        s.setHeight(std::max(kItemHeight, option.fontMetrics.height() + 2));
        return s;
    }
};

}  // namespace

ContentsTreeView::ContentsTreeView(KeyRepeat& repeat, QWidget* parent) : NavigatorTreeWidget(repeat, parent) {
    setObjectName(QStringLiteral("contentsTree"));
    setHeaderHidden(true);
    setColumnCount(1);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragEnabled(false);
    setAcceptDrops(false);
    setDragDropMode(QAbstractItemView::NoDragDrop);
    connect(this, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) { onExpansion(item, true); });
    connect(this, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* item) { onExpansion(item, false); });
}

void ContentsTreeView::prepare(Document& doc) {
    const bool first = doc_ == nullptr;
    doc_ = &doc;
    if (!first) return;
    setIconSize(kNavImageSize);
    setRootIsDecorated(true);
    setItemsExpandable(true);
    setUniformRowHeights(true);
    setItemDelegate(new TreeRowDelegate(this));
    // Long node texts are not shortened: the tree scrolls sideways instead.
    setTextElideMode(Qt::ElideNone);
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
}

bool ContentsTreeView::fill() {
    clear();
    items_.clear();
    nodes_.clear();
    if (!doc_) return false;
    const bool ok = model_.fill(doc_->connection(), doc_->messages());

    // Parents come before their children in the model, and each parent's
    // children in their order: one pass in node order rebuilds the tree.
    const auto& nodes = model_.nodes();
    items_.reserve(nodes.size());
    QList<QTreeWidgetItem*> tops;
    for (size_t i = 0; i < nodes.size(); ++i) {
        const nav::TreeNode& n = nodes[i];
        auto* item = n.parent == nav::kNoNode ? new QTreeWidgetItem()
                                              : new QTreeWidgetItem(items_[static_cast<size_t>(n.parent)]);
        item->setText(0, toQString(n.text));
        item->setIcon(0, treeStateIcon(n.image));
        items_.push_back(item);
        nodes_.insert(item, static_cast<nav::TreeItem>(i));
        if (n.parent == nav::kNoNode) tops.push_back(item);
    }
    addTopLevelItems(tops);
    return ok;
}

nav::TreeItem ContentsTreeView::nodeOf(const QTreeWidgetItem* item) const { return nodes_.value(item, nav::kNoNode); }

std::string ContentsTreeView::itemId(const QTreeWidgetItem* item) const {
    const nav::TreeItem node = nodeOf(item);
    return node == nav::kNoNode ? std::string() : model_.itemId(node);
}

std::string ContentsTreeView::selectedId() const {
    const QList<QTreeWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? std::string() : itemId(selected.constLast());
}

QTreeWidgetItem* ContentsTreeView::findItem(const std::string& id) const {
    const nav::TreeItem node = model_.findItem(id);
    return node == nav::kNoNode ? nullptr : items_[static_cast<size_t>(node)];
}

void ContentsTreeView::select(const std::string& id) {
    QTreeWidgetItem* item = findItem(id);
    if (!item) {
        clearSelection();
        setCurrentItem(nullptr);
        return;
    }
    setCurrentItem(item);
    item->setSelected(true);
    scrollToItem(item);
}

int ContentsTreeView::stateImage(const QTreeWidgetItem* item) const {
    const nav::TreeItem node = nodeOf(item);
    return node == nav::kNoNode ? nav::TreeImageNone : model_.node(node).image;
}

void ContentsTreeView::onExpansion(QTreeWidgetItem* item, bool expanded) {
    const nav::TreeItem node = nodeOf(item);
    if (node == nav::kNoNode) return;
    const std::string id = model_.itemId(node);
    // Law and chapter-level nodes only: articles and pieces keep their page.
    if (id.empty() || id.size() == 15) return;
    const int before = model_.node(node).image;
    const int after = model_.setExpanded(node, expanded);
    if (after != before) item->setIcon(0, treeStateIcon(after));
}

}  // namespace tavrel::gui
