// Builds the 被引用 index of a collection that has no table of it, on a
// thread of its own with a read-only connection of its own, so that the
// window never waits for it. The finished index is handed over on the
// window's thread (indexReady); nothing else is shared with the thread.
#pragma once

#include "citations/citation_index.h"

#include <QObject>

#include <memory>
#include <string>
#include <thread>

namespace tavrel::gui {

class CitationIndexLoader : public QObject {
    Q_OBJECT
  public:
    explicit CitationIndexLoader(QObject* parent = nullptr);
    // Waits for a build still running (well under a second).
    ~CitationIndexLoader() override;

    // Starts the build of databaseFile (a native path); once only.
    void start(const std::string& databaseFile);
    bool started() const { return started_; }

  signals:
    void indexReady(std::shared_ptr<const tavrel::citations::CitationIndex> index);

  private:
    std::thread worker_;
    bool started_ = false;
};

}  // namespace tavrel::gui
