// Reversal marks ("反転マーク"): up to three words painted in the page with
// their own background colours (FontColorTarget1..3), and taken off again
// exactly. The painting runs as a script in the page; this file builds that
// script, reads what it reports and keeps the view's two members:
//   marks        the word text last marked ("" when nothing is marked);
//   savedColors  "#RRGGBB" per painted hit, in painting order: the colour
//                the hit had before (the page background BackColor when the
//                page could not tell).
// Painting order: the words from the last to the first; each word searched
// from the end of the body towards its beginning, every search continuing
// before the previous hit; ASCII letters match either case. The last hit
// painted (the first occurrence of the first word) is scrolled to the top.
// Taking the marks off walks the hits in painting order, each hit getting its
// earlier look back (its mark element is removed, so overlapping words come
// off exactly too).
#pragma once

#include "document/options.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace tavrel::textview {

inline constexpr int kMarkUnusable = -1;      // empty, only blanks, or longer than 2048 bytes
inline constexpr int kMarkTooManyWords = -2;  // more than three words
inline constexpr size_t kMaxMarkWords = 3;

// The words of a word text (ideographic spaces count as blanks), or the
// failure code kMarkUnusable / kMarkTooManyWords.
struct MarkWordsSplit {
    int status = 0;
    std::vector<std::string> words;
};
MarkWordsSplit splitMarkWords(const std::string& wordsText);

// "#RRGGBB" of the colour value of option i (red in the low byte).
std::string markColor(const OptionBlock& options, OptionIndex i);

// A background colour the page reported as a number in BGR order (red in the
// low byte, the browser's "BackColor" value): "#" + red, green, blue pairs.
// A negative or out-of-range value (the page could not tell) gives fallback.
std::string savedColorOf(long long bgr, const std::string& fallback);

struct MarkRequest {
    int status = 0;      // 0, kMarkUnusable or kMarkTooManyWords
    std::string script;  // to run in the page when status is 0
};

// The script of one markWords call. Marking: paints the hits, numbering them
// on from savedCount, and evaluates to "n" followed by ";v" for each hit, v
// the BGR number of its earlier background or -1. Clearing: takes off the
// first savedCount hits and evaluates to "n".
MarkRequest markWordsRequest(const std::string& wordsText, bool clear, const OptionBlock& options, size_t savedCount);

// Takes the script's result into marks and savedColors (see above) and gives
// the count. A result the page garbled counts as 0 hits (marking changes
// nothing; clearing still empties both members).
int markWordsFinish(const std::string& wordsText, bool clear, const std::string& scriptResult,
                    const OptionBlock& options, std::string& marks, std::deque<std::string>& savedColors);

// The whole markWords: split, run the script through runScript (which gives
// the script's result as text), finish. Returns the count, or the failure
// code before any script runs.
using ScriptRunner = std::function<std::string(const std::string& script)>;
int markWords(const std::string& wordsText, bool clear, const OptionBlock& options, std::string& marks,
              std::deque<std::string>& savedColors, const ScriptRunner& runScript);

}  // namespace tavrel::textview
