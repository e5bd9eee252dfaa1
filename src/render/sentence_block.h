// One sentence row of a law text page rendered as its block: the sentence
// text transformed (brackets, unit superscripts, links, emphasis), its label
// and indentation, the reference links drawn from T_参 and its table.
#pragma once

#include "document/numbering.h"

#include <string>

namespace tavrel {
class Document;
}

namespace tavrel::render {

struct SentenceRow {
    std::string idBN;            // 35 characters
    std::string text;            // 法文
    std::string formatCode;      // 書式コード
    bool hasTable = false;       // 表式
    bool labelHidden = false;    // 札抜
    bool hasReferences = false;  // 参照
    bool hasFigures = false;     // 図入
};

// Writes the units ㎝2, ㎝3, ㎜2, ㎜3, m3, s2 and 秒2 with the exponent raised.
std::string raiseUnitExponents(const std::string& text);

// Renders one row. indentation carries the margins of the previous row: a
// row whose level cannot be determined keeps them (and shows no label).
class SentenceRenderer {
  public:
    SentenceRenderer(Document& doc, numbering::PageKind kind);
    std::string render(const SentenceRow& row);

  private:
    Document& doc_;
    numbering::PageKind kind_;
    double unit_;
    double marginLeft_ = 0.0;
    double textIndent_ = 0.0;
};

}  // namespace tavrel::render
