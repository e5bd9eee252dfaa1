// tavrel-cli import FILE.xml… [--data DIR]: adds e-Gov law files to the
// collection of the data folder (or replaces the laws they were imported as).
#pragma once

#include <string>
#include <vector>

namespace tavrel::cli {

bool isImportCommand(const std::vector<std::string>& args);

// Reads the collection, imports the files and writes the new TL2008.orl
// under a temporary name beside the old one, renamed into place only when
// complete. Prints a summary; 0 done, 1 a file or the collection refused
// (the old file untouched), 64 bad usage.
int importMain(const std::vector<std::string>& args, const std::string& executableFolder,
               const std::string& userFallback);

}  // namespace tavrel::cli
