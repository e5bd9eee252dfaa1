// Small pieces shared by the page builders of this folder: the report of a
// failed build, colour and image-folder texts as they are written into a
// page, and the guarded run of one statement with an identifier.
#pragma once

#include "database/report.h"

#include <cstdint>
#include <string>

namespace tavrel {
class Document;
}

namespace tavrel::render {

// The purpose and operation texts of one builder's error report.
struct ReportTarget {
    const std::string& purpose;  // CP932
    const char* operation;       // ASCII
};

// Shows the plain-variant report of the target on the document's sink.
void reportFailure(Document& doc, const ReportTarget& target, const std::string& body);

// "#RRGGBB" of a colour value (red in the low byte).
std::string htmlColor(int32_t color);

// The image folder as it is written into a page: the document's native
// (UTF-8) path converted to CP932, ending in "/". The sub-folders the page
// builders append are "system/", "kokuji/", "basic/" and "design/": plain
// absolute paths, which the text view's scheme handler maps to files.
std::string pageImageFolder(const Document& doc);

// Inserts what before the first character-aligned occurrence of marker (or
// after it when after is true). Returns false and leaves text unchanged when
// the marker is absent.
bool insertAt(std::string& text, const std::string& marker, const std::string& what, bool after);

}  // namespace tavrel::render
