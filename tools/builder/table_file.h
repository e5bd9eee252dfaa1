// A table file of data/ (corpus/tables/*.xml, an e-Gov TableStruct or
// AppdxTable on its own) read into a table piece.
#pragma once

#include "collection/tables.h"

#include <filesystem>

namespace tavrel::collection {

// Reads and converts the file; throws BuildError naming the file (and the
// line of malformed XML).
TableHtml tableFromXmlFile(const std::filesystem::path& file,
                           const std::function<std::string(const std::string&)>& cellText);

}  // namespace tavrel::collection
