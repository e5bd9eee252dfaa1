// Writing the data folder of the sample collection: the statute database
// TL2008.orl, the default marker file default.ppj, the help page help08.html
// and the image folder images08/. Every file is written under a temporary name
// and renamed into place only when it is complete, so a failed build leaves
// no half file.
#pragma once

#include "collection/model.h"

#include <filesystem>

namespace tavrel::collection {

void writeDataFolder(const Collection& c, const std::filesystem::path& folder);

}  // namespace tavrel::collection
