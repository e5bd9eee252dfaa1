// Time to build the contents tree model of a collection the size of the
// statute collection: 40 laws with chapters, sections and sub-sections and
// 250 articles each (10 000 pages, every fifth article split into two
// pieces), on a database made in a temporary folder. Also the article list of
// one law and the law selector.
#include "database/connection.h"
#include "database/schema.h"
#include "navigator/contents_tree.h"
#include "navigator/list_rows.h"
#include "text/sjis.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sqlite3.h>
#include <stdexcept>
#include <string>

namespace {

using namespace tavrel;

constexpr int kLaws = 40;
constexpr int kArticlesPerLaw = 250;

class SilentSink : public MessageSink {
  public:
    MsgAnswer show(const std::string&, const std::string&, MsgButtons, MsgIcon, bool) override {
        ++shown;
        return MsgAnswer::Ok;
    }
    int shown = 0;
};

void exec(sqlite3* db, const std::string& sql) {
    char* message = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
        const std::string text = message ? message : "sqlite error";
        sqlite3_free(message);
        throw std::runtime_error(text);
    }
}

std::string lawId(int law) {
    char id[8];
    std::snprintf(id, sizeof id, "%02d%c", law / 3 + 1, "ABC"[law % 3]);
    return id;
}

// Creates the collection once per process; returns the database path.
const std::string& collection() {
    static const std::string path = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "tavrel-bench-tree-XXXXXX").string();
        if (!mkdtemp(pattern.data())) throw std::runtime_error("no temporary folder");
        const std::string file = pattern + "/" + db::kDatabaseFileName;
        if (!db::createDatabaseFile(file)) throw std::runtime_error("no database");
        sqlite3* db = nullptr;
        sqlite3_open(file.c_str(), &db);
        exec(db, "BEGIN");
        char sql[512];
        for (int law = 0; law < kLaws; ++law) {
            const std::string hn = lawId(law);
            exec(db, "INSERT INTO T_法 VALUES ('" + hn + "', '建築基準法施行令', '令', '建築基準法施行令', -1)");
            for (int c = 1; c <= 5; ++c) {
                std::snprintf(sql, sizeof sql,
                              "INSERT INTO T_章 VALUES ('%s-%02d00-0000-0000-0000', '総則', NULL, NULL, NULL, 0)",
                              hn.c_str(), c);
                exec(db, sql);
                for (int s = 1; s <= 3; ++s) {
                    std::snprintf(sql, sizeof sql,
                                  "INSERT INTO T_章 VALUES ('%s-%02d00-%02d00-0000-0000', NULL, '通則', NULL, NULL, 0)",
                                  hn.c_str(), c, s);
                    exec(db, sql);
                    for (int k = 1; k <= 2; ++k) {
                        std::snprintf(
                            sql, sizeof sql,
                            "INSERT INTO T_章 VALUES ('%s-%02d00-%02d00-%02d00-0000', NULL, NULL, '款', NULL, 0)",
                            hn.c_str(), c, s, k);
                        exec(db, sql);
                    }
                }
            }
            for (int a = 1; a <= kArticlesPerLaw; ++a) {
                // 250 articles over 5 x 3 x 2 sub-sections.
                const int slot = (a - 1) * 30 / kArticlesPerLaw;
                const int c = slot / 6 + 1, s = slot / 2 % 3 + 1, k = slot % 2 + 1;
                const bool split = a % 5 == 0;
                for (int piece = 0; piece < (split ? 2 : 1); ++piece) {
                    std::snprintf(sql, sizeof sql,
                                  "INSERT INTO T_条 VALUES ('%s-%04d0000-%02d', '%s-%02d00-%02d00-%02d00-0000', "
                                  "'建築物の敷地、構造、建築設備及び用途に関する最低の基準', '補足', %d, 0, -1)",
                                  hn.c_str(), a, piece, hn.c_str(), c, s, k, split ? 2 : 0);
                    exec(db, sql);
                }
            }
        }
        exec(db, "COMMIT");
        sqlite3_close(db);
        return file;
    }();
    return path;
}

void openConnection(db::Connection& con) {
    con.open(text::format(db::kConnectionTextFormat, text::fromUtf8(collection()).c_str()), db::kConnectionUser,
             db::kConnectionUserPassword, -1);
}

void BM_BuildContentsTree(benchmark::State& state) {
    db::Connection con;
    openConnection(con);
    SilentSink sink;
    nav::TreeModel tree;
    for (auto _ : state) {
        if (!tree._show(con, sink)) state.SkipWithError("tree build failed");
        benchmark::DoNotOptimize(tree.size());
    }
    state.counters["nodes"] = static_cast<double>(tree.size());
}
BENCHMARK(BM_BuildContentsTree)->Unit(benchmark::kMillisecond);

void BM_ArticleListOfOneLaw(benchmark::State& state) {
    db::Connection con;
    openConnection(con);
    SilentSink sink;
    nav::ArticleListModel list;
    for (auto _ : state) {
        if (!list._show(con, sink, "05B")) state.SkipWithError("list failed");
        benchmark::DoNotOptimize(list.size());
    }
    state.counters["rows"] = list.size();
}
BENCHMARK(BM_ArticleListOfOneLaw)->Unit(benchmark::kMillisecond);

void BM_LawSelector(benchmark::State& state) {
    db::Connection con;
    openConnection(con);
    SilentSink sink;
    nav::LawSelectorModel combo;
    for (auto _ : state) {
        if (!combo._init(con, sink)) state.SkipWithError("selector failed");
        benchmark::DoNotOptimize(combo.entries().size());
    }
}
BENCHMARK(BM_LawSelector)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
