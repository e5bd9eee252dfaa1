// tavrel-cli import FILE.xml… [--data DIR]: adds e-Gov law files to the
// collection of the data folder (or replaces the laws they were imported as).
#pragma once

#include "egov/collection_update.h"

#include <filesystem>
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

// The collection an import writes: TL2008.orl of the data folder (DIR of
// --data, else the executable's folder or the installed one beside it).
std::filesystem::path importTarget(const std::string& dataFolder, const std::string& executableFolder,
                                   const std::string& userFallback);
// The time of an import as T_法令XML records it (UTC, ISO 8601).
std::string nowUtc();
// The per-law lines and the total line an import prints on standard output
// (a marker file that could not be rewritten on standard error).
void printImportSummary(const egov::CollectionUpdateResult& result, const std::filesystem::path& database);

}  // namespace tavrel::cli
