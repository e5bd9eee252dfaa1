// What the window tests share: the program started on a copy of the sample
// collection (SampleProgram), and reading the shown page through JavaScript.
#pragma once

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QSettings>
#include <QString>
#include <QTemporaryDir>
#include <QTest>
#include <QVariant>
#include <QWebEnginePage>

#include <memory>

#include "app/application.h"
#include "app/main_window.h"
#include "document/document.h"
#include "textview/gui/law_text_view.h"

namespace tavrel::testing {

// Copies the folder from, with everything below it, to the folder to.
inline bool copyFolder(const QString& from, const QString& to) {
    QDir().mkpath(to);
    QDirIterator it(from, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString target = to + QLatin1Char('/') + QDir(from).relativeFilePath(path);
        if (it.fileInfo().isDir())
            QDir().mkpath(target);
        else if (!QFile::copy(path, target))
            return false;
    }
    return true;
}

// Runs script in the page and waits (at most 15 s) for its value.
inline QVariant evaluate(QWebEnginePage* page, const QString& script) {
    QVariant result;
    bool done = false;
    page->runJavaScript(script, [&](const QVariant& v) {
        result = v;
        done = true;
    });
    QElapsedTimer t;
    t.start();
    while (!done && t.elapsed() < 15000) QTest::qWait(20);
    return result;
}

inline QString bodyText(gui::LawTextView* view) {
    return evaluate(view->page(), QStringLiteral("document.body ? document.body.innerText : ''")).toString();
}

// Waits (at most 20 s) until the shown page's text contains text.
inline bool waitForText(gui::LawTextView* view, const QString& text) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 20000) {
        if (bodyText(view).contains(text)) return true;
        QTest::qWait(100);
    }
    return false;
}

// The program as a window test runs it: a temporary folder holding a copy of
// the built sample collection in bin/ (the program's folder), the settings
// in settings.ini and the user's files in user/; message boxes answered in
// advance. One per test function: prepare() in init(), finish() in cleanup().
class SampleProgram {
  public:
    // A fresh folder with the collection copied in; the test fails when it
    // cannot be made.
    void prepare() {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        dataFolder_ = dir_->filePath(QStringLiteral("bin"));
        settingsFile_ = dir_->filePath(QStringLiteral("settings.ini"));
        const QString built = QStringLiteral(TAVREL_BINARY_DIR) + QStringLiteral("/bin");
        QVERIFY2(QFile::exists(built + QStringLiteral("/TL2008.orl")), "the sample collection has not been built");
        QDir().mkpath(dataFolder_);
        for (const char* name : {"TL2008.orl", "default.ppj", "help08.html"})
            QVERIFY(QFile::copy(built + QLatin1Char('/') + QLatin1String(name),
                                dataFolder_ + QLatin1Char('/') + QLatin1String(name)));
        QVERIFY(copyFolder(built + QStringLiteral("/images08"), dataFolder_ + QStringLiteral("/images08")));
        if (QDir(built + QStringLiteral("/manual")).exists())
            QVERIFY(copyFolder(built + QStringLiteral("/manual"), dataFolder_ + QStringLiteral("/manual")));
    }

    // Starts the program and waits until its window is on the screen and,
    // without a splash window, until the start page has loaded (so that a
    // test never races the first load).
    void start(bool splash = false, int splashMilliseconds = 750) {
        gui::StartOptions o;
        o.executableFolder = dataFolder_;
        o.userDataFolder = dir_->filePath(QStringLiteral("user"));
        o.splash = splash;
        o.splashMilliseconds = splashMilliseconds;
        o.answerMessagesInAdvance = true;
        o.settingsFile = settingsFile_;
        app_ = std::make_unique<gui::TavrelApplication>(o);
        QVERIFY(app_->start());
        QVERIFY(QTest::qWaitForWindowExposed(frame()));
        if (!splash) QTRY_VERIFY_WITH_TIMEOUT(view()->loadsFinished() > 0, 20000);
    }
    // Makes the main window the active one (keys go to the active window).
    void activate() {
        frame()->activateWindow();
        QTRY_VERIFY(QApplication::activeWindow() == frame());
    }
    // Ends the program; the folder stays, for a restart to read what it wrote.
    void stop() { app_.reset(); }
    // Ends the program and removes the folder.
    void finish() {
        app_.reset();
        dir_.reset();
    }

    gui::TavrelApplication* app() const { return app_.get(); }
    gui::MainWindow* frame() const { return app_->mainWindow(); }
    gui::LawTextView* view() const { return frame()->textView(); }
    Document& doc() const { return *app_->document(); }

    // A path inside the temporary folder.
    QString path(const QString& name) const { return dir_->filePath(name); }
    const QString& dataFolder() const { return dataFolder_; }
    const QString& settingsFile() const { return settingsFile_; }
    void writeSetting(const QString& key, const QVariant& value) const {
        QSettings s(settingsFile_, QSettings::IniFormat);
        s.setValue(key, value);
    }
    QVariant readSetting(const QString& key) const {
        QSettings s(settingsFile_, QSettings::IniFormat);
        return s.value(key);
    }

  private:
    std::unique_ptr<QTemporaryDir> dir_;
    QString dataFolder_;
    QString settingsFile_;
    std::unique_ptr<gui::TavrelApplication> app_;
};

}  // namespace tavrel::testing
