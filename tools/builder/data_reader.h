// Reading the whole of data/ into a Collection: the law list and article
// settings of collection.ini, the corpus folders, the hand-written pages of
// pages/, the special pages, reference links, markers and the help page;
// then the text conversion and the checks that make a bad source fail loudly.
#pragma once

#include "collection/model.h"

#include <filesystem>

namespace tavrel::collection {

// Reads and checks the collection; throws BuildError naming file and line.
Collection readCollection(const std::filesystem::path& dataFolder);

}  // namespace tavrel::collection
