#include "app/main_window.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QCursor>
#include <QDesktopServices>
#include <QDateTime>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QProgressDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QWebEnginePage>
#include <QMessageBox>
#include <QPainter>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

#include <atomic>
#include <filesystem>
#include <thread>
#include <vector>

#include "app/citation_index_loader.h"
#include "app/command_registry.h"
#include "app/egov_dialogs.h"
#include "app/options_dialog.h"
#include "app/toolbar_icons.h"
#include "document/screen_fit.h"
#include "egov/collection_update.h"
#include "navigator/gui/navigator_pane.h"
#include "navigator/hidden_entries.h"
#include "textview/gui/law_text_view.h"
#include "qtsupport/qt_text.h"
#include "textview/gui/quick_copy_action.h"
#include "text/sjis.h"
#include "textview/citation.h"
#include "textview/hit_steps.h"
#include "textview/status_text.h"

namespace tavrel::gui {

namespace {
// Windows' placement values, kept so the stored record reads the same.
constexpr int kPlacementLength = 44;
constexpr int kRestoreToMaximized = 2;
constexpr int kShowNormal = 1;
constexpr int kShowMaximized = 3;
// Where the page's menu opens from the keyboard when the pointer is elsewhere.
constexpr int kKeyboardMenuInset = 16;

// The time of an import as T_法令XML records it.
std::string nowUtc() { return QDateTime::currentDateTimeUtc().toString(Qt::ISODate).toStdString(); }

// A progress dialog over the window, shown at once and kept open until closed.
void prepareProgress(QProgressDialog& progress, const QString& name, const QString& title) {
    progress.setObjectName(name);
    progress.setWindowTitle(title);
    progress.setWindowModality(Qt::WindowModal);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    progress.setMinimumDuration(0);
    progress.setValue(0);
}

QString prompt(int id) {
    const CommandInfo* info = findDocumentCommand(id);
    return info ? toQString(info->prompt) : QString();
}
}  // namespace

WindowPlacement placementRecord(const QRect& r, bool maximised) {
    return WindowPlacement{kPlacementLength,
                           maximised ? kRestoreToMaximized : 0,
                           maximised ? kShowMaximized : kShowNormal,
                           -1,
                           -1,
                           -1,
                           -1,
                           r.left(),
                           r.top(),
                           r.left() + r.width(),
                           r.top() + r.height()};
}

QRect normalRect(const WindowPlacement& wp) {
    const ScreenRect r = rectFromEdges(wp[7], wp[8], wp[9], wp[10]);
    return QRect(r.left, r.top, r.width, r.height);
}

QString MainWindow::caption() { return QStringLiteral("Tavrel ソラテ 平成20年度版"); }

MainWindow::MainWindow(Document& doc, DocumentNavigation& navigation, WebEnvironment& web, const QString& helpFile,
                       QWidget* parent)
    : QMainWindow(parent),
      doc_(doc),
      navigation_(navigation),
      web_(web),
      helpFile_(helpFile),
      commands_(new CommandRegistry(this)) {
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(caption());
    setMinimumSize(kMinimumWidth, kMinimumHeight);
    resize(kDefaultWidth, kDefaultHeight);
    createCommands();
    createMenus();
    createToolBar();
    createStatusBar();
    createPanes();
    navigation_.setStatusBar(this);
    navigation_.setNavigator(navigator_);
    navigation_.setOptionsDialog(optionsDialogRunner(doc_, navigation_, this));
    qApp->installEventFilter(this);
}

MainWindow::~MainWindow() {
    qApp->removeEventFilter(this);
    navigation_.setTextView(nullptr);
    navigation_.setNavigator(nullptr);
    navigation_.setStatusBar(nullptr);
    doc_.setTextView(nullptr);
}

void MainWindow::createCommands() {
    CommandRegistry& c = *commands_;
    c.add(cmd::Previous, QStringLiteral("previous"), QStringLiteral("前へ"), {}, prompt(cmd::Previous));
    c.add(cmd::Next, QStringLiteral("next"), QStringLiteral("次へ"), {}, prompt(cmd::Next));
    c.add(cmd::Back, QStringLiteral("back"), QStringLiteral("戻る"), {}, prompt(cmd::Back));
    c.add(cmd::Forward, QStringLiteral("forward"), QStringLiteral("進む"), {}, prompt(cmd::Forward));
    // The prompts name these keys.
    c.action(cmd::Back)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Left));
    c.action(cmd::Forward)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Right));
    c.add(cmd::Synchro, QStringLiteral("synchro"), QStringLiteral("同期"), {}, prompt(cmd::Synchro), true);
    c.add(cmd::Refer, QStringLiteral("refer"), QStringLiteral("参照"), {}, prompt(cmd::Refer), true);
    c.add(cmd::Brachet, QStringLiteral("brachet"), QStringLiteral("括弧"), {}, prompt(cmd::Brachet), true);
    c.add(frame_cmd::AlwaysOnTop, QStringLiteral("alwaysOnTop"), QStringLiteral("手前"), {},
          QStringLiteral("ウィンドウを常に手前に表示します。"), true);
    c.add(cmd::PinPoint, QStringLiteral("pinPoint"), QStringLiteral("狙撃"), {}, prompt(cmd::PinPoint), true);
    c.add(cmd::CitedBy, QStringLiteral("citedBy"), QStringLiteral("被引用"), {}, prompt(cmd::CitedBy), true);
    c.add(frame_cmd::DesignData, QStringLiteral("designData"), QStringLiteral("資料"), {},
          QStringLiteral("建築設計資料を表示します。"));
    c.add(cmd::printPage, QStringLiteral("print"), QStringLiteral("印刷(&P)"), QStringLiteral("印刷"), prompt(cmd::printPage));
    c.add(cmd::PrintPreview, QStringLiteral("printPreview"), QStringLiteral("印刷プレビュー(&V)"), {},
          prompt(cmd::PrintPreview));
    c.add(cmd::Options, QStringLiteral("options"), QStringLiteral("オプション設定(&O)"), {}, prompt(cmd::Options));
    c.add(frame_cmd::Exit, QStringLiteral("exit"), QStringLiteral("アプリケーションの終了(&X)"));
    c.add(frame_cmd::Cover, QStringLiteral("cover"), QStringLiteral("表紙(&C)"));
    c.add(frame_cmd::Legend, QStringLiteral("legend"), QStringLiteral("凡例(&L)"));
    c.add(frame_cmd::LawHistory, QStringLiteral("lawHistory"), QStringLiteral("法令の改正履歴(&R)"));
    c.add(frame_cmd::NotificationHistory, QStringLiteral("notificationHistory"), QStringLiteral("告示の改正履歴(&K)"));
    c.add(frame_cmd::SupportSite, QStringLiteral("supportSite"), QStringLiteral("サポートサイト(&S)"));
    c.add(frame_cmd::Help, QStringLiteral("help"), QStringLiteral("ヘルプ(&H)"));
    c.add(frame_cmd::About, QStringLiteral("about"), QStringLiteral("バージョン情報(&A)..."));
    c.add(frame_cmd::Hidden, QStringLiteral("hiddenPage"), QStringLiteral("イースターエッグ"));
    c.add(cmd::DynamicSplit, QStringLiteral("dynamicSplit"), QStringLiteral("ウィンドウの動的分割"));
    c.add(cmd::Search, QStringLiteral("search"), QStringLiteral("このページ内の検索（Ctrl+F）"));
    c.add(cmd::ClearMarks, QStringLiteral("clearMarks"), QStringLiteral("反転マークのクリア"));
    c.add(cmd::QuickCopy, QStringLiteral("quickCopy"), QStringLiteral("ぷちコピー（Ctrl+C）"));
    c.add(frame_cmd::CopyWithCitation, QStringLiteral("copyWithCitation"), QStringLiteral("引用付きでコピー"), {},
          QStringLiteral("選択した文に、その条・項・号の引用を付けてコピーします。"));
    c.add(frame_cmd::NextHit, QStringLiteral("nextHit"), QStringLiteral("次のマークへ（F3）"), {},
          QStringLiteral("反転マークした語の次の箇所へ移動します。"));
    c.add(frame_cmd::PreviousHit, QStringLiteral("previousHit"), QStringLiteral("前のマークへ（Shift+F3）"), {},
          QStringLiteral("反転マークした語の前の箇所へ移動します。"));
    c.add(frame_cmd::ImportLaws, QStringLiteral("importLaws"), QStringLiteral("法令XMLの取り込み(&I)..."), {},
          QStringLiteral("e-Govの法令XMLファイルを収録データに取り込みます。"));
    c.add(frame_cmd::RestoreCollection, QStringLiteral("restoreCollection"), QStringLiteral("標準の収録データに戻す(&R)"),
          {}, QStringLiteral("取り込んだ法令を削除し、標準の収録データに戻します。"));
    c.add(frame_cmd::AddFromEgov, QStringLiteral("addFromEgov"), QStringLiteral("法令を追加（e-Gov）…"), {},
          QStringLiteral("e-Gov 法令検索で法令を探し、その現在の版を収録データに取り込みます。"));
    c.add(frame_cmd::CheckLawUpdates, QStringLiteral("checkLawUpdates"), QStringLiteral("法令の更新を確認"), {},
          QStringLiteral("取り込んだ法令がe-Govで改正されていないか確認し、改正されていれば更新します。"));
    connect(commands_, &CommandRegistry::commandTriggered, this, &MainWindow::onCommand);
}

