// The bookmarks of the navigator (しおり) without a window: the bookmark
// list BookmarkStore with its file tavrel08.bmk, its rows (法名, 条, タイトル and an
// untitled column) and the add and delete buttons of the pane.
//
// The file is plain CP932 text with CR LF line ends:
//   VERSION 8.08
//   <identifier>, book_mark_root      (one line per bookmark, ascending)
//   <empty line>
// Reading takes any line "identifier, anything": blanks and full-width
// blanks before the first comma are ignored; other lines are dropped. A page
// identifier is kept whether or not the open collection has the page.
#pragma once

#include "document/document.h"
#include "navigator/list_rows.h"

#include <string>
#include <vector>

namespace tavrel::nav {

class BookmarkStore : public ListRows {
  public:
    // Columns "法名", "条", "タイトル" and the untitled one, no images.
    static constexpr unsigned kColumns = ColumnLaw | ColumnArticle | ColumnTitle | ColumnUntitled;
    static constexpr const char* kFileName = "tavrel08.bmk";

    explicit BookmarkStore(Document& doc) : doc_(doc) {}
    // Writes the file once more when a change could not be written when it
    // was made.
    ~BookmarkStore();
    BookmarkStore(const BookmarkStore&) = delete;
    BookmarkStore& operator=(const BookmarkStore&) = delete;

    // The file in the user folder (where the program writes).
    std::string filePath() const;

    // Reads the file once: after one success later calls do nothing and
    // return true. False when the file cannot be opened or the document has
    // no open collection to check the identifiers against.
    bool load();
    // Writes the file (replaced as a whole, atomically). False when it cannot
    // be written, or while the file exists but could not be read (so that a
    // file the program could not read is never overwritten with less).
    bool save();
    // Appends a 15-character identifier not yet present; true when added.
    bool add(const std::string& id);
    // Removes a 15-character identifier; true when it was present.
    bool remove(const std::string& id);
    // Sorts the bookmarks and refills the rows; pages without a designation,
    // and pages the open collection does not have, are kept but not shown.
    void fill();
    // The bookmarks kept but not shown because the open collection lacks
    // their pages, ascending. They stay in the file and show again when a
    // collection with their pages is opened.
    std::vector<std::string> hiddenBookmarks() const;

    // Button 追加 with the shown page: adds it, writes the file, refills the
    // rows. The row to select (the added page's row), or -1 when the page is
    // not one that can be bookmarked or has no row.
    int addPage(const std::string& idFN);
    // Button 削除 with the selected row: removes its bookmark, writes the
    // file, refills the rows. The row to select afterwards (the row that
    // moved into its place, or the new last row), or -1.
    int deleteRow(int row);

    const std::vector<std::string>& bookmarks() const { return bookmarks_; }
    bool loaded() const { return loaded_; }
    // True while a change has not reached the file.
    bool unsaved() const { return unsaved_; }

  private:
    // The bytes of the file for the current bookmarks.
    std::string fileText();
    bool canBeWritten() const;
    bool saveChange();

    Document& doc_;
    std::vector<std::string> bookmarks_;
    bool loaded_ = false;
    bool written_ = false;
    bool unsaved_ = false;
};

// The identifiers of a bookmark file's text, in file order: for every line
// with a comma, the text before the first comma without " " and "　". Lines
// without a comma give nothing; the caller checks the identifiers.
std::vector<std::string> parseBookmarkText(const std::string& bytes);

}  // namespace tavrel::nav
