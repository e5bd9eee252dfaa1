// Page builds: a typical article (chapter caption, twenty sentences over
// three levels with long parentheticals, unit exponents and an inserted
// two-piece table), a large page of 1,000 sentences in full, and from the
// sample collection an ordinary article, a notification with its revision
// history and the largest article. Each benchmark also reads the page's rows
// straight from the file and joins their texts (the simplest page there
// can be), reporting base_ms and ratio.
#include "render/page_builder.h"
#include "text/sjis.h"

#include "fixtures.h"

namespace {

using namespace tavrel;
using namespace tavrel::bench;

// page: 0 typical article, 1 large page in full, 2 large page as first shown
// (truncated), 3 sample article 第20条, 4 sample notification with history,
// 5 sample article 第2条 (用語の定義, large).
struct PageCase {
    const char* name;
    bool synthetic;
    const char* id;
    bool full;
};
const PageCase kPages[] = {
    {"typical article", true, kTypicalArticle, false},
    {"1,000 sentences in full", true, kLargeArticle, true},
    {"1,000 sentences first display", true, kLargeArticle, false},
    {"sample article", false, "01B-00230000-00", false},
    {"sample notification with history", false, "01K-KD121400-00", false},
    {"sample large article in full", false, "01A-00020000-00", true},
};

void BM_BuildPage(benchmark::State& state) {
    const PageCase& page = kPages[state.range(0)];
    const std::string& folder = page.synthetic ? pageCollectionFolder() : collectionFolder("sample");
    StartedDocument d(folder);
    if (!d.started) {
        state.SkipWithError("start-up failed");
        return;
    }
    // The pages as they were measured before the 被引用 block (bench_citations
    // measures the block).
    d.doc->setCitedByShown(false);
    render::PageBuilder builder(*d.doc);
    builder.setFullPageRequest(page.full);
    std::string html;
    const auto build = [&] {
        if (!builder.buildPage(page.id, html)) state.SkipWithError("page not built");
    };
    for (auto _ : state) {
        build();
        benchmark::DoNotOptimize(html.data());
    }
    const std::string prefix = std::string(page.id).substr(0, 15);
    std::string joined;
    compareWithBaseline(state, 20, build, [&] {
        joined.clear();
        joined.resize(
            readAllRows(folder, {"SELECT * FROM T_文 WHERE substr(ID_BN, 1, 15) = '" + prefix + "' ORDER BY ID_BN"}));
    });
    state.counters["page_bytes"] = static_cast<double>(html.size());
    state.counters["messages"] = d.sink.shown;
    state.SetLabel(page.name);
}
BENCHMARK(BM_BuildPage)->DenseRange(0, 5)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
