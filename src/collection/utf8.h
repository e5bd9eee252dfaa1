// Small UTF-8 helpers of the builder: the sources are UTF-8 and the text
// conversion works on code points.
#pragma once

#include <string>

namespace tavrel::collection::utf8 {

// Position of the first byte that does not start or continue a valid UTF-8
// sequence, or npos when the whole text is valid.
size_t firstInvalid(const std::string& s);

// Code points of a valid UTF-8 text (invalid bytes become U+FFFD).
std::u32string decode(const std::string& s);
std::string encode(const std::u32string& s);
std::string encode(char32_t c);

// Bytes of the sequence a lead byte starts (1 for ASCII and stray bytes).
inline size_t sequenceLength(unsigned char lead) { return lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1; }

}  // namespace tavrel::collection::utf8
