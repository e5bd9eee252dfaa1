#include "app/citation_index_loader.h"

#include <QLoggingCategory>
#include <QMetaObject>

#include <exception>

namespace tavrel::gui {

namespace {
Q_LOGGING_CATEGORY(lcCitations, "tavrel.citations")
}

CitationIndexLoader::CitationIndexLoader(QObject* parent) : QObject(parent) {}

CitationIndexLoader::~CitationIndexLoader() {
    if (worker_.joinable()) worker_.join();
}

void CitationIndexLoader::start(const std::string& databaseFile) {
    if (started_) return;
    started_ = true;
    worker_ = std::thread([this, file = databaseFile]() {
        std::shared_ptr<const citations::CitationIndex> index;
        try {
            index = std::make_shared<const citations::CitationIndex>(citations::loadCitationIndex(file));
        } catch (const std::exception& e) {
            qCWarning(lcCitations, "cannot build the cited-by index: %s", e.what());
            return;
        }
        // Delivered on the window's thread; dropped if this object is gone
        // (its destructor waits for this thread first).
        QMetaObject::invokeMethod(
            this, [this, index]() { emit indexReady(index); }, Qt::QueuedConnection);
    });
}

}  // namespace tavrel::gui
