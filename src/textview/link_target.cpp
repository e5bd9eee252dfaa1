#include "textview/link_target.h"

#include "text/sjis.h"

#include <string>

namespace tavrel::textview {

bool isPageLink(std::string_view url) { return text::upperAscii(url).find(kPageLinkSuffix) != std::string::npos; }

std::string linkTarget(std::string_view url) {
    std::string s = text::upperAscii(url);
    if (s.find(kPageLinkSuffix) == std::string::npos) return {};
    while (!s.empty() && s.back() == '/') s.pop_back();
    const std::string_view suffix = kPageLinkSuffix;
    if (s.size() >= suffix.size() && s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0) {
        // The usual form: remove exactly the suffix, so that an identifier
        // ending in one of its letters (base-36 numbers) keeps that letter.
        s.erase(s.size() - suffix.size());
    } else {
        while (!s.empty() && suffix.find(s.back()) != std::string_view::npos) s.pop_back();
    }
    const size_t slash = s.rfind('/');
    const std::string last = slash == std::string::npos ? s : s.substr(slash + 1);
    if (last.size() == 12) return last + "-00";
    if (last.size() == 15) return last;
    return {};
}

}  // namespace tavrel::textview
