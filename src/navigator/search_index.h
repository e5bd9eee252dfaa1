// The full-text search's in-memory index: the searchable texts of every
// displayed page (its caption, the search data of its sentences and of its
// tables), read once from the database and held page by page in one buffer.
//
// A word is looked for the way the three search statements look for it: an
// occurrence anywhere in one field, starting on a character boundary, with
// ASCII letters compared without case ("Like '%word%'"), and only on pages
// whose row and whose law are displayed. The statements stay the reference:
// a word the index cannot answer the same way (one holding "%", "_" or a NUL,
// which Like would read as a pattern) is left to them.
#pragma once

#include "database/connection.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tavrel::nav {

class SearchIndex {
  public:
    // Reads the texts from the connection's open database file; a failed
    // read throws (std::exception).
    static std::unique_ptr<SearchIndex> build(db::Connection& connection);

    // Reads the texts from the database file fileName (UTF-8) through a
    // read-only connection of its own, so that it can run on a worker thread
    // while the program's connection serves the window. Once *stop is set
    // the read ends early by throwing; a failed read throws too.
    static std::unique_ptr<SearchIndex> readFile(const std::string& fileName,
                                                 const std::atomic<bool>* stop = nullptr);

    // True when find answers word exactly as the statements do.
    static bool serves(std::string_view word);

    // The pages holding word, ascending by bytes.
    std::vector<std::string> find(std::string_view word) const;

    // The pages holding every word, ascending (each word must be served).
    std::vector<std::string> findAll(const std::vector<std::string>& words) const;

    size_t pageCount() const { return ids_.size(); }
    size_t textBytes() const { return text_.size(); }

  private:
    SearchIndex() = default;
    static std::unique_ptr<SearchIndex> read(sqlite3* db, const std::atomic<bool>* stop);

    // Page numbers (positions in ids_) whose text holds the folded word,
    // looking only at the pages listed in among (all when null).
    std::vector<uint32_t> matches(const std::string& folded, const std::vector<uint32_t>* among) const;
    bool pageHolds(uint32_t page, const std::string& folded) const;
    std::vector<std::string> idsOf(const std::vector<uint32_t>& pages) const;

    std::vector<std::string> ids_;  // displayed pages, ascending
    // The texts of page i lie in text_[begin_[i], begin_[i + 1]), each field
    // followed by a NUL; ASCII small letters are stored as capitals.
    std::string text_;
    std::vector<size_t> begin_;
};

}  // namespace tavrel::nav
