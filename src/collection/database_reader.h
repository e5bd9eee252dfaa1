// Reading a statute database back into the collection model, row for row,
// so that a collection can be written again with some laws added or replaced
// and every other row unchanged.
#pragma once

#include "collection/model.h"

#include <filesystem>

namespace tavrel::collection {

// Every row of T_法, T_章, T_条, T_文, T_表, T_他, T_参, T_告 (and T_法令XML
// and T_法令XML表 when present), in the order they were written; sentence texts are kept as
// stored (no conversion runs on them again). Throws BuildError naming the
// file when it cannot be read.
Collection readDatabase(const std::filesystem::path& file);

// Only the T_法令XML rows (the imported laws); none when the table is absent.
std::vector<LawSource> readLawSources(const std::filesystem::path& file);

}  // namespace tavrel::collection
