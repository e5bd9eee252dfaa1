// The 被引用 block: after a page's own text (and the reference links under
// its sentences), the provisions of the collection that cite the page —
// grouped by law (this law, then the laws of its family: its order,
// ordinance and notifications, then other laws), in collection order. Each
// line: the citing provision's label as a link that opens the citing page at
// the citing sentence, the part of this page it cites and a short excerpt of
// the citing sentence with the reference emphasised.
//
// The rows come from the collection's table T_被引用, or, for a collection
// without it, from the index the program built (Document::citationIndex).
// All texts here are CP932.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavrel {
class Document;
}

namespace tavrel::render {

struct CitedByEntry {
    std::string citingSentence;  // ID_BN
    std::string part;            // "第1項第二号"; empty: the page as a whole
    char kind = 'p';             // p inline, m explicit, r reference row, a relative
    std::string before, words, after;
};

// The rows citing page idFN, in the block's order, at most limit of them (0:
// all); *total (when given) gets the number of all. Empty when nothing cites
// the page or no index is available. A database error is reported on the
// document's message sink and gives no rows.
std::vector<CitedByEntry> citedByEntries(Document& doc, const std::string& idFN, size_t limit = 0,
                                         size_t* total = nullptr);

// The block lists at most this many lines, then how many more there are (a
// page cited from everywhere would otherwise grow by megabytes).
inline constexpr size_t kMaxBlockLines = 200;

// The label of a citing sentence: the law's common name, a blank and the
// provision ("建築基準法施行令 第36条第1項", "建築基準法関係告示 平12年 1399号").
std::string citingLabel(const Document& doc, const std::string& idBN);

// The block of page idFN ("" when nothing cites it).
std::string buildCitedByBlock(Document& doc, const std::string& idFN);

// The id of a line's link: "cited-by-" + the citing ID_BN + "-" + two digits
// (the line's number). The view takes the sentence back with
// citedBySentence to jump to it.
std::string citedByAnchorId(const std::string& idBN, int line);
std::optional<std::string> citedBySentence(std::string_view anchorId);

}  // namespace tavrel::render
