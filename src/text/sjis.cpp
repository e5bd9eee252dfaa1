#include "text/sjis.h"

#include <iconv.h>

#include <cerrno>
#include <charconv>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace tavrel::text {

size_t charLength(std::string_view s, size_t pos) noexcept {
    if (pos >= s.size()) return 0;
    if (isLeadByte(s[pos]) && pos + 1 < s.size()) return 2;
    return 1;
}

bool isCharBoundary(std::string_view s, size_t pos) noexcept {
    if (pos > s.size()) return false;
    size_t i = 0;
    while (i < pos) i += charLength(s, i);
    return i == pos;
}

size_t safeCutLength(std::string_view s, size_t maxBytes) noexcept {
    if (maxBytes >= s.size()) return s.size();
    size_t i = 0;
    while (i < s.size()) {
        const size_t n = charLength(s, i);
        if (i + n > maxBytes) break;
        i += n;
    }
    return i;
}

std::string safeCut(std::string_view s, size_t maxBytes) { return std::string(s.substr(0, safeCutLength(s, maxBytes))); }

size_t singleByteCount(std::string_view s) noexcept {
    size_t count = 0;
    for (size_t i = 0; i < s.size();) {
        const size_t n = charLength(s, i);
        if (n == 1) ++count;
        i += n;
    }
    return count;
}

namespace {

// True when pos (> 0, inside s) starts a character, judged from the bytes
// right before it: s starts on a boundary, and a byte that cannot be a lead
// byte always ends a character, so an even run of possible lead bytes before
// pos ends on a boundary.
bool startsCharacterAt(std::string_view s, size_t pos) noexcept {
    size_t run = 0;
    while (run < pos && isLeadByte(s[pos - run - 1])) ++run;
    return run % 2 == 0;
}

}  // namespace

size_t findText(std::string_view hay, std::string_view needle, size_t from) noexcept {
    if (needle.empty()) return from <= hay.size() ? from : std::string_view::npos;
    if (from >= hay.size()) return std::string_view::npos;
    // The first character boundary at or after from.
    size_t i = from == 0 || startsCharacterAt(hay, from) ? from : from + 1;
    // Candidates by memmem; a candidate inside a double-byte character is
    // passed over.
    while (i + needle.size() <= hay.size()) {
        const void* hit = memmem(hay.data() + i, hay.size() - i, needle.data(), needle.size());
        if (!hit) break;
        const size_t at = static_cast<size_t>(static_cast<const char*>(hit) - hay.data());
        if (at == 0 || startsCharacterAt(hay, at)) return at;
        i = at + 1;
    }
    return std::string_view::npos;
}

std::string replaceAll(std::string_view s, std::string_view from, std::string_view to) {
    if (from.empty()) return std::string(s);
    std::string out;
    out.reserve(s.size());
    // One pass: each hit is looked for from the end of the previous one.
    size_t pos = 0;  // first byte not yet copied
    for (size_t at = findText(s, from, 0); at != std::string_view::npos; at = findText(s, from, pos)) {
        out.append(s.substr(pos, at - pos));
        out.append(to);
        pos = at + from.size();
    }
    out.append(s.substr(pos));
    return out;
}

namespace {
bool isAsciiSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
}  // namespace

std::string trimAscii(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && isAsciiSpace(s[b])) ++b;
    while (e > b && isAsciiSpace(s[e - 1])) --e;
    return std::string(s.substr(b, e - b));
}

std::string trimWide(std::string_view s) {
    size_t b = 0;
    for (;;) {
        if (b < s.size() && isAsciiSpace(s[b])) {
            ++b;
        } else if (b + 1 < s.size() && static_cast<unsigned char>(s[b]) == 0x81 &&
                   static_cast<unsigned char>(s[b + 1]) == 0x40) {
            b += 2;
        } else {
            break;
        }
    }
    // The end is trimmed character by character from the left, so that a
    // trail byte 0x40 of another character is never taken for a space.
    size_t lastKeep = b;
    for (size_t i = b; i < s.size();) {
        const size_t n = charLength(s, i);
        const bool space = (n == 1 && isAsciiSpace(s[i])) || (n == 2 && static_cast<unsigned char>(s[i]) == 0x81 &&
                                                              static_cast<unsigned char>(s[i + 1]) == 0x40);
        i += n;
        if (!space) lastKeep = i;
    }
    return std::string(s.substr(b, lastKeep - b));
}

