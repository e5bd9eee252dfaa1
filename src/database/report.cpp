#include "database/report.h"

#include "text/sjis.h"

namespace tavrel::db {

std::optional<std::string> systemMessageText(uint32_t code) {
    switch (code) {
        case 0x80004001: return SJ("実装されていません\r\n");
        case 0x80004005: return SJ("エラーを特定できません\r\n");
        case 0x8000FFFF: return SJ("致命的なエラーです\r\n");
        case 0x80070002: return SJ("指定されたファイルが見つかりません。\r\n");
        case 0x80070005: return SJ("アクセスが拒否されました。\r\n");
        case 0x8007000E: return SJ("この操作を完了するのに十分な記憶域がありません。\r\n");
        case 0x80070020: return SJ("プロセスはファイルにアクセスできません。別のプロセスが使用中です。\r\n");
        case 0x80070057: return SJ("パラメーターが間違っています。\r\n");
        default: return std::nullopt;
    }
}

std::string errorMeaning(uint32_t code, const SystemMessageLookup& lookup) {
    std::optional<std::string> textOfSystem = lookup ? lookup(code) : std::nullopt;
    if (textOfSystem) {
        std::string t = std::move(*textOfSystem);
        if (t.size() >= 2 && t.compare(t.size() - 2, 2, "\r\n") == 0) t.resize(t.size() - 2);
        return t;
    }
    if (code >= 0x80040200u && code <= 0x8004FFFFu) {
        return text::format("IDispatch error #%d", static_cast<int>(code - 0x80040200u));
    }
    return text::format("Unknown error 0x%0lX", static_cast<unsigned long>(code));
}

std::string errorMeaning(uint32_t code) { return errorMeaning(code, systemMessageText); }

std::string errorObjectBody(const ErrorObject& error, ReportIndent indent, const SystemMessageLookup& lookup) {
    const std::string tab = indent == ReportIndent::Indented ? "\t" : "";
    const std::string null = "(null)";
    std::string body = SJ("#importによって生成されたクラスに対し例外が生成されました。\n\n");
    body += tab + text::format(SJ("コード = %08lx\n").c_str(), static_cast<unsigned long>(error.code));
    body += tab + SJ("意味 = ") + errorMeaning(error.code, lookup) + "\n";
    body += tab + SJ("ソース = ") + (error.hasSource ? error.source : null) + "\n";
    body += tab + SJ("説明 = ") + (error.hasDescription ? error.description : null) + "\n";
    return body;
}

std::string errorObjectBody(const ErrorObject& error, ReportIndent indent) {
    return errorObjectBody(error, indent, systemMessageText);
}

std::string unexpectedExceptionBody() { return SJ("処理されない例外が発生しました。\n\n"); }

void report(MessageSink& sink, const std::string& purpose, const std::string& operation, const std::string& body,
            ReportIndent indent) {
    std::string message = body;
    if (indent == ReportIndent::Indented) message += "\t";
    message += SJ("関数 = ");
    message += operation;
    sink.show(purpose, message, MsgButtons::Ok, MsgIcon::Error, true);
}

}  // namespace tavrel::db
