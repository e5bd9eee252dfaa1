// "引用付きでコピー": the selected text followed by its citation, e.g.
// 「…を受けなければならない。（建築基準法第6条第1項第二号）」. The citation
// names the sentence the selection starts in — law and article (附則, a
// notification's number, an appended table), then paragraph, item, sub-item
// and deeper levels in their long form — and, for a selection over several
// sentences, the last one too, written from where it differs from the first
// (「第6条第1項～第3項」). The sentences come from the identifiers the page
// builder gives the label anchor of each sentence; the labels are the
// numbering's long labels with the sentence's format code.
#pragma once

#include "document/numbering.h"

#include <string>
#include <vector>

namespace tavrel {
class Document;
}

namespace tavrel::textview {

struct CitationSentence {
    std::string idBN;
    std::string formatCode;  // 書式コード
};

// What the citation needs to know about the page shown.
struct CitationPage {
    std::string idFN;     // the page shown
    std::string lawName;  // the common name of its law (CP932)
    // Every sentence of the article (or notification, or 附則) over all its
    // pages: their format codes, and whether the article has more than one
    // paragraph (「第1項」 is named only then).
    std::vector<CitationSentence> sentences;
    numbering::SupplementLookup supplement;
};

// The parts of the citation of one sentence, outermost first: the head
// (「建築基準法第6条」, 「建築基準法附則」, 「平成12年告示第1399号」,
// 「建築基準法別表第1」) and each labelled level below it. An empty idBN
// (a selection starting before the first sentence) gives the head of the
// page alone; a page that cannot be cited (special pages) gives nothing.
std::vector<std::string> citationParts(const CitationPage& page, const std::string& idBN);

// "（…）" for a selection from sentence startIdBN to sentence endIdBN (CP932),
// or "" when the page cannot be cited. A last sentence inside the first one's
// element (an item of the paragraph the selection starts in) adds nothing.
std::string citationText(const CitationPage& page, const std::string& startIdBN, const std::string& endIdBN);

// The selection followed by its citation (line ends at the end of the
// selection are dropped so that the citation follows the text).
std::string textWithCitation(const std::string& selection, const std::string& citation);

// The script that evaluates to "startIdBN;endIdBN": the identifiers of the
// sentences the page's selection starts and ends in (the last sentence label
// anchor at or before each end of the selection; empty before the first).
const char* selectionSentencesScript();

// Reads the page's sentences and law name from the open collection. A
// database failure leaves the sentences empty (the citation then names the
// paragraph only from the sentence's own identifier).
CitationPage citationPage(Document& doc, const std::string& idFN);

}  // namespace tavrel::textview