std::string upperAscii(std::string_view s) {
    std::string out(s);
    for (size_t i = 0; i < out.size();) {
        const size_t n = charLength(out, i);
        if (n == 1 && out[i] >= 'a' && out[i] <= 'z') out[i] = static_cast<char>(out[i] - 'a' + 'A');
        i += n;
    }
    return out;
}

long toLong(std::string_view s) noexcept {
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    bool neg = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        neg = s[i] == '-';
        ++i;
    }
    long v = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
        if (v > (__LONG_MAX__ - 9) / 10) break;  // saturate instead of overflowing
        v = v * 10 + (s[i] - '0');
    }
    return neg ? -v : v;
}

std::string listedLines(const std::vector<std::string>& lines, size_t shown) {
    std::string out;
    for (size_t i = 0; i < lines.size() && i < shown; ++i) out += (i ? "\n" : "") + lines[i];
    if (lines.size() > shown) out += "\n" + SJ("ほか") + std::to_string(lines.size() - shown) + SJ("件");
    return out;
}

std::string format(const char* fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    va_list ap2;
    va_copy(ap2, ap);
    const int n = std::vsnprintf(nullptr, 0, fmt, ap);
    va_end(ap);
    std::string out;
    if (n > 0) {
        out.resize(static_cast<size_t>(n) + 1);
        std::vsnprintf(out.data(), out.size(), fmt, ap2);
        out.resize(static_cast<size_t>(n));
    }
    va_end(ap2);
    return out;
}

std::string formatFixed(double value, int digits) {
    char buf[400];  // room for DBL_MAX in full
    const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, digits);
    return std::string(buf, r.ptr);
}

std::string formatGeneral(double value, int digits) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, digits);
    return std::string(buf, r.ptr);
}

namespace {

// One iconv descriptor per direction and thread, opened on first use.
class Converter {
  public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts in; on an invalid or unmappable input sequence, appends
    // replacement and skips skipBytes(in) bytes. Returns false when anything
    // was replaced or dropped.
    template <typename Skip>
    bool convert(std::string_view in, std::string& out, std::string_view replacement, Skip skipBytes) {
        out.clear();
        if (cd_ == reinterpret_cast<iconv_t>(-1)) return false;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        bool clean = true;
        std::vector<char> buf(in.size() * 2 + 16);
        char* src = const_cast<char*>(in.data());
        size_t srcLeft = in.size();
        while (srcLeft > 0) {
            char* dst = buf.data();
            size_t dstLeft = buf.size();
            const size_t r = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
            out.append(buf.data(), static_cast<size_t>(dst - buf.data()));
            if (r != static_cast<size_t>(-1)) break;
            if (errno == E2BIG) continue;
            // EILSEQ or EINVAL (truncated sequence at the end).
            clean = false;
            out.append(replacement);
            const size_t skip = std::min(srcLeft, skipBytes(std::string_view(src, srcLeft)));
            src += skip;
            srcLeft -= skip;
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        }
        return clean;
    }

  private:
    iconv_t cd_;
};

size_t utf8SequenceLength(std::string_view s) {
    const auto c = static_cast<unsigned char>(s[0]);
    size_t n = 1;
    if (c >= 0xC2 && c <= 0xDF)
        n = 2;
    else if (c >= 0xE0 && c <= 0xEF)
        n = 3;
    else if (c >= 0xF0 && c <= 0xF4)
        n = 4;
    // A malformed sequence is skipped one byte at a time.
    for (size_t i = 1; i < n; ++i) {
        if (i >= s.size() || (static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) return 1;
    }
    return n;
}

}  // namespace

std::string toUtf8(std::string_view cp932) {
    thread_local Converter conv("UTF-8", "CP932");
    std::string out;
    conv.convert(cp932, out, "\xEF\xBF\xBD", [](std::string_view rest) { return charLength(rest, 0); });
    return out;
}

std::string fromUtf8(std::string_view utf8, bool* ok) {
    thread_local Converter conv("CP932", "UTF-8");
    std::string out;
    const bool clean = conv.convert(utf8, out, "?", [](std::string_view rest) { return utf8SequenceLength(rest); });
    if (ok) *ok = clean;
    return out;
}

}  // namespace tavrel::text