void MainWindow::createMenus() {
    CommandRegistry& c = *commands_;
    QMenu* file = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
    file->addAction(c.action(cmd::printPage));
    file->addAction(c.action(cmd::PrintPreview));
    file->addSeparator();
    file->addAction(c.action(frame_cmd::ImportLaws));
    file->addAction(c.action(frame_cmd::AddFromEgov));
    file->addAction(c.action(frame_cmd::CheckLawUpdates));
    file->addAction(c.action(frame_cmd::RestoreCollection));
    file->addSeparator();
    file->addAction(c.action(cmd::Options));
    file->addSeparator();
    file->addAction(c.action(frame_cmd::Exit));
    QMenu* help = menuBar()->addMenu(QStringLiteral("ヘルプ(&H)"));
    help->addAction(c.action(frame_cmd::Cover));
    help->addAction(c.action(frame_cmd::Legend));
    help->addAction(c.action(frame_cmd::LawHistory));
    help->addAction(c.action(frame_cmd::NotificationHistory));
    help->addSeparator();
    help->addAction(c.action(frame_cmd::SupportSite));
    help->addAction(c.action(frame_cmd::Help));
    help->addAction(c.action(frame_cmd::About));
    // Commands reached without a visible menu still need a window to live in
    // for their shortcuts.
    addAction(c.action(frame_cmd::Hidden));
    addAction(c.action(cmd::DynamicSplit));
    addAction(c.action(cmd::Search));
    addAction(c.action(frame_cmd::NextHit));
    addAction(c.action(frame_cmd::PreviousHit));
    addAction(c.action(frame_cmd::CopyWithCitation));
}

