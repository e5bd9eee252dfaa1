// The page builder: turns the database rows of one page identifier (ID_FN)
// into one complete HTML page (CP932). Appended-table and special pages are
// handed to their own builders; article, notification and supplementary-
// provisions pages are assembled here: skeleton, headings, division
// captions, caption line, history, split indicator and one block per
// sentence with its label, indentation, links and table.
#pragma once

#include "document/numbering.h"

#include <string>

namespace tavrel {
class Document;
}

namespace tavrel::render {

// The closing paragraph of the report of a page that has no title row
// (CP932): the request to tell the author, and the author's mail address on
// a line of its own when the installation has one.
std::string authorContact(const Document& doc);

class PageBuilder {
  public:
    explicit PageBuilder(Document& doc);

    // Builds the page idFN into html. True when a page was produced; on false
    // a message has been shown and html is not to be used.
    bool buildPage(const std::string& idFN, std::string& html);

    // Set by the text view while it rebuilds a large page after the user
    // clicked its link: the page is then built in full.
    void setFullPageRequest(bool on) { fullPage_ = on; }
    bool fullPageRequest() const { return fullPage_; }

    // Writes html to the temporary folder as <ID_FN>.tmp, each line feed
    // stored as CR LF. False for an identifier that is not a 15-character
    // ID_FN and on any file error.
    bool writePageFile(const std::string& idFN, const std::string& html) const;

  private:
    bool assemble(const std::string& idFN, numbering::PageKind kind, std::string& html);
    bool appendSentences(const std::string& idFN, numbering::PageKind kind, std::string& html);
    void report(const std::string& body);
    void insertCitedByBlock(const std::string& idFN, std::string& html);

    Document& doc_;
    bool fullPage_ = false;
};

}  // namespace tavrel::render
