// The in-page search dialog ("このページ内の検索") without its window: the
// text being edited, the last text searched with success, the state of the
// search button and the result line, and where the dialog opens (its centre
// as fractions of the main window, SchDlgA / SchDlgB, kept inside the work
// area).
#pragma once

#include <functional>
#include <string>

namespace tavrel {
class SettingsStore;
}

namespace tavrel::textview {

struct ScreenRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const ScreenRect&) const = default;
};

// The stored fraction of SchDlgA / SchDlgB: the 8-byte double when the value
// is exactly 8 bytes long (and a finite number), else 0.5.
double readSearchDialogFraction(const SettingsStore& store, const char* key);
void writeSearchDialogFraction(SettingsStore& store, const char* key, double value);

// Top-left corner of a dialog of the given size whose centre sits at the
// fractions (fx, fy) of the main window, moved inside a work area of
// workWidth x workHeight starting at (0, 0).
std::pair<int, int> searchDialogPosition(const ScreenRect& mainWindow, int dialogWidth, int dialogHeight, double fx,
                                         double fy, int workWidth, int workHeight);

// Reads the fractions and gives the corner (opening the dialog).
std::pair<int, int> openingSearchDialogPosition(const SettingsStore& store, const ScreenRect& mainWindow,
                                                int dialogWidth, int dialogHeight, int workWidth, int workHeight);
// Stores the dialog's centre as fractions of the main window (closing).
void storeSearchDialogPosition(SettingsStore& store, const ScreenRect& mainWindow, const ScreenRect& dialog);

// The result line for a count of marked words (CP932).
std::string searchResultMessage(int count);

class PageSearchDialog {
public:
    // The view's marking tools: the word text currently marked, and
    // the marker of words (flag 0 marks, 1 clears).
    using MarksReader = std::function<std::string()>;
    using WordMarker = std::function<int(const std::string& words, int flag)>;

    PageSearchDialog(std::string lastSearchText, MarksReader getMarks, WordMarker markWords);

    const std::string& text() const { return text_; }
    bool searchEnabled() const { return !text_.empty(); }
    // The result line; hidden while empty.
    const std::string& resultMessage() const { return message_; }
    bool resultShown() const { return !message_.empty(); }
    // What the document keeps as its last search text when the dialog closes:
    // the text last searched with success, or the text the dialog opened
    // with when no search succeeded (closing without a search keeps it).
    const std::string& lastSearched() const { return lastSearched_; }

    void textChanged(const std::string& text) { text_ = text; }
    // "検索(&F)": clears the view's marks, marks the text and sets the line.
    // Returns the count (nothing is searched for an empty text: 0).
    int search();

private:
    std::string text_;
    std::string lastSearched_;
    std::string message_;
    MarksReader getMarks_;
    WordMarker markWords_;
};

}  // namespace tavrel::textview
