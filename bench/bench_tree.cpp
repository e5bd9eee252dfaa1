// Document start-up (database open, law and article tables, marker files),
// the contents tree, the article list of one law and the law selector, on the
// sample, "2008" and "large" collections. Each benchmark also reads, in the
// same process, the rows it needs straight from the file (a raw SQLite
// handle, no conversion) and reports base_ms and ratio.
//
// Argument: collection (0 sample, 1 2008, 2 large).
#include "database/connection.h"
#include "database/schema.h"
#include "navigator/contents_tree.h"
#include "navigator/list_rows.h"
#include "text/sjis.h"

#include "fixtures.h"

namespace {

using namespace tavrel;
using namespace tavrel::bench;

const std::vector<std::string> kStartRows = {"SELECT * FROM T_法", "SELECT * FROM T_条"};
const std::vector<std::string> kTreeRows = {"SELECT * FROM T_法", "SELECT * FROM T_章",
                                            "SELECT ID_FN, ID_SN, 条名, 分割, 表示 FROM T_条 ORDER BY ID_FN"};

void openConnection(db::Connection& con, const std::string& folder) {
    con.open(text::format(db::kConnectionTextFormat, text::fromUtf8(folder + db::kDatabaseFileName).c_str()),
             db::kConnectionUser, db::kConnectionUserPassword, -1);
}

void BM_DocumentStartUp(benchmark::State& state) {
    const std::string& folder = collectionFolder(collectionName(state.range(0)));
    const auto startUp = [&] {
        StartedDocument d(folder);
        if (!d.started) state.SkipWithError("start-up failed");
    };
    for (auto _ : state) startUp();
    compareWithBaseline(state, 5, startUp, [&] { readAllRows(folder, kStartRows); });
    state.SetLabel(collectionName(state.range(0)));
}
BENCHMARK(BM_DocumentStartUp)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

void BM_BuildContentsTree(benchmark::State& state) {
    const std::string& folder = collectionFolder(collectionName(state.range(0)));
    db::Connection con;
    openConnection(con, folder);
    SilentSink sink;
    nav::TreeModel tree;
    const auto build = [&] {
        if (!tree.fill(con, sink)) state.SkipWithError("tree build failed");
    };
    for (auto _ : state) {
        build();
        benchmark::DoNotOptimize(tree.size());
    }
    compareWithBaseline(state, 5, build, [&] { readAllRows(folder, kTreeRows); });
    state.counters["nodes"] = static_cast<double>(tree.size());
    state.SetLabel(collectionName(state.range(0)));
}
BENCHMARK(BM_BuildContentsTree)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// What the program does before the tree is shown: start-up, then the tree.
void BM_StartUpAndContentsTree(benchmark::State& state) {
    const std::string& folder = collectionFolder(collectionName(state.range(0)));
    const auto both = [&] {
        StartedDocument d(folder);
        nav::TreeModel tree;
        if (!d.started || !tree.fill(d.doc->connection(), d.sink)) state.SkipWithError("start-up or tree failed");
        benchmark::DoNotOptimize(tree.size());
    };
    for (auto _ : state) both();
    std::vector<std::string> rows = kStartRows;
    rows.insert(rows.end(), kTreeRows.begin(), kTreeRows.end());
    compareWithBaseline(state, 5, both, [&] { readAllRows(folder, rows); });
    state.SetLabel(collectionName(state.range(0)));
}
BENCHMARK(BM_StartUpAndContentsTree)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

void BM_ArticleListOfOneLaw(benchmark::State& state) {
    const std::string& folder = collectionFolder(collectionName(state.range(0)));
    db::Connection con;
    openConnection(con, folder);
    SilentSink sink;
    nav::ArticleListModel list;
    const auto show = [&] {
        if (!list.fill(con, sink, "01A")) state.SkipWithError("list failed");
    };
    for (auto _ : state) {
        show();
        benchmark::DoNotOptimize(list.size());
    }
    compareWithBaseline(state, 20, show, [&] {
        readAllRows(folder, {"SELECT ID_FN, 条名, 分割 FROM T_条 WHERE substr(ID_FN, 1, 3) = '01A' AND 表示 = -1 "
                             "ORDER BY ID_FN"});
    });
    state.counters["rows"] = list.size();
    state.SetLabel(collectionName(state.range(0)));
}
BENCHMARK(BM_ArticleListOfOneLaw)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

void BM_LawSelector(benchmark::State& state) {
    const std::string& folder = collectionFolder(collectionName(state.range(0)));
    db::Connection con;
    openConnection(con, folder);
    SilentSink sink;
    nav::LawSelectorModel combo;
    const auto init = [&] {
        if (!combo.fill(con, sink)) state.SkipWithError("selector failed");
    };
    for (auto _ : state) {
        init();
        benchmark::DoNotOptimize(combo.entries().size());
    }
    compareWithBaseline(state, 20, init, [&] { readAllRows(folder, {"SELECT * FROM T_法 WHERE 表示 = -1"}); });
    state.counters["entries"] = static_cast<double>(combo.entries().size());
    state.SetLabel(collectionName(state.range(0)));
}
BENCHMARK(BM_LawSelector)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
