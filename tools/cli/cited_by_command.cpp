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
    std::string page, dataFolder;
    bool utf8 = false, command = false;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--utf8") {
            utf8 = true;
        } else if (args[i] == "--data") {
            if (++i == args.size()) return usage("--data needs a folder");
            dataFolder = args[i];
        } else if (args[i].rfind("--", 0) == 0) {
            return usage("unknown option " + args[i]);
        } else if (!command && args[i] == "cited-by") {
            command = true;
        } else if (page.empty()) {
            page = args[i];
        } else {
            return usage("cited-by takes one page identifier");
        }
    }
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
