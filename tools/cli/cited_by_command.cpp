#include "cited_by_command.h"

#include "citations/citation_index.h"
#include "database/identifiers.h"
#include "document/document.h"
#include "document/settings_store.h"
#include "render/cited_by_block.h"
#include "text/sjis.h"

#include "cli_options.h"
#include "stderr_sink.h"

#include <cstdio>
#include <exception>
#include <memory>

namespace tavrel::cli {

namespace {

const char* const kUsage = "usage: tavrel-cli cited-by <ID_FN> [--utf8] [--data DIR]\n";

int usage(const std::string& error) { return usageError(error, kUsage); }

}  // namespace

bool isCitedByCommand(const std::vector<std::string>& args) { return commandWord(args) == "cited-by"; }

int citedByMain(const std::vector<std::string>& args, const std::string& executableFolder,
                const std::string& userDataFallback) {
    std::string error;
    const std::optional<CommandArguments> options = readCommandArguments(args, "cited-by", error);
    if (!options) return usage(error);
    if (options->words.size() > 1) return usage("cited-by takes one page identifier");
    const std::string page = options->words.empty() ? std::string() : options->words.front();
    const bool utf8 = options->utf8;
    const std::string& dataFolder = options->dataFolder;
    if (!db::isIdFN(page)) return usage("cited-by needs a 15-character page identifier (ID_FN)");

    MemorySettingsStore settings;
    StderrSink sink;
    Document doc(settings, sink, commandFolders(dataFolder, executableFolder, userDataFallback));
    if (!doc.startUp()) return 2;
    if (!doc.hasCitationTable()) {
        try {
            doc.setCitationIndex(
                std::make_shared<const citations::CitationIndex>(citations::buildCitationIndex(doc.connection().handle())));
        } catch (const std::exception& e) {
            std::fprintf(stderr, "tavrel-cli: cannot build the cited-by index: %s\n", e.what());
            return 1;
        }
    }

    for (const render::CitedByEntry& e : render::citedByEntries(doc, page)) {
        const std::string line = render::citingLabel(doc, e.citingSentence) + "\t" + e.citingSentence + "\t" + e.part +
                                 "\t" + e.before + SJ("【") + e.words + SJ("】") + e.after + "\n";
        const std::string out = utf8 ? text::toUtf8(line) : line;
        std::fwrite(out.data(), 1, out.size(), stdout);
    }
    std::fflush(stdout);
    return sink.shownCount() > 0 ? 1 : 0;
}

}  // namespace tavrel::cli