void MainWindow::createToolBar() {
    auto* bar = addToolBar(QStringLiteral("ツールバー"));
    bar->setObjectName(QStringLiteral("toolBar"));
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    bar->setIconSize(QSize(22, 20));
    bar->setMovable(true);
    bar->setFloatable(false);
    const struct {
        int id;
        ToolIcon icon;
    } buttons[] = {{cmd::Previous, ToolIcon::Previous},      {cmd::Next, ToolIcon::Next},
                   {cmd::Back, ToolIcon::Back},              {cmd::Forward, ToolIcon::Forward},
                   {cmd::Synchro, ToolIcon::Synchro},        {cmd::Refer, ToolIcon::Refer},
                   {cmd::Brachet, ToolIcon::Brachet},        {frame_cmd::AlwaysOnTop, ToolIcon::OnTop},
                   {cmd::PinPoint, ToolIcon::PinPoint},      {frame_cmd::DesignData, ToolIcon::DesignData},
                   {cmd::CitedBy, ToolIcon::CitedBy},        {cmd::printPage, ToolIcon::printPage}};
    for (const auto& b : buttons) {
        QAction* a = commands_->action(b.id);
        a->setIcon(toolIcon(b.icon));
        bar->addAction(a);
    }
}

void MainWindow::createStatusBar() {
    caption_ = new QLabel(this);
    caption_->setObjectName(QStringLiteral("pageCaption"));
    statusBar()->addPermanentWidget(caption_);
    statusBar()->setSizeGripEnabled(true);
}

void MainWindow::createPanes() {
    splitter_ = new QSplitter(Qt::Horizontal, this);
    splitter_->setObjectName(QStringLiteral("mainSplitter"));
    splitter_->setChildrenCollapsible(false);
    navigator_ = new NavigatorPane(doc_, splitter_);
    navigator_->setNavigation(&navigation_);
    splitter_->addWidget(navigator_);
    splitter_->addWidget(createTextView());
    splitter_->setStretchFactor(0, 0);
    splitter_->setStretchFactor(1, 1);
    setCentralWidget(splitter_);
    restoreSplitter();
    connect(navigator_, &NavigatorPane::tabChanged, this, [this]() { updateCommands(); });
    connect(navigator_, &NavigatorPane::pageRequested, this, [this](const QString& id) {
        // Law and chapter nodes carry shorter identifiers: the view ignores them.
        if (view_->showPage(toCp932(id))) view_->colorAnchors();
    });
    // The search text that opens the hidden page.
    connect(navigator_, &NavigatorPane::hiddenPageRequested, this, [this]() { onCommand(frame_cmd::Hidden); });
    connect(navigator_, &NavigatorPane::searchResultRequested, this, [this](const QString& id, bool highlight) {
        view_->highlightAfterLoad = highlight;
        if (!view_->showPage(toCp932(id))) view_->highlightAfterLoad = false;
    });
    connect(navigator_, &NavigatorPane::searchResultReshowRequested, this, [this](const QString& id, bool highlight) {
        view_->highlightAfterLoad = highlight;
        view_->setReshow();
        if (!view_->showPage(toCp932(id))) view_->highlightAfterLoad = false;
    });
}

LawTextView* MainWindow::createTextView() {
    view_ = new LawTextView(doc_, navigation_, web_, showState_);
    view_->setNavigator(navigator_);
    navigator_->setPageView(view_);
    connect(view_, &LawTextView::pageShown, this, [this]() { updateCommands(); });
    connect(view_, &QWebEngineView::loadFinished, this, &MainWindow::startCitationIndex);
    connect(view_, &QWebEngineView::loadFinished, this, &MainWindow::startWeeklyLawCheck);
    connect(view_, &LawTextView::statusTextChanged, this, [this](const QString& text) {
        if (text.isEmpty())
            statusBar()->clearMessage();
        else
            statusBar()->showMessage(text);
    });
    connect(view_, &LawTextView::focusNavigatorRequested, navigator_, &NavigatorPane::focusCurrentTab);
    connect(view_, &LawTextView::syncRequested, this,
            [this](const QString& id) { navigator_->syncToArticle(toCp932(id)); });
    connect(view_, &LawTextView::commandRequested, this, &MainWindow::onCommand);
    // 32773: a search result has loaded; the navigator marks the search words.
    connect(view_, &LawTextView::highlightSearchWordsRequested, navigator_, &NavigatorPane::emphasiseSearchWords);
    connect(view_, &LawTextView::contextMenuAt, this, &MainWindow::showContextMenu);
    navigation_.setTextView(view_);
    doc_.setTextView(view_);
    return view_;
}

