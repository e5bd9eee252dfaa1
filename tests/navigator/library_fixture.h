// A small statute collection in a temporary folder and a started document
// over it, for the search and bookmark tests. Rows are added with UTF-8 texts
// before start() opens the document.
#pragma once

#include "document/atomic_file.h"
#include "document/document.h"
#include "document/settings_store.h"
#include "text/sjis.h"

#include "support/fake_message_sink.h"
#include "support/fixture_db.h"
#include "support/temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace tavrel::testing {

class LibraryTest : public ::testing::Test {
  protected:
    LibraryTest() {
        std::filesystem::create_directories(dataFolder);
        std::filesystem::create_directories(userFolder);
        db = std::make_unique<FixtureDb>(dataFolder + "TL2008.orl");
    }
    ~LibraryTest() override { setAtomicWriteHook({}); }

    void law(const std::string& id, const std::string& name, bool shown = true) {
        db->exec("INSERT INTO T_法 VALUES ('" + id + "', " + FixtureDb::quote(name) + ", 'x', 'x', " +
                 (shown ? "-1" : "0") + ")");
    }
    // split: the 分割 value (page count of a split article, 0 or 1 when not split).
    void page(const std::string& id, const std::string& caption, int split = 0, bool shown = true) {
        db->exec("INSERT INTO T_条 (ID_FN, ID_SN, 条名, 補足, 分割, 大型, 表示) VALUES ('" + id + "', NULL, " +
                 FixtureDb::quote(caption) + ", NULL, " + std::to_string(split) + ", 0, " + (shown ? "-1" : "0") + ")");
    }
    // A sentence of a page: idFN + a 20-character tail; search text as given.
    void sentence(const std::string& idBN, const std::string& searchText) {
        db->exec("INSERT INTO T_文 VALUES ('" + idBN + "', " + FixtureDb::quote(searchText) +
                 ", '0000000000000000', 0, 0, 0, 0, " + FixtureDb::quote(searchText) + ")");
    }
    void tablePiece(const std::string& idBN, int order, const std::string& searchText) {
        db->exec("INSERT INTO T_表 VALUES ('" + idBN + "', " + std::to_string(order) + ", '<table></table>', " +
                 FixtureDb::quote(searchText) + ")");
    }
    static std::string bn(const std::string& idFN, int n = 1) {
        char tail[32];
        std::snprintf(tail, sizeof tail, "-%02d00-0000-0000-0000", n);
        return idFN + tail;
    }

    Document& start() {
        doc = std::make_unique<Document>(settings, sink, DocumentFolders{dataFolder, userFolder});
        EXPECT_TRUE(doc->startUp());
        sink.clear();
        return *doc;
    }

    TempDir dir;
    std::string dataFolder = dir.folder() + "data/";
    std::string userFolder = dir.folder() + "user/";
    MemorySettingsStore settings;
    FakeMessageSink sink;
    std::unique_ptr<FixtureDb> db;
    std::unique_ptr<Document> doc;
};

}  // namespace tavrel::testing
