// Links of the law text: inline article references ("[第12条の2]",
// "[第3条/05B]"), explicit link markup ("[L" display "/" target "L]") and the
// reference-link block a sentence draws from table T_参. Every link points to
// "http://" + page identifier + "_TAVREL"; its id tells the source sentence
// and the target. All texts are CP932; every length counts bytes.
#pragma once

#include "document/options.h"

#include <string>
#include <vector>

namespace tavrel {
class Document;
}

namespace tavrel::render {

// Turns the inline article references of a sentence (inTable false: ids end
// in "-p01") or of table text (inTable true: "-t01") into links.
std::string inlineReferences(const std::string& sourceIdBN, const std::string& text, bool inTable);

// Turns explicit link markup into links; the id ("-m01") is written only when
// sourceId is a 35-character ID_BN.
std::string explicitLinks(const std::string& sourceId, const std::string& text);

// Removes every x:str="…" attribute of table markup: from the start of
// x:str=" through the next double quote (the blank before it stays).
std::string removeXStrAttributes(const std::string& text);

// For every id of ids (each at least two characters long): the second
// occurrence of id="<id>" in text gets the ending "02", the third "03", and
// so on ("%02d", replacing the last two characters of the id).
void renumberDuplicateIds(std::string& text, const std::vector<std::string>& ids);

// Colours the keyword of one reference row in text with FontColorKeyWord:
// automatic and selected 0 every occurrence, automatic and selected n > 0 the
// n-th occurrence only; not automatic: the places marked in the text as
// "[K" keyword "K]" (markers and their content coloured in place).
void colourReferenceKeyword(std::string& text, const std::string& keyword, bool automatic, int selected,
                            const OptionBlock& options);

// The reference-link block of sentence idBN, drawn from T_参: appends the
// block to block and colours the rows' keywords in the sentence or the table
// text. fontSize is the block's font size in points. Reports failures on the
// document's message sink and returns false (block left empty then).
bool buildReferenceBlock(Document& doc, const std::string& idBN, int fontSize, std::string& block, std::string& sentence,
               std::string& table);

// The author-contact paragraph of the failure report of buildReferenceBlock
// (CP932), with a "メールアドレス: " line when the installation has a mail
// address.
std::string referenceFailureContact(const Document& doc);

}  // namespace tavrel::render
