// Structure -> identifiers: reads a corpus article file into its elements
// (paragraphs, items with branches, sub-items イロハ, (1), (i)) and composes
// the fixed-width identifiers ID_FN, ID_SN and ID_BN from them.
#pragma once

#include "collection/model.h"

#include <filesystem>
#include <string>
#include <vector>

namespace tavrel::collection {

// The default format code of ordinary article sentences: no style character
// set, so items are kanji, sub-items katakana.
inline constexpr const char* kArticleFormatCode = "0000000000000000";

// Position of one element inside an article.
struct ElementAddress {
    int paragraph = 1, paragraphBranch = 0;
    int item = 0, itemBranch = 0;
    int subItem = 0, bracketed = 0, smallRoman = 0;
    int level() const;  // 0 first paragraph, 1 later paragraph, 2 item, 3, 4, 5
};

// "P[/I[-b][/S[/B[/R]]]]", e.g. "2", "1/7-2", "1/6/1/2/1". Throws BuildError.
ElementAddress parseAddress(const std::string& text, const Origin& where);

struct ArticleElement {
    ElementAddress address;
    std::string text;          // after the printed label and its blank
    std::string printedLabel;  // label as the page shows it: 第6条の2, 2, 七の二, イ, (1), （ⅱ）
    int line = 0;
};

struct CorpusArticle {
    int number = 0, branch1 = 0, branch2 = 0;
    std::string caption;  // without its parentheses
    std::string title;    // 第六条の二
    std::vector<ArticleElement> elements;
    std::string file;
};

// Parses corpus-format body lines (first paragraph unnumbered, "２…", "一　…",
// "  イ　…", "    （１）　…", "      （ｉ）　…") into elements.
std::vector<ArticleElement> parseBody(const std::vector<std::pair<int, std::string>>& lines, const std::string& file);

// "第三章 都市計画区域等…" -> number 3, branch, name; the level word (章, 節, 款, 目)
// must match. Throws BuildError.
struct DivisionName {
    int number = 0, branch1 = 0, branch2 = 0;
    std::string name;
};
DivisionName parseDivisionName(const std::string& text, const std::u32string& levelWord, const Origin& where);

std::string articlePrefix(const std::string& law, int number, int branch1, int branch2);  // 12 characters
std::string pageId(const std::string& prefix12, int page);                                // 15 characters
std::string sentenceId(const std::string& idFN, const ElementAddress& a);                 // 35 characters
std::string divisionGroup(const DivisionName& d);                                         // 4 characters
char base36Char(int v);

// Kanji numeral at i followed by up to one "の"+numeral branch (第七条の二 read
// from after 第); advances i past what it read.
bool readNumeralWithBranch(const std::u32string& s, size_t& i, int& value, int& branch);

// Kanji numeral text of n (1-99), as the numbering prints items.
std::string kanjiText(int n);
// Small roman numeral text of n (1-14): ⅰ … ⅹⅳ.
std::string romanText(int n);
// Iroha letter index (1-based) of a katakana letter, 0 when none.
int irohaIndex(char32_t c);

// True when s consists of exactly n characters 0-9, A-Z and "-".
bool isIdentifierText(const std::string& s, size_t n);

}  // namespace tavrel::collection
