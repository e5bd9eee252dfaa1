// The decisions of the law text view when it is asked to show a page: same
// page, redisplay, the page cache, the large-page rules and the history
// record of the page being left. The browser, the document's builder and the
// history are reached through the small partner interfaces below, so the
// rules run (and are tested) without a window.
#pragma once

#include "document/navigation.h"

#include <deque>
#include <map>
#include <string>
#include <utility>

namespace tavrel::textview {

// A page being left: identifier and its scroll offsets (the document's
// history entry).
using HistoryEntry = tavrel::HistoryEntry;

// Where the view hands the page that was left, and the page caption of the
// newly shown page (the document's history and status-bar caption).
class HistorySink {
  public:
    virtual ~HistorySink() = default;
    // Called with the entry of the page left each time a new page is shown
    // (never for a redisplay). The entry of the first page after start-up
    // carries an empty identifier; the receiver ignores identifiers that are
    // not 15 characters long.
    virtual void recordVisit(const HistoryEntry& left) = 0;
    virtual void pageCaption(const std::string& idFN) = 0;
};

// The document side: builds pages and knows the set of large pages.
class PageSource {
  public:
    virtual ~PageSource() = default;
    // fullPage: the user clicked the link that asks for a large page in full.
    virtual bool buildPage(const std::string& idFN, bool fullPage, std::string& html) = 0;
    virtual bool isLargePage(const std::string& idFN) const = 0;
};

// The browser side.
class PageSurface {
  public:
    virtual ~PageSurface() = default;
    // Scroll offsets of the page on screen.
    virtual std::pair<int, int> scrollOffsets() const = 0;
    // Puts the page into the browser; false when it could not.
    virtual bool putPage(const std::string& idFN, const std::string& html) = 0;
    // The wait box around the full build of a large page.
    virtual void showWaitBox() = 0;
    virtual void hideWaitBox() = 0;
    // Page event connections of the page on screen.
    virtual void disconnectPageEvents() = 0;
    virtual void connectPageEvents() = 0;
    // Gives the keyboard focus back to the navigator's current tab.
    virtual void focusNavigator() = 0;
};

// What showPage keeps for the whole process (shared by every text view the
// pane layout creates): the page shown last and the large page last shown in
// full.
struct ShowPageState {
    std::string lastShownId;
    std::string lastFullPageId;
};

class PageDisplay {
  public:
    PageDisplay(PageSource& source, PageSurface& surface, HistorySink& history, ShowPageState& state)
        : source_(source), surface_(surface), history_(history), state_(state) {}

    // Shows the page; false when nothing was shown (wrong length, same page,
    // a second request for the large page just shown in full, build or
    // display failure).
    bool showPage(const std::string& idFN);

    // The file-name part of the current page (everything before a final
    // extension).
    std::string currentPageId() const;
    void clearPageCache() { pageCache_.clear(); }
    bool isCached(const std::string& idFN) const { return pageCache_.count(idFN) != 0; }
    size_t cacheSize() const { return pageCache_.size(); }

    std::string curPageId;
    std::string marks;
    std::deque<std::string> savedColors;
    // One-shot flags around one showPage call.
    bool reshow = false;
    bool fullPage = false;
    bool pinImageShown = false;

  private:
    PageSource& source_;
    PageSurface& surface_;
    HistorySink& history_;
    ShowPageState& state_;
    std::map<std::string, std::string> pageCache_;
};

}  // namespace tavrel::textview
