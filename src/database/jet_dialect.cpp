#include "database/jet_dialect.h"

#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <vector>

namespace tavrel::db {

namespace {

bool isWordByte(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c >= 0x80;
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string upperAsciiWord(std::string_view w) {
    std::string out(w);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return out;
}

// Last non-blank character written so far, or 0.
char lastSignificant(const std::string& out) {
    for (size_t i = out.size(); i > 0; --i) {
        if (!isBlank(out[i - 1])) return out[i - 1];
    }
    return 0;
}

char nextSignificant(std::string_view s, size_t pos) {
    while (pos < s.size() && isBlank(s[pos])) ++pos;
    return pos < s.size() ? s[pos] : 0;
}

// Copies a quoted literal or a bracketed name that starts at i; returns the
// position after it (the end of the text when it is not closed).
size_t copyQuoted(std::string_view s, size_t i, std::string& out) {
    const char open = s[i];
    const char close = open == '[' ? ']' : open;
    size_t j = i + 1;
    while (j < s.size()) {
        if (s[j] == close) {
            // A doubled quote inside a literal is one quote character.
            if (open != '[' && j + 1 < s.size() && s[j + 1] == close) {
                j += 2;
                continue;
            }
            ++j;
            break;
        }
        ++j;
    }
    out.append(s.substr(i, j - i));
    return j;
}

// Byte offset of the character index n of a UTF-8 text (size when past it).
size_t utf8Offset(const unsigned char* t, size_t size, int64_t n) {
    size_t i = 0;
    while (i < size && n > 0) {
        ++i;
        while (i < size && (t[i] & 0xC0) == 0x80) ++i;
        --n;
    }
    return i;
}

int64_t utf8Length(const unsigned char* t, size_t size) {
    int64_t n = 0;
    for (size_t i = 0; i < size; ++i) {
        if ((t[i] & 0xC0) != 0x80) ++n;
    }
    return n;
}

bool iequals(std::string_view a, const char* b) { return upperAsciiWord(a) == b; }

// The last word written so far (ASCII letters only), or "".
std::string_view lastWord(const std::string& out) {
    size_t end = out.size();
    while (end > 0 && isBlank(out[end - 1])) --end;
    size_t begin = end;
    while (begin > 0 && ((out[begin - 1] >= 'A' && out[begin - 1] <= 'Z') || (out[begin - 1] >= 'a' && out[begin - 1] <= 'z')))
        --begin;
    return std::string_view(out).substr(begin, end - begin);
}

// Whether a prefix, or the prefix with its last character raised by one,
// could read as a number (SQLite would then compare it with a number column
// as a number). Only an upper-case letter other than E keeps a text a text.
bool looksNumeric(std::string_view literal) {
    for (size_t k = 0; k < literal.size(); ++k) {
        const char c = literal[k];
        if (c < 'A' || c > 'Z' || c == 'E') continue;
        if (k + 1 < literal.size() || c != 'D') return false;
    }
    return true;
}

// The comparison "LEFT(<column>, <n>) = '<n identifier characters>'" standing
// alone between WHERE/AND/OR/ON/NOT/"(" and AND/OR/ORDER/GROUP/")"/the end
// asks whether the column starts with the text. It is written as
// "(<column> GLOB '<text>*')", which means the same for a text of digits,
// upper-case letters and "-" (GLOB compares case-sensitively, like the
// rewritten LEFT) and lets SQLite use the column's index instead of reading
// every row. pos is just after the word LEFT; returns the position after the
// comparison, or 0 when the text is not of that shape.
size_t rewritePrefixTest(std::string_view s, size_t pos, std::string& out, std::vector<std::string>* bounds) {
    const char before = lastSignificant(out);
    const std::string_view w = lastWord(out);
    const bool standsAlone = before == '(' || before == 0 || iequals(w, "WHERE") || iequals(w, "AND") ||
                             iequals(w, "OR") || iequals(w, "ON") || iequals(w, "NOT");
    if (!standsAlone) return 0;
    size_t i = pos;
    auto skip = [&] {
        while (i < s.size() && isBlank(s[i])) ++i;
    };
    skip();
    if (i >= s.size() || s[i] != '(') return 0;
    ++i;
    skip();
    // The column: name parts (plain or bracketed) joined by ".".
    const size_t colBegin = i;
    for (;;) {
        if (i < s.size() && s[i] == '[') {
            const size_t close = s.find(']', i);
            if (close == std::string_view::npos) return 0;
            i = close + 1;
        } else {
            const size_t start = i;
            while (i < s.size() && isWordByte(static_cast<unsigned char>(s[i]))) ++i;
            if (i == start) return 0;
        }
        if (i < s.size() && s[i] == '.') {
            ++i;
            continue;
        }
        break;
    }
    const std::string_view column = s.substr(colBegin, i - colBegin);
    skip();
    if (i >= s.size() || s[i] != ',') return 0;
    ++i;
    skip();
    size_t n = 0;
    const size_t digits = i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9' && i - digits < 4) n = n * 10 + static_cast<size_t>(s[i++] - '0');
    if (i == digits || (i < s.size() && s[i] >= '0' && s[i] <= '9')) return 0;
    skip();
    if (i >= s.size() || s[i] != ')') return 0;
    ++i;
    skip();
    if (i >= s.size() || s[i] != '=' || (i + 1 < s.size() && s[i + 1] == '=')) return 0;
    ++i;
    skip();
    if (i >= s.size() || s[i] != '\'') return 0;
    const size_t litBegin = ++i;
    while (i < s.size() && s[i] != '\'') {
        const char c = s[i];
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || c == '-')) return 0;
        ++i;
    }
    if (i >= s.size()) return 0;
    const std::string_view literal = s.substr(litBegin, i - litBegin);
    ++i;
    if (n == 0 || literal.size() != n) return 0;
    // What follows must end the comparison.
    size_t k = i;
    while (k < s.size() && isBlank(s[k])) ++k;
    if (k < s.size() && s[k] != ')') {
        size_t e = k;
        while (e < s.size() && isWordByte(static_cast<unsigned char>(s[e]))) ++e;
        const std::string_view next = s.substr(k, e - k);
        if (!(iequals(next, "AND") || iequals(next, "OR") || iequals(next, "ORDER") || iequals(next, "GROUP")))
            return 0;
    }
    if (bounds && !looksNumeric(literal)) {
        // The same test as a range of the column's index, its two ends bound
        // as values: one prepared statement serves every prefix. For a text
        // the range holds exactly the texts that start with the prefix.
        std::string upper(literal);
        ++upper.back();  // '-' '9' 'Z' become '.' ':' '[': never past 0x7F
        const size_t first = bounds->size() + 1;
        bounds->push_back(std::string(literal));
        bounds->push_back(std::move(upper));
        out += "(";
        out.append(column);
        out += " >= @jet_bound_" + std::to_string(first) + " COLLATE BINARY AND ";
        out.append(column);
        out += " < @jet_bound_" + std::to_string(first + 1) + " COLLATE BINARY)";
        return i;
    }
    out += "(";
    out.append(column);
    out += " GLOB '";
    out.append(literal);
    out += "*')";
    return i;
}

constexpr const char* kInvalidCall = "Invalid procedure call or argument";

bool anyNull(int argc, sqlite3_value** argv) {
    for (int i = 0; i < argc; ++i) {
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL) return true;
    }
    return false;
}

