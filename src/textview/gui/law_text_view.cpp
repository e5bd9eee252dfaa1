#include "textview/gui/law_text_view.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QEventLoop>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>
#include <QWebEngineScript>

#include "document/options.h"
#include "text/sjis.h"
#include "textview/gui/law_web_page.h"
#include "textview/gui/page_bridge.h"
#include "textview/gui/page_scheme.h"
#include "textview/gui/page_script.h"
#include "textview/gui/page_search_window.h"
#include "textview/gui/pinpoint_view.h"
#include "qtsupport/qt_text.h"
#include "textview/gui/web_environment.h"
#include "textview/link_target.h"
#include "textview/citation.h"
#include "textview/marks.h"
#include "textview/start_page.h"

namespace tavrel::gui {

// The document's page builder behind the view's page source.
class LawTextView::DocumentPages : public textview::PageSource {
public:
    explicit DocumentPages(Document& doc) : doc_(doc), builder_(doc) {}
    bool buildPage(const std::string& idFN, bool fullPage, std::string& html) override {
        builder_.setFullPageRequest(fullPage);
        const bool ok = builder_.buildPage(idFN, html);
        builder_.setFullPageRequest(false);
        return ok;
    }
    bool isLargePage(const std::string& idFN) const override { return doc_.isLargePage(idFN); }

private:
    Document& doc_;
    render::PageBuilder builder_;
};

// The page left goes into the document's history; the new page's caption
// into the status bar.
class LawTextView::HistoryHandOver : public textview::HistorySink {
public:
    explicit HistoryHandOver(DocumentNavigation& navigation) : navigation_(navigation) {}
    void recordVisit(const HistoryEntry& left) override { navigation_.recordVisit(left); }
    void pageCaption(const std::string& idFN) override { navigation_.updatePageCaption(idFN); }

private:
    DocumentNavigation& navigation_;
};

LawTextView::LawTextView(Document& doc, DocumentNavigation& navigation, WebEnvironment& web,
                   textview::ShowPageState& state, QWidget* parent)
    : QWebEngineView(parent),
      doc_(doc),
      navigation_(navigation),
      web_(web),
      page_(new LawWebPage(web.profile(), this)),
      pages_(std::make_unique<DocumentPages>(doc)),
      history_(std::make_unique<HistoryHandOver>(navigation)),
      display_(*pages_, *this, *history_, state),
      descriptions_(doc),
      sites_(textview::siteAddresses(doc.supportAddresses())) {
    setObjectName(QStringLiteral("LawTextView"));
    setPage(page_);
    pin_ = new PinPointView(
        doc_, this, page_,
        [this](const std::string& id) {
            // Like a link: a large page comes in full, so that the picked
            // sentence is there to jump to.
            display_.fullPage = true;
            const bool shown = showPage(id);
            display_.fullPage = false;
            if (shown && navigation_.synchroAllowed()) emit syncRequested(toQString(id));
            return shown;
        },
        [this]() { return display_.curPageId; });
    setContextMenuPolicy(Qt::NoContextMenu);
    connect(page_, &LawWebPage::pageLinkRequested, this, [this](const QString& url) { openPageLink(QString(), url); });
    connect(page_, &LawWebPage::externalLinkRequested, this, &LawTextView::openExternal);
    connect(page_->bridge(), &PageBridge::pageLinkClicked, this, &LawTextView::openPageLink);
    connect(page_->bridge(), &PageBridge::anchorIdClicked, this, [this](const QString& id) {
        clickedAnchorId_ = id;
        pin_->pageClicked(toCp932(id));
    });
    connect(page_->bridge(), &PageBridge::contextAnchorAt, this,
            [this](const QString& id) { pin_->setContextAnchor(toCp932(id)); });
    connect(page_->bridge(), &PageBridge::mouseDownAt, this, &LawTextView::onMouseDown);
    connect(page_->bridge(), &PageBridge::mouseMovedTo, this, &LawTextView::onMouseMove);
    connect(page_->bridge(), &PageBridge::mouseUpAt, this, &LawTextView::onMouseUp);
    connect(page_, &QWebEnginePage::linkHovered, this, &LawTextView::onLinkHovered);
    connect(page_, &QWebEnginePage::loadFinished, this, &LawTextView::onLoadFinished);
}

LawTextView::~LawTextView() = default;

void LawTextView::initialUpdate() {
    const std::string start = textview::chooseStartPage(doc_.settings(), doc_.options());
    if (navigation_.synchroAllowed()) emit syncRequested(toQString(start));
    showPage(start);
    focusPage();
}

void LawTextView::focusPage() {
    setFocus();
    if (QWidget* surface = focusProxy()) surface->setFocus();
}

void LawTextView::setRestorePosition(int x, int y) {
    restoreX_ = x;
    restoreY_ = y;
}

bool LawTextView::showPage(const std::string& idFN) {
    const bool shown = display_.showPage(idFN);
    if (shown) emit pageShown(toQString(idFN));
    return shown;
}

void LawTextView::openPageLink(const QString& anchorId, const QString& href) {
    if (!anchorId.isEmpty()) clickedAnchorId_ = anchorId;
    const std::string link = textview::linkTarget(toCp932(href));
    display_.fullPage = true;
    // A marker of the link may lead to another split page of the article.
    const textview::PinPointTarget resolved = link.empty() ? textview::PinPointTarget{} : pin_->beforeLinkShown(link);
    const std::string target = resolved.target.empty() ? link : resolved.target;
    const bool shown = !target.empty() && showPage(target);
    pin_->afterLinkShown(shown, resolved);
    if (shown && navigation_.synchroAllowed()) emit syncRequested(toQString(target));
    display_.fullPage = false;
}

void LawTextView::printPage(int preview) {
    if (display_.curPageId.empty()) {
        if (preview)
            doc_.messages().show(SJ("プレビュー処理に関するメッセージ"), SJ("プレビューを行う前に法文を表示させて下さい。"),
                                 MsgButtons::Ok, MsgIcon::Information, false);
        else
            doc_.messages().show(SJ("印刷処理に関するメッセージ"), SJ("印刷を行う前に法文を表示させて下さい。"),
                                 MsgButtons::Ok, MsgIcon::Information, false);
        return;
    }
    // The browser prints no header or footer lines here, so there is no page
    // setup to change and restore.
    setFocus();
    runScript(QStringLiteral("window.getSelection().removeAllRanges();"));
    QPrinter printer(QPrinter::HighResolution);
    if (preview) {
        QPrintPreviewDialog dialog(&printer, window());
        connect(&dialog, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter* p) {
            QEventLoop loop;
            connect(this, &QWebEngineView::printFinished, &loop, &QEventLoop::quit);
            print(p);
            loop.exec();
        });
        dialog.exec();
        return;
    }
    QPrintDialog dialog(&printer, window());
    if (dialog.exec() != QDialog::Accepted) return;
    QEventLoop loop;
    connect(this, &QWebEngineView::printFinished, &loop, &QEventLoop::quit);
    print(&printer);
    loop.exec();
}

