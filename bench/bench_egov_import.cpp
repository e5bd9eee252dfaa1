// Import of 建築基準法施行令 (data/egov/325CO0000000338.xml, 1.8 MB): reading
// the file, its conversion into the collection model, every step and check,
// and writing the rows into a fresh statute database — against the simplest
// way to the same rows: a plain pugixml parse of the same file and a plain
// SQLite insert (one prepared statement per table, one transaction) of the
// rows the import made into a fresh statute database. cpu_ms, base_ms and ratio as in the other benchmarks.
#include "collection/writer.h"
#include "database/schema.h"
#include "egov/importer.h"

#include "fixtures.h"

#include <filesystem>
#include <fstream>
#include <sqlite3.h>
#include <unistd.h>

namespace {

using namespace tavrel;
namespace fs = std::filesystem;

const std::string kFile = std::string(TAVREL_SOURCE_DIR) + "/data/egov/325CO0000000338.xml";

collection::Collection withAct() {
    collection::Collection c;
    c.laws.push_back({"01A", "建築基準法", "法", "建築基準法", true, {}, {}});
    return c;
}

// The rows of a collection inserted into a fresh statute database (the
// program's tables, keys and indexes): one prepared statement per table.
void plainInsert(const collection::Collection& c, const fs::path& file) {
    fs::remove(file);
    db::createDatabaseFile(file.string());
    sqlite3* db = nullptr;
    sqlite3_open(file.c_str(), &db);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt *page = nullptr, *sentence = nullptr, *table = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO T_条 (ID_FN, ID_SN, 条名) VALUES (?,?,?)", -1, &page, nullptr);
    sqlite3_prepare_v2(db, "INSERT INTO T_文 (ID_BN, 法文, 書式コード, 検索用データ) VALUES (?,?,?,?)", -1, &sentence, nullptr);
    sqlite3_prepare_v2(db, "INSERT INTO T_表 (ID_BN, 順序, 表式データ, 検索用データ) VALUES (?,?,?,?)", -1, &table, nullptr);
    const auto text = [](sqlite3_stmt* st, int i, const std::string& s) {
        sqlite3_bind_text(st, i, s.data(), static_cast<int>(s.size()), SQLITE_STATIC);
    };
    for (const auto& [id, p] : c.pages) {
        text(page, 1, p.idFN), text(page, 2, p.idSN), text(page, 3, p.caption);
        sqlite3_step(page), sqlite3_reset(page);
        for (const collection::Sentence& s : p.sentences) {
            text(sentence, 1, s.idBN), text(sentence, 2, s.markup), text(sentence, 3, s.formatCode);
            text(sentence, 4, s.search);
            sqlite3_step(sentence), sqlite3_reset(sentence);
        }
    }
    for (const collection::TablePiece& t : c.tables) {
        text(table, 1, t.idBN), sqlite3_bind_int(table, 2, t.order), text(table, 3, t.html), text(table, 4, t.search);
        sqlite3_step(table), sqlite3_reset(table);
    }
    sqlite3_finalize(page), sqlite3_finalize(sentence), sqlite3_finalize(table);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

void BM_ImportOrder(benchmark::State& state) {
    const fs::path folder = fs::temp_directory_path() / ("tavrel-bench-egov-" + std::to_string(getpid()));
    fs::create_directories(folder);
    const fs::path database = folder / "TL2008.orl", plain = folder / "plain.orl";
    collection::Collection imported;
    const auto import = [&] {
        imported = withAct();
        egov::importLaws(imported, {egov::readLawFile(kFile)}, "2026-01-01T00:00:00Z");
        collection::writeDatabase(imported, database);
    };
    for (auto _ : state) import();
    std::string bytes;
    bench::compareWithBaseline(state, 3, import, [&] {
        std::ifstream in(kFile, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
        pugi::xml_document doc;
        doc.load_buffer(bytes.data(), bytes.size());
        benchmark::DoNotOptimize(doc.first_child());
        plainInsert(imported, plain);
    });
    size_t sentences = 0;
    for (const auto& [id, p] : imported.pages) sentences += p.sentences.size();
    state.counters["pages"] = static_cast<double>(imported.pages.size());
    state.counters["sentences"] = static_cast<double>(sentences);
    state.counters["tables"] = static_cast<double>(imported.tables.size());
    fs::remove_all(folder);
}
BENCHMARK(BM_ImportOrder)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
