// The main frame: fixed caption, toolbar of eleven text buttons, menus, the
// status bar with the page-caption pane, the splitter with the navigator on
// the left and the law text view on the right, keyboard rules, the fixed
// pages, help, support site, always on top, and its own placement.
#pragma once

#include "document/navigation.h"
#include "document/options.h"
#include "egov/collection_update.h"
#include "egov_online/operations.h"
#include "textview/show_page.h"

#include <QLabel>
#include <QMainWindow>
#include <QPointer>

#include <memory>
#include <optional>
#include <string>
#include <vector>

class QMenu;
class QSplitter;

namespace tavrel::gui {

class LawTextView;
class CitationIndexLoader;
class CommandRegistry;
class NavigatorPane;
class WebEnvironment;

// Fixed pages opened by frame commands.
namespace page {
inline constexpr const char* Cover = "00A-Z0010000-00";
inline constexpr const char* Legend = "00A-Z0020000-00";
inline constexpr const char* LawHistory = "00A-Z0030000-00";
inline constexpr const char* NotificationHistory = "00A-Z0040000-00";
inline constexpr const char* Hidden = "00A-Z0000000-00";
inline constexpr const char* DesignData = "00A-Z0090000-00";
}  // namespace page

// Frame command identifiers (the document's are in cmd::).
namespace frame_cmd {
inline constexpr int Help = 32787;
inline constexpr int SupportSite = 32788;
inline constexpr int Legend = 32789;
inline constexpr int Cover = 32791;
inline constexpr int Hidden = 32792;
inline constexpr int LawHistory = 32805;
inline constexpr int NotificationHistory = 32806;
inline constexpr int DesignData = 32807;
inline constexpr int AlwaysOnTop = 32808;
inline constexpr int NextHit = 32820;           // F3: the next marked word
inline constexpr int PreviousHit = 32821;       // Shift+F3: the previous marked word
inline constexpr int CopyWithCitation = 32822;  // the selection with its citation
inline constexpr int ImportLaws = 32830;        // 法令XMLの取り込み…
inline constexpr int RestoreCollection = 32831; // 標準の収録データに戻す
inline constexpr int AddFromEgov = 32832;       // 法令を追加（e-Gov）…
inline constexpr int CheckLawUpdates = 32833;   // 法令の更新を確認
inline constexpr int About = 57664;
inline constexpr int Exit = 57665;
}  // namespace frame_cmd

inline constexpr int kDefaultWidth = 800, kDefaultHeight = 600;
inline constexpr int kMinimumWidth = 600, kMinimumHeight = 450;
inline constexpr int kNavigatorWidth = 300;
inline constexpr int kSplitPaneHeight = 200;

// Window placement <-> the stored record (WindowPos).
WindowPlacement placementRecord(const QRect& normal, bool maximised);
QRect normalRect(const WindowPlacement& wp);
inline bool placementMaximised(const WindowPlacement& wp) { return wp[2] == 3; }

class MainWindow : public QMainWindow, public StatusBarPartner {
    Q_OBJECT
  public:
    MainWindow(Document& doc, DocumentNavigation& navigation, WebEnvironment& web, const QString& helpFile,
               QWidget* parent = nullptr);
    ~MainWindow() override;

    static QString caption();

    // Places the window from WindowPos, or centres the default size; true
    // when the stored placement asks for a maximised window.
    bool restorePlacement();
    void savePlacement();

    LawTextView* textView() const { return view_; }
    NavigatorPane* navigator() const { return navigator_; }
    CommandRegistry& commands() const { return *commands_; }
    QSplitter* mainSplitter() const { return splitter_; }
    QSplitter* secondSplitter() const { return secondSplitter_; }
    bool isSplit() const { return split_; }
    QString pageCaptionText() const { return caption_->text(); }
    bool alwaysOnTop() const { return onTop_; }

