// The in-page search dialog "このページ内の検索" on screen: the words, the
// search button that marks them in the page and reports the count, the
// buttons (and F3 / Shift+F3) that step to the next and previous hit, and the
// close button. The dialog opens where it was left (its centre kept as
// fractions of the main window) and always inside the work area.
#pragma once

#include "textview/hit_steps.h"
#include "textview/page_search.h"

#include <QDialog>

#include <functional>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

namespace tavrel {
class SettingsStore;
}

namespace tavrel::gui {

class PageSearchWindow : public QDialog {
    Q_OBJECT
  public:
    // Steps to the next or previous hit in the page and gives "n/N件" ("" when
    // there is no hit).
    using HitStepper = std::function<QString(textview::HitDirection)>;

    // mainWindow: the window the dialog is placed against.
    PageSearchWindow(SettingsStore& settings, QWidget* mainWindow, const std::string& lastSearchText,
                     textview::PageSearchDialog::MarksReader getMarks, textview::PageSearchDialog::WordMarker markWords,
                     HitStepper stepHit = {});

    // The text that becomes the document's last search text.
    const std::string& lastSearched() const { return model_.lastSearched(); }

    QLineEdit* words() const { return edit_; }
    QPushButton* findButton() const { return find_; }
    QPushButton* nextButton() const { return next_; }
    QPushButton* previousButton() const { return previous_; }
    QLabel* result() const { return result_; }

  protected:
    void showEvent(QShowEvent* e) override;
    void done(int r) override;

  private:
    void search();
    void step(textview::HitDirection direction);

    SettingsStore& settings_;
    QWidget* mainWindow_;
    textview::PageSearchDialog model_;
    HitStepper stepHit_;
    QLineEdit* edit_;
    QPushButton* find_;
    QPushButton* previous_;
    QPushButton* next_;
    QPushButton* close_;
    QLabel* result_;
    bool placed_ = false;
};

}  // namespace tavrel::gui
