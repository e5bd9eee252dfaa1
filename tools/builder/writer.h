// Writing the data folder: the statute database TL2008.orl, the default
// marker file default.ppj, the help page help08.html and the image folder
// images08/. Every file is written under a temporary name and renamed into
// place only when it is complete, so a failed build leaves no half file.
#pragma once

#include "model.h"

#include <filesystem>
#include <string>

namespace tavrel::builder {

void writeDatabase(const Collection& c, const std::filesystem::path& file);

// "VERSION 8.08" and one "key, value" line per marker, CP932, CR LF.
std::string markerFileText(const Collection& c);

void writeDataFolder(const Collection& c, const std::filesystem::path& folder);

}  // namespace tavrel::builder