    // Recomputes the enabled and checked state of every command.
    void updateCommands();
    // Imports e-Gov law XML files into the user's collection (started as a
    // copy of the bundled one) with a progress dialog, the work on a thread
    // of its own; on success the collection is reloaded and the first page
    // of the last law imported shown. A failure is reported through the
    // document's message sink and changes nothing; so does a cancel. True
    // when the collection was replaced.
    // origins: per file, what e-Gov says of a file it served (law id and
    // revision id), recorded instead of what the file gives.
    bool importLawFiles(const QStringList& files, const std::vector<egov::FileOrigin>& origins = {});
    // Downloads the current text of the laws from e-Gov (progress dialog,
    // cancel) into a temporary folder and imports it as importLawFiles
    // does. A failure is reported and changes nothing. True when the
    // collection was replaced.
    bool downloadAndImport(const QList<egov_online::LawToDownload>& laws);
    // The client settings of the EGov section (base address, timeout).
    egov_online::ClientSettings egovClientSettings() const;
    // Removes the user's collection (after asking) and goes back to the
    // bundled one. True when it was removed.
    bool restoreBundledCollection();
    // Tells the user once which bookmarks and markers are not shown because
    // the open collection lacks their pages (navigator/hidden_entries.h).
    void reportHiddenEntries();

    // Shows the splash window over the frame (for 750 ms).
    void showSplash(int milliseconds);
    // Restores and raises the window (a second start of the program).
    void bringToFront();

    // ---- StatusBarPartner ----
    void setPageCaption(const std::string& textCp932) override;

  signals:
    // The window is closing: the document closes now.
    void closing();

  protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

  private:
    void createCommands();
    void createMenus();
    void createToolBar();
    void createStatusBar();
    void createPanes();
    // A new law text view, attached to the document as its text view.
    LawTextView* createTextView();
    // Divides the right side into an upper text view and an empty lower
    // pane, and back.
    void onSplit();
    void restoreSplitter();
    void saveSplitter();
    void onCommand(int id);
    void showFixedPage(const char* idFN);
    void showContextMenu(const QPoint& globalPos);
    void openHelp();
    void openSupportSite();
    void toggleAlwaysOnTop();
    void showAbout();
    void copyWithCitation();
    void chooseLawFiles();
    // 「法令を追加（e-Gov）…」 and 「法令の更新を確認」: the dialog, then the download.
    void addLawsFromEgov();
    void checkLawUpdates();
    // Once a week at start-up when the setting asks for it: the imported
    // laws are checked in the background; the status bar tells only of
    // revised laws.
    void startWeeklyLawCheck();
    // Reopens the document's collection and makes everything shown from it
    // again; then shows the first page of the law showLaw, else the page
    // shown before when it is still there, else the cover.
    void reloadCollection(const std::string& showLaw);
    // The window's own keys (history arrows, tab switching, search, quick
    // copy, the context-menu key); false leaves the key to its receiver.
    bool handleKey(QWidget* receiver, QKeyEvent* e);
    // The page's context menu from the keyboard.
    void openContextMenuFromKeyboard();
    bool pageHasFocus() const;
    // A collection without the 被引用 table: the index is built in the
    // background once the first page has loaded, then used.
    void startCitationIndex();
    void citationIndexReady(std::shared_ptr<const citations::CitationIndex> index);

    Document& doc_;
    DocumentNavigation& navigation_;
    WebEnvironment& web_;
    QString helpFile_;
    CommandRegistry* commands_;
    QSplitter* splitter_ = nullptr;
    QSplitter* secondSplitter_ = nullptr;
    bool split_ = false;
    NavigatorPane* navigator_ = nullptr;
    LawTextView* view_ = nullptr;
    QLabel* caption_ = nullptr;
    QPointer<QWidget> splash_;
    QMenu* contextMenu_ = nullptr;
    textview::ShowPageState showState_;
    bool onTop_ = false;
    bool placementStored_ = false;
    bool closed_ = false;
    bool weeklyCheckStarted_ = false;
    CitationIndexLoader* citationLoader_ = nullptr;
};

}  // namespace tavrel::gui
