// Reads back a script string literal as the page's script engine would: true
// when lit is exactly one double-quoted literal that nothing inside can end
// early (no raw quote, backslash other than a \uXXXX escape, line end, or
// character that could close a script element), with its UTF-8 value.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tavrel::testing {

inline void appendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

inline bool readJsLiteral(std::string_view lit, std::string& utf8) {
    utf8.clear();
    if (lit.size() < 2 || lit.front() != '"' || lit.back() != '"') return false;
    uint32_t pendingHigh = 0;
    for (size_t i = 1; i + 1 < lit.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(lit[i]);
        if (c < 0x20 || c >= 0x7F || c == '"' || c == '\'' || c == '<' || c == '>' || c == '/' || c == '`')
            return false;
        uint32_t unit = c;
        if (c == '\\') {
            if (i + 6 > lit.size() - 1 || lit[i + 1] != 'u') return false;
            unit = 0;
            for (size_t k = 2; k < 6; ++k) {
                const char h = lit[i + k];
                unit <<= 4;
                if (h >= '0' && h <= '9')
                    unit |= static_cast<uint32_t>(h - '0');
                else if (h >= 'A' && h <= 'F')
                    unit |= static_cast<uint32_t>(h - 'A' + 10);
                else if (h >= 'a' && h <= 'f')
                    unit |= static_cast<uint32_t>(h - 'a' + 10);
                else
                    return false;
            }
            i += 5;
        }
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            if (pendingHigh) return false;
            pendingHigh = unit;
            continue;
        }
        if (unit >= 0xDC00 && unit <= 0xDFFF) {
            if (!pendingHigh) return false;
            appendUtf8(utf8, 0x10000 + ((pendingHigh - 0xD800) << 10) + (unit - 0xDC00));
            pendingHigh = 0;
            continue;
        }
        if (pendingHigh) return false;
        appendUtf8(utf8, unit);
    }
    return pendingHigh == 0;
}

}  // namespace tavrel::testing
