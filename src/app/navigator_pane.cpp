#include "app/navigator_pane.h"

#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tavrel::gui {

NavigatorPane::NavigatorPane(QWidget* parent) : QTabWidget(parent) {
    setObjectName(QStringLiteral("C1stView"));
    auto* tree = new QTreeWidget(this);
    tree->setObjectName(QStringLiteral("contentsTree"));
    tree->setHeaderHidden(true);
    addTab(tree, QStringLiteral("目次"));
    addTab(new QWidget(this), QStringLiteral("リスト"));
    addTab(new QWidget(this), QStringLiteral("全文検索"));
    addTab(new QWidget(this), QStringLiteral("しおり"));
}

void NavigatorPane::SyncToArticle(const std::string& idFN) { lastSync_ = idFN; }

void NavigatorPane::selectNextTab() { setCurrentIndex((currentIndex() + 1) % count()); }

void NavigatorPane::selectPreviousTab() { setCurrentIndex((currentIndex() + count() - 1) % count()); }

void NavigatorPane::FocusCurrentTab() {
    if (QWidget* w = currentWidget()) w->setFocus();
}

bool NavigatorPane::keepsArrowKeys(const QWidget* w) const {
    for (; w; w = w->parentWidget()) {
        const QString name = w->objectName();
        if (name == QLatin1String("contentsTree") || name == QLatin1String("searchWords")) return true;
        if (w == this) return false;
    }
    return false;
}

}  // namespace tavrel::gui
