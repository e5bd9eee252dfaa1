// Helpers the two halves of the e-Gov reader share: reading the file
// (law_file.cpp) and turning it into rows (law_rows.cpp).
#pragma once

#include <cstring>
#include <pugixml.hpp>
#include <string>
#include <string_view>

namespace tavrel::egov::xml {

inline bool named(const pugi::xml_node& n, const char* name) { return std::strcmp(n.name(), name) == 0; }

// &, < and > as entities; control characters dropped (they carry the inline
// marks of collection/steps.h: none may come from a file).
std::string htmlEscapeText(std::string_view s);
// The same appended to out, or (escape false) only the controls dropped.
void appendText(std::string& out, std::string_view s, bool escape);

}  // namespace tavrel::egov::xml
