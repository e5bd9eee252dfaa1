// Shift-JIS (code page 932) text helpers shared by the whole core.
//
// Inside the core every text is a std::string of CP932 bytes: every length,
// position and limit counts bytes, and no cut ever splits a double-byte
// character. This header is the one place that decides lead bytes, cuts text
// safely and converts to and from UTF-8 (through iconv) at the edges.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tavrel::text {

// True for the first byte of a double-byte character (0x81-0x9F, 0xE0-0xFC).
constexpr bool isLeadByte(unsigned char c) noexcept {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}
inline bool isLeadByte(char c) noexcept { return isLeadByte(static_cast<unsigned char>(c)); }

// Length in bytes of the character that starts at pos: 2 for a lead byte that
// has a following byte, otherwise 1 (a lead byte at the very end counts as 1).
// 0 when pos is at or past the end.
size_t charLength(std::string_view s, size_t pos) noexcept;

// True when pos is the start of a character (or the end of the text), scanning
// from the beginning of s.
bool isCharBoundary(std::string_view s, size_t pos) noexcept;

// Largest n <= maxBytes such that s[0, n) ends on a character boundary.
size_t safeCutLength(std::string_view s, size_t maxBytes) noexcept;

// The prefix of s of at most maxBytes bytes that never ends inside a
// double-byte character.
std::string safeCut(std::string_view s, size_t maxBytes);

// Number of single-byte characters of s (double-byte characters are skipped).
size_t singleByteCount(std::string_view s) noexcept;

// Character-aligned search: the first position >= from where needle starts on
// a character boundary of hay, or npos. A byte pair that only looks like the
// needle because it straddles two other characters is never a match.
size_t findText(std::string_view hay, std::string_view needle, size_t from = 0) noexcept;

// Replaces every character-aligned occurrence of from by to.
std::string replaceAll(std::string_view s, std::string_view from, std::string_view to);

// Removes ASCII white space (space, tab, CR, LF) at both ends.
std::string trimAscii(std::string_view s);

// Removes ASCII white space and the full-width space (0x81 0x40) at both ends.
std::string trimWide(std::string_view s);

// Upper-cases ASCII letters only; double-byte characters are left untouched.
std::string upperAscii(std::string_view s);

// C-style decimal conversion of a substring: leading blanks and sign allowed,
// reading stops at the first non-digit; a non-numeric text reads as 0.
long toLong(std::string_view s) noexcept;

// printf-style formatting into a std::string. Its "%f"/"%g" follow the C
// library's numeric locale; numbers that must read the same everywhere go
// through formatFixed / formatGeneral.
std::string format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

// A number with a "." as its decimal mark whatever the locale: as "%.<digits>f"
// and "%.<digits>g" print it in the "C" locale.
std::string formatFixed(double value, int digits);
std::string formatGeneral(double value, int digits);

// CP932 lines for a message box: the first `shown` of them, one a line, and
// for the rest one line "ほか%d件" with their number.
std::string listedLines(const std::vector<std::string>& lines, size_t shown = 30);

// CP932 -> UTF-8. A byte sequence that is not CP932 becomes U+FFFD; the
// conversion never fails.
std::string toUtf8(std::string_view cp932);

// UTF-8 -> CP932. A character without a CP932 form, and each invalid UTF-8
// byte, becomes "?". ok (when given) is set to false when anything was lost.
std::string fromUtf8(std::string_view utf8, bool* ok = nullptr);

}  // namespace tavrel::text

// The one conversion point for Japanese literals of the core: source files are
// UTF-8, and SJ("…") yields the CP932 text of the literal, converted once and
// kept for the life of the program.
#define SJ(utf8_literal)                                                                     \
    ([]() -> const std::string& {                                                            \
        static const std::string tavrel_sj_value_ = ::tavrel::text::fromUtf8(utf8_literal); \
        return tavrel_sj_value_;                                                             \
    }())
