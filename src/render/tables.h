// Table rendering: the ready-made HTML pieces of one sentence's table (T_表),
// joined in order, with the program's style sheet, the image anchor and, on
// appended-table pages, the split indicator, the article references linked
// and the table font size adapted to the user's setting.
#pragma once

#include <string>

namespace tavrel {
class Document;
}

namespace tavrel::render {

// Builds the table HTML of the sentence idBN (35 characters) into html.
// True when the query returned rows; on false a report has been shown on the
// document's message sink and html is not to be used.
bool buildTablePage(Document& doc, const std::string& idBN, std::string& html);

}  // namespace tavrel::render
