#include "textview/show_page.h"

namespace tavrel::textview {

bool PageDisplay::ShowPage(const std::string& id) {
    if (id.size() != 15) return false;

    const bool large = source_.isLargePage(id);
    const bool fullLarge = large && m_fullPage;
    bool useCache = true;
    if (large) {
        if (m_fullPage) {
            if (id == state_.lastFullPageId) {
                // The click that follows a full display of this large page is
                // ignored once.
                state_.lastFullPageId.clear();
                return false;
            }
            m_reshow = true;
        } else {
            useCache = false;
        }
    }
    if (!m_reshow && id == state_.lastShownId) return false;

    surface_.disconnectPageEvents();

    // The full build of a large page is the slow part here: the wait box
    // covers it as well as the display.
    if (fullLarge) surface_.showWaitBox();
    std::string html;
    bool fromCache = false;
    if (useCache) {
        const auto it = m_pageCache.find(id);
        if (it != m_pageCache.end()) {
            html = it->second;
            fromCache = true;
        }
    }
    if (!fromCache) {
        if (!source_.buildPage(id, m_fullPage, html)) {
            if (fullLarge) surface_.hideWaitBox();
            surface_.connectPageEvents();
            m_reshow = false;  // one-shot, also when nothing could be shown
            return false;
        }
        // The builder joins a page to the large pages as it first builds it
        // truncated: that text must not be cached, or the click on its link
        // would get the truncated text back instead of the full page.
        if (!m_fullPage && source_.isLargePage(id)) useCache = false;
    }

    const auto [leftX, leftY] = surface_.scrollOffsets();
    const bool shown = surface_.putPage(id, html);
    if (fullLarge) surface_.hideWaitBox();
    surface_.connectPageEvents();
    if (!shown) {
        m_reshow = false;
        return false;
    }

    if (fullLarge) {
        state_.lastFullPageId = id;
        state_.lastShownId = id;
    }
    if (useCache && !fromCache) m_pageCache[id] = html;

    m_curPageId = id;
    m_marks.clear();
    m_savedColors.clear();

    if (m_reshow) {
        m_reshow = false;
    } else {
        history_.pageCaption(id);
        history_.recordVisit(HistoryEntry{state_.lastShownId, leftX, leftY});
        state_.lastShownId = id;
        surface_.focusNavigator();
        m_pinImageShown = false;
    }
    return true;
}

std::string PageDisplay::GetCurrentPageId() const {
    const size_t dot = m_curPageId.rfind('.');
    return dot == std::string::npos ? m_curPageId : m_curPageId.substr(0, dot);
}

}  // namespace tavrel::textview
