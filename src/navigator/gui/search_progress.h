// The progress window of the full-text search: a small modeless window
// "検索中です．．．" with a looping animation and a progress bar that the
// search starts, steps and hides. There is at most one such window; the
// navigator pane opens and closes it through QtSearchProgress.
#pragma once

#include "navigator/search.h"

#include <QByteArray>
#include <QDialog>
#include <QPointer>

#include <functional>

class QBuffer;
class QLabel;
class QMovie;
class QProgressBar;

namespace tavrel::gui {

// The looping animation of the window as GIF bytes: a ring of dots with one
// bright dot running round, frameCount frames, shown without end.
QByteArray searchAnimationGif(int frameCount = 8);

class SearchProgressWindow : public QDialog {
    Q_OBJECT
  public:
    explicit SearchProgressWindow(QWidget* parent);
    ~SearchProgressWindow() override;

    // Shows the bar with the range 0..range, position 0.
    void startBar(int range);
    void stepBar();
    void hideBar();

    QProgressBar* bar() const { return bar_; }
    QMovie* movie() const { return movie_; }

  private:
    QByteArray gif_;
    QBuffer* buffer_;
    QMovie* movie_;
    QLabel* animation_;
    QProgressBar* bar_;
};

// The search's view of the window. open() creates the window when there is
// none, with parent as its owner; close() stops the animation and destroys
// the window.
class QtSearchProgress : public nav::SearchProgress {
  public:
    explicit QtSearchProgress(QWidget* parent) : parent_(parent) {}
    ~QtSearchProgress() override;

    void open() override;
    void start(int range) override;
    void step() override;
    void hide() override;
    void close() override;
    void rowsReplaced() override {
        if (rowsReplaced_) rowsReplaced_();
    }
    // What shows the new result rows (before the count message).
    void setRowsReplacedHandler(std::function<void()> handler) { rowsReplaced_ = std::move(handler); }

    SearchProgressWindow* window() const { return window_; }
    // How often the window was opened (tests see that a search showed it).
    int timesOpened() const { return opened_; }
    // The range and steps of the last run of the bar.
    int lastRange() const { return lastRange_; }
    int lastSteps() const { return lastSteps_; }

  private:
    QWidget* parent_;
    std::function<void()> rowsReplaced_;
    QPointer<SearchProgressWindow> window_;
    int opened_ = 0;
    int lastRange_ = 0;
    int lastSteps_ = 0;
};

}  // namespace tavrel::gui
