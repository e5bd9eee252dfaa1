// tavrel-cli import run as a program on a copy of the sample collection: the
// rows other laws own stay as they were, a second import of the same file
// gives the same tables, a refused file or a kill leaves the database
// untouched.
#include "support/temp_dir.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace tavrel::testing {
namespace {

namespace fs = std::filesystem;

struct ImportRun {
    int status = -1;
    std::string out, err;
};

// Every row of a table whose key does (or does not) start with a law id, in
// row order, columns quoted.
std::string rows(const std::string& file, const std::string& table, const std::string& key, const std::string& law,
                 bool ofLaw) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    const std::string sql = "SELECT * FROM " + table + " WHERE (substr(" + key + ", 1, 3) = '" + law + "') = " +
                            (ofLaw ? "1" : "0") + " ORDER BY rowid";
    sqlite3_stmt* st = nullptr;
    std::string out;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) == SQLITE_OK) {
        while (sqlite3_step(st) == SQLITE_ROW) {
            for (int i = 0; i < sqlite3_column_count(st); ++i) {
                const unsigned char* t = sqlite3_column_text(st, i);
                out += t ? "'" + std::string(reinterpret_cast<const char*>(t)) + "'" : "NULL";
                out += '|';
            }
            out += '\n';
        }
    } else {
        out = "(no table)";
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    return out;
}

const std::pair<const char*, const char*> kTables[] = {{"T_法", "ID_HN"}, {"T_章", "ID_SN"}, {"T_条", "ID_FN"},
                                                       {"T_文", "ID_BN"}, {"T_表", "ID_BN"}, {"T_他", "ID_FN"},
                                                       {"T_参", "ID_BN"}, {"T_告", "ID_FN"}};

class CliImportTest : public ::testing::Test {
  protected:
    CliImportTest() {
        fs::copy_file(std::string(TAVREL_BINARY_DIR) + "/bin/TL2008.orl", database());
        before_ = readFile(database());
    }
    std::string database() const { return dir_.file("TL2008.orl"); }

    ImportRun import(const std::string& files) {
        const std::string out = dir_.file("stdout.txt"), err = dir_.file("stderr.txt");
        const std::string command = std::string("'") + TAVREL_BINARY_DIR + "/bin/tavrel-cli' import " + files +
                                    " --data '" + dir_.path().string() + "' >'" + out + "' 2>'" + err + "'";
        ImportRun r;
        const int raw = std::system(command.c_str());
        r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        r.out = readFile(out);
        r.err = readFile(err);
        return r;
    }
    std::string lawRows(const std::string& law, bool ofLaw) {
        std::string all;
        for (const auto& [table, key] : kTables) all += std::string(table) + "\n" + rows(database(), table, key, law, ofLaw);
        return all;
    }

    // Files beside the database named after it (the database itself left out).
    size_t filesBeside() const {
        size_t n = 0;
        for (const auto& e : fs::directory_iterator(dir_.path())) {
            const std::string name = e.path().filename().string();
            n += name.rfind("TL2008.orl", 0) == 0 && name != "TL2008.orl";
        }
        return n;
    }

    TempDir dir_;
    std::string before_;
};

const std::string kEgov = std::string(TAVREL_SOURCE_DIR) + "/data/egov/";

// What the command prints and records; that a second import gives the same
// tables is the importer's (tests/egov/test_egov_reimport.cpp).
TEST_F(CliImportTest, OtherLawsKeepTheirRowsAndTheSummaryCountsTheLaw) {
    const std::string others = lawRows("05A", false);
    const ImportRun first = import("'" + kEgov + "418AC0000000091.xml'");
    ASSERT_EQ(first.status, 0) << first.err;
    EXPECT_NE(first.out.find("05A 高齢者、障害者等の移動等の円滑化の促進に関する法律 (418AC0000000091) replaced: "
                             "109 pages, 506 sentences"),
              std::string::npos)
        << first.out;
    EXPECT_NE(first.out.find("tavrel-cli import: 1 laws, 109 pages"), std::string::npos) << first.out;
    EXPECT_EQ(lawRows("05A", false), others);
    EXPECT_NE(lawRows("05A", true).find("'05A-F0000020-00'"), std::string::npos);  // the 21st 附則
    EXPECT_NE(rows(database(), "T_法令XML", "ID_HN", "05A", true).find("'418AC0000000091'|'平成十八年法律第九十一号'"),
              std::string::npos);
    EXPECT_EQ(filesBeside(), 0u);  // no temporary file is left beside the database
}

