#include "textview/marks.h"

#include "text/sjis.h"
#include "textview/js_literal.h"
#include "textview/search_words.h"

#include <algorithm>
#include <charconv>

namespace tavrel::textview {

namespace {

constexpr OptionIndex kWordColors[kMaxMarkWords] = {FontColorTarget1, FontColorTarget2, FontColorTarget3};

// The painting script after its three values (words, colours, first index).
constexpr const char* kPaintBody = R"JS(
var body=document.body;if(!body){return "0";}
function lower(s){return s.replace(/[A-Z]/g,function(c){return String.fromCharCode(c.charCodeAt(0)+32);});}
function textNodes(){var list=[];var w=document.createTreeWalker(body,NodeFilter.SHOW_TEXT,{acceptNode:function(n){
for(var p=n.parentNode;p&&p!==body;p=p.parentNode){var t=p.nodeName;
if(t==="SCRIPT"||t==="STYLE"||t==="NOSCRIPT"||t==="TEXTAREA"){return NodeFilter.FILTER_REJECT;}}
return NodeFilter.FILTER_ACCEPT;}});var n;while((n=w.nextNode())){list.push(n);}return list;}
function bgr(el){for(;el&&el.nodeType===1;el=el.parentNode){var c=window.getComputedStyle(el).backgroundColor;
var m=/^rgba?\((\d+),\s*(\d+),\s*(\d+)(?:,\s*([\d.]+))?\)$/.exec(c||"");
if(m&&!(m[4]!==undefined&&parseFloat(m[4])===0)){return (+m[1])+(+m[2])*256+(+m[3])*65536;}}return -1;}
var saved=[],count=0,remembered=null;
for(var w=words.length-1;w>=0;w--){
var list=textNodes(),starts=[],full="";
for(var i=0;i<list.length;i++){starts.push(full.length);full+=list[i].data;}
var hay=lower(full),needle=lower(words[w]);if(!needle.length){continue;}
var hits=[],at=hay.length-needle.length;
while(at>=0){var h=hay.lastIndexOf(needle,at);if(h<0){break;}hits.push(h);at=h-needle.length;}
function nodeAt(p){var lo=0,hi=list.length-1;while(lo<hi){var mid=(lo+hi+1)>>1;if(starts[mid]<=p){lo=mid;}else{hi=mid-1;}}return lo;}
for(var x=0;x<hits.length;x++){var s=hits[x],e=s+needle.length,k=base+count,first=null;
var i0=nodeAt(s);while(i0<list.length&&!list[i0].data.length){++i0;}var i1=nodeAt(e-1);
saved.push(i0<list.length?bgr(list[i0].parentNode):-1);
for(var i=i1;i>=i0;i--){var node=list[i],ns=starts[i],ne=ns+node.data.length;if(ne<=s||ns>=e){continue;}
var a=Math.max(s,ns)-ns,b=Math.min(e,ne)-ns;if(b<node.data.length){node.splitText(b);}
var cut=a>0?node.splitText(a):node;var span=document.createElement("span");
span.setAttribute("data-tavrel-mark",String(k));span.style.backgroundColor=colors[w];
cut.parentNode.insertBefore(span,cut);span.appendChild(cut);first=span;}
remembered=first||remembered;++count;}}
if(remembered){remembered.scrollIntoView(true);}
var out=String(count);for(var i=0;i<saved.length;i++){out+=";"+saved[i];}return out;})()
)JS";

// The clearing script after its one value (the number of saved colours).
constexpr const char* kClearBody = R"JS(
var count=0,parents=[];
for(var k=0;k<n;k++){var s=document.querySelectorAll("span[data-tavrel-mark=\""+k+"\"]");if(!s.length){continue;}++count;
for(var i=0;i<s.length;i++){var sp=s[i],p=sp.parentNode;while(sp.firstChild){p.insertBefore(sp.firstChild,sp);}
p.removeChild(sp);parents.push(p);}}
for(var i=0;i<parents.length;i++){if(parents[i].isConnected!==false){parents[i].normalize();}}
return String(count);})()
)JS";

