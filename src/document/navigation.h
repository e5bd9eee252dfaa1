// The document's page commands: back/forward through the page history,
// previous/next article in law order, synchronising the navigator with the
// shown article, the three display toggles, print, print preview, the
// in-page search and the options dialog; the enable/check state of each
// command; the page caption of the status bar.
//
// The document draws nothing itself. It works through partners that the
// widgets implement: the law text view (PageViewPartner), the navigator pane
// (NavigatorPartner) and the status bar (StatusBarPartner). A command does
// nothing while the text view (and, for history and previous/next, the
// navigator) is not attached.
//
// The history, the going-back/going-forward flags and the last in-page search
// text live in DocumentNavigation, which holds the one Document for its
// tables (law names, article table, split-page table, article sequence) and
// toggles. The reading positions are kept in the two integer slots of the
// document's article sequence.
//
// Pages absent from the article sequence: a page whose kind is not special
// but which the sequence does not hold has neither a previous nor a next
// article. Both commands are disabled on such a page and do nothing when
// invoked anyway (the same rule for both directions).
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "document/document.h"
#include "document/options.h"

namespace tavrel {

// Command identifiers shared by menus, toolbar, accelerators and pop-ups.
namespace cmd {
inline constexpr int DynamicSplit = 32771;
inline constexpr int Search = 32772;        // "検索": in-page search dialog
inline constexpr int Test = 32774;          // "テスト": accepted, does nothing
inline constexpr int Back = 32775;          // "戻る"
inline constexpr int Forward = 32776;       // "進む"
inline constexpr int Previous = 32777;      // "前へ"
inline constexpr int Next = 32778;          // "次へ"
inline constexpr int Synchro = 32779;       // "同期"
inline constexpr int Refer = 32780;         // "参照"
inline constexpr int Brachet = 32781;       // "括弧"
inline constexpr int printPage = 32782;         // "印刷"
inline constexpr int PinPoint = 32783;      // "狙撃"
inline constexpr int ClearMarks = 32786;
inline constexpr int StatusCaption = 32793; // status-bar pane of the page caption
inline constexpr int Options = 32794;       // "オプション設定(&O)"
inline constexpr int Block = 32811;         // "遮断": accepted, does nothing
inline constexpr int PrintPreview = 32813;  // "印刷プレビュー(&V)"
inline constexpr int CitedBy = 32816;       // "被引用": the block of citing provisions under a page
inline constexpr int QuickCopy = 57634;
}  // namespace cmd

// One page left by the user: its identifier and the horizontal and vertical
// scroll offsets it had (the reading position).
struct HistoryEntry {
    std::string idFN;
    int x = 0;
    int y = 0;
    bool operator==(const HistoryEntry&) const = default;
};

// The law text view as the page commands need it. currentPageId() (from
// TextViewPartner) is the identifier of the page shown, empty before the
// first page.
class PageViewPartner : public TextViewPartner {
public:
    // Scroll position to apply after the next load.
    virtual void setRestorePosition(int x, int y) = 0;
    // Shows a page; false when nothing was shown. While it runs the view
    // reports the page it left through DocumentNavigation::recordVisit.
    virtual bool showPage(const std::string& idFN) = 0;
    // Colours the pinpoint anchors of the shown page.
    virtual void colorAnchors() = 0;
    // Sets reshow: the next showPage redisplays without the same-page
    // check and without a history record (the view clears it).
    virtual void setReshow() = 0;
    virtual void clearPageCache() = 0;
    // preview 0: print, 1: print preview.
    virtual void printPage(int preview) = 0;
    // The word text currently marked for emphasis (marks), and the marking
    // operation run on it before the in-page search opens.
    virtual std::string currentMarks() const = 0;
    virtual int markWords(const std::string& words, int flag) = 0;
    // Runs the in-page search dialog with the text to start from; returns the
    // dialog's text when it closes.
    virtual std::string runSearchDialog(const std::string& initialText) = 0;
};

// The navigator pane as the page commands need it.
class NavigatorPartner {
public:
    virtual ~NavigatorPartner() = default;
    // Brings the current tab's control to the article (select it).
    virtual void syncToArticle(const std::string& idFN) = 0;
    // Repaint after a history or previous/next move.
    virtual void refreshAfterMove() = 0;
    // 0 目次, 1 リスト, 2 全文検索, 3 しおり.
    virtual int currentTab() const = 0;
};

// The status bar pane 32793: measures the text, sizes the pane to it, sets
// the text and repaints.
class StatusBarPartner {
public:
    virtual ~StatusBarPartner() = default;
    virtual void setPageCaption(const std::string& textCp932) = 0;
};

// Enable and check state of one command.
struct CommandState {
    bool enabled = false;
    bool checked = false;
    bool operator==(const CommandState&) const = default;
};

// Caption and prompt (status text) of a document command, CP932. The prompt
// of the in-page search is empty.
struct CommandInfo {
    int id = 0;
    std::string caption;
    std::string prompt;
};
// The document's commands: 32775-32783, 32813, 32772, 32794, 32816 in that order.
const std::vector<CommandInfo>& documentCommands();
// nullptr for an identifier that is not a document command.
const CommandInfo* findDocumentCommand(int id);

// The status-bar caption of a page (pure; needs the document's tables only):
// ten ideographic spaces when nothing applies; supplementary provisions: law
// name, " " and the page's name (numbering::supplementaryName); notification: law name, " ", the number text, then " " and
// the caption when the article table has one, then " " and "(P.%02d/%02d)"
// when the page is one of a split notification; appended table: its label;
// article: law name, " ", the article label.
std::string pageCaptionText(const Document& doc, const std::string& idFN);

// The back list keeps at most this many entries (the oldest is dropped).
inline constexpr size_t kMaxBackEntries = 50;

class DocumentNavigation {
public:
    explicit DocumentNavigation(Document& doc);

