#include "navigator/gui/article_list_view.h"

#include "qtsupport/qt_text.h"

#include <QTreeWidgetItem>

namespace tavrel::gui {


ArticleListView::ArticleListView(KeyRepeat& repeat, QWidget* parent) : PageListView(repeat, parent) {
    setObjectName(QStringLiteral("articleList"));
    useRows(model_);
}

void ArticleListView::configure(Document& doc) { PageListView::configure(doc, true, nav::ArticleListModel::kColumns); }

bool ArticleListView::fill(const std::string& idHN) {
    Document* doc = document();
    if (!doc) return false;
    setUpdatesEnabled(false);
    clearRows();
    const bool ok = model_.fill(doc->connection(), doc->messages(), idHN);
    shownLaw_ = idHN;
    headerItem()->setText(0, toQString(model_.firstHeader()));
    mirrorRows();
    fitColumns();
    setUpdatesEnabled(true);
    return ok;
}

}  // namespace tavrel::gui
