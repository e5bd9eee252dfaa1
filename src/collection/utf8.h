// Small UTF-8 helpers of the builder: the sources are UTF-8 and the text
// conversion works on code points.
#pragma once

#include <string>
#include <string_view>

namespace tavrel::collection::utf8 {

// Position of the first byte that does not start or continue a valid UTF-8
// sequence, or npos when the whole text is valid.
size_t firstInvalid(const std::string& s);

// The code point of the sequence at i of s and its length in bytes; 0 for a
// byte that starts no valid sequence.
inline size_t sequenceAt(std::string_view s, size_t i, char32_t& cp) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    size_t n = 0;
    if (c < 0x80) {
        cp = c;
        return 1;
    }
    if ((c & 0xE0) == 0xC0) {
        n = 2;
        cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
        n = 3;
        cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
        n = 4;
        cp = c & 0x07;
    } else {
        return 0;
    }
    if (i + n > s.size()) return 0;
    for (size_t k = 1; k < n; ++k) {
        const unsigned char d = static_cast<unsigned char>(s[i + k]);
        if ((d & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (d & 0x3F);
    }
    static const char32_t minimum[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < minimum[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return n;
}

// Code points of a valid UTF-8 text (invalid bytes become U+FFFD).
std::u32string decode(const std::string& s);
std::string encode(const std::u32string& s);
std::string encode(char32_t c);
// Appends the UTF-8 form of c to out.
void append(std::string& out, char32_t c);

// Bytes of the sequence a lead byte starts (1 for ASCII and stray bytes).
inline size_t sequenceLength(unsigned char lead) { return lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1; }

}  // namespace tavrel::collection::utf8
