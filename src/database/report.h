// The one error report every database-touching operation shows: a message
// box whose caption is the operation's purpose and whose text ends with the
// line "関数 = " and the operation's name.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "database/connection.h"
#include "database/message_sink.h"

namespace tavrel::db {

enum class ReportIndent { Plain, Indented };

// Body of the error-object form ("#importによって生成されたクラスに対し例外が…",
// then the code, meaning, source and description lines).
std::string errorObjectBody(const ErrorObject& error, ReportIndent indent);

// Body of the unexpected-exception form.
std::string unexpectedExceptionBody();

// The meaning line's text for a code: the system's message text when one is
// known (a trailing CR LF removed), else "IDispatch error #%d" for codes
// 0x80040200..0x8004FFFF, else "Unknown error 0x%0lX".
std::string errorMeaning(uint32_t code);

// The system's message text for a code, as the system gives it (the texts end
// in CR LF), or nothing when it has none. Knows the few codes the database
// layer and the system raise for it (0x80004005 and the file, memory and
// access codes 0x8007xxxx).
std::optional<std::string> systemMessageText(uint32_t code);

// errorMeaning / errorObjectBody with another source of system texts (tests).
using SystemMessageLookup = std::function<std::optional<std::string>(uint32_t)>;
std::string errorMeaning(uint32_t code, const SystemMessageLookup& lookup);
std::string errorObjectBody(const ErrorObject& error, ReportIndent indent, const SystemMessageLookup& lookup);

// Shows the report: body, then "関数 = " (tab-indented in the indented
// variant) and the operation name, no line end after it. Caption = purpose,
// OK button, error icon, no owner window. All texts CP932.
void report(MessageSink& sink, const std::string& purpose, const std::string& operation, const std::string& body,
            ReportIndent indent);

}  // namespace tavrel::db
