// The list control the navigator's three lists share (article list, search
// results, bookmarks): report rows with fixed columns chosen by a column set,
// row <-> identifier bookkeeping from nav::ListRows, owner-drawn rows with
// the selected colours, images with overlays and cell texts cut with "..."
// on character boundaries.
#pragma once

#include "document/document.h"
#include "navigator/gui/key_repeat.h"
#include "navigator/list_rows.h"

#include <QColor>
#include <QTreeWidget>

#include <string>
#include <vector>

namespace tavrel::gui {

class PageListView : public NavigatorTreeWidget {
    Q_OBJECT
  public:
    PageListView(KeyRepeat& repeat, QWidget* parent = nullptr);

    static QColor selectedBackground() { return QColor(187, 187, 255); }
    static QColor selectedText() { return QColor(0, 0, 0); }

    // Stores the document, creates the columns of the set (nav::ListColumn
    // bits, in bit order) and, with images, the picture column.
    void configure(Document& doc, bool images, unsigned columnSet);
    void clearRows();
    int addRow(const nav::ListRow& row);
    std::string selectedId() const;
    int findRow(const std::string& id) const;
    void selectRow(int row);
    void select(const std::string& id);
    void fitColumns();

    const nav::ListRows& rows() const { return *rows_; }
    bool hasImages() const { return images_; }
    unsigned columnSet() const { return columnSet_; }
    // Index into ListRow::columns of display column `column`, or -1.
    int recordColumn(int column) const;
    // The selected row, or -1.
    int selectedRow() const;

  protected:
    // Lists whose rows live in a model of their own (ArticleListView) point the
    // bookkeeping there and mirror the model's rows into items.
    void useRows(nav::ListRows& rows) { rows_ = &rows; }
    void mirrorRows();
    Document* document() const { return doc_; }

    void focusInEvent(QFocusEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;

  private:
    void addItemFor(const nav::ListRow& row);

    Document* doc_ = nullptr;
    nav::ListRows ownRows_;
    nav::ListRows* rows_ = &ownRows_;
    bool images_ = false;
    unsigned columnSet_ = 0;
    std::vector<int> recordColumns_;  // display column -> ListRow::columns index
    // The row that gaining the focus by a mouse press selected without
    // opening it, until that press has been handled; -1 otherwise.
    int focusSelectedRow_ = -1;
};

}  // namespace tavrel::gui
