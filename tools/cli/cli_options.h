// The command line of tavrel-cli:
//   tavrel-cli page <ID_FN> [--full] [--utf8] [--data DIR]
//   tavrel-cli pages [--data DIR]
// (search and cited-by read theirs with readCommandArguments; import and egov
// have their own readers: import_command.h, egov_command.h)
#pragma once

#include "document/document.h"

#include <optional>
#include <string>
#include <vector>

namespace tavrel::cli {

enum class Command { Page, Pages };

struct CliOptions {
    Command command = Command::Page;
    std::string pageId;      // page: the ID_FN (ASCII)
    bool fullPage = false;   // page: build a large page in full
    bool utf8 = false;       // page: write UTF-8 instead of CP932
    std::string dataFolder;  // empty: the executable's folder
};

// nullopt and error set for a malformed command line.
std::optional<CliOptions> parseCommandLine(const std::vector<std::string>& args, std::string& error);

const char* usageText();

// The command word of a command line: its first word that is not an option
// ("--data DIR" skipped); empty when there is none.
std::string commandWord(const std::vector<std::string>& args);

// The line of a reading command (search, cited-by): the words after its
// command word, --utf8 and --data DIR. nullopt and error set for an unknown
// option or --data without a folder.
struct CommandArguments {
    std::vector<std::string> words;
    bool utf8 = false;
    std::string dataFolder;
};
std::optional<CommandArguments> readCommandArguments(const std::vector<std::string>& args, const std::string& command,
                                                     std::string& error);

// Writes "tavrel-cli: <error>" and the command's usage line to standard
// error; the exit code of a bad command line (64).
int usageError(const std::string& error, const char* usageLine);

// The folders a reading command works on: with --data DIR exactly the
// collection in DIR; without it the collection the program opens (the
// user's own, from an import in the program, when there is one).
DocumentFolders commandFolders(const std::string& dataOption, const std::string& executableFolder,
                               const std::string& userDataFallback);

}  // namespace tavrel::cli
