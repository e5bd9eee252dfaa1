// tavrel-cli search: the full-text search of the navigator on the command
// line.
//
//   tavrel-cli search <words...> [--utf8] [--data DIR]
//       searches the pages that hold every word (at most three; the words
//       may also be given as one argument separated by blanks) and prints
//       one line per page: identifier, law name and designation separated by
//       tabs (CP932, or UTF-8 with --utf8). The count message and any other
//       message go to standard error.
//
// Exit codes: 0 searched (also when nothing was found), 1 the words were
// refused or the search failed, 2 start-up failed, 64 bad usage.
#pragma once

#include <string>
#include <vector>

namespace tavrel::cli {

// True when the first argument that is neither an option nor the folder of
// --data is "search".
bool isSearchCommand(const std::vector<std::string>& args);

// args: the command line after the program name.
int searchMain(const std::vector<std::string>& args, const std::string& executableFolder,
               const std::string& userDataFallback);

}  // namespace tavrel::cli
