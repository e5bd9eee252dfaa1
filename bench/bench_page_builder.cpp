// Time to build one typical article page: a chapter caption, twenty
// sentence rows over three levels with long parentheticals, unit exponents
// and one inserted two-piece table, on a database made in a temporary folder.
#include "database/schema.h"
#include "document/ctavreldoc.h"
#include "document/settings_store.h"
#include "render/page_builder.h"
#include "text/sjis.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <sqlite3.h>
#include <stdexcept>
#include <string>

namespace {

using namespace tavrel;

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

std::string makeDataFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tavrel-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("no temporary folder");
    const std::string folder = pattern + "/";
    if (!db::createDatabaseFile(folder + db::kDatabaseFileName)) throw std::runtime_error("no database");
    sqlite3* db = nullptr;
    sqlite3_open((folder + db::kDatabaseFileName).c_str(), &db);
    exec(db, "BEGIN");
    exec(db, "INSERT INTO T_法 VALUES ('01A', '建基法', '法', '建築基準法', -1)");
    exec(db,
         "INSERT INTO T_章 VALUES ('01A-0200-0000-0000-0000', '建築物の敷地、構造及び建築設備', NULL, NULL, NULL, 0)");
    exec(db, "INSERT INTO T_条 VALUES ('01A-00200000-00', '01A-0200-0000-0000-0000', '構造耐力', '', 0, 0, -1)");
    for (int paragraph = 1; paragraph <= 4; ++paragraph) {
        for (int item = 0; item <= 4; ++item) {
            char id[64];
            std::snprintf(id, sizeof id, "01A-00200000-00-%02d00-%02d00-0000-0000", paragraph, item);
            const bool table = paragraph == 2 && item == 0;
            exec(db, std::string("INSERT INTO T_文 VALUES ('") + id +
                         "', '建築物は、自重、積載荷重、積雪荷重、風圧、土圧及び水圧並びに地震その他の震動及び衝撃"
                         "（これらの荷重及び外力のうち、政令で定める基準に従つた構造計算によつて確かめられたもの"
                         "（床面積が100㎡以内のものを除く。）に限る。）に対して安全な構造のものとして、断面積10㎝2"
                         "以上、容積5m3以下のものとしなければならない。', '0000000000000000', " +
                         (table ? "-1" : "0") + ", 0, 0, 0, NULL)");
            if (table)
                for (int piece = 1; piece <= 2; ++piece)
                    exec(db, std::string("INSERT INTO T_表 VALUES ('") + id + "', " + std::to_string(piece) +
                                 ", '<html><head></head><body><table><tr><td x:str=\"a\" style=\"font-size:9.0pt;\">"
                                 "区分\n</td><td>数値\n<br>単位</td></tr></table></body></html>', NULL)");
        }
    }
    exec(db, "COMMIT");
    sqlite3_close(db);
    return folder;
}

void BM_BuildArticlePage(benchmark::State& state) {
    const std::string folder = makeDataFolder();
    {
        MemorySettingsStore settings;
        SilentSink sink;
        CTavrelDoc doc(settings, sink, DocumentFolders{folder, folder});
        if (!doc.OnNewDocument()) {
            state.SkipWithError("start-up failed");
        } else {
            render::PageBuilder builder(doc);
            std::string html;
            size_t bytes = 0;
            for (auto _ : state) {
                if (!builder._html_build("01A-00200000-00", html)) {
                    state.SkipWithError("page not built");
                    break;
                }
                bytes = html.size();
                benchmark::DoNotOptimize(html.data());
            }
            state.counters["page_bytes"] = static_cast<double>(bytes);
            state.counters["messages"] = sink.shown;
        }
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_BuildArticlePage)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
