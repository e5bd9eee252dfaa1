// The navigator's lists without a window: the law selector entries
// (LawSelector), the row bookkeeping shared by every list view of the navigator
// (PageListView), the article list of one law (ArticleListView) and the rule that fits
// a cell text into its column.
#pragma once

#include <array>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "database/connection.h"
#include "database/message_sink.h"

namespace tavrel::nav {

// ---- Law selector (LawSelector) ----

struct LawEntry {
    std::string text;  // the common name, indented by "　　" unless ID_HN ends in "A"
    std::string idHN;
};

class LawSelectorModel {
public:
    // Fills the entries from the displayed laws. True when the query ran;
    // on a database error the indented report "コンボボックスの初期化" /
    // "LawSelector::fill()" is shown and the entries read before it stay.
    bool fill(db::Connection& connection, MessageSink& sink);
    void clear();

    const std::vector<LawEntry>& entries() const { return entries_; }
    // Law identifier of an entry index, empty when out of range.
    std::string idAt(int index) const;
    // List index of a law identifier, or -1.
    int findIndex(const std::string& idHN) const;

private:
    std::vector<LawEntry> entries_;
    std::map<int, std::string> lawByIndex_;
    std::map<std::string, int> indexByLaw_;
};

// ---- Rows of a navigator list (PageListView) ----

// Column set bits, in display order.
enum ListColumn : unsigned {
    ColumnLaw = 1,       // "法名"
    ColumnArticle = 2,   // "条"
    ColumnTitle = 4,     // "タイトル"
    ColumnUntitled = 8,  // empty header
};

// Header texts (CP932) of the columns of a column set, in display order.
std::vector<std::string> columnHeaders(unsigned columnSet);
// Index of a column bit within the existing columns of a set, or -1.
int columnIndex(unsigned columnSet, ListColumn column);

// The list images: one strip of 32 pictures, 24 x 16 pixels, white
// transparent; image 0 is overlay 1 and image 3 overlay 4. The article list
// uses the images below; 0-6 and 19 are not used by it.
enum ListImage : int {
    ListImageNone = -1,
    ListImagePage = 7,        // article, 附則, 明治/大正 notifications, "不明"
    ListImageShowa = 8,       // 昭和 notification (red "S")
    ListImageHeisei = 9,      // 平成 notification, years outside 12-20
    // 平成 12 ... 20: 10, 12, 14, 20, 22, 24, 26, 28, 30; the first page of a
    // split notification of that year: the next image (11, 13, ... 31).
    ListImageSplitLater = 16, // later page of a split article (dotted branch)
    ListImageSplitLast = 17,  // last page of a split article (dotted corner)
    ListImageTable = 18,      // appended table 別表
    ListImageCount = 32,
};
// Image of a 平成 notification of the given year (9 outside 12-20).
int heiseiListImage(int year);

// One row: identifier, texts of the 法名, 条, タイトル and untitled columns
// (texts of columns that do not exist are ignored), image (-1 none), overlay
// (0 none).
struct ListRow {
    std::string id;
    std::array<std::string, 4> columns;
    int image = ListImageNone;
    int overlay = 0;
};

class ListRows {
public:
    void clearRows();
    // Appends a row; enters (row, identifier) in both maps; returns the row.
    int addRow(const ListRow& row);
    // Row of an identifier, or -1.
    int findRow(const std::string& id) const;
    // Identifier of a row, empty when out of range.
    std::string idAt(int row) const;

    const std::vector<ListRow>& rows() const { return rows_; }
    int size() const { return static_cast<int>(rows_.size()); }

private:
    std::vector<ListRow> rows_;
    std::map<int, std::string> idByRow_;
    std::map<std::string, int> rowById_;
};

// ---- Article list of one law (ArticleListView) ----

class ArticleListModel : public ListRows {
public:
    // The columns of the article list: "条" and "タイトル", with images.
    static constexpr unsigned kColumns = ColumnArticle | ColumnTitle;

    // Fills the rows with the displayed pages of law idHN. The first column's
    // header becomes "告示番号" for a law ending in "K", else "条". True on
    // success; on a database error the indented report "リストの生成" /
    // "ArticleListView::fill()" is shown and the rows added so far stay. A text
    // that is not a law identifier gives an empty list and false.
    bool fill(db::Connection& connection, MessageSink& sink, const std::string& idHN);

    const std::string& firstHeader() const { return firstHeader_; }

private:
    std::string firstHeader_;
};

// ---- Fitting a cell text (row drawing) ----

// Width in pixels of a CP932 text, as the list's font draws it.
using TextWidth = std::function<int(std::string_view cp932)>;

// The text a cell shows in `available` pixels: the text itself when its
// width plus `margin` fits; otherwise the longest run of leading whole
// characters that fits together with "...", followed by "..."; empty when not
// even one character fits with "...". Never splits a double-byte character.
std::string fitCellText(const std::string& cp932, int available, const TextWidth& width, int margin = 4);

}  // namespace tavrel::nav
