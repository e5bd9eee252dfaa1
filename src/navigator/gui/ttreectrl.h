// The contents tree (目次): a tree widget that mirrors the navigator's
// TreeModel node by node, with the model's state images, and switches a law
// or chapter node between the closed and the open book as it is expanded.
#pragma once

#include "document/ctavreldoc.h"
#include "navigator/contents_tree.h"
#include "navigator/gui/key_repeat.h"

#include <QTreeWidget>

#include <string>
#include <vector>

namespace tavrel::gui {

class TTreeCtrl : public QTreeWidget {
    Q_OBJECT
  public:
    TTreeCtrl(KeyRepeat& repeat, QWidget* parent = nullptr);

    // Stores the document; the picture size, lines and item height are set once.
    void _prepare(CTavrelDoc& doc);
    // Builds the whole tree from the database. False after a reported failure
    // (the nodes read before it stay).
    bool _show();

    std::string _get_selected_id() const;
    std::string _get_id(const QTreeWidgetItem* item) const;
    QTreeWidgetItem* _find_item(const std::string& id) const;
    // Makes the node of id the selected node; an identifier without a node
    // clears the selection.
    void _select(const std::string& id);

    const nav::TreeModel& model() const { return model_; }
    // The state image a node shows now (nav::TreeImage).
    int stateImage(const QTreeWidgetItem* item) const;

  signals:
    // The selected node should be opened (again): the key that ended an
    // auto-repeat was released, or Enter was pressed.
    void selectionNotify();
    // Ctrl+Page Down (+1) / Ctrl+Page Up (-1).
    void tabStepRequested(int step);

  protected:
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;

  private:
    nav::TreeItem nodeOf(const QTreeWidgetItem* item) const;
    void onExpansion(QTreeWidgetItem* item, bool expanded);

    KeyRepeat& repeat_;
    CTavrelDoc* doc_ = nullptr;
    nav::TreeModel model_;
    std::vector<QTreeWidgetItem*> items_;  // by node
    QHash<const QTreeWidgetItem*, nav::TreeItem> nodes_;
};

}  // namespace tavrel::gui
