// The law selector of the リスト tab (LawSelector): a drop-down list of every
// displayed law, laws whose identifier does not end in "A" indented under
// the one that does. It announces a choice once its drop-down list is closed.
#pragma once

#include "document/document.h"
#include "navigator/list_rows.h"

#include <QComboBox>

#include <string>

namespace tavrel::gui {

class LawSelector : public QComboBox {
    Q_OBJECT
  public:
    explicit LawSelector(QWidget* parent = nullptr);

    // Fills the selector from the database; true when the query ran.
    bool fill(Document& doc);
    std::string selectedId() const;
    int findIndex(const std::string& idHN) const;
    // Selects the law's entry when it exists (without announcing it).
    void select(const std::string& idHN);
    std::string idAt(int index) const { return model_.idAt(index); }
    bool dropDownOpen() const { return open_; }

    void showPopup() override;
    void hidePopup() override;

  signals:
    // The selection may have changed: on a selection change, when the
    // drop-down list closes and when a key is released.
    void selectionCommand();

  protected:
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;

  private:
    nav::LawSelectorModel model_;
    bool open_ = false;
};

}  // namespace tavrel::gui
