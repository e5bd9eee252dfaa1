// Values written into the scripts that the law text view runs in its page.
// Every text that reaches a script goes through one of these functions: the
// result is a double-quoted script string literal made of printable ASCII
// only, in which everything but letters, digits and a few harmless marks is
// written as a \uXXXX escape. Quotes, backslashes, line ends, "<", ">" and
// "/" can therefore never end the literal, the script or a surrounding
// <script> element, whatever the user typed or a file held.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tavrel::textview {

// Literal of a CP932 text (characters that are not CP932 become U+FFFD).
std::string jsString(std::string_view cp932);
// Literal of a UTF-8 text (native paths); invalid bytes become U+FFFD.
std::string jsStringFromUtf8(std::string_view utf8);
// "[" + the literals joined by "," + "]".
std::string jsStringArray(const std::vector<std::string>& cp932Texts);

}  // namespace tavrel::textview
