// The selective jump list (JumpList) without its window: the items the
// list shows for a right-clicked link, built from every sentence of the
// target article. The first item "頁トップ" stands for the top of the page;
// each sentence with a label follows, labelled in long form and indented by
// ideographic spaces after its element level. The item of the link's
// current marker (or "頁トップ" when it has none) is the current choice.
#pragma once

#include "document/numbering.h"

#include <optional>
#include <string>
#include <vector>

namespace tavrel {
class Document;
}

namespace tavrel::textview {

// One row of T_文 as the list reads it.
struct PinPointRow {
    std::string idBN;
    std::string formatCode;  // 書式コード
    int tagOff = 0;          // 札抜, 0 when null
};

struct PinPointItem {
    std::string label;  // CP932; indentation included
    std::string data;   // the page (頁トップ) or the sentence's ID_BN
    bool current = false;
    bool operator==(const PinPointItem&) const = default;
};

// The items for the rows of an article, supplementary provisions or
// notification (kind), with the link's current marker (may be empty).
// nullopt when a row fails the element analysis of its kind, or the kind has
// no list. supplement gives the 補足 text of a page for the long labels.
std::optional<std::vector<PinPointItem>> pinPointItems(numbering::PageKind kind, const std::string& target,
                                                       const std::vector<PinPointRow>& rows, const std::string& marker,
                                                       const numbering::SupplementLookup& supplement);

// What fill decided.
struct PinPointList {
    // 0: error (reported); 1: handled (list to show, a page shown directly,
    // or nothing); 2: nothing to show (the ordinary context menu opens).
    int result = 2;
    std::vector<PinPointItem> items;  // filled when the list is to be shown
    int currentIndex = -1;            // the item to make visible, -1 none
    // Set when only "頁トップ" came out of rows that were read: the page of
    // the last row, to be shown (and synchronised) instead of the list.
    std::string directPage;
    bool showList() const { return result == 1 && items.size() > 1; }
};

// JumpList::fill for the link anchorId and its target page: page kind,
// current marker, the sentence query over the target's 12-character prefix
// and the items. A database failure shows the error report ("選択ジャンプ用の
// ダイアログを表示", "JumpList::fill()") and gives result 0.
PinPointList buildPinPointList(Document& doc, const std::string& anchorId, const std::string& target);

// Where the list window goes and how large it is, in pixels: below the
// mouse (y + 10), one column as wide as the widest item text + 32, one line
// per item (item height + 1) plus 2, at most maxHeight high; the frame's
// borders on both sides, and a vertical scroll bar when maxHeight cuts the
// list.
struct PinPointListGeometry {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    int columnWidth = 0;
    bool scrollBar = false;
    bool operator==(const PinPointListGeometry&) const = default;
};
PinPointListGeometry pinPointListGeometry(int x, int y, int widestText, int itemHeight, int itemCount, int maxHeight,
                                          int borderWidth, int scrollBarWidth);

// The page an item leads to: the first 15 characters of its data.
std::string pinPointItemPage(const std::string& data);

}  // namespace tavrel::textview
