#include "render/brackets.h"

#include "text/sjis.h"

#include <algorithm>
#include <vector>

namespace tavrel::render {

namespace {

// A pair is coloured only when its inner text is longer than this.
constexpr size_t kShortestColouredInner = 15;
// Depths 0, 1 and 2 have colours; deeper pairs stay plain.
constexpr int kDeepestColouredDepth = 2;

// The longest distance from 「 to the 」 of 」という。 of a definition.
constexpr size_t kDefinitionReach = 82;

struct BracketEvent {
    bool open = false;
    size_t pos = 0;
    int depth = 0;
    size_t innerLength = 0;
};

std::string backgroundSpan(int32_t color) { return "<span style=\"background-color: #" + colorToHtml(color) + "\">"; }

}  // namespace

bool colourBrackets(std::string& text, const OptionBlock& options) {
    const std::string& open = SJ("（");
    const std::string& close = SJ("）");

    // Brackets are recognised character by character, so that the byte pair
    // of a bracket that straddles two other characters never counts.
    std::vector<BracketEvent> stack;
    std::vector<BracketEvent> paired;
    for (size_t i = 0; i < text.size();) {
        const size_t n = text::charLength(text, i);
        if (n == 2 && text.compare(i, 2, open) == 0) {
            stack.push_back(BracketEvent{true, i, 0, 0});
        } else if (n == 2 && text.compare(i, 2, close) == 0) {
            if (stack.empty()) return false;
            BracketEvent o = stack.back();
            stack.pop_back();
            o.depth = static_cast<int>(stack.size());
            o.innerLength = i - o.pos - 2;
            paired.push_back(o);
            paired.push_back(BracketEvent{false, i, o.depth, o.innerLength});
        }
        i += n;
    }
    // Open brackets left on the stack have no partner and stay plain.

    std::sort(paired.begin(), paired.end(), [](const BracketEvent& a, const BracketEvent& b) { return a.pos > b.pos; });

    static const OptionIndex inner[] = {FontColorBrachet1A, FontColorBrachet2A, FontColorBrachet3A};
    static const OptionIndex outer[] = {FontColorBrachet1B, FontColorBrachet2B, FontColorBrachet3B};

    std::string out = text;
    for (const BracketEvent& e : paired) {
        if (e.innerLength <= kShortestColouredInner || e.depth > kDeepestColouredDepth) continue;
        const int32_t a = options[inner[e.depth]];
        const int32_t b = options[outer[e.depth]];
        if (e.open) {
            out.insert(e.pos + 2, "</span>");
            out.insert(e.pos, backgroundSpan(b) + backgroundSpan(a));
        } else {
            out.insert(e.pos + 2, "</span></span>");
            out.insert(e.pos, backgroundSpan(a));
        }
    }
    text = std::move(out);
    return true;
}

std::string emphasiseDefinitions(const std::string& source) {
    const std::string& quoteOpen = SJ("「");
    const std::string& quoteClose = SJ("」");
    const std::string& definitionEnd = SJ("」という。");
    static const std::string boldOpen = "<B STYLE=\"color: #996633\">";
    static const std::string boldClose = "</B>";

    // Every replacement turns the 」という。 it ended at into 」</B>という。 and
    // inserts only ASCII, so the number of 」という。 in the text falls with
    // each term and the scan below always ends.
    std::string text = source;
    size_t n = 0;
    while (n + 1 < text.size()) {
        const size_t start = text::findText(text, quoteOpen, n);
        if (start == std::string::npos) break;
        const size_t anyClose = text::findText(text, quoteClose, n);
        const size_t end = text::findText(text, definitionEnd, n);
        if (anyClose < end) {
            // An ordinary quotation: go on one byte past its closing bracket.
            n = anyClose + 1;
            continue;
        }
        if (end == std::string::npos || start >= end || end - start >= kDefinitionReach) break;

        const std::string term = text.substr(start, end + quoteClose.size() - start);
        text = text::replaceAll(text, term, boldOpen + term + boldClose);

        const size_t next = text::findText(text, quoteClose, end + 1);
        n = next == std::string::npos ? 0 : next + 1;
    }
    return text;
}

}  // namespace tavrel::render
