// Import of e-Gov law XML: reading the file, its conversion into the
// collection model, every step and check, and writing the rows into a fresh
// statute database — against the simplest way to the same rows: a plain
// pugixml parse of the same file and a plain SQLite insert (one prepared
// statement per table, one transaction) of every row, every column, the
// import wrote (its 被引用 index included) into a fresh statute database.
// Two inputs: 建築基準法施行令 (data/egov/325CO0000000338.xml, 1.8 MB) and a
// generated act of 3,000 articles. cpu_ms, base_ms and ratio as in the other
// benchmarks.
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

const std::string kOrder = std::string(TAVREL_SOURCE_DIR) + "/data/egov/325CO0000000338.xml";

collection::Collection withAct() {
    collection::Collection c;
    c.laws.push_back({"01A", "建築基準法", "法", "建築基準法", true, {}, {}});
    return c;
}

// 1 -> 一, 20 -> 二十, 2999 -> 二千九百九十九.
std::string kanji(int n) {
    static const char* const digits[] = {"", "一", "二", "三", "四", "五", "六", "七", "八", "九"};
    static const std::pair<int, const char*> units[] = {{1000, "千"}, {100, "百"}, {10, "十"}};
    std::string out;
    for (const auto& [unit, name] : units) {
        const int d = n / unit % 10;
        if (d > 1) out += digits[d];
        if (d > 0) out += name;
    }
    return out + digits[n % 10];
}

// An act of 3,000 articles in 30 chapters: each article a caption, a first
// paragraph of a main sentence and a proviso with two items, and a second
// paragraph; the sentences refer to other articles of the act, to
// 建築基準法 (01A) and to a law outside the collection.
std::string generatedAct() {
    std::string x =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<Law Era=\"Reiwa\" Year=\"7\" Num=\"99\" LawType=\"Act\" Lang=\"ja\" PromulgateMonth=\"4\" "
        "PromulgateDay=\"1\">\n  <LawNum>令和七年法律第九十九号</LawNum>\n  <LawBody>\n"
        "    <LawTitle Abbrev=\"試験法\">建築物の試験に関する法律</LawTitle>\n    <MainProvision>\n";
    for (int chapter = 1; chapter <= 30; ++chapter) {
        x += "      <Chapter Num=\"" + std::to_string(chapter) + "\">\n        <ChapterTitle>第" + kanji(chapter) +
             "章　試験の区分" + kanji(chapter) + "</ChapterTitle>\n";
        for (int a = (chapter - 1) * 100 + 1; a <= chapter * 100; ++a) {
            const std::string other = kanji(a % 2999 + 1), law = kanji(a % 90 + 2);
            x += "        <Article Num=\"" + std::to_string(a) + "\">\n          <ArticleCaption>（試験の基準" +
                 kanji(a) + "）</ArticleCaption>\n          <ArticleTitle>第" + kanji(a) +
                 "条</ArticleTitle>\n          <Paragraph Num=\"1\">\n            <ParagraphNum/>\n"
                 "            <ParagraphSentence>\n              <Sentence Num=\"1\">第" +
                 other +
                 "条第一項に規定する建築物の敷地、構造及び建築設備は、建築基準法第" + law +
                 "条の規定による基準（都市計画法（昭和四十三年法律第百号）第" + law +
                 "条第二項に定めるものを含む。）に適合するものとしなければならない。</Sentence>\n"
                 "              <Sentence Num=\"2\" Function=\"proviso\">ただし、第" +
                 other + "条の二又は第" + law +
                 "条第三号に掲げる場合においては、この限りでない。</Sentence>\n            </ParagraphSentence>\n";
            for (int item = 1; item <= 2; ++item)
                x += "            <Item Num=\"" + std::to_string(item) + "\">\n              <ItemTitle>" +
                     kanji(item) + "</ItemTitle>\n              <ItemSentence>\n                <Sentence>延べ面積が" +
                     kanji(item * 100) + "平方メートルを超える建築物（第" + other +
                     "条各号に掲げるものを除く。）</Sentence>\n              </ItemSentence>\n            </Item>\n";
            x += "          </Paragraph>\n          <Paragraph Num=\"2\">\n            <ParagraphNum>２</ParagraphNum>\n"
                 "            <ParagraphSentence>\n              <Sentence>前項の規定は、第" +
                 law + "条の許可を受けた建築物については、適用しない。</Sentence>\n"
                 "            </ParagraphSentence>\n          </Paragraph>\n        </Article>\n";
        }
        x += "      </Chapter>\n";
    }
    x += "    </MainProvision>\n    <SupplProvision>\n      <SupplProvisionLabel>附　則</SupplProvisionLabel>\n"
         "      <Paragraph Num=\"1\">\n        <ParagraphNum/>\n        <ParagraphSentence>\n"
         "          <Sentence>この法律は、公布の日から施行する。</Sentence>\n        </ParagraphSentence>\n"
         "      </Paragraph>\n    </SupplProvision>\n  </LawBody>\n</Law>\n";
    return x;
}

