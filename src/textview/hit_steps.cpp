#include "textview/hit_steps.h"

#include "text/sjis.h"

namespace tavrel::textview {

namespace {

// The hits in page order: the marking numbers its hits in painting order
// (data-tavrel-mark), one number per hit, so the distinct numbers in
// document order are the hits as they stand in the page.
constexpr const char* kHitList =
    "var seen={},hits=[],spans=document.querySelectorAll('span[data-tavrel-mark]');"
    "for(var i=0;i<spans.length;i++){var k=spans[i].getAttribute('data-tavrel-mark');"
    "if(!seen[k]){seen[k]=[];hits.push(seen[k]);}seen[k].push(spans[i]);}";

}  // namespace

std::optional<int> steppedHit(std::optional<int> current, int count, HitDirection direction) {
    if (count <= 0) return std::nullopt;
    const bool next = direction == HitDirection::Next;
    // A current hit the page no longer has (fewer hits now) starts afresh.
    if (!current || *current < 0 || *current >= count) return next ? 0 : count - 1;
    return next ? (*current + 1) % count : (*current + count - 1) % count;
}

std::string hitPositionText(int index, int count) {
    return std::to_string(index + 1) + "/" + std::to_string(count) + SJ("件");
}

std::string countHitsScript() { return std::string("(function(){") + kHitList + "return String(hits.length);})()"; }

std::string showHitScript(int index) {
    return std::string("(function(){") + kHitList + "var at=" + std::to_string(index) +
           ";var old=document.querySelectorAll('span[data-tavrel-current]');"
           "for(var i=0;i<old.length;i++){old[i].removeAttribute('data-tavrel-current');old[i].style.outline='';}"
           "if(at<0||at>=hits.length){return String(hits.length);}"
           "for(var i=0;i<hits[at].length;i++){var s=hits[at][i];s.setAttribute('data-tavrel-current','1');"
           "s.style.outline='2px solid #d00000';}"
           "hits[at][0].scrollIntoView({block:'center',inline:'nearest'});return String(hits.length);})()";
}

std::optional<int> HitCursor::step(int count, HitDirection direction) {
    current_ = steppedHit(current_, count, direction);
    return current_;
}

}  // namespace tavrel::textview
