// The program's start-up and shutdown: settings store, message boxes, the
// document on the data folder, the page environment and the main frame.
#pragma once

#include <QString>

#include <memory>

namespace tavrel {
class Document;
class DocumentNavigation;
class SettingsStore;
}  // namespace tavrel

namespace tavrel::gui {

class MainWindow;
class QtMessageSink;
class WebEnvironment;

struct StartOptions {
    // Folder of the executable (the data folder is found from it).
    QString executableFolder;
    // Where the program writes when the data folder is read-only.
    QString userDataFolder;
    bool splash = true;
    // How long the splash window stays (tests lengthen it).
    int splashMilliseconds = 750;
    // Tests: message boxes are answered without being shown.
    bool answerMessagesInAdvance = false;
    // Tests: a settings file instead of the user's store.
    QString settingsFile;
};

class TavrelApplication {
  public:
    explicit TavrelApplication(StartOptions options);
    ~TavrelApplication();

    // Opens the document and shows the main window; false when the document
    // could not start (its messages have been shown).
    bool start();

    MainWindow* mainWindow() const { return frame_.get(); }
    Document* document() const { return doc_.get(); }
    DocumentNavigation* navigation() const { return navigation_.get(); }
    SettingsStore& settings() const { return *settings_; }
    QtMessageSink& messages() const { return *sink_; }

    // Closes the document once (placement saved by the frame before).
    void closeDocument();

  private:
    StartOptions options_;
    std::unique_ptr<SettingsStore> settings_;
    std::unique_ptr<QtMessageSink> sink_;
    std::unique_ptr<Document> doc_;
    std::unique_ptr<DocumentNavigation> navigation_;
    std::unique_ptr<WebEnvironment> web_;
    std::unique_ptr<MainWindow> frame_;
    bool started_ = false;
    bool closed_ = false;
};

// Sets what the browser engine needs before the application object exists:
// the page scheme, and (for root, which the engine's sandbox refuses) the
// sandbox switch.
void prepareWebEngine();

}  // namespace tavrel::gui
