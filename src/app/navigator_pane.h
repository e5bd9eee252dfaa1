// The left pane with the navigator's four tabs. Until the navigator's own
// controls are in place the tabs are empty; the pane already answers what the
// document and the main frame ask of it (current tab, tab switching, focus).
#pragma once

#include <QTabWidget>

#include <string>

#include "document/navigation.h"

namespace tavrel::gui {

class NavigatorPane : public QTabWidget, public NavigatorPartner {
    Q_OBJECT
public:
    explicit NavigatorPane(QWidget* parent = nullptr);

    void SyncToArticle(const std::string& idFN) override;
    void refreshAfterMove() override {}
    int currentTab() const override { return currentIndex(); }

    // Ctrl+Page Down / Page Up: the next / previous tab, wrapping round.
    void selectNextTab();
    void selectPreviousTab();
    void FocusCurrentTab();
    // True when w is the tree or the search-word box (arrow keys stay there).
    bool keepsArrowKeys(const QWidget* w) const;

    const std::string& lastSyncTarget() const { return lastSync_; }

signals:
    void pageRequested(const QString& idFN);

private:
    std::string lastSync_;
};

}  // namespace tavrel::gui
