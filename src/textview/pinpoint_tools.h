// The pinpoint tools of one law text view, event by event: the view feeds
// the page's events in and runs the scripts it gets back; everything the
// tools remember between events lives here (the anchor clicked last, the
// sentence to jump to once the next page has loaded, whether the marker
// image is in the page, whether the anchors are coloured).
//
// Because the page loads after showPage returns, the jump that follows a
// link click or a pick is kept as pending and runs with the load event:
// scroll, then the marker image, then the anchor colouring.
#pragma once

#include "textview/pinpoint.h"
#include "textview/pinpoint_list.h"

#include <string>

namespace tavrel {
class Document;
}

namespace tavrel::textview {

class PinPointTools {
public:
    // lastColoredId: the process-wide page whose anchors were coloured last.
    PinPointTools(Document& doc, std::string& lastColoredId);

    // A click anywhere in the page (anchorId: the clicked anchor's id, "" for
    // any other element). Returns the script that takes the marker image
    // away, or "" when none is shown.
    std::string onPageClick(const std::string& anchorId);
    // A page link to target (15 characters) was clicked, before the page is
    // shown: the page to show instead and whether to jump.
    PinPointTarget onLinkClick(const std::string& target);
    // showPage for that link returned shown.
    void afterLinkShown(bool shown, const PinPointTarget& resolved);

    // The right-clicked link (anchor id and target page): the list to show,
    // or result 2 (ordinary context menu) while the PinPoint toggle is off.
    PinPointList onContextMenu(const std::string& anchorId, const std::string& target);
    // The page a pick in the list shows (first 15 characters of its data).
    static std::string pickedPage(const std::string& itemData) { return pinPointItemPage(itemData); }
    // showPage for the pick returned shown: the sentence becomes pending and
    // the user's marker is recorded (and written at once).
    void afterPickShown(bool shown, const std::string& itemData);

    // A page (or a redisplay) was put into the browser: its image, its
    // colouring and the anchor clicked on the page before are gone.
    void pageReplaced();
    // The page's load event: the script to run (pending jump with the marker
    // image, then the anchor colouring), "" when nothing is to be done.
    std::string onLoad(const std::string& currentPageId);
    // The page's focus event: the colouring only, once per page.
    std::string onFocus(const std::string& currentPageId);
    // The view was resized: the marker image goes.
    std::string onResize();

    const std::string& clickedAnchorId() const { return clickedAnchorId_; }
    const std::string& pendingPinAnchor() const { return pendingPinAnchor_; }
    bool pinImageShown() const { return pinImageShown_; }
    bool anchorsColored() const { return coloring_.colored(); }

private:
    std::string takeMarkerAway();

    Document& doc_;
    AnchorColoring coloring_;
    std::string clickedAnchorId_;
    std::string pendingPinAnchor_;
    std::string contextAnchorId_;
    bool pinImageShown_ = false;
};

}  // namespace tavrel::textview
