// Helpers the two halves of the e-Gov reader share: reading the file
// (law_file.cpp) and turning it into rows (law_rows.cpp).
#pragma once

#include <cstring>
#include <pugixml.hpp>
#include <string>

namespace tavrel::egov::xml {

inline bool named(const pugi::xml_node& n, const char* name) { return std::strcmp(n.name(), name) == 0; }

// &, < and > as entities; control characters dropped (they carry the inline
// marks of collection/steps.h: none may come from a file).
std::string htmlEscapeText(const std::string& s);

}  // namespace tavrel::egov::xml