void MainWindow::startCitationIndex() {
    if (doc_.hasCitationTable() || doc_.citationIndex() || !doc_.isConnected()) return;
    if (!citationLoader_) {
        citationLoader_ = new CitationIndexLoader(this);
        connect(citationLoader_, &CitationIndexLoader::indexReady, this, &MainWindow::citationIndexReady);
    }
    citationLoader_->start(doc_.databasePath());
}

void MainWindow::citationIndexReady(std::shared_ptr<const citations::CitationIndex> index) {
    if (!index || closed_) return;
    doc_.setCitationIndex(std::move(index));
    // Pages built before the index came lack their block.
    if (view_) view_->clearPageCache();
    if (!doc_.citedByShown() || !view_) return;
    const auto [first, last] = doc_.citationIndex()->citing(view_->currentPageId());
    if (first != last) navigation_.redisplay();
}

void MainWindow::onSplit() {
    // The new view shows the page of the view it replaces.
    const std::string shown = view_ ? view_->currentPageId() : std::string();
    QWidget* replaced = nullptr;
    if (!split_) {
        split_ = true;
        secondSplitter_ = new QSplitter(Qt::Vertical);
        secondSplitter_->setObjectName(QStringLiteral("secondSplitter"));
        secondSplitter_->setChildrenCollapsible(false);
        secondSplitter_->addWidget(createTextView());
        auto* lower = new QWidget(secondSplitter_);
        lower->setObjectName(QStringLiteral("C3rdView"));
        secondSplitter_->addWidget(lower);
        int size = kSplitPaneHeight, minimum = 0;
        if (const auto sp =
                parseSplitterPos(doc_.settings().readText(kSettingsSection, keys::SplitterPos2, ""))) {
            size = sp->size;
            minimum = sp->minimum;
        }
        view_->setMinimumHeight(std::max(minimum, 0));
        secondSplitter_->setStretchFactor(0, 0);
        secondSplitter_->setStretchFactor(1, 1);
        replaced = splitter_->replaceWidget(1, secondSplitter_);
        secondSplitter_->setSizes({size, std::max(splitter_->height() - size, 1)});
    } else {
        split_ = false;
        const SplitterPos sp{0, secondSplitter_->sizes().value(0), view_->minimumHeight()};
        doc_.settings().writeText(kSettingsSection, keys::SplitterPos2, formatSplitterPos(sp));
        replaced = splitter_->replaceWidget(1, createTextView());
        secondSplitter_ = nullptr;
    }
    if (replaced) {
        replaced->hide();
        replaced->deleteLater();
    }
    if (shown.size() == 15) {
        view_->setReshow();
        view_->showPage(shown);
    }
    navigator_->focusCurrentTab();
    updateCommands();
}

void MainWindow::restoreSplitter() {
    int size = kNavigatorWidth, minimum = 0;
    if (const auto sp = parseSplitterPos(doc_.settings().readText(kSettingsSection, keys::SplitterPos1, ""))) {
        size = sp->size;
        minimum = sp->minimum;
    }
    navigator_->setMinimumWidth(std::max(minimum, 0));
    splitter_->setSizes({size, std::max(width() - size, 1)});
}

void MainWindow::saveSplitter() {
    const SplitterPos sp{0, splitter_->sizes().value(0), navigator_->minimumWidth()};
    doc_.settings().writeText(kSettingsSection, keys::SplitterPos1, formatSplitterPos(sp));
}

bool MainWindow::restorePlacement() {
    const auto wp = parseWindowPos(doc_.settings().readText(kSettingsSection, keys::WindowPos, ""));
    placementStored_ = wp.has_value();
    if (!wp) {
        resize(kDefaultWidth, kDefaultHeight);
        const QRect screen = (this->screen() ? this->screen() : QGuiApplication::primaryScreen())->availableGeometry();
        move(screen.center() - QPoint(kDefaultWidth / 2, kDefaultHeight / 2));
        return false;
    }
    // The stored place may lie on a screen that is gone.
    const QRect stored = normalRect(*wp);
    std::vector<ScreenRect> screens;
    for (const QScreen* s : QGuiApplication::screens()) {
        const QRect a = s->availableGeometry();
        screens.push_back(ScreenRect{a.x(), a.y(), a.width(), a.height()});
    }
    const ScreenRect fitted =
        fitOnScreens(ScreenRect{stored.x(), stored.y(), stored.width(), stored.height()}, screens);
    setGeometry(QRect(fitted.left, fitted.top, fitted.width, fitted.height));
    return placementMaximised(*wp);
}

void MainWindow::savePlacement() {
    doc_.settings().writeText(kSettingsSection, keys::WindowPos,
                              formatWindowPos(placementRecord(normalGeometry(), isMaximized())));
}

void MainWindow::updateCommands() {
    for (QAction* a : commands_->all()) {
        const int id = a->data().toInt();
        if (findDocumentCommand(id) == nullptr) continue;
        const CommandState s = navigation_.commandState(id);
        a->setEnabled(s.enabled);
        if (a->isCheckable()) a->setChecked(s.checked);
    }
    commands_->action(frame_cmd::AlwaysOnTop)->setChecked(onTop_);
    // The support site is offered only when the installation names one.
    commands_->action(frame_cmd::SupportSite)->setEnabled(!doc_.supportAddresses().site.empty());
    commands_->action(frame_cmd::ImportLaws)->setEnabled(!doc_.userDatabasePath().empty());
    commands_->action(frame_cmd::AddFromEgov)->setEnabled(!doc_.userDatabasePath().empty());
    commands_->action(frame_cmd::CheckLawUpdates)->setEnabled(doc_.isConnected());
    commands_->action(frame_cmd::RestoreCollection)->setEnabled(doc_.usesUserCollection());
}

