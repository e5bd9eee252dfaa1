// tavrel-cli: the page builder on the command line.
//
//   tavrel-cli page <ID_FN> [--full] [--utf8] [--data DIR]
//       prints the page's HTML (CP932, or UTF-8 with --utf8); --full builds a
//       large page in full, as after a click on its link. Exit 1 with the
//       report on standard error when the page cannot be built.
//   tavrel-cli pages [--data DIR]
//       prints the identifier of every page the program shows, one a line.
//   tavrel-cli search <words...> [--utf8] [--data DIR]
//       the full-text search (search_command.h).
//   tavrel-cli import FILE.xml... [--data DIR]
//       adds e-Gov law files to the collection (import_command.h).
//   tavrel-cli cited-by <ID_FN> [--utf8] [--data DIR]
//       the provisions that cite a page (cited_by_command.h).
//   tavrel-cli egov search|add|check …
//       laws from e-Gov 法令API Version 2 (egov_command.h; builds with Qt only).
//
// The data folder is DIR, or by default the executable's folder (or the
// installed ../share/tavrel beside it). Settings are the built-in defaults.
// Exit codes: 0 done, 1 page not built, 2 start-up failed, 64 bad usage.
#include "document/document.h"
#include "document/settings_store.h"
#include "render/page_builder.h"
#include "text/sjis.h"

#include "cited_by_command.h"
#ifdef TAVREL_WITH_EGOV_ONLINE
#include "egov_command.h"
#endif
#include "cli_options.h"
#include "import_command.h"
#include "search_command.h"
#include "stderr_sink.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace {

std::string executableFolder(const char* argv0) {
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) exe = std::filesystem::absolute(argv0, ec);
    return exe.parent_path().string() + "/";
}

std::string userDataFallback() {
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg) return std::string(xdg) + "/tavrel/";
    if (const char* home = std::getenv("HOME"); home && *home) return std::string(home) + "/.local/share/tavrel/";
    return std::filesystem::temp_directory_path().string() + "/tavrel/";
}

void writeOut(const std::string& bytes) { std::fwrite(bytes.data(), 1, bytes.size(), stdout); }

}  // namespace

int main(int argc, char** argv) {
    using namespace tavrel;
    std::vector<std::string> args(argv + 1, argv + argc);
    if (cli::isImportCommand(args))
        return cli::importMain(args, executableFolder(argv[0]), userDataFallback());
    if (cli::isSearchCommand(args))
        return cli::searchMain(args, executableFolder(argv[0]), userDataFallback());
    if (cli::isCitedByCommand(args))
        return cli::citedByMain(args, executableFolder(argv[0]), userDataFallback());
#ifdef TAVREL_WITH_EGOV_ONLINE
    if (cli::isEgovCommand(args))
        return cli::egovMain(argc, argv, args, executableFolder(argv[0]), userDataFallback());
#endif
    std::string error;
    const std::optional<cli::CliOptions> options = cli::parseCommandLine(args, error);
    if (!options) {
        std::fprintf(stderr, "tavrel-cli: %s\n%s", error.c_str(), cli::usageText());
        return 64;
    }

    MemorySettingsStore settings;
    cli::StderrSink sink;
    Document doc(settings, sink, cli::commandFolders(options->dataFolder, executableFolder(argv[0]), userDataFallback()));
    if (!doc.startUp()) return 2;

    int rc = 0;
    if (options->command == cli::Command::Pages) {
        for (const ArticleSeqEntry& entry : doc.articleSequence()) writeOut(entry.idFN + "\n");
    } else {
        render::PageBuilder builder(doc);
        builder.setFullPageRequest(options->fullPage);
        std::string html;
        if (builder.buildPage(text::fromUtf8(options->pageId), html))
            writeOut(options->utf8 ? text::toUtf8(html) : html);
        else
            rc = 1;
    }
    // No close: the tool only reads, and leaves the user's marker
    // file and the remembered page alone.
    std::fflush(stdout);
    return rc;
}