void jetLeft(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (anyNull(argc, argv)) return sqlite3_result_null(ctx);
    const int64_t n = sqlite3_value_int64(argv[1]);
    if (n < 0) return sqlite3_result_error(ctx, kInvalidCall, -1);
    const unsigned char* t = sqlite3_value_text(argv[0]);
    const size_t size = static_cast<size_t>(sqlite3_value_bytes(argv[0]));
    const size_t end = utf8Offset(t, size, n);
    sqlite3_result_text(ctx, reinterpret_cast<const char*>(t), static_cast<int>(end), SQLITE_TRANSIENT);
}

void jetRight(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (anyNull(argc, argv)) return sqlite3_result_null(ctx);
    const int64_t n = sqlite3_value_int64(argv[1]);
    if (n < 0) return sqlite3_result_error(ctx, kInvalidCall, -1);
    const unsigned char* t = sqlite3_value_text(argv[0]);
    const size_t size = static_cast<size_t>(sqlite3_value_bytes(argv[0]));
    const int64_t length = utf8Length(t, size);
    const size_t begin = n >= length ? 0 : utf8Offset(t, size, length - n);
    sqlite3_result_text(ctx, reinterpret_cast<const char*>(t + begin), static_cast<int>(size - begin),
                        SQLITE_TRANSIENT);
}

