// The identifier check. Every place of the program that formats an identifier
// (ID_HN, ID_FN, ID_SN, ID_BN or a prefix of one) into SQL passes it through
// one of these checks first; a text that fails never reaches SQL.
//
// An identifier consists only of the ASCII characters 0-9, A-Z and "-" and has
// exactly the length of its kind.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tavrel::db {

inline constexpr size_t kIdHNLength = 3;
inline constexpr size_t kIdFNPrefixLength = 12;  // an article as a whole
inline constexpr size_t kIdFNLength = 15;
inline constexpr size_t kIdSNLength = 23;
inline constexpr size_t kIdBNLength = 35;

// True when s has exactly exactLength characters, each of 0-9, A-Z or "-".
bool isIdentifier(std::string_view s, size_t exactLength) noexcept;

inline bool isIdHN(std::string_view s) noexcept { return isIdentifier(s, kIdHNLength); }
inline bool isIdFNPrefix(std::string_view s) noexcept { return isIdentifier(s, kIdFNPrefixLength); }
inline bool isIdFN(std::string_view s) noexcept { return isIdentifier(s, kIdFNLength); }
inline bool isIdSN(std::string_view s) noexcept { return isIdentifier(s, kIdSNLength); }
inline bool isIdBN(std::string_view s) noexcept { return isIdentifier(s, kIdBNLength); }

// Formats a statement whose only "%s" is an identifier of exactLength
// characters: the SQL text, or nothing when id fails the identifier check.
// fmt may hold exactly one "%s" and otherwise only "%%" (a literal percent);
// any other conversion makes the result empty.
std::optional<std::string> formatSqlWithId(const char* fmt, std::string_view id, size_t exactLength);

}  // namespace tavrel::db
