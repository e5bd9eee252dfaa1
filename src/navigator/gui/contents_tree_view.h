// The contents tree (目次): a tree widget that mirrors the navigator's
// TreeModel node by node, with the model's state images, and switches a law
// or chapter node between the closed and the open book as it is expanded.
#pragma once

#include "document/document.h"
#include "navigator/contents_tree.h"
#include "navigator/gui/key_repeat.h"

#include <QTreeWidget>

#include <string>
#include <vector>

namespace tavrel::gui {

class ContentsTreeView : public NavigatorTreeWidget {
    Q_OBJECT
  public:
    ContentsTreeView(KeyRepeat& repeat, QWidget* parent = nullptr);

    // Stores the document; the picture size, lines and item height are set once.
    void prepare(Document& doc);
    // Builds the whole tree from the database. False after a reported failure
    // (the nodes read before it stay).
    bool fill();

    std::string selectedId() const;
    std::string itemId(const QTreeWidgetItem* item) const;
    QTreeWidgetItem* findItem(const std::string& id) const;
    // Makes the node of id the selected node; an identifier without a node
    // clears the selection.
    void select(const std::string& id);

    const nav::TreeModel& model() const { return model_; }
    // The state image a node shows now (nav::TreeImage).
    int stateImage(const QTreeWidgetItem* item) const;

  private:
    nav::TreeItem nodeOf(const QTreeWidgetItem* item) const;
    void onExpansion(QTreeWidgetItem* item, bool expanded);

    Document* doc_ = nullptr;
    nav::TreeModel model_;
    std::vector<QTreeWidgetItem*> items_;  // by node
    QHash<const QTreeWidgetItem*, nav::TreeItem> nodes_;
};

}  // namespace tavrel::gui
