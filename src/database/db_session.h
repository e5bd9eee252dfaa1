// The document's one database connection: its open and close with their
// error reports. Document::openDatabase and Document::closeDatabase call open and
// close; everything else runs its queries on connection().
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "database/connection.h"
#include "database/message_sink.h"

namespace tavrel::db {

class DbSession {
public:
    DbSession() = default;
    DbSession(const DbSession&) = delete;
    DbSession& operator=(const DbSession&) = delete;

    // Releases any connection object still held, creates a new one and opens
    // the database at dbPathCp932 (the full path, CP932, placed unchanged in
    // the connection text) as user "admin" with an empty password. True when
    // open; on failure shows the report "データベースの接続" /
    // "Document::openDatabase()" (indented) and returns false.
    bool open(const std::string& dbPathCp932, MessageSink& sink);

    // True when closed or never open (nothing shown). On failure shows the
    // report "データベースの切断" / "Document::closeDatabase()" (indented),
    // returns false and stays connected.
    bool close(MessageSink& sink);

    bool connected() const noexcept { return connected_; }

    // The connection object. Before the first open (or after a failed
    // creation) this is a closed connection: running a query on it raises the
    // error object, which the caller reports.
    Connection& connection();

    // How the connection object is made; returning null (or throwing) means
    // the object could not be created. Tests use it; the default makes a
    // plain Connection.
    using Factory = std::function<std::unique_ptr<Connection>()>;
    void setConnectionFactory(Factory factory) { factory_ = std::move(factory); }

private:
    std::unique_ptr<Connection> connection_;
    bool connected_ = false;
    Factory factory_;
};

}  // namespace tavrel::db