void jetMid(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (anyNull(argc, argv)) return sqlite3_result_null(ctx);
    const int64_t start = sqlite3_value_int64(argv[1]);
    const int64_t n = argc > 2 ? sqlite3_value_int64(argv[2]) : INT64_MAX;
    if (start < 1 || n < 0) return sqlite3_result_error(ctx, kInvalidCall, -1);
    const unsigned char* t = sqlite3_value_text(argv[0]);
    const size_t size = static_cast<size_t>(sqlite3_value_bytes(argv[0]));
    const size_t begin = utf8Offset(t, size, start - 1);
    const size_t end = begin + utf8Offset(t + begin, size - begin, n);
    sqlite3_result_text(ctx, reinterpret_cast<const char*>(t + begin), static_cast<int>(end - begin),
                        SQLITE_TRANSIENT);
}

}  // namespace

std::string rewriteJetSql(std::string_view s) { return rewriteJetSql(s, nullptr); }

std::string rewriteJetSql(std::string_view s, std::vector<std::string>* bounds) {
    std::string out;
    out.reserve(s.size() + 16);
    size_t i = 0;
    while (i < s.size()) {
        const char c = s[i];
        if (c == '\'' || c == '"' || c == '[') {
            i = copyQuoted(s, i, out);
            continue;
        }
        if (!isWordByte(static_cast<unsigned char>(c))) {
            out += c;
            ++i;
            continue;
        }
        size_t j = i;
        while (j < s.size() && isWordByte(static_cast<unsigned char>(s[j]))) ++j;
        const std::string_view word = s.substr(i, j - i);
        const bool qualified = lastSignificant(out) == '.' || nextSignificant(s, j) == '.';
        if (c >= '0' && c <= '9') {
            // A number (or a name starting with a digit): never a keyword.
            out.append(word);
        } else if (qualified) {
            out.append(word);
        } else {
            const std::string up = upperAsciiWord(word);
            const bool call = nextSignificant(s, j) == '(';
            size_t after = 0;
            if (call && up == "LEFT" && (after = rewritePrefixTest(s, j, out, bounds)) != 0) {
                i = after;
                continue;
            }
            if (call && up == "LEFT") {
                out += "jet_left";
            } else if (call && up == "RIGHT") {
                out += "jet_right";
            } else if (call && up == "MID") {
                out += "jet_mid";
            } else if (up == "YES" || up == "TRUE") {
                out += "(-1)";
            } else if (up == "NO" || up == "FALSE") {
                out += "0";
            } else {
                out.append(word);
            }
        }
        i = j;
    }
    return out;
}

bool registerJetFunctions(sqlite3* db) {
    const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    return sqlite3_create_function(db, "jet_left", 2, flags, nullptr, jetLeft, nullptr, nullptr) == SQLITE_OK &&
           sqlite3_create_function(db, "jet_right", 2, flags, nullptr, jetRight, nullptr, nullptr) == SQLITE_OK &&
           sqlite3_create_function(db, "jet_mid", 2, flags, nullptr, jetMid, nullptr, nullptr) == SQLITE_OK &&
           sqlite3_create_function(db, "jet_mid", 3, flags, nullptr, jetMid, nullptr, nullptr) == SQLITE_OK;
}

}  // namespace tavrel::db
