// A corpus article file of data/corpus (texts/article_NNN[_M].txt): caption
// line, title line, then the body in corpus format.
#pragma once

#include "collection/structure.h"

#include <filesystem>

namespace tavrel::collection {

// Reads texts/article_NNN[_M].txt; checks that the title matches the file name.
CorpusArticle readCorpusArticle(const std::filesystem::path& file);

}  // namespace tavrel::collection
