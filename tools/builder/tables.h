// Tables: e-Gov TableStruct XML -> an Excel-style HTML piece (a complete
// document with </head>, <body>, x:str attributes and font-size:9.0pt;
// declarations), the form the page builder inserts after a sentence.
#pragma once

#include <filesystem>
#include <functional>
#include <string>

namespace tavrel::builder {

struct TableHtml {
    std::string html;     // UTF-8
    std::string plain;    // converted cell texts joined by blanks, before search folding
    std::string title;    // AppdxTableTitle, when the file is an AppdxTable
    std::string related;  // RelatedArticleNum, when present
};

// Converts a corpus table file. cellText turns one cell's text into the text
// stored in the piece (reference conversion). Throws BuildError on malformed XML.
TableHtml tableFromXml(const std::filesystem::path& file,
                       const std::function<std::string(const std::string&)>& cellText);

// Wraps an HTML table body (<table>…</table>) into an Excel-style document.
std::string excelDocument(const std::string& tableHtml);

// Escapes &, <, > and " for HTML text and attribute values.
std::string htmlEscape(const std::string& s);

}  // namespace tavrel::builder
