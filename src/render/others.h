// The ready-made special pages (cover, legend, revision histories, design
// data, the page in preparation, the hidden page), stored whole in T_他.
#pragma once

#include <string>

namespace tavrel {
class Document;
}

namespace tavrel::render {

// Joins the stored pieces of the special page idFN, points their image
// references at the image folder and turns link markup into links. On false
// a report has been shown on the document's message sink.
bool buildSpecialPage(Document& doc, const std::string& idFN, std::string& html);

}  // namespace tavrel::render