// The default markers beside the database go through the import: those of
// the order, re-imported, come back as they were where their sentences still
// are; one on a paragraph the order does not have is dropped and listed.
TEST_F(CliImportTest, TheDefaultMarkersBesideTheDatabaseAreKeptOrListed) {
    const std::string markers = readFile(std::string(TAVREL_BINARY_DIR) + "/bin/default.ppj");
    ASSERT_NE(markers.find("01B-0107"), std::string::npos);
    writeFile(dir_.file("default.ppj"), markers +
                                            "01B-01070000-00-0900-0000-0000-0000-to-01A-00020000-r01, "
                                            "01A-00020000-00-0100-0700-0000-0000\r\n");
    const ImportRun run = import("'" + kEgov + "325CO0000000338.xml'");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("dropped:"), std::string::npos) << run.out;
    EXPECT_EQ(readFile(dir_.file("default.ppj")), markers);
}

// The import is killed while it writes the new collection beside the
// database (stopped first, so that it is known to be before the rename): the
// database keeps its bytes, and the next import succeeds over what the killed
// one left and leaves nothing beside the database.
TEST_F(CliImportTest, AKillWhileWritingLeavesTheDatabaseAndTheNextImportSucceeds) {
    const std::string program = std::string(TAVREL_BINARY_DIR) + "/bin/tavrel-cli", file = kEgov + "325CO0000000338.xml",
                      data = dir_.path().string();
    bool killedWhileWriting = false;
    for (int attempt = 0; attempt < 5 && !killedWhileWriting; ++attempt) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            const int null = open("/dev/null", O_WRONLY);
            dup2(null, 1), dup2(null, 2);
            execl(program.c_str(), "tavrel-cli", "import", file.c_str(), "--data", data.c_str(), nullptr);
            _exit(127);
        }
        int status = 0;
        bool ended = false;
        while (filesBeside() == 0 && !ended) {
            ended = waitpid(child, &status, WNOHANG) == child;
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        if (!ended) {
            kill(child, SIGSTOP);
            waitpid(child, &status, WUNTRACED);
            killedWhileWriting = filesBeside() > 0;
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            EXPECT_TRUE(WIFSIGNALED(status));
        }
        // Too late (the import was complete): again on the original database.
        if (!killedWhileWriting) fs::copy_file(std::string(TAVREL_BINARY_DIR) + "/bin/TL2008.orl", database(),
                                               fs::copy_options::overwrite_existing);
    }
    ASSERT_TRUE(killedWhileWriting) << "the import was never caught writing";
    EXPECT_EQ(readFile(database()), before_);

    const ImportRun next = import("'" + file + "'");
    ASSERT_EQ(next.status, 0) << next.err;
    EXPECT_NE(readFile(database()), before_);
    EXPECT_NE(rows(database(), "T_法令XML", "ID_HN", "01B", true).find("'325CO0000000338'"), std::string::npos);
    EXPECT_EQ(filesBeside(), 0u);
}

TEST_F(CliImportTest, ARefusedFileChangesNothing) {
    writeFile(dir_.file("notalaw.xml"), "<?xml version=\"1.0\"?>\n<Html/>");
    // The good file first: a refused one anywhere in the list stops them all.
    const ImportRun r = import("'" + kEgov + "418AC0000000091.xml' '" + dir_.file("notalaw.xml") + "'");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("notalaw.xml:2: the root element <Html> is not <Law> or <DataRoot>"), std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("nothing was changed"), std::string::npos);
    EXPECT_EQ(readFile(database()), before_);
    EXPECT_EQ(import("").status, 64);
}

}  // namespace
}  // namespace tavrel::testing
