#include "textview/search_words.h"

#include "text/sjis.h"

namespace tavrel::textview {

bool splitSearchWords(const std::string& textIn, std::vector<std::string>& words) {
    const std::string s = text::trimAscii(text::replaceAll(textIn, SJ("　"), " "));
    if (s.empty() || s.size() > kMaxSearchText) return false;
    bool first = true, firstFound = false;
    size_t pos = 0;
    while (pos <= s.size()) {
        size_t blank = s.find(' ', pos);
        if (blank == std::string::npos) blank = s.size();
        std::string piece = s.substr(pos, blank - pos);
        if (first) firstFound = !piece.empty();
        first = false;
        if (!piece.empty()) words.push_back(std::move(piece));
        pos = blank + 1;
    }
    return firstFound;
}

void normaliseSearchText(std::string& s) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        const size_t n = text::charLength(s, i);
        if (n == 1) {
            const char c = s[i];
            out += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
        } else {
            // Full-width digits and letters are contiguous runs of one lead byte.
            const auto offsetIn = [&](const std::string& first, int length) {
                const int off = static_cast<unsigned char>(s[i + 1]) - static_cast<unsigned char>(first[1]);
                return (s[i] == first[0] && off >= 0 && off < length) ? off : -1;
            };
            int off = -1;
            if ((off = offsetIn(SJ("０"), 10)) >= 0) {
                out += static_cast<char>('0' + off);
            } else if ((off = offsetIn(SJ("Ａ"), 26)) >= 0 || (off = offsetIn(SJ("ａ"), 26)) >= 0) {
                out += static_cast<char>('A' + off);
            } else {
                out.append(s, i, 2);
            }
        }
        i += n;
    }
    s = std::move(out);
}

}  // namespace tavrel::textview
