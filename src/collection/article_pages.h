// The page layout of an article beyond its text: an article shown on several
// pages (分割) and the pages' 補足. The sample's builder applies it to the
// articles its settings name; an import applies it again to the articles of
// a law it replaces, so that a re-imported law keeps its layout.
#pragma once

#include "collection/model.h"

#include <string>
#include <vector>

namespace tavrel::collection {

// The paragraph number of a sentence (its ID_BN's first group).
int paragraphOf(const std::string& idBN);

// Cuts the article's one page (prefix12 + "-00") before each paragraph of
// firstParagraphs (which starts with 1 and ascends): every sentence moves to
// the page of its paragraph and its ID_BN follows, and so do the table
// pieces, reference-link rows and markers of the moved sentences. supplements
// (one per page, or none) become the pages' 補足; every page gets the split
// count. Throws BuildError (naming where) when the article has no such page,
// the paragraphs do not start with 1 and ascend, or a page would be empty.
void splitArticle(Collection& c, const std::string& prefix12, const std::vector<int>& firstParagraphs,
                  const std::vector<std::string>& supplements, const Origin& where);

// The layout of a split article, read back from its pages: the first
// paragraph and the 補足 of every page (for an article on one page, {1} and
// its 補足).
struct ArticleLayout {
    std::vector<int> firstParagraphs;
    std::vector<std::string> supplements;
};
ArticleLayout articleLayout(const Collection& c, const std::string& prefix12);

}  // namespace tavrel::collection
