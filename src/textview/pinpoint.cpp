#include "textview/pinpoint.h"

#include "database/identifiers.h"
#include "document/document.h"
#include "render/render_support.h"
#include "text/sjis.h"
#include "textview/js_literal.h"

namespace tavrel::textview {

namespace {

// Positions 13-14 of a sentence identifier: the page number of its page.
constexpr size_t kPageNumberPos = 13;

// The helper both marker scripts share: takes an earlier marker image away
// and puts the image before element e, 10 pixels above its top.
std::string placeFunction(const std::string& imageSourceCp932) {
    return "var src=" + jsString(imageSourceCp932) +
           ";"
           "function unpin(){var "
           "o;while((o=document.getElementById(\"pin-point-image\"))){o.parentNode.removeChild(o);}}"
           "function pos(e){var r=e.getBoundingClientRect();"
           "return {top:Math.trunc(r.top+window.pageYOffset),left:Math.trunc(r.left+window.pageXOffset)};}"
           "function pin(e){unpin();var p=pos(e);var img=document.createElement(\"img\");"
           "img.setAttribute(\"id\",\"pin-point-image\");img.setAttribute(\"border\",\"0\");"
           "img.setAttribute(\"src\",src);" +
           text::format("img.setAttribute(\"width\",\"%d\");img.setAttribute(\"height\",\"%d\");", kPinImageWidth,
                        kPinImageHeight) +
           "img.setAttribute(\"style\",\"position: absolute; top:\"+(p.top-10)+\"; left:\"+p.left);"
           "e.parentNode.insertBefore(img,e);}";
}

std::string findElement(const std::string& idBN) {
    return "var id=" + jsString(idBN) + ";var e=document.getElementsByName(id)[0]||document.getElementById(id);";
}

// One table's step of the resolve: true when the marker decided the target.
bool resolveIn(Document& doc, bool defaultTable, const std::string& anchorId, const std::string& target,
               PinPointTarget& out) {
    const std::string s = doc.findMarker(defaultTable, anchorId);
    if (s.empty()) return false;
    if (s.compare(0, db::kIdFNPrefixLength, target, 0, db::kIdFNPrefixLength) != 0) {
        doc.removeMarker(defaultTable, anchorId);
        // The user's own file follows at once; the supplied file is never written.
        if (!defaultTable) doc.saveUserMarkers();
        return false;
    }
    if (!db::isIdBN(s)) return false;
    const std::string page = target.substr(0, db::kIdFNPrefixLength) + "-" + s.substr(kPageNumberPos, 2);
    ArticleInfo info;
    if (!doc.articleInfo(page, info)) return false;
    out.target = page;
    out.sentence = s;
    out.jump = true;
    return true;
}

}  // namespace

bool isMarkerKey(std::string_view key) noexcept {
    if (key.size() != kMarkerKeyLength) return false;
    for (const char c : key) {
        const bool ok = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '-';
        if (!ok) return false;
    }
    return true;
}

bool defaultTableFirst(const Document& doc) { return doc.options()[PinPointPriority] == 1; }

std::string currentMarker(const Document& doc, const std::string& anchorId) {
    const bool first = defaultTableFirst(doc);
    std::string value = doc.findMarker(first, anchorId);
    if (value.empty()) value = doc.findMarker(!first, anchorId);
    return value;
}

PinPointTarget resolvePinPoint(Document& doc, const std::string& anchorId, const std::string& target) {
    PinPointTarget out{target, {}, false};
    if (anchorId.empty() || !db::isIdFN(target)) return out;
    const bool first = defaultTableFirst(doc);
    if (!resolveIn(doc, first, anchorId, target, out)) resolveIn(doc, !first, anchorId, target, out);
    if (!doc.toggles().pinPoint) out.jump = false;
    return out;
}

bool choosePinPoint(Document& doc, const std::string& anchorId, const std::string& itemData) {
    if (!isMarkerKey(anchorId)) return false;
    if (itemData.size() == db::kIdFNLength) {
        if (!doc.removeMarker(false, anchorId)) return true;  // nothing to forget
        return doc.saveUserMarkers();
    }
    if (!db::isIdBN(itemData)) return false;
    if (doc.findMarker(false, anchorId) == itemData) return true;
    if (!doc.addMarker(false, anchorId, itemData)) return false;
    return doc.saveUserMarkers();
}

std::string pinImageSource(const Document& doc) { return render::pageImageFolder(doc) + "system/pin_point.gif"; }

std::string jumpToSentenceScript(const std::string& idBN, const std::string& imageSourceCp932) {
    if (!db::isIdBN(idBN)) return {};
    return "(function(){" + placeFunction(imageSourceCp932) + findElement(idBN) +
           "if(!e){return false;}var p=pos(e);"
           "window.scrollTo(0,Math.trunc(p.top-0.3*window.innerHeight));pin(e);return true;})()";
}

std::string placeMarkerScript(const std::string& idBN, const std::string& imageSourceCp932) {
    if (!db::isIdBN(idBN)) return {};
    return "(function(){" + placeFunction(imageSourceCp932) + findElement(idBN) +
           "if(!e){return false;}pin(e);return true;})()";
}

std::string removeMarkerScript() {
    return "(function(){var n=0,o;while((o=document.getElementById(\"pin-point-image\"))){"
           "o.parentNode.removeChild(o);++n;}return n;})()";
}

std::string colorAnchorsScript(const std::vector<std::string>& keys, int32_t color) {
    std::vector<std::string> checked;
    for (const auto& k : keys)
        if (isMarkerKey(k)) checked.push_back(k);
    return "(function(){var ids=" + jsStringArray(checked) +
           ";var css=" + jsString("background : #" + colorToHtml(color)) +
           ";var a=document.getElementsByTagName(\"a\");var first=Object.create(null);"
           "for(var i=0;i<a.length;i++){var k=[a[i].id,a[i].name];"
           "for(var j=0;j<2;j++){if(k[j]&&!(k[j] in first)){first[k[j]]=a[i];}}}"
           "var n=0;for(var i=0;i<ids.length;i++){var t=first[ids[i]];if(t){t.style.cssText=css;++n;}}"
           "return n;})()";
}

std::vector<std::string> markerKeysOfPage(const Document& doc, const std::string& idFN) {
    std::vector<std::string> keys;
    if (idFN.size() != db::kIdFNLength) return keys;
    for (const bool table : {true, false}) {
        // Keys are ordered byte-wise: the page's keys form one run.
        const auto& markers = doc.markers(table);
        for (auto it = markers.lower_bound(idFN); it != markers.end() && it->first.compare(0, idFN.size(), idFN) == 0;
             ++it) {
            // A marker on a sentence of a page the collection lacks marks
            // nothing; it stays in its table and file for a collection that
            // has the page.
            ArticleInfo info;
            if (!doc.articleInfo(it->second.substr(0, db::kIdFNLength), info)) continue;
            keys.push_back(it->first);
        }
    }
    return keys;
}

std::string AnchorColoring::onLoadOrFocus(const Document& doc, const std::string& currentPageId) {
    if (currentPageId == lastColoredId_ && colored_) return {};
    lastColoredId_ = currentPageId;
    colored_ = true;
    if (!doc.toggles().pinPoint || doc.options()[FontColorPioPointOff] != 0) return {};
    const auto keys = markerKeysOfPage(doc, currentPageId);
    if (keys.empty()) return {};
    return colorAnchorsScript(keys, doc.options()[FontColorPinPoint]);
}

}  // namespace tavrel::textview
