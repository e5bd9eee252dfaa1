// What a collection holds of a law beyond the text of its XML file: the
// layout of its articles (分割 pages and their 補足), the 大型 and 表示 flags of
// its pages, reference-link rows (T_参), table pieces that did not come from
// the XML, and default markers. A law imported again keeps all of it wherever
// its sentence and target are still there; what cannot be kept is named in
// the import summary. A table piece is the XML's when the import recorded it
// (TablePiece::fromLawXml, table T_法令XML表): its text cannot tell, a piece
// added by hand is the same kind of Excel-style document. A law with no
// piece so recorded (the bundled collection's, or one imported before the
// record was kept) falls back on the place: a piece on a sentence the XML
// gives a table of its own is that table's earlier form and is replaced;
// every other piece is kept. Rows of other laws that point into the law are checked
// the same way.
#pragma once

#include "collection/article_pages.h"
#include "collection/model.h"

#include <map>
#include <string>
#include <vector>

namespace tavrel::egov {

// The extras of one law, taken out of the collection before its rows are
// removed and put back after the new rows are in.
class LawExtras {
  public:
    // Takes the law's hand-made table pieces out of c and remembers its
    // layouts and flags; reference rows and markers stay in c. Sentence
    // identifiers on split pages are turned into their one-page form (piece
    // "00"), so that the split applied again moves them to their pages as it
    // moves the text.
    static LawExtras take(collection::Collection& c, const std::string& idHN);

    // Puts back into c (which holds the law's new rows) what still has its
    // sentence and target page, and drops rows of other laws whose target in
    // this law is gone. Returns a short Japanese line (UTF-8) for each row
    // that was not kept.
    std::vector<std::string> restore(collection::Collection& c) const;

  private:
    struct Flags {
        bool large = false, shown = true;
    };
    std::string law_;
    bool recorded_ = false;  // pieces of the law are recorded as the XML's
    std::map<std::string, collection::ArticleLayout> layouts_;  // by 12-character article prefix
    std::map<std::string, Flags> flags_;                        // by ID_FN, only pages whose flags differ
    std::vector<collection::TablePiece> tables_;
};

}  // namespace tavrel::egov