int LawTextView::markWords(const std::string& words, int flag) {
    hits_.reset();
    // The marking script's answer is needed at once (the count, and the
    // colours it replaced for taking the marks off again).
    return textview::markWords(words, flag != 0, doc_.options(), display_.marks, display_.savedColors,
                               [this](const std::string& script) {
                                   return runScriptAndWait(page_, QString::fromLatin1(script.data(), static_cast<qsizetype>(script.size())))
                                       .toStdString();
                               });
}

std::string LawTextView::runSearchDialog(const std::string& initialText) {
    PageSearchWindow dialog(
        doc_.settings(), window(), initialText, [this]() { return currentMarks(); },
        [this](const std::string& words, int flag) { return markWords(words, flag); },
        [this](textview::HitDirection direction) { return stepHit(direction); });
    dialog.exec();
    return dialog.lastSearched();
}

QString LawTextView::stepHit(textview::HitDirection direction) {
    const auto latin = [](const std::string& script) {
        return QString::fromLatin1(script.data(), static_cast<qsizetype>(script.size()));
    };
    // The page decides how many hits there are now (a reload takes them off).
    const int count = runScriptAndWait(page_, latin(textview::countHitsScript())).toInt();
    const auto index = hits_.step(count, direction);
    if (!index) return {};
    runScript(latin(textview::showHitScript(*index)));
    const QString message = toQString(textview::hitPositionText(*index, count));
    emit statusTextChanged(message);
    return message;
}

QString LawTextView::selectedSentenceIds() {
    return runScriptAndWait(page_, QString::fromLatin1(textview::selectionSentencesScript()));
}

std::pair<int, int> LawTextView::scrollOffsets() const {
    const QPointF p = page_->scrollPosition();
    return {static_cast<int>(p.x()), static_cast<int>(p.y())};
}

void LawTextView::colorAnchors() { pin_->colorAnchors(); }

bool LawTextView::putPage(const std::string& idFN, const std::string& html) {
    hits_.reset();
    clickedAnchorId_.clear();
    pin_->pageReplaced();
    const QUrl url = web_.pages()->publish(toQString(idFN), QByteArray(html.data(), static_cast<qsizetype>(html.size())));
    page_->load(url);
    return true;
}

