// The law selector of the リスト tab (TComboLst): a drop-down list of every
// displayed law, laws whose identifier does not end in "A" indented under
// the one that does. It announces a choice once its drop-down list is closed.
#pragma once

#include "document/ctavreldoc.h"
#include "navigator/list_rows.h"

#include <QComboBox>

#include <string>

namespace tavrel::gui {

class TComboLst : public QComboBox {
    Q_OBJECT
  public:
    explicit TComboLst(QWidget* parent = nullptr);

    // Fills the selector from the database; true when the query ran.
    bool _init(CTavrelDoc& doc);
    std::string _get_selected_id() const;
    int _find_index(const std::string& idHN) const;
    // Selects the law's entry when it exists (without announcing it).
    void _select(const std::string& idHN);
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
