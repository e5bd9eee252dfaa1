// Tavrel: the reader of the building statutes.
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "app/application.h"
#include "app/cmainframe.h"
#include "app/single_instance.h"

int main(int argc, char* argv[]) {
    tavrel::gui::prepareWebEngine();
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("orlemo"));
    QApplication::setApplicationName(QStringLiteral("ソラテ"));
    QApplication::setApplicationVersion(QStringLiteral(TAVREL_VERSION));

    const QString program = QFileInfo(QApplication::applicationFilePath()).completeBaseName();
    tavrel::gui::SingleInstance instance(program);
    if (instance.askRunningCopy()) return 0;
    instance.listen();

    tavrel::gui::StartOptions options;
    options.executableFolder = QApplication::applicationDirPath();
    options.userDataFolder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(options.userDataFolder);
    options.splash = !QApplication::arguments().contains(QStringLiteral("--no-splash"));

    tavrel::gui::TavrelApplication tavrel(options);
    if (!tavrel.start()) return 1;
    QObject::connect(&instance, &tavrel::gui::SingleInstance::activationRequested, tavrel.mainFrame(),
                     &tavrel::gui::CMainFrame::bringToFront);
    return QApplication::exec();
}
