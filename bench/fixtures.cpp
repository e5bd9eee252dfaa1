#include "fixtures.h"

#include "database/schema.h"
#include "text/sjis.h"

#include "collection_generator.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <sqlite3.h>
#include <stdexcept>
#include <unordered_map>

namespace tavrel::bench {

namespace fs = std::filesystem;

TempFolder::TempFolder() {
    std::string pattern = (fs::temp_directory_path() / "tavrel-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("no temporary folder");
    path_ = pattern + "/";
}

TempFolder::~TempFolder() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

void exec(sqlite3* db, const std::string& sql) {
    char* message = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
        const std::string text = message ? message : "sqlite error";
        sqlite3_free(message);
        throw std::runtime_error(text);
    }
}

const char* collectionName(int64_t index) {
    static const char* const names[] = {"sample", "2008", "large"};
    return names[std::clamp<int64_t>(index, 0, 2)];
}

const std::string& collectionFolder(const std::string& name) {
    static std::map<std::string, std::string> made;
    if (const auto it = made.find(name); it != made.end()) return it->second;
    std::string folder;
    if (name == "sample") {
        folder = builtSampleFolder().string() + "/";
    } else {
        const fs::path dir = fs::path(TAVREL_BINARY_DIR) / "bench-collections" / name;
        if (!fs::exists(dir / db::kDatabaseFileName)) {
            CollectionSize sample;
            ScalePlan plan;
            std::string error;
            if (!measureCollection(builtSampleFolder() / db::kDatabaseFileName, sample, &error) ||
                !presetPlan(name, sample, plan) || !makeCollection(builtSampleFolder(), dir, plan, &error))
                throw std::runtime_error("cannot make the collection " + name + ": " + error);
        }
        folder = dir.string() + "/";
    }
    return made.emplace(name, folder).first->second;
}

StartedDocument::StartedDocument(const std::string& dataFolder) {
    doc = std::make_unique<Document>(settings, sink, DocumentFolders{dataFolder, user.path()});
    started = doc->startUp();
}

const std::string& pageCollectionFolder() {
    static TempFolder folderHolder;
    static const std::string folder = [] {
        const std::string f = folderHolder.path();
        if (!db::createDatabaseFile(f + db::kDatabaseFileName)) throw std::runtime_error("no database");
        sqlite3* db = nullptr;
        sqlite3_open((f + db::kDatabaseFileName).c_str(), &db);
        exec(db, "BEGIN");
        exec(db, "INSERT INTO T_法 VALUES ('01A', '建基法', '法', '建築基準法', -1)");
        exec(db,
             "INSERT INTO T_章 VALUES ('01A-0200-0000-0000-0000', '建築物の敷地、構造及び建築設備', NULL, NULL, "
             "NULL, 0)");
        exec(db, "INSERT INTO T_条 VALUES ('01A-00200000-00', '01A-0200-0000-0000-0000', '構造耐力', '', 0, 0, -1)");
        exec(db, "INSERT INTO T_条 VALUES ('01A-00210000-00', '01A-0200-0000-0000-0000', '長い条', '', 0, -1, -1)");
        const std::string sentence =
            "建築物は、自重、積載荷重、積雪荷重、風圧、土圧及び水圧並びに地震その他の震動及び衝撃"
            "（これらの荷重及び外力のうち、政令で定める基準に従つた構造計算によつて確かめられたもの"
            "（床面積が100㎡以内のものを除く。）に限る。）に対して安全な構造のものとして、断面積10㎝2"
            "以上、容積5m3以下のものとしなければならない。";
        char id[64];
        for (int paragraph = 1; paragraph <= 4; ++paragraph) {
            for (int item = 0; item <= 4; ++item) {
                std::snprintf(id, sizeof id, "01A-00200000-00-%02d00-%02d00-0000-0000", paragraph, item);
                const bool table = paragraph == 2 && item == 0;
                exec(db, std::string("INSERT INTO T_文 VALUES ('") + id + "', '" + sentence +
                             "', '0000000000000000', " + (table ? "-1" : "0") + ", 0, 0, 0, NULL)");
                if (table)
                    for (int piece = 1; piece <= 2; ++piece)
                        exec(db, std::string("INSERT INTO T_表 VALUES ('") + id + "', " + std::to_string(piece) +
                                     ", '<html><head></head><body><table><tr><td x:str=\"a\" "
                                     "style=\"font-size:9.0pt;\">区分\n</td><td>数値\n<br>単位</td></tr></table>"
                                     "</body></html>', NULL)");
            }
        }
        // 1,000 sentences: 50 paragraphs of an opening sentence and 19 items.
        for (int paragraph = 1; paragraph <= 50; ++paragraph)
            for (int item = 0; item < 20; ++item) {
                std::snprintf(id, sizeof id, "01A-00210000-00-%02d00-%02d00-0000-0000", paragraph, item);
                exec(db, std::string("INSERT INTO T_文 VALUES ('") + id + "', '" + sentence +
                             "', '0000000000000000', 0, 0, 0, 0, NULL)");
            }
        exec(db, "COMMIT");
        sqlite3_close(db);
        return f;
    }();
    return folder;
}

ScanTexts::ScanTexts(const std::string& dataFolder) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2((dataFolder + db::kDatabaseFileName).c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        throw std::runtime_error("cannot open the collection");
    std::vector<std::pair<std::string, std::string>> fields;  // (ID_FN, text)
    const auto read = [&](const char* sql) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) != SQLITE_OK) throw std::runtime_error(sqlite3_errmsg(db));
        while (sqlite3_step(st) == SQLITE_ROW) {
            const auto* id = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
            const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(st, 1));
            if (id && t) fields.emplace_back(std::string(id).substr(0, 15), text::fromUtf8(t));
        }
        sqlite3_finalize(st);
    };
    read("SELECT ID_FN, 条名 FROM T_条");
    read("SELECT ID_BN, 検索用データ FROM T_文");
    read("SELECT ID_BN, 検索用データ FROM T_表");
    sqlite3_close(db);
    std::stable_sort(fields.begin(), fields.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i == 0 || fields[i].first != fields[i - 1].first) begin_.push_back(text_.size());
        text_ += fields[i].second;
        text_ += '\0';
    }
    begin_.push_back(text_.size());
}

size_t ScanTexts::pagesHoldingAll(const std::vector<std::string>& words) const {
    const size_t pages = begin_.size() - 1;
    std::vector<char> all(pages, 1);
    for (const std::string& w : words) {
        for (size_t p = 0; p < pages; ++p) {
            const bool hit = memmem(text_.data() + begin_[p], begin_[p + 1] - begin_[p], w.data(), w.size()) != nullptr;
            all[p] = all[p] && hit;
        }
    }
    return static_cast<size_t>(std::count(all.begin(), all.end(), 1));
}

size_t readAllRows(const std::string& dataFolder, const std::vector<std::string>& utf8Sql) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2((dataFolder + db::kDatabaseFileName).c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        throw std::runtime_error("cannot open the collection");
    size_t bytes = 0;
    for (const std::string& sql : utf8Sql) {
        sqlite3_stmt* st = nullptr;
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(db));
        while (sqlite3_step(st) == SQLITE_ROW)
            for (int i = 0; i < sqlite3_column_count(st); ++i) {
                sqlite3_column_text(st, i);
                bytes += static_cast<size_t>(sqlite3_column_bytes(st, i));
            }
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
    return bytes;
}

double threadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

void addMemoryCounter(benchmark::State& state) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) state.counters["rss_MB"] = std::atof(line.c_str() + 6) / 1024.0;
}

}  // namespace tavrel::bench