void MainWindow::setPageCaption(const std::string& textCp932) { caption_->setText(toQString(textCp932)); }

void MainWindow::onCommand(int id) {
    switch (id) {
        case frame_cmd::Cover: showFixedPage(page::Cover); break;
        case frame_cmd::Legend: showFixedPage(page::Legend); break;
        case frame_cmd::LawHistory: showFixedPage(page::LawHistory); break;
        case frame_cmd::NotificationHistory: showFixedPage(page::NotificationHistory); break;
        case frame_cmd::Hidden: showFixedPage(page::Hidden); break;
        case frame_cmd::DesignData: showFixedPage(page::DesignData); break;
        case frame_cmd::Help: openHelp(); break;
        case frame_cmd::SupportSite: openSupportSite(); break;
        case frame_cmd::AlwaysOnTop: toggleAlwaysOnTop(); break;
        case frame_cmd::About: showAbout(); break;
        case frame_cmd::Exit: close(); break;
        case cmd::DynamicSplit: onSplit(); break;
        case cmd::QuickCopy: runQuickCopy(toCp932(view_->page()->selectedText()), doc_.settings(), this); break;
        case cmd::ClearMarks: view_->markWords(view_->currentMarks(), 1); break;
        case frame_cmd::NextHit: view_->stepHit(textview::HitDirection::Next); break;
        case frame_cmd::PreviousHit: view_->stepHit(textview::HitDirection::Previous); break;
        case frame_cmd::CopyWithCitation: copyWithCitation(); break;
        case frame_cmd::ImportLaws: chooseLawFiles(); break;
        case frame_cmd::RestoreCollection: restoreBundledCollection(); break;
        case frame_cmd::AddFromEgov: addLawsFromEgov(); break;
        case frame_cmd::CheckLawUpdates: checkLawUpdates(); break;
        default: navigation_.onCommand(id); break;
    }
    updateCommands();
}

void MainWindow::showContextMenu(const QPoint& globalPos) {
    CommandRegistry& c = *commands_;
    if (!contextMenu_) {
        contextMenu_ = new QMenu(this);
        contextMenu_->setObjectName(QStringLiteral("pageContextMenu"));
        for (int id : {cmd::Previous, cmd::Next, cmd::Back, cmd::Forward}) contextMenu_->addAction(c.action(id));
        contextMenu_->addSeparator();
        for (int id : {cmd::Search, frame_cmd::NextHit, frame_cmd::PreviousHit, cmd::ClearMarks})
            contextMenu_->addAction(c.action(id));
        contextMenu_->addSeparator();
        for (int id : {cmd::QuickCopy, frame_cmd::CopyWithCitation}) contextMenu_->addAction(c.action(id));
    }
    updateCommands();
    const bool marked = !view_->currentMarks().empty();
    for (int id : {cmd::ClearMarks, frame_cmd::NextHit, frame_cmd::PreviousHit}) c.action(id)->setEnabled(marked);
    c.action(cmd::QuickCopy)->setEnabled(view_->page()->hasSelection());
    c.action(frame_cmd::CopyWithCitation)->setEnabled(view_->page()->hasSelection());
    contextMenu_->popup(globalPos);
}

void MainWindow::showFixedPage(const char* idFN) {
    if (view_) view_->showPage(idFN);
}

void MainWindow::openHelp() {
    if (!QFileInfo::exists(helpFile_) || !QDesktopServices::openUrl(QUrl::fromLocalFile(helpFile_)))
        doc_.messages().show(SJ("ソラテ"), SJ("ソラテのヘルプファイルを\n開くことができませんでした。"), MsgButtons::Ok,
                             MsgIcon::Error, false);
}

void MainWindow::openSupportSite() {
    const std::string& site = doc_.supportAddresses().site;
    if (site.empty()) return;  // the command is disabled then
    const QUrl url(QString::fromStdString(site));
    if (!QDesktopServices::openUrl(url))
        doc_.messages().show(SJ("ソラテ"), SJ("ソラテのサポートホームページを\n開くことができませんでした。"),
                             MsgButtons::Ok, MsgIcon::Error, false);
}

void MainWindow::toggleAlwaysOnTop() {
    onTop_ = !onTop_;
    const QRect g = geometry();
    setWindowFlag(Qt::WindowStaysOnTopHint, onTop_);
    setGeometry(g);
    show();
}

void MainWindow::showAbout() {
    QMessageBox::about(this, QStringLiteral("バージョン情報"),
                       QStringLiteral("Tavrel ソラテ 平成20年度版\nバージョン %1\n\n建築関係法令の閲覧ソフトウェア")
                           .arg(QApplication::applicationVersion()));
}

