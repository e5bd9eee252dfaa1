// Word splitting and search-text normalisation shared by the full-text
// search and the marking tools (CP932 texts).
#pragma once

#include <string>
#include <vector>

namespace tavrel::textview {

// Longest search text accepted, in bytes.
inline constexpr size_t kMaxSearchText = 2048;

// Turns ideographic spaces into blanks, trims, and (for 1 to 2048 bytes)
// appends the blank-separated pieces to words. True when a first word exists.
bool splitSearchWords(const std::string& textIn, std::vector<std::string>& words);

// Upper-cases ASCII letters and turns full-width digits and letters into
// their ASCII upper-case forms; other characters are kept.
void normaliseSearchText(std::string& text);

}  // namespace tavrel::textview
