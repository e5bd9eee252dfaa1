#include "app/application.h"

#include "app/main_window.h"
#include "app/qt_message_sink.h"
#include "app/qt_settings_store.h"
#include "document/document.h"
#include "document/navigation.h"
#include "navigator/gui/navigator_pane.h"
#include "textview/gui/law_text_view.h"
#include "textview/gui/page_scheme.h"
#include "textview/gui/web_environment.h"

#include <QDesktopServices>
#include <QDir>
#include <QUrl>

#include <clocale>

#include <unistd.h>

namespace tavrel::gui {

void prepareWebEngine() {
    if (::geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    PageSchemeHandler::registerScheme();
}

TavrelApplication::TavrelApplication(StartOptions options) : options_(std::move(options)) {
    // QApplication has adopted the user's locale, LC_NUMERIC included: under
    // a comma-decimal locale the C library would print "%f" with a comma.
    // Numbers the program writes (page styles, file headers) keep the ".".
    std::setlocale(LC_NUMERIC, "C");
    if (options_.settingsFile.isEmpty())
        settings_ = std::make_unique<QtSettingsStore>();
    else
        settings_ = std::make_unique<QtSettingsStore>(options_.settingsFile);
    sink_ = std::make_unique<QtMessageSink>();
    sink_->setAnswerInAdvance(options_.answerMessagesInAdvance);
}

TavrelApplication::~TavrelApplication() {
    if (frame_) frame_->close();
    closeDocument();
    frame_.reset();
    web_.reset();
    navigation_.reset();
    doc_.reset();  // writes the toggles and the option block
}

bool TavrelApplication::start() {
    const DocumentFolders folders = locateFolders(QDir(options_.executableFolder).absolutePath().toStdString(),
                                                  QDir(options_.userDataFolder).absolutePath().toStdString());
    const UrlOpener opener = [](const std::string& url) {
        return QDesktopServices::openUrl(QUrl(QString::fromStdString(url))) ? 0 : 2;
    };
    doc_ = std::make_unique<Document>(*settings_, *sink_, folders, opener);
    navigation_ = std::make_unique<DocumentNavigation>(*doc_);
    if (!doc_->startUp()) return false;
    started_ = true;

    const QString dataFolder = QString::fromStdString(doc_->programFolder());
    web_ = std::make_unique<WebEnvironment>(QString::fromStdString(doc_->imageFolder()));
    frame_ = std::make_unique<MainWindow>(*doc_, *navigation_, *web_, dataFolder + QStringLiteral("help08.html"));
    sink_->setOwner(frame_.get());
    QObject::connect(frame_.get(), &MainWindow::closing, frame_.get(), [this]() { closeDocument(); });

    const bool maximised = frame_->restorePlacement();
    // The navigator first: its contents tree is built now that the
    // database is open; then the text view shows the start page.
    frame_->navigator()->initialUpdate();
    frame_->textView()->initialUpdate();
    frame_->updateCommands();
    if (maximised)
        frame_->showMaximized();
    else
        frame_->show();
    if (options_.splash) frame_->showSplash(options_.splashMilliseconds);
    frame_->reportHiddenEntries();
    // The search index is read in the background once the first page has
    // been shown, so neither the start nor the first search waits for it.
    QObject::connect(
        frame_->textView(), &QWebEngineView::loadFinished, frame_->navigator(),
        [navigator = frame_->navigator()]() { navigator->startIndexRead(); }, Qt::SingleShotConnection);
    return true;
}

void TavrelApplication::closeDocument() {
    if (closed_ || !started_) return;
    closed_ = true;
    doc_->close();
}

}  // namespace tavrel::gui
