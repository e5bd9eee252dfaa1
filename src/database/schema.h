// The statute database file: its tables, its password record and the
// constants of the connection.
//
// The database file is an SQLite 3 file. Text columns hold UTF-8 text (the
// connection converts to and from CP932); Yes/No columns (`表示`) hold the
// integers -1 (Yes) and 0 (No); small-integer flags hold integers; the dates
// of `T_告` hold text "YYYY-MM-DD" (read with Recordset::date).
//
// The password. The file records its password in a one-row table
//     DB_PASSWORD(password TEXT NOT NULL)
// holding the UTF-8 password text. Opening the database succeeds only when the
// "Jet OLEDB:Database Password" of the connection text equals that text byte
// for byte (case-sensitive, as Jet passwords are). A file without that table
// (or with no row in it) is not a statute database and fails to open.
//
// Writers (the sample-collection builder) keep the file in SQLite's default
// rollback-journal mode, never WAL: the program opens it read-only, possibly
// from a read-only installed folder, where a WAL file could not be opened.
//
// This header is the one place that knows the table layout: the connection
// checks a file against it, the tests and the sample-collection builder make
// files with createDatabaseFile.
#pragma once

#include <string>

struct sqlite3;

namespace tavrel::db {

// The database file's name in the data folder.
inline constexpr const char* kDatabaseFileName = "TL2008.orl";

// The password every statute database file carries.
inline constexpr const char* kDatabasePassword = "mqe-5071";

// The connection text; "%s" is replaced by the full database path (CP932,
// unchanged, no quoting added).
inline constexpr const char* kConnectionTextFormat =
    "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=%s;Jet OLEDB:Database Password=mqe-5071;";

// The user name and password the connection is opened with.
inline constexpr const char* kConnectionUser = "admin";
inline constexpr const char* kConnectionUserPassword = "";

// Name of the table that records the file's password (column "password").
inline constexpr const char* kPasswordTable = "DB_PASSWORD";

// The eight statute tables, in UTF-8, in the order they are created.
inline constexpr const char* kTableNames[] = {"T_法", "T_条", "T_章", "T_文", "T_表", "T_他", "T_参", "T_告"};
inline constexpr int kTableCount = 8;

// The UTF-8 SQL that creates the eight tables (with their indexes) and the
// password table, without the password row.
const char* schemaSql();

// Creates the eight tables and the password record (one row holding
// passwordUtf8) on an open, writable, empty database. Returns false and sets
// *error (when given) on failure.
bool createSchema(sqlite3* db, const std::string& passwordUtf8, std::string* error = nullptr);

// Creates a new database file at nativePath (a path of the file system, UTF-8
// on Linux) holding the schema and the password record, and closes it. Fails
// (false, *error set) when the file already exists or cannot be written; a
// partly written file is removed.
bool createDatabaseFile(const std::string& nativePath, const std::string& passwordUtf8 = kDatabasePassword,
                        std::string* error = nullptr);

}  // namespace tavrel::db
