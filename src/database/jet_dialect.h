// The Jet-dialect layer: what SQLite needs so that the program's Jet SQL texts
// run unchanged.
//
// SQLite's parser takes LEFT and RIGHT as join keywords and knows no MID, and
// Jet reads YES/TRUE as -1 and NO/FALSE as 0. Before a statement is prepared,
// rewriteJetSql turns the calls LEFT( / RIGHT( / MID( (any letter case, blanks
// allowed before the parenthesis) into calls of the functions jet_left,
// jet_right and jet_mid, and the words YES/TRUE/NO/FALSE into (-1)/0. Only
// whole words outside string literals ('…', "…") and outside [bracketed]
// names are touched; a word right before or after a "." (a qualified name) is
// left alone. A comparison LEFT(<column>, n) = '<n characters 0-9 A-Z ->'
// that stands alone in a condition becomes (<column> GLOB '<text>*'): the same
// test, which SQLite answers from the column's index instead of reading every
// row (the page builder selects the sentences of a page this way).
// `[bracketed]` names and Like work in SQLite as they are
// (SQLite's LIKE ignores case for ASCII letters only and compares UTF-8 text
// character by character).
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct sqlite3;

namespace tavrel::db {

// Rewrites one UTF-8 SQL text as described above.
std::string rewriteJetSql(std::string_view utf8Sql);

// The same rewrite for a statement that is kept prepared and run again with
// other values: a prefix comparison whose text cannot read as a number
// becomes the range (<column> >= @jet_bound_1 COLLATE BINARY AND <column> <
// @jet_bound_2 COLLATE BINARY), and the two ends (the prefix, and the prefix
// with its last character raised by one) are appended to bounds, to be bound
// as texts in that order. Statements that differ only in such prefixes then
// read the same. With bounds null this is rewriteJetSql(utf8Sql).
std::string rewriteJetSql(std::string_view utf8Sql, std::vector<std::string>* bounds);

// Registers jet_left(text, n), jet_right(text, n) and jet_mid(text, start[, n])
// on a connection. They count characters of the UTF-8 text, as Jet counts
// characters of its Unicode text: jet_left('建築基準法', 2) = '建築'. A NULL
// argument gives NULL; a negative length or a start below 1 is an error
// ("Invalid procedure call or argument"). Returns false when SQLite refuses.
bool registerJetFunctions(sqlite3* db);

}  // namespace tavrel::db
