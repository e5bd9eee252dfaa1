#include "cli_options.h"

#include <cstdio>

namespace tavrel::cli {

const char* usageText() {
    return "usage: tavrel-cli page <ID_FN> [--full] [--utf8] [--data DIR]\n"
           "       tavrel-cli pages [--data DIR]\n"
           "       tavrel-cli search <words...> [--utf8] [--data DIR]\n"
           "       tavrel-cli import FILE.xml... [--data DIR]\n"
           "       tavrel-cli cited-by <ID_FN> [--utf8] [--data DIR]\n"
           "       tavrel-cli egov search|add|check ... (laws from e-Gov; builds with Qt)\n";
}

std::optional<CliOptions> parseCommandLine(const std::vector<std::string>& args, std::string& error) {
    CliOptions options;
    std::vector<std::string> positional;
    bool full = false;
    bool utf8 = false;
    // Options may stand anywhere; the first plain word is the command.
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--data") {
            if (i + 1 >= args.size() || args[i + 1].empty()) {
                error = "--data needs a folder";
                return std::nullopt;
            }
            options.dataFolder = args[++i];
        } else if (a == "--full") {
            full = true;
        } else if (a == "--utf8") {
            utf8 = true;
        } else if (!a.empty() && a[0] == '-') {
            error = "unknown option: " + a;
            return std::nullopt;
        } else {
            positional.push_back(a);
        }
    }
    if (positional.empty()) {
        error = "no command given";
        return std::nullopt;
    }
    if (positional[0] == "page") {
        if (positional.size() != 2) {
            error = positional.size() < 2 ? "page needs an ID_FN" : "page takes one ID_FN";
            return std::nullopt;
        }
        options.command = Command::Page;
        options.pageId = positional[1];
        options.fullPage = full;
        options.utf8 = utf8;
    } else if (positional[0] == "pages") {
        if (positional.size() != 1 || full || utf8) {
            error = "pages takes only --data";
            return std::nullopt;
        }
        options.command = Command::Pages;
    } else {
        error = "unknown command: " + positional[0];
        return std::nullopt;
    }
    if (!options.dataFolder.empty() && options.dataFolder.back() != '/') options.dataFolder += '/';
    return options;
}

std::string commandWord(const std::vector<std::string>& args) {
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--data")
            ++i;
        else if (args[i].rfind("--", 0) != 0)
            return args[i];
    }
    return {};
}

std::optional<CommandArguments> readCommandArguments(const std::vector<std::string>& args, const std::string& command,
                                                     std::string& error) {
    CommandArguments read;
    bool seenCommand = false;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--utf8") {
            read.utf8 = true;
        } else if (args[i] == "--data") {
            if (++i == args.size()) {
                error = "--data needs a folder";
                return std::nullopt;
            }
            read.dataFolder = args[i];
        } else if (args[i].rfind("--", 0) == 0 && args[i].size() > 2) {
            error = "unknown option " + args[i];
            return std::nullopt;
        } else if (!seenCommand && args[i] == command) {
            seenCommand = true;
        } else {
            read.words.push_back(args[i]);
        }
    }
    return read;
}

int usageError(const std::string& error, const char* usageLine) {
    std::fprintf(stderr, "tavrel-cli: %s\n%s", error.c_str(), usageLine);
    return 64;
}

DocumentFolders commandFolders(const std::string& dataOption, const std::string& executableFolder,
                               const std::string& userDataFallback) {
    if (dataOption.empty()) return locateFolders(executableFolder, userDataFallback);
    DocumentFolders folders = locateFolders(dataOption, userDataFallback);
    folders.collectionFolder.clear();
    return folders;
}

}  // namespace tavrel::cli
