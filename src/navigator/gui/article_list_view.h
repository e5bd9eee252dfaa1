// The article list of the リスト tab: the pages of one law with their
// pictures, article designations and titles.
#pragma once

#include "navigator/gui/page_list_view.h"
#include "navigator/list_rows.h"

#include <string>

namespace tavrel::gui {

// The article list of the リスト tab: images, the columns "条" and "タイトル".
class ArticleListView : public PageListView {
    Q_OBJECT
  public:
    ArticleListView(KeyRepeat& repeat, QWidget* parent = nullptr);

    // Sets the list up with images and the columns "条" and "タイトル".
    void configure(Document& doc);
    // Fills the list with the displayed pages of law idHN; the first header
    // reads "告示番号" for a notification law. False after a reported failure.
    bool fill(const std::string& idHN);
    // The law shown last (empty before the first fill).
    const std::string& shownLaw() const { return shownLaw_; }

  private:
    nav::ArticleListModel model_;
    std::string shownLaw_;
};

}  // namespace tavrel::gui
