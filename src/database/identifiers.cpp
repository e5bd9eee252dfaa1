#include "database/identifiers.h"

namespace tavrel::db {

bool isIdentifier(std::string_view s, size_t exactLength) noexcept {
    if (s.size() != exactLength) return false;
    for (const char c : s) {
        const bool ok = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || c == '-';
        if (!ok) return false;
    }
    return true;
}

std::optional<std::string> formatSqlWithId(const char* fmt, std::string_view id, size_t exactLength) {
    if (!fmt || !isIdentifier(id, exactLength)) return std::nullopt;
    // A small printf of its own: "%%" and one "%s" only, so that a format with
    // any other conversion is refused instead of reading a missing argument.
    std::string out;
    bool used = false;
    for (const char* p = fmt; *p; ++p) {
        if (*p != '%') {
            out += *p;
            continue;
        }
        ++p;
        if (*p == '%') {
            out += '%';
        } else if (*p == 's' && !used) {
            out.append(id);
            used = true;
        } else {
            return std::nullopt;
        }
    }
    if (!used) return std::nullopt;
    return out;
}

}  // namespace tavrel::db
