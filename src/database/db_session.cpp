#include "database/db_session.h"

#include <exception>

#include "database/report.h"
#include "database/schema.h"
#include "text/sjis.h"

namespace tavrel::db {

bool DbSession::open(const std::string& dbPathCp932, MessageSink& sink) {
    std::string body;
    bool result = false;

    // The old object goes, and with it any connection it still had open.
    connection_.reset();
    connected_ = false;

    try {
        connection_ = factory_ ? factory_() : std::make_unique<Connection>();
    } catch (...) {
        connection_.reset();
    }
    if (!connection_) {
        body = SJ("ADO CONNECTIONオブジェクトの生成に失敗しました。\n\n");
    } else {
        try {
            const std::string connectionText = text::format(kConnectionTextFormat, dbPathCp932.c_str());
            connection_->open(connectionText, kConnectionUser, kConnectionUserPassword, 0);
            connected_ = true;
            result = true;
        } catch (const DbError& e) {
            body = errorObjectBody(e.error(), ReportIndent::Indented);
        } catch (...) {
            body = unexpectedExceptionBody();
        }
    }

    if (!result) {
        report(sink, SJ("データベースの接続"), "CTavrelDoc::_db_open()", body, ReportIndent::Indented);
    }
    return result;
}

bool DbSession::close(MessageSink& sink) {
    if (!connected_) return true;
    std::string body;
    try {
        connection_->close();
        connected_ = false;
        return true;
    } catch (const DbError& e) {
        body = errorObjectBody(e.error(), ReportIndent::Indented);
    } catch (...) {
        body = unexpectedExceptionBody();
    }
    report(sink, SJ("データベースの切断"), "CTavrelDoc::_db_close()", body, ReportIndent::Indented);
    return false;
}

Connection& DbSession::connection() {
    if (!connection_) connection_ = std::make_unique<Connection>();
    return *connection_;
}

}  // namespace tavrel::db
