// Time of a full-text search with one, two and three words, common and rare,
// on a generated collection of 20 laws x 100 articles x 10 sentences (with a
// table every tenth article), against a baseline: one pass of plain
// substring scanning over all searchable texts (captions, sentences, tables)
// held in memory, collecting the pages that hold every word.
#include "database/schema.h"
#include "document/ctavreldoc.h"
#include "document/settings_store.h"
#include "navigator/search.h"
#include "text/sjis.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <set>
#include <sqlite3.h>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace tavrel;

constexpr int kLaws = 20, kArticles = 100, kSentences = 10;

class SilentSink : public MessageSink {
  public:
    MsgAnswer show(const std::string&, const std::string&, MsgButtons, MsgIcon, bool) override { return MsgAnswer::Ok; }
};

void exec(sqlite3* db, const std::string& sql) {
    char* message = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
        const std::string text = message ? message : "sqlite error";
        sqlite3_free(message);
        throw std::runtime_error(text);
    }
}

// clang-format off
const char* const kVocabulary[] = {
    "建築物", "の", "敷地", "構造", "耐力", "壁", "柱", "床", "屋根", "階段", "について", "は", "を", "に",
    "政令", "で定める", "基準", "に適合", "しなければならない", "。", "、", "居室", "採光", "換気", "防火",
    "準耐火", "延焼", "道路", "容積率", "建蔽率", "高さ", "日影", "用途", "地域", "工作物", "設備", "昇降機",
    "排水", "給水", "電気", "避難", "通路", "（", "）", "第一号", "第二号", "及び", "又は", "若しくは",
};
// clang-format on
constexpr size_t kVocabularySize = sizeof kVocabulary / sizeof kVocabulary[0];

struct Collection {
    ~Collection() {
        std::error_code ec;
        if (!folder.empty()) std::filesystem::remove_all(folder, ec);
    }
    std::string folder;
    // Every searchable text with the page it belongs to (CP932), as the
    // baseline keeps it in memory.
    std::vector<std::pair<std::string, std::string>> texts;  // (ID_FN, text)
};

Collection& collection() {
    static std::unique_ptr<Collection> c = [] {
        auto made = std::make_unique<Collection>();
        std::string pattern = (std::filesystem::temp_directory_path() / "tavrel-bench-search-XXXXXX").string();
        if (!mkdtemp(pattern.data())) throw std::runtime_error("no temporary folder");
        made->folder = pattern + "/";
        const std::string path = made->folder + db::kDatabaseFileName;
        if (!db::createDatabaseFile(path)) throw std::runtime_error("no database");
        sqlite3* db = nullptr;
        sqlite3_open(path.c_str(), &db);
        exec(db, "BEGIN");
        unsigned seed = 12345;
        const auto next = [&] { return seed = seed * 1103515245u + 12345u, (seed >> 16) & 0x7FFF; };
        char id[64];
        for (int law = 1; law <= kLaws; ++law) {
            std::snprintf(id, sizeof id, "%02dA", law);
            const std::string hn = id;
            exec(db, "INSERT INTO T_法 VALUES ('" + hn + "', '法" + std::to_string(law) + "', 'x', 'x', -1)");
            for (int article = 1; article <= kArticles; ++article) {
                std::snprintf(id, sizeof id, "%s-%04d0000-00", hn.c_str(), article);
                const std::string fn = id;
                const std::string caption =
                    std::string(kVocabulary[next() % kVocabularySize]) + kVocabulary[next() % kVocabularySize];
                exec(db, "INSERT INTO T_条 VALUES ('" + fn + "', NULL, '" + caption + "', NULL, 0, 0, -1)");
                made->texts.emplace_back(fn, text::fromUtf8(caption));
                for (int s = 1; s <= kSentences; ++s) {
                    std::snprintf(id, sizeof id, "%s-%02d00-0000-0000-0000", fn.c_str(), s);
                    const std::string bn = id;
                    std::string sentence;
                    const int words = 10 + static_cast<int>(next() % 20);
                    for (int w = 0; w < words; ++w) sentence += kVocabulary[next() % kVocabularySize];
                    // Rare words: one sentence each.
                    if (law == 7 && article == 42 && s == 3) sentence += "免震材料";
                    if (law == 7 && article == 42 && s == 5) sentence += "制振ダンパー";
                    if (law == 15 && article == 9 && s == 1) sentence += "免震材料";
                    exec(db, "INSERT INTO T_文 VALUES ('" + bn + "', '" + sentence +
                                 "', '0000000000000000', 0, 0, 0, 0, '" + sentence + "')");
                    made->texts.emplace_back(fn, text::fromUtf8(sentence));
                    if (article % 10 == 0 && s == 1) {
                        const std::string table = std::string("区分 ") + kVocabulary[next() % kVocabularySize] +
                                                  " 数値 " + (law == 3 && article == 50 ? "免震層" : "");
                        exec(db, "INSERT INTO T_表 VALUES ('" + bn + "', 1, '<table></table>', '" + table + "')");
                        made->texts.emplace_back(fn, text::fromUtf8(table));
                    }
                }
            }
        }
        exec(db, "COMMIT");
        sqlite3_close(db);
        return made;
    }();
    return *c;
}

