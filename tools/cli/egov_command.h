// tavrel-cli egov …: the laws of e-Gov 法令API Version 2 on the command line.
//   tavrel-cli egov search <title>            laws whose title (or law id, law number) matches
//   tavrel-cli egov add <law_id>... [--data DIR]   downloads their current text and imports it
//   tavrel-cli egov check [--data DIR]        the imported laws e-Gov has revised since
// Options of all three: --base URL (default https://laws.e-gov.go.jp/api/2),
// --timeout SECONDS (default 30). Exit 0 done, 1 e-Gov or the import failed
// (the collection unchanged), 64 bad usage. Only in builds with Qt.
#pragma once

#include <string>
#include <vector>

namespace tavrel::cli {

bool isEgovCommand(const std::vector<std::string>& args);

int egovMain(int argc, char** argv, const std::vector<std::string>& args, const std::string& executableFolder,
             const std::string& userFallback);

}  // namespace tavrel::cli
