#include "search_command.h"

#include "document/document.h"
#include "document/settings_store.h"
#include "navigator/search.h"
#include "text/sjis.h"

#include "cli_options.h"
#include "stderr_sink.h"

#include <cstdio>

namespace tavrel::cli {

namespace {

const char* const kSearchUsage = "usage: tavrel-cli search <words...> [--utf8] [--data DIR]\n";

int usage(const std::string& error) { return usageError(error, kSearchUsage); }

}  // namespace

bool isSearchCommand(const std::vector<std::string>& args) { return commandWord(args) == "search"; }

int searchMain(const std::vector<std::string>& args, const std::string& executableFolder,
               const std::string& userDataFallback) {
    std::string words, dataFolder;
    bool utf8 = false, command = false;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--utf8") {
            utf8 = true;
        } else if (args[i] == "--data") {
            if (++i == args.size()) return usage("--data needs a folder");
            dataFolder = args[i];
        } else if (args[i].rfind("--", 0) == 0 && args[i].size() > 2) {
            return usage("unknown option " + args[i]);
        } else if (!command && args[i] == "search") {
            command = true;
        } else {
            words += (words.empty() ? "" : " ") + args[i];
        }
    }
    if (words.empty()) return usage("search needs the words to search");

    MemorySettingsStore settings;
    StderrSink sink;
    Document doc(settings, sink, commandFolders(dataFolder, executableFolder, userDataFallback));
    if (!doc.startUp()) return 2;

    nav::SearchTab tab(doc);
    const nav::SearchOutcome outcome = tab.start(text::fromUtf8(words));
    if (outcome == nav::SearchOutcome::HiddenPage)
        std::fprintf(stderr, "tavrel-cli: nothing is searched for this text\n");
    if (outcome != nav::SearchOutcome::Searched) return 1;

    for (const nav::SearchRecord& r : tab.results().records()) {
        const std::string line = r.idFN + "\t" + r.lawName + "\t" + r.designation + "\n";
        const std::string out = utf8 ? text::toUtf8(line) : line;
        std::fwrite(out.data(), 1, out.size(), stdout);
    }
    std::fflush(stdout);
    return 0;
}

}  // namespace tavrel::cli
