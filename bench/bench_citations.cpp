// The 被引用 index and block: building the index of a whole collection (from
// an open read-only connection, as the program does in the background),
// against one pass over every sentence text of the file (the rows as the file
// holds them, read on a fresh read-only handle); and the block's
// share of a page build (the same page with the block off is the baseline).
#include "citations/citation_index.h"
#include "database/schema.h"
#include "render/page_builder.h"

#include "fixtures.h"

#include <sqlite3.h>

namespace {

using namespace tavrel;
using namespace tavrel::bench;

sqlite3* openReadOnly(const std::string& folder) {
    sqlite3* db = nullptr;
    sqlite3_open_v2((folder + db::kDatabaseFileName).c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    return db;
}

// collection: 0 sample, 1 2008, 2 large.
void BM_BuildCitationIndex(benchmark::State& state) {
    const std::string& folder = collectionFolder(collectionName(state.range(0)));
    size_t rows = 0;
    // As the program does it: a read-only connection of its own, opened and closed.
    const auto build = [&] { rows = citations::loadCitationIndex(folder + db::kDatabaseFileName).rows().size(); };
    for (auto _ : state) build();
    compareWithBaseline(state, 3, build, [&] {
        benchmark::DoNotOptimize(readAllRows(folder, {"SELECT ID_BN, 法文 FROM T_文"}));
    });
    state.counters["citations"] = static_cast<double>(rows);
    state.SetLabel(collectionName(state.range(0)));
}
BENCHMARK(BM_BuildCitationIndex)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->Iterations(1);

// page: 0 sample 建築基準法第2条 in full, 1 sample 別表第一, 2 the page of the
// large collection cited most, in full.
void BM_PageWithCitedByBlock(benchmark::State& state) {
    const bool large = state.range(0) == 2;
    const std::string& folder = collectionFolder(large ? "large" : "sample");
    StartedDocument d(folder);
    if (!d.started || !d.doc->hasCitationTable()) {
        state.SkipWithError("start-up failed or no index table");
        return;
    }
    std::string id = state.range(0) == 1 ? "01A-T0010000-00" : "01A-00020000-00";
    if (large) {
        sqlite3* db = openReadOnly(folder);
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db, "SELECT ID_FN FROM T_被引用 GROUP BY ID_FN ORDER BY count(*) DESC LIMIT 1", -1, &st,
                           nullptr);
        if (sqlite3_step(st) == SQLITE_ROW) id = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
        sqlite3_finalize(st);
        sqlite3_close(db);
    }
    render::PageBuilder builder(*d.doc);
    builder.setFullPageRequest(true);
    std::string html;
    const auto build = [&] {
        if (!builder.buildPage(id, html)) state.SkipWithError("page not built");
    };
    for (auto _ : state) build();
    const size_t withBlock = html.size();
    d.doc->setCitedByShown(true);
    const double on = bestMs(20, build);
    d.doc->setCitedByShown(false);
    const double off = bestMs(20, build);
    state.counters["cpu_ms"] = on;
    state.counters["base_ms"] = off;
    state.counters["block_ms"] = on - off;
    state.counters["block_bytes"] = static_cast<double>(withBlock - html.size());
    state.SetLabel(id);
}
BENCHMARK(BM_PageWithCitedByBlock)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