std::vector<std::string> words(const benchmark::State& state) {
    static const char* const sets[][3] = {
        {"建築物", nullptr, nullptr},          // common
        {"免震材料", nullptr, nullptr},        // rare
        {"建築物", "構造", nullptr},           // two common
        {"免震材料", "建築物", nullptr},       // rare and common
        {"建築物", "構造", "換気"},            // three common
        {"免震材料", "制振ダンパー", "構造"},  // rare ones
    };
    std::vector<std::string> out;
    for (const char* w : sets[state.range(0)])
        if (w) out.push_back(text::fromUtf8(w));
    return out;
}

void BM_Search(benchmark::State& state) {
    Collection& c = collection();
    MemorySettingsStore settings;
    SilentSink sink;
    CTavrelDoc doc(settings, sink, DocumentFolders{c.folder, c.folder});
    if (!doc.OnNewDocument()) {
        state.SkipWithError("start-up failed");
        return;
    }
    std::string text;
    for (const std::string& w : words(state)) text += (text.empty() ? "" : " ") + w;
    nav::TListSch list(doc);
    for (auto _ : state) {
        if (!list._search_in_all_pages_2nd(text)) {
            state.SkipWithError("search failed");
            break;
        }
        benchmark::DoNotOptimize(list.records().data());
    }
    state.counters["pages_found"] = static_cast<double>(list.records().size());
}
BENCHMARK(BM_Search)->DenseRange(0, 5)->Unit(benchmark::kMillisecond);

// One pass of substring scanning per word over every text in memory; the
// pages of each word kept in a set, the sets intersected.
void BM_ScanBaseline(benchmark::State& state) {
    Collection& c = collection();
    const std::vector<std::string> ws = words(state);
    size_t found = 0;
    size_t bytes = 0;
    for (const auto& t : c.texts) bytes += t.second.size();
    for (auto _ : state) {
        std::set<std::string> result;
        for (size_t i = 0; i < ws.size(); ++i) {
            std::set<std::string> pages;
            for (const auto& [id, txt] : c.texts)
                if (std::string_view(txt).find(ws[i]) != std::string_view::npos) pages.insert(id);
            if (i == 0) {
                result = std::move(pages);
            } else {
                std::set<std::string> both;
                for (const auto& id : result)
                    if (pages.count(id)) both.insert(id);
                result = std::move(both);
            }
        }
        found = result.size();
        benchmark::DoNotOptimize(found);
    }
    state.counters["pages_found"] = static_cast<double>(found);
    state.counters["text_MB"] = static_cast<double>(bytes) / 1e6;
}
BENCHMARK(BM_ScanBaseline)->DenseRange(0, 5)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
