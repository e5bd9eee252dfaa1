// The statute database connection: SQLite underneath, with a thin Jet-dialect
// layer so that the program's SQL texts run unchanged, forward record sets and
// the error object (code, source, description) that every failure raises.
//
// All texts crossing this interface are CP932: SQL texts are converted to
// UTF-8 before they are prepared, text fields back to CP932 as they are read.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

namespace tavrel::db {

// The error object the database layer raises. A text that is absent (not
// merely empty) prints as "(null)" in the error report.
struct ErrorObject {
    uint32_t code = 0;          // HRESULT-style code, e.g. 0x80004005
    bool hasSource = false;
    std::string source;         // CP932
    bool hasDescription = false;
    std::string description;    // CP932
};

// The source of the errors the database engine raises: the engine this
// program reads the collection with and its version, e.g. "SQLite 3.40.1".
const std::string& engineName();

class DbError : public std::runtime_error {
public:
    explicit DbError(ErrorObject e) : std::runtime_error("database error"), error_(std::move(e)) {}
    const ErrorObject& error() const noexcept { return error_; }

private:
    ErrorObject error_;
};

// Forward-only result of one statement. Fields are read by name; a name that
// occurs twice in a join is also reachable qualified as "Table.Column"
// (e.g. "T_条.ID_FN"), as the Jet provider names them.
class Recordset {
public:
    Recordset();
    ~Recordset();
    Recordset(Recordset&&) noexcept;
    Recordset& operator=(Recordset&&) noexcept;
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    bool isEOF() const noexcept;
    void moveNext();  // raises DbError
    void close() noexcept;

    // Field access by name (CP932). NULL reads as the empty text / 0. An
    // unknown field name raises DbError (as the provider does).
    std::string text(const std::string& field) const;
    int16_t int16(const std::string& field) const;
    int64_t int64(const std::string& field) const;
    double number(const std::string& field) const;
    bool isNull(const std::string& field) const;
    // A date column (stored as text "YYYY-MM-DD", optionally followed by a
    // time, or as a Jet day number): false when NULL or not a date.
    bool date(const std::string& field, int& year, int& month, int& day) const;

private:
    friend class Connection;
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

class Connection {
public:
    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Opens the database named by the connection text
    // "Provider=...;Data Source=<path>;Jet OLEDB:Database Password=<pw>;".
    // The path is CP932 here (it is converted to the file system's encoding).
    // Raises DbError on a missing, locked, foreign, damaged file or a wrong
    // password.
    void open(const std::string& connectionText, const std::string& user, const std::string& password, long options);
    void close();  // raises DbError on failure
    bool isOpen() const noexcept;

    // Runs one statement and returns its forward record set. affected may be
    // null. options is accepted and ignored (the program passes -1).
    Recordset execute(const std::string& sql, long* affected = nullptr, long options = -1);

    sqlite3* handle() const noexcept { return db_; }
    // The open database's file name as SQLite resolved it (UTF-8, absolute);
    // empty when closed.
    std::string fileName() const;

    struct State;  // shared with the record sets, which outlive a close safely

private:
    sqlite3* db_ = nullptr;
    std::shared_ptr<State> state_;
};

}  // namespace tavrel::db
