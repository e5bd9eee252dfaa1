// Text conversion of the builder: statute text as a horizontal law book prints
// it (article and paragraph references in arabic numerals, article references
// as inline link markup), ruby readings, and the plain searchable text.
// Works on UTF-8 text.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tavrel::collection {

// Value of a kanji numeral such as 二百一, 十五, 千 (also 〇 as zero digit in
// positional form such as 一〇). nullopt when the text is not a numeral.
std::optional<int> kanjiNumber(const std::u32string& s);
bool isKanjiDigit(char32_t c);

// A name that, written right before 第…条, designates a law of the
// collection: e.g. 法 in the enforcement order designates 01A.
struct LawAlias {
    std::string name;   // UTF-8, e.g. "法"
    std::string lawId;  // e.g. "01A"
};

struct ConvertContext {
    std::string ownLaw;             // ID_HN of the law the text belongs to
    std::vector<LawAlias> aliases;  // names designating laws of the collection
    // True when the collection holds the page whose first 12 characters are
    // given (used for 別表 links).
    std::function<bool(const std::string&)> pageExists;
};

// Converts one sentence:
//   第六条の二 -> [第6条の2], 法第二十条 (法 an alias of 01A) -> 法[第20条/01A],
//   第二条第一項 -> [第2条]第1項, 都市計画法第十二条 (another law) -> 都市計画法第12条,
//   別表第一 -> [L別表第一/01A-T0010000L] when that page exists.
// Items (第一号) and all other numbers stay as they are.
std::string convertReferences(const std::string& text, const ConvertContext& ctx);

// The same conversion for texts that carry no link markup (captions):
// 第二十二条第一項 -> 第22条第1項.
std::string convertPlain(const std::string& text, const ConvertContext& ctx);

struct RubyEntry {
    std::string found, base, reading;  // as in ruby.tsv
};
// Replaces every "found" text by base with its reading as ruby markup.
std::string applyRuby(const std::string& text, const std::vector<RubyEntry>& ruby);

// The plain searchable text of a sentence: inline, explicit and keyword
// markup reduced to their display text, ruby readings and HTML tags dropped,
// entities decoded, then folded the way the search folds its input
// (full-width digits to 0-9, full-width and lower-case letters to A-Z).
std::string searchText(const std::string& markup);

// Only the folding step of searchText.
std::string foldForSearch(const std::string& text);

}  // namespace tavrel::collection
