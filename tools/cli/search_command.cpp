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
    std::string error;
    const std::optional<CommandArguments> options = readCommandArguments(args, "search", error);
    if (!options) return usage(error);
    std::string words;
    for (const std::string& w : options->words) words += (words.empty() ? "" : " ") + w;
    const bool utf8 = options->utf8;
    const std::string& dataFolder = options->dataFolder;
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
