// Pinpoint markers: for one reference link (the anchor id the page builder
// gives it, 55 characters: source ID_BN + "-to-" + 12-character target +
// "-p01"/"-t01"/"-m01"/"-r01"), the sentence of the target article that the
// link really means (its ID_BN, 35 characters). The document keeps two tables
// of them, the supplied default markers and the user's; this file holds what
// the law text view decides with them, without a window:
//
//  - resolvePinPoint: a link click, before the page is shown (stale markers
//    are dropped, a marker on another split page moves the target there);
//  - the scripts the view runs in its page to jump to the sentence with the
//    marker image, to take the image away and to colour the anchors that
//    have a marker (AnchorColoring decides when);
//  - choosePinPoint: a pick in the selective jump list becomes (or stops
//    being) the user's marker and is written to tavrel08.ppj at once.
//
// Every script is self-contained, pure ASCII, and carries only checked
// identifiers, colours made of hexadecimal digits, and string literals of
// js_literal.h.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tavrel {
class Document;
}

namespace tavrel::textview {

inline constexpr size_t kMarkerKeyLength = 55;
// The id of the marker image in the page.
inline constexpr const char* kPinImageId = "pin-point-image";
inline constexpr int kPinImageWidth = 11;
inline constexpr int kPinImageHeight = 10;

// A link anchor id that can be a marker key: exactly 55 characters of
// 0-9, A-Z, a-z and "-".
bool isMarkerKey(std::string_view key) noexcept;

// The table consulted first: the default table when PinPointPriority is 1,
// else the user's (true = default table).
bool defaultTableFirst(const Document& doc);

// The marker of a link: the preferred table's value, else the other's, else "".
std::string currentMarker(const Document& doc, const std::string& anchorId);

struct PinPointTarget {
    std::string target;    // page to show (the link's, or the split page of the sentence)
    std::string sentence;  // ID_BN to jump to; empty when there is none
    bool jump = false;     // a jump was requested (needs the PinPoint toggle)
};

// A link click: anchorId = the clicked anchor's id (may be empty), target =
// the link's 15-character page. A marker whose first 12 characters differ
// from the target's is stale and is removed from its table (the user table is
// written at once). A marker whose page (target's 12 characters + "-" + the
// sentence's page number) is not in the article table, or whose value is no
// sentence identifier, is skipped. Nothing is looked up for an empty anchor
// id or a target that is not a page identifier.
PinPointTarget resolvePinPoint(Document& doc, const std::string& anchorId, const std::string& target);

// A pick in the selective jump list for the link anchorId, after the page of
// the pick was shown: the page item (15 characters, "頁トップ") removes the
// user's marker, a sentence (35 characters) becomes it. The user marker file
// is rewritten at once when the table changed. False when nothing could be
// recorded or the file could not be written (the table keeps the change and
// the document writes it again when it closes).
bool choosePinPoint(Document& doc, const std::string& anchorId, const std::string& itemData);

// The marker image's src as the page sees it: image folder + "system/" +
// "pin_point.gif" (CP932, like the page builder's image paths).
std::string pinImageSource(const Document& doc);

// Script: find the element named or with id idBN; when found, scroll the page
// to (0, its top - 0.3 x the window's inner height), take an earlier marker
// image away and insert the marker image before the element at (top - 10,
// left). Evaluates to true when the sentence was found. Empty text for an
// argument that is not a 35-character sentence identifier.
std::string jumpToSentenceScript(const std::string& idBN, const std::string& imageSourceCp932);
// Script: the marker image alone (no scrolling). Empty for a bad idBN.
std::string placeMarkerScript(const std::string& idBN, const std::string& imageSourceCp932);
// Script: removes every element with the id "pin-point-image".
std::string removeMarkerScript();
// Script: sets the CSS text "background : #RRGGBB" (colour value, red in the
// low byte) on every anchor whose id or name is one of the keys; evaluates to
// the number of anchors coloured. Keys that are not marker keys are dropped.
std::string colorAnchorsScript(const std::vector<std::string>& keys, int32_t color);

// When the anchors of a page are coloured: once per shown page, on the
// page's load or focus events. lastColoredId is the process-wide page last
// coloured, colored the view's flag for the page on screen; the view calls
// pageReplaced() each time it puts a page (or a redisplay) into the browser.
class AnchorColoring {
public:
    explicit AnchorColoring(std::string& lastColoredId) : lastColoredId_(lastColoredId) {}

    void pageReplaced() { colored_ = false; }
    bool colored() const { return colored_; }

    // The load/focus handler for the page currentPageId: the script to run,
    // or "" when nothing is to be done (already coloured, PinPoint off,
    // FontColorPioPointOff set, or no marker for the page).
    std::string onLoadOrFocus(const Document& doc, const std::string& currentPageId);

private:
    std::string& lastColoredId_;
    bool colored_ = false;
};

// The keys of the default table, then those of the user table, whose first
// 15 characters equal the page identifier and whose sentence's page is in
// the article table.
std::vector<std::string> markerKeysOfPage(const Document& doc, const std::string& idFN);

}  // namespace tavrel::textview
