#include "textview/pinpoint_tools.h"

#include "database/identifiers.h"
#include "document/document.h"
#include "render/cited_by_block.h"

namespace tavrel::textview {

PinPointTools::PinPointTools(Document& doc, std::string& lastColoredId) : doc_(doc), coloring_(lastColoredId) {}

std::string PinPointTools::takeMarkerAway() {
    if (!pinImageShown_) return {};
    pinImageShown_ = false;
    return removeMarkerScript();
}

std::string PinPointTools::onPageClick(const std::string& anchorId) {
    std::string script = takeMarkerAway();
    clickedAnchorId_ = anchorId;
    return script;
}

PinPointTarget PinPointTools::onLinkClick(const std::string& target) {
    // A line of the 被引用 block names the citing sentence itself: the jump
    // to it needs no marker (and no PinPoint toggle).
    if (const auto sentence = render::citedBySentence(clickedAnchorId_))
        return PinPointTarget{sentence->substr(0, db::kIdFNLength), *sentence, true};
    return resolvePinPoint(doc_, clickedAnchorId_, target);
}

void PinPointTools::afterLinkShown(bool shown, const PinPointTarget& resolved) {
    if (shown && resolved.jump) pendingPinAnchor_ = resolved.sentence;
}

PinPointList PinPointTools::onContextMenu(const std::string& anchorId, const std::string& target) {
    if (!doc_.toggles().pinPoint) return {};
    contextAnchorId_ = anchorId;
    return buildPinPointList(doc_, anchorId, target);
}

void PinPointTools::afterPickShown(bool shown, const std::string& itemData) {
    if (!shown) return;
    // The page item has no sentence to jump to.
    if (db::isIdBN(itemData)) pendingPinAnchor_ = itemData;
    choosePinPoint(doc_, contextAnchorId_, itemData);
}

void PinPointTools::pageReplaced() {
    pinImageShown_ = false;
    // The anchor clicked on the page before is not on this one: a link opened
    // here without a click first (a middle click) must not resolve through it
    // and take its marker for stale.
    clickedAnchorId_.clear();
    coloring_.pageReplaced();
}

std::string PinPointTools::onLoad(const std::string& currentPageId) {
    std::string script;
    if (!pendingPinAnchor_.empty()) {
        script = jumpToSentenceScript(pendingPinAnchor_, pinImageSource(doc_));
        pendingPinAnchor_.clear();
        if (!script.empty()) {
            pinImageShown_ = true;
            script += ";";
        }
    }
    const std::string colors = coloring_.onLoadOrFocus(doc_, currentPageId);
    if (!colors.empty()) script += colors + ";";
    return script;
}

std::string PinPointTools::onFocus(const std::string& currentPageId) {
    const std::string colors = coloring_.onLoadOrFocus(doc_, currentPageId);
    return colors.empty() ? colors : colors + ";";
}

std::string PinPointTools::onResize() { return takeMarkerAway(); }

}  // namespace tavrel::textview
