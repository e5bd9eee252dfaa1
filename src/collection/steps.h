// The steps every collection goes through after its pages are read, whatever
// their source (the sample's data folder or e-Gov law XML): reference
// conversion and ruby of captions and sentences, the searchable texts, and
// the care of characters that have no CP932 form.
#pragma once

#include "collection/model.h"

#include <set>
#include <string>
#include <string_view>

namespace tavrel::collection {

// The conversion context of one law of the collection: its aliases, and the
// collection's pages for 別表 links (as they are when the context is made).
ConvertContext conversionContext(const Collection& c, const std::string& law);

// Captions of article pages without markup, sentence texts with link markup
// and ruby (the collection's ruby list, and the inline marks of the text). An empty
// law converts every page, else only the pages of that law.
void convertPages(Collection& c, const std::string& law = {});

// 検索用データ of every sentence (or those of one law) from its markup.
void fillSearchTexts(Collection& c, const std::string& law = {});

// Inline markup written into a source text as control characters (a form the
// reference conversion and HTML escaping pass through untouched): ruby as
// U+0001 base U+0002 reading U+0003, superscript U+0004 … U+0005, subscript
// U+0006 … U+0007. expandInlineMarks turns them into <ruby>, <sup>, <sub>.
inline constexpr char kRubyOpen = '\x01', kRubyReading = '\x02', kRubyClose = '\x03';
inline constexpr char kSupOpen = '\x04', kSupClose = '\x05', kSubOpen = '\x06', kSubClose = '\x07';
std::string expandInlineMarks(const std::string& text);
// The text without its inline marks and ruby readings (for attribute values
// and search texts).
std::string stripInlineMarks(const std::string& text);

// Characters without a CP932 form, so that every text of one law can be
// stored and shown: sentence and table markup carry them as character
// references (&#x5861;), captions, names and division names as 〓, and the
// searchable text as their common variant (塡 -> 填) or 〓. Returns how many
// texts changed. missing lists every character of the law's texts that has
// no CP932 form (charactersWithoutCp932Form of its source): texts holding
// none of them are left as they are without a conversion.
size_t fitToCp932(Collection& c, const std::string& law, const std::set<char32_t>& missing);

// Adds the characters of a text that have no CP932 form to missing.
void addCharactersWithoutCp932Form(std::string_view utf8Text, std::set<char32_t>& missing);

// True when c has a CP932 form that reads back as c (〜 U+301C has none: it
// reads back as ～ U+FF5E). Each character is asked of iconv once per process.
bool hasCp932Form(char32_t c);
// True when every character of a valid UTF-8 text has one: the text then
// converts to CP932 and back to itself.
bool hasCp932Forms(std::string_view utf8Text);

// The same for one text: its markup form, its plain form, its search form.
std::string withCharacterReferences(const std::string& utf8);
std::string withGeta(const std::string& utf8);
std::string withVariants(const std::string& utf8);

}  // namespace tavrel::collection
