// Full-text search with one, two and three words, common and rare, on the
// sample, "2008" (about 5,000 pages) and "large" (about 20,000 pages)
// collections: by the in-memory index the program uses, by the three
// statements per word (the reference path), and against the baseline of one
// memmem pass per word over every searchable text held in memory. Each
// search benchmark also times the baseline in the same process and reports
// scan_ms and ratio = this path's time / baseline time.
//
// Arguments: collection (0 sample, 1 2008, 2 large), word set (0..5).
#include "navigator/search.h"
#include "navigator/search_index.h"
#include "text/sjis.h"

#include "fixtures.h"

#include <algorithm>
#include <chrono>
#include <map>
#include <memory>
#include <thread>

namespace {

using namespace tavrel;
using namespace tavrel::bench;

// clang-format off
const char* const kWordSets[][3] = {
    {"建築物", nullptr, nullptr},       // one common word
    {"石綿", nullptr, nullptr},         // one rare word
    {"建築物", "構造", nullptr},        // two common
    {"排煙", "採光", nullptr},          // two rare
    {"建築物", "構造", "基準"},         // three common
    {"石綿", "排煙", "建築物"},         // two rare and a common one
};
// clang-format on

std::vector<std::string> words(int64_t set) {
    std::vector<std::string> out;
    for (const char* w : kWordSets[set])
        if (w) out.push_back(text::fromUtf8(w));
    return out;
}

std::string joined(const std::vector<std::string>& ws) {
    std::string t;
    for (const std::string& w : ws) t += (t.empty() ? "" : " ") + w;
    return t;
}

// One document, one indexed and one reference list, one baseline text per
// collection, made on first use.
struct SearchFixture {
    explicit SearchFixture(const std::string& folder) : started(folder), scan(folder) {
        indexed = std::make_unique<nav::SearchResults>(*started.doc);
        reference = std::make_unique<nav::SearchResults>(*started.doc);
        reference->setIndexEnabled(false);
    }
    StartedDocument started;
    ScanTexts scan;
    std::unique_ptr<nav::SearchResults> indexed, reference;
};

SearchFixture& fixture(int64_t collection) {
    static std::map<int64_t, std::unique_ptr<SearchFixture>> made;
    auto& f = made[collection];
    if (!f) f = std::make_unique<SearchFixture>(collectionFolder(collectionName(collection)));
    return *f;
}

void runSearch(benchmark::State& state, bool useIndex) {
    SearchFixture& f = fixture(state.range(0));
    if (!f.started.started) {
        state.SkipWithError("start-up failed");
        return;
    }
    nav::SearchResults& list = useIndex ? *f.indexed : *f.reference;
    if (useIndex && !list.prepareIndex()) {
        state.SkipWithError("no index");
        return;
    }
    const std::vector<std::string> ws = words(state.range(1));
    const std::string text = joined(ws);
    for (auto _ : state) {
        if (!list.searchAllPages(text)) {
            state.SkipWithError("search failed");
            return;
        }
        benchmark::DoNotOptimize(list.records().data());
    }
    // The same search and the baseline, timed side by side.
    const int reps = useIndex ? 5 : 1;
    const double mine = bestMs(reps, [&] { list.searchAllPages(text); });
    size_t scanned = 0;
    const double scan = bestMs(5, [&] { scanned = f.scan.pagesHoldingAll(ws); });
    state.counters["pages_found"] = static_cast<double>(list.records().size());
    state.counters["scan_pages"] = static_cast<double>(scanned);
    state.counters["cpu_ms"] = mine;
    state.counters["scan_ms"] = scan;
    state.counters["ratio"] = mine / scan;
    state.SetLabel(collectionName(state.range(0)));
}

void BM_SearchIndexed(benchmark::State& state) { runSearch(state, true); }
BENCHMARK(BM_SearchIndexed)->ArgsProduct({{0, 1, 2}, {0, 1, 2, 3, 4, 5}})->Unit(benchmark::kMillisecond)->MinTime(0.2);

void BM_SearchStatements(benchmark::State& state) { runSearch(state, false); }
BENCHMARK(BM_SearchStatements)
    ->ArgsProduct({{0, 1, 2}, {0, 1, 2, 3, 4, 5}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);

// The identifier sets alone (what the index adds), without the result rows.
void BM_SearchIndexFind(benchmark::State& state) {
    SearchFixture& f = fixture(state.range(0));
    if (!f.indexed->prepareIndex()) {
        state.SkipWithError("no index");
        return;
    }
    const nav::SearchIndex& index = *f.indexed->index();
    const std::vector<std::string> ws = words(state.range(1));
    size_t found = 0;
    for (auto _ : state) {
        found = index.findAll(ws).size();
        benchmark::DoNotOptimize(found);
    }
    const double mine = bestMs(5, [&] { found = index.findAll(ws).size(); });
    const double scan = bestMs(5, [&] { benchmark::DoNotOptimize(f.scan.pagesHoldingAll(ws)); });
    state.counters["pages_found"] = static_cast<double>(found);
    state.counters["cpu_ms"] = mine;
    state.counters["scan_ms"] = scan;
    state.counters["ratio"] = mine / scan;
    state.SetLabel(collectionName(state.range(0)));
}
BENCHMARK(BM_SearchIndexFind)
    ->ArgsProduct({{0, 1, 2}, {0, 1, 2, 3, 4, 5}})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(0.2);

// The baseline alone: one memmem pass per word over the texts in memory.
void BM_ScanBaseline(benchmark::State& state) {
    SearchFixture& f = fixture(state.range(0));
    const std::vector<std::string> ws = words(state.range(1));
    size_t found = 0;
    for (auto _ : state) {
        found = f.scan.pagesHoldingAll(ws);
        benchmark::DoNotOptimize(found);
    }
    state.counters["pages_found"] = static_cast<double>(found);
    state.counters["text_MB"] = static_cast<double>(f.scan.bytes()) / 1e6;
    state.SetLabel(collectionName(state.range(0)));
}
BENCHMARK(BM_ScanBaseline)->ArgsProduct({{0, 1, 2}, {0, 4}})->Unit(benchmark::kMillisecond)->MinTime(0.2);

// Reading the index at the first search, with the resident memory after it.
void BM_SearchIndexRead(benchmark::State& state) {
    SearchFixture& f = fixture(state.range(0));
    size_t bytes = 0, pages = 0;
    for (auto _ : state) {
        const auto index = nav::SearchIndex::build(f.started.doc->connection());
        bytes = index->textBytes();
        pages = index->pageCount();
        benchmark::DoNotOptimize(index.get());
    }
    state.counters["index_MB"] = static_cast<double>(bytes) / 1e6;
    state.counters["pages"] = static_cast<double>(pages);
    addMemoryCounter(state);
    state.SetLabel(collectionName(state.range(0)));
}
BENCHMARK(BM_SearchIndexRead)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->Iterations(3);

// The window thread's share of the first search (three common words),
// processor time of this thread: mode 0 reads the index on this thread at
// the first search; mode 1 starts the read on a worker thread (as the
// program does once the first page is shown), lets it end, then searches.
// wait_ms is the clock time the worker needed.
void BM_FirstSearchWindowThread(benchmark::State& state) {
    SearchFixture& f = fixture(state.range(0));
    const bool background = state.range(1) == 1;
    const std::string text = joined(words(4));
    double best = 1e300, waited = 0;
    size_t found = 0;
    for (auto _ : state) {
        nav::SearchResults list(*f.started.doc);
        double cpu = 0;
        if (background) {
            double t = threadCpuMs();
            list.startIndexRead();
            cpu += threadCpuMs() - t;
            const auto w0 = std::chrono::steady_clock::now();
            while (list.indexReadRunning()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
            waited = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - w0).count();
            t = threadCpuMs();
            list.searchAllPages(text);
            cpu += threadCpuMs() - t;
        } else {
            const double t = threadCpuMs();
            list.searchAllPages(text);
            cpu = threadCpuMs() - t;
        }
        found = list.records().size();
        best = std::min(best, cpu);
    }
    state.counters["cpu_ms"] = best;
    state.counters["pages_found"] = static_cast<double>(found);
    if (background) state.counters["wait_ms"] = waited;
    state.SetLabel(std::string(collectionName(state.range(0))) + (background ? " background" : " first search"));
}
BENCHMARK(BM_FirstSearchWindowThread)->ArgsProduct({{0, 1, 2}, {0, 1}})->Unit(benchmark::kMillisecond)->Iterations(3);

// Words holding "%" or "_", which the statements' Like reads as wildcards:
// the statements find the candidates, then only the pages holding the word
// as typed are kept, checked in the index once it is read (mode 1) or by a
// statement per page (mode 0, the index off).
const char* const kPatternWords[] = {"50%", "建_物", "第_条", "_"};

void BM_SearchPatternWord(benchmark::State& state) {
    SearchFixture& f = fixture(state.range(0));
    const bool withIndex = state.range(2) == 1;
    nav::SearchResults& list = withIndex ? *f.indexed : *f.reference;
    if (withIndex && !list.prepareIndex()) {
        state.SkipWithError("no index");
        return;
    }
    const std::string word = text::fromUtf8(kPatternWords[state.range(1)]);
    std::vector<std::string> ids;
    for (auto _ : state) {
        if (!list.searchOneWord(word, ids)) {
            state.SkipWithError("search failed");
            return;
        }
        benchmark::DoNotOptimize(ids.data());
    }
    state.counters["cpu_ms"] = bestMs(withIndex ? 3 : 1, [&] { list.searchOneWord(word, ids); });
    state.counters["pages_found"] = static_cast<double>(ids.size());
    state.SetLabel(std::string(collectionName(state.range(0))) + " " + kPatternWords[state.range(1)] +
                   (withIndex ? " index" : " per page"));
}
BENCHMARK(BM_SearchPatternWord)
    ->ArgsProduct({{0, 1, 2}, {0, 1, 2, 3}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