// Every row of every table of a statute database, by the statements of a
// plain copy: the table's creation text and its rows in rowid order.
struct TableRows {
    std::string create;  // table and indexes; "" for the tables a fresh statute database has
    std::string insert;                          // INSERT INTO t VALUES (?,…)
    std::vector<std::vector<std::string>> rows;  // column texts (integers as their text)
    std::vector<std::vector<bool>> nulls;
    std::vector<std::vector<bool>> integers;
};

std::vector<TableRows> rowsOf(const fs::path& file) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    // Each table with its creation text and that of its indexes.
    std::vector<std::pair<std::string, std::string>> tables;
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT t.name, group_concat(m.sql, ';') FROM sqlite_master AS t JOIN sqlite_master AS m "
                       "ON m.tbl_name = t.name AND m.sql IS NOT NULL WHERE t.type = 'table' GROUP BY t.name "
                       "ORDER BY t.rowid",
                       -1, &st, nullptr);
    while (sqlite3_step(st) == SQLITE_ROW)
        tables.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)),
                            reinterpret_cast<const char*>(sqlite3_column_text(st, 1)));
    sqlite3_finalize(st);
    std::vector<TableRows> out;
    for (const auto& [name, sql] : tables) {
        TableRows t;
        if (name == "T_被引用" || name == "T_法令XML") t.create = sql;
        sqlite3_prepare_v2(db, ("SELECT * FROM " + name + " ORDER BY rowid").c_str(), -1, &st, nullptr);
        const int columns = sqlite3_column_count(st);
        t.insert = "INSERT INTO " + name + " VALUES (";
        for (int i = 0; i < columns; ++i) t.insert += i ? ",?" : "?";
        t.insert += ")";
        while (sqlite3_step(st) == SQLITE_ROW) {
            auto& row = t.rows.emplace_back();
            auto& null = t.nulls.emplace_back();
            auto& integer = t.integers.emplace_back();
            for (int i = 0; i < columns; ++i) {
                const auto* v = reinterpret_cast<const char*>(sqlite3_column_text(st, i));
                row.emplace_back(v ? v : "");
                null.push_back(v == nullptr);
                integer.push_back(sqlite3_column_type(st, i) == SQLITE_INTEGER);
            }
        }
        sqlite3_finalize(st);
        out.push_back(std::move(t));
    }
    sqlite3_close(db);
    return out;
}

// The rows inserted into a fresh statute database (the program's tables, keys
// and indexes, the tables the import adds created as it creates them): one
// prepared statement per table, one transaction.
void plainInsert(const std::vector<TableRows>& tables, const fs::path& file) {
    fs::remove(file);
    db::createDatabaseFile(file.string());
    sqlite3* db = nullptr;
    sqlite3_open(file.c_str(), &db);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    for (const TableRows& t : tables) {
        if (!t.create.empty()) sqlite3_exec(db, t.create.c_str(), nullptr, nullptr, nullptr);
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db, t.insert.c_str(), -1, &st, nullptr);
        for (size_t r = 0; r < t.rows.size(); ++r) {
            for (size_t i = 0; i < t.rows[r].size(); ++i) {
                const int k = static_cast<int>(i) + 1;
                const std::string& v = t.rows[r][i];
                if (t.nulls[r][i])
                    sqlite3_bind_null(st, k);
                else if (t.integers[r][i])
                    sqlite3_bind_int64(st, k, std::stoll(v));
                else
                    sqlite3_bind_text(st, k, v.data(), static_cast<int>(v.size()), SQLITE_STATIC);
            }
            sqlite3_step(st), sqlite3_reset(st);
        }
        sqlite3_finalize(st);
    }
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

// Argument 0: 建築基準法施行令; 1: the generated act of 3,000 articles.
void BM_Import(benchmark::State& state) {
    const fs::path folder = fs::temp_directory_path() / ("tavrel-bench-egov-" + std::to_string(getpid()));
    fs::create_directories(folder);
    const fs::path database = folder / "TL2008.orl", plain = folder / "plain.orl";
    fs::path file = kOrder;
    if (state.range(0) == 1) {
        file = folder / "generated-act.xml";
        std::ofstream(file, std::ios::binary) << generatedAct();
    }
    state.SetLabel(state.range(0) == 1 ? "generated act, 3000 articles" : "建築基準法施行令");
    collection::Collection imported;
    const auto import = [&] {
        imported = withAct();
        egov::importLaws(imported, {egov::readLawFile(file)}, "2026-01-01T00:00:00Z");
        collection::writeDatabase(imported, database);
    };
    for (auto _ : state) import();
    const std::vector<TableRows> rows = rowsOf(database);
    std::string bytes;
    bench::compareWithBaseline(state, 3, import, [&] {
        std::ifstream in(file, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
        pugi::xml_document doc;
        doc.load_buffer(bytes.data(), bytes.size());
        benchmark::DoNotOptimize(doc.first_child());
        plainInsert(rows, plain);
    });
    size_t sentences = 0;
    for (const auto& [id, p] : imported.pages) sentences += p.sentences.size();
    state.counters["pages"] = static_cast<double>(imported.pages.size());
    state.counters["sentences"] = static_cast<double>(sentences);
    state.counters["tables"] = static_cast<double>(imported.tables.size());
    fs::remove_all(folder);
}
BENCHMARK(BM_Import)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
