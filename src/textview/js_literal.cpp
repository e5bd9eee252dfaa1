#include "textview/js_literal.h"

#include "text/sjis.h"

#include <cstdint>

namespace tavrel::textview {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Next code point of a UTF-8 text; malformed sequences, overlong forms and
// surrogates give U+FFFD and consume one byte.
char32_t nextCodePoint(std::string_view s, size_t& i) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = byte(i);
    if (c < 0x80) {
        ++i;
        return c;
    }
    size_t length = 0;
    char32_t cp = 0;
    char32_t minimum = 0;
    if ((c & 0xE0) == 0xC0) {
        length = 2, cp = c & 0x1F, minimum = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
        length = 3, cp = c & 0x0F, minimum = 0x800;
    } else if ((c & 0xF8) == 0xF0) {
        length = 4, cp = c & 0x07, minimum = 0x10000;
    } else {
        ++i;
        return kReplacement;
    }
    if (i + length > s.size()) {
        ++i;
        return kReplacement;
    }
    for (size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) {
            ++i;
            return kReplacement;
        }
        cp = (cp << 6) | (byte(i + k) & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++i;
        return kReplacement;
    }
    i += length;
    return cp;
}

bool writtenAsIs(char32_t c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' ' || c == '-' ||
           c == '_' || c == '.' || c == ',' || c == ':' || c == ';' || c == '#' || c == '(' || c == ')';
}

void appendUnit(std::string& out, uint32_t unit) { out += text::format("\\u%04X", unit); }

}  // namespace

std::string jsStringFromUtf8(std::string_view utf8) {
    std::string out = "\"";
    for (size_t i = 0; i < utf8.size();) {
        const char32_t c = nextCodePoint(utf8, i);
        if (writtenAsIs(c)) {
            out += static_cast<char>(c);
        } else if (c > 0xFFFF) {
            const uint32_t v = static_cast<uint32_t>(c) - 0x10000;
            appendUnit(out, 0xD800 + (v >> 10));
            appendUnit(out, 0xDC00 + (v & 0x3FF));
        } else {
            appendUnit(out, static_cast<uint32_t>(c));
        }
    }
    out += '"';
    return out;
}

std::string jsString(std::string_view cp932) { return jsStringFromUtf8(text::toUtf8(cp932)); }

std::string jsStringArray(const std::vector<std::string>& cp932Texts) {
    std::string out = "[";
    for (size_t i = 0; i < cp932Texts.size(); ++i) {
        if (i) out += ',';
        out += jsString(cp932Texts[i]);
    }
    out += ']';
    return out;
}

}  // namespace tavrel::textview
