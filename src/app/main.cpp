// Tavrel: the reader of the building statutes.
#include "app/application.h"
#include "app/main_window.h"
#include "app/single_instance.h"
#include "document/document.h"
#include "textview/gui/law_text_view.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QStandardPaths>
#include <QWebEngineView>

#include <cstdio>

int main(int argc, char* argv[]) {
    QElapsedTimer sinceStart;
    sinceStart.start();
    tavrel::gui::prepareWebEngine();
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("orlemo"));
    QApplication::setApplicationName(QStringLiteral("ソラテ"));
    QApplication::setApplicationVersion(QStringLiteral(TAVREL_VERSION));

    const QString program = QFileInfo(QApplication::applicationFilePath()).completeBaseName();
    tavrel::gui::SingleInstance instance(program);
    if (instance.claim() == tavrel::gui::SingleInstance::Claim::AskedRunningCopy) return 0;

    tavrel::gui::StartOptions options;
    options.executableFolder = QApplication::applicationDirPath();
    options.userDataFolder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(options.userDataFolder);
    options.splash = !QApplication::arguments().contains(QStringLiteral("--no-splash"));

    // --measure-startup: report the time until the first page has loaded, then end.
    const bool measure = QApplication::arguments().contains(QStringLiteral("--measure-startup"));
    if (measure) options.splash = false;

    tavrel::gui::TavrelApplication tavrel(options);
    if (!tavrel.start()) return 1;
    if (measure) {
        // Where the collection was found (the installed layout reads it from
        // ../share/tavrel beside the program).
        std::printf("data folder %s\n", tavrel.document()->programFolder().c_str());
        std::fflush(stdout);
        QObject::connect(tavrel.mainWindow()->textView(), &QWebEngineView::loadFinished, tavrel.mainWindow(),
                         [&sinceStart](bool ok) {
                             std::printf("first page %s after %lld ms\n", ok ? "shown" : "failed",
                                         static_cast<long long>(sinceStart.elapsed()));
                             std::fflush(stdout);
                             QApplication::exit(ok ? 0 : 1);
                         });
    }
    QObject::connect(&instance, &tavrel::gui::SingleInstance::activationRequested, tavrel.mainWindow(),
                     &tavrel::gui::MainWindow::bringToFront);
    return QApplication::exec();
}
