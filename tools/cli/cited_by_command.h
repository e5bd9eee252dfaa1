// tavrel-cli cited-by: the 被引用 list of a page on the command line.
//
//   tavrel-cli cited-by <ID_FN> [--utf8] [--data DIR]
//       prints the provisions that cite the page, in the order of the page's
//       被引用 block, one a line: the citing provision's label, the citing
//       sentence's ID_BN, the part of the page cited (empty for the page as a
//       whole) and the excerpt with the reference in 【】, separated by tabs
//       (CP932, or UTF-8 with --utf8). A collection without the index table
//       gets its index built in the process first.
//
// Exit codes: 0 done (also when nothing cites the page), 1 the index could
// not be built, 2 start-up failed, 64 bad usage.
#pragma once

#include <string>
#include <vector>

namespace tavrel::cli {

// True when the first argument that is neither an option nor the folder of
// --data is "cited-by".
bool isCitedByCommand(const std::vector<std::string>& args);

int citedByMain(const std::vector<std::string>& args, const std::string& executableFolder,
                const std::string& userDataFallback);

}  // namespace tavrel::cli