void MainWindow::copyWithCitation() {
    const std::string selection = toCp932(view_->page()->selectedText());
    if (selection.empty()) return;
    const QStringList ids = view_->selectedSentenceIds().split(QLatin1Char(';'));
    const textview::CitationPage page = textview::citationPage(doc_, view_->currentPageId());
    const std::string citation = textview::citationText(page, toCp932(ids.value(0)), toCp932(ids.value(1)));
    QApplication::clipboard()->setText(toQString(textview::textWithCitation(selection, citation)));
}

void MainWindow::chooseLawFiles() {
    const QStringList files = QFileDialog::getOpenFileNames(this, QStringLiteral("法令XMLの取り込み"), QString(),
                                                            QStringLiteral("法令XML (*.xml)"));
    if (!files.isEmpty()) importLawFiles(files);
}

bool MainWindow::importLawFiles(const QStringList& files, const std::vector<egov::FileOrigin>& origins) {
    const std::string target = doc_.userDatabasePath();
    if (files.isEmpty() || target.empty()) return false;
    egov::CollectionUpdate update;
    for (const QString& f : files) update.files.push_back(QFile::encodeName(f).toStdString());
    update.origins = origins;
    update.source = doc_.databasePath();
    update.target = target;
    update.importedAt = nowUtc();

    // The worker shares only these with the window: the cancel flag it reads
    // and the step it reports, polled here.
    auto cancel = std::make_shared<std::atomic<bool>>(false);
    auto done = std::make_shared<std::atomic<int>>(0);
    update.cancelled = [cancel]() { return cancel->load(); };
    update.progress = [done](int step, int) { done->store(step); };
    const int steps = static_cast<int>(files.size()) + 3;

    QProgressDialog progress(QStringLiteral("法令XMLを取り込んでいます…"), QStringLiteral("キャンセル"), 0, steps, this);
    prepareProgress(progress, QStringLiteral("importProgress"), QStringLiteral("法令XMLの取り込み"));
    connect(&progress, &QProgressDialog::canceled, &progress, [cancel, &progress]() {
        cancel->store(true);
        progress.setLabelText(QStringLiteral("取り消しています…"));
    });

    egov::CollectionUpdateResult result;
    std::string error;
    std::atomic<bool> finished{false};
    std::thread worker([&]() {
        try {
            result = egov::updateCollection(update);
        } catch (const std::exception& e) {
            error = e.what();
            if (error.empty()) error = "unknown error";
        } catch (...) {
            error = "unknown error";
        }
        finished.store(true);
    });
    QEventLoop loop;
    QTimer poll;
    connect(&poll, &QTimer::timeout, &loop, [&]() {
        if (!cancel->load()) progress.setValue(std::min(done->load(), steps - 1));
        if (finished.load()) loop.quit();
    });
    poll.start(30);
    loop.exec();
    worker.join();
    progress.close();

    if (!error.empty()) {
        const std::string detail = text::fromUtf8(error);
        doc_.messages().show(SJ("ソラテ"),
                             SJ("法令XMLを取り込めませんでした。収録データは変更されていません。\n\n") + detail,
                             MsgButtons::Ok, MsgIcon::Exclamation, false);
        return false;
    }
    if (result.cancelled) return false;
    // The first page of the last law of the files is shown.
    reloadCollection(result.laws.empty() ? std::string() : result.laws.back().idHN);
    std::vector<std::string> dropped;
    for (const egov::LawSummary& law : result.laws)
        for (const std::string& d : law.dropped) dropped.push_back(text::fromUtf8(law.title + "　" + d));
    if (!dropped.empty())
        doc_.messages().show(SJ("ソラテ"),
                             SJ("取り込んだ法令に対象の条文がないため、次の設定は引き継げませんでした。\n\n") +
                                 text::listedLines(dropped),
                             MsgButtons::Ok, MsgIcon::Information, false);
    return true;
}

egov_online::ClientSettings MainWindow::egovClientSettings() const {
    const EgovSettings e = readEgovSettings(doc_.settings());
    egov_online::ClientSettings settings;
    settings.base = QUrl(toQString(e.baseUrl));
    settings.timeoutMs = e.timeoutSeconds * 1000;
    return settings;
}

void MainWindow::addLawsFromEgov() {
    auto* dialog = new AddLawsDialog(egovClientSettings(), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog]() { downloadAndImport(dialog->chosenLaws()); });
    dialog->open();
}

void MainWindow::checkLawUpdates() {
    QList<egov_online::ImportedLaw> laws;
    try {
        laws = egov_online::importedLaws(doc_.databasePath());
    } catch (const std::exception& e) {
        doc_.messages().show(SJ("ソラテ"), SJ("収録データを読めませんでした。\n\n") + text::fromUtf8(e.what()),
                             MsgButtons::Ok, MsgIcon::Exclamation, false);
        return;
    }
    auto* dialog = new LawUpdatesDialog(egovClientSettings(), laws, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog]() { downloadAndImport(dialog->lawsToUpdate()); });
    dialog->open();
}

