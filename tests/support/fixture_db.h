// Test databases: a statute database file in a test's temporary folder, with
// exactly the rows the test puts in.
//
//   tavrel::testing::TempDir dir;
//   tavrel::testing::FixtureDb db(dir.file("TL2008.orl"));   // schema + password "mqe-5071"
//   db.exec("INSERT INTO T_法 VALUES ('01A', '建築基準法', '法', '建築基準法', -1)");
//   // ... the code under test opens dir.file("TL2008.orl") read-only ...
//
// SQL given to exec is UTF-8 (plain SQLite SQL, no Jet dialect: write -1 for
// Yes and 0 for No). Dates of T_告 are text 'YYYY-MM-DD'. The fixture keeps its
// own writable connection open until it is destroyed or close() is called;
// it holds no lock between statements, so the program's read-only open works
// while the fixture lives. (A record set of the program that is not yet at
// its end holds a read lock: close it before the fixture writes again.)
// Errors throw std::runtime_error (GoogleTest reports
// them as a failure of the test).
#pragma once

#include <string>
#include <string_view>

struct sqlite3;

namespace tavrel::testing {

class FixtureDb {
public:
    // Creates the database file at path (native, UTF-8) with the eight tables
    // and the password record holding password. When the file already exists
    // it is opened as it is (no schema is added).
    explicit FixtureDb(const std::string& path, const std::string& password = "mqe-5071");
    ~FixtureDb();
    FixtureDb(const FixtureDb&) = delete;
    FixtureDb& operator=(const FixtureDb&) = delete;

    // Runs one or more UTF-8 SQL statements; throws std::runtime_error with
    // SQLite's message on failure.
    void exec(const std::string& utf8Sql);

    // Runs a query and returns the first column of the first row as text
    // ("" when there is no row or the value is NULL).
    std::string scalar(const std::string& utf8Sql);

    // Closes the fixture's connection (exec afterwards throws).
    void close();

    const std::string& path() const { return path_; }
    sqlite3* handle() const { return db_; }

    // A SQL string literal of utf8: 'text' with every ' doubled.
    static std::string quote(std::string_view utf8);

private:
    std::string path_;
    sqlite3* db_ = nullptr;
};

}  // namespace tavrel::testing
