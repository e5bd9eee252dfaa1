// Page links of the law pages: "http://" + a 12- or 15-character page
// identifier + "_TAVREL". The browser may hand such an address back with its
// host lower-cased and a "/" appended; these functions undo that.
#pragma once

#include <string>
#include <string_view>

namespace tavrel::textview {

inline constexpr const char* kPageLinkSuffix = "_TAVREL";

// True when the upper-cased address contains "_TAVREL".
bool isPageLink(std::string_view url);

// The page identifier an address points at, upper-cased: the 12-character
// form gets "-00" appended. Empty when the address is no page link or its
// last part is neither 12 nor 15 characters long.
std::string linkTarget(std::string_view url);

}  // namespace tavrel::textview