bool MainWindow::downloadAndImport(const QList<egov_online::LawToDownload>& laws) {
    if (laws.isEmpty() || doc_.userDatabasePath().empty()) return false;
    QTemporaryDir folder;
    if (!folder.isValid()) return false;
    egov_online::Client client(egovClientSettings());
    egov_online::LawDownload download(client, laws, folder.path());
    QProgressDialog progress(QStringLiteral("e-Govから法令を取得しています…"), QStringLiteral("キャンセル"), 0,
                             int(laws.size()), this);
    prepareProgress(progress, QStringLiteral("egovProgress"), QStringLiteral("法令を追加（e-Gov）"));
    connect(&progress, &QProgressDialog::canceled, &download, &egov_online::LawDownload::cancel);
    connect(&download, &egov_online::LawDownload::progress, &progress, &QProgressDialog::setValue);
    QList<egov_online::DownloadedLaw> got;
    QString error;
    QEventLoop loop;
    connect(&download, &egov_online::LawDownload::finished, &loop,
            [&](const QList<egov_online::DownloadedLaw>& d, const QString& e) {
                got = d, error = e;
                loop.quit();
            });
    download.start();
    loop.exec();
    progress.close();
    if (error == egov_online::cancelledMessage()) return false;
    if (!error.isEmpty()) {
        doc_.messages().show(SJ("ソラテ"),
                             SJ("e-Govから法令を取得できませんでした。収録データは変更されていません。\n\n") +
                                 toCp932(error),
                             MsgButtons::Ok, MsgIcon::Exclamation, false);
        return false;
    }
    QStringList files;
    std::vector<egov::FileOrigin> origins;
    for (const egov_online::DownloadedLaw& d : got) {
        files << d.file;
        origins.push_back({d.lawId.toStdString(), d.revisionId.toStdString()});
    }
    return importLawFiles(files, origins);
}

void MainWindow::startWeeklyLawCheck() {
    if (weeklyCheckStarted_) return;
    weeklyCheckStarted_ = true;
    EgovSettings e = readEgovSettings(doc_.settings());
    const QDate today = QDate::currentDate();
    if (!e.weeklyCheck || !egov_online::weeklyCheckDue(QString::fromStdString(e.lastCheck), today)) return;
    QList<egov_online::ImportedLaw> laws;
    try {
        laws = egov_online::importedLaws(doc_.databasePath());
    } catch (const std::exception&) {
        return;  // the menu command reports it
    }
    if (laws.isEmpty()) return;
    e.lastCheck = today.toString(Qt::ISODate).toStdString();
    writeEgovSettings(doc_.settings(), e);
    auto* client = new egov_online::Client(egovClientSettings(), this);
    auto* check = new egov_online::UpdateCheck(*client, laws, client);
    connect(check, &egov_online::UpdateCheck::finished, client,
            [this, client](const QList<egov_online::LawChange>& changes, const QString&) {
                // Quiet unless something changed: a failure waits for the next week or the menu.
                // A label of its own: a link's status text does not wipe it out.
                if (!changes.isEmpty() && !closed_) {
                    auto* notice = new QLabel(
                        QStringLiteral("e-Govで改正された法令が%1件あります（ファイル →「法令の更新を確認」）。")
                            .arg(changes.size()),
                        this);
                    notice->setObjectName(QStringLiteral("egovNotice"));
                    statusBar()->addWidget(notice);
                }
                client->deleteLater();
            });
    check->start();
}

bool MainWindow::restoreBundledCollection() {
    if (!doc_.usesUserCollection()) return false;
    if (doc_.messages().show(SJ("ソラテ"),
                             SJ("取り込んだ法令を含む収録データを削除し、標準の収録データに戻します。\n\n"
                                "よろしいですか？"),
                             MsgButtons::YesNo, MsgIcon::Question, false) != MsgAnswer::Yes)
        return false;
    const std::string path = doc_.userDatabasePath();
    doc_.closeDatabase();
    std::error_code ec;
    std::filesystem::remove(path, ec);
    if (ec) {
        doc_.messages().show(SJ("ソラテ"), SJ("収録データを削除できませんでした。"), MsgButtons::Ok,
                             MsgIcon::Exclamation, false);
    }
    reloadCollection({});
    return !ec;
}

void MainWindow::reloadCollection(const std::string& showLaw) {
    const std::string shown = view_ ? view_->currentPageId() : std::string();
    // A collection that cannot be opened has been reported by the document;
    // the panes keep what they show.
    if (!doc_.reload()) {
        updateCommands();
        return;
    }
    if (view_) view_->clearPageCache();
    navigation_.dropMissingPages();
    navigator_->reloadCollection();
    // The first page of the law asked for, else the page shown before when
    // it is still there, else the cover.
    std::string next;
    if (!showLaw.empty())
        for (const ArticleSeqEntry& e : doc_.articleSequence())
            if (e.idFN.rfind(showLaw, 0) == 0) {
                next = e.idFN;
                break;
            }
    if (next.empty() && doc_.articleTable().count(shown)) next = shown;
    if (next.empty()) next = page::Cover;
    if (view_) {
        view_->setReshow();
        view_->showPage(next);
    }
    updateCommands();
    reportHiddenEntries();
}

void MainWindow::reportHiddenEntries() { nav::reportHiddenEntries(doc_, navigator_->bookmarkStore()); }

void MainWindow::bringToFront() {
    if (isMinimized()) showNormal();
    show();
    raise();
    activateWindow();
}

