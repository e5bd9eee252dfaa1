#include "import_command.h"
#include "cli_options.h"

#include "collection/build_error.h"
#include "database/schema.h"
#include "document/document.h"
#include "egov/collection_update.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

namespace tavrel::cli {

namespace fs = std::filesystem;

bool isImportCommand(const std::vector<std::string>& args) { return commandWord(args) == "import"; }

std::string nowUtc() {
    const std::time_t t = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm tm{};
    gmtime_r(&t, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%SZ", &tm);
    return buf;
}

std::filesystem::path importTarget(const std::string& dataFolder, const std::string& executableFolder,
                                   const std::string& userFallback) {
    const std::string base = dataFolder.empty() ? executableFolder : dataFolder;
    return fs::path(locateFolders(base, userFallback).dataFolder) / db::kDatabaseFileName;
}

void printImportSummary(const egov::CollectionUpdateResult& result, const std::filesystem::path& database) {
    const std::vector<egov::LawSummary>& summary = result.laws;
    if (!result.markerFileError.empty()) std::fprintf(stderr, "tavrel-cli import: %s\n", result.markerFileError.c_str());
    size_t pages = 0, sentences = 0, tables = 0, warnings = 0;
    for (const egov::LawSummary& s : summary) {
        std::printf("%s: %s %s (%s)%s: %zu pages, %zu sentences, %zu table pieces, %zu printed labels kept, "
                    "%zu texts with characters outside CP932, %zu warnings\n",
                    s.file.c_str(), s.idHN.c_str(), s.title.c_str(), s.lawId.c_str(),
                    s.replaced ? " replaced" : " added", s.pages, s.sentences, s.tables, s.uncheckedLabels,
                    s.fittedTexts, s.warnings.size());
        for (const egov::Warning& w : s.warnings)
            std::printf("  warning: %s:%d: %s: %s\n", s.file.c_str(), w.line, w.path.c_str(), w.message.c_str());
        for (const std::string& d : s.dropped) std::printf("  dropped: %s\n", d.c_str());
        pages += s.pages, sentences += s.sentences, tables += s.tables, warnings += s.warnings.size();
    }
    std::printf("tavrel-cli import: %zu laws, %zu pages, %zu sentences, %zu table pieces, %zu warnings -> %s\n",
                summary.size(), pages, sentences, tables, warnings, database.string().c_str());
}

int importMain(const std::vector<std::string>& args, const std::string& executableFolder,
               const std::string& userFallback) {
    std::vector<std::string> files;
    std::string dataFolder;
    bool seenCommand = false;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--data" && i + 1 < args.size()) {
            dataFolder = args[++i];
        } else if (args[i].rfind("--", 0) == 0) {
            std::fprintf(stderr, "tavrel-cli import: unknown option %s\n", args[i].c_str());
            return 64;
        } else if (!seenCommand) {
            seenCommand = true;  // "import"
        } else {
            files.push_back(args[i]);
        }
    }
    if (files.empty()) {
        std::fprintf(stderr, "usage: tavrel-cli import FILE.xml... [--data DIR]\n");
        return 64;
    }
    const fs::path database = importTarget(dataFolder, executableFolder, userFallback);
    try {
        // The collection is written beside the database and renamed over it
        // only when complete: a kill at any moment leaves the old one.
        egov::CollectionUpdate update;
        update.files = files;
        update.source = update.target = database;
        update.importedAt = nowUtc();
        update.markerFile = database.parent_path() / "default.ppj";
        printImportSummary(egov::updateCollection(update), database);
        return 0;
    } catch (const egov::ImportError& e) {
        std::fprintf(stderr, "tavrel-cli import: %s\n", e.what());
    } catch (const collection::BuildError& e) {
        std::fprintf(stderr, "tavrel-cli import: %s\n", e.what());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tavrel-cli import: %s\n", e.what());
    }
    std::fprintf(stderr, "tavrel-cli import: nothing was changed\n");
    return 1;
}

}  // namespace tavrel::cli
