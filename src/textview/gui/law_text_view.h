// The law text view: the right-hand pane that shows one law page at a time
// in the web view. The decisions live in textview::PageDisplay; this widget
// builds pages through the document, puts them into the browser, turns link
// clicks into page requests and hovered links into status texts.
#pragma once

#include <QPointer>
#include <QString>
#include <QWebEngineView>

#include <memory>
#include <string>

#include "document/navigation.h"
#include "render/page_builder.h"
#include "textview/gesture.h"
#include "textview/hit_steps.h"
#include "textview/show_page.h"
#include "textview/status_text.h"

class QDialog;

namespace tavrel::gui {

class LawWebPage;
class PinPointView;
class WebEnvironment;

class LawTextView : public QWebEngineView, public PageViewPartner, private textview::PageSurface {
    Q_OBJECT
public:
    LawTextView(Document& doc, DocumentNavigation& navigation, WebEnvironment& web, textview::ShowPageState& state,
             QWidget* parent = nullptr);
    ~LawTextView() override;

    // Start-up: picks the start page (last page or cover) and shows it.
    void initialUpdate();
    // The navigator pane (its current tab decides the search-word marking).
    void setNavigator(NavigatorPartner* navigator) { navigator_ = navigator; }
    // Keyboard focus into the page.
    void focusPage();

    // Set by the navigator's full-text search: mark its words once the page
    // has loaded (while the search tab is shown).
    bool highlightAfterLoad = false;
    static constexpr int kSearchTab = 2;

    // ---- PageViewPartner ----
    std::string currentPageId() const override { return display_.currentPageId(); }
    void setRestorePosition(int x, int y) override;
    bool showPage(const std::string& idFN) override;
    void colorAnchors() override;
    void setReshow() override { display_.reshow = true; }
    void clearPageCache() override { display_.clearPageCache(); }
    void printPage(int preview) override;
    std::string currentMarks() const override { return display_.marks; }
    int markWords(const std::string& words, int flag) override;
    std::string runSearchDialog(const std::string& initialText) override;

    // F3 / Shift+F3: brings the next (previous) marked word into view and
    // gives "n/N件" (also put into the status bar), or "" when the page has
    // no marks.
    QString stepHit(textview::HitDirection direction);
    // The selection's first and last sentence identifiers ("start;end", each
    // empty when the selection lies before the first sentence).
    QString selectedSentenceIds();

    // A click on a page link (also what the browser's navigation check
    // reports): shows the target as a full-page request.
    void openPageLink(const QString& anchorId, const QString& href);

    const textview::PageDisplay& display() const { return display_; }
    // The anchor the user clicked last.
    const QString& clickedAnchorId() const { return clickedAnchorId_; }
    // Number of page loads finished (for waiting on a shown page).
    int loadsFinished() const { return loadsFinished_; }
    const textview::GestureTracker& gesture() const { return gesture_; }
    // The pinpoint markers, the anchor colouring and the selective jump list.
    PinPointView* pinPoint() const { return pin_; }
    // Context menu at a page's client position (x, y); nothing while a
    // gesture arrow is shown or over a link that is not a page link.
    void showContextMenu(int clientX, int clientY, bool hasAnchor, const QString& href);

signals:
    void pageShown(const QString& idFN);
    // The status text for a hovered link (empty: the link was left).
    void statusTextChanged(const QString& text);
    void focusNavigatorRequested();
    void syncRequested(const QString& idFN);
    // Command 32773 for the navigator: mark the search words in the page.
    void highlightSearchWordsRequested();
    // The view's context menu at a screen position.
    void contextMenuAt(const QPoint& globalPos);
    // A gesture asks for a command (back, forward, previous, next).
    void commandRequested(int id);

private:
    // ---- textview::PageSurface ----
    std::pair<int, int> scrollOffsets() const override;
    bool putPage(const std::string& idFN, const std::string& html) override;
    void showWaitBox() override;
    void hideWaitBox() override;
    void disconnectPageEvents() override {}
    void connectPageEvents() override {}
    void focusNavigator() override { emit focusNavigatorRequested(); }

    class DocumentPages;
    class HistoryHandOver;

    void onLoadFinished(bool ok);
    void onLinkHovered(const QString& url);
    void openExternal(const QUrl& url);
    void onMouseDown(int button, int x, int y, bool onImageOrAnchor);
    void onMouseMove(int x, int y);
    void onMouseUp(int button, int x, int y, int clientX, int clientY, bool hasAnchor, const QString& href);
    textview::MoveAvailability availability() const;
    void removeArrow();
    void runScript(const QString& script);

    Document& doc_;
    DocumentNavigation& navigation_;
    WebEnvironment& web_;
    NavigatorPartner* navigator_ = nullptr;
    LawWebPage* page_;
    std::unique_ptr<DocumentPages> pages_;
    std::unique_ptr<HistoryHandOver> history_;
    textview::PageDisplay display_;
    textview::DocumentPageDescriptions descriptions_;
    textview::SiteAddresses sites_;
    QPointer<QDialog> waitBox_;
    QString clickedAnchorId_;
    int restoreX_ = 0;
    int restoreY_ = 0;
    int loadsFinished_ = 0;
    textview::GestureTracker gesture_;
    textview::HitCursor hits_;
    PinPointView* pin_ = nullptr;
};

}  // namespace tavrel::gui
