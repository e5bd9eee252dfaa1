#include "textview/show_page.h"

namespace tavrel::textview {

bool PageDisplay::showPage(const std::string& id) {
    if (id.size() != 15) return false;

    const bool large = source_.isLargePage(id);
    const bool fullLarge = large && fullPage;
    bool useCache = true;
    if (large) {
        if (fullPage) {
            if (id == state_.lastFullPageId) {
                // The click that follows a full display of this large page is
                // ignored once.
                state_.lastFullPageId.clear();
                return false;
            }
            reshow = true;
        } else {
            useCache = false;
        }
    }
    if (!reshow && id == state_.lastShownId) return false;

    surface_.disconnectPageEvents();

    // The full build of a large page is the slow part here: the wait box
    // covers it as well as the display.
    if (fullLarge) surface_.showWaitBox();
    std::string html;
    bool fromCache = false;
    if (useCache) {
        const auto it = pageCache_.find(id);
        if (it != pageCache_.end()) {
            html = it->second;
            fromCache = true;
        }
    }
    if (!fromCache) {
        if (!source_.buildPage(id, fullPage, html)) {
            if (fullLarge) surface_.hideWaitBox();
            surface_.connectPageEvents();
            reshow = false;  // one-shot, also when nothing could be shown
            return false;
        }
        // The builder joins a page to the large pages as it first builds it
        // truncated: that text must not be cached, or the click on its link
        // would get the truncated text back instead of the full page.
        if (!fullPage && source_.isLargePage(id)) useCache = false;
    }

    const auto [leftX, leftY] = surface_.scrollOffsets();
    const bool shown = surface_.putPage(id, html);
    if (fullLarge) surface_.hideWaitBox();
    surface_.connectPageEvents();
    if (!shown) {
        reshow = false;
        return false;
    }

    if (fullLarge) {
        state_.lastFullPageId = id;
        state_.lastShownId = id;
    }
    if (useCache && !fromCache) pageCache_[id] = html;

    curPageId = id;
    marks.clear();
    savedColors.clear();

    if (reshow) {
        reshow = false;
    } else {
        history_.pageCaption(id);
        history_.recordVisit(HistoryEntry{state_.lastShownId, leftX, leftY});
        state_.lastShownId = id;
        surface_.focusNavigator();
        pinImageShown = false;
    }
    return true;
}

std::string PageDisplay::currentPageId() const {
    const size_t dot = curPageId.rfind('.');
    return dot == std::string::npos ? curPageId : curPageId.substr(0, dot);
}

}  // namespace tavrel::textview
