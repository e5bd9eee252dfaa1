// What one sentence cites: the references a sentence's stored text (UTF-8, as
// the database file holds it) makes to articles and pages of the collection,
// each with the paragraph and item words that follow it.
//
// The links are found as the page builder makes them: inline references
// "[第12条の2]" / "法[第20条/01A]" and explicit link markup
// "[L別表第一/01A-T0010000L]", with the same reach limits (counted in CP932
// bytes, as the page builder counts them). After a reference, "第1項",
// "第1項第二号", "第二号" (an article of one paragraph) or "第1項各号" name
// the part cited; parts joined by 、 又は 若しくは 及び 並びに から
// ("第1項又は第2項", "第一号及び第二号") are cited too.
//
// Relative references are resolved only where the text makes the target
// certain:
//  - 同条 / 同項 / 同号: the article, paragraph or item named last before them
//    in the same sentence; an article of another law (written without a link)
//    in between makes them cite that law, i.e. nothing here; with nothing
//    named before them in the sentence they are left unresolved.
//  - 前条: in a branch article (第6条の2) the article before it (第6条), in
//    第6条の3 第6条の2; in an article without a branch number nothing is
//    certain (the law may hold branch articles of the article before that
//    the collection does not), so it is left unresolved. The same for 前条
//    outside article pages.
//  - 次条: the branch article that follows (第6条 -> 第6条の2, 第6条の2 ->
//    第6条の3) when the collection holds it; otherwise left unresolved.
//  - 前項 and 前各号 always name parts of the same article.
// Citations of the sentence's own article are dropped (counted apart).
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tavrel::citations {

enum class CitationKind : char { Inline = 'p', Explicit = 'm', ReferenceRow = 'r', Relative = 'a' };

struct SentenceCitation {
    std::string target;   // 12 characters: law, "-", article number and branches (or a page prefix)
    int paragraph = 0;    // 0: the article as a whole
    int paragraphBranch = 0;
    std::string part;     // the cited part as written ("第1項第二号"), UTF-8; empty for the whole article
    CitationKind kind = CitationKind::Inline;
    size_t start = 0;     // bytes of the reference words in the text
    size_t end = 0;
};

struct SentenceScan {
    std::vector<SentenceCitation> citations;
    int unresolved = 0;   // relative references left unresolved
    int sameArticle = 0;  // references to the sentence's own article (dropped)
};

// True when the collection holds an article with this 12-character prefix.
using ArticleLookup = std::function<bool(std::string_view prefix12)>;

// The citations of the sentence idBN (35 characters) with text textUtf8.
SentenceScan scanSentence(std::string_view idBN, std::string_view textUtf8, const ArticleLookup& articleExists);

// The text a reader sees of stored sentence markup: tags and ruby readings
// dropped, link markup reduced to its display text, keyword markers removed.
std::string plainText(std::string_view textUtf8);

// A Japanese numeral of up to two digits (一 … 九十九); 0 when text is not one.
int kanjiNumber(std::string_view textUtf8);

// Byte length of a UTF-8 text in CP932 (one byte for ASCII and half-width
// katakana, two otherwise).
size_t cp932Length(std::string_view textUtf8);

}  // namespace tavrel::citations
