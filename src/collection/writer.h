// Writing a collection: the statute database, and the text of its default
// marker file. The database is written under a temporary name and renamed
// into place only when it is complete, so a failure leaves no half file.
#pragma once

#include "citations/citation_index.h"
#include "collection/model.h"

#include <filesystem>
#include <string>

namespace tavrel::collection {

// Also writes the 被引用 index of the new database and returns its counts.
citations::IndexStats writeDatabase(const Collection& c, const std::filesystem::path& file);

// "VERSION 8.08" and one "key, value" line per marker, CP932, CR LF.
std::string markerFileText(const Collection& c);

}  // namespace tavrel::collection
