// The split indicator of a page of a split article or appended table: one
// small image link per page of the article, the current page in red, with the
// pages' supplement texts as titles.
#pragma once

#include <string>

namespace tavrel {
class Document;
}

namespace tavrel::render {

// Empty unless the document's split-page table holds idFN with more than
// one page. Image paths point into the image folder's "system/" folder.
std::string splitIndicator(const Document& doc, const std::string& idFN);

}  // namespace tavrel::render
