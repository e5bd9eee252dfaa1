// The designation of a page as the navigator shows it in the contents tree
// and the article list: the article number without its leading "第", "附則",
// the zero-padded notification number, the appended-table label, or "不明".
#pragma once

#include <string>

namespace tavrel::nav {

enum class DesignationKind {
    Article,        // ordinary article
    Supplementary,  // 附則 (kind "F")
    Notification,   // 告示 (kind "K")
    AppendedTable,  // 別表 (kind "T")
    Unknown,        // "不明": any other kind, or a number that cannot be formed
};

struct Designation {
    std::string text;  // CP932
    DesignationKind kind = DesignationKind::Unknown;
    // Notifications only: era 1 明治, 2 大正, 3 昭和, 4 平成 (0 for any other
    // letter) and year within the era.
    int era = 0;
    int year = 0;
};

// The designation of idFN. Unknown carries the text "不明". An appended table
// whose number is negative reads "不明" but keeps its kind (it keeps the
// table picture). A 附則 page reads as its caption (numbering's
// supplementaryName), "附則" when no caption is given.
Designation pageDesignation(const std::string& idFN, const std::string& caption = {});

// True when text is "不明".
bool isUnknownDesignation(const std::string& text);

// The number in the last two characters of idFN (the piece of a split
// article), 0 when idFN is shorter.
int pieceNumber(const std::string& idFN);

}  // namespace tavrel::nav