void MainWindow::showSplash(int milliseconds) {
    QPixmap pixmap(420, 240);
    pixmap.fill(QColor(0xf6, 0xf3, 0xea));
    {
        QPainter g(&pixmap);
        g.setRenderHint(QPainter::Antialiasing);
        g.setPen(QPen(QColor(0x2b, 0x4f, 0x8c), 3));
        g.drawRect(pixmap.rect().adjusted(2, 2, -3, -3));
        QFont big = font();
        big.setPointSize(28);
        big.setBold(true);
        g.setFont(big);
        g.drawText(QRect(0, 40, 420, 80), Qt::AlignCenter, QStringLiteral("ソラテ"));
        QFont small = font();
        small.setPointSize(12);
        g.setFont(small);
        g.setPen(QColor(0x40, 0x40, 0x40));
        g.drawText(QRect(0, 130, 420, 30), Qt::AlignCenter, QStringLiteral("Tavrel ソラテ 平成20年度版"));
        g.drawText(QRect(0, 170, 420, 30), Qt::AlignCenter, QStringLiteral("建築関係法令集"));
    }
    auto* splash = new QLabel(this, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    splash->setPixmap(pixmap);
    splash->setFixedSize(pixmap.size());
    splash->setObjectName(QStringLiteral("splash"));
    splash->setAttribute(Qt::WA_DeleteOnClose);
    splash->move(geometry().center() - splash->rect().center());
    splash->show();
    splash_ = splash;
    QTimer::singleShot(milliseconds, splash, [this, splash]() {
        splash->close();
        update();
    });
}

void MainWindow::closeEvent(QCloseEvent* e) {
    if (!closed_) {
        closed_ = true;
        savePlacement();
        saveSplitter();
        if (split_) {
            const SplitterPos sp{0, secondSplitter_->sizes().value(0), view_->minimumHeight()};
            doc_.settings().writeText(kSettingsSection, keys::SplitterPos2, formatSplitterPos(sp));
        }
        emit closing();
    }
    e->accept();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* e) {
    const QEvent::Type t = e->type();
    if (splash_ && splash_->isVisible() &&
        (t == QEvent::KeyPress || t == QEvent::MouseButtonPress || t == QEvent::NonClientAreaMouseButtonPress)) {
        // The first key or click closes the splash window and goes no further.
        splash_->close();
        update();
        return true;
    }
    if (t == QEvent::KeyPress && QApplication::activeWindow() == this && watched->isWidgetType()) {
        if (handleKey(static_cast<QWidget*>(watched), static_cast<QKeyEvent*>(e))) return true;
    }
    return QMainWindow::eventFilter(watched, e);
}

bool MainWindow::pageHasFocus() const {
    const QWidget* w = QApplication::focusWidget();
    return view_ && w && (w == view_ || view_->isAncestorOf(w));
}

bool MainWindow::handleKey(QWidget* receiver, QKeyEvent* e) {
    // An open menu, pop-up (the jump list, a combo box's list) or dialog,
    // and the menu bar in keyboard mode, keep every key: arrows move
    // between their items and menus as they always do. (A pop-up leaves
    // this window the active one, so the check above does not see it.)
    if (QApplication::activePopupWidget() || QApplication::activeModalWidget()) return false;
    if (receiver->window() != this || qobject_cast<QMenuBar*>(receiver)) return false;

    const Qt::KeyboardModifiers m = e->modifiers() & ~Qt::KeypadModifier;
    if (e->key() == Qt::Key_Menu || (e->key() == Qt::Key_F10 && m == Qt::ShiftModifier)) {
        if (!pageHasFocus()) return false;
        openContextMenuFromKeyboard();
        return true;
    }
    if (m & Qt::ControlModifier) {
        switch (e->key()) {
            case Qt::Key_F: onCommand(cmd::Search); return true;
            case Qt::Key_C:
            case Qt::Key_Insert:
                // Ctrl+C / Ctrl+Insert in the page: quick copy; elsewhere the
                // control's own copy.
                if (!pageHasFocus()) return false;
                onCommand(cmd::QuickCopy);
                return true;
            case Qt::Key_PageDown: navigator_->selectNextTab(); return true;
            case Qt::Key_PageUp: navigator_->selectPreviousTab(); return true;
            default: return false;
        }
    }
    if (e->key() == Qt::Key_F3 && !(m & (Qt::AltModifier | Qt::MetaModifier))) {
        // F3 / Shift+F3 step through the marked words wherever the focus is
        // in the window, the page's browser widget included.
        onCommand(m & Qt::ShiftModifier ? frame_cmd::PreviousHit : frame_cmd::NextHit);
        return true;
    }
    if (m & Qt::ShiftModifier) return false;
    if (e->key() != Qt::Key_Left && e->key() != Qt::Key_Right) return false;
    if (navigator_->keepsArrowKeys(QApplication::focusWidget())) return false;
    onCommand(e->key() == Qt::Key_Left ? cmd::Back : cmd::Forward);
    return true;
}

void MainWindow::openContextMenuFromKeyboard() {
    // At the mouse pointer when it is over the page, else near the page's
    // top-left corner.
    QPoint at = view_->mapFromGlobal(QCursor::pos());
    if (!view_->rect().contains(at)) at = QPoint(kKeyboardMenuInset, kKeyboardMenuInset);
    const double zoom = view_->page()->zoomFactor();
    view_->showContextMenu(static_cast<int>(at.x() / zoom), static_cast<int>(at.y() / zoom), false, QString());
}

}  // namespace tavrel::gui