// Non-negative decimal integer (result counts) or any integer (colours).
bool parseNumber(std::string_view s, long long& v) {
    if (s.empty()) return false;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    return ec == std::errc() && end == s.data() + s.size();
}

std::vector<std::string_view> splitResult(std::string_view s) {
    std::vector<std::string_view> parts;
    size_t pos = 0;
    while (true) {
        const size_t semi = s.find(';', pos);
        parts.push_back(s.substr(pos, semi == std::string_view::npos ? std::string_view::npos : semi - pos));
        if (semi == std::string_view::npos) break;
        pos = semi + 1;
    }
    return parts;
}

}  // namespace

MarkWordsSplit splitMarkWords(const std::string& wordsText) {
    MarkWordsSplit out;
    if (!splitSearchWords(wordsText, out.words) || out.words.empty()) {
        out.words.clear();
        out.status = kMarkUnusable;
    } else if (out.words.size() > kMaxMarkWords) {
        out.words.clear();
        out.status = kMarkTooManyWords;
    }
    return out;
}

std::string markColor(const OptionBlock& options, OptionIndex i) { return "#" + colorToHtml(options[i]); }

std::string savedColorOf(long long bgr, const std::string& fallback) {
    if (bgr < 0 || bgr > 0xFFFFFF) return fallback;
    return "#" + colorToHtml(static_cast<int32_t>(bgr));
}

MarkRequest markWordsRequest(const std::string& wordsText, bool clear, const OptionBlock& options, size_t savedCount) {
    MarkRequest out;
    const auto split = splitMarkWords(wordsText);
    if (split.status != 0) {
        out.status = split.status;
        return out;
    }
    if (clear) {
        out.script = "(function(){var n=" + std::to_string(savedCount) + ";" + kClearBody;
        return out;
    }
    std::vector<std::string> colors;
    for (size_t i = 0; i < split.words.size(); ++i) colors.push_back(markColor(options, kWordColors[i]));
    out.script = "(function(){var words=" + jsStringArray(split.words) + ";var colors=" + jsStringArray(colors) +
                 ";var base=" + std::to_string(savedCount) + ";" + kPaintBody;
    return out;
}

int markWordsFinish(const std::string& wordsText, bool clear, const std::string& scriptResult,
                    const OptionBlock& options, std::string& marks, std::deque<std::string>& savedColors) {
    const auto parts = splitResult(scriptResult);
    long long count = 0;
    const bool ok = parseNumber(parts.front(), count) && count >= 0;
    if (clear) {
        // The page takes off at most the hits it was asked to.
        const auto taken = ok ? std::min<long long>(count, static_cast<long long>(savedColors.size())) : 0;
        marks.clear();
        savedColors.clear();
        return static_cast<int>(taken);
    }
    // Never more hits than colours reported: a garbled count adds nothing unbounded.
    if (ok) count = std::min<long long>(count, static_cast<long long>(parts.size() - 1));
    if (!ok || count == 0) return 0;
    const std::string fallback = markColor(options, BackColor);
    for (long long i = 0; i < count; ++i) {
        long long v = -1;
        if (!parseNumber(parts[static_cast<size_t>(i) + 1], v)) v = -1;
        savedColors.push_back(savedColorOf(v, fallback));
    }
    marks = wordsText;
    return static_cast<int>(count);
}

int markWords(const std::string& wordsText, bool clear, const OptionBlock& options, std::string& marks,
              std::deque<std::string>& savedColors, const ScriptRunner& runScript) {
    const auto request = markWordsRequest(wordsText, clear, options, savedColors.size());
    if (request.status != 0) return request.status;
    const std::string result = runScript ? runScript(request.script) : std::string();
    return markWordsFinish(wordsText, clear, result, options, marks, savedColors);
}

}  // namespace tavrel::textview
