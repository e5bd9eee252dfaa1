// Tables: e-Gov TableStruct XML -> an Excel-style HTML piece (a complete
// document with </head>, <body>, x:str attributes and font-size:9.0pt;
// declarations), the form the page builder inserts after a sentence.
#pragma once

#include <functional>
#include <pugixml.hpp>
#include <string>

namespace tavrel::collection {

struct TableHtml {
    std::string html;     // UTF-8
    std::string plain;    // converted cell texts joined by blanks, before search folding
    std::string title;    // AppdxTableTitle, when the file is an AppdxTable
    std::string related;  // RelatedArticleNum, when present
};

// Converts the first <Table> at or under root (an AppdxTable, a TableStruct
// or a whole document) into a piece; the first AppdxTableTitle and
// RelatedArticleNum make its heading. cellText turns one cell sentence's text
// into the text stored in the piece (reference conversion); sentenceText reads
// a cell <Sentence> (default: its own character data, child elements left
// out); finishHtml runs on every escaped cell text (default: none). Throws
// BuildError when there is no table.
TableHtml tableFromXml(const pugi::xml_node& root, const std::function<std::string(const std::string&)>& cellText,
                       const std::function<std::string(const pugi::xml_node&)>& sentenceText = {},
                       const std::function<std::string(const std::string&)>& finishHtml = {});

// Wraps an HTML table body (<table>…</table>) into an Excel-style document.
std::string excelDocument(const std::string& tableHtml);

// Escapes &, <, > and " for HTML text and attribute values.
std::string htmlEscape(const std::string& s);

}  // namespace tavrel::collection
