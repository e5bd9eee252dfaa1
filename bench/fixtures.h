// Shared pieces of the benchmark programs: a message sink that answers
// nothing, temporary folders, the collections measured (the sample, the
// "2008" and "large" presets, generated once and kept in the build folder),
// a document started on a collection, the synthetic page collection of the
// page-builder benchmarks, and the in-memory text the search baseline scans.
#pragma once

#include "database/message_sink.h"
#include "document/document.h"
#include "document/settings_store.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;

namespace tavrel::bench {

class SilentSink : public MessageSink {
  public:
    MsgAnswer show(const std::string&, const std::string&, MsgButtons, MsgIcon, bool) override {
        ++shown;
        return MsgAnswer::Ok;
    }
    int shown = 0;
};

// A fresh folder under the system's temporary folder, removed with its
// contents at the end.
class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& path() const { return path_; }  // ends with "/"
  private:
    std::string path_;
};

void exec(sqlite3* db, const std::string& sql);

// The collections measured, by name: "sample", "2008", "large". The
// generated ones are written once to <build>/bench-collections/<name>/ and
// reused. Returns the data folder (ends with "/"); throws on failure.
const std::string& collectionFolder(const std::string& name);
// Names of the collections by benchmark argument: 0 sample, 1 2008, 2 large.
const char* collectionName(int64_t index);

// A document started on a data folder, writing into its own temporary folder.
struct StartedDocument {
    explicit StartedDocument(const std::string& dataFolder);
    bool started = false;
    TempFolder user;
    MemorySettingsStore settings;
    SilentSink sink;
    std::unique_ptr<Document> doc;
};

// The synthetic page collection: "01A-00200000-00", a typical article of a
// chapter caption, twenty sentences over three levels with long
// parentheticals, unit exponents and an inserted two-piece table; and
// "01A-00210000-00", a large page (大型) of 1,000 sentences. Made once per
// process in a temporary folder; returns the data folder.
const std::string& pageCollectionFolder();
inline constexpr const char* kTypicalArticle = "01A-00200000-00";
inline constexpr const char* kLargeArticle = "01A-00210000-00";

// Every searchable text of a collection (captions, sentence and table
// search data, CP932) held in memory page by page, read straight from the
// file; the simplest search is one memmem pass per word over it.
class ScanTexts {
  public:
    explicit ScanTexts(const std::string& dataFolder);
    // Number of pages holding every word (one full pass per word).
    size_t pagesHoldingAll(const std::vector<std::string>& words) const;
    size_t bytes() const { return text_.size(); }

  private:
    std::string text_;
    std::vector<size_t> begin_;  // page i: text_[begin_[i], begin_[i + 1])
};

// The resident memory of this process now (VmRSS), in MB, as counter rss_MB.
void addMemoryCounter(benchmark::State& state);

// The processor time of this thread, in milliseconds: on a shared machine
// it varies far less than the time on the clock.
double threadCpuMs();

// The best of reps runs of f, in milliseconds of processor time.
template <class F>
double bestMs(int reps, F&& f) {
    double best = 1e300;
    for (int i = 0; i < reps; ++i) {
        const double t0 = threadCpuMs();
        f();
        best = std::min(best, threadCpuMs() - t0);
    }
    return best;
}

// Counters cpu_ms (this benchmark's operation), base_ms (the simplest way to
// get the same rows or text) and ratio = ms / base_ms, both timed here.
template <class F, class B>
void compareWithBaseline(benchmark::State& state, int reps, F&& mine, B&& baseline) {
    const double m = bestMs(reps, mine);
    const double b = bestMs(reps, baseline);
    state.counters["cpu_ms"] = m;
    state.counters["base_ms"] = b;
    state.counters["ratio"] = m / b;
}

// Reads every row of a statement on a raw read-only handle of a
// collection's database, touching each column's text; returns the bytes.
size_t readAllRows(const std::string& dataFolder, const std::vector<std::string>& utf8Sql);

}  // namespace tavrel::bench
