// The reverse-reference index of a collection ("被引用"): for every page, the
// sentences elsewhere in the collection that refer to it — through inline
// references and explicit links in their text (reference_scan.h), relative
// references where the text makes the target certain, and the rows of the
// reference-link table T_参 — with the paragraph and item cited.
//
// The index is made from an open SQLite connection to the database file in
// one pass over the sentences, and kept in a table of its own, T_被引用,
// which the builder and the collection generator write into the file (in one
// transaction); the program's own tables stay as they are. For a file
// without that table the program builds the index itself on a connection of
// its own (the index is a plain value: it can be built on any thread).
//
// Where a citation goes: a reference to a paragraph of a split article goes
// to the page that holds that paragraph; a reference to the whole article to
// its first page; a row of T_参 to the page it names. Citations from the
// cited article itself are not listed, nor citations from pages that are not
// shown (表示 NO, or a law not shown).
//
// Texts of the index are UTF-8 (as the database file holds them).
#pragma once

#include "citations/reference_scan.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct sqlite3;

namespace tavrel::citations {

// Name of the table (UTF-8).
inline constexpr const char* kCitationTable = "T_被引用";

struct CitationRow {
    std::string citedPage;       // ID_FN of the page cited
    std::string citingSentence;  // ID_BN of the sentence that cites it
    std::string part;            // the part cited as written ("第1項第二号"); empty: the page as a whole
    CitationKind kind = CitationKind::Inline;
    // A short excerpt of the citing sentence: the text before the reference,
    // the reference's own words and the text after it.
    std::string before, words, after;
};

struct IndexStats {
    size_t sentences = 0;    // sentences read
    size_t citations = 0;    // rows of the index
    size_t unresolved = 0;   // relative references left unresolved
    size_t sameArticle = 0;  // references within the cited article, not listed
    size_t outside = 0;      // references to articles the collection does not hold
};

class CitationIndex {
  public:
    CitationIndex() = default;
    CitationIndex(std::vector<CitationRow> rows, IndexStats stats);

    // Rows ordered by cited page, then as the page lists them: citing
    // sentences of the page's own law, of its family (same first two
    // characters of the law identifier: its order, ordinance and
    // notifications), of other laws, each in collection order (ID_BN), the
    // parts of one sentence as they occur. The table keeps this order in 順序.
    const std::vector<CitationRow>& rows() const { return rows_; }
    const IndexStats& stats() const { return stats_; }
    // The rows citing page idFN, in the order above.
    std::pair<const CitationRow*, const CitationRow*> citing(std::string_view idFN) const;

  private:
    std::vector<CitationRow> rows_;
    IndexStats stats_;
};

// Builds the index from the statute tables of db. Throws std::runtime_error
// on a database error.
CitationIndex buildCitationIndex(sqlite3* db);

// Replaces the table T_被引用 of db (writable) by index, in one transaction:
// its own, or the caller's when one is open. Throws std::runtime_error on
// failure (nothing is changed then; an open transaction is the caller's to
// roll back).
void writeCitationTable(sqlite3* db, const CitationIndex& index);

// Builds the index of the database file (a native path) and writes it into
// the file. Throws std::runtime_error on failure.
IndexStats addCitationTable(const std::string& databaseFile);

// Builds the index of the database file (a native path) on a read-only
// connection of its own, which it closes again: what the program runs on a
// thread of its own for a collection without the table. Throws
// std::runtime_error on failure.
CitationIndex loadCitationIndex(const std::string& databaseFile);

// True when db holds the table T_被引用.
bool hasCitationTable(sqlite3* db);

// The excerpt's reach on each side of the reference, in characters.
inline constexpr size_t kExcerptReach = 24;

}  // namespace tavrel::citations