void LawTextView::showWaitBox() {
    if (waitBox_) return;
    auto* box = new QDialog(window(), Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    box->setObjectName(QStringLiteral("waitBox"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowTitle(QStringLiteral("準備中です．．．"));
    auto* layout = new QVBoxLayout(box);
    auto* busy = new QProgressBar(box);
    busy->setRange(0, 0);
    busy->setTextVisible(false);
    layout->addWidget(busy);
    layout->addWidget(new QLabel(QStringLiteral("しばらくお待ち下さい。"), box));
    box->setModal(true);
    box->show();
    box->adjustSize();
    box->move(window()->geometry().center() - box->rect().center());
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    waitBox_ = box;
}

void LawTextView::hideWaitBox() {
    if (waitBox_) waitBox_->close();
}

void LawTextView::onLoadFinished(bool ok) {
    ++loadsFinished_;
    if (!ok) return;
    if (highlightAfterLoad && navigator_ && navigator_->currentTab() == kSearchTab) {
        // The full-text search marks its words in the page now.
        highlightAfterLoad = false;
        emit highlightSearchWordsRequested();
    } else if (restoreX_ != 0 || restoreY_ != 0) {
        page_->runJavaScript(QStringLiteral("window.scrollTo(%1, %2);").arg(restoreX_).arg(restoreY_),
                             QWebEngineScript::ApplicationWorld);
        restoreX_ = restoreY_ = 0;
    }
}

void LawTextView::onLinkHovered(const QString& url) {
    if (url.isEmpty()) {
        emit statusTextChanged(QString());
        return;
    }
    emit statusTextChanged(toQString(textview::statusTextFor(toCp932(url), sites_, descriptions_)));
}

void LawTextView::openExternal(const QUrl& url) {
    if (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https") ||
        url.scheme() == QLatin1String("mailto"))
        QDesktopServices::openUrl(url);
}

textview::MoveAvailability LawTextView::availability() const {
    return {navigation_.canForward(), navigation_.canBack(), navigation_.canNext(), navigation_.canPrevious()};
}

void LawTextView::runScript(const QString& script) { page_->runJavaScript(script, QWebEngineScript::ApplicationWorld); }

void LawTextView::removeArrow() {
    runScript(QStringLiteral("(function(){var e=document.getElementById('%1'); if (e) e.outerHTML='';})();")
                  .arg(QLatin1String(textview::kArrowId)));
}

void LawTextView::onMouseDown(int button, int x, int y, bool onImageOrAnchor) {
    if (gesture_.press(button, onImageOrAnchor, x, y)) runScript(QStringLiteral("document.body.style.cursor='pointer';"));
}

void LawTextView::onMouseMove(int x, int y) {
    const auto change = gesture_.move(x, y, availability());
    if (!change) return;
    const std::string src = doc_.imageFolder() + "system/" + textview::arrowImage(change->dir);
    const QString html = QString::fromStdString(textview::arrowHtml(src, change->left, change->top));
    const QString literal = QString::fromUtf8(QJsonDocument(QJsonArray{html}).toJson(QJsonDocument::Compact));
    runScript(QStringLiteral("(function(){var old=document.getElementById('%1'); if (old) old.outerHTML='';"
                             "var html=%2[0]; var at=document.getElementsByName('insert_point')[0]"
                             " || document.getElementById('insert_point');"
                             "if (at) at.insertAdjacentHTML('beforebegin', html);"
                             " else document.body.insertAdjacentHTML('beforeend', html);})();")
                  .arg(QLatin1String(textview::kArrowId), literal));
}

void LawTextView::onMouseUp(int button, int x, int y, int clientX, int clientY, bool hasAnchor, const QString& href) {
    if (button != 2) return;
    const bool hadArrow = gesture_.dir() != textview::GestureDir::None;
    const bool wasActive = gesture_.active();
    const auto command = gesture_.release(x, y, availability());
    if (wasActive) runScript(QStringLiteral("document.body.style.cursor='default';"));
    if (hadArrow) {
        if (command)
            emit commandRequested(*command);
        else
            removeArrow();
        return;
    }
    showContextMenu(clientX, clientY, hasAnchor, href);
}

void LawTextView::showContextMenu(int clientX, int clientY, bool hasAnchor, const QString& href) {
    const auto action = textview::contextMenuAction(gesture_.dir(), hasAnchor, toCp932(href), doc_.toggles().pinPoint);
    if (action == textview::ContextMenuAction::Nothing) return;
    const double zoom = page_->zoomFactor();
    const QPoint at = mapToGlobal(QPoint(static_cast<int>(clientX * zoom), static_cast<int>(clientY * zoom)));
    // The selective jump list, unless it has nothing to show: then the menu.
    if (action == textview::ContextMenuAction::PinPointList &&
        pin_->showJumpList(at, textview::linkTarget(toCp932(href))))
        return;
    emit contextMenuAt(at);
}

}  // namespace tavrel::gui