    // Partners; any may be null (not created yet / destroyed).
    void setTextView(PageViewPartner* view) { view_ = view; }
    void setNavigator(NavigatorPartner* navigator) { navigator_ = navigator; }
    void setStatusBar(StatusBarPartner* statusBar) { statusBar_ = statusBar; }

    // ---- Operations offered to the text view ----

    // The page e was left for a new page (not for a redisplay). Identifiers
    // that are not 15 characters long are ignored.
    void recordVisit(const HistoryEntry& e);
    // The collection was reloaded: history entries of pages the document
    // no longer has are dropped.
    void dropMissingPages();
    // Puts pageCaptionText(id) into the status bar.
    void updatePageCaption(const std::string& idFN);
    // Synchronise toggle on and the shown page is not a special page.
    bool synchroAllowed() const;

    // ---- Availability (pure queries, used by menus, toolbar, gestures) ----
    bool canBack() const;
    bool canForward() const;
    bool canPrevious() const;
    bool canNext() const;
    // Enable/check state of any command; commands the document does not
    // handle report {false, false}. The always-enabled ones (in-page search,
    // options, and the accepted do-nothing commands 32811/32774) report
    // enabled.
    CommandState commandState(int id) const;

    // ---- Commands ----
    // Dispatches a command id; false when the id is not the document's.
    bool onCommand(int id);
    // Back, forward, previous, next (one handler, by command id). Returns
    // true when a page was shown.
    bool move(int id);
    void toggleSynchro();
    // Refer, Brachet, PinPoint, CitedBy: flip and redisplay the shown page
    // without a history entry.
    void toggleDisplay(int id);
    void print(int preview);
    void inPageSearch();
    // Options dialog: the runner gets a copy of the option block to edit and
    // the default block; its block is copied back, then the page redisplayed.
    using OptionsDialogRunner = std::function<void(OptionBlock& block, const OptionBlock& defaults)>;
    void runOptions(const OptionsDialogRunner& runner);
    // The dialog that onCommand(cmd::Options) runs (the main frame sets it).
    void setOptionsDialog(OptionsDialogRunner runner) { optionsDialog_ = std::move(runner); }
    // Redisplays the shown page (cache emptied, no history entry).
    void redisplay();

    // ---- State ----
    const std::deque<HistoryEntry>& backList() const { return back_; }
    const std::deque<HistoryEntry>& forwardList() const { return forward_; }
    bool goingBack() const { return goingBack_; }
    bool goingForward() const { return goingForward_; }
    const std::string& lastSearchText() const { return lastSearchText_; }
    // Reading position last recorded for an article (nullopt when the article
    // sequence does not hold it).
    std::optional<HistoryEntry> readingPosition(const std::string& idFN) const;

    // Index of idFN in the document's article sequence, or nullopt.
    std::optional<size_t> sequenceIndex(const std::string& idFN) const;

    Document& document() { return doc_; }

private:
    std::string shownId() const;
    std::optional<HistoryEntry> previousTarget(const std::string& id) const;
    std::optional<HistoryEntry> nextTarget(const std::string& id) const;

    Document& doc_;
    PageViewPartner* view_ = nullptr;
    NavigatorPartner* navigator_ = nullptr;
    StatusBarPartner* statusBar_ = nullptr;

    std::deque<HistoryEntry> back_;
    std::deque<HistoryEntry> forward_;
    bool goingBack_ = false;
    bool goingForward_ = false;
    std::string lastSearchText_;
    OptionsDialogRunner optionsDialog_;
};

}  // namespace tavrel
